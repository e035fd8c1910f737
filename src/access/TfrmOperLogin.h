#pragma once
// The login window: first login at start-up (mode 0) and operator change
// from the main window (mode 1).

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmOperLogin : public QDialog {
    Q_OBJECT
public:
    enum Mode { FirstLogin = 0, ChangeOperator = 1 };

    // applyRights gets the logged-in name once the shared state is set.
    TfrmOperLogin(int mode, std::function<void(const QString &)> applyRights, QWidget *parent = nullptr);

    int mode() const { return m_mode; }
    int failures() const { return m_failures; }

    QLabel *lblHint;
    QComboBox *cbbOperName;
    QLineEdit *edtPassWord;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    // Esc and the window manager's close do nothing: only the two buttons end it.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void btnOkClick();
    void btnCancelClick();
    void LoginSucceeded(const QString &name);

    int m_mode;
    int m_failures = 0;
    bool m_shown = false;
    std::function<void(const QString &)> m_applyRights;
};

// Shows the login window modally. True once an operator is logged in; false
// when it was cancelled or failed (at the first login the program then ends,
// at an operator change the previous operator stays).
bool RunLogin(int mode, const std::function<void(const QString &)> &applyRights);
