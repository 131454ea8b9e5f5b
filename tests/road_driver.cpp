#include "road_driver.h"

#include "windows/windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace road {

bool startProgram(std::unique_ptr<Frame>& frame)
{
    frame = std::make_unique<Frame>(programWindows);
    return frame->loadWindow(MainWindow, false) && QTest::qWaitForWindowActive(window(MainWindow));
}

void endProgram(std::unique_ptr<Frame>& frame)
{
    frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

namespace {
constexpr int pollMs = 20;

QString windowName(WindowId id)
{
    static const char* const names[] = {"MainWindow", "ChecklistWindow", "DeductionWindow",
                                        "SortWindow"};
    return QString::fromLatin1(names[id]);
}

QString describeState()
{
    QStringList open;
    for (int id = 0; id < WindowCount; ++id) {
        if (FrameWindow* w = window(WindowId(id)))
            open << windowName(WindowId(id)) + (w->isEnabled() ? "" : " (disabled)");
    }
    QString state = QStringLiteral("open: ") + (open.isEmpty() ? "none" : open.join(", "));
    if (QMessageBox* box = messageBox())
        state += QStringLiteral("; message box up: \"%1\"").arg(box->text());
    return state;
}

QWindow* handleOf(QWidget* widget)
{
    QWidget* top = widget->window();
    return top->windowHandle();
}
} // namespace

FrameWindow* window(WindowId id)
{
    return Frame::exists() ? Frame::instance().window(id) : nullptr;
}

QWidget* control(WindowId id, const QString& name)
{
    FrameWindow* w = window(id);
    return w ? w->findChild<QWidget*>(name) : nullptr;
}

void click(QWidget* widget)
{
    clickAt(widget, widget->rect().center());
}

void clickAt(QWidget* widget, QPoint at)
{
    QWindow* handle = handleOf(widget);
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier,
                      handle->mapFromGlobal(widget->mapToGlobal(at)));
}

void pressOn(QWidget* window, QPoint at)
{
    QTest::mouseClick(handleOf(window), Qt::LeftButton, Qt::NoModifier, at);
}

void pressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(handleOf(window), key, modifiers);
}

void typeKeys(QWidget* window, const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(handleOf(window), c.toLatin1());
}

void commitText(QWidget* window, const QString& text)
{
    // An input method writes only into a widget that asks for one.
    QWidget* target = window->window()->focusWidget();
    if (!target || !target->testAttribute(Qt::WA_InputMethodEnabled))
        return;
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QApplication::sendEvent(target, &query);
    if (!query.value(Qt::ImEnabled).toBool())
        return;
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

void typeInto(QWidget* edit, const QString& text)
{
    click(edit);
    typeKeys(edit->window(), text);
}

QString textOf(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* line = qobject_cast<const QLineEdit*>(widget))
        return line->text();
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(widget))
        return edit->toPlainText();
    return {};
}

