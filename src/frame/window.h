#pragma once

#include "frame/definition.h"
#include "services/text.h"

#include <QPointer>
#include <QWidget>

#include <utility>
#include <vector>

// A loaded window: the widgets built from its definition and the live state of this one
// opening. Destroying it discards all of that; the next load starts from the definition.
class FrameWindow : public QWidget {
public:
    struct Control {
        const ControlDefinition* definition;
        QPointer<QWidget> widget;
        bool visible;  // kept also while the control has no widget
        bool disabled; // likewise
        Text tag = {};
    };

    FrameWindow(Frame& frame, WindowId id, const WindowDefinition& definition);

    WindowId id() const { return m_id; }
    const WindowDefinition& definition() const { return m_definition; }
    Control* control(const char* name);
    const std::vector<Control>& controls() const { return m_controls; }

    // The visible, enabled tab stops, first to last.
    QList<QWidget*> keyboardOrder() const;

    // The windows this opening disabled, each with the enabled state it had before.
    std::vector<std::pair<QPointer<FrameWindow>, bool>> disabledByOpening;
    bool destroyRequested = false;

    void centreOnScreen();
    void rememberFocus(QWidget* widget) { m_lastFocus = widget; }
    // Stops everything that could still raise an event, before the widget goes.
    void retire();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QWidget* widgetAt(int index);
    QWidget* build(const ControlDefinition& control, int order, QWidget* parent);
    void connectEvents(QWidget* widget);
    void focusOnActivation();

    Frame& m_frame;
    WindowId m_id;
    const WindowDefinition& m_definition;
    std::vector<Control> m_controls;
    QPointer<QWidget> m_lastFocus;
    bool m_framePlaced = false;
};
