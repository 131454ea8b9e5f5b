#include "support.h"

#include "frame/frame.h"
#include "frame/looks.h"
#include "services/desktop.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QStringList>

namespace {

// What the handlers did, in the order they did it.
QStringList journal;

void note(const QString& entry)
{
    journal.append(entry);
}

QWidget* widget(Frame& frame, WindowId id, const char* name)
{
    FrameWindow* window = frame.window(id);
    FrameWindow::Control* control = window ? window->control(name) : nullptr;
    return control ? control->widget.data() : nullptr;
}

std::function<bool()> isActive(Frame& frame, WindowId id)
{
    return [&frame, id] { return frame.window(id) && frame.window(id)->isActiveWindow(); };
}

// The widget that takes the keys: the focused control, else the active window itself.
QWidget* keyTarget()
{
    return QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
}

QString focusedName()
{
    QWidget* focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QString();
}

void press(Frame& frame, WindowId id, const char* button)
{
    QTest::mouseClick(widget(frame, id, button), Qt::LeftButton);
}

// --- A window that opens a second, which opens a third; a fourth stands apart.

void openSecond(Frame& frame)
{
    note("open second");
    frame.loadWindow(ChecklistWindow, true);
    note("second returned");
}

void openThird(Frame& frame)
{
    note("open third");
    frame.loadWindow(DeductionWindow, true);
    note("third returned");
}

void dismissThird(Frame& frame)
{
    frame.destroyWindow(DeductionWindow);
    // The window is still loaded until this handler has ended.
    writeProperty(DeductionWindow, "标签1", prop::caption, "still here");
    FrameWindow* third = frame.window(DeductionWindow);
    note(third && third->isVisible() ? "dismiss ended, third shown" : "dismiss ended, third gone");
}

void openSecondFromFourth(Frame& frame)
{
    frame.loadWindow(ChecklistWindow, true);
    note("fourth's load returned");
}

const WindowDefinition navFirst{.caption = "第一",
                                .outerWidth = 300,
                                .outerHeight = 160,
                                .controls = {
                                    {Kind::Button,
                                     "按钮1",
                                     nullptr,
                                     {10, 10, 80, 24},
                                     {.text = "打开"},
                                     {{event::clicked, openSecond}}},
                                    {Kind::EditBox, "编辑框1", nullptr, {10, 50, 120, 20}},
                                }};
const WindowDefinition navSecond{.caption = "第二",
                                 .outerWidth = 320,
                                 .outerHeight = 180,
                                 .controls = {
                                     {Kind::Button,
                                      "按钮1",
                                      nullptr,
                                      {10, 10, 80, 24},
                                      {.text = "打开"},
                                      {{event::clicked, openThird}}},
                                     {Kind::EditBox, "编辑框1", nullptr, {10, 50, 120, 20}},
                                 }};
const WindowDefinition navThird{
    .caption = "第三",
    .outerWidth = 280,
    .outerHeight = 150,
    .controls = {
        {Kind::Button,
         "按钮1",
         nullptr,
         {10, 10, 80, 24},
         {.text = "无"},
         {{event::clicked, dismissThird}}},
        {Kind::Label, "标签1", nullptr, {10, 50, 120, 16}, {.text = "标签"}},
    }};
const WindowDefinition navFourth{.caption = "第四",
                                 .outerWidth = 260,
                                 .outerHeight = 140,
                                 .controls = {
                                     {Kind::Button,
                                      "按钮1",
                                      nullptr,
                                      {10, 10, 80, 24},
                                      {.text = "载入"},
                                      {{event::clicked, openSecondFromFourth}}},
                                 }};
const WindowSet navigation{&navFirst, &navSecond, &navThird, &navFourth};

// --- A window with a control of every kind that takes the keyboard; a window without any.

const WindowDefinition keysWindow{
    .caption = "键",
    .outerWidth = 400,
    .outerHeight = 260,
    .controls = {
        {Kind::EditBox, "编辑框1", nullptr, {10, 10, 120, 20}, {.text = "一行"}},
        {Kind::EditBox, "编辑框2", nullptr, {10, 40, 160, 50}, {.text = "多行", .multiLine = true}},
        {Kind::EditBox,
         "编辑框3",
         nullptr,
         {10, 100, 160, 50},
         {.text = "只读", .readOnly = true, .multiLine = true}},
        {Kind::EditBox, "编辑框4", nullptr, {10, 160, 120, 20}, {.wholeNumber = true}},
        {Kind::EditBox, "编辑框5", nullptr, {10, 190, 120, 20}, {.framed = true}},
        {Kind::Button, "按钮1", nullptr, {200, 10, 80, 24}, {.text = "按钮"}},
        {Kind::RadioBox, "单选框1", nullptr, {200, 40, 80, 16}, {.text = "单选"}},
        {Kind::HtmlViewer, "超文本浏览框1", nullptr, {200, 70, 16, 16}},
    }};
const WindowDefinition bareWindow{
    .caption = "空",
    .outerWidth = 200,
    .outerHeight = 100,
    .controls = {{Kind::Label, "标签1", nullptr, {10, 10, 100, 16}, {.text = "只有标签"}}},
};
const WindowSet keys{&keysWindow, &keysWindow, &keysWindow, &bareWindow};

// --- A window whose handlers change it, to see that a new opening forgets the changes.

void changeForm(Frame&)
{
    writeProperty(ChecklistWindow, "编辑框2", prop::visible, 0);
    writeProperty(ChecklistWindow, "编辑框3", prop::visible, 1);
    writeProperty(ChecklistWindow, "按钮2", prop::disable, 1);
    writeProperty(ChecklistWindow, "按钮3", prop::disable, 0);
    writeProperty(ChecklistWindow, "标签1", prop::caption, "改过");
}

const WindowDefinition formWindow{
    .caption = "表",
    .outerWidth = 400,
    .outerHeight = 260,
    .controls = {
        {Kind::Button,
         "按钮1",
         nullptr,
         {200, 10, 80, 24},
         {.text = "改变"},
         {{event::clicked, changeForm}}},
        {Kind::EditBox, "编辑框1", nullptr, {10, 10, 120, 20}, {.text = "起始"}},
        {Kind::EditBox, "编辑框2", nullptr, {10, 40, 120, 20}, {.text = "可见"}},
        {Kind::EditBox, "编辑框3", nullptr, {10, 70, 120, 20}, {.visible = false}},
        {Kind::Button, "按钮2", nullptr, {200, 40, 80, 24}, {.text = "可用"}},
        {Kind::Button, "按钮3", nullptr, {200, 70, 80, 24}, {.text = "禁止", .disabled = true}},
        {Kind::RadioBox, "单选框1", nullptr, {10, 100, 100, 16}, {.text = "单选一"}},
        {Kind::Label, "标签1", nullptr, {10, 130, 120, 16}, {.text = "原样"}},
    }};
const WindowSet form{&bareWindow, &formWindow, &bareWindow, &bareWindow};

// --- The window events, and what a window's build sets off.

int ticks = 0;
int textChanges = 0;

void noteCreated(Frame& frame)
{
    note(QStringLiteral("created, shown %1, ticks %2, text changes %3")
             .arg(frame.window(MainWindow)->isVisible())
             .arg(ticks)
             .arg(textChanges));
}

void noteMoved(Frame&)
{
    note("moved");
}

void noteResized(Frame&)
{
    note("resized");
}

void countTick(Frame&)
{
    ++ticks;
}

void countTextChange(Frame&)
{
    ++textChanges;
}

// A timer of 1 ms comes first; the many labels after it keep the build busy for longer than
// that, so that a tick falls due while the window is being built.
std::vector<ControlDefinition> busyControls()
{
    static std::vector<std::string> names;
    std::vector<ControlDefinition> controls{
        {Kind::Timer,
         "时钟1",
         nullptr,
         {0, 0, 1, 1},
         {.period = 1},
         {{event::periodic, countTick}}},
        {Kind::EditBox,
         "编辑框1",
         nullptr,
         {10, 10, 100, 20},
         {.text = "起始"},
         {{event::textChanged, countTextChange}}},
    };
    names.resize(400);
    for (int i = 0; i < int(names.size()); ++i) {
        names[i] = "标签" + std::to_string(i + 1);
        controls.push_back({Kind::Label, names[i].c_str(), nullptr, {10, 40 + i % 10, 40, 12}});
    }
    return controls;
}

const WindowDefinition busyWindow{
    .caption = "忙",
    .outerWidth = 300,
    .outerHeight = 200,
    .bindings = {{event::created, noteCreated},
                 {event::moved, noteMoved},
                 {event::resized, noteResized}},
    .controls = busyControls(),
};
const WindowSet busy{&busyWindow, &bareWindow, &bareWindow, &bareWindow};

// --- Radio buttons: window-level ones beside group boxes, one clipped away, a set of one.

template <int N> void clickedRadio(Frame&)
{
    note(QStringLiteral("单选框%1").arg(N));
}

const WindowDefinition radioWindow{
    .caption = "单选",
    .outerWidth = 420,
    .outerHeight = 260,
    .controls = {
        // On the window, though inside the rectangle of 分组框1.
        {Kind::RadioBox,
         "单选框1",
         nullptr,
         {20, 40, 90, 16},
         {.text = "窗口上"},
         {{event::clicked, clickedRadio<1>}}},
        {Kind::GroupBox, "分组框1", nullptr, {10, 10, 200, 120}},
        {Kind::RadioBox,
         "单选框2",
         "分组框1",
         {10, 60, 90, 16},
         {.text = "框内二"},
         {{event::clicked, clickedRadio<2>}}},
        {Kind::RadioBox,
         "单选框3",
         "分组框1",
         {10, 80, 90, 16},
         {.text = "框内三"},
         {{event::clicked, clickedRadio<3>}}},
        // Beyond the right edge of its box: never seen, still one of the box's set.
        {Kind::RadioBox,
         "单选框4",
         "分组框1",
         {250, 20, 90, 16},
         {.text = "框外"},
         {{event::clicked, clickedRadio<4>}}},
        {Kind::RadioBox,
         "单选框5",
         nullptr,
         {20, 150, 90, 16},
         {.text = "窗口五"},
         {{event::clicked, clickedRadio<5>}}},
        {Kind::RadioBox,
         "单选框6",
         nullptr,
         {20, 170, 0, 16},
         {.text = "零宽"},
         {{event::clicked, clickedRadio<6>}}},
        {Kind::GroupBox, "分组框2", nullptr, {220, 10, 150, 60}},
        {Kind::RadioBox,
         "单选框7",
         "分组框2",
         {10, 20, 90, 16},
         {.text = "独一"},
         {{event::clicked, clickedRadio<7>}}},
    }};
const WindowSet radios{&radioWindow, &bareWindow, &bareWindow, &bareWindow};
const QStringList radioNames{"单选框1", "单选框2", "单选框3", "单选框4",
                             "单选框5", "单选框6", "单选框7"};

QStringList checkedRadios(Frame& frame)
{
    QStringList checked;
    for (const QString& name : radioNames) {
        if (static_cast<QRadioButton*>(widget(frame, MainWindow, name.toUtf8()))->isChecked())
            checked.append(name);
    }
    return checked;
}

// --- The keyboard order: tab stops of every kind, and controls that are none or are
// skipped.

void noteButton(Frame&)
{
    note("按钮1");
}

const WindowDefinition tabWindow{
    .caption = "次序",
    .outerWidth = 420,
    .outerHeight = 300,
    .controls = {
        {Kind::Label, "标签1", nullptr, {300, 10, 80, 16}, {.text = "标签"}},
        {Kind::Button,
         "按钮1",
         nullptr,
         {10, 10, 80, 24},
         {.text = "一"},
         {{event::clicked, noteButton}}},
        {Kind::EditBox, "编辑框1", nullptr, {10, 40, 100, 20}},
        {Kind::GroupBox, "分组框1", nullptr, {150, 10, 140, 100}},
        {Kind::Button, "按钮2", "分组框1", {10, 20, 80, 24}, {.text = "框内"}},
        {Kind::Button, "按钮3", nullptr, {10, 70, 80, 24}, {.text = "隐藏", .visible = false}},
        {Kind::EditBox, "编辑框2", nullptr, {10, 100, 100, 20}, {.disabled = true}},
        {Kind::RadioBox, "单选框1", nullptr, {10, 130, 80, 16}, {.text = "单选"}},
        {Kind::HtmlViewer, "超文本浏览框1", nullptr, {10, 150, 16, 16}},
        {Kind::EditBox, "编辑框3", nullptr, {10, 170, 150, 50}, {.multiLine = true}},
        {Kind::Timer, "时钟1", nullptr, {0, 0, 1, 1}},
        {Kind::PicBox, "图片框1", nullptr, {300, 200, 40, 40}, {.picture = ":/assets/picture.jpg"}},
        {Kind::Button, "按钮4", nullptr, {900, 900, 80, 24}, {.text = "窗外"}},
        {Kind::RadioBox, "单选框2", nullptr, {10, 230, 0, 16}, {.text = "零宽"}},
        {Kind::EditBox, "编辑框4", nullptr, {200, 150, 100, 20}, {.readOnly = true}},
    }};
const WindowSet tabs{&tabWindow, &bareWindow, &bareWindow, &bareWindow};
const QStringList tabOrder{"编辑框4", "单选框2", "按钮4",   "编辑框3", "超文本浏览框1",
                           "单选框1", "按钮2",   "编辑框1", "按钮1"};

// --- Labels, and placement on the window.

const WindowDefinition labelWindow{
    .caption = "标签",
    .outerWidth = 300,
    .outerHeight = 200,
    .controls = {{Kind::Label, "标签1", nullptr, {10, 10, 200, 60}}},
};
const WindowSet labels{&labelWindow, &bareWindow, &bareWindow, &bareWindow};

template <int N> void clickedButton(Frame&)
{
    note(QStringLiteral("按钮%1").arg(N));
}

const WindowDefinition placesWindow{
    .caption = "位置",
    .outerWidth = 400,
    .outerHeight = 260,
    .controls = {
        {Kind::Button,
         "按钮1",
         nullptr,
         {10, 150, 100, 30},
         {.text = "上"},
         {{event::clicked, clickedButton<1>}}},
        {Kind::Button,
         "按钮2",
         nullptr,
         {50, 160, 100, 30},
         {.text = "下"},
         {{event::clicked, clickedButton<2>}}},
        {Kind::GroupBox, "分组框1", nullptr, {50, 40, 100, 60}},
        // Wider than its box: the part beyond the box's right edge is cut away.
        {Kind::Button,
         "按钮3",
         "分组框1",
         {10, 20, 150, 24},
         {.text = "框内"},
         {{event::clicked, clickedButton<3>}}},
    }};
const WindowSet places{&placesWindow, &bareWindow, &bareWindow, &bareWindow};

const WindowDefinition mainSized{
    .caption = "大小", .outerWidth = 476, .outerHeight = 229, .minimiseButton = true};
const WindowDefinition wideSized{.caption = "大小", .outerWidth = 951, .outerHeight = 605};
const WindowDefinition smallSized{.caption = "大小", .outerWidth = 242, .outerHeight = 246};
const WindowSet sizes{&mainSized, &wideSized, &smallSized, &bareWindow};

bool isCentred(const QRect& frame)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int left = (screen.width() - frame.width()) / 2;
    const int top = (screen.height() - frame.height()) / 2;
    return std::abs(frame.x() - left) <= 1 && std::abs(frame.y() - top) <= 1;
}

