#include "TFrmMain.h"

#include "app/Companion.h"
#include "app/PubUnit.h"

#include <QStatusBar>

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(PubUnit::ProductName + PubUnit::VersionText);

    pBody = new QWidget(this);
    pBody->setObjectName(QStringLiteral("pBody"));
    setCentralWidget(pBody);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);

    // Placed while it is created; it is shown only after the login.
    DispFormPos(this, 2);
}
