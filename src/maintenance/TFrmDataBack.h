#pragma once
// Backup and restore of the whole database, with the backup folder and the
// automatic-backup schedule.

#include <QDialog>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QToolButton;

class TFrmDataBack : public QDialog {
    Q_OBJECT
public:
    explicit TFrmDataBack(QWidget *parent = nullptr);

    // What the program reopens once it goes on after a restore (its lists).
    void setAfterReconnect(std::function<void()> reopen) { m_afterReconnect = std::move(reopen); }
    // Shows the window modally.
    int Execute();

    QGroupBox *RadioGroup1;
    QButtonGroup *RadioGroup1Items;
    QLineEdit *edtBackPath;
    QToolButton *SpeedButton1;
    QPushButton *BackData;      // 备份
    QPushButton *RecoverData;   // 恢复
    QPushButton *Button1;       // 确定
    QPushButton *Button2;       // 关闭

    void FormShow();
    void SpeedButton1Click();
    void BackDataClick();
    void Button1Click();
    void RecoverDataClick();

    static const QString RestorePassword;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Asks to create a missing folder; false when it is not there afterwards.
    bool folderReady(const QString &folder, const QString &failure);
    void reconnect();

    std::function<void()> m_afterReconnect;
    bool m_shown = false;
};