QString windowProperty(const QWidget& window, const char* property)
{
    QProcess xprop;
    xprop.start("xprop", {"-id", QString::number(window.winId()), property});
    xprop.waitForFinished();
    return QString::fromUtf8(xprop.readAllStandardOutput());
}

// The rows and columns of `image` that hold text: pixels much darker than the background.
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 110)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace

class FrameTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { applyProgramLooks(); }

    void init()
    {
        journal.clear();
        ticks = 0;
        textChanges = 0;
    }

    void nestedWaitsRestoreEnabledStatesAsRecorded();
    void closedWindowEndsItsWait_data();
    void closedWindowEndsItsWait();
    void disabledWindowIgnoresTheCloseCommand();
    void escapeClosesTheWindowWithTheKeyboard_data();
    void escapeClosesTheWindowWithTheKeyboard();
    void escapeInTheMainWindowEndsTheRun();
    void reopenedWindowStartsFromItsDefinition();
    void createdEventComesFirstAndBeforeTheWindowShows();
    void destroyedWindowRaisesNoMoreEvents();
    void destroyWindowWaitsForTheHandlerToEnd();
    void loadingAnOpenWindowReturnsAtOnce();
    void radioSetsFollowTheirContainers_data();
    void radioSetsFollowTheirContainers();
    void arrowKeysMoveTheCheckWithinTheSet_data();
    void arrowKeysMoveTheCheckWithinTheSet();
    void tabRunsThroughTheKeyboardOrder_data();
    void tabRunsThroughTheKeyboardOrder();
    void focusComesBackAfterADialogCloses();
    void enterPressesNoButton();
    void enterInAMultiLineBox_data();
    void enterInAMultiLineBox();
    void labelDrawsItsCaptionOnOneLine_data();
    void labelDrawsItsCaptionOnOneLine();
    void windowSizeAndPlace_data();
    void windowSizeAndPlace();
    void titleBarButtons_data();
    void titleBarButtons();
    void groupBoxHoldsAndClipsItsControls();
    void firstControlLiesOnTop();
};

