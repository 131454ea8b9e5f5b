#include "services/desktop.h"
#include "windows/windows.h"

#include <utility>

namespace {
// The radio buttons whose check earns points, in the order they are read.
constexpr std::pair<const char*, double> points[] = {
    {"单选框1", 2},  {"单选框4", 2},  {"单选框3", 2},  {"单选框11", 2}, {"单选框9", 6},
    {"单选框17", 2}, {"单选框16", 2}, {"单选框15", 2}, {"单选框14", 2}, {"单选框13", 4},
    {"单选框23", 2}, {"单选框26", 2}, {"单选框10", 2}, {"单选框25", 1}, {"单选框28", 1},
    {"单选框29", 1}, {"单选框30", 1}, {"单选框31", 1}, {"单选框32", 3}, {"单选框33", 1},
    {"单选框34", 1}, {"单选框35", 1}, {"单选框36", 2}, {"单选框37", 1}, {"单选框38", 1},
};

void submitChecklist(Frame& frame)
{
    for (const auto& [radio, amount] : points) {
        if (readProperty(ChecklistWindow, radio, prop::checked).number == 1)
            frame.classScore += amount;
    }
    writeProperty(ChecklistWindow, "按钮1", prop::disable, 1);
    showMessage("提交成功，请填写分数扣除  ");
    frame.loadWindow(DeductionWindow, true);
}

constexpr auto custom = Pointer::Custom;
constexpr QRgb red = qRgb(255, 0, 0);
} // namespace

