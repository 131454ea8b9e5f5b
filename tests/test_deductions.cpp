#include "road_driver.h"
#include "support.h"

#include "frame/controls.h"
#include "frame/looks.h"
#include "windows/windows.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

using namespace road;

namespace {
const QString yes = QStringLiteral("是");
const QString no = QStringLiteral("否");
const QString notice =
    QStringLiteral("扣除分数和加分分数请一次填写\r\n，否则按钮禁止\r\n，重新启动软件填写！");

struct Row {
    const char* name;
    const char* container; // nullptr: the window
    QRect rect;
    QString text;
    bool visible = true;
};

// The deductions window at its opening.
const QList<Row> controls = {
    {"标签1", nullptr, {8, 0, 120, 24}, "乱扔、乱倒杂物、垃圾"},
    {"分组框8", nullptr, {136, 0, 168, 32}, ""},
    {"单选框1", nullptr, {152, 8, 32, 16}, yes},
    {"单选框15", nullptr, {208, 8, 32, 16}, no},
    {"单选框14", nullptr, {40, 8, 0, 24}, no},
    {"标签2", nullptr, {8, 32, 120, 16}, "乱涂乱踢，随处拍粉笔灰"},
    {"分组框1", nullptr, {272, 30, 128, 32}, ""},
    {"单选框3", "分组框1", {8, 8, 32, 16}, yes},
    {"单选框2", "分组框1", {48, 8, 32, 16}, no},
    {"分组框7", "分组框1", {504, 352, 128, 32}, ""},
    {"标签3", nullptr, {8, 58, 120, 16}, "不按时打扫卫生"},
    {"分组框2", nullptr, {96, 56, 128, 32}, ""},
    {"单选框5", "分组框2", {8, 8, 32, 16}, yes},
    {"单选框4", "分组框2", {48, 8, 32, 16}, no},
    {"标签4", nullptr, {0, 88, 312, 16}, "卫生检查员不按时上交卫生检查结果表，影响卫生成绩公布"},
    {"分组框3", nullptr, {320, 80, 128, 32}, ""},
    {"单选框7", "分组框3", {8, 8, 32, 16}, yes},
    {"单选框6", "分组框3", {48, 8, 32, 16}, no},
    {"标签5", nullptr, {8, 128, 264, 16}, "卫生委员不履行请假手续，无故不参加卫生工作会议"},
    {"分组框4", nullptr, {288, 120, 128, 32}, ""},
    {"单选框9", "分组框4", {8, 8, 32, 16}, yes},
    {"单选框8", "分组框4", {40, 8, 32, 16}, no},
    {"标签6", nullptr, {8, 160, 168, 16}, "其它破坏环境卫生的不文明行为"},
    {"分组框5", nullptr, {184, 152, 128, 32}, ""},
    {"单选框11", "分组框5", {8, 8, 32, 16}, yes},
    {"单选框10", "分组框5", {48, 8, 32, 16}, no},
    {"标签9", nullptr, {16, 248, 128, 16}, "有另派任务，酌情加分"},
    {"分组框6", nullptr, {144, 240, 80, 40}, ""},
    {"单选框13", "分组框6", {8, 8, 32, 24}, yes},
    {"单选框12", "分组框6", {40, 8, 32, 24}, no},
    {"标签7", nullptr, {16, 184, 64, 24}, "扣除分数：", false},
    {"编辑框1", nullptr, {88, 184, 152, 24}, "", false},
    {"标签8", nullptr, {16, 224, 56, 16}, "加分：", false},
    {"编辑框2", nullptr, {88, 216, 152, 24}, "", false},
    {"标签11", nullptr, {208, 32, 56, 16}, "←←←←"},
    {"按钮1", nullptr, {16, 272, 104, 48}, "提交"},
    {"按钮3", nullptr, {144, 280, 72, 24}, "显示"},
    {"按钮2", nullptr, {232, 280, 80, 48}, "无"},
    {"按钮4", nullptr, {352, 168, 128, 128}, "卡时便捷重启"},
    {"标签12", nullptr, {320, 304, 160, 16}, "务必点击提交"},
    {"标签10", nullptr, {0, 328, 368, 16}, notice},
    {"时钟1", nullptr, {496, 280, 26, 26}, "", false},
};

const Row* rowOf(const QString& name)
{
    for (const Row& row : controls) {
        if (name == QString::fromUtf8(row.name))
            return &row;
    }
    return nullptr;
}

QWidget* deductions()
{
    return road::window(DeductionWindow);
}

QWidget* part(const char* name)
{
    return control(DeductionWindow, QString::fromUtf8(name));
}

// Clicks the radio buttons named, then "显示".
void answer(const QStringList& radios, bool show)
{
    for (const QString& name : radios)
        click(control(DeductionWindow, name));
    if (show)
        click(part("按钮3"));
}

bool shown(const char* name)
{
    return part(name)->isVisible();
}
} // namespace

class DeductionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void window();
    void layout_data();
    void layout();
    void noOtherControls();
    void hiddenControlsAreNeverSeen();
    void noticeStaysOnOneLine();
    void firstFocusAndKeyboardOrder();
    void keyboardOrderWithBothBoxes();
    void arrowKeys_data();
    void arrowKeys();
    void pointers();
    void answersAreUncovered();
    void misconduct_data();
    void misconduct();
    void showExtraInputs_data();
    void showExtraInputs();
    void shownBoxStaysAndCounts();
    void deductionBox_data();
    void deductionBox();
    void deductionBoxFromInputMethod_data();
    void deductionBoxFromInputMethod();
    void bonusBox_data();
    void bonusBox();
    void submitOnlyOnce();
    void noneAcknowledgesAndCloses_data();
    void noneAcknowledgesAndCloses();
    void reopenedWindowStartsAfresh();
    void quickRestartStaysQuiet();

private:
    // Opens the deductions window with "分数扣除", runs `act` in it and closes it with Esc.
    bool runDeductions(Steps& steps, const std::function<void()>& act);

    std::unique_ptr<Frame> m_frame;
};

void DeductionsTest::initTestCase()
{
    applyProgramLooks();
}

void DeductionsTest::init()
{
    QVERIFY(startProgram(m_frame));
}

void DeductionsTest::cleanup()
{
    endProgram(m_frame);
}

bool DeductionsTest::runDeductions(Steps& steps, const std::function<void()>& act)
{
    steps.then(
        "the deductions window has the keyboard",
        [] { return deductions() && deductions()->isActiveWindow(); },
        [=] {
            act();
            if (deductions())
                pressKey(deductions(), Qt::Key_Escape);
        });
    steps.whenGone(DeductionWindow);
    return steps.drive([] { click(control(MainWindow, "按钮6")); });
}

void DeductionsTest::window()
{
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               QWidget* w = deductions();
                               steps.check(w->windowTitle() == QStringLiteral("卫生检查统计系统"),
                                           "caption");
                               steps.check(!(w->windowFlags() & Qt::WindowMinimizeButtonHint),
                                           "no minimise button");
                               steps.check(!(w->windowFlags() & Qt::WindowMaximizeButtonHint),
                                           "no maximise button");
                               steps.check(w->minimumSize() == w->maximumSize(), "fixed size");
                               steps.check(!road::window(MainWindow)->isEnabled(),
                                           "the main window waits disabled");
                           }),
             qPrintable(steps.failure()));
    QVERIFY(road::window(MainWindow)->isEnabled());
}

void DeductionsTest::layout_data()
{
    QTest::addColumn<QString>("name");
    for (const Row& row : controls)
        QTest::newRow(row.name) << QString::fromUtf8(row.name);
}

void DeductionsTest::layout()
{
    QFETCH(QString, name);
    const Row& row = *rowOf(name);
    QVERIFY(m_frame->loadWindow(DeductionWindow, false));
    QWidget* widget = control(DeductionWindow, name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->parentWidget()->objectName(),
             row.container ? QString::fromUtf8(row.container) : QString());
    const QRect at = widget->geometry();
    QCOMPARE(at.topLeft(), row.rect.topLeft());
    QCOMPARE(at.width(), row.rect.width());
    if (qobject_cast<QLineEdit*>(widget))
        QCOMPARE(at.height(), std::max(row.rect.height(), widget->fontMetrics().height() + 4));
    else
        QCOMPARE(at.height(), row.rect.height());
    QCOMPARE(textOf(widget), row.text);
    QCOMPARE(!widget->isHidden(), row.visible);
    QVERIFY(widget->isEnabled());
    if (auto* r = qobject_cast<QRadioButton*>(widget))
        QVERIFY(!r->isChecked());
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        QCOMPARE(box->title(), QString());
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        QVERIFY(!edit->isReadOnly());
    QCOMPARE(widget->font().pixelSize(), QApplication::font().pixelSize());
    QCOMPARE(widget->palette().color(QPalette::WindowText), QColor(Qt::black));
    if (auto* timer = dynamic_cast<TimerControl*>(widget))
        QCOMPARE(timer->period(), 0);
}

