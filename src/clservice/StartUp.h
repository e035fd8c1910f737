#pragma once
// Program start: splash, Config.ini, the shared connection, the main window,
// the login, then the message loop.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class PrivateProfile;
class QLabel;
class TFrmMain;
class TdmData;

// Borderless splash with a painted picture and one status line.
class TfrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *parent = nullptr);
    // Sets the status text and paints it at once: the message loop is not running yet.
    void setStatus(const QString &text);
    QString status() const;

    QLabel *lblStatus;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class StartUp {
public:
    enum class Result { LoggedIn, Ended };

    StartUp();
    ~StartUp();
    StartUp(const StartUp &) = delete;
    StartUp &operator=(const StartUp &) = delete;

    // Everything up to and including the login; no message loop.
    Result prepare();
    // prepare(), then the main window and the message loop. The exit code.
    int run();

    // Told of the first login's operator once the main window has applied
    // the operator's rights.
    std::function<void(const QString &)> applyRights = [](const QString &) {};

    TFrmMain *mainWindow() const { return m_main.get(); }
    TdmData *dataModule() const { return m_data.get(); }
    // The splash's status texts in the order they were shown.
    QStringList statusHistory() const { return m_history; }

private:
    bool createDataModule();
    void status(const QString &text);
    void closeSplash();
    void offerSetup();

    std::unique_ptr<TfrmSplash> m_splash;
    std::unique_ptr<PrivateProfile> m_ini;
    std::unique_ptr<TdmData> m_data;
    std::unique_ptr<TFrmMain> m_main;
    QStringList m_history;
};
