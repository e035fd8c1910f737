// Every text box, editable drop-down and memo of the editors and dialogs,
// found by walking the window, filled with hostile values and saved through
// the window's own button; the saved row is read back. Each value is stored
// as typed (trimmed where the window trims, without NUL characters where it
// is a plain text), or the window refuses it with its own message; never a
// broken statement or a raw database error. The search boxes of the main
// window, the advanced query, the code picker, the customer picker, the
// service record lists and the detail statistics take the same values (and
// their category lists and drop-downs offer them) and find the row that
// holds them; the login refuses them with its own words, and the e-mail
// export writes the file they name.

#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "access/FieldLimit.h"
#include "access/OperatorSql.h"
#include "access/OperatorStore.h"
#include "access/TFrmLimitGl.h"
#include "access/TfrmModPass.h"
#include "access/TfrmOperLogin.h"
#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "app/Settings.h"
#include "components/CategoryPanel.h"
#include "components/CheckedDateEdit.h"
#include "components/DataGrid.h"
#include "components/NumberEdit.h"
#include "customers/TDLGaddText.h"
#include "customers/TDLGcodeNewXZ.h"
#include "customers/TDlgCltCx.h"
#include "customers/TFrmCodeMan.h"
#include "customers/TFrmMain.h"
#include "customers/TfrmCltEdit.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "maintenance/CompanyInfo.h"
#include "maintenance/TFrmUserInfo.h"
#include "maintenance/TfrmZDYset.h"
#include "reports/DetailStatWindow.h"
#include "reports/TfrmAwokeGl.h"
#include "reports/TfrmCltStatCx.h"
#include "reports/TfrmExportEmail.h"
#include "service/ServiceListWindow.h"
#include "service/TDLGcltrecXZ.h"
#include "service/TfrmHFrecEdit.h"
#include "service/TfrmTSrecEdit.h"
#include "service/TfrmWXrecEdit.h"

#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

namespace {

// --- the values ---------------------------------------------------------------------

struct Hostile {
    const char *name;
    QString text;   // empty: the long value
};

const QList<Hostile> &hostiles()
{
    static const QList<Hostile> v = {
        {"quote", QStringLiteral("'")},        {"two quotes", QStringLiteral("''")},
        {"percent", QStringLiteral("%")},      {"underscore", QStringLiteral("_")},
        {"backslash", QStringLiteral("\\")},   {"NUL", QString(QChar(u'\0'))},
        {"line break", QStringLiteral("\n")},  {"10000 characters", QString()},
        {"CJK", QStringLiteral("客户张三")},   {"emoji", QStringLiteral("😀👍")},
    };
    return v;
}
constexpr int kLong = 7;
constexpr int kLongSize = 10000;
constexpr int kCjk = 8;

// The tag first, so that a value cut or trimmed at its end still names its box.
QString valueText(int hostile, const QString &tag)
{
    const Hostile &h = hostiles().at(hostile);
    return h.text.isEmpty() ? tag + QString(kLongSize - tag.size(), u'长') : tag + h.text;
}

// What a raw database error looks like in a message: the engines' own words.
bool looksLikeDbError(const QString &text)
{
    static const char *const marks[] = {"syntax error", "unrecognized token", "SQLSTATE", "near \"",
                                        "ERROR:", "unterminated", "incomplete input", "no such column",
                                        "invalid byte sequence", "value too long", "QPSQL", "QSQLITE"};
    for (const char *m : marks)
        if (text.contains(QLatin1String(m), Qt::CaseInsensitive)) return true;
    return false;
}

// --- the inputs ---------------------------------------------------------------------

// Hidden by the window (not merely on a tab page that is not shown).
bool hiddenIn(QWidget *w, QWidget *root)
{
    for (QWidget *p = w; p && p != root; p = p->parentWidget())
        if (p->isHidden() && !qobject_cast<QStackedWidget *>(p->parentWidget())) return true;
    return false;
}

// Inside a number edit, a spin box or a drop-down: their own editors are not inputs.
bool innerEditor(QWidget *w, QWidget *root)
{
    for (QWidget *p = w->parentWidget(); p && p != root->parentWidget(); p = p->parentWidget())
        if (qobject_cast<QAbstractSpinBox *>(p) || qobject_cast<QComboBox *>(p) || qobject_cast<NumberEdit *>(p))
            return true;
    return false;
}

// Every text input an operator can type into, in the window's creation order.
QList<QWidget *> inputsOf(QWidget *root)
{
    QList<QWidget *> found;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!w->isEnabled() || hiddenIn(w, root) || innerEditor(w, root)) continue;
        if (auto *e = qobject_cast<QLineEdit *>(w)) {
            if (!qobject_cast<NumberEdit *>(e) && !e->isReadOnly()) found << w;
        } else if (auto *c = qobject_cast<QComboBox *>(w)) {
            if (c->isEditable()) found << w;
        } else if (auto *p = qobject_cast<QPlainTextEdit *>(w)) {
            if (!p->isReadOnly()) found << w;
        } else if (auto *t = qobject_cast<QTextEdit *>(w)) {
            if (!t->isReadOnly()) found << w;
        }
    }
    return found;
}

void setTextOf(QWidget *w, const QString &text)
{
    if (auto *e = qobject_cast<QLineEdit *>(w)) e->setText(text);
    else if (auto *c = qobject_cast<QComboBox *>(w)) c->setEditText(text);
    else if (auto *p = qobject_cast<QPlainTextEdit *>(w)) p->setPlainText(text);
    else if (auto *t = qobject_cast<QTextEdit *>(w)) t->setPlainText(text);
}

QString textOf(QWidget *w)
{
    if (auto *e = qobject_cast<QLineEdit *>(w)) return e->text();
    if (auto *c = qobject_cast<QComboBox *>(w)) return c->currentText();
    if (auto *p = qobject_cast<QPlainTextEdit *>(w)) return p->toPlainText();
    if (auto *t = qobject_cast<QTextEdit *>(w)) return t->toPlainText();
    return {};
}

int maxLengthOf(QWidget *w)
{
    if (auto *e = qobject_cast<QLineEdit *>(w)) return e->maxLength();
    if (auto *c = qobject_cast<QComboBox *>(w); c && c->lineEdit()) return c->lineEdit()->maxLength();
    return INT_MAX;
}

QString nameOf(QWidget *w, int index)
{
    return w->objectName().isEmpty() ? QStringLiteral("%1#%2").arg(QLatin1String(w->metaObject()->className())).arg(index)
                                     : w->objectName();
}

QString shown(QString s)
{
    s.replace(QChar(u'\0'), QStringLiteral("\\0")).replace(u'\n', QStringLiteral("\\n"));
    return s.size() > 40 ? s.left(20) + QStringLiteral("…(%1)").arg(s.size()) : s;
}

// --- the fixture --------------------------------------------------------------------

struct Fixture {
    explicit Fixture(const QString &backend)
    {
        dm = TestDb::freshModule(backend, dir.path());
        TestDb::signIn();
        PubUnit::AutoCode = false;
        TfrmCltEdit::AreaId = 0;
        main = std::make_unique<TFrmMain>();
        main->show();
    }
    ~Fixture()
    {
        closeWindow();
        main.reset();
        Dialogs::install(nullptr);
        dmData = nullptr;
    }