void DeductionsTest::noOtherControls()
{
    QVERIFY(m_frame->loadWindow(DeductionWindow, false));
    QStringList expected;
    for (const Row& row : controls)
        expected << QString::fromUtf8(row.name);
    QStringList found;
    for (QWidget* child : deductions()->findChildren<QWidget*>()) {
        if (!child->objectName().isEmpty())
            found << child->objectName();
    }
    expected.sort();
    found.sort();
    QCOMPARE(found, expected);
}

void DeductionsTest::hiddenControlsAreNeverSeen()
{
    QVERIFY(m_frame->loadWindow(DeductionWindow, false));
    QVERIFY(QTest::qWaitForWindowExposed(deductions()));
    answer({"单选框11", "单选框13"}, true);
    for (const char* name : {"单选框14", "分组框7"}) {
        QVERIFY2(part(name)->visibleRegion().isEmpty(), name);
    }
    // The clock of this window never runs: the notice keeps its text.
    QTest::qWait(300);
    QCOMPARE(textOf(part("标签10")), notice);
}

void DeductionsTest::noticeStaysOnOneLine()
{
    QVERIFY(m_frame->loadWindow(DeductionWindow, false));
    QVERIFY(QTest::qWaitForWindowExposed(deductions()));
    QWidget* label = part("标签10");
    const QImage shot = label->grab().toImage();
    const QColor face = label->palette().color(QPalette::Window);
    // Ink runs on past the first fragment's width, all in one band of rows.
    const int firstFragment =
        label->fontMetrics().horizontalAdvance(QStringLiteral("扣除分数和加分分数请一次填写"));
    int lastInkColumn = -1, top = shot.height(), bottom = -1;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (shot.pixelColor(x, y) != face) {
                lastInkColumn = std::max(lastInkColumn, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    QVERIFY2(lastInkColumn > firstFragment + 40,
             qPrintable(QStringLiteral("ink ends at %1").arg(lastInkColumn)));
    QVERIFY(bottom - top < label->fontMetrics().height() + 2);
    QCOMPARE(textOf(label), notice);
}

void DeductionsTest::firstFocusAndKeyboardOrder()
{
    QStringList order = {"按钮1", "按钮2", "按钮3"};
    for (int n = 2; n <= 13; ++n)
        order << QStringLiteral("单选框%1").arg(n);
    order << "单选框1"
          << "单选框14"
          << "单选框15"
          << "按钮4";
    QStringList back = order;
    std::reverse(back.begin(), back.end());
    QString first;
    QStringList forth, backwards;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               first = QApplication::focusWidget()->objectName();
                               forth = focusWalk(deductions(), int(order.size()));
                               backwards = focusWalk(deductions(), int(order.size()), true);
                           }),
             qPrintable(steps.failure()));
    QCOMPARE(first, order.first());
    QCOMPARE(forth, order.mid(1) + order.mid(0, 1));
    QCOMPARE(backwards, back);
}

void DeductionsTest::keyboardOrderWithBothBoxes()
{
    QStringList order = {"编辑框1", "按钮1", "按钮2", "编辑框2", "按钮3"};
    for (int n = 2; n <= 13; ++n)
        order << QStringLiteral("单选框%1").arg(n);
    order << "单选框1"
          << "单选框14"
          << "单选框15"
          << "按钮4";
    QStringList walk;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               answer({"单选框11", "单选框13"}, true);
                               click(part("编辑框1"));
                               walk = focusWalk(deductions(), int(order.size()));
                           }),
             qPrintable(steps.failure()));
    QCOMPARE(walk, order.mid(1) + order.mid(0, 1));
}

