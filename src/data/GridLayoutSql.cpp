#include "GridLayoutSql.h"

#include "DataSet.h"
#include "SqlText.h"

QString gridLayoutLoadSql(const QString &key)
{
    return QStringLiteral("Select * from cfg_Grid Where (F_name = '") + sqlValue(key)
           + QStringLiteral("' and F_fieldname <> '') order by F_Order");
}

QString gridLayoutUpdateSql(const QString &key, const GridLayoutRow &row)
{
    return QStringLiteral("update cfg_grid set F_caption = '") + sqlValue(row.caption)
           + QStringLiteral("',F_width = ") + QString::number(row.width)
           + QStringLiteral(",F_readonly = ") + (row.readOnly ? u'1' : u'0')
           + QStringLiteral(",F_visible = ") + (row.visible ? u'1' : u'0')
           + QStringLiteral(",F_order = ") + QString::number(row.order)
           + QStringLiteral(",F_alignMent = ") + QString::number(row.alignment)
           + QStringLiteral(",F_displayFormat = '") + sqlValue(row.displayFormat)
           + QStringLiteral("',F_footerValue = '") + sqlValue(row.footerValue)
           + QStringLiteral("',F_footerType = ") + QString::number(row.footerType)
           + QStringLiteral(" where (F_name = '") + sqlValue(key.toLower())
           + QStringLiteral("' and F_fieldname = '") + sqlValue(row.field) + QStringLiteral("') ");
}

GridLayoutRow gridLayoutRowFrom(const DataSet &ds)
{
    GridLayoutRow r;
    r.field = ds.fieldByName(QStringLiteral("F_FieldName")).asString();
    r.caption = ds.fieldByName(QStringLiteral("F_Caption")).asString();
    const Field width = ds.fieldByName(QStringLiteral("F_Width"));
    if (!width.isNull()) r.width = width.asInteger();
    r.visible = ds.fieldByName(QStringLiteral("F_Visible")).asBoolean();
    r.readOnly = ds.fieldByName(QStringLiteral("F_ReadOnly")).asBoolean();
    r.alignment = ds.fieldByName(QStringLiteral("F_Alignment")).asInteger();
    r.displayFormat = ds.fieldByName(QStringLiteral("F_DisplayFormat")).asString();
    r.footerValue = ds.fieldByName(QStringLiteral("F_FooterValue")).asString();
    r.footerType = ds.fieldByName(QStringLiteral("F_FooterType")).asInteger();
    r.order = ds.fieldByName(QStringLiteral("F_Order")).asInteger();
    return r;
}
