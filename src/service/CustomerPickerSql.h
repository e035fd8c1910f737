#pragma once
// The customer statement of the customer picker (TDLGcltrecXZ), built from
// its search boxes and category list. The category lists themselves are the
// main window's (categoryListSql, categoryTitle in customers/CustomerListSql.h).

#include <QString>

struct PickerSearch {
    QString name;                  // 用户名称, trimmed by the caller
    QString bodyCode;              // 机身编码, trimmed
    QString billCode;              // 票 据 号, trimmed
    int categoryType = 0;          // 0 类别, 1 型号, 2 购买地点, 3 安装部, 4 开单批号
    bool categoryChosen = false;   // a row other than "全部" is chosen
    QString category;              // the chosen row's value, as listed
};

// Disabled customers are listed too; every value has its quotes doubled.
QString customerPickerSql(const PickerSearch &search);
