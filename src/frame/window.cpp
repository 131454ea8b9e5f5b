#include "frame/window.h"

#include "frame/controls.h"
#include "frame/frame.h"
#include "frame/looks.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cstring>

namespace {
// The outer size of a window includes a 3-pixel border on each side and a 23-pixel title
// bar; the client area is what is left.
constexpr int border = 3;
constexpr int titleBar = 23;

bool isTabStop(Kind kind)
{
    return kind == Kind::Button || kind == Kind::EditBox || kind == Kind::RadioBox ||
           kind == Kind::HtmlViewer;
}

QString fromUtf8(const char* text)
{
    return QString::fromUtf8(text);
}
} // namespace

FrameWindow::FrameWindow(Frame& frame, WindowId id, const WindowDefinition& definition)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           (definition.minimiseButton ? Qt::WindowMinimizeButtonHint : Qt::Widget)),
      m_frame(frame), m_id(id), m_definition(definition)
{
    setWindowTitle(fromUtf8(definition.caption));
    setFixedSize(definition.outerWidth - 2 * border,
                 definition.outerHeight - titleBar - 2 * border);
    setAutoFillBackground(true);
    setCursor(pointerCursor(definition.pointer));

    const auto& controls = definition.controls;
    m_controls.reserve(controls.size());
    for (const ControlDefinition& control : controls)
        m_controls.push_back({&control, nullptr, control.start.visible, control.start.disabled});
    for (int i = 0; i < int(controls.size()); ++i)
        widgetAt(i);
    // Later siblings lie above earlier ones in Qt; the first control of a definition is on top.
    for (auto control = m_controls.rbegin(); control != m_controls.rend(); ++control)
        control->widget->raise();
    for (const Control& control : m_controls) {
        control.widget->setVisible(control.visible && control.definition->kind != Kind::Timer);
        control.widget->setEnabled(!control.disabled);
    }
    const QList<QWidget*> order = keyboardOrder();
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    // The window opens with the focus on the first control of its keyboard order.
    if (!order.isEmpty())
        order.first()->setFocus(Qt::OtherFocusReason);
}

QWidget* FrameWindow::widgetAt(int index)
{
    Control& control = m_controls[index];
    if (!control.widget) {
        // A control in a group box is placed in it, so the box is built first.
        QWidget* parent = this;
        if (const char* container = control.definition->container)
            parent = widgetAt(int(this->control(container) - m_controls.data()));
        control.widget = build(*control.definition, index, parent);
    }
    return control.widget;
}

FrameWindow::Control* FrameWindow::control(const char* name)
{
    const auto found = std::find_if(m_controls.begin(), m_controls.end(), [name](const Control& c) {
        return std::strcmp(c.definition->name, name) == 0;
    });
    return found == m_controls.end() ? nullptr : &*found;
}

QWidget* FrameWindow::build(const ControlDefinition& control, int order, QWidget* parent)
{
    const Start& start = control.start;
    const QString text = fromUtf8(start.text);
    QWidget* widget = nullptr;
    switch (control.kind) {
    case Kind::EditBox:
        if (start.multiLine) {
            auto* edit = new QPlainTextEdit(parent);
            edit->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            edit->setReadOnly(start.readOnly);
            edit->setTabChangesFocus(true);
            edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            widget = edit;
        } else {
            auto* edit = start.wholeNumber ? new WholeNumberEdit(parent)
                                           : new EditLine(start.framed, parent);
            edit->setText(text);
            edit->setReadOnly(start.readOnly);
            edit->setCursorPosition(0);
            widget = edit;
        }
        break;
    case Kind::Label:
    case Kind::TransLabel:
        widget = new LabelControl(text, control.kind == Kind::TransLabel, parent);
        break;
    case Kind::Button: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        widget = button;
        break;
    }
    case Kind::RadioBox:
        widget = new RadioBox(text, order, parent);
        break;
    case Kind::GroupBox:
        widget = new QGroupBox(parent);
        widget->installEventFilter(this);
        break;
    case Kind::PicBox:
        widget = new PictureBox(fromUtf8(start.picture), parent);
        break;
    case Kind::Timer:
        widget = new TimerControl(start.period, parent);
        break;
    case Kind::HtmlViewer:
        widget = new BrowserBox(parent);
        break;
    }
    widget->setObjectName(fromUtf8(control.name));
    widget->setCursor(pointerCursor(start.pointer));
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        edit->viewport()->setCursor(pointerCursor(start.pointer));
    applyLooks(*widget, start);
    QRect rect(control.rect.left, control.rect.top, control.rect.width, control.rect.height);
    if (control.kind == Kind::EditBox && !start.multiLine)
        rect.setHeight(std::max(rect.height(), singleLineEditHeight(*widget)));
    widget->setGeometry(rect);
    connectEvents(widget);
    return widget;
}

