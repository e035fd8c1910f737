#include "DemoData.h"

#include "Connection.h"
#include "Schema.h"
#include "app/Companion.h"
#include "app/PubUnit.h"

#include <QDate>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QVector>

namespace DemoData {

namespace {

const QString kNoDate = QLatin1String(PubUnit::NoDate);

class Dice {
public:
    explicit Dice(quint32 seed) : m_rng(seed) {}
    int range(int lo, int hi) { return lo + int(m_rng.bounded(quint32(hi - lo + 1))); }   // inclusive
    bool chance(double p) { return m_rng.generateDouble() < p; }
    template <typename L> const auto &pick(const L &list) { return list.at(range(0, int(list.size()) - 1)); }
    QString digits(int n)
    {
        QString s;
        s.reserve(n);
        for (int i = 0; i < n; ++i) s += QChar(u'0' + range(0, 9));
        return s;
    }

private:
    QRandomGenerator m_rng;
};

QStringList split(const char *text) { return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts); }

QStringList codesOr(const QString &type)
{
    QStringList l = Schema::starterCodes(type);
    if (l.isEmpty()) l << QString();
    return l;
}

QString dateText(const QDate &d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }

struct Category {
    QString name;
    QStringList models;
    int priceLo, priceHi;
};

// What the service records need of their customer.
struct ServiceSeed {
    int index;
    QString name;
    QString model;
    QString jsCode;
    QDate buy;
    QDate setup;   // null when not installed
};

bool ensureOperators(Connection &cnn, QString *error)
{
    QSqlQuery q(cnn.database());
    const QStringList ops = demoOperators();
    for (int i = 0; i < ops.size(); ++i) {
        Params p;
        p.set(QStringLiteral("name"), ops.at(i));
        if (!cnn.exec(q, QStringLiteral("select count(*) from OperList where F_Name = :name"), p)) {
            *error = cnn.lastError();
            return false;
        }
        const bool exists = q.next() && q.value(0).toInt() > 0;
        q.finish();
        if (exists) continue;
        // The first sees everyone and holds every offered right; the second
        // sees only the customers they saved and has the counter's rights.
        p.set(QStringLiteral("pass"), SavePass(QString()));
        p.set(QStringLiteral("mem"), QStringLiteral("演示操作员"));
        p.set(QStringLiteral("own"), i == 0 ? 0 : 1);
        if (!cnn.exec(q, QStringLiteral("insert into OperList(F_Name,F_PassWord,F_Mem,F_Flag,F_xtFlag) "
                                        "values(:name,:pass,:mem,0,:own)"),
                      p)) {
            *error = cnn.lastError();
            return false;
        }
        Params g;
        g.set(QStringLiteral("name"), ops.at(i));
        const QString grant = QStringLiteral("insert into OperLimit(F_OperName,F_lmtName) "
                                             "select :name, F_name from Limits where isNull(F_flag,0) = 1")
                              + (i == 0 ? QString()
                                        : QStringLiteral(" and F_code in ('201','202','207','301','401','402')"));
        if (!cnn.exec(q, grant, g)) {
            *error = cnn.lastError();
            return false;
        }
    }
    return true;
}

bool runNative(Connection &cnn, const QStringList &statements, QString *error)
{
    QSqlQuery q(cnn.database());
    for (const QString &st : statements)
        if (!cnn.execNative(q, st, {}, {})) {
            *error = cnn.lastError();
            return false;
        }
    return true;
}

} // namespace

QStringList demoOperators() { return {QStringLiteral("张丽"), QStringLiteral("王强")}; }