QMessageBox* messageBox()
{
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

QCursor pointerAt(QWidget* window, QPoint at)
{
    QWidget* under = window->childAt(at);
    for (QWidget* w = under ? under : window; w; w = w->parentWidget()) {
        if (w->testAttribute(Qt::WA_SetCursor))
            return w->cursor();
    }
    return QCursor(Qt::ArrowCursor);
}

bool isCustomPointer(const QCursor& cursor)
{
    return cursor.shape() == Qt::BitmapCursor && cursor.hotSpot() == QPoint(9, 8) &&
           cursor.pixmap().size() == QSize(32, 32);
}

QStringList focusWalk(QWidget* window, int presses, bool backwards)
{
    QStringList names;
    for (int i = 0; i < presses; ++i) {
        pressKey(window, Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget* focus = QApplication::focusWidget();
        names << (focus ? focus->objectName() : QStringLiteral("(none)"));
    }
    return names;
}

Steps::Steps(int stepTimeoutMs) : m_stepTimeoutMs(stepTimeoutMs)
{
}

Steps& Steps::then(const QString& what, std::function<bool()> ready, std::function<void()> act)
{
    m_steps.push_back({what, std::move(ready), std::move(act)});
    return *this;
}

Steps& Steps::whenUp(WindowId id, std::function<void()> act)
{
    return then(
        windowName(id) + QStringLiteral(" is up"),
        [id] {
            FrameWindow* w = window(id);
            // Active too: the window manager activates a new window a little after it maps,
            // and only then does the window's focus widget take keys.
            return w && w->isVisible() && w->isEnabled() && w->isActiveWindow() && !messageBox();
        },
        std::move(act));
}

Steps& Steps::whenGone(WindowId id, std::function<void()> act)
{
    return then(
        windowName(id) + QStringLiteral(" has gone"), [id] { return window(id) == nullptr; },
        std::move(act));
}

Steps& Steps::whenMessage(const QString& text, std::function<void()> act,
                          std::function<void()> afterOk)
{
    return then(
        QStringLiteral("message \"%1\"").arg(text), [] { return messageBox() != nullptr; },
        [this, text, act, afterOk] {
            QMessageBox* box = messageBox();
            check(box->text() == text,
                  QStringLiteral("message reads \"%1\", expected \"%2\"").arg(box->text(), text));
            check(box->windowTitle() == QStringLiteral("信息："),
                  QStringLiteral("message title is \"%1\"").arg(box->windowTitle()));
            check(box->buttons().size() == 1 && box->button(QMessageBox::Ok),
                  QStringLiteral("message has %1 buttons, expected one OK button")
                      .arg(box->buttons().size()));
            check(box->icon() == QMessageBox::NoIcon, QStringLiteral("message shows an icon"));
            if (act)
                act();
            if (!m_failure.isEmpty() || !box->button(QMessageBox::Ok))
                return;
            click(box->button(QMessageBox::Ok));
            if (afterOk)
                afterOk();
        });
}

Steps& Steps::clockTicks(const QString& during)
{
    auto seen = std::make_shared<QString>();
    then(
        QStringLiteral("clock read during %1").arg(during), [] { return true; },
        [seen] {
            if (QWidget* label = control(MainWindow, QStringLiteral("标签4")))
                *seen = textOf(label);
        });
    return then(QStringLiteral("clock ticks during %1").arg(during), [seen] {
        QWidget* label = control(MainWindow, QStringLiteral("标签4"));
        return label && textOf(label) != *seen;
    });
}

bool Steps::check(bool ok, const QString& what)
{
    if (!ok && m_failure.isEmpty())
        m_failure = what + QStringLiteral(" [") + describeState() + QStringLiteral("]");
    return ok;
}

void Steps::poll()
{
    if (!m_running)
        return;
    // A fresh timer for every poll: a step's action may block in a nested loop, and the
    // next poll has to come from inside it.
    QTimer::singleShot(pollMs, this, &Steps::poll);
    if (!m_failure.isEmpty()) {
        windUp();
        return;
    }
    if (m_steps.empty())
        return;
    if (!m_steps.front().ready()) {
        if (m_waiting.elapsed() > m_stepTimeoutMs)
            check(false, QStringLiteral("timed out waiting for: ") + m_steps.front().what);
        return;
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    m_waiting.restart();
    if (step.act)
        step.act();
}

void Steps::windUp()
{
    m_steps.clear();
    if (QMessageBox* box = messageBox()) {
        box->done(0);
        return;
    }
    for (WindowId id : {SortWindow, DeductionWindow, ChecklistWindow}) {
        if (FrameWindow* w = window(id)) {
            w->close();
            return;
        }
    }
}

bool Steps::drive(const std::function<void()>& start, int timeoutMs)
{
    m_running = true;
    m_waiting.start();
    QTimer::singleShot(pollMs, this, &Steps::poll);
    QElapsedTimer total;
    total.start();
    start();
    const auto settled = [this] {
        const bool open = messageBox() || window(ChecklistWindow) || window(DeductionWindow) ||
                          window(SortWindow);
        return m_failure.isEmpty() ? m_steps.empty() : !open;
    };
    const int left = std::max(0, timeoutMs - int(total.elapsed()));
    if (!QTest::qWaitFor(settled, left)) {
        check(false, QStringLiteral("the road did not end; next step: ") +
                         (m_steps.empty() ? QStringLiteral("none") : m_steps.front().what));
        static_cast<void>(QTest::qWaitFor(settled, 5000));
    }
    m_running = false;
    return m_failure.isEmpty();
}

} // namespace road
