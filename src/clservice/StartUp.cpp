#include "StartUp.h"

#include "customers/TFrmMain.h"
#include "access/TfrmOperLogin.h"

#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "app/Shell.h"
#include "data/ConnectionConfig.h"
#include "data/Schema.h"
#include "data/TdmData.h"
#include "access/AccessWindows.h"
#include "maintenance/BackupWindows.h"
#include "maintenance/ImportWindows.h"
#include "maintenance/SetupWindows.h"
#include "reports/StatisticsWindows.h"
#include "reports/TFrmReportGl.h"
#include "service/ServiceEditors.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

namespace {
const QString kStarting = QStringLiteral("系统正在启动，请稍候 .....");
const QString kConnecting = QStringLiteral("正在连接数据库 .....");
const QString kLoggingIn = QStringLiteral("连接成功，正在登录 .....");
const QString kLoggingInShort = QStringLiteral("连接成功，正在登录 ...");
} // namespace

TfrmSplash::TfrmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(480, 280);
    lblStatus = new QLabel(kStarting, this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setStyleSheet(QStringLiteral("color: white;"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 12, 20, 12);
    layout->addStretch();
    layout->addWidget(lblStatus);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmSplash::setStatus(const QString &text)
{
    lblStatus->setText(text);
    lblStatus->repaint();
}

QString TfrmSplash::status() const { return lblStatus->text(); }

void TfrmSplash::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(rect().topLeft(), rect().bottomRight());
    g.setColorAt(0, QColor(16, 58, 120));
    g.setColorAt(1, QColor(40, 140, 200));
    p.fillRect(rect(), g);
    p.setPen(QColor(255, 255, 255, 60));
    for (int i = 0; i < 6; ++i)
        p.drawEllipse(QPoint(width() - 60, 40), 30 + 28 * i, 30 + 28 * i);

    p.setPen(Qt::white);
    QFont f = font();
    f.setPointSize(18);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(20, 70, width() - 40, 50), Qt::AlignLeft | Qt::AlignVCenter,
               PubUnit::ProductName.trimmed());
    f.setPointSize(11);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(20, 120, width() - 40, 30), Qt::AlignLeft | Qt::AlignVCenter,
               PubUnit::VersionText.trimmed());
    p.setPen(QColor(255, 255, 255, 120));
    p.drawLine(20, height() - 48, width() - 20, height() - 48);
}

StartUp::StartUp() = default;

StartUp::~StartUp()
{
    m_splash.reset();
    m_main.reset();
    if (dmData == m_data.get()) dmData = nullptr;
    m_data.reset();
    if (PubUnit::IniFile == m_ini.get()) PubUnit::IniFile = nullptr;
}

void StartUp::status(const QString &text)
{
    m_history << text;
    if (m_splash) m_splash->setStatus(text);
}

void StartUp::closeSplash()
{
    if (!m_splash) return;
    m_splash->close();
    m_splash.reset();
}

void StartUp::offerSetup()
{
    closeSplash();
    if (ShowMess(QStringLiteral("数据连接失败，是否要安装配置数据库？"), 1) != Mess::Yes) return;
    // The set-up tool must work on this run's program folder, also when that
    // was given with --home or CLSERVICE_HOME.
    QStringList args;
    if (QDir(ProgramFolder::path()) != QDir(QCoreApplication::applicationDirPath()))
        args << QStringLiteral("--home") << ProgramFolder::path();
    if (!Shell::current().startProgram(QStringLiteral("mdsetup"), args))
        ShowMess(QStringLiteral("无法启动数据库设置程序 mdsetup，请检查它是否安装在本程序所在的文件夹 %1 中！")
                     .arg(QDir::toNativeSeparators(QCoreApplication::applicationDirPath())),
                 3);
}

bool StartUp::createDataModule()
{
    m_data = std::make_unique<TdmData>();
    dmData = m_data.get();

    // A missing file gives the defaults; one that is there but cannot be read
    // is a configuration error.
    const QString path = ProgramFolder::filePath(QStringLiteral("Config.ini"));
    const QFileInfo info(path);
    if (info.exists()) {
        QFile f(path);
        if (!info.isFile() || !f.open(QIODevice::ReadOnly)) {
            closeSplash();
            ShowMess(QStringLiteral("配置文件不存在或出错，请先配置系统！"), 2);
            return false;
        }
    }
    m_ini = std::make_unique<PrivateProfile>(path);
    PubUnit::IniFile = m_ini.get();

    const ConnectionSettings s = readConnectionSettings(*m_ini);
    PubUnit::DBName = s.database;

    if (m_splash) m_splash->lblStatus->repaint();
    m_data->ADOcnn.close();

    if (s.database.trimmed().isEmpty()) {
        qInfo("No database named in %s", qPrintable(path));
        offerSetup();
        return false;
    }

    status(kConnecting);
    QString error;
    // An installed program's own folder starts without an archive: the
    // embedded one is made empty there, as mdsetup init would make it.
    const bool firstArchive = ProgramFolder::installed() && s.driver == QStringLiteral("sqlite")
                              && !QFileInfo::exists(sqliteDatabaseFile(s));
    if (firstArchive && !Schema::createDatabase(s, &error)) qWarning("Cannot create the archive: %s", qPrintable(error));
    bool ok = m_data->connect(s, &error);
    if (ok && firstArchive && !Schema::isInstalled(m_data->ADOcnn)) {
        ok = Schema::install(m_data->ADOcnn, &error);
        if (!ok) m_data->ADOcnn.close();
    }
    qInfo("Connection: %s", qPrintable(m_data->ADOcnn.connectionText()));
    if (!ok) {
        qWarning("Connection failed: %s", qPrintable(error));
        offerSetup();
        return false;
    }
    status(kLoggingInShort);
    return true;
}

StartUp::Result StartUp::prepare()
{
    // Windows open and close before the loop runs; none of that may end the program.
    const bool quitOnClose = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    struct Restore {
        bool value;
        ~Restore() { QApplication::setQuitOnLastWindowClosed(value); }
    } restore{quitOnClose};

    m_splash = std::make_unique<TfrmSplash>();
    m_history << kStarting;
    m_splash->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_splash->repaint();

    QCoreApplication::setApplicationName(PubUnit::ApplicationTitle);

    if (!createDataModule()) return Result::Ended;

    status(kLoggingIn);
    // The subsystems above the main window provide the windows of their commands.
    provideAccessWindows();
    provideReportWindows();
    provideStatisticsWindows();
    provideServiceWindows();
    provideSetupWindows();
    provideImportWindows();
    provideBackupWindows();
    m_main = std::make_unique<TFrmMain>();
    status(kLoggingInShort);
    QThread::msleep(20);
    status(kLoggingIn);
    closeSplash();

    TFrmMain *main = m_main.get();
    const auto loggedIn = [this, main](const QString &name) {
        main->SetLimits(name);
        applyRights(name);
    };
    return RunLogin(TfrmOperLogin::FirstLogin, loggedIn) ? Result::LoggedIn : Result::Ended;
}

int StartUp::run()
{
    if (prepare() != Result::LoggedIn) return 1;
    m_main->show();
    return QApplication::exec();
}
