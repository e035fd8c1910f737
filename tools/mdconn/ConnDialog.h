#pragma once
// Edits [DBconn] of the program folder's Config.ini and tests the connection.

#include <QDialog>

class ConnectionForm;
class QPushButton;
class PrivateProfile;

class TfrmConnSet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConnSet(PrivateProfile &ini, QWidget *parent = nullptr);

    ConnectionForm *frmConnection;
    QPushButton *btnTest;
    QPushButton *btnSave;
    QPushButton *btnCancel;

private:
    void btnTestClick();
    void btnSaveClick();

    PrivateProfile &m_ini;
};
