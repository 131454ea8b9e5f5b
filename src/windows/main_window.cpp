#include "services/desktop.h"
#include "services/tooltip.h"
#include "windows/windows.h"

namespace {
constexpr const char* helpText = "使用说明：\r\n"
                                 "点击计算按钮\r\n"
                                 "载入一个窗口\r\n"
                                 "对你正在评定的班级打分\r\n"
                                 "选择时要一次性选择完，点一个就点一次按钮会导致计算失误，出现BUG\r\n"
                                 "在扣分时，有两个是自己酌情扣分和加分的。\r\n"
                                 "要先在单选框上选择是\r\n"
                                 "然后选择显示按钮\r\n"
                                 "可以一个一个来\r\n"
                                 "也可以两个一起来\r\n"
                                 "然后进行扣分（扣分要酌情）\r\n"
                                 "酌情：加分、扣分在5左右\r\n"
                                 "然后关闭，弹出信息框，记录\r\n"
                                 "下面两个按钮为快捷进入按钮！但是请点击计算，不要快捷进入，否则无法计算！\r\n"
                                 "最后一个扣分加分的窗口必须要提交，无论有没有做任何事情！\r\n"
                                 "分数排序：由左上角开始横着到第二行左边到第三行左边到第四行排列 然后排列出来大小";

// The contact's messenger account and the site name its chat is opened for.
constexpr const char* contactAccount = "10001";
constexpr const char* siteName = "hygiene-inspection";

void computeClassScore(Frame& frame)
{
    frame.loadWindow(ChecklistWindow, true); // returns when the whole scoring road is done
    writeProperty(MainWindow, "编辑框4", prop::text, toText(frame.classScore));
    showMessage(joinTexts("本班得分：", readProperty(MainWindow, "编辑框4", prop::text).text,
                          "         请记录"));
    showMessage(joinTexts("本班得分：", readProperty(MainWindow, "编辑框4", prop::text).text,
                          "         请迅速记录到纸张上！"));
    frame.classScore = 0;
    writeProperty(MainWindow, "编辑框4", prop::text, toText(frame.classScore));
}

void openChecklistWindow(Frame& frame)
{
    frame.loadWindow(ChecklistWindow, true);
}

void openDeductionWindow(Frame& frame)
{
    frame.loadWindow(DeductionWindow, true);
}

void openSortWindow(Frame& frame)
{
    frame.loadWindow(SortWindow, true);
}

void tickClock(Frame&)
{
    writeProperty(MainWindow, "标签4", prop::caption, toText(currentDateTime()));
}

void addWindowTip(Frame&)
{
    addTooltip(windowHandle(MainWindow), "卫生检查统计系统", true, true);
}

void openContactChat(Frame&)
{
    const Text account = readProperty(MainWindow, "编辑框2", prop::text).text;
    const Text address = joinTexts("tencent://message/?uin=", account,
                                   joinTexts("&Site=", siteName, "&Menu=yes"));
    writeProperty(MainWindow, "超文本浏览框1", prop::url, address);
}
} // namespace

constexpr auto custom = Pointer::Custom;

const WindowDefinition mainWindow{
    .caption = "体育卫生检查系统",
    .outerWidth = 476,
    .outerHeight = 229,
    .minimiseButton = true,
    .pointer = custom,
    .bindings = {{event::created, doNothing}, {event::leftPress, addWindowTip}},
    .controls = {
        // kind              name            container  left top width height
        {Kind::Button,     "按钮4",         nullptr, {8, 168, 232, 24}, {.text = "进入分数排序"},
         {{event::clicked, openSortWindow}}},
        {Kind::Timer,      "时钟1",         nullptr, {264, 136, 48, 24}, {.visible = false, .period = 1000},
         {{event::periodic, tickClock}}},
        {Kind::Label,      "标签4",         nullptr, {248, 176, 176, 16}, {.text = "正在加载时间..............."}},
        {Kind::TransLabel, "透明标签1",     nullptr, {312, 128, 144, 40}, {.text = "说明↑", .songPixels = 48}},
        {Kind::Button,     "按钮6",         nullptr, {152, 144, 72, 24}, {.text = "分数扣除"},
         {{event::clicked, openDeductionWindow}}},
        {Kind::Button,     "按钮5",         nullptr, {8, 144, 144, 24}, {.text = "进入填写各个项目", .pointer = custom},
         {{event::clicked, openChecklistWindow}}},
        {Kind::EditBox,    "编辑框5",       nullptr, {0, 64, 456, 64}, {.text = helpText, .multiLine = true, .pointer = custom}},
        {Kind::EditBox,    "编辑框2",       nullptr, {920, 496, 64, 16}, {.text = contactAccount},
         {{event::textChanged, doNothing}}},
        {Kind::HtmlViewer, "超文本浏览框1", nullptr, {728, 440, 16, 16}},
        {Kind::Button,     "按钮3",         nullptr, {360, 32, 80, 24}, {.text = "联系作者", .pointer = custom},
         {{event::clicked, openContactChat}}},
        {Kind::EditBox,    "编辑框4",       nullptr, {64, 34, 96, 20}, {.readOnly = true, .framed = true, .pointer = custom}},
        {Kind::Label,      "标签3",         nullptr, {11, 32, 32, 24}, {.text = "得分：", .pointer = custom}},
        {Kind::Button,     "按钮1",         nullptr, {315, 2, 88, 24}, {.text = "计算", .pointer = custom},
         {{event::clicked, computeClassScore}}},
        {Kind::EditBox,    "编辑框1",       nullptr, {8, 2, 304, 24},
         {.text = "广告区域：广告位0元，可以有下载网址。广告长度无限", .pointer = custom}},
    }};