void FrameTest::nestedWaitsRestoreEnabledStatesAsRecorded()
{
    Frame frame(navigation);
    frame.loadWindow(SortWindow, false);
    frame.window(SortWindow)->setEnabled(false);
    frame.loadWindow(MainWindow, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(MainWindow)));

    auto enabled = [&frame] {
        QString states;
        for (WindowId id : {MainWindow, ChecklistWindow, DeductionWindow, SortWindow})
            states += !frame.window(id) ? '-' : frame.window(id)->isEnabled() ? 'E' : 'D';
        return states;
    };
    QStringList seen;
    when(isActive(frame, ChecklistWindow), [&] {
        seen << enabled();
        // A disabled window takes no clicks: its handler does not run during the wait.
        press(frame, MainWindow, "按钮1");
        when(isActive(frame, DeductionWindow), [&] {
            seen << enabled();
            QTest::keyClick(keyTarget(), Qt::Key_Escape);
        });
        press(frame, ChecklistWindow, "按钮1");
        seen << enabled();
        QTest::keyClick(widget(frame, ChecklistWindow, "编辑框1"), Qt::Key_Escape);
    });
    press(frame, MainWindow, "按钮1");
    seen << enabled();

    // Order of the letters: first, second, third, fourth window.
    QCOMPARE(seen, QStringList({"DE-D", "DDED", "DE-D", "E--D"}));
    QCOMPARE(journal,
             QStringList({"open second", "open third", "third returned", "second returned"}));
}

