#include "road_driver.h"
#include "support.h"

#include "frame/looks.h"
#include "windows/windows.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

using namespace road;

namespace {
const QString less = QStringLiteral("＜");

QString joined(const QList<qint64>& values)
{
    QStringList texts;
    for (qint64 v : values)
        texts << QString::number(v);
    return texts.join(less);
}

QList<qint64> zeros(int n)
{
    return QList<qint64>(n, 0);
}

QWidget* sorter()
{
    return road::window(SortWindow);
}

QString box(int k)
{
    return QStringLiteral("编辑框%1").arg(k);
}
} // namespace

class SortTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void window();
    void layout_data();
    void layout();
    void firstFocusAndKeyboardOrder();
    void pointers();
    void sorting_data();
    void sorting();
    void fullWidthDigits();
    void secondPressShowsTheTextOnce();
    void outputTakesNoTyping();
    void reopenedWindowIsEmpty();

private:
    // Opens the window with "进入分数排序", runs `act` in it and closes it with Esc.
    bool runSort(Steps& steps, const std::function<void()>& act);

    std::unique_ptr<Frame> m_frame;
};

void SortTest::initTestCase()
{
    applyProgramLooks();
}

void SortTest::init()
{
    QVERIFY(startProgram(m_frame));
}

void SortTest::cleanup()
{
    endProgram(m_frame);
}

bool SortTest::runSort(Steps& steps, const std::function<void()>& act)
{
    steps.then(
        "the sorting window has the keyboard",
        [] { return sorter() && sorter()->isActiveWindow(); },
        [=] {
            act();
            pressKey(sorter(), Qt::Key_Escape);
        });
    steps.whenGone(SortWindow);
    return steps.drive([] { click(control(MainWindow, "按钮4")); });
}

void SortTest::window()
{
    Steps steps;
    QVERIFY2(runSort(steps,
                     [&] {
                         QWidget* w = sorter();
                         steps.check(w->windowTitle() == QStringLiteral("数字排序 "), "caption");
                         steps.check(!(w->windowFlags() & Qt::WindowMinimizeButtonHint),
                                     "no minimise button");
                         steps.check(!(w->windowFlags() & Qt::WindowMaximizeButtonHint),
                                     "no maximise button");
                         steps.check(w->minimumSize() == w->maximumSize(), "fixed size");
                         steps.check(!road::window(MainWindow)->isEnabled(),
                                     "the main window waits disabled");
                         int named = 0;
                         for (QWidget* child :
                              w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                             named += !child->objectName().isEmpty();
                         steps.check(named == 21, QStringLiteral("%1 controls").arg(named));
                     }),
             qPrintable(steps.failure()));
    QVERIFY(road::window(MainWindow)->isEnabled());
}

void SortTest::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("编辑框20") << "编辑框20" << QRect(8, 96, 216, 112);
    QTest::newRow("按钮1") << "按钮1" << QRect(40, 66, 192, 24);
    QTest::newRow("编辑框19") << "编辑框19" << QRect(0, 72, 32, 16);
    // Three rows of six, left to right: 编辑框1 to 6, 7 to 12, 13 to 18.
    for (int k = 1; k <= 18; ++k)
        QTest::newRow(qPrintable(box(k)))
            << box(k) << QRect(40 * ((k - 1) % 6), 24 * ((k - 1) / 6), 32, 16);
}