void DeductionsTest::arrowKeys_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("lands");
    QTest::newRow("window set") << "单选框1" << int(Qt::Key_Right)
                                << QStringList{"单选框14", "单选框15", "单选框1"};
    QTest::newRow("window set back")
        << "单选框15" << int(Qt::Key_Up) << QStringList{"单选框14", "单选框1", "单选框15"};
    QTest::newRow("分组框1") << "单选框2" << int(Qt::Key_Down) << QStringList{"单选框3", "单选框2"};
    QTest::newRow("分组框6") << "单选框13" << int(Qt::Key_Left)
                             << QStringList{"单选框12", "单选框13"};
}

void DeductionsTest::arrowKeys()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QStringList, lands);
    QStringList focus, checked;
    double before = 0;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               auto* first = control<QRadioButton>(DeductionWindow, start);
                               click(first);
                               const auto set = first->parentWidget()->findChildren<QRadioButton*>(
                                   Qt::FindDirectChildrenOnly);
                               for (int i = 0; i < lands.size(); ++i) {
                                   pressKey(deductions(), Qt::Key(key));
                                   focus << QApplication::focusWidget()->objectName();
                                   QStringList on;
                                   for (QRadioButton* r : set) {
                                       if (r->isChecked())
                                           on << r->objectName();
                                   }
                                   checked << on.join('+');
                               }
                               // 单选框14 checked by the keys unchecks 单选框1: nothing to deduct.
                               before = m_frame->classScore;
                               click(part("按钮1"));
                           }),
             qPrintable(steps.failure()));
    QCOMPARE(focus, lands);
    QCOMPARE(checked, lands);
    const bool endsOnYes =
        lands.last() == QStringLiteral("单选框1") || lands.last() == QStringLiteral("单选框3");
    QCOMPARE(m_frame->classScore, before - (endsOnYes ? 1.0 : 0.0));
}

void DeductionsTest::pointers()
{
    QVERIFY(m_frame->loadWindow(DeductionWindow, false));
    QVERIFY(QTest::qWaitForWindowExposed(deductions()));
    answer({"单选框11", "单选框13"}, true);
    QCOMPARE(deductions()->cursor().shape(), Qt::ArrowCursor);
    for (QWidget* widget : deductions()->findChildren<QWidget*>()) {
        if (widget->visibleRegion().isEmpty())
            continue;
        const QRect area(widget->mapTo(deductions(), QPoint(0, 0)), widget->size());
        for (QPoint at : {area.center(), area.topLeft() + QPoint(2, 2)}) {
            QVERIFY2(pointerAt(deductions(), at).shape() == Qt::ArrowCursor,
                     qPrintable(widget->objectName()));
        }
    }
}

void DeductionsTest::answersAreUncovered()
{
    QVERIFY(m_frame->loadWindow(DeductionWindow, false));
    for (QRadioButton* r : deductions()->findChildren<QRadioButton*>()) {
        if (r->objectName() == QStringLiteral("单选框14"))
            continue;
        const QRect area(r->mapTo(deductions(), QPoint(0, 0)), r->size());
        for (QPoint at : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight(),
                          area.center()})
            QVERIFY2(deductions()->childAt(at) == r,
                     qPrintable(QStringLiteral("%1 at %2,%3 lies under %4")
                                    .arg(r->objectName())
                                    .arg(at.x())
                                    .arg(at.y())
                                    .arg(deductions()->childAt(at)->objectName())));
    }
}

void DeductionsTest::misconduct_data()
{
    QTest::addColumn<QStringList>("radios");
    QTest::addColumn<double>("deducted");
    const QList<std::pair<const char*, double>> single = {
        {"单选框1", 1},  {"单选框3", 1},  {"单选框5", 1},  {"单选框7", 0.5}, {"单选框9", 2},
        {"单选框11", 0}, {"单选框13", 0}, {"单选框15", 0}, {"单选框2", 0},   {"单选框4", 0},
        {"单选框6", 0},  {"单选框8", 0},  {"单选框10", 0}, {"单选框12", 0}};
    for (const auto& [name, amount] : single)
        QTest::newRow(name) << QStringList{QString::fromUtf8(name)} << amount;
    QTest::newRow("nothing") << QStringList{} << 0.0;
    QTest::newRow("items 1 to 5 是")
        << QStringList{"单选框1", "单选框3", "单选框5", "单选框7", "单选框9"} << 5.5;
    QTest::newRow("是 then 否") << QStringList{"单选框1", "单选框15", "单选框9", "单选框8"} << 0.0;
    QTest::newRow("all 是") << QStringList{"单选框1", "单选框3",  "单选框5", "单选框7",
                                           "单选框9", "单选框11", "单选框13"}
                            << 5.5;
}