void FrameWindow::connectEvents(QWidget* widget)
{
    const QString name = widget->objectName();
    auto raise = [this, name](int event) { m_frame.dispatchEvent(m_id, name, event); };
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        connect(button, &QAbstractButton::clicked, this, [raise] { raise(event::clicked); });
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        connect(edit, &QLineEdit::textChanged, this, [raise] { raise(event::textChanged); });
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        connect(edit, &QPlainTextEdit::textChanged, this, [raise] { raise(event::textChanged); });
    else if (auto* timer = dynamic_cast<TimerControl*>(widget))
        connect(timer, &TimerControl::periodic, this, [raise] { raise(event::periodic); });
}

QList<QWidget*> FrameWindow::keyboardOrder() const
{
    QList<QWidget*> order;
    for (auto control = m_controls.rbegin(); control != m_controls.rend(); ++control) {
        QWidget* widget = control->widget;
        if (widget && isTabStop(control->definition->kind) && widget->isVisibleTo(this) &&
            widget->isEnabled())
            order.append(widget);
    }
    return order;
}

bool FrameWindow::focusNextPrevChild(bool next)
{
    const QList<QWidget*> order = keyboardOrder();
    if (order.isEmpty())
        return false;
    const int at = int(order.indexOf(QApplication::focusWidget()));
    const int count = int(order.size());
    const int to = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
    order[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void FrameWindow::focusOnActivation()
{
    if (focusWidget() && focusWidget()->isEnabled())
        return;
    const QList<QWidget*> order = keyboardOrder();
    if (m_lastFocus && order.contains(m_lastFocus.data()))
        m_lastFocus->setFocus(Qt::ActiveWindowFocusReason);
    else if (!order.isEmpty())
        order.first()->setFocus(Qt::ActiveWindowFocusReason);
}

void FrameWindow::centreOnScreen()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize outer = frameGeometry().size() == size()
                            ? QSize(m_definition.outerWidth, m_definition.outerHeight)
                            : frameGeometry().size();
    move(screen.x() + (screen.width() - outer.width()) / 2,
         screen.y() + (screen.height() - outer.height()) / 2);
}

void FrameWindow::retire()
{
    for (const Control& control : m_controls) {
        if (auto* timer = dynamic_cast<TimerControl*>(control.widget.data()))
            timer->stop();
        if (control.widget)
            control.widget->blockSignals(true);
    }
}

bool FrameWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::User:
        m_frame.carryOutDestroyRequest(m_id);
        return true;
    case QEvent::WindowActivate:
        focusOnActivation();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        // Once the window manager has framed the window, centre it by the frame it reports.
        if (!m_framePlaced && isVisible() && frameGeometry().size() != size()) {
            m_framePlaced = true;
            centreOnScreen();
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void FrameWindow::closeEvent(QCloseEvent* event)
{
    // The frame destroys the window itself, so that its disabled windows come back first. A
    // disabled window takes no input, and the window manager's close command is input too.
    event->ignore();
    if (isEnabled() && m_frame.window(m_id) == this)
        m_frame.closeByUser(m_id);
}

void FrameWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_frame.dispatchEvent(m_id, {}, event::leftPress);
    QWidget::mousePressEvent(event);
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A left press on a group box is the group box's own event.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        m_frame.dispatchEvent(m_id, watched->objectName(), event::leftPress);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
