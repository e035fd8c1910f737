#pragma once
// The small window mdsetup opens when started without arguments, as the
// client starts it when it cannot connect: engine, server, database and
// password, written to [DBconn]; then the database is created or checked.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TfrmSetup : public QDialog {
public:
    explicit TfrmSetup(QWidget *parent = nullptr);

    QComboBox *cbbDriver;
    QLineEdit *edtServer;
    QSpinBox *spnPort;
    QLineEdit *edtDatabase;
    QLineEdit *edtUser;
    QLineEdit *edtPassWord;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    void LoadFields();
    void btnOkClick();

private:
    void cbbDriverChange();
};