void DeductionsTest::misconduct()
{
    QFETCH(QStringList, radios);
    QFETCH(double, deducted);
    m_frame->classScore = 20;
    bool disabled = false;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               answer(radios, false);
                               click(part("按钮1"));
                               disabled = !part("按钮1")->isEnabled();
                           }),
             qPrintable(steps.failure()));
    QCOMPARE(m_frame->classScore, 20 - deducted);
    QVERIFY(disabled);
}

void DeductionsTest::showExtraInputs_data()
{
    QTest::addColumn<QStringList>("radios");
    QTest::addColumn<bool>("deduction");
    QTest::addColumn<bool>("bonus");
    QTest::newRow("nothing checked") << QStringList{} << false << false;
    QTest::newRow("item 6 是") << QStringList{"单选框11"} << true << false;
    QTest::newRow("bonus 是") << QStringList{"单选框13"} << false << true;
    QTest::newRow("both 是") << QStringList{"单选框13", "单选框11"} << true << true;
    QTest::newRow("both 否") << QStringList{"单选框10", "单选框12"} << false << false;
    QTest::newRow("item 6 是 then 否") << QStringList{"单选框11", "单选框10"} << false << false;
    QTest::newRow("other items 是")
        << QStringList{"单选框1", "单选框3", "单选框5", "单选框7", "单选框9"} << false << false;
}

void DeductionsTest::showExtraInputs()
{
    QFETCH(QStringList, radios);
    QFETCH(bool, deduction);
    QFETCH(bool, bonus);
    QList<bool> seen;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               answer(radios, false);
                               seen << shown("标签7") << shown("编辑框1") << shown("标签8")
                                    << shown("编辑框2");
                               click(part("按钮3"));
                               seen << shown("标签7") << shown("编辑框1") << shown("标签8")
                                    << shown("编辑框2");
                           }),
             qPrintable(steps.failure()));
    QCOMPARE(seen, (QList<bool>{false, false, false, false, deduction, deduction, bonus, bonus}));
}

void DeductionsTest::shownBoxStaysAndCounts()
{
    m_frame->classScore = 10;
    QList<bool> seen;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               answer({"单选框11", "单选框13"}, true);
                               answer({"单选框10", "单选框12"}, true);
                               seen << shown("标签7") << shown("编辑框1") << shown("标签8")
                                    << shown("编辑框2");
                               typeInto(part("编辑框1"), "4");
                               typeInto(part("编辑框2"), "1");
                               click(part("按钮1"));
                           }),
             qPrintable(steps.failure()));
    QCOMPARE(seen, (QList<bool>{true, true, true, true}));
    QCOMPARE(m_frame->classScore, 10.0 - 4 + 1);
}

void DeductionsTest::deductionBox_data()
{
    QTest::addColumn<QString>("typed");  // key by key
    QTest::addColumn<QString>("pasted"); // then from the clipboard
    QTest::addColumn<QString>("whileTyping");
    QTest::addColumn<QString>("afterLeaving");
    QTest::addColumn<double>("deducted");
    QTest::newRow("letters dropped") << "a1b2"
                                     << ""
                                     << "12"
                                     << "12" << 12.0;
    QTest::newRow("zero becomes empty") << "0"
                                        << ""
                                        << "0"
                                        << "" << 0.0;
    QTest::newRow("minus seven") << "-7"
                                 << ""
                                 << "-7"
                                 << "-7" << -7.0;
    QTest::newRow("eleven nines") << "99999999999"
                                  << ""
                                  << "99999999999"
                                  << "2147483647" << 2147483647.0;
    QTest::newRow("eleven negative nines") << "-99999999999"
                                           << ""
                                           << "-99999999999"
                                           << "-2147483648" << -2147483648.0;
    QTest::newRow("leading zeros") << "007"
                                   << ""
                                   << "007"
                                   << "7" << 7.0;
    QTest::newRow("minus after digits") << "1-2"
                                        << ""
                                        << "1-2"
                                        << "1" << 1.0;
    QTest::newRow("two minus signs") << "--3"
                                     << ""
                                     << "--3"
                                     << "" << 0.0;
    QTest::newRow("point and blank dropped") << "3.9 x"
                                             << ""
                                             << "39"
                                             << "39" << 39.0;
    QTest::newRow("pasted letters kept") << ""
                                         << "a1b2"
                                         << "a1b2"
                                         << "" << 0.0;
    QTest::newRow("pasted number with letters") << ""
                                                << "12ab"
                                                << "12ab"
                                                << "12" << 12.0;
    QTest::newRow("pasted blank and sign") << ""
                                           << " -5x"
                                           << " -5x"
                                           << "-5" << -5.0;
    QTest::newRow("pasted after typed") << "4"
                                        << "2z"
                                        << "42z"
                                        << "42" << 42.0;
    QTest::newRow("nothing") << ""
                             << ""
                             << ""
                             << "" << 0.0;
}