bool generate(Connection &cnn, const Options &options, QString *errorOut,
              std::function<void(int, int)> progress)
{
    QString localError;
    QString *error = errorOut ? errorOut : &localError;
    const int n = qMax(0, options.customers);
    if (!cnn.isOpen()) {
        *error = QStringLiteral("数据库没有连接。");
        return false;
    }

    ScopedTransaction tr(cnn);
    if (!tr.isActive()) {
        *error = QStringLiteral("无法开始事务：%1").arg(cnn.lastError());
        return false;
    }
    if (!ensureOperators(cnn, error)) return false;

    QSqlQuery q(cnn.database());
    // Codes continue after the highest eight-digit one.
    qint64 firstCode = 1;
    if (!cnn.exec(q, QStringLiteral("select max(F_code) from t_client "
                                    "where F_code >= '00000000' and F_code <= '99999999'"))) {
        *error = cnn.lastError();
        return false;
    }
    if (q.next()) {
        bool ok = false;
        const qint64 v = q.value(0).toString().trimmed().toLongLong(&ok);
        if (ok && v >= 0 && v < 99999999) firstCode = v + 1;
    }
    q.finish();
    if (firstCode + n - 1 > 99999999) {
        *error = QStringLiteral("客户编码已用尽，无法生成演示数据。");
        return false;
    }

    QHash<QString, qint64> areaIds;
    if (!cnn.exec(q, QStringLiteral("select F_ID, F_Caption from t_treecode where F_flag = 'area'"))) {
        *error = cnn.lastError();
        return false;
    }
    while (q.next()) areaIds.insert(q.value(1).toString(), q.value(0).toLongLong());
    q.finish();

    // Starting lists, with price ranges per appliance category.
    QList<Category> categories;
    const QHash<QString, QPair<int, int>> prices = {
        {QStringLiteral("空调"), {2300, 8800}},   {QStringLiteral("冰箱"), {1600, 6500}},
        {QStringLiteral("洗衣机"), {1100, 4200}}, {QStringLiteral("电视机"), {1300, 9500}},
        {QStringLiteral("热水器"), {700, 3200}},  {QStringLiteral("油烟机"), {900, 4200}},
    };
    for (const Schema::CategoryModels &cm : Schema::starterModels()) {
        const auto pr = prices.value(cm.category, {800, 5000});
        categories << Category{cm.category, cm.models, pr.first, pr.second};
    }
    const QStringList areas = codesOr(QStringLiteral("area"));
    const QStringList depts = codesOr(QStringLiteral("setupdept"));
    const QStringList batches = codesOr(QStringLiteral("kdcode"));
    const QStringList makers = codesOr(QStringLiteral("maker"));
    const QStringList gifts = codesOr(QStringLiteral("addgood"));
    const QStringList reasons = codesOr(QStringLiteral("reason"));
    const QStringList engineers = codesOr(QStringLiteral("fwname"));
    const QStringList levels = codesOr(QStringLiteral("tsjibie"));
    const QStringList operators = QStringList{QStringLiteral("admin")} + demoOperators();

    const QStringList surnames = split("王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭 何 林 高 罗 郑 梁 谢 宋 唐 许 韩 冯 邓 曹 彭 曾 萧 田 董 潘 袁 蔡 蒋 余 于 杜 叶 程 魏 苏 吕 丁 任 沈");
    const QStringList given = split("建国 秀英 伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀兰 霞 平 刚 桂英 文 辉 玉兰 鹏 华 红 志强 海燕 建华 晓东 春梅 国庆 丽华 俊 欣怡 子轩 浩然 雨涵 金凤 德明 永红 美玲 志明 卫东 小龙");
    const QStringList shopHeads = split("鑫旺 华联 福满 恒达 兴隆 金盛 宏发 永安 顺达 新世纪 万家 百佳 天和 聚福");
    const QStringList shopTails = split("商行 超市 酒店 饭庄 宾馆 五金店 电器行 茶楼 物业公司 幼儿园");
    const QStringList roads = split("解放路 人民路 中山路 建设路 文化路 和平路 新华路 胜利路 学院路 长江路 滨江大道 青年路");
    const QStringList memos = split("送货上门 老客户介绍 需提前电话联系 周末安装 已开发票 楼层较高需吊装");
    const QStringList mobilePrefixes = split("130 131 132 133 135 136 137 138 139 150 151 152 153 155 156 157 158 159 180 181 182 183 185 186 187 188 189");
    const QStringList repairNotes = split("更换启动电容，试机正常 清洗滤网并加氟 更换排水泵 更换主板 调整安装位置，噪音消除 更换遥控器 紧固管路接头，无渗漏");
    const QStringList visitNotes = split("客户对安装服务满意 询问使用情况，运行正常 提醒定期清洗滤网 客户反映遥控器不灵敏 客户建议延长保修");
    const QStringList visitActions = split("无 已安排上门处理 已告知使用方法 已登记，转维修部");
    const QStringList complaints = split("安装人员迟到 送货延误 维修不及时 赠品未送到 服务态度差 收费不明");
    const QStringList complaintActions = split("已致歉并补送赠品 已安排主管回访 已退还多收费用 已批评教育相关人员");

    const QDate first(2021, 1, 1);
    QDate last = qMin(QDate::currentDate(), QDate(2026, 12, 31));
    if (last < first.addDays(30)) last = first.addYears(5);
    const int span = int(first.daysTo(last));
    const QDate today = QDate::currentDate();

    const QStringList clientCols = {
        QStringLiteral("F_code"),       QStringLiteral("F_name"),       QStringLiteral("F_area"),
        QStringLiteral("F_areaID"),     QStringLiteral("F_phone"),      QStringLiteral("F_handphone"),
        QStringLiteral("F_type"),       QStringLiteral("F_kdcode"),     QStringLiteral("F_xinghao"),
        QStringLiteral("F_amount"),     QStringLiteral("F_price"),      QStringLiteral("F_totalprice"),
        QStringLiteral("F_AddGoodA"),   QStringLiteral("F_AddamountA"), QStringLiteral("F_AddGoodB"),
        QStringLiteral("F_AddamountB"), QStringLiteral("F_IFshoukuan"), QStringLiteral("F_buyAddress"),
        QStringLiteral("F_buyDate"),    QStringLiteral("F_setupDate"),  QStringLiteral("F_kpcode"),
        QStringLiteral("F_setupDept"),  QStringLiteral("F_maker"),      QStringLiteral("F_reason"),
        QStringLiteral("F_reasonAmount"), QStringLiteral("F_memo1"),    QStringLiteral("F_useflag"),
        QStringLiteral("F_awokeDate"),  QStringLiteral("F_empName"),    QStringLiteral("F_postcode"),
        QStringLiteral("F_shoukuan"),   QStringLiteral("F_setupDate1"), QStringLiteral("F_JScode"),
        QStringLiteral("F_ZF1"),        QStringLiteral("F_ZF2"),        QStringLiteral("F_ZF3"),
        QStringLiteral("F_ZF4"),        QStringLiteral("F_ZF5"),        QStringLiteral("F_SZ1"),
        QStringLiteral("F_SZ2"),        QStringLiteral("F_SZ3"),        QStringLiteral("F_RQ1"),
        QStringLiteral("F_RQ2"),        QStringLiteral("F_RQ3"),        QStringLiteral("F_email"),
    };
    // A large load builds the indexes once at the end instead of row by row;
    // the transaction puts them back if anything fails.
    const bool bulk = n >= 20000;
    const QStringList serviceTables = {QStringLiteral("t_client"), QStringLiteral("T_WXrec"),
                                       QStringLiteral("T_HFrec"), QStringLiteral("T_TSrec")};
    if (bulk)
        for (const QString &t : serviceTables)
            if (!runNative(cnn, Schema::dropIndexStatements(cnn.dialect(), t), error)) return false;
    const int every = qMax(500, n / 50);

    PreparedStatement clients(cnn, PreparedStatement::insertSql(QStringLiteral("t_client"), clientCols), clientCols);
    if (!clients.prepare(error)) return false;

    Dice dice(options.seed);
    QVector<ServiceSeed> repairs, visits, complaintSeeds;
    const int estimate = n + n / 2;
    QVector<QVariant> v(clientCols.size());
    const QString firstCodeText = QString::number(firstCode).rightJustified(8, u'0');

    for (int i = 0; i < n; ++i) {
        const QString code = QString::number(firstCode + i).rightJustified(8, u'0');
        QString name;
        if (dice.chance(0.08))
            name = dice.pick(shopHeads) + dice.pick(shopTails);
        else
            name = dice.pick(surnames) + dice.pick(given);
        const QString area = dice.pick(areas);
        const Category &cat = dice.pick(categories);
        const QString model = dice.pick(cat.models);
        const int amount = dice.chance(0.85) ? 1 : (dice.chance(0.8) ? 2 : 3);
        int price = dice.range(cat.priceLo / 10, cat.priceHi / 10) * 10;
        if (price >= 200 && dice.chance(0.5)) price = (price / 100) * 100 - 1;   // 2999-style prices
        const double total = double(amount) * price;
        const bool paid = dice.chance(0.2);
        const double received = paid ? total : (dice.chance(0.3) ? double(qRound(total * 0.3)) : 0.0);
        const QDate buy = first.addDays(dice.range(0, span));
        const bool installed = dice.chance(0.85);
        const QDate setup = installed ? buy.addDays(dice.range(0, 7)) : QDate();
        QString awoke = kNoDate;
        if (dice.chance(0.12))
            awoke = dateText(today.addDays(dice.range(0, 30)));
        else if (dice.chance(0.3))
            awoke = dateText(buy.addYears(1));
        const QString js = QString(model).remove(u'-').remove(u'/').left(6).toUpper() + dice.digits(10);

        int c = 0;
        v[c++] = code;
        v[c++] = name;
        v[c++] = area;
        v[c++] = areaIds.value(area, -1);
        v[c++] = dice.chance(0.45) ? QStringLiteral("0571-8") + dice.digits(7) : QString();
        v[c++] = dice.chance(0.92) ? dice.pick(mobilePrefixes) + dice.digits(8) : QString();
        v[c++] = cat.name;
        v[c++] = dice.pick(batches);
        v[c++] = model;
        v[c++] = double(amount);
        v[c++] = double(price);
        v[c++] = total;
        const bool giftA = dice.chance(0.4);
        const bool giftB = giftA && dice.chance(0.35);
        v[c++] = giftA ? dice.pick(gifts) : QString();
        v[c++] = giftA ? 1.0 : 0.0;
        v[c++] = giftB ? dice.pick(gifts) : QString();
        v[c++] = giftB ? 1.0 : 0.0;
        v[c++] = paid;
        v[c++] = area + dice.pick(roads) + QString::number(dice.range(1, 399)) + QStringLiteral("号")
                 + (dice.chance(0.6) ? QStringLiteral("%1幢%2室").arg(dice.range(1, 30)).arg(dice.range(1, 18) * 100 + dice.range(1, 4))
                                     : QString());
        v[c++] = dateText(buy);
        v[c++] = installed ? dateText(setup) : kNoDate;
        v[c++] = QStringLiteral("FP") + QString::number(buy.year()) + QString::number(i % 1000000).rightJustified(6, u'0');
        v[c++] = dice.pick(depts);
        v[c++] = dice.pick(makers);
        v[c++] = QString();
        v[c++] = 0.0;
        v[c++] = dice.chance(0.1) ? dice.pick(memos) : QString();
        v[c++] = dice.chance(0.05);
        v[c++] = awoke;
        v[c++] = dice.chance(0.5) ? operators.first() : dice.pick(operators);
        v[c++] = QStringLiteral("3100") + dice.digits(2);
        v[c++] = received;
        v[c++] = installed && dice.chance(0.08) ? dateText(setup.addDays(dice.range(1, 5))) : kNoDate;
        v[c++] = js;
        for (int k = 0; k < 5; ++k) v[c++] = QString();
        for (int k = 0; k < 3; ++k) v[c++] = 0.0;
        for (int k = 0; k < 3; ++k) v[c++] = kNoDate;
        v[c++] = dice.chance(0.25) ? QString::number(dice.range(10000, 99999)) + dice.digits(dice.range(3, 5)) + QStringLiteral("@qq.com")
                                   : QString();
        Q_ASSERT(c == clientCols.size());

        if (!clients.exec(v, error)) {
            *error = QStringLiteral("写入客户 %1 失败：%2").arg(code, *error);
            return false;
        }
        const ServiceSeed seed{i, name, model, js, buy, setup};
        if (dice.chance(0.2)) repairs << seed;
        if (dice.chance(0.25)) visits << seed;
        if (dice.chance(0.05)) complaintSeeds << seed;
        if (progress && (i + 1) % every == 0) progress(i + 1, estimate);
    }

    if (bulk && !runNative(cnn, Schema::indexStatements(cnn.dialect(), QStringLiteral("t_client")), error))
        return false;

    // The engine numbered the customers; read the numbers back by code.
    QVector<qint64> ids(n, -1);
    if (n > 0) {
        Params p;
        p.set(QStringLiteral("lo"), firstCodeText);
        p.set(QStringLiteral("hi"), QString::number(firstCode + n - 1).rightJustified(8, u'0'));
        if (!cnn.exec(q, QStringLiteral("select F_ID, F_code from t_client where F_code >= :lo and F_code <= :hi"), p)) {
            *error = cnn.lastError();
            return false;
        }
        while (q.next()) {
            const QString code = q.value(1).toString();
            bool ok = false;
            const qint64 idx = code.toLongLong(&ok) - firstCode;
            if (ok && code.size() == 8 && idx >= 0 && idx < n) ids[int(idx)] = q.value(0).toLongLong();
        }
        q.finish();
    }

    const int total = n + int(repairs.size() + visits.size() + complaintSeeds.size());
    int done = n;
    auto step = [&] {
        ++done;
        if (progress && done % every == 0) progress(done, total);
    };
    auto mainId = [&](const ServiceSeed &s, qint64 *id) {
        *id = ids.at(s.index);
        if (*id < 0) *error = QStringLiteral("找不到新客户 %1 的序号").arg(firstCode + s.index);
        return *id >= 0;
    };
    auto codeOf = [&](const ServiceSeed &s) { return QString::number(firstCode + s.index).rightJustified(8, u'0'); };
    auto capped = [&](const QDate &d) { return d > today && today >= first ? today : d; };

    {
        const QStringList cols = {QStringLiteral("F_mainID"), QStringLiteral("F_cltcode"), QStringLiteral("F_cltName"),
                                  QStringLiteral("F_bxdate"), QStringLiteral("F_xfdate"),  QStringLiteral("F_xinghao"),
                                  QStringLiteral("F_reason"), QStringLiteral("F_JScode"),  QStringLiteral("F_amount"),
                                  QStringLiteral("F_price"),  QStringLiteral("F_totalprice"), QStringLiteral("F_shoukuan"),
                                  QStringLiteral("F_setupDept"), QStringLiteral("F_billcode"), QStringLiteral("F_mem1"),
                                  QStringLiteral("F_fwName")};
        PreparedStatement ins(cnn, PreparedStatement::insertSql(QStringLiteral("T_WXrec"), cols), cols);
        if (!ins.prepare(error)) return false;
        QVector<QVariant> r(cols.size());
        int seq = 0;
        for (const ServiceSeed &s : repairs) {
            qint64 id;
            if (!mainId(s, &id)) return false;
            const QDate reported = qMax(s.buy, capped(s.buy.addDays(dice.range(20, 720))));
            const bool fixed = dice.chance(0.88);
            const bool warranty = dice.chance(0.6);
            const double price = warranty ? 0.0 : dice.range(5, 40) * 10.0;
            int c = 0;
            r[c++] = id;
            r[c++] = codeOf(s);
            r[c++] = s.name;
            r[c++] = dateText(reported);
            r[c++] = fixed ? dateText(capped(reported.addDays(dice.range(0, 4)))) : kNoDate;
            r[c++] = s.model;
            r[c++] = dice.pick(reasons);
            r[c++] = s.jsCode;
            r[c++] = 1.0;
            r[c++] = price;
            r[c++] = price;
            r[c++] = fixed && dice.chance(0.85) ? price : 0.0;
            r[c++] = dice.pick(depts);
            r[c++] = QStringLiteral("WX") + reported.toString(QStringLiteral("yyyyMMdd"))
                     + QString::number(++seq % 10000).rightJustified(4, u'0');
            r[c++] = fixed ? dice.pick(repairNotes) : QStringLiteral("待上门");
            r[c++] = dice.pick(engineers);
            if (!ins.exec(r, error)) return false;
            step();
        }
    }
    {
        const QStringList cols = {QStringLiteral("F_mainID"), QStringLiteral("F_cltcode"), QStringLiteral("F_cltName"),
                                  QStringLiteral("F_date"),   QStringLiteral("F_empname"), QStringLiteral("F_mem1"),
                                  QStringLiteral("f_mem2"),   QStringLiteral("F_editDate")};
        PreparedStatement ins(cnn, PreparedStatement::insertSql(QStringLiteral("T_HFrec"), cols), cols);
        if (!ins.prepare(error)) return false;
        QVector<QVariant> r(cols.size());
        for (const ServiceSeed &s : visits) {
            qint64 id;
            if (!mainId(s, &id)) return false;
            const QDate base = s.setup.isValid() ? s.setup : s.buy;
            const QDate day = qMax(base, capped(base.addDays(dice.range(3, 30))));
            int c = 0;
            r[c++] = id;
            r[c++] = codeOf(s);
            r[c++] = s.name;
            r[c++] = dateText(day);
            r[c++] = dice.pick(makers);
            r[c++] = dice.pick(visitNotes);
            r[c++] = dice.pick(visitActions);
            r[c++] = dateText(day);
            if (!ins.exec(r, error)) return false;
            step();
        }
    }
    {
        const QStringList cols = {QStringLiteral("F_mainID"), QStringLiteral("F_cltcode"), QStringLiteral("F_cltName"),
                                  QStringLiteral("F_tsdate"), QStringLiteral("F_tstime"),  QStringLiteral("F_jibie"),
                                  QStringLiteral("F_maker"),  QStringLiteral("F_reason"),  QStringLiteral("F_memo1"),
                                  QStringLiteral("F_memo2")};
        PreparedStatement ins(cnn, PreparedStatement::insertSql(QStringLiteral("T_TSrec"), cols), cols);
        if (!ins.prepare(error)) return false;
        QVector<QVariant> r(cols.size());
        for (const ServiceSeed &s : complaintSeeds) {
            qint64 id;
            if (!mainId(s, &id)) return false;
            const QDate day = qMax(s.buy, capped(s.buy.addDays(dice.range(2, 400))));
            const QString when = dateText(day) + QStringLiteral(" %1:%2:%3")
                                                     .arg(dice.range(8, 18), 2, 10, QChar(u'0'))
                                                     .arg(dice.range(0, 59), 2, 10, QChar(u'0'))
                                                     .arg(dice.range(0, 59), 2, 10, QChar(u'0'));
            int c = 0;
            r[c++] = id;
            r[c++] = codeOf(s);
            r[c++] = s.name;
            r[c++] = when;
            r[c++] = when;
            r[c++] = dice.pick(levels);
            r[c++] = dice.pick(operators);
            r[c++] = dice.pick(complaints);
            r[c++] = dice.pick(complaintActions);
            r[c++] = QString();
            if (!ins.exec(r, error)) return false;
            step();
        }
    }

    if (bulk)
        for (const QString &t : serviceTables.mid(1))
            if (!runNative(cnn, Schema::indexStatements(cnn.dialect(), t), error)) return false;

    if (!tr.commit()) {
        *error = QStringLiteral("提交事务失败：%1").arg(cnn.lastError());
        return false;
    }
    // Fresh statistics, so the engine picks the search indexes for so many new rows.
    QSqlQuery statistics;
    cnn.execNative(statistics, QStringLiteral("analyze"), {}, {});
    if (progress) progress(total, total);
    return true;
}

} // namespace DemoData
