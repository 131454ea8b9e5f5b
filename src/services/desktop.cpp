#include "services/desktop.h"

#include "frame/controls.h"
#include "frame/frame.h"
#include "frame/looks.h"
#include "frame/runtime_error.h"
#include "frame/window.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUrl>

#include <array>

namespace {
QString shownText(const Text& text)
{
    return text.toQString().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

FrameWindow::Control& controlOf(WindowId id, const char* name)
{
    FrameWindow* window = Frame::instance().window(id);
    if (!window)
        reportRuntimeError("未载入欲访问窗口组件所在的窗口");
    FrameWindow::Control* control = window->control(name);
    if (!control)
        reportRuntimeError("指定窗口或窗口组件不存在或尚未载入");
    return *control;
}

// A kind's own properties need the control's widget.
QWidget& widgetOf(const FrameWindow::Control& control)
{
    if (!control.widget)
        reportRuntimeError("指定窗口尚未载入");
    return *control.widget;
}

Text editText(const QWidget& widget)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(&widget))
        return Text::fromQString(edit->text());
    const QString lines = static_cast<const QPlainTextEdit&>(widget).toPlainText();
    return Text::fromQString(QString(lines).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

void setEditText(QWidget& widget, const Text& text)
{
    // The change notification the widget raises is ignored; the write raises one of its own.
    const QSignalBlocker quiet(widget);
    if (auto* edit = qobject_cast<QLineEdit*>(&widget))
        edit->setText(text.toQString());
    else
        static_cast<QPlainTextEdit&>(widget).setPlainText(shownText(text));
}
} // namespace

int showMessage(const Text& text, int buttons, const Text& title)
{
    struct Choice {
        QMessageBox::StandardButton button;
        int code;
    };
    static const std::array<std::vector<Choice>, 6> sets{{
        {{QMessageBox::Ok, 0}},
        {{QMessageBox::Ok, 0}, {QMessageBox::Cancel, 1}},
        {{QMessageBox::Abort, 2}, {QMessageBox::Retry, 3}, {QMessageBox::Ignore, 4}},
        {{QMessageBox::Yes, 5}, {QMessageBox::No, 6}, {QMessageBox::Cancel, 1}},
        {{QMessageBox::Yes, 5}, {QMessageBox::No, 6}},
        {{QMessageBox::Retry, 3}, {QMessageBox::Cancel, 1}},
    }};
    static const std::array<QMessageBox::Icon, 5> icons{QMessageBox::NoIcon, QMessageBox::Critical,
                                                        QMessageBox::Question, QMessageBox::Warning,
                                                        QMessageBox::Information};
    const std::vector<Choice>& choices = sets[std::size_t(buttons & 0xF) % sets.size()];
    const int icon = (buttons >> 4) & 0xF;

    QMessageBox box(icon < int(icons.size()) ? icons[icon] : QMessageBox::NoIcon, title.toQString(),
                    shownText(text));
    box.setTextFormat(Qt::PlainText);
    // Task-modal: no window of the program takes input while the box is up (a system-modal
    // style bit asks for no more than that on this desktop).
    box.setWindowModality(Qt::ApplicationModal);
    for (const Choice& choice : choices)
        box.addButton(choice.button);
    box.exec();
    for (const Choice& choice : choices) {
        if (box.clickedButton() == box.button(choice.button))
            return choice.code;
    }
    return 0;
}

Value readProperty(WindowId window, const char* name, int property)
{
    const FrameWindow::Control& control = controlOf(window, name);
    const QWidget* widget = control.widget;
    switch (property) {
    case prop::left:
    case prop::top:
    case prop::width:
    case prop::height: {
        const Rect& start = control.definition->rect;
        const QRect rect =
            widget ? widget->geometry() : QRect(start.left, start.top, start.width, start.height);
        const std::array<int, 4> values{rect.x(), rect.y(), rect.width(), rect.height()};
        return values[std::size_t(property)];
    }
    case prop::tag:
        return control.tag;
    case prop::visible:
        return widget ? int(!widget->isHidden()) : int(control.visible);
    case prop::disable:
        return widget ? int(widget->testAttribute(Qt::WA_ForceDisabled)) : int(control.disabled);
    case prop::mousePointer:
        return int(control.definition->start.pointer);
    }

    switch (control.definition->kind) {
    case Kind::EditBox:
        if (property == prop::text)
            return editText(widgetOf(control));
        break;
    case Kind::Label:
    case Kind::TransLabel:
        if (property == prop::caption)
            return Text::fromQString(static_cast<QLabel&>(widgetOf(control)).text());
        break;
    case Kind::RadioBox:
        if (property == prop::checked)
            return int(static_cast<QRadioButton&>(widgetOf(control)).isChecked());
        break;
    case Kind::Timer:
        if (property == prop::period)
            return static_cast<TimerControl&>(widgetOf(control)).period();
        break;
    case Kind::HtmlViewer:
        if (property == prop::url)
            return Text::fromQString(static_cast<BrowserBox&>(widgetOf(control)).address());
        break;
    case Kind::Button:
    case Kind::GroupBox:
    case Kind::PicBox:
        break;
    }
    return 0;
}

void writeProperty(WindowId window, const char* name, int property, const Value& value)
{
    FrameWindow::Control& control = controlOf(window, name);
    QWidget* widget = control.widget;
    switch (property) {
    case prop::left:
    case prop::top:
    case prop::width:
    case prop::height:
        if (widget) {
            QRect rect = widget->geometry();
            std::array<int, 4> values{rect.x(), rect.y(), rect.width(), rect.height()};
            values[std::size_t(property)] = value.number;
            widget->setGeometry(values[0], values[1], values[2], values[3]);
        }
        return;
    case prop::tag:
        control.tag = value.text;
        return;
    case prop::visible:
        control.visible = value.number != 0;
        if (widget)
            widget->setVisible(control.visible);
        return;
    case prop::disable:
        control.disabled = value.number != 0;
        if (widget)
            widget->setEnabled(!control.disabled);
        return;
    case prop::mousePointer:
        if (widget) {
            const QCursor cursor =
                pointerCursor(value.number == 0 ? Pointer::System : Pointer::Custom);
            widget->setCursor(cursor);
            if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
                edit->viewport()->setCursor(cursor);
        }
        return;
    }

    QWidget& own = widgetOf(control);
    switch (control.definition->kind) {
    case Kind::EditBox:
        if (property == prop::text) {
            setEditText(own, value.text);
            Frame::instance().dispatchEvent(window, own.objectName(), event::textChanged);
        }
        break;
    case Kind::Label:
    case Kind::TransLabel:
        if (property == prop::caption) {
            static_cast<QLabel&>(own).setText(value.text.toQString());
            own.update();
        }
        break;
    case Kind::Timer:
        if (property == prop::period)
            static_cast<TimerControl&>(own).setPeriod(value.number);
        break;
    case Kind::HtmlViewer:
        if (property == prop::url) {
            // Handed to the desktop at once; nothing of the outcome comes back.
            const QString address = value.text.toQString();
            static_cast<BrowserBox&>(own).setAddress(address);
            QDesktopServices::openUrl(QUrl(address));
        }
        break;
    case Kind::RadioBox:
    case Kind::Button:
    case Kind::GroupBox:
    case Kind::PicBox:
        break;
    }
}

void appendText(WindowId window, const char* name, const Text& text)
{
    QWidget& widget = widgetOf(controlOf(window, name));
    if (auto* edit = qobject_cast<QPlainTextEdit*>(&widget)) {
        QTextCursor caret(edit->document());
        caret.movePosition(QTextCursor::End);
        edit->setTextCursor(caret);
        edit->ensureCursorVisible();
        // Programmatic output is not something the user can undo.
        edit->setUndoRedoEnabled(false);
        edit->insertPlainText(shownText(text));
        edit->setUndoRedoEnabled(true);
    } else {
        auto& line = static_cast<QLineEdit&>(widget);
        line.setText(line.text() + text.toQString());
        line.end(false);
    }
}

WId windowHandle(WindowId id)
{
    FrameWindow* window = Frame::instance().window(id);
    if (!window)
        reportRuntimeError("指定窗口或窗口组件不存在或尚未载入");
    return window->winId();
}