void SortTest::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QVERIFY(m_frame->loadWindow(SortWindow, false));
    QWidget* widget = control(SortWindow, name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->parentWidget(), sorter());
    const QRect at = widget->geometry();
    QCOMPARE(at.topLeft(), rect.topLeft());
    QCOMPARE(at.width(), rect.width());
    if (qobject_cast<QLineEdit*>(widget))
        QCOMPARE(at.height(), std::max(rect.height(), widget->fontMetrics().height() + 4));
    else
        QCOMPARE(at.height(), rect.height());
    QCOMPARE(textOf(widget), name == QStringLiteral("按钮1") ? QStringLiteral("排序") : QString());
    QVERIFY(!widget->isHidden());
    QVERIFY(widget->isEnabled());
    QCOMPARE(widget->font().pixelSize(), QApplication::font().pixelSize());
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        QVERIFY(!line->isReadOnly());
    if (auto* output = qobject_cast<QPlainTextEdit*>(widget)) {
        QVERIFY(output->isReadOnly());
        QCOMPARE(output->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(output->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }
}

void SortTest::firstFocusAndKeyboardOrder()
{
    QStringList order;
    for (int k = 1; k <= 19; ++k)
        order << box(k);
    order << "按钮1"
          << "编辑框20";
    QStringList back = order;
    std::reverse(back.begin(), back.end());
    QString first;
    QStringList forth, backwards;
    Steps steps;
    QVERIFY2(runSort(steps,
                     [&] {
                         first = QApplication::focusWidget()->objectName();
                         forth = focusWalk(sorter(), int(order.size()));
                         backwards = focusWalk(sorter(), int(order.size()), true);
                     }),
             qPrintable(steps.failure()));
    QCOMPARE(first, order.first());
    QCOMPARE(forth, order.mid(1) + order.mid(0, 1));
    QCOMPARE(backwards, back);
}

void SortTest::pointers()
{
    QVERIFY(m_frame->loadWindow(SortWindow, false));
    QCOMPARE(pointerAt(sorter(), QPoint(120, 216)).shape(), Qt::ArrowCursor);
    for (QWidget* widget : sorter()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect area = widget->geometry();
        for (QPoint at : {area.center(), area.topLeft() + QPoint(3, 3)})
            QVERIFY2(pointerAt(sorter(), at).shape() == Qt::ArrowCursor,
                     qPrintable(QStringLiteral("%1 shows pointer shape %2")
                                    .arg(widget->objectName())
                                    .arg(pointerAt(sorter(), at).shape())));
    }
}

void SortTest::sorting_data()
{
    QTest::addColumn<QStringList>("typed"); // into 编辑框1, 编辑框2, ...
    QTest::addColumn<QString>("shown");
    QTest::newRow("all empty") << QStringList{} << joined(zeros(19));
    QTest::newRow("5,-2,10,0,3") << QStringList{"5", "-2", "10", "0", "3"}
                                 << joined(QList<qint64>{-2} + zeros(15) + QList<qint64>{3, 5, 10});
    QStringList down;
    QList<qint64> up;
    for (int v = 19; v >= 1; --v)
        down << QString::number(v);
    for (int v = 1; v <= 19; ++v)
        up << v;
    QTest::newRow("19 to 1") << down << joined(up);
    QTest::newRow("two sevens") << QStringList{"7", "", "", "", "", "", "", "", "", "7"}
                                << joined(zeros(17) + QList<qint64>{7, 7});
    QTest::newRow("2147483648 wraps")
        << QStringList{"9", "2147483648"}
        << joined(QList<qint64>{-2147483648LL} + zeros(17) + QList<qint64>{9});
    QTest::newRow("32-bit ends") << QStringList{"2147483647", "-2147483648", "4294967297"}
                                 << joined(QList<qint64>{-2147483648LL} + zeros(16) +
                                           QList<qint64>{1, 2147483647});
    QTest::newRow("no number is 0") << QStringList{"abc", "3.9", "-", " 8", "+4", "12x"}
                                    << joined(zeros(15) + QList<qint64>{3, 4, 8, 12});
    QStringList last(19, QString());
    last[18] = "-1";
    QTest::newRow("box 19 counts") << last << joined(QList<qint64>{-1} + zeros(18));
}

void SortTest::sorting()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, shown);
    QString output, caretAfter;
    QStringList inputs;
    Steps steps;
    QVERIFY2(runSort(steps,
                     [&] {
                         for (int k = 1; k <= typed.size(); ++k) {
                             if (!typed[k - 1].isEmpty())
                                 typeInto(control(SortWindow, box(k)), typed[k - 1]);
                         }
                         click(control(SortWindow, "按钮1"));
                         auto* out = control<QPlainTextEdit>(SortWindow, "编辑框20");
                         output = out->toPlainText();
                         caretAfter = output.mid(out->textCursor().position());
                         for (int k = 1; k <= 19; ++k)
                             inputs << textOf(control(SortWindow, box(k)));
                     }),
             qPrintable(steps.failure()));
    QCOMPARE(output, shown);
    QCOMPARE(caretAfter, QString());
    // The boxes keep what was typed.
    QStringList expected = typed;
    while (expected.size() < 19)
        expected << QString();
    QCOMPARE(inputs, expected);
}