void FrameTest::closedWindowEndsItsWait_data()
{
    QTest::addColumn<bool>("byWindowManager");
    QTest::newRow("QWidget::close") << false;
    QTest::newRow("close command of the window manager (Alt+F4)") << true;
}

void FrameTest::closedWindowEndsItsWait()
{
    QFETCH(bool, byWindowManager);
    Frame frame(navigation);
    frame.loadWindow(MainWindow, false);
    when(isActive(frame, ChecklistWindow), [&] {
        if (byWindowManager)
            QProcess::execute("xdotool", {"key", "alt+F4"});
        else
            frame.window(ChecklistWindow)->close();
    });
    press(frame, MainWindow, "按钮1");

    QCOMPARE(journal, QStringList({"open second", "second returned"}));
    QVERIFY(!frame.window(ChecklistWindow));
    QVERIFY(frame.window(MainWindow)->isEnabled());
}

void FrameTest::disabledWindowIgnoresTheCloseCommand()
{
    Frame frame(navigation);
    frame.loadWindow(MainWindow, false);
    bool firstStayed = false;
    when(isActive(frame, ChecklistWindow), [&] {
        // The window manager still lets the user reach the disabled window's close command.
        const QString first = QString::number(frame.window(MainWindow)->winId());
        QProcess::execute("xdotool", {"windowactivate", "--sync", first, "key", "alt+F4"});
        QTest::qWait(300);
        firstStayed = frame.window(MainWindow) != nullptr;
        frame.window(ChecklistWindow)->close();
    });
    press(frame, MainWindow, "按钮1");

    QVERIFY(firstStayed);
    QCOMPARE(journal, QStringList({"open second", "second returned"}));
    QVERIFY(frame.window(MainWindow)->isEnabled());
}

