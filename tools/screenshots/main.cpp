// screenshots: opens the windows the user manual shows on a demo archive and
// saves each as a PNG, so the pictures can be made again when a window changes.
// Usage: screenshots --home DIR OUTDIR   (DIR holds a demo archive: mdsetup init --demo)

#include "clservice/StartUp.h"
#include "customers/TFrmMain.h"
#include "access/TfrmOperLogin.h"

#include "app/Application.h"
#include "app/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// The windows to shoot: the main window's action that opens each, and the
// picture's name. Add a line for a new window.
struct Shot {
    const char *action;
    const char *file;
};
constexpr Shot kShots[] = {
    {"act201", "customer-new"},       {"act202", "customer-edit"},  {"tbWX", "repair-list"},
    {"tbHF", "visit-list"},           {"tbTS", "complaint-list"},   {"act303", "print-preview"},
    {"act302", "report-templates"},   {"act401", "statistics"},     {"act403", "statistics-sales"},
    {"act402", "reminders"},          {"act501", "import"},         {"act503", "backup"},
    {"act103", "operators"},          {"act102", "password"},       {"act101", "company"},
    {"act106", "settings"},           {"actAbout", "about"},
};

QString g_out;
QString g_current;   // name of the picture the next dialog is saved as

void save(QWidget &w, const QString &name)
{
    w.grab().save(QDir(g_out).filePath(name + QStringLiteral(".png")));
}

// Every modal window is shown, photographed and closed; questions are answered No,
// so nothing is changed in the archive.
class ShootingDialogs : public WidgetDialogs {
public:
    int message(const QString &, Kind kind, Mess::Answer) override { return kind == Kind::Question ? Mess::No : 0; }
    void standardMessage(const QString &, const QString &, Kind) override {}
    bool confirm(const QString &, const QString &) override { return false; }
    std::optional<QString> inputText(const QString &, const QString &, const QString &, bool) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString directory(const QString &, const QString &) override { return {}; }
    int execDialog(QDialog &dialog) override
    {
        if (g_current.isEmpty()) return QDialog::Rejected;   // a window opened by the one being shot
        const QString name = g_current;
        g_current.clear();
        dialog.show();
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
        save(dialog, name);
        dialog.hide();
        return QDialog::Rejected;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    initApplication(args);
    g_out = args.size() > 1 ? args.last() : QStringLiteral(".");
    QDir().mkpath(g_out);

    ShootingDialogs dialogs;
    Dialogs::install(&dialogs);

    // The login window runs its own loop: sign in as admin with the empty password.
    QTimer login;
    QObject::connect(&login, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *frm = qobject_cast<TfrmOperLogin *>(w);
            if (!frm || !frm->isVisible()) continue;
            save(*frm, QStringLiteral("login"));
            frm->cbbOperName->setEditText(QStringLiteral("admin"));
            frm->edtPassWord->clear();
            frm->btnOk->click();
        }
    });
    login.start(50);
    StartUp startUp;
    if (startUp.prepare() != StartUp::Result::LoggedIn) {
        qCritical("could not sign in on %s", qPrintable(args.join(u' ')));
        return 1;
    }
    login.stop();

    TFrmMain *main = startUp.mainWindow();
    main->resize(1200, 760);
    main->show();
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    save(*main, QStringLiteral("mainwindow"));

    int missing = 0;
    for (const Shot &s : kShots) {
        auto *a = main->findChild<QAction *>(QString::fromLatin1(s.action));
        if (!a) {
            qWarning("no action %s for %s", s.action, s.file);
            ++missing;
            continue;
        }
        g_current = QString::fromLatin1(s.file);
        a->trigger();
        if (!g_current.isEmpty()) {
            qWarning("%s opened no window", s.file);
            g_current.clear();
            ++missing;
        }
    }
    Dialogs::install(nullptr);
    return missing ? 2 : 0;
}