void SortTest::fullWidthDigits()
{
    QString output;
    Steps steps;
    QVERIFY2(runSort(steps,
                     [&] {
                         click(control(SortWindow, box(3)));
                         commitText(sorter(), QStringLiteral("１２"));
                         click(control(SortWindow, box(4)));
                         commitText(sorter(), QStringLiteral("－３"));
                         click(control(SortWindow, "按钮1"));
                         output = textOf(control(SortWindow, "编辑框20"));
                     }),
             qPrintable(steps.failure()));
    QCOMPARE(output, joined(QList<qint64>{-3} + zeros(17) + QList<qint64>{12}));
}

void SortTest::secondPressShowsTheTextOnce()
{
    QString once, twice, changed;
    Steps steps;
    QVERIFY2(runSort(steps,
                     [&] {
                         typeInto(control(SortWindow, box(1)), "4");
                         click(control(SortWindow, "按钮1"));
                         once = textOf(control(SortWindow, "编辑框20"));
                         click(control(SortWindow, "按钮1"));
                         twice = textOf(control(SortWindow, "编辑框20"));
                         typeInto(control(SortWindow, box(19)), "-6");
                         click(control(SortWindow, "按钮1"));
                         changed = textOf(control(SortWindow, "编辑框20"));
                     }),
             qPrintable(steps.failure()));
    QCOMPARE(once, joined(zeros(18) + QList<qint64>{4}));
    QCOMPARE(twice, once);
    QCOMPARE(changed, joined(QList<qint64>{-6} + zeros(17) + QList<qint64>{4}));
}

void SortTest::outputTakesNoTyping()
{
    QString before, after;
    Steps steps;
    QVERIFY2(runSort(steps,
                     [&] {
                         auto* out = control(SortWindow, "编辑框20");
                         typeInto(out, "12");
                         commitText(sorter(), QStringLiteral("三"));
                         pressKey(sorter(), Qt::Key_Return);
                         before = textOf(out);
                         click(control(SortWindow, "按钮1"));
                         click(out);
                         pressKey(sorter(), Qt::Key_Backspace);
                         pressKey(sorter(), Qt::Key_Home);
                         pressKey(sorter(), Qt::Key_Delete);
                         typeKeys(sorter(), "9");
                         after = textOf(out);
                     }),
             qPrintable(steps.failure()));
    QCOMPARE(before, QString());
    QCOMPARE(after, joined(zeros(19)));
}

void SortTest::reopenedWindowIsEmpty()
{
    Steps first;
    QVERIFY2(runSort(first,
                     [] {
                         typeInto(control(SortWindow, box(1)), "5");
                         click(control(SortWindow, "按钮1"));
                     }),
             qPrintable(first.failure()));
    QStringList texts;
    Steps again;
    QVERIFY2(runSort(again,
                     [&] {
                         for (int k = 1; k <= 20; ++k) {
                             if (!textOf(control(SortWindow, box(k))).isEmpty())
                                 texts << box(k);
                         }
                     }),
             qPrintable(again.failure()));
    QCOMPARE(texts, QStringList());
    QCOMPARE(m_frame->classScore, 0.0);
}

INSPECTION_TEST_MAIN(SortTest)
#include "test_sort.moc"