void FrameTest::escapeClosesTheWindowWithTheKeyboard_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<Qt::KeyboardModifiers>("held");
    QTest::addColumn<bool>("closes");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const QList<QByteArray> controls{"编辑框1", "编辑框2", "编辑框3", "编辑框4",
                                     "编辑框5", "按钮1",   "单选框1", "超文本浏览框1"};
    for (const QByteArray& control : controls)
        QTest::newRow(("Esc in " + control).constData())
            << int(MainWindow) << control << none << true;
    QTest::newRow("Esc on a window without controls")
        << int(SortWindow) << QByteArray() << none << true;
    QTest::newRow("Ctrl+Esc") << int(MainWindow) << QByteArray("编辑框1")
                              << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::newRow("Shift+Esc") << int(MainWindow) << QByteArray("按钮1")
                               << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    QTest::newRow("Alt+Esc") << int(MainWindow) << QByteArray("编辑框2")
                             << Qt::KeyboardModifiers(Qt::AltModifier) << false;
    QTest::newRow("Ctrl+Shift+Esc on a window without controls")
        << int(SortWindow) << QByteArray()
        << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier) << false;
}

void FrameTest::escapeClosesTheWindowWithTheKeyboard()
{
    QFETCH(int, window);
    QFETCH(QByteArray, control);
    QFETCH(Qt::KeyboardModifiers, held);
    QFETCH(bool, closes);
    const auto id = WindowId(window);

    Frame frame(keys);
    frame.loadWindow(id, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(id)));
    if (!control.isEmpty()) {
        widget(frame, id, control)->setFocus();
        QTRY_COMPARE(focusedName(), QString::fromUtf8(control));
    }
    QTest::keyClick(keyTarget(), Qt::Key_Escape, held);

    QCOMPARE(frame.window(id) == nullptr, closes);
}

void FrameTest::escapeInTheMainWindowEndsTheRun()
{
    Frame frame(navigation);
    frame.loadWindow(MainWindow, false);
    when(isActive(frame, MainWindow), [] { QTest::keyClick(keyTarget(), Qt::Key_Escape); });
    QCOMPARE(frame.runEventLoop(), 0);
    QVERIFY(!frame.window(MainWindow));
}

void FrameTest::reopenedWindowStartsFromItsDefinition()
{
    Frame frame(form);
    frame.loadWindow(ChecklistWindow, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(ChecklistWindow)));
    auto* edit = static_cast<QLineEdit*>(widget(frame, ChecklistWindow, "编辑框1"));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "xyz");
    QTest::mouseClick(widget(frame, ChecklistWindow, "单选框1"), Qt::LeftButton, {}, QPoint(6, 8));
    press(frame, ChecklistWindow, "按钮1");
    QCOMPARE(edit->text(), QStringLiteral("起始xyz"));
    QCOMPARE(readProperty(ChecklistWindow, "单选框1", prop::checked).number, 1);
    QCOMPARE(readProperty(ChecklistWindow, "编辑框2", prop::visible).number, 0);

    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!frame.window(ChecklistWindow));
    frame.loadWindow(ChecklistWindow, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(ChecklistWindow)));

    QCOMPARE(readProperty(ChecklistWindow, "编辑框1", prop::text).text, Text("起始"));
    QCOMPARE(readProperty(ChecklistWindow, "单选框1", prop::checked).number, 0);
    QCOMPARE(readProperty(ChecklistWindow, "标签1", prop::caption).text, Text("原样"));
    QVERIFY(widget(frame, ChecklistWindow, "编辑框2")->isVisible());
    QVERIFY(!widget(frame, ChecklistWindow, "编辑框3")->isVisible());
    QVERIFY(widget(frame, ChecklistWindow, "按钮2")->isEnabled());
    QVERIFY(!widget(frame, ChecklistWindow, "按钮3")->isEnabled());
}

void FrameTest::createdEventComesFirstAndBeforeTheWindowShows()
{
    Frame frame(busy);
    frame.loadWindow(MainWindow, false);
    QCOMPARE(journal,
             QStringList({"created, shown 0, ticks 0, text changes 0", "moved", "resized"}));
    QVERIFY(frame.window(MainWindow)->isVisible());
    QTRY_VERIFY(ticks > 0);
    QCOMPARE(textChanges, 0);
}

