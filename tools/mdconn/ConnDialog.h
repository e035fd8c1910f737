#pragma once
// Edits [DBconn] of the program folder's Config.ini and tests the connection.

#include "data/Dialect.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class PrivateProfile;

class TfrmConnSet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConnSet(PrivateProfile &ini, QWidget *parent = nullptr);

    ConnectionSettings settings() const;

    QComboBox *cbbDriver;
    QLineEdit *edtServer;
    QSpinBox *edtPort;
    QLineEdit *edtDatabase;
    QLineEdit *edtPassWord;
    QPushButton *btnTest;
    QPushButton *btnSave;
    QPushButton *btnCancel;

private:
    void LoadFields();
    void cbbDriverChange();
    void btnTestClick();
    void btnSaveClick();

    PrivateProfile &m_ini;
};
