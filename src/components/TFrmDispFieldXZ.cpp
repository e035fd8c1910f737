#include "TFrmDispFieldXZ.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFrmDispFieldXZ::TFrmDispFieldXZ(const QStringList &captions, const QList<bool> &visible, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FrmDispFieldXZ"));
    setWindowTitle(QStringLiteral("字段列表"));
    setModal(true);

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    for (int i = 0; i < captions.size(); ++i) {
        auto *item = new QListWidgetItem(captions.at(i), CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(visible.value(i, true) ? Qt::Checked : Qt::Unchecked);
    }
    if (CheckListBox1->count() > 0) CheckListBox1->setCurrentRow(0);

    btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CheckListBox1);
    layout->addLayout(buttons);
    resize(260, 380);
}

QList<bool> TFrmDispFieldXZ::checkedStates() const
{
    QList<bool> states;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        states << (CheckListBox1->item(i)->checkState() == Qt::Checked);
    return states;
}