void FrameTest::destroyedWindowRaisesNoMoreEvents()
{
    Frame frame(busy);
    frame.loadWindow(MainWindow, false);
    QTRY_VERIFY(ticks > 0);
    frame.window(MainWindow)->close();
    QVERIFY(!frame.window(MainWindow));
    const int ticksAtClose = ticks;
    QTest::qWait(100);
    QCOMPARE(ticks, ticksAtClose);
}

void FrameTest::destroyWindowWaitsForTheHandlerToEnd()
{
    Frame frame(navigation);
    frame.loadWindow(MainWindow, false);
    when(isActive(frame, ChecklistWindow), [&] {
        when(isActive(frame, DeductionWindow), [&] { press(frame, DeductionWindow, "按钮1"); });
        press(frame, ChecklistWindow, "按钮1");
        frame.window(ChecklistWindow)->close();
    });
    press(frame, MainWindow, "按钮1");

    QCOMPARE(journal, QStringList({"open second", "open third", "dismiss ended, third shown",
                                   "third returned", "second returned"}));
    QVERIFY(!frame.window(DeductionWindow));
}

void FrameTest::loadingAnOpenWindowReturnsAtOnce()
{
    Frame frame(navigation);
    frame.loadWindow(ChecklistWindow, false);
    FrameWindow* second = frame.window(ChecklistWindow);
    QVERIFY(QTest::qWaitForWindowActive(second));
    second->showMinimized();
    QTRY_VERIFY(!second->isActiveWindow());
    frame.loadWindow(SortWindow, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(SortWindow)));

    press(frame, SortWindow, "按钮1");

    QCOMPARE(journal, QStringList({"fourth's load returned"}));
    QCOMPARE(frame.window(ChecklistWindow), second);
    QVERIFY(!second->isMinimized());
    QTRY_VERIFY(second->isActiveWindow());
    QVERIFY(frame.window(SortWindow)->isEnabled());
}

void FrameTest::radioSetsFollowTheirContainers_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("checked");

    QTest::newRow("a window radio inside a box's rectangle is not in the box's set")
        << QStringList{"单选框2", "单选框1"} << QStringList{"单选框1", "单选框2"};
    QTest::newRow("a box's radio unchecks the rest of its box only")
        << QStringList{"单选框1", "单选框3", "单选框2"} << QStringList{"单选框1", "单选框2"};
    QTest::newRow("the window's own set")
        << QStringList{"单选框5", "单选框7", "单选框1"} << QStringList{"单选框1", "单选框7"};
    QTest::newRow("a checked radio clicked again stays checked")
        << QStringList{"单选框3", "单选框3"} << QStringList{"单选框3"};
    QTest::newRow("a set of one stays checked")
        << QStringList{"单选框7", "单选框7", "单选框7"} << QStringList{"单选框7"};
}

void FrameTest::radioSetsFollowTheirContainers()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, checked);
    Frame frame(radios);
    frame.loadWindow(MainWindow, false);
    QVERIFY(QTest::qWaitForWindowExposed(frame.window(MainWindow)));
    for (const QString& name : clicks)
        QTest::mouseClick(widget(frame, MainWindow, name.toUtf8()), Qt::LeftButton, {},
                          QPoint(6, 8));

    QCOMPARE(checkedRadios(frame), checked);
    QCOMPARE(journal, clicks);
}

void FrameTest::arrowKeysMoveTheCheckWithinTheSet_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");

    // Keyboard order of the sets: 单选框6, 5, 1 on the window; 4, 3, 2 in 分组框1.
    QTest::newRow("Right wraps to the radio clipped away")
        << QByteArray("单选框2") << int(Qt::Key_Right) << "单选框4";
    QTest::newRow("Down wraps likewise") << QByteArray("单选框2") << int(Qt::Key_Down) << "单选框4";
    QTest::newRow("Left") << QByteArray("单选框2") << int(Qt::Key_Left) << "单选框3";
    QTest::newRow("Up") << QByteArray("单选框2") << int(Qt::Key_Up) << "单选框3";
    QTest::newRow("Left wraps from the first")
        << QByteArray("单选框4") << int(Qt::Key_Left) << "单选框2";
    QTest::newRow("Right from the clipped radio")
        << QByteArray("单选框4") << int(Qt::Key_Right) << "单选框3";
    QTest::newRow("the window's set skips the box's radios")
        << QByteArray("单选框1") << int(Qt::Key_Right) << "单选框6";
    QTest::newRow("a radio of no width takes the check")
        << QByteArray("单选框5") << int(Qt::Key_Up) << "单选框6";
    QTest::newRow("from the radio of no width")
        << QByteArray("单选框6") << int(Qt::Key_Down) << "单选框5";
    QTest::newRow("a set of one keeps its radio")
        << QByteArray("单选框7") << int(Qt::Key_Right) << "单选框7";
}