    QStringList rowTexts(const QString &sql) const
    {
        DataSet q(&dm->ADOcnn);
        q.setSql(sql);
        QStringList r;
        if (!q.open()) return {QStringLiteral("<read failed: %1>").arg(q.lastError())};
        for (int c = 0; !q.isEmpty() && c < q.fieldCount(); ++c) r << q.field(c).asString();
        return r;
    }
    QStringList lastRow(const QString &table) const
    {
        return rowTexts(QStringLiteral("select * from %1 where F_ID = (select max(F_ID) from %1)").arg(table));
    }
    void run(const QString &sql)
    {
        if (!dm->RunSQL(sql)) qFatal("%s failed", qPrintable(sql));
    }

    QTemporaryDir dir;
    std::unique_ptr<TdmData> dm;
    std::unique_ptr<TFrmMain> main;
    // The window of the round; a window that closes itself on saving is gone already.
    QPointer<QWidget> window;
    void closeWindow() { delete window.data(); }
    qint64 editedId = 0;
};

// One box as the round filled it.
struct Filled {
    QString name;
    QString intended;
    QString held;   // what the box holds: the value typed, cut to its maximum length
    int maxLength = INT_MAX;   // read while the box is there: saving may close its window
};

class Round;

// One editor or dialog that saves a row.
struct Editor {
    QString name;
    std::function<void(Fixture &)> setUp;                  // once per database
    std::function<QWidget *(Fixture &)> open;              // a fresh window, shown
    std::function<void(Fixture &, QWidget *, Round &)> save;   // through the window's own button
    std::function<QStringList(Fixture &)> stored;          // the saved row's texts as read back
    QStringList trimmed;                                   // boxes written trimmed
    QStringList unstored;                                  // boxes that reach no column
    QStringList coded;                                     // written coded: a NUL is kept
    QList<QStringList> sameText;                           // boxes that must agree (a password twice)
    // The message the window must refuse the box's text with (empty: none).
    std::function<QString(const QString &box, const QString &held)> refusal;
    // Messages a save may show besides a refusal.
    std::function<bool(const QString &)> fine;
    // A box whose value must be shaped first (a folder under the test's own).
    std::function<QString(Fixture &, const QString &box, const QString &text)> shape;
    std::function<void(Fixture &, const QList<Filled> &)> beforeSave;
    // A further condition of a save (the service records follow a new code).
    std::function<QString(Fixture &)> check;
};

const QStringList &groupOf(const Editor &e, const QString &box)
{
    static const QStringList none;
    for (const QStringList &g : e.sameText)
        if (g.contains(box)) return g;
    return none;
}

// Fills boxes; for the long value only `longBox` (and the boxes that must
// agree with it) hold it, the others a short text.
class Round {
public:
    Round(Fixture &f, const Editor &e, int number, int hostile, const QString &longBox)
        : m_f(f), m_e(e), m_number(number), m_hostile(hostile), m_longBox(longBox)
    {
    }
    void fill(QWidget *root)
    {
        const QList<QWidget *> boxes = inputsOf(root);
        for (QWidget *box : boxes) {
            const int index = int(filled.size());
            const QString name = nameOf(box, index);
            const QString tag = QString::number(index, 36) + u'.' + QString::number(m_number);
            int h = m_hostile;
            if (h == kLong) {
                const QStringList &g = groupOf(m_e, m_longBox);
                h = name == m_longBox || g.contains(name) ? kLong : kCjk;
            }
            QString text = valueText(h, tag);
            if (m_e.shape) text = m_e.shape(m_f, name, text);
            const QStringList &group = groupOf(m_e, name);
            if (!group.isEmpty() && group.first() != name)
                for (const Filled &x : filled)
                    if (x.name == group.first()) text = x.intended;
            setTextOf(box, text);
            filled << Filled{name, text, textOf(box), maxLengthOf(box)};
        }
    }
    QList<Filled> filled;

private:
    Fixture &m_f;
    const Editor &m_e;
    int m_number;
    int m_hostile;
    QString m_longBox;
};

QString expectedStored(const Editor &e, const Filled &x)
{
    QString v = e.trimmed.contains(x.name) ? x.held.trimmed() : x.held;
    if (!e.coded.contains(x.name)) v.remove(QChar(u'\0'));
    return v;
}

struct Tally {
    QSet<QString> windows;
    QSet<QString> inputs;
    int values = 0;
    QStringList faults;
};

// Opens, fills, saves and reads back one round; what went wrong is added to the tally.
void runRound(Fixture &f, const Editor &e, int number, int hostile, const QString &longBox, Tally &tally)
{
    ScriptedDialogs dialogs;
    Dialogs::install(&dialogs);
    const QString where = QStringLiteral("%1 / %2%3: ").arg(e.name, QLatin1String(hostiles().at(hostile).name),
                                                             longBox.isEmpty() ? QString() : QStringLiteral(" in ") + longBox);
    QWidget *w = e.open(f);
    Round round(f, e, number, hostile, longBox);
    round.fill(w);
    if (e.beforeSave) e.beforeSave(f, round.filled);
    e.save(f, w, round);
    if (round.filled.isEmpty()) tally.faults << where + QStringLiteral("no input found");

    QString refusal;
    for (const Filled &x : round.filled) {
        tally.windows << e.name;
        tally.inputs << e.name + u'/' + x.name;
        ++tally.values;
        const QString cut = x.intended.left(x.maxLength);
        if (x.held != cut)
            tally.faults << where + QStringLiteral("%1 holds \"%2\", typed \"%3\"").arg(x.name, shown(x.held), shown(cut));
        if (refusal.isEmpty() && e.refusal) refusal = e.refusal(x.name, x.held);
    }
    QStringList messages;
    for (const ScriptedDialogs::Call &c : dialogs.calls)
        if (c.what == QLatin1String("message") || c.what == QLatin1String("standard")) messages << c.text;
    for (const QString &m : messages) {
        if (looksLikeDbError(m)) tally.faults << where + QStringLiteral("raw database error shown: ") + shown(m);
        else if (m != refusal && !(e.fine && e.fine(m))) tally.faults << where + QStringLiteral("unexpected message: ") + QString(m).replace(QChar(u'\0'), QStringLiteral("\\0"));
    }
    const QStringList stored = e.stored(f);
    if (!refusal.isEmpty()) {
        if (!messages.contains(refusal)) tally.faults << where + QStringLiteral("not refused with \"%1\"").arg(refusal);
        for (const Filled &x : round.filled)
            if (!e.unstored.contains(x.name) && !e.refusal(x.name, x.held).isEmpty() && stored.contains(expectedStored(e, x)))
                tally.faults << where + x.name + QStringLiteral(" stored although refused");
    } else {
        for (const Filled &x : round.filled) {
            if (e.unstored.contains(x.name)) continue;
            const QString want = expectedStored(e, x);
            if (!stored.contains(want))
                tally.faults << where + QStringLiteral("%1 not stored as \"%2\"").arg(x.name, shown(want));
        }
        if (e.check)
            if (const QString problem = e.check(f); !problem.isEmpty()) tally.faults << where + problem;
    }
    f.closeWindow();
    Dialogs::install(nullptr);
}

void sweep(Fixture &f, const Editor &e, Tally &tally)
{
    if (e.setUp) e.setUp(f);
    int number = 0;
    for (int h = 0; h < hostiles().size(); ++h) {
        if (h != kLong) {
            runRound(f, e, number++, h, {}, tally);
            continue;
        }
        // The long value goes into one box at a time, so that each box shows what it does with it.
        QStringList names;
        {
            ScriptedDialogs quiet;
            Dialogs::install(&quiet);
            QWidget *w = e.open(f);
            const QList<QWidget *> boxes = inputsOf(w);
            for (int i = 0; i < boxes.size(); ++i) names << nameOf(boxes[i], i);
            f.closeWindow();
            Dialogs::install(nullptr);
        }
        for (const QString &box : names) {
            const QStringList &g = groupOf(e, box);
            if (!g.isEmpty() && g.first() != box) continue;
            runRound(f, e, number++, h, box, tally);
        }
    }
}

