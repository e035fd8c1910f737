#pragma once
// The small window mdsetup opens when started without arguments, as the
// client starts it when it cannot connect: engine, server, database and
// password, written to [DBconn]; then the database is created or checked.

#include <QDialog>

class ConnectionForm;
class QPushButton;

class TfrmSetup : public QDialog {
public:
    explicit TfrmSetup(QWidget *parent = nullptr);

    ConnectionForm *frmConnection;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    void LoadFields();
    void btnOkClick();
};