void FrameTest::arrowKeysMoveTheCheckWithinTheSet()
{
    QFETCH(QByteArray, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    Frame frame(radios);
    frame.loadWindow(MainWindow, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(MainWindow)));
    widget(frame, MainWindow, from)->setFocus();
    QTRY_COMPARE(focusedName(), QString::fromUtf8(from));

    QTest::keyClick(keyTarget(), Qt::Key(key));

    QCOMPARE(focusedName(), to);
    QCOMPARE(checkedRadios(frame), QStringList{to});
    QCOMPARE(journal, QStringList{to});
}

void FrameTest::tabRunsThroughTheKeyboardOrder_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("held");
    QTest::addColumn<QStringList>("focus");

    QStringList forwards = tabOrder.mid(1);
    forwards << tabOrder.first() << tabOrder.at(1);
    QStringList backwards;
    for (auto name = tabOrder.rbegin(); name != tabOrder.rend(); ++name)
        backwards << *name;
    backwards << tabOrder.last();
    QTest::newRow("Tab") << int(Qt::Key_Tab) << Qt::KeyboardModifiers() << forwards;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                               << backwards;
}

void FrameTest::tabRunsThroughTheKeyboardOrder()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, held);
    QFETCH(QStringList, focus);
    Frame frame(tabs);
    frame.loadWindow(MainWindow, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(MainWindow)));
    // The window opens with the focus on the last tab stop of its definition.
    QTRY_COMPARE(focusedName(), tabOrder.first());

    QStringList visited;
    for (int i = 0; i < focus.size(); ++i) {
        QTest::keyClick(keyTarget(), Qt::Key(key), held);
        visited << focusedName();
    }
    QCOMPARE(visited, focus);
}

void FrameTest::focusComesBackAfterADialogCloses()
{
    Frame frame(navigation);
    frame.loadWindow(MainWindow, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(MainWindow)));
    QTRY_COMPARE(focusedName(), QStringLiteral("编辑框1"));
    QTest::keyClick(keyTarget(), Qt::Key_Tab);
    QCOMPARE(focusedName(), QStringLiteral("按钮1"));

    QString focusInSecond;
    when(isActive(frame, ChecklistWindow), [&] {
        QTRY_COMPARE(focusedName(), QStringLiteral("编辑框1"));
        focusInSecond = QApplication::focusWidget()->window()->windowTitle();
        QTest::keyClick(keyTarget(), Qt::Key_Escape);
    });
    QTest::keyClick(keyTarget(), Qt::Key_Space);

    QCOMPARE(focusInSecond, QStringLiteral("第二"));
    QCOMPARE(journal, QStringList({"open second", "second returned"}));
    QTRY_VERIFY(frame.window(MainWindow)->isActiveWindow());
    QTRY_COMPARE(focusedName(), QStringLiteral("按钮1"));
    QCOMPARE(QApplication::focusWidget()->window(), frame.window(MainWindow));
}

void FrameTest::enterPressesNoButton()
{
    Frame frame(tabs);
    frame.loadWindow(MainWindow, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(MainWindow)));
    widget(frame, MainWindow, "按钮1")->setFocus();
    QTRY_COMPARE(focusedName(), QStringLiteral("按钮1"));
    QTest::keyClick(keyTarget(), Qt::Key_Return);
    QTest::keyClick(keyTarget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(journal, QStringList());
    QTest::keyClick(keyTarget(), Qt::Key_Space);
    QCOMPARE(journal, QStringList({"按钮1"}));
}

void FrameTest::enterInAMultiLineBox_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<QString>("after");
    QTest::newRow("editable: a new line") << QByteArray("编辑框2") << "多行\r\n";
    QTest::newRow("read-only: nothing") << QByteArray("编辑框3") << "只读";
    QTest::newRow("single-line: nothing") << QByteArray("编辑框1") << "一行";
}

void FrameTest::enterInAMultiLineBox()
{
    QFETCH(QByteArray, control);
    QFETCH(QString, after);
    Frame frame(keys);
    frame.loadWindow(MainWindow, false);
    QVERIFY(QTest::qWaitForWindowActive(frame.window(MainWindow)));
    widget(frame, MainWindow, control)->setFocus();
    QTRY_COMPARE(focusedName(), QString::fromUtf8(control));
    QTest::keyClick(keyTarget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(keyTarget(), Qt::Key_Return);

    QCOMPARE(readProperty(MainWindow, control, prop::text).text.toQString(), after);
    QVERIFY(frame.window(MainWindow)->isVisible());
}

void FrameTest::labelDrawsItsCaptionOnOneLine_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("firstPart");
    QTest::newRow("a caption with a line break") << "第一行\r\n第二行"
                                                 << "第一行";
    QTest::newRow("a caption longer than the label")
        << "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十"
        << "一二三四五六七八九十一二三四五";
}

