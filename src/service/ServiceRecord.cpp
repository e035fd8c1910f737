#include "ServiceRecord.h"

#include <QDate>
#include <QTime>

namespace {

using V = ServiceValue;

const ServiceKindData kKinds[] = {
    {ServiceKind::Repair, "T_WXrec", "维修记录", "当前用户名称不能为空！", "增加维修记录！", "修改维修记录！",
     {{"BXdate", V::AsTyped}, {"XFdate", V::AsTyped}, {"xinghao", V::Trimmed}, {"reason", V::Trimmed},
      {"amount", V::Number}, {"shoukuan", V::Number}, {"setupDept", V::Trimmed}, {"billcode", V::Trimmed},
      {"mem1", V::AsTyped}, {"price", V::Number}, {"totalPrice", V::Number}, {"FWname", V::Trimmed},
      {"JScode", V::Trimmed}},
     false},
    {ServiceKind::ReturnVisit, "T_HFrec", "回访记录", "用户名称不能为空！", "增加用户服务记录！", "修改用户服务记录！",
     {{"date", V::AsTyped}, {"empName", V::Trimmed}, {"mem1", V::AsTyped}, {"mem2", V::AsTyped}},
     true},
    {ServiceKind::Complaint, "T_TSrec", "投诉记录", "当前用户名称不能为空！", "增加投诉记录！", "修改投诉记录！",
     {{"tsDate", V::AsTyped}, {"jibie", V::Trimmed}, {"maker", V::Trimmed}, {"reason", V::Trimmed},
      {"memo1", V::AsTyped}, {"memo2", V::AsTyped}},
     false},
};

} // namespace

const ServiceKindData &serviceKindData(ServiceKind kind)
{
    return kKinds[int(kind)];
}

QString complaintMoment(const QDate &date, const QTime &time)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")) + time.toString(QStringLiteral(" hh:mm:ss"));
}