void DeductionsTest::deductionBox()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, whileTyping);
    QFETCH(QString, afterLeaving);
    QFETCH(double, deducted);
    m_frame->classScore = 0.5;
    QString during, after, submitted;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               answer({"单选框11"}, true);
                               auto* box = control<QLineEdit>(DeductionWindow, "编辑框1");
                               typeInto(box, typed);
                               if (!pasted.isEmpty()) {
                                   QApplication::clipboard()->setText(pasted);
                                   pressKey(deductions(), Qt::Key_V, Qt::ControlModifier);
                               }
                               during = box->text();
                               pressKey(deductions(), Qt::Key_Tab);
                               after = box->text();
                               click(box);
                               pressKey(deductions(), Qt::Key_End);
                               // The press of 提交 takes the focus first.
                               click(part("按钮1"));
                               submitted = box->text();
                           }),
             qPrintable(steps.failure()));
    QCOMPARE(during, whileTyping);
    QCOMPARE(after, afterLeaving);
    QCOMPARE(submitted, afterLeaving);
    QCOMPARE(m_frame->classScore, 0.5 - deducted);
}

void DeductionsTest::deductionBoxFromInputMethod_data()
{
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("digits") << "-25"
                            << "-25";
    QTest::newRow("letters") << "ab"
                             << "";
    QTest::newRow("mixed") << "1a2"
                           << "12";
    QTest::newRow("full-width digits") << "１２"
                                       << "";
}

void DeductionsTest::deductionBoxFromInputMethod()
{
    // Characters an input method types are typed characters like any other.
    QFETCH(QString, committed);
    QFETCH(QString, kept);
    QString text;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               answer({"单选框11"}, true);
                               click(part("编辑框1"));
                               commitText(deductions(), committed);
                               text = textOf(part("编辑框1"));
                           }),
             qPrintable(steps.failure()));
    QCOMPARE(text, kept);
}

void DeductionsTest::bonusBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("committed"); // by an input method
    QTest::addColumn<double>("added");
    QTest::newRow("3.9") << "3.9"
                         << "" << 3.0;
    QTest::newRow("letters") << "abc"
                             << "" << 0.0;
    QTest::newRow("-2") << "-2"
                        << "" << -2.0;
    QTest::newRow("2^32 + 3") << "4294967299"
                              << "" << 3.0;
    QTest::newRow("2^31") << "2147483648"
                          << "" << -2147483648.0;
    QTest::newRow("full-width digits") << ""
                                       << "１２" << 12.0;
    QTest::newRow("empty") << ""
                           << "" << 0.0;
}

void DeductionsTest::bonusBox()
{
    QFETCH(QString, typed);
    QFETCH(QString, committed);
    QFETCH(double, added);
    m_frame->classScore = -1;
    QString kept;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               answer({"单选框13"}, true);
                               auto* box = control<QLineEdit>(DeductionWindow, "编辑框2");
                               typeInto(box, typed);
                               if (!committed.isEmpty())
                                   commitText(deductions(), committed);
                               click(part("按钮1"));
                               kept = box->text();
                           }),
             qPrintable(steps.failure()));
    // The bonus box takes any text and keeps it as typed.
    QCOMPARE(kept, typed + committed);
    QCOMPARE(m_frame->classScore, -1 + added);
}

void DeductionsTest::submitOnlyOnce()
{
    m_frame->classScore = 3;
    bool enabledAfter = true, othersUsable = false;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               click(part("按钮1"));
                               enabledAfter = part("按钮1")->isEnabled();
                               answer({"单选框1", "单选框11"}, true);
                               typeInto(part("编辑框1"), "2");
                               click(part("按钮1"));
                               othersUsable = part("按钮3")->isEnabled() &&
                                              part("按钮2")->isEnabled() &&
                                              part("按钮4")->isEnabled() && shown("编辑框1");
                           }),
             qPrintable(steps.failure()));
    QVERIFY(!enabledAfter);
    QVERIFY(othersUsable);
    QCOMPARE(m_frame->classScore, 3.0);
}