// The window of the round, owned by the fixture.
template <typename W>
W *keep(Fixture &f, W *w)
{
    f.closeWindow();
    f.window = w;
    w->show();
    return w;
}

bool none(const QString &) { return false; }

// --- the editors --------------------------------------------------------------------

QStringList customerTrimmed()
{
    return {"edtName", "edtcode", "edtBuyAddress", "edtphone", "edthandphone", "cbbType", "edtJScode", "cbbXingHao",
            "cbbAddgoodA", "cbbAddgoodB", "cbbArea", "cbbSetupDept", "edtPostcode", "cbbKDcode", "edtKPcode", "cbbMaker"};
}

Editor customerEditor(bool edit)
{
    Editor e;
    e.name = edit ? QStringLiteral("customer editor (change)") : QStringLiteral("customer editor (new)");
    e.trimmed = customerTrimmed();
    e.fine = none;
    if (edit) {
        e.setUp = [](Fixture &f) {
            f.run(QStringLiteral("insert into t_client(F_code,F_name) values('E1','乙')"));
            f.editedId = f.dm->GetIntValue(QStringLiteral("select F_ID from t_client where F_code = 'E1'"));
            f.run(QStringLiteral("insert into T_WXrec(F_mainID,F_cltcode) values(%1,'E1')").arg(f.editedId));
        };
    }
    e.open = [edit](Fixture &f) -> QWidget * {
        if (edit) {
            f.main->RunQuery();
            f.main->QryMain->locate(QStringLiteral("F_ID"), f.editedId);
        }
        auto *w = new TfrmCltEdit(*f.main, f.main.get());
        w->prepare(edit ? TfrmCltEdit::EditMode : TfrmCltEdit::NewMode);
        return keep(f, w);
    };
    e.save = [](Fixture &, QWidget *w, Round &) { static_cast<TfrmCltEdit *>(w)->Button1->click(); };
    e.stored = [edit](Fixture &f) {
        return edit ? f.rowTexts(QStringLiteral("select * from t_client where F_ID = %1").arg(f.editedId))
                    : f.lastRow(QStringLiteral("t_client"));
    };
    if (edit) {
        // A changed code takes the customer's repairs along, whatever it holds.
        e.check = [](Fixture &f) {
            const QString code = f.dm->GetStrValue(QStringLiteral("select F_code from t_client where F_ID = %1").arg(f.editedId));
            const QString repair = f.dm->GetStrValue(QStringLiteral("select F_cltcode from T_WXrec where F_mainID = %1").arg(f.editedId));
            return code == repair ? QString()
                                  : QStringLiteral("the repair kept code \"%1\", the customer has \"%2\"").arg(shown(repair), shown(code));
        };
    }
    return e;
}

Editor serviceEditor(ServiceKind kind)
{
    static const char *const names[] = {"repair editor", "return-visit editor", "complaint editor"};
    static const char *const tables[] = {"T_WXrec", "T_HFrec", "T_TSrec"};
    Editor e;
    e.name = QString::fromLatin1(names[int(kind)]);
    switch (kind) {
    case ServiceKind::Repair:
        e.trimmed = {"cbbXinghao", "cbbReason", "cbbSetupDept", "edtbillcode", "cbbFWname", "edtJScode"};
        break;
    case ServiceKind::ReturnVisit: e.trimmed = {"cbbEmpName"}; break;
    case ServiceKind::Complaint: e.trimmed = {"cbbJibie", "cbbMaker", "memReason"}; break;
    }
    e.fine = none;
    e.setUp = [](Fixture &f) {
        f.run(QStringLiteral("insert into t_client(F_code,F_name) values('S1','某''商行')"));
        f.main->RunQuery();
    };
    e.open = [kind](Fixture &f) -> QWidget * {
        TfrmServiceEdit *w = nullptr;
        switch (kind) {
        case ServiceKind::Repair: w = new TfrmWXrecEdit(f.main.get(), f.main.get()); break;
        case ServiceKind::ReturnVisit: w = new TfrmHFrecEdit(f.main.get(), f.main.get()); break;
        case ServiceKind::Complaint: w = new TfrmTSrecEdit(f.main.get(), f.main.get()); break;
        }
        w->SetFromMain(true);
        w->prepare(TfrmServiceEdit::NewMode);
        return keep(f, w);
    };
    e.save = [](Fixture &, QWidget *w, Round &) { static_cast<TfrmServiceEdit *>(w)->Button1->click(); };
    const QString table = QString::fromLatin1(tables[int(kind)]);
    e.stored = [table](Fixture &f) { return f.lastRow(table); };
    return e;
}

Editor operatorEditor()
{
    Editor e;
    e.name = QStringLiteral("operator editor");
    e.trimmed = {"cbbName"};
    e.unstored = {"edtRepPass"};
    e.coded = {"edtPassWord"};
    e.sameText = {{"edtPassWord", "edtRepPass"}};
    e.fine = none;
    e.refusal = [](const QString &box, const QString &held) {
        if (box == QLatin1String("cbbName")) {
            const QString name = QString(held).remove(QChar(u'\0')).trimmed();
            const int limit = operatorNameLimit();
            return name.size() > limit ? tooLongMessage(QStringLiteral("用户名称"), limit, int(name.size())) : QString();
        }
        if (box == QLatin1String("edtPassWord") && held.toUtf8().size() > MaxClearPasswordBytes)
            return QStringLiteral("密码太长：最多 %1 个字节（一个汉字占 3 个），请重新输入！").arg(MaxClearPasswordBytes);
        return QString();
    };
    e.open = [](Fixture &f) -> QWidget * {
        auto *w = new TFrmLimitGl(TFrmLimitGl::NewMode, nullptr, {});
        w->LoadRights();
        w->LoadFields();
        return keep(f, w);
    };
    e.save = [](Fixture &, QWidget *w, Round &) { static_cast<TFrmLimitGl *>(w)->BitBtn1->click(); };
    e.stored = [](Fixture &f) {
        QStringList row = f.lastRow(QStringLiteral("OperList"));
        const QString pass = f.dm->GetStrValue(QStringLiteral("select F_PassWord from OperList where F_ID = (select max(F_ID) from OperList)"));
        row << GetPass(pass);
        return row;
    };
    return e;
}

qint64 adminId(Fixture &f)
{
    return f.dm->GetIntValue(QStringLiteral("select F_ID from OperList where F_Name = 'admin'"));
}

Editor passwordChange()
{
    Editor e;
    e.name = QStringLiteral("password change");
    e.unstored = {"edtOldPass", "edtAdjustPass"};
    e.coded = {"edtNewPass"};
    e.sameText = {{"edtNewPass", "edtAdjustPass"}};
    e.fine = [](const QString &m) { return m == QStringLiteral("更改口令成功！"); };
    e.refusal = [](const QString &box, const QString &held) {
        if (held.toUtf8().size() <= MaxClearPasswordBytes) return QString();
        // The old password is set to what is typed, and a stored one keeps no more.
        if (box == QLatin1String("edtOldPass")) return QStringLiteral("旧口令输入错误，不能更改！");
        if (box == QLatin1String("edtNewPass"))
            return QStringLiteral("新口令太长：最多 %1 个字节（一个汉字占 3 个），不能更改！").arg(MaxClearPasswordBytes);
        return QString();
    };
    e.beforeSave = [](Fixture &f, const QList<Filled> &filled) {
        for (const Filled &x : filled)
            if (x.name == QLatin1String("edtOldPass")) OperatorStore(*f.dm).setPassword(adminId(f), x.held);
    };
    e.open = [](Fixture &f) -> QWidget * { return keep(f, new TfrmModPass); };
    e.save = [](Fixture &, QWidget *w, Round &) { static_cast<TfrmModPass *>(w)->BitBtn1->click(); };
    e.stored = [](Fixture &f) {
        return QStringList{GetPass(f.dm->GetStrValue(QStringLiteral("select F_PassWord from OperList where F_ID = %1").arg(adminId(f))))};
    };
    return e;
}

