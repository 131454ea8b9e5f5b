#include "frame/controls.h"

#include "services/picture.h"

#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFrame>
#include <qdrawutil.h>

#include <algorithm>
#include <climits>

LabelControl::LabelControl(const QString& caption, bool transparent, QWidget* parent)
    : QLabel(caption, parent)
{
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(!transparent);
}

void LabelControl::paintEvent(QPaintEvent*)
{
    QString line = text();
    line.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line);
}

RadioBox::RadioBox(const QString& caption, int order, QWidget* parent)
    : QRadioButton(caption, parent), m_order(order)
{
    setAutoExclusive(false);
}

QList<RadioBox*> RadioBox::setInKeyboardOrder() const
{
    QList<RadioBox*> set = parentWidget()->findChildren<RadioBox*>(Qt::FindDirectChildrenOnly);
    std::sort(set.begin(), set.end(),
              [](const RadioBox* a, const RadioBox* b) { return a->m_order > b->m_order; });
    return set;
}

void RadioBox::nextCheckState()
{
    // Checking is all a click or an arrow key does: a checked radio button stays checked.
    setChecked(true);
    for (RadioBox* other : setInKeyboardOrder()) {
        if (other != this)
            other->setChecked(false);
    }
}

void RadioBox::keyPressEvent(QKeyEvent* event)
{
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        step = 1;
        break;
    default:
        QRadioButton::keyPressEvent(event);
        return;
    }
    QList<RadioBox*> set = setInKeyboardOrder();
    set.removeIf([this](RadioBox* r) { return r != this && (!r->isEnabled() || r->isHidden()); });
    const int count = int(set.size());
    RadioBox* next = set[(set.indexOf(this) + step + count) % count];
    next->setFocus(Qt::OtherFocusReason);
    next->click();
}

EditLine::EditLine(bool framed, QWidget* parent) : QLineEdit(parent), m_framed(framed)
{
}

void EditLine::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (m_framed) {
        QPainter painter(this);
        qDrawShadeRect(&painter, rect(), palette(), false, 1);
    }
}

WholeNumberEdit::WholeNumberEdit(QWidget* parent) : EditLine(false, parent)
{
}

namespace {
bool isWholeNumberCharacter(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
}
} // namespace

void WholeNumberEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (printable && !std::all_of(typed.begin(), typed.end(), isWholeNumberCharacter))
        return;
    EditLine::keyPressEvent(event);
}

void WholeNumberEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // What an input method commits is typed too: only digits and "-" get through.
    QString committed = event->commitString();
    committed.removeIf([](QChar c) { return !isWholeNumberCharacter(c); });
    if (committed == event->commitString()) {
        EditLine::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(committed, event->replacementStart(), event->replacementLength());
    EditLine::inputMethodEvent(&filtered);
}

QString clampedWholeNumber(const QString& text)
{
    int at = 0;
    while (at < text.size() && text.at(at).isSpace())
        ++at;
    bool negative = false;
    if (at < text.size() && (text.at(at) == QLatin1Char('-') || text.at(at) == QLatin1Char('+')))
        negative = text.at(at++) == QLatin1Char('-');
    // Accumulated in 64 bits but held at the 32-bit limits, so that no run of digits can
    // wrap round into a number of the other sign.
    long long value = 0;
    for (; at < text.size() && text.at(at) >= QLatin1Char('0') && text.at(at) <= QLatin1Char('9');
         ++at)
        value = std::min(value * 10 + (text.at(at).unicode() - '0'), 1LL << 32);
    value = std::clamp(negative ? -value : value, (long long)INT_MIN, (long long)INT_MAX);
    return value == 0 ? QString() : QString::number(value);
}

void WholeNumberEdit::focusOutEvent(QFocusEvent* event)
{
    const QString rewritten = clampedWholeNumber(text());
    if (rewritten != text()) {
        const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
        setText(rewritten);
        setCursorPosition(std::min(caret, int(rewritten.size())));
    }
    EditLine::focusOutEvent(event);
}

PictureBox::PictureBox(const QString& resource, QWidget* parent)
    : QWidget(parent), m_resource(resource)
{
}

void PictureBox::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    if (ratio != m_decodedRatio) {
        m_decodedRatio = ratio;
        QFile file(m_resource);
        m_image =
            file.open(QIODevice::ReadOnly) ? decodeJpeg(file.readAll(), size() * ratio) : QImage();
    }
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_image);
}

TimerControl::TimerControl(int period, QWidget* parent) : QWidget(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TimerControl::periodic);
    setPeriod(period);
}

void TimerControl::setPeriod(int period)
{
    period = std::max(period, 0);
    if (period == m_period)
        return;
    m_period = period;
    m_timer.stop();
    if (period > 0)
        m_timer.start(period);
}

BrowserBox::BrowserBox(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}