void DeductionsTest::noneAcknowledgesAndCloses_data()
{
    QTest::addColumn<bool>("submitFirst");
    QTest::newRow("after 提交") << true;
    QTest::newRow("without 提交") << false;
}

void DeductionsTest::noneAcknowledgesAndCloses()
{
    QFETCH(bool, submitFirst);
    m_frame->classScore = 7;
    Steps steps;
    steps.whenUp(DeductionWindow, [&] {
        answer({"单选框9"}, false);
        if (submitFirst)
            click(part("按钮1"));
        click(part("按钮2"));
    });
    steps.whenMessage(
        QStringLiteral("收到"),
        [&] {
            steps.check(deductions() && deductions()->isVisible(),
                        "the window waits for the message");
            // The window takes no input under the message.
            click(part("单选框3"));
            steps.check(!control<QRadioButton>(DeductionWindow, "单选框3")->isChecked(),
                        "a click reached the window under the message");
        },
        [&] {
            steps.check(deductions() && deductions()->isVisible(),
                        "the window goes only after the handler has ended");
        });
    steps.whenGone(DeductionWindow, [&] {
        steps.check(road::window(MainWindow)->isEnabled(), "the main window is back");
    });
    QVERIFY2(steps.drive([] { click(control(MainWindow, "按钮6")); }), qPrintable(steps.failure()));
    QCOMPARE(m_frame->classScore, submitFirst ? 5.0 : 7.0);
}

void DeductionsTest::reopenedWindowStartsAfresh()
{
    Steps first;
    QVERIFY2(runDeductions(first,
                           [] {
                               answer({"单选框1", "单选框11", "单选框13"}, true);
                               typeInto(part("编辑框1"), "3");
                               typeInto(part("编辑框2"), "5");
                               click(part("按钮1"));
                           }),
             qPrintable(first.failure()));
    QCOMPARE(m_frame->classScore, -1.0 - 3 + 5);
    QStringList state;
    Steps again;
    QVERIFY2(runDeductions(again,
                           [&] {
                               for (QRadioButton* r : deductions()->findChildren<QRadioButton*>()) {
                                   if (r->isChecked())
                                       state << r->objectName();
                               }
                               for (const char* name : {"标签7", "编辑框1", "标签8", "编辑框2"}) {
                                   if (!part(name)->isHidden())
                                       state << name;
                               }
                               for (const char* name : {"编辑框1", "编辑框2"}) {
                                   if (!textOf(part(name)).isEmpty())
                                       state << textOf(part(name));
                               }
                               if (!part("按钮1")->isEnabled())
                                   state << "提交 disabled";
                           }),
             qPrintable(again.failure()));
    QCOMPARE(state, QStringList());
}

void DeductionsTest::quickRestartStaysQuiet()
{
    // Tests have no system bus: the restart request is refused, and nothing shows it.
    m_frame->classScore = 2;
    qint64 took = -1;
    bool stillOpen = false, quiet = false;
    Steps steps;
    QVERIFY2(runDeductions(steps,
                           [&] {
                               const auto visibleWindows = [] {
                                   int count = 0;
                                   for (QWidget* top : QApplication::topLevelWidgets())
                                       count += top->isVisible();
                                   return count;
                               };
                               const int before = visibleWindows();
                               QElapsedTimer clock;
                               clock.start();
                               click(part("按钮4"));
                               took = clock.elapsed();
                               QTest::qWait(200);
                               quiet = !messageBox() && visibleWindows() == before;
                               stillOpen = deductions() && deductions()->isVisible();
                               click(part("按钮4"));
                           }),
             qPrintable(steps.failure()));
    QVERIFY(quiet);
    QVERIFY(stillOpen);
    QVERIFY2(took < 3000, qPrintable(QString::number(took)));
    QCOMPARE(m_frame->classScore, 2.0);
    QVERIFY(road::window(MainWindow));
}

INSPECTION_TEST_MAIN(DeductionsTest)
#include "test_deductions.moc"