Editor companyInfo()
{
    Editor e;
    e.name = QStringLiteral("company information");
    for (const CompanyField &c : companyFields()) e.trimmed << QString::fromLatin1(c.control);
    e.refusal = [](const QString &box, const QString &held) {
        // No folder can be made with a NUL in its name.
        if (box == QLatin1String("edtBakPath") && held.contains(QChar(u'\0')))
            return QStringLiteral("目录") + held + QStringLiteral("创建失败,请检测路径是否合法!");
        for (const CompanyField &c : companyFields()) {
            if (box != QLatin1String(c.control)) continue;
            const QString text = held.trimmed().remove(QChar(u'\0'));
            int limit = columnLimit(QStringLiteral("SysInfo"), QString::fromLatin1(c.column));
            if (limit <= 0 || limit > 255) limit = 255;
            return text.size() > limit ? tooLongMessage(QString::fromUtf8(c.label), limit, int(text.size())) : QString();
        }
        return QString();
    };
    // A backup folder that is not there is offered to be made.
    e.fine = [](const QString &m) { return m.startsWith(QStringLiteral("当前目录")) && m.endsWith(QStringLiteral("不存在，是否创建！")); };
    e.shape = [](Fixture &f, const QString &box, const QString &text) {
        return box == QLatin1String("edtBakPath") ? f.dir.path() + QStringLiteral("/bak ") + text : text;
    };
    e.open = [](Fixture &f) -> QWidget * { return keep(f, new TFrmUserInfo); };
    e.save = [](Fixture &, QWidget *w, Round &) {
        static_cast<ScriptedDialogs &>(Dialogs::current()).answer(Mess::Yes);
        static_cast<TFrmUserInfo *>(w)->BitBtn2->click();
    };
    e.stored = [](Fixture &f) {
        QStringList r;
        if (const std::optional<CompanyInfo> info = CompanyStore(*f.dm).load())
            for (const QString &v : info->values) r << v;
        return r;
    };
    return e;
}

QString settingsLabel(const QString &box)
{
    static const char *const numbers[] = {"一", "二", "三", "四", "五"};
    const int n = box.right(1).toInt();
    const QString kind = box.startsWith(QLatin1String("edtZF"))   ? QStringLiteral("字符项")
                         : box.startsWith(QLatin1String("edtSZ")) ? QStringLiteral("数值项")
                                                                   : QStringLiteral("日期项");
    return kind + QString::fromUtf8(numbers[n - 1]);
}

Editor customSettings()
{
    Editor e;
    e.name = QStringLiteral("custom settings");
    e.trimmed = {"cbbImeName"};
    e.fine = [](const QString &m) { return m == QStringLiteral("当前软件设置更改成功！"); };
    e.refusal = [](const QString &box, const QString &held) {
        if (box == QLatin1String("cbbImeName")) return QString();
        const QString text = QString(held).remove(QChar(u'\0'));
        const int limit = columnLimit(QStringLiteral("KeyValue"), QStringLiteral("F_Value"));
        return text.size() > limit ? tooLongMessage(settingsLabel(box), limit, int(text.size())) : QString();
    };
    e.open = [](Fixture &f) -> QWidget * { return keep(f, new TfrmZDYset); };
    e.save = [](Fixture &, QWidget *w, Round &) { static_cast<TfrmZDYset *>(w)->Button2->click(); };
    e.stored = [](Fixture &f) {
        QStringList r;
        DataSet q(&f.dm->ADOcnn);
        q.setSql(QStringLiteral("select F_Value from KeyValue order by F_ID"));
        if (q.open())
            for (q.first(); !q.eof(); q.next()) r << q.field(0).asString();
        // The input method is this workstation's, read back from its Config.ini.
        PrivateProfile ini(ProgramFolder::filePath(QStringLiteral("Config.ini")));
        r << Settings::text(ini, Settings::Key::CurImeName);
        return r;
    };
    return e;
}

// 新增 in the code picker asks for the name in a dialog of its own, and stores it as typed.
Editor codePickerAdd()
{
    Editor e;
    e.name = QStringLiteral("code picker, new entry");
    e.unstored = {"edtcode", "edtname"};   // the picker's search boxes
    e.fine = none;
    e.open = [](Fixture &f) -> QWidget * {
        auto *w = new TDLGcodeNewXZ;
        w->CodeType = QStringLiteral("type");
        return keep(f, w);
    };
    e.save = [](Fixture &, QWidget *w, Round &round) {
        auto &dialogs = static_cast<ScriptedDialogs &>(Dialogs::current());
        dialogs.handleDialog([&round](QDialog &d) {
            round.fill(&d);
            static_cast<TDLGaddText &>(d).BitBtn1->click();
            return d.result();
        });
        static_cast<TDLGcodeNewXZ *>(w)->Button1Click();
    };
    e.stored = [](Fixture &f) { return f.lastRow(QStringLiteral("t_code")); };
    return e;
}

// The code lists window: a new row typed into the grid's cells and saved in one batch.
Editor codeLists()
{
    Editor e;
    e.name = QStringLiteral("code lists");
    e.fine = none;
    e.open = [](Fixture &f) -> QWidget * { return keep(f, new TFrmCodeMan); };
    e.save = [](Fixture &, QWidget *w, Round &round) {
        auto *man = static_cast<TFrmCodeMan *>(w);
        man->tbNewClick();
        DataGrid *grid = man->DBGrid1;
        const int row = man->QryCode->recNo();
        for (int c = 0; c < 2; ++c) {
            const QModelIndex index = grid->model()->index(row, c);
            grid->setCurrentIndex(index);
            grid->edit(index);
            QWidget *editor = grid->indexWidget(index);
            if (!editor) {
                const QList<QLineEdit *> open = grid->viewport()->findChildren<QLineEdit *>();
                for (QLineEdit *l : open)
                    if (l->isVisible()) editor = l;
            }
            if (!editor) continue;
            round.fill(editor->parentWidget());
            QTest::keyClick(editor, Qt::Key_Return);
        }
        man->tbSaveClick();
    };
    e.stored = [](Fixture &f) { return f.lastRow(QStringLiteral("t_code")); };
    return e;
}

// --- the searches -------------------------------------------------------------------

// A customer whose every text column holds the value, and a decoy holding only its tag.
QString searchTag(int hostile) { return QStringLiteral("s%1").arg(hostile); }

