#pragma once

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

// The widgets that stand in for the controls whose behaviour Qt's own widgets do not have.

// A label draws its caption on one line, left-aligned and vertically centred, cut at its
// right edge: line breaks in the caption start no new line.
class LabelControl : public QLabel {
public:
    LabelControl(const QString& caption, bool transparent, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Radio buttons are grouped by their container alone: the radio buttons that share a
// parent widget form one set, whatever else lies around them. Qt's own exclusivity searches
// the parent recursively and takes buttons out of the Tab chain, so it stays off.
class RadioBox : public QRadioButton {
public:
    // `order` is the control's place in its window's definition; the keyboard runs backwards.
    RadioBox(const QString& caption, int order, QWidget* parent);

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QList<RadioBox*> setInKeyboardOrder() const;

    int m_order;
};

// A single-line edit box; `framed` adds a raised edge outside the sunken one.
class EditLine : public QLineEdit {
public:
    EditLine(bool framed, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_framed;
};

// The deduction box keeps its text to a signed 32-bit decimal number: typed characters
// other than digits and "-" are dropped (pasting is not filtered), and when the focus
// leaves, the text is read as a 64-bit number, clamped and written back, "0" as empty.
class WholeNumberEdit : public EditLine {
public:
    explicit WholeNumberEdit(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// The text a whole-number box holds once the focus has left it.
QString clampedWholeNumber(const QString& text);

// The checklist's picture: a JPEG from the resources, decoded for the box's device pixels
// and stretched over the whole box.
class PictureBox : public QWidget {
public:
    PictureBox(const QString& resource, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_resource;
    QImage m_image;
    qreal m_decodedRatio = 0;
};

// A timer is an invisible control that raises its periodic event every `period` ms.
class TimerControl : public QWidget {
    Q_OBJECT
public:
    TimerControl(int period, QWidget* parent);
    int period() const { return m_period; }
    void setPeriod(int period);
    void stop() { m_timer.stop(); }

signals:
    void periodic();

private:
    QTimer m_timer;
    int m_period = 0;
};

// The browser box shows nothing: it hands the addresses written to it to the desktop and
// stands in the keyboard order like any other control.
class BrowserBox : public QWidget {
public:
    explicit BrowserBox(QWidget* parent);
    QString address() const { return m_address; }
    void setAddress(const QString& address) { m_address = address; }

private:
    QString m_address;
};