void FrameTest::labelDrawsItsCaptionOnOneLine()
{
    QFETCH(QString, caption);
    QFETCH(QString, firstPart);
    Frame frame(labels);
    frame.loadWindow(MainWindow, false);
    QVERIFY(QTest::qWaitForWindowExposed(frame.window(MainWindow)));
    writeProperty(MainWindow, "标签1", prop::caption, Text::fromQString(caption));
    QCOMPARE(readProperty(MainWindow, "标签1", prop::caption).text, Text::fromQString(caption));

    QWidget* label = widget(frame, MainWindow, "标签1");
    const QImage image = label->grab().toImage();
    const QRect ink = inkBounds(image);
    const int lineHeight = label->fontMetrics().height();
    QVERIFY2(ink.height() <= lineHeight, qPrintable(QString::number(ink.height())));
    // Vertically centred.
    QVERIFY(std::abs(ink.center().y() - image.height() / 2) <= lineHeight / 2);
    // Drawn on beyond the first line's width, rather than broken after it.
    QVERIFY(ink.right() > label->fontMetrics().horizontalAdvance(firstPart));
}

void FrameTest::windowSizeAndPlace_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QSize>("outer");
    QTest::newRow("476 × 229") << int(MainWindow) << QSize(476, 229);
    QTest::newRow("951 × 605") << int(ChecklistWindow) << QSize(951, 605);
    QTest::newRow("242 × 246") << int(DeductionWindow) << QSize(242, 246);
}

void FrameTest::windowSizeAndPlace()
{
    QFETCH(int, window);
    QFETCH(QSize, outer);
    Frame frame(sizes);
    frame.loadWindow(WindowId(window), false);
    FrameWindow* shown = frame.window(WindowId(window));
    QVERIFY(QTest::qWaitForWindowExposed(shown));

    QCOMPARE(shown->size(), outer - QSize(6, 29));
    QCOMPARE(shown->windowTitle(), QStringLiteral("大小"));
    // Centred by the frame the window manager drew round it.
    QTRY_VERIFY(shown->frameGeometry().size() != shown->size());
    QTRY_VERIFY2(isCentred(shown->frameGeometry()),
                 qPrintable(QStringLiteral("frame at %1, %2 size %3 × %4")
                                .arg(shown->frameGeometry().x())
                                .arg(shown->frameGeometry().y())
                                .arg(shown->frameGeometry().width())
                                .arg(shown->frameGeometry().height())));
}

void FrameTest::titleBarButtons_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<bool>("minimise");
    QTest::newRow("with a minimise button") << int(MainWindow) << true;
    QTest::newRow("without") << int(ChecklistWindow) << false;
}

void FrameTest::titleBarButtons()
{
    QFETCH(int, window);
    QFETCH(bool, minimise);
    Frame frame(sizes);
    frame.loadWindow(WindowId(window), false);
    FrameWindow* shown = frame.window(WindowId(window));
    QVERIFY(QTest::qWaitForWindowExposed(shown));

    QTRY_VERIFY(windowProperty(*shown, "_NET_WM_ALLOWED_ACTIONS").contains("_NET_WM_ACTION_CLOSE"));
    const QString actions = windowProperty(*shown, "_NET_WM_ALLOWED_ACTIONS");
    QVERIFY2(!actions.contains("MAXIMIZE"), qPrintable(actions));
    QVERIFY2(!actions.contains("RESIZE"), qPrintable(actions));
    // The buttons the window asks its frame for: Motif decorations, minimise 0x20, maximise 0x40.
    const QStringList motif =
        windowProperty(*shown, "_MOTIF_WM_HINTS").section('=', 1).split(',', Qt::SkipEmptyParts);
    QCOMPARE(motif.size(), 5);
    const uint decorations = motif.at(2).trimmed().toUInt(nullptr, 16);
    QCOMPARE(bool(decorations & 0x20), minimise);
    QCOMPARE(bool(decorations & 0x40), false);
    QCOMPARE(shown->minimumSize(), shown->maximumSize());
}

void FrameTest::groupBoxHoldsAndClipsItsControls()
{
    Frame frame(places);
    frame.loadWindow(MainWindow, false);
    FrameWindow* window = frame.window(MainWindow);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QWidget* inBox = widget(frame, MainWindow, "按钮3");

    QCOMPARE(inBox->mapTo(window, QPoint(0, 0)), QPoint(60, 60));
    const QPoint inside(140, 70); // within both the button and its box
    const QPoint beyond(170, 70); // within the button's rectangle, beyond the box
    QCOMPARE(window->childAt(inside), inBox);
    QVERIFY(window->childAt(beyond) != inBox);

    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, beyond);
    QCOMPARE(journal, QStringList());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, inside);
    QCOMPARE(journal, QStringList({"按钮3"}));
}

void FrameTest::firstControlLiesOnTop()
{
    Frame frame(places);
    frame.loadWindow(MainWindow, false);
    FrameWindow* window = frame.window(MainWindow);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QPoint overlap(80, 170);

    QCOMPARE(window->childAt(overlap), widget(frame, MainWindow, "按钮1"));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, overlap);
    QCOMPARE(journal, QStringList({"按钮1"}));
}

INSPECTION_TEST_MAIN(FrameTest)
#include "test_frame.moc"
