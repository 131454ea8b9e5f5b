#include "services/desktop.h"
#include "services/shutdown.h"
#include "windows/windows.h"

#include <utility>

namespace {
// Counts nothing yet: no rule of the program sets it, so its warning never shows.
int deductionTally = 0;

// The misconduct answered "是" and what it costs, in the order they are read.
constexpr std::pair<const char*, double> deductions[] = {
    {"单选框1", 1}, {"单选框3", 1}, {"单选框5", 1}, {"单选框7", 0.5}, {"单选框9", 2},
};

void submitDeductions(Frame& frame)
{
    for (const auto& [radio, amount] : deductions) {
        if (readProperty(DeductionWindow, radio, prop::checked).number == 1)
            frame.classScore -= amount;
    }
    if (deductionTally >= 30)
        showMessage("按照逻辑来说必须小于等于30 请酌情扣分，不要过度扣分");
    frame.classScore -= toWholeNumber(readProperty(DeductionWindow, "编辑框1", prop::text).text);
    frame.classScore += toWholeNumber(readProperty(DeductionWindow, "编辑框2", prop::text).text);
    writeProperty(DeductionWindow, "按钮1", prop::disable, 1);
}

void showExtraInputs(Frame&)
{
    if (readProperty(DeductionWindow, "单选框11", prop::checked).number == 1) {
        writeProperty(DeductionWindow, "编辑框1", prop::visible, 1);
        writeProperty(DeductionWindow, "标签7", prop::visible, 1);
    }
    if (readProperty(DeductionWindow, "单选框13", prop::checked).number == 1) {
        writeProperty(DeductionWindow, "编辑框2", prop::visible, 1);
        writeProperty(DeductionWindow, "标签8", prop::visible, 1);
    }
}

void dismissDeductions(Frame& frame)
{
    showMessage("收到");
    frame.destroyWindow(DeductionWindow);
}

void quickRestart(Frame&)
{
    shutDownSystem(2);
}

// Bound to 时钟1, whose period of 0 keeps it from ever running.
void showClassScore(Frame& frame)
{
    writeProperty(DeductionWindow, "标签10", prop::caption, toText(frame.classScore));
}
} // namespace

