// Statements of the grid-layout store, letter for letter.
#include "data/GridLayoutSql.h"

#include <QTest>

Q_DECLARE_METATYPE(GridLayoutRow)

class TstGridLayoutSql : public QObject {
    Q_OBJECT
private slots:
    void loadStatement_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("sql");
        QTest::newRow("plain") << "wxrecman"
                               << "Select * from cfg_Grid Where (F_name = 'wxrecman' and F_fieldname <> '') order by F_Order";
        QTest::newRow("quote") << "a'b"
                               << "Select * from cfg_Grid Where (F_name = 'a''b' and F_fieldname <> '') order by F_Order";
    }
    void loadStatement()
    {
        QFETCH(QString, key);
        QFETCH(QString, sql);
        QCOMPARE(gridLayoutLoadSql(key), sql);
    }

    void updateStatement_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<GridLayoutRow>("row");
        QTest::addColumn<QString>("sql");

        GridLayoutRow sum;
        sum.field = "F_amount";
        sum.caption = "台    数";
        sum.width = 70;
        sum.visible = true;
        sum.readOnly = true;
        sum.alignment = 2;
        sum.displayFormat = "#,##0.00";
        sum.footerType = 2;
        sum.order = 8;
        QTest::newRow("sum column, key lower-cased")
            << "ClientMain" << sum
            << "update cfg_grid set F_caption = '台    数',F_width = 70,F_readonly = 1,F_visible = 1,F_order = 8,"
               "F_alignMent = 2,F_displayFormat = '#,##0.00',F_footerValue = '',F_footerType = 2 "
               "where (F_name = 'clientmain' and F_fieldname = 'F_amount') ";

        GridLayoutRow quoted;
        quoted.field = "F_o'k";
        quoted.caption = "O'Brien's";
        quoted.width = 0;
        quoted.visible = false;
        quoted.readOnly = false;
        quoted.alignment = 1;
        quoted.displayFormat = "0'x";
        quoted.footerValue = "合计'";
        quoted.footerType = 1;
        quoted.order = 0;
        QTest::newRow("quotes in every text")
            << "k'ey" << quoted
            << "update cfg_grid set F_caption = 'O''Brien''s',F_width = 0,F_readonly = 0,F_visible = 0,F_order = 0,"
               "F_alignMent = 1,F_displayFormat = '0''x',F_footerValue = '合计''',F_footerType = 1 "
               "where (F_name = 'k''ey' and F_fieldname = 'F_o''k') ";
    }
    void updateStatement()
    {
        QFETCH(QString, key);
        QFETCH(GridLayoutRow, row);
        QFETCH(QString, sql);
        QCOMPARE(gridLayoutUpdateSql(key, row), sql);
    }
};

QTEST_APPLESS_MAIN(TstGridLayoutSql)
#include "tst_gridlayoutsql.moc"