// clang-format off
const WindowDefinition checklistWindow{
    .caption = "卫生检查统计系统",
    .outerWidth = 951,
    .outerHeight = 605,
    .pointer = custom,
    .bindings = {{event::created, doNothing}},
    // The radio buttons come in the reverse of their keyboard order; 单选框26 and 单选框27
    // lie on the window above 分组框10, which holds 单选框34 alone.
    .controls = {
        // kind            name        container   left top width height   start
        {Kind::RadioBox, "单选框38", "分组框9",  {128, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框37", "分组框6",  {136, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框36", "分组框11", {136, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框35", "分组框13", {136, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框34", "分组框10", {168, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框33", "分组框7",  {144, 16, 48, 16}, {.text = "一半"}},
        {Kind::RadioBox, "单选框32", "分组框8",  {128, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框31", "分组框5",  {136, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框30", "分组框4",  {112, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框29", "分组框3",  {128, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框28", "分组框1",  {104, 11, 48, 16}, {.text = "一半"}},
        {Kind::RadioBox, "单选框25", "分组框2",  {120, 8, 48, 16},  {.text = "一半"}},
        {Kind::RadioBox, "单选框12", "分组框8",  {64, 8, 72, 16},   {.text = "未达成"}},
        {Kind::RadioBox, "单选框9",  "分组框8",  {8, 8, 48, 16},    {.text = "达成"}},
        {Kind::RadioBox, "单选框23", "分组框9",  {8, 8, 64, 16},    {.text = "达成", .pointer = custom}, {{event::clicked, doNothing}}},
        {Kind::RadioBox, "单选框24", "分组框9",  {72, 8, 64, 16},   {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框13", "分组框11", {8, 9, 64, 16},    {.text = "达成", .pointer = custom}},
        {Kind::RadioBox, "单选框19", "分组框11", {72, 8, 64, 16},   {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框14", "分组框6",  {8, 8, 64, 16},    {.text = "达成", .pointer = custom}},
        {Kind::RadioBox, "单选框18", "分组框6",  {72, 8, 64, 16},   {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框15", "分组框13", {8, 8, 64, 16},    {.text = "达成", .pointer = custom}},
        {Kind::RadioBox, "单选框20", "分组框13", {72, 8, 64, 16},   {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框27", nullptr,    {144, 320, 64, 16}, {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框26", nullptr,    {72, 320, 64, 16}, {.text = "达成", .pointer = custom}},
        {Kind::RadioBox, "单选框22", "分组框7",  {488, 8, 64, 16},  {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框17", "分组框7",  {408, 24, 64, 16}, {.text = "达成", .pointer = custom}, {{event::clicked, doNothing}}},
        {Kind::RadioBox, "单选框16", "分组框7",  {8, 16, 64, 16},   {.text = "达成", .pointer = custom}},
        {Kind::RadioBox, "单选框21", "分组框7",  {72, 16, 64, 16},  {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框10", "分组框5",  {8, 8, 64, 16},    {.text = "达成", .pointer = custom}},
        {Kind::RadioBox, "单选框5",  "分组框5",  {80, 8, 64, 16},   {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框11", "分组框4",  {8, 8, 48, 16},    {.text = "达成", .pointer = custom}},
        {Kind::RadioBox, "单选框6",  "分组框4",  {56, 8, 64, 16},   {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框3",  "分组框3",  {8, 8, 64, 16},    {.text = "达成", .pointer = custom}},
        {Kind::RadioBox, "单选框7",  "分组框3",  {72, 8, 64, 16},   {.text = "未达成", .pointer = custom}, {{event::clicked, doNothing}}},
        {Kind::RadioBox, "单选框1",  "分组框2",  {8, 8, 56, 16},    {.text = "达成"}, {{event::clicked, doNothing}}},
        {Kind::RadioBox, "单选框2",  "分组框2",  {64, 8, 56, 16},   {.text = "未达成", .pointer = custom}},
        {Kind::RadioBox, "单选框4",  "分组框1",  {2, 11, 48, 16},   {.text = "达成", .pointer = custom}},
        {Kind::RadioBox, "单选框8",  "分组框1",  {50, 11, 64, 16},  {.text = "未达成", .pointer = custom}},
        {Kind::Button,   "按钮1",    nullptr,    {40, 522, 864, 48}, {.text = "提交", .songPixels = 24, .pointer = custom},
         {{event::clicked, submitChecklist}}},

        // area titles and item labels
        {Kind::Label, "标签13", nullptr, {8, 8, 200, 48},    {.text = "教室卫生", .songPixels = 48, .color = red, .pointer = custom}},
        {Kind::Label, "标签14", nullptr, {16, 208, 128, 40}, {.text = "清洁区卫生", .songPixels = 24, .color = red, .pointer = custom}},
        {Kind::Label, "标签15", nullptr, {16, 345, 120, 56}, {.text = "宿舍卫生", .songPixels = 24, .color = red, .pointer = custom}},
        {Kind::Label, "标签1",  nullptr, {8, 72, 480, 16},   {.text = "室内、室外走廊地面清洁无杂物、无积水、无卫生死角。卫生工具摆放整齐，垃圾及时清理", .pointer = custom}},
        {Kind::Label, "标签2",  nullptr, {8, 92, 728, 24},   {.text = "室内外瓷砖、墙壁无灰尘、无粉笔灰、无蜘蛛网、无鞋印、无球印，无乱写乱画、乱贴乱挂现象；门窗玻璃明净无污渍，窗台干净无尘土。", .pointer = custom}},
        {Kind::Label, "标签4",  nullptr, {8, 128, 104, 16},  {.text = "周四，卫生大扫除", .pointer = custom}},
        {Kind::Label, "标签3",  nullptr, {8, 152, 288, 16},  {.text = "桌椅摆放整齐，讲台上物品摆放整齐，讲台下无杂物。", .pointer = custom}},
        {Kind::Label, "标签5",  nullptr, {8, 184, 56, 16},   {.text = "平时抽查", .pointer = custom}},
        {Kind::Label, "标签6",  nullptr, {0, 250, 880, 16},  {.text = "清扫及时，清扫后洒水；地面无杂物、无积水；楼梯无杂物、无积水，扶手干净，墙壁、瓷砖无污渍、无蛛网、灰尘，无鞋印、球印，无乱刻乱画现象；草坪内无杂物。", .pointer = custom}},
        {Kind::Label, "标签7",  nullptr, {8, 296, 104, 16},  {.text = "周四，卫生大扫除", .pointer = custom}},
        {Kind::Label, "标签8",  nullptr, {8, 323, 56, 16},   {.text = "平时抽查", .pointer = custom}},
        {Kind::Label, "标签9",  nullptr, {16, 401, 272, 24}, {.text = "地面无垃圾、无污水 、 无痰迹， 地面干净无尘土", .pointer = custom}},
        {Kind::Label, "标签10", nullptr, {16, 431, 424, 24}, {.text = "床下物品摆放整齐；被褥干净、叠放整齐，床上其他杂物或书籍、衣物摆放整齐", .pointer = custom}},
        {Kind::Label, "标签18", nullptr, {448, 431, 56, 24}, {.text = "←←←"}},
        {Kind::Label, "标签11", nullptr, {16, 461, 256, 24}, {.text = "天棚、墙角无蛛网、墙面布置合理，不私拉电线", .pointer = custom}},
        {Kind::Label, "标签12", nullptr, {16, 493, 208, 24}, {.text = "室内桌椅、书架、日用品等摆放整齐", .pointer = custom}},

        // notes and the picture
        {Kind::PicBox, "图片框1", nullptr, {520, 128, 352, 112}, {.picture = ":/assets/picture.jpg"}},
        {Kind::Label,  "标签20",  nullptr, {512, 328, 264, 24},  {.text = "与卫生评判可能不同，请联系作者投稿提出建议！"}},
        {Kind::Label,  "标签16",  nullptr, {536, 392, 376, 16},  {.text = "第一次使用请先手动计算一遍，避免当前电脑所带来的不必要的麻烦！"}},
        {Kind::Label,  "标签17",  nullptr, {536, 408, 216, 16},  {.text = "请一次写好，否则程序会出BUG（漏洞）"}},
        {Kind::Label,  "标签19",  nullptr, {768, 440, 112, 64},  {.text = "谢谢", .songPixels = 48, .color = red}},

        // the bare frames of the items
        {Kind::GroupBox, "分组框2",  nullptr, {496, 61, 200, 27}},
        {Kind::GroupBox, "分组框1",  nullptr, {744, 88, 168, 32},  {}, {{event::leftPress, doNothing}}},
        {Kind::GroupBox, "分组框4",  nullptr, {120, 112, 168, 32}, {}, {{event::leftPress, doNothing}}},
        {Kind::GroupBox, "分组框3",  nullptr, {304, 144, 200, 32}},
        {Kind::GroupBox, "分组框5",  nullptr, {72, 168, 200, 32}},
        {Kind::GroupBox, "分组框8",  nullptr, {648, 264, 184, 32}},
        {Kind::GroupBox, "分组框7",  nullptr, {112, 272, 224, 40}},
        {Kind::GroupBox, "分组框10", nullptr, {64, 312, 232, 32}},
        {Kind::GroupBox, "分组框13", nullptr, {304, 393, 192, 32}},
        {Kind::GroupBox, "分组框11", nullptr, {504, 422, 200, 32}},
        {Kind::GroupBox, "分组框6",  nullptr, {288, 453, 200, 32}, {}, {{event::leftPress, doNothing}}},
        {Kind::GroupBox, "分组框9",  nullptr, {224, 486, 184, 32}, {}, {{event::leftPress, doNothing}}},
    }};
// clang-format on
