#include "services/tooltip.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

#include <map>

namespace {
constexpr int stem = 10;   // height of the balloon's stem
constexpr int radius = 8;  // of the balloon's corners
constexpr int hideAfterMs = 5000;

// The tip window. A balloon has rounded corners and a stem pointing up at its window.
class Tip : public QLabel {
public:
    explicit Tip(bool balloon)
        : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), m_balloon(balloon)
    {
        setObjectName(QStringLiteral("tooltip"));
        setTextFormat(Qt::PlainText);
        setWordWrap(false);
        setForegroundRole(QPalette::ToolTipText);
        setBackgroundRole(QPalette::ToolTipBase);
        setAutoFillBackground(!balloon);
        setFrameStyle(balloon ? QFrame::NoFrame : QFrame::Box | QFrame::Plain);
        setContentsMargins(6, balloon ? 4 + stem : 2, 6, 4);
        m_hide.setSingleShot(true);
        connect(&m_hide, &QTimer::timeout, this, &QWidget::hide);
    }

    void showFor(const QWidget& window, const QString& text, bool centred, QPoint cursor)
    {
        setText(text);
        adjustSize();
        if (m_balloon)
            setMask(QRegion(outline().toFillPolygon().toPolygon()));
        const QRect frame = window.frameGeometry();
        QPoint at = centred ? QPoint(frame.center().x() - width() / 2, frame.bottom() + 1)
                            : cursor + QPoint(-width() / 2, 16);
        const QRect screen = window.screen()->geometry();
        at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() - width())));
        at.setY(std::min(at.y(), screen.bottom() - height()));
        move(at);
        show();
        raise();
        m_hide.start(hideAfterMs);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (m_balloon) {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(palette().color(QPalette::ToolTipText));
            painter.setBrush(palette().color(QPalette::ToolTipBase));
            painter.drawPath(outline());
        }
        QLabel::paintEvent(event);
    }

private:
    QPainterPath outline() const
    {
        const QRectF body(0.5, stem + 0.5, width() - 1.0, height() - stem - 1.0);
        QPainterPath path;
        path.addRoundedRect(body, radius, radius);
        QPainterPath point;
        const qreal middle = width() / 2.0;
        point.moveTo(middle - stem, body.top() + 1);
        point.lineTo(middle, 0.5);
        point.lineTo(middle + stem, body.top() + 1);
        point.closeSubpath();
        return path.united(point);
    }

    bool m_balloon;
    QTimer m_hide;
};

// The one tooltip of the process and the windows it watches, each with its text.
class Tooltip : public QObject {
public:
    explicit Tooltip(bool balloon) : m_tip(balloon) {}

    void add(QWidget& window, const QString& text, bool centred)
    {
        if (m_tools.count(&window))
            return;
        m_tools.emplace(&window, Tool{text, centred});
        window.setAttribute(Qt::WA_AlwaysShowToolTips);
        window.installEventFilter(this);
        connect(&window, &QObject::destroyed, this, [this, w = &window] { m_tools.erase(w); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::ToolTip: {
            // Only the window's own surface shows the tip, not its controls.
            auto* help = static_cast<QHelpEvent*>(event);
            const Tool& tool = m_tools.at(window);
            if (window->childAt(help->pos()))
                m_tip.hide();
            else
                m_tip.showFor(*window, tool.text, tool.centred, help->globalPos());
            return true;
        }
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::Hide:
            m_tip.hide();
            break;
        default:
            break;
        }
        return false;
    }

private:
    struct Tool {
        QString text;
        bool centred;
    };
    Tip m_tip;
    std::map<QWidget*, Tool> m_tools;
};
} // namespace

int addTooltip(WId handle, const Text& text, bool balloon, bool centred)
{
    if (handle == 0)
        return 0;
    static Tooltip* tooltip = nullptr;
    if (!tooltip)
        tooltip = new Tooltip(balloon);
    QWidget* window = QWidget::find(handle);
    if (!window)
        return 0;
    tooltip->add(*window, text.toQString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                 centred);
    return 1;
}
