#include "frame/frame.h"

#include "frame/runtime_error.h"
#include "frame/window.h"
#include "services/text.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>

#include <algorithm>

namespace {
Frame* theFrame = nullptr;

bool raisesEvents(Kind kind)
{
    switch (kind) {
    case Kind::EditBox:
    case Kind::Button:
    case Kind::RadioBox:
    case Kind::GroupBox:
    case Kind::Timer:
        return true;
    case Kind::Label:
    case Kind::PicBox:
    case Kind::TransLabel:
    case Kind::HtmlViewer:
        return false;
    }
    return false;
}

Handler boundHandler(const std::vector<Binding>& bindings, int event)
{
    const auto binding = std::find_if(bindings.begin(), bindings.end(),
                                      [event](const Binding& b) { return b.event == event; });
    return binding == bindings.end() ? nullptr : binding->handler;
}

FrameWindow* frameWindowOf(QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    return widget ? dynamic_cast<FrameWindow*>(widget->window()) : nullptr;
}
} // namespace

Frame::Frame(const WindowSet& definitions) : m_definitions(definitions)
{
    theFrame = this;
    // The frame ends the run itself, when its last window has gone.
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { trackFocus(now); });
}

Frame::~Frame()
{
    for (auto& window : m_windows)
        delete window.data();
    theFrame = nullptr;
}

Frame& Frame::instance()
{
    return *theFrame;
}

bool Frame::exists()
{
    return theFrame != nullptr;
}

bool Frame::loadWindow(WindowId id, bool dialogMode)
{
    if (FrameWindow* open = m_windows[id]) {
        if (!open->destroyRequested) {
            if (open->isMinimized())
                open->showNormal();
            open->raise();
            open->activateWindow();
            return true;
        }
        destroyNow(id);
    }

    QCoreApplication::processEvents();
    suppressEvents();
    auto* window = new FrameWindow(*this, id, *m_definitions[id]);
    m_windows[id] = window;
    window->centreOnScreen();
    // Whatever the build set off is dropped: the window's first event is its created event.
    QCoreApplication::processEvents();
    resumeEvents();

    dispatchEvent(id, {}, event::created);
    if (m_windows[id] == window)
        dispatchEvent(id, {}, event::moved);
    if (m_windows[id] == window)
        dispatchEvent(id, {}, event::resized);
    if (m_windows[id] != window)
        return true;

    window->show();
    window->raise();
    window->activateWindow();
    if (!dialogMode)
        return true;

    for (auto& other : m_windows) {
        if (other && other != window) {
            window->disabledByOpening.emplace_back(other, other->isEnabled());
            other->setEnabled(false);
        }
    }

    // The modal wait: a nested loop that ends once this window has been destroyed.
    QEventLoop loop;
    m_waits.push_back({id, &loop});
    loop.exec();
    m_waits.pop_back();

    // Hand the keyboard back to the window whose wait is now innermost, else the start window.
    const WindowId back = m_waits.empty() ? MainWindow : m_waits.back().window;
    if (FrameWindow* next = m_windows[back]; next && next->isEnabled())
        next->activateWindow();
    return true;
}

void Frame::destroyWindow(WindowId id)
{
    FrameWindow* window = m_windows[id];
    if (!window)
        reportRuntimeError("指定窗口或窗口组件不存在或尚未载入");
    window->destroyRequested = true;
    QCoreApplication::postEvent(window, new QEvent(QEvent::User));
}

void Frame::carryOutDestroyRequest(WindowId id)
{
    FrameWindow* window = m_windows[id];
    if (!window || !window->destroyRequested)
        return;
    window->destroyRequested = false;
    destroyNow(id);
}

void Frame::closeByUser(WindowId id)
{
    dispatchEvent(id, {}, event::canClose);
    if (m_windows[id])
        destroyNow(id);
}

void Frame::restoreDisabled(FrameWindow& window)
{
    for (auto& [other, wasEnabled] : window.disabledByOpening) {
        if (other)
            other->setEnabled(wasEnabled);
    }
    window.disabledByOpening.clear();
}

void Frame::destroyNow(WindowId id)
{
    FrameWindow* window = m_windows[id];
    dispatchEvent(id, {}, event::willDestroy);
    if (m_windows[id] != window)
        return;
    restoreDisabled(*window);
    window->retire();
    m_windows[id] = nullptr;
    window->hide();
    window->deleteLater();

    for (const ModalWait& wait : m_waits) {
        if (wait.window == id)
            wait.loop->quit();
    }
    const bool noneLeft = std::none_of(m_windows.begin(), m_windows.end(),
                                       [](const auto& w) { return !w.isNull(); });
    if (noneLeft && m_mainLoopStarted)
        QCoreApplication::exit(0);
}

int Frame::runEventLoop()
{
    m_mainLoopStarted = true;
    if (std::all_of(m_windows.begin(), m_windows.end(), [](const auto& w) { return w.isNull(); }))
        return 0;
    const int code = QApplication::exec();
    suppressEvents();
    return code;
}

bool Frame::dispatchEvent(WindowId id, const QString& source, int eventNumber)
{
    if (m_suppression > 0)
        return false;
    FrameWindow* window = m_windows[id];
    if (!window)
        reportRuntimeError("未找到引发事件的窗口");

    const std::vector<Binding>* bindings = &window->definition().bindings;
    if (!source.isEmpty()) {
        FrameWindow::Control* control = window->control(source.toUtf8().constData());
        if (!control)
            reportRuntimeError("未找到引发事件的窗口组件");
        if (!raisesEvents(control->definition->kind))
            reportRuntimeError("引发事件的窗口组件无效");
        bindings = &control->definition->bindings;
    }
    const Handler handler = boundHandler(*bindings, eventNumber);
    if (!handler)
        return false;
    handler(*this);
    return true;
}

bool Frame::eventFilter(QObject* watched, QEvent* event)
{
    // Esc closes the window that has the keyboard, unless Ctrl, Shift or Alt is held.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        constexpr auto held = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier;
        if (key->key() == Qt::Key_Escape && !(key->modifiers() & held)) {
            FrameWindow* window = frameWindowOf(watched);
            if (window && window->isEnabled() && m_windows[window->id()] == window) {
                window->close();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void Frame::trackFocus(QWidget* now)
{
    if (FrameWindow* window = frameWindowOf(now); window && now != window)
        window->rememberFocus(now);
}