void addSearchRows(Fixture &f)
{
    static const char *const columns[] = {"F_code", "F_name", "F_buyAddress", "F_phone", "F_handphone", "F_JScode",
                                          "F_AddGoodA", "F_AddGoodB", "F_kpcode", "F_memo1", "F_maker", "F_type",
                                          "F_kdcode", "F_xinghao", "F_area", "F_setupDept"};
    QStringList names;
    for (const char *c : columns) names << QString::fromLatin1(c);
    for (int h = 0; h < hostiles().size(); ++h) {
        for (const QString &v : {valueText(h, searchTag(h)), searchTag(h) + QStringLiteral("-")}) {
            QStringList values;
            for (int i = 0; i < names.size(); ++i) values << sqlQuoted(v);
            f.run(QStringLiteral("insert into t_client(%1,F_useFlag,F_IFshoukuan,F_empName) values(%2,0,0,'admin')")
                      .arg(names.join(u','), values.join(u',')));
        }
        f.run(QStringLiteral("insert into t_code(F_name,F_type) values(%1,'type')").arg(sqlQuoted(valueText(h, searchTag(h)))));
        f.run(QStringLiteral("insert into t_code(F_name,F_type) values(%1,'type')").arg(sqlQuoted(searchTag(h) + QStringLiteral("-"))));
    }
}

// Whether a decoy may be found: a wildcard matches it, and a trimmed line
// break or a dropped NUL leaves only the tag.
bool decoyMayMatch(int hostile) { return hostile == 2 || hostile == 3 || hostile == 5 || hostile == 6; }

QStringList column(DataSet *ds, const QString &field)
{
    QStringList r;
    if (!ds || !ds->isActive()) return r;
    const int c = ds->fieldIndex(field);
    for (int i = 0; i < ds->recordCount(); ++i) r << ds->value(i, c).toString();
    return r;
}

// One search: the rows it listed, judged against the value's customer and its decoy.
void judgeSearch(const QString &where, int hostile, const QStringList &listed, const ScriptedDialogs &dialogs, Tally &tally)
{
    for (const ScriptedDialogs::Call &c : dialogs.calls)
        tally.faults << where + (looksLikeDbError(c.text) ? QStringLiteral("raw database error shown: ")
                                                          : QStringLiteral("unexpected message: "))
                                  + shown(c.text);
    const QString target = QString(valueText(hostile, searchTag(hostile))).remove(QChar(u'\0'));
    const QString decoy = searchTag(hostile) + QStringLiteral("-");
    if (!listed.contains(target)) tally.faults << where + QStringLiteral("the row holding the value is not found");
    if (!decoyMayMatch(hostile) && listed.contains(decoy))
        tally.faults << where + QStringLiteral("a row without the value is found");
}

// --- the list windows ---------------------------------------------------------------

const QString kRecordDate = QStringLiteral("2020-05-05");

