#include "CommandTable.h"

namespace {

using S = QStyle;

// clang-format off
const CommandInfo kCommands[] = {
    {101, "公司信息",         "文件", S::SP_ComputerIcon,            "公司信息",         true,  true,  0},
    {102, "更改密码",         "文件", S::SP_DialogResetButton,       "更改密码",         true,  true,  0},
    {103, "用户权限",         "文件", S::SP_DirHomeIcon,             "用户权限",         true,  true,  0},
    {104, "选项...",          "文件", S::SP_FileDialogListView,      "选项...",          true,  true,  0},
    {105, "区域...",          "文件", S::SP_FileIcon,                "区域...",          false, false, 0},
    {106, "自定义设置",       "文件", S::SP_FileDialogDetailedView,  nullptr,            false, true,  0},
    {201, "新增",             "编辑", S::SP_FileIcon,                "新增",             true,  true,  0},
    {202, "修改",             "编辑", S::SP_FileDialogContentsView,  "修改",             true,  true,  0},
    {203, "删除",             "编辑", S::SP_TrashIcon,               "删除",             true,  true,  0},
    {204, "排序...",          "编辑", S::SP_ArrowDown,               "排序...",          true,  true,  0},
    {205, "显示字段选择",     "编辑", S::SP_FileDialogDetailedView,  "显示字段选择",     true,  true,  0},
    {206, "保存当前网格",     "编辑", S::SP_DialogSaveButton,        "保存当前网格",     true,  true,  0},
    {207, "复制",             "编辑", S::SP_FileLinkIcon,            "复制",             true,  true,  0},
    {208, "维护记录",         "编辑", S::SP_DriveHDIcon,             nullptr,            false, true,  0},
    {209, "回访记录",         "编辑", S::SP_MessageBoxQuestion,      nullptr,            false, true,  0},
    {210, "投诉记录",         "编辑", S::SP_MessageBoxWarning,       nullptr,            false, true,  0},
    {301, "导出",             "输出", S::SP_DialogSaveButton,        "导出",             true,  true,  0},
    {302, "报表设计",         "输出", S::SP_FileDialogInfoView,      "报表设计",         true,  true,  0},
    {303, "当前客户详细报表", "输出", S::SP_FileIcon,                "当前客户详细报表", true,  true,  0},
    {304, "当前客户统计列表", "输出", S::SP_FileIcon,                "当前客户统计列表", true,  true,  0},
    {305, "当前客户信封打印", "输出", S::SP_FileIcon,                "当前客户信封打印", true,  true,  0},
    {306, "客户信封标签打印", "输出", S::SP_FileIcon,                "客户信封标签打印", true,  true,  0},
    {307, "导出客户电子信箱", "输出", S::SP_DialogSaveButton,        "导出客户电子信箱", true,  true,  0},
    {308, "打印当前销售单据", "输出", S::SP_FileIcon,                "打印当前销售单据", true,  true,  0},
    {401, "统计",             "统计", S::SP_FileDialogInfoView,      "统计",             true,  true,  0},
    {402, "业务提醒",         "统计", S::SP_MessageBoxInformation,   "业务提醒",         true,  true,  0},
    {403, "电器销售统计",     "统计", S::SP_FileDialogInfoView,      "电器销售统计",     true,  true,  0},
    {404, "用户维修统计",     "统计", S::SP_FileDialogInfoView,      "用户维修统计",     true,  true,  0},
    {405, "电器安装统计",     "统计", S::SP_FileDialogInfoView,      "电器安装统计",     true,  true,  0},
    {406, "用户赠品统计",     "统计", S::SP_FileDialogInfoView,      "用户赠品统计",     true,  true,  0},
    {407, "用户投诉统计",     "统计", S::SP_FileDialogInfoView,      "用户投诉统计",     true,  true,  0},
    {501, "导入客户资料",     "数据", S::SP_DialogOpenButton,        "导入客户资料",     true,  true,  0},
    {502, "系统数据清理",     "数据", S::SP_DialogDiscardButton,     "系统数据清理",     true,  true,  0},
    {503, "数据备份恢复",     "数据", S::SP_DriveFDIcon,             "数据备份恢复",     true,  true,  0},
    {504, "连接网络数据库",   "数据", S::SP_DriveNetIcon,            "连接网络数据库",   true,  true,  0},
    // Same caption as 504; the Limits name is the grant key, so it gets its own.
    {505, "连接网络数据库",   "",     S::SP_DriveNetIcon,            "连接网络数据库(备用)", false, false, 0},
    {901, "新增",             "从编辑", S::SP_FileIcon,              nullptr,            false, true,  201},
    {902, "修改",             "从编辑", S::SP_FileDialogContentsView, nullptr,           false, true,  202},
    {903, "删除",             "从编辑", S::SP_TrashIcon,             nullptr,            false, true,  203},
    {904, "排序",             "从编辑", S::SP_ArrowDown,             nullptr,            false, true,  204},
    {905, "显示字段选择",     "从编辑", S::SP_FileDialogDetailedView, nullptr,           false, true,  205},
    {906, "保存当前网格",     "从编辑", S::SP_DialogSaveButton,      nullptr,            false, true,  206},
    {31,  "导出",             "从编辑", S::SP_DialogSaveButton,      nullptr,            false, true,  301},
};
// clang-format on

} // namespace

namespace Commands {

std::span<const CommandInfo> all() { return kCommands; }

const CommandInfo *find(int code)
{
    for (const CommandInfo &c : kCommands)
        if (c.code == code) return &c;
    return nullptr;
}

QList<int> rightCodes()
{
    QList<int> codes;
    for (const CommandInfo &c : kCommands)
        if (isRight(c)) codes << c.code;
    return codes;
}

} // namespace Commands