// clang-format off
const WindowDefinition deductionWindow{
    .caption = "卫生检查统计系统",
    .outerWidth = 493,
    .outerHeight = 374,
    .bindings = {{event::created, doNothing}},
    // The tab stops come in the reverse of their keyboard order; 单选框1 and 单选框15 lie on
    // the window above the empty frame 分组框8, with the unseen 单选框14 in their set.
    .controls = {
        // kind            name       container   left top width height  start
        {Kind::Button,   "按钮4",    nullptr,    {352, 168, 128, 128}, {.text = "卡时便捷重启"}, {{event::clicked, quickRestart}}},
        {Kind::RadioBox, "单选框15", nullptr,    {208, 8, 32, 16},  {.text = "否"}},
        {Kind::RadioBox, "单选框14", nullptr,    {40, 8, 0, 24},    {.text = "否"}},
        {Kind::RadioBox, "单选框1",  nullptr,    {152, 8, 32, 16},  {.text = "是"}},
        {Kind::RadioBox, "单选框13", "分组框6",  {8, 8, 32, 24},    {.text = "是"}},
        {Kind::RadioBox, "单选框12", "分组框6",  {40, 8, 32, 24},   {.text = "否"}},
        {Kind::RadioBox, "单选框11", "分组框5",  {8, 8, 32, 16},    {.text = "是"}},
        {Kind::RadioBox, "单选框10", "分组框5",  {48, 8, 32, 16},   {.text = "否"}},
        {Kind::RadioBox, "单选框9",  "分组框4",  {8, 8, 32, 16},    {.text = "是"}},
        {Kind::RadioBox, "单选框8",  "分组框4",  {40, 8, 32, 16},   {.text = "否"}},
        {Kind::RadioBox, "单选框7",  "分组框3",  {8, 8, 32, 16},    {.text = "是"}},
        {Kind::RadioBox, "单选框6",  "分组框3",  {48, 8, 32, 16},   {.text = "否"}},
        {Kind::RadioBox, "单选框5",  "分组框2",  {8, 8, 32, 16},    {.text = "是"}},
        {Kind::RadioBox, "单选框4",  "分组框2",  {48, 8, 32, 16},   {.text = "否"}},
        {Kind::RadioBox, "单选框3",  "分组框1",  {8, 8, 32, 16},    {.text = "是"}},
        {Kind::RadioBox, "单选框2",  "分组框1",  {48, 8, 32, 16},   {.text = "否"}},
        {Kind::Button,   "按钮3",    nullptr,    {144, 280, 72, 24},  {.text = "显示"}, {{event::clicked, showExtraInputs}}},
        {Kind::EditBox,  "编辑框2",  nullptr,    {88, 216, 152, 24},  {.visible = false}},
        {Kind::Button,   "按钮2",    nullptr,    {232, 280, 80, 48},  {.text = "无"}, {{event::clicked, dismissDeductions}}},
        {Kind::Button,   "按钮1",    nullptr,    {16, 272, 104, 48},  {.text = "提交"}, {{event::clicked, submitDeductions}}},
        {Kind::EditBox,  "编辑框1",  nullptr,    {88, 184, 152, 24},  {.visible = false, .wholeNumber = true}},

        // The frames lie above the labels: 标签3 reaches into 分组框2, and the label must not
        // cover the "是" of its item.
        {Kind::GroupBox, "分组框8", nullptr,   {136, 0, 168, 32}},
        {Kind::GroupBox, "分组框1", nullptr,   {272, 30, 128, 32}},
        {Kind::GroupBox, "分组框7", "分组框1", {504, 352, 128, 32}},
        {Kind::GroupBox, "分组框2", nullptr,   {96, 56, 128, 32}},
        {Kind::GroupBox, "分组框3", nullptr,   {320, 80, 128, 32}},
        {Kind::GroupBox, "分组框4", nullptr,   {288, 120, 128, 32}},
        {Kind::GroupBox, "分组框5", nullptr,   {184, 152, 128, 32}},
        {Kind::GroupBox, "分组框6", nullptr,   {144, 240, 80, 40}},

        {Kind::Label, "标签1",  nullptr, {8, 0, 120, 24},    {.text = "乱扔、乱倒杂物、垃圾"}},
        {Kind::Label, "标签2",  nullptr, {8, 32, 120, 16},   {.text = "乱涂乱踢，随处拍粉笔灰"}},
        {Kind::Label, "标签11", nullptr, {208, 32, 56, 16},  {.text = "←←←←"}},
        {Kind::Label, "标签3",  nullptr, {8, 58, 120, 16},   {.text = "不按时打扫卫生"}},
        {Kind::Label, "标签4",  nullptr, {0, 88, 312, 16},   {.text = "卫生检查员不按时上交卫生检查结果表，影响卫生成绩公布"}},
        {Kind::Label, "标签5",  nullptr, {8, 128, 264, 16},  {.text = "卫生委员不履行请假手续，无故不参加卫生工作会议"}},
        {Kind::Label, "标签6",  nullptr, {8, 160, 168, 16},  {.text = "其它破坏环境卫生的不文明行为"}},
        {Kind::Label, "标签7",  nullptr, {16, 184, 64, 24},  {.text = "扣除分数：", .visible = false}},
        {Kind::Label, "标签8",  nullptr, {16, 224, 56, 16},  {.text = "加分：", .visible = false}},
        {Kind::Label, "标签9",  nullptr, {16, 248, 128, 16}, {.text = "有另派任务，酌情加分"}},
        {Kind::Label, "标签12", nullptr, {320, 304, 160, 16}, {.text = "务必点击提交"}},
        {Kind::Label, "标签10", nullptr, {0, 328, 368, 16},
         {.text = "扣除分数和加分分数请一次填写\r\n，否则按钮禁止\r\n，重新启动软件填写！"}},
        {Kind::Timer, "时钟1", nullptr, {496, 280, 26, 26}, {.period = 0}, {{event::periodic, showClassScore}}},
    }};
// clang-format on
