// griddemo: the customer list in a DataGrid, saved as a screenshot and
// printed to PDF; shows the grid and its print without starting the client.
//
//   griddemo [--home DIR] [--screenshot FILE.png] [--pdf FILE.pdf] [--rows N]
#include "app/Application.h"
#include "app/BoolValue.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "components/DataGrid.h"
#include "data/ConnectionConfig.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "reportengine/GridPrint.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTextStream>

namespace {

const char kUsage[] = "usage: griddemo [--home DIR] [--screenshot FILE.png] [--pdf FILE.pdf] [--rows N]\n";

GridColumn column(const QString &field, const QString &caption, int width,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, const QString &format = {})
{
    GridColumn c;
    c.field = field;
    c.caption = caption;
    c.width = width;
    c.alignment = align;
    c.titleAlignment = Qt::AlignHCenter | Qt::AlignVCenter;
    c.displayFormat = format;
    return c;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    initApplication(args);

    QTextStream err(stderr);
    QString screenshot, pdf;
    int rows = 60;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--home") && hasValue) {
            ++i;   // taken by initApplication
        } else if (a == QLatin1String("--screenshot") && hasValue) {
            screenshot = args.at(++i);
        } else if (a == QLatin1String("--pdf") && hasValue) {
            pdf = args.at(++i);
        } else if (a == QLatin1String("--rows") && hasValue) {
            bool ok = false;
            rows = args.at(++i).toInt(&ok);
            if (!ok || rows < 0) {
                err << "griddemo: --rows needs a number of rows (0 or more)\n" << kUsage;
                return 2;
            }
        } else {
            err << "griddemo: unknown or incomplete argument " << a << "\n" << kUsage;
            return 2;
        }
    }
    if (screenshot.isEmpty() && pdf.isEmpty()) {
        err << kUsage;
        return 2;
    }

    PrivateProfile ini(ProgramFolder::filePath(QStringLiteral("Config.ini")));
    PubUnit::IniFile = &ini;
    TdmData data;
    dmData = &data;
    QString error;
    if (!data.connect(readConnectionSettings(ini), &error)) {
        err << "griddemo: cannot open the database: " << error << "\n";
        return 1;
    }

    DataSet list(&data.ADOcnn);
    list.setSql(QStringLiteral("select * from t_client order by F_code"));
    if (!list.open()) {
        err << "griddemo: cannot read the customer list: " << list.lastError() << "\n";
        return 1;
    }

    DataGrid grid;
    grid.setWindowTitle(QStringLiteral("客户列表"));
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    QList<GridColumn> columns{
        column(QStringLiteral("F_code"), QStringLiteral("ID    码"), 80),
        column(QStringLiteral("F_name"), QStringLiteral("用户名称"), 150),
        column(QStringLiteral("F_type"), QStringLiteral("类    别"), 74),
        column(QStringLiteral("F_xinghao"), QStringLiteral("型    号"), 90),
        column(QStringLiteral("F_amount"), QStringLiteral("台    数"), 56, right, QStringLiteral("0.##")),
        column(QStringLiteral("F_price"), QStringLiteral("单    价"), 84, right, QStringLiteral("￥,0.00")),
        column(QStringLiteral("F_totalprice"), QStringLiteral("金    额"), 96, right, QStringLiteral("￥,0.00#")),
        column(QStringLiteral("F_IFshoukuan"), QStringLiteral("收款否"), 55, Qt::AlignHCenter | Qt::AlignVCenter),
        column(QStringLiteral("F_buyDate"), QStringLiteral("购买日期"), 84),
    };
    columns[0].footerKind = FooterKind::Text;
    columns[0].footerValue = QStringLiteral("合  计");
    columns[4].footerKind = FooterKind::Sum;
    columns[5].footerKind = FooterKind::Sum;
    columns[6].footerKind = FooterKind::Sum;
    grid.setColumns(columns);
    grid.setDataSet(&list);
    grid.setFooterVisible(true);

    const int paidField = list.fieldIndex(QStringLiteral("F_IFshoukuan"));
    const int disabledField = list.fieldIndex(QStringLiteral("F_useFlag"));
    const QColor buttonFace = grid.palette().color(QPalette::Button);
    grid.setRowColours([=](const DataSet &ds, int row, QColor *text, QColor *background) {
        if (boolValue(ds.value(row, disabledField))) {
            *text = QColor(0, 0, 255);
            *background = QColor(0, 255, 255);
            return true;
        }
        if (boolValue(ds.value(row, paidField))) {
            *text = QColor(255, 0, 0);
            *background = buttonFace;
            return true;
        }
        return false;
    });

    int rc = 0;
    if (!screenshot.isEmpty()) {
        grid.resize(900, 520);
        grid.show();
        QApplication::processEvents();
        if (!grid.snapshot().save(screenshot)) {
            err << "griddemo: cannot write " << screenshot << "\n";
            rc = 1;
        }
    }
    if (!pdf.isEmpty()) {
        const QString header = QStringLiteral("共 %1 位客户，打印前 %2 位").arg(list.recordCount()).arg(std::min(rows, list.recordCount()));
        if (!printGridToPdf(grid, QStringLiteral("客户列表"), header, QStringLiteral("售后服务管理"), pdf, &error, rows)) {
            err << "griddemo: " << error << "\n";
            rc = 1;
        }
    }
    return rc;
}
