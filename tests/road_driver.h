#pragma once

#include "frame/frame.h"
#include "frame/window.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QString>

#include <deque>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

// Helpers that drive the program's windows the way a user does: clicks and keys go through
// the window system layer, so modality, disabled windows and clipping apply as on screen.
namespace road {

// A fresh program with its main window up and active, as at start; false when it did not
// come up.
bool startProgram(std::unique_ptr<Frame>& frame);
// Ends the program, with every window it left deleted.
void endProgram(std::unique_ptr<Frame>& frame);

// The window as loaded now, or null.
FrameWindow* window(WindowId id);
// A control of a loaded window by its name; null when the window or the control is missing.
QWidget* control(WindowId id, const QString& name);
template <class T> T* control(WindowId id, const QString& name)
{
    return qobject_cast<T*>(control(id, name));
}

// A left click in the middle of the widget, or at `at` in its own coordinates.
void click(QWidget* widget);
void clickAt(QWidget* widget, QPoint at);
// A left press (and release) at `at`, in the window's coordinates.
void pressOn(QWidget* window, QPoint at);
// A key as the keyboard sends it to a window: it reaches the window's focus widget.
void pressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Each character of the (ASCII) text as a key of its own.
void typeKeys(QWidget* window, const QString& text);
// Text committed by an input method into the widget that has the focus of `window`, if
// that widget takes input from one.
void commitText(QWidget* window, const QString& text);
// Clicks into the edit box, then types the ASCII text key by key.
void typeInto(QWidget* edit, const QString& text);
// The text a label, button, radio button or edit box shows.
QString textOf(const QWidget* widget);

// The message box that is up, or null.
QMessageBox* messageBox();
// The pointer shown over `at` (window coordinates): the cursor of the widget there or of
// the nearest of its parents that has one.
QCursor pointerAt(QWidget* window, QPoint at);
bool isCustomPointer(const QCursor& cursor);

// The names of the controls that hold the keyboard focus, one after another, while Tab
// (or Shift+Tab) is pressed `presses` times in the window.
QStringList focusWalk(QWidget* window, int presses, bool backwards = false);

// A queue of steps for a user's way through nested modal waits. A click that opens a
// window in dialog mode, or that shows a message box, returns only when that window or box
// has gone; the steps act from inside those nested loops. Each step waits until its
// condition holds, then acts. A step that waits too long fails the road, and everything
// that is still open above the main window is closed, so that the first click returns.
class Steps : public QObject {
public:
    explicit Steps(int stepTimeoutMs = 5000);

    // Waits until `ready`, then runs `act`.
    Steps& then(const QString& what, std::function<bool()> ready, std::function<void()> act = {});
    // Waits until the window is shown, enabled and active, then runs `act`.
    Steps& whenUp(WindowId id, std::function<void()> act = {});
    // Waits until the window has gone.
    Steps& whenGone(WindowId id, std::function<void()> act = {});
    // Waits for a message box, checks its title "信息：", its one OK button and its text,
    // runs `act` while it is up and then presses OK; `afterOk` runs once the press is done,
    // before the handler that showed the box goes on.
    Steps& whenMessage(const QString& text, std::function<void()> act = {},
                       std::function<void()> afterOk = {});
    // Waits until the clock label of the main window shows another text.
    Steps& clockTicks(const QString& during);

    // Records a failure (the first one counts) and makes the road wind up.
    bool check(bool ok, const QString& what);

    // Runs `start` (which may block in modal waits while the steps go on), then waits until
    // every step has run. False when a step failed or did not come about.
    bool drive(const std::function<void()>& start, int timeoutMs = 30000);
    const QString& failure() const { return m_failure; }

private:
    struct Step {
        QString what;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    void poll();
    void windUp();

    std::deque<Step> m_steps;
    QString m_failure;
    QElapsedTimer m_waiting;
    int m_stepTimeoutMs;
    bool m_running = false;
};

} // namespace road