// Repairs, return visits and complaints whose every text column holds the
// value (their customer's code too), and decoys holding only the tag; the
// search customers get dates, a reminder due today and an address; every
// code list offers the values.
void addServiceRows(Fixture &f)
{
    struct Table {
        const char *name;
        const char *dates;
        const char *columns;
    };
    static const Table tables[] = {
        {"T_WXrec", "F_bxdate,F_xfdate", "F_cltcode,F_cltName,F_xinghao,F_reason,F_JScode,F_setupDept,F_billcode,F_mem1,F_fwName"},
        {"T_HFrec", "F_date,F_editDate", "F_cltcode,F_cltName,F_empname,F_mem1,f_mem2"},
        {"T_TSrec", "F_tsdate,F_tstime", "F_cltcode,F_cltName,F_jibie,F_maker,F_reason,F_memo1,F_memo2"},
    };
    static const char *const codeTypes[] = {"maker", "area", "xinghao", "setupdept", "Reason", "addgood", "tsjibie"};
    for (int h = 0; h < hostiles().size(); ++h) {
        for (const QString &v : {valueText(h, searchTag(h)), searchTag(h) + QStringLiteral("-")}) {
            for (const Table &t : tables) {
                const int n = int(QString::fromLatin1(t.columns).count(u',')) + 1;
                QStringList values;
                for (int i = 0; i < n; ++i) values << sqlQuoted(v);
                f.run(QStringLiteral("insert into %1(%2,%3) values('%4','%4',%5)")
                          .arg(QLatin1String(t.name), QLatin1String(t.dates), QLatin1String(t.columns), kRecordDate,
                               values.join(u',')));
            }
        }
        for (const char *type : codeTypes)
            f.run(QStringLiteral("insert into t_code(F_name,F_type) values(%1,'%2')")
                      .arg(sqlQuoted(valueText(h, searchTag(h))), QLatin1String(type)));
    }
    f.run(QStringLiteral("update t_client set F_buyDate = '%1', F_setupDate = '%1', F_setupDate1 = '%1', F_email = F_code, "
                         "F_awokeDate = '%2'")
              .arg(kRecordDate, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
}

// The value a box or a list holds once the database has it: without its NULs.
QString storedValue(int hostile) { return QString(valueText(hostile, searchTag(hostile))).remove(QChar(u'\0')); }

// A list window: each of its text boxes and editable drop-downs, and each of
// its drop-downs without typing, takes every value alone and is run through
// the window's own query button.
struct ListWindow {
    QString name;
    std::function<QWidget *(Fixture &)> open;   // shown, with its date bounds switched off
    int modes = 1;                              // search fields chosen in turn
    std::function<void(QWidget *, int)> setMode;
    std::function<QString(QWidget *, int)> modeName;
    std::function<void(QWidget *)> query;
    // The listed values to find the value's row in; nothing when the box filters no rows.
    std::function<std::optional<QStringList>(QWidget *, QWidget *box)> listed;
    // Drop-downs without typing, whose offered values are chosen in turn.
    std::function<QList<QComboBox *>(QWidget *)> choices;
    // A further condition of a query that has no box (the reminders list the values).
    std::function<QString(QWidget *)> check;
    // The category list beside the list: each of its values is chosen in turn.
    std::function<CategoryPanel *(QWidget *)> categories;
};

void sweepList(Fixture &f, const ListWindow &l, Tally &tally)
{
    tally.windows << l.name;
    QWidget *w = nullptr;
    {
        ScriptedDialogs opening;
        Dialogs::install(&opening);
        w = l.open(f);
        for (const ScriptedDialogs::Call &c : opening.calls) tally.faults << l.name + QStringLiteral(" opening: ") + shown(c.text);
        Dialogs::install(nullptr);
    }
    for (int mode = 0; mode < l.modes; ++mode) {
        if (l.setMode) l.setMode(w, mode);
        const QString modeName = l.modeName ? QStringLiteral(" [%1]").arg(l.modeName(w, mode)) : QString();
        const QList<QWidget *> boxes = inputsOf(w);
        const QList<QComboBox *> choices = l.choices ? l.choices(w) : QList<QComboBox *>();
        auto clear = [&] {
            for (QWidget *b : boxes) setTextOf(b, QString());
            for (QComboBox *c : choices) c->setCurrentIndex(0);
            if (l.setMode) l.setMode(w, mode);
        };
        auto judge = [&](const QString &where, int h, QWidget *box, ScriptedDialogs &dialogs) {
            l.query(w);
            ++tally.values;
            tally.inputs << l.name + modeName + u'/' + nameOf(box, 0);
            if (const std::optional<QStringList> listed = l.listed(w, box)) {
                judgeSearch(where, h, *listed, dialogs, tally);
            } else {
                for (const ScriptedDialogs::Call &c : dialogs.calls)
                    tally.faults << where + (looksLikeDbError(c.text) ? QStringLiteral("raw database error shown: ")
                                                                      : QStringLiteral("unexpected message: "))
                                              + shown(c.text);
            }
        };
        for (int h = 0; h < hostiles().size(); ++h) {
            const QString what = QLatin1String(hostiles().at(h).name);
            for (int i = 0; i < boxes.size(); ++i) {
                ScriptedDialogs dialogs;
                Dialogs::install(&dialogs);
                clear();
                setTextOf(boxes[i], valueText(h, searchTag(h)));
                judge(QStringLiteral("%1%2 %3 / %4: ").arg(l.name, modeName, nameOf(boxes[i], i), what), h, boxes[i], dialogs);
                Dialogs::install(nullptr);
            }
            for (QComboBox *c : choices) {
                ScriptedDialogs dialogs;
                Dialogs::install(&dialogs);
                clear();
                const QString where = QStringLiteral("%1%2 %3 / %4: ").arg(l.name, modeName, c->objectName(), what);
                const int item = c->findText(storedValue(h), Qt::MatchExactly);
                if (item < 0) {
                    tally.faults << where + QStringLiteral("the value is not offered");
                } else {
                    c->setCurrentIndex(item);
                    judge(where, h, c, dialogs);
                }
                Dialogs::install(nullptr);
            }
        }
        if (boxes.isEmpty() && choices.isEmpty()) {
            ScriptedDialogs dialogs;
            Dialogs::install(&dialogs);
            l.query(w);
            const QString where = l.name + modeName + QStringLiteral(": ");
            for (const ScriptedDialogs::Call &c : dialogs.calls) tally.faults << where + shown(c.text);
            if (l.check)
                if (const QString problem = l.check(w); !problem.isEmpty()) tally.faults << where + problem;
            Dialogs::install(nullptr);
        }
    }
    if (CategoryPanel *panel = l.categories ? l.categories(w) : nullptr) {
        ScriptedDialogs quiet;
        Dialogs::install(&quiet);
        for (QWidget *b : inputsOf(w)) setTextOf(b, QString());
        if (l.setMode) l.setMode(w, 0);
        for (int kind = 0; kind < panel->cbbListType->count(); ++kind) {
            panel->cbbListType->setCurrentIndex(kind);
            panel->Button1->click();
            const QString kindName = panel->cbbListType->itemText(kind).remove(u' ');
            for (const ScriptedDialogs::Call &c : quiet.calls) tally.faults << l.name + u' ' + kindName + QStringLiteral(": ") + shown(c.text);
            quiet.calls.clear();
            for (int h = 0; h < hostiles().size(); ++h) {
                ScriptedDialogs dialogs;
                Dialogs::install(&dialogs);
                const QString where = QStringLiteral("%1 category %2 / %3: ").arg(l.name, kindName, QLatin1String(hostiles().at(h).name));
                int row = -1;
                for (int r = 1; r < panel->vleList->rowCount(); ++r)
                    if (panel->vleList->item(r, 1) && panel->vleList->item(r, 1)->text() == storedValue(h)) row = r;
                if (row < 0) {
                    tally.faults << where + QStringLiteral("the value is not listed");
                } else {
                    panel->vleList->setCurrentCell(row, 1);
                    ++tally.values;
                    tally.inputs << l.name + QStringLiteral("/category ") + kindName;
                    if (const std::optional<QStringList> listed = l.listed(w, panel->vleList)) judgeSearch(where, h, *listed, dialogs, tally);
                    panel->vleList->setCurrentCell(0, 1);
                }
                Dialogs::install(&quiet);
            }
        }
        Dialogs::install(nullptr);
    }
    f.closeWindow();
}

void untick(std::initializer_list<CheckedDateEdit *> boxes)
{
    for (CheckedDateEdit *b : boxes)
        if (b) b->setChecked(false);
}

ListWindow customerPicker()
{
    ListWindow l;
    l.name = QStringLiteral("customer picker");
    l.open = [](Fixture &f) -> QWidget * { return keep(f, new TDLGcltrecXZ(f.main.get())); };
    l.query = [](QWidget *w) { static_cast<TDLGcltrecXZ *>(w)->sbFind->click(); };
    l.listed = [](QWidget *w, QWidget *box) -> std::optional<QStringList> {
        auto *p = static_cast<TDLGcltrecXZ *>(w);
        if (box != p->edtName && box != p->edtJScode && box != p->edtKPcode && box != p->vleList) return std::nullopt;
        return column(p->QryTable, QStringLiteral("F_code"));
    };
    l.categories = [](QWidget *w) { return static_cast<TDLGcltrecXZ *>(w)->Panel3; };
    return l;
}

ListWindow serviceList(ServiceKind kind)
{
    static const char *const names[] = {"repair list", "return-visit list", "complaint list"};
    ListWindow l;
    l.name = QString::fromLatin1(names[int(kind)]);
    l.open = [kind](Fixture &f) -> QWidget * {
        auto *w = keep(f, new ServiceListWindow(kind, f.main.get()));
        untick({w->dtpFromDate, w->dtpToDate});
        return w;
    };
    l.modes = int(serviceListFamily(kind).searchFields.size());
    l.setMode = [](QWidget *w, int mode) {
        auto *s = static_cast<ServiceListWindow *>(w);
        s->ComboBox1->setCurrentIndex(-1);
        s->ComboBox1->setCurrentIndex(mode);
    };
    l.modeName = [](QWidget *w, int mode) { return static_cast<ServiceListWindow *>(w)->ComboBox1->itemText(mode); };
    l.query = [](QWidget *w) { static_cast<ServiceListWindow *>(w)->SpeedButton1->click(); };
    l.listed = [](QWidget *w, QWidget *box) -> std::optional<QStringList> {
        auto *s = static_cast<ServiceListWindow *>(w);
        if (box == s->ComboBox1) return std::nullopt;   // chooses the field, filters nothing
        return column(s->QryTable, QStringLiteral("F_cltName"));
    };
    l.categories = [](QWidget *w) { return static_cast<ServiceListWindow *>(w)->Panel3; };
    return l;
}

ListWindow detailStat(DetailStatKind kind)
{
    ListWindow l;
    l.name = detailStatFamily(kind).caption;
    l.open = [kind](Fixture &f) -> QWidget * {
        auto *w = keep(f, new DetailStatWindow(kind, f.main.get()));
        untick({w->dtpFromDate, w->dtpToDate, w->dtpfromDate1, w->dtptoDate1});
        return w;
    };
    l.query = [](QWidget *w) { static_cast<DetailStatWindow *>(w)->tbQueryClick(); };
    l.listed = [](QWidget *w, QWidget *) -> std::optional<QStringList> {
        return column(static_cast<DetailStatWindow *>(w)->QryTable, QStringLiteral("F_name"));
    };
    l.choices = [kind](QWidget *w) {
        QList<QComboBox *> r;
        for (const DetailStatControl &c : detailStatFamily(kind).controls)
            if (c.kind == DetailStatControl::Kind::FixedList)
                if (QComboBox *box = static_cast<DetailStatWindow *>(w)->listBox(c.name)) r << box;
        return r;
    };
    return l;
}

ListWindow customerStatistics()
{
    ListWindow l;
    l.name = QStringLiteral("customer statistics");
    l.open = [](Fixture &f) -> QWidget * {
        auto *w = keep(f, new TfrmCltStatCx(f.main.get()));
        untick({w->dtpfromDate, w->dtptoDate});
        return w;
    };
    l.modes = 6;
    l.setMode = [](QWidget *w, int mode) { static_cast<TfrmCltStatCx *>(w)->ListBox1->setCurrentRow(mode); };
    l.modeName = [](QWidget *w, int mode) {
        QListWidgetItem *item = static_cast<TfrmCltStatCx *>(w)->ListBox1->item(mode);
        return item ? item->text() : QStringLiteral("<no grouping %1>").arg(mode);
    };
    l.query = [](QWidget *w) { static_cast<TfrmCltStatCx *>(w)->btnCX->click(); };
    l.listed = [](QWidget *, QWidget *) { return std::optional<QStringList>(); };
    l.check = [](QWidget *w) {
        auto *s = static_cast<TfrmCltStatCx *>(w);
        return s->QryTable->isActive() && s->QryTable->recordCount() > 0 ? QString() : QStringLiteral("nothing counted");
    };
    return l;
}

ListWindow reminders()
{
    ListWindow l;
    l.name = QStringLiteral("reminders");
    l.open = [](Fixture &f) -> QWidget * { return keep(f, new TfrmAwokeGl(*f.main, false, f.main.get())); };
    l.query = [](QWidget *w) { static_cast<TfrmAwokeGl *>(w)->Button1->click(); };
    l.listed = [](QWidget *, QWidget *) { return std::optional<QStringList>(); };
    // Customers whose texts hold the values are due today.
    l.check = [](QWidget *w) {
        const QStringList listed = column(static_cast<TfrmAwokeGl *>(w)->QryTable1, QStringLiteral("F_code"));
        QStringList missing;
        for (int h = 0; h < hostiles().size(); ++h)
            if (!listed.contains(storedValue(h))) missing << QLatin1String(hostiles().at(h).name);
        return missing.isEmpty() ? QString() : QStringLiteral("not reminded of: ") + missing.join(QStringLiteral(", "));
    };
    return l;
}

} // namespace

class TestInputSweep : public QObject {
    Q_OBJECT
private slots:
    void init() { TestDb::signIn(); }
    void cleanup()
    {
        Dialogs::install(nullptr);
        dmData = nullptr;
        PubUnit::resetLoginState();
    }

    void editors_data() { TestDb::addBackendRows(); }
    void editors()
    {
        FETCH_BACKEND(backend);
        Tally tally;
        const QList<Editor> editors = {customerEditor(false), customerEditor(true), serviceEditor(ServiceKind::Repair),
                                       serviceEditor(ServiceKind::ReturnVisit), serviceEditor(ServiceKind::Complaint),
                                       operatorEditor(), passwordChange(), companyInfo(), customSettings(),
                                       codePickerAdd(), codeLists()};
        for (const Editor &e : editors) {
            Fixture f(backend);
            sweep(f, e, tally);
        }
        qInfo("%s: %d windows, %d inputs, %d values tried", qPrintable(backend), int(tally.windows.size()),
              int(tally.inputs.size()), tally.values);
        QVERIFY2(tally.windows.size() == editors.size(), "an editor offered no input");
        QVERIFY2(tally.faults.isEmpty(), qPrintable(QStringLiteral("%1 faults:\n").arg(tally.faults.size())
                                                    + tally.faults.mid(0, 40).join(u'\n')));
    }

    // Every search field of the main window, one value at a time.
    void mainSearch_data() { TestDb::addBackendRows(); }
    void mainSearch()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        addSearchRows(f);
        Tally tally;
        TFrmMain &w = *f.main;
        for (int field = 0; field < w.ComboBox1->count(); ++field) {
            for (int h = 0; h < hostiles().size(); ++h) {
                ScriptedDialogs dialogs;
                Dialogs::install(&dialogs);
                w.ComboBox1->setCurrentIndex(field);
                const QList<QWidget *> boxes = inputsOf(w.Panel1);
                for (QWidget *box : boxes) {
                    setTextOf(box, valueText(h, searchTag(h)));
                    w.BitBtn1->click();
                    ++tally.values;
                    tally.inputs << w.ComboBox1->currentText() + u'/' + box->objectName();
                    judgeSearch(QStringLiteral("search %1 / %2: ").arg(w.ComboBox1->currentText(), QLatin1String(hostiles().at(h).name)),
                                h, column(w.QryMain, QStringLiteral("F_code")), dialogs, tally);
                    setTextOf(box, QString());
                }
                Dialogs::install(nullptr);
            }
        }
        qInfo("%s: main window search: %d fields, %d inputs, %d values tried", qPrintable(backend),
              int(w.ComboBox1->count()), int(tally.inputs.size()), tally.values);
        QVERIFY(tally.values > 0);
        QVERIFY2(tally.faults.isEmpty(), qPrintable(tally.faults.mid(0, 40).join(u'\n')));
    }

    // Each box of the advanced query alone, run by the main window.
    void advancedQuery_data() { TestDb::addBackendRows(); }
    void advancedQuery()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        addSearchRows(f);
        Tally tally;
        TFrmMain &w = *f.main;
        int boxCount = 0;
        for (int box = 0;; ++box) {
            bool more = false;
            for (int h = 0; h < hostiles().size(); ++h) {
                ScriptedDialogs dialogs;
                Dialogs::install(&dialogs);
                QString name;
                dialogs.handleDialog([&](QDialog &d) {
                    auto &q = static_cast<TDlgCltCx &>(d);
                    const QList<QWidget *> boxes = inputsOf(&q);
                    boxCount = int(boxes.size());
                    if (box < boxes.size()) {
                        more = true;
                        name = nameOf(boxes[box], box);
                        setTextOf(boxes[box], valueText(h, searchTag(h)));
                        q.RadioGroup1Items->button(0)->click();
                        q.RadioGroup2Items->button(0)->click();
                        q.Button1->click();
                    } else {
                        q.Button2->click();
                    }
                    return d.result();
                });
                if (w.SpeedButton2->isChecked()) w.SpeedButton2->click();
                w.SpeedButton2->click();
                if (!more) break;
                dialogs.calls.removeIf([](const ScriptedDialogs::Call &c) { return c.what == QLatin1String("dialog"); });
                ++tally.values;
                tally.inputs << name;
                judgeSearch(QStringLiteral("advanced query %1 / %2: ").arg(name, QLatin1String(hostiles().at(h).name)), h,
                            column(w.QryMain, QStringLiteral("F_code")), dialogs, tally);
                Dialogs::install(nullptr);
            }
            Dialogs::install(nullptr);
            if (!more) break;
        }
        qInfo("%s: advanced query: %d inputs, %d values tried", qPrintable(backend), boxCount, tally.values);
        QVERIFY(boxCount > 0);
        QVERIFY2(tally.faults.isEmpty(), qPrintable(tally.faults.mid(0, 40).join(u'\n')));
    }

    // The code picker's search boxes list the entries holding what is typed.
    void codePickerSearch_data() { TestDb::addBackendRows(); }
    void codePickerSearch()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        addSearchRows(f);
        Tally tally;
        TDLGcodeNewXZ picker;
        picker.CodeType = QStringLiteral("type");
        picker.show();
        const QList<QWidget *> boxes = inputsOf(&picker);
        for (QWidget *box : boxes) {
            for (int h = 0; h < hostiles().size(); ++h) {
                ScriptedDialogs dialogs;
                Dialogs::install(&dialogs);
                for (QWidget *other : boxes) setTextOf(other, QString());
                setTextOf(box, valueText(h, searchTag(h)));
                picker.BitBtn3->click();
                ++tally.values;
                tally.inputs << box->objectName();
                const QString where = QStringLiteral("code picker %1 / %2: ").arg(box->objectName(), QLatin1String(hostiles().at(h).name));
                if (box == picker.edtname) {
                    judgeSearch(where, h, column(picker.QryCode, QStringLiteral("F_name")), dialogs, tally);
                } else {
                    for (const ScriptedDialogs::Call &c : dialogs.calls) tally.faults << where + shown(c.text);
                }
                Dialogs::install(nullptr);
            }
        }
        qInfo("%s: code picker search: %d inputs, %d values tried", qPrintable(backend), int(boxes.size()), tally.values);
        QVERIFY(!boxes.isEmpty());
        QVERIFY2(tally.faults.isEmpty(), qPrintable(tally.faults.mid(0, 40).join(u'\n')));
    }
    // The customer picker, the service record lists, the detail statistics,
    // the customer statistics and the reminders: every box and drop-down with
    // every value, run through the window's own query button.
    void listWindows_data() { TestDb::addBackendRows(); }
    void listWindows()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        addSearchRows(f);
        addServiceRows(f);
        Tally tally;
        QList<ListWindow> windows = {customerPicker(), serviceList(ServiceKind::Repair), serviceList(ServiceKind::ReturnVisit),
                                     serviceList(ServiceKind::Complaint)};
        for (DetailStatKind kind : kDetailStatKinds) windows << detailStat(kind);
        windows << customerStatistics() << reminders();
        QStringList perWindow;
        for (const ListWindow &l : windows) {
            const qsizetype inputs = tally.inputs.size();
            sweepList(f, l, tally);
            perWindow << QStringLiteral("%1 %2").arg(l.name).arg(tally.inputs.size() - inputs);
        }
        qInfo("%s: list windows: %d windows, %d inputs, %d values tried (%s)", qPrintable(backend), int(tally.windows.size()),
              int(tally.inputs.size()), tally.values, qPrintable(perWindow.join(QStringLiteral(", "))));
        QVERIFY2(tally.faults.isEmpty(), qPrintable(QStringLiteral("%1 faults:\n").arg(tally.faults.size())
                                                    + tally.faults.mid(0, 40).join(u'\n')));
    }

    // The e-mail export writes the file its box names, trimmed, or refuses a
    // name no file can have with its own message.
    void emailExport_data() { TestDb::addBackendRows(); }
    void emailExport()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        addSearchRows(f);
        addServiceRows(f);
        Tally tally;
        int boxCount = 0;
        for (int h = 0; h < hostiles().size(); ++h) {
            ScriptedDialogs dialogs;
            Dialogs::install(&dialogs);
            RecordingShell shell;
            Shell::install(&shell);
            const QString where = QStringLiteral("e-mail export / %1: ").arg(QLatin1String(hostiles().at(h).name));
            {
                TfrmExportEmail w(*f.main, f.main.get());
                w.show();
                const QList<QWidget *> boxes = inputsOf(&w);
                boxCount = int(boxes.size());
                for (QWidget *box : boxes) setTextOf(box, valueText(h, searchTag(h)));
                w.rangeGroup->button(1)->click();
                // The name as typed, trimmed and without its NULs: no file name can hold one.
                const QString name = QString(w.edtFilename->text()).remove(QChar(u'\0')).trimmed();
                const QString path = QDir(ProgramFolder::path()).filePath(name + QStringLiteral(".txt"));
                const QStringList before = QDir(ProgramFolder::path()).entryList(QDir::Files);
                w.Button1->click();
                tally.values += boxCount;
                const QStringList messages = dialogs.texts();
                for (const QString &m : messages)
                    if (looksLikeDbError(m)) tally.faults << where + QStringLiteral("raw database error shown: ") + shown(m);
                if (name.toUtf8().size() + 4 > 255) {   // longer than a folder entry may be
                    if (messages.size() != 1
                        || !(messages.first().startsWith(QStringLiteral("无法建立文件 ")) || messages.first().startsWith(QStringLiteral("无法写入文件 "))))
                        tally.faults << where + QStringLiteral("not refused, messages: ") + shown(messages.join(u'|'));
                    if (!shell.opened.isEmpty()) tally.faults << where + QStringLiteral("a file was opened");
                    if (QDir(ProgramFolder::path()).entryList(QDir::Files) != before)
                        tally.faults << where + QStringLiteral("a file was left behind");
                } else {
                    if (!messages.isEmpty()) tally.faults << where + QStringLiteral("unexpected message: ") + shown(messages.join(u'|'));
                    QFile file(path);
                    if (shell.opened != QStringList{path} || !file.open(QIODevice::ReadOnly))
                        tally.faults << where + QStringLiteral("%1 not written and opened (opened: %2)").arg(shown(path), shown(shell.opened.join(u'|')));
                    else if (!QString::fromUtf8(file.readAll()).contains(storedValue(kCjk) + QStringLiteral("\r\n")))
                        tally.faults << where + QStringLiteral("the addresses are not in the file");
                    QStringList made = QDir(ProgramFolder::path()).entryList(QDir::Files);
                    made.removeIf([&before](const QString &n) { return before.contains(n); });
                    if (!made.isEmpty() && made != QStringList{name + QStringLiteral(".txt")})
                        tally.faults << where + QStringLiteral("another file was made: ") + shown(made.join(u'|'));
                }
            }
            Shell::install(nullptr);
            Dialogs::install(nullptr);
        }
        qInfo("%s: e-mail export: %d inputs, %d values tried", qPrintable(backend), boxCount, tally.values);
        QVERIFY(boxCount > 0);
        QVERIFY2(tally.faults.isEmpty(), qPrintable(tally.faults.mid(0, 40).join(u'\n')));
    }

    // The login's name and password boxes: an unknown name or a wrong password
    // is refused with the login's own words, whatever it holds.
    void login_data() { TestDb::addBackendRows(); }
    void login()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        Tally tally;
        const QString unknown = QStringLiteral("此操作员并不存在，请重新选择操作员！");
        const QString wrong = QStringLiteral("用户名或密码不正确，请重新输入！");
        int boxCount = 0;
        for (int h = 0; h < hostiles().size(); ++h) {
            for (int box = 0;; ++box) {
                ScriptedDialogs dialogs;
                Dialogs::install(&dialogs);
                TfrmOperLogin w(TfrmOperLogin::FirstLogin, {});
                w.show();
                const QList<QWidget *> boxes = inputsOf(&w);
                boxCount = int(boxes.size());
                if (box >= boxes.size()) {
                    Dialogs::install(nullptr);
                    break;
                }
                w.cbbOperName->setEditText(QStringLiteral("admin"));
                w.edtPassWord->setText(QStringLiteral("not the password"));
                setTextOf(boxes[box], valueText(h, searchTag(h)));
                const QString want = boxes[box] == w.edtPassWord ? wrong : unknown;
                w.btnOk->click();
                ++tally.values;
                tally.inputs << nameOf(boxes[box], box);
                const QString where = QStringLiteral("login %1 / %2: ").arg(nameOf(boxes[box], box), QLatin1String(hostiles().at(h).name));
                const QStringList messages = dialogs.texts();
                for (const QString &m : messages)
                    if (looksLikeDbError(m)) tally.faults << where + QStringLiteral("raw database error shown: ") + shown(m);
                if (messages != QStringList{want})
                    tally.faults << where + QStringLiteral("not refused with \"%1\": %2").arg(want, shown(messages.join(u'|')));
                if (w.result() == QDialog::Accepted) tally.faults << where + QStringLiteral("logged in");
                Dialogs::install(nullptr);
            }
        }
        qInfo("%s: login: %d inputs, %d values tried", qPrintable(backend), boxCount, tally.values);
        QVERIFY(boxCount == 2);
        QVERIFY2(tally.faults.isEmpty(), qPrintable(tally.faults.mid(0, 40).join(u'\n')));
    }
};

QTEST_MAIN(TestInputSweep)
#include "tst_inputsweep.moc"
