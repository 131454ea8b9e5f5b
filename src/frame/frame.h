#pragma once

#include "frame/definition.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <vector>

#include "frame/window.h"
class QEventLoop;
class QString;

using WindowSet = std::array<const WindowDefinition*, WindowCount>;

// Everything of the program that is not a window of its own: the window set, loading and
// the modal wait, closing and destruction, event delivery and the end of the run.
class Frame : public QObject {
public:
    explicit Frame(const WindowSet& definitions);
    ~Frame() override;

    // The one frame of the process.
    static Frame& instance();
    static bool exists();

    // The class's score, 0 at start; lives for the whole run.
    double classScore = 0;

    // In dialog mode the call returns only when the window has closed.
    bool loadWindow(WindowId id, bool dialogMode);
    // Carried out by the next event loop, after the calling handler has ended.
    void destroyWindow(WindowId id);
    // Returns the exit code once no program window is left.
    int runEventLoop();
    // `source` is a control's name, or empty for the window itself. True when a handler ran.
    bool dispatchEvent(WindowId id, const QString& source, int event);

    FrameWindow* window(WindowId id) const { return m_windows[id]; }

    // While raised, no event reaches a handler.
    void suppressEvents() { ++m_suppression; }
    void resumeEvents() { --m_suppression; }

    // The user closed the window (close box, Alt+F4, Esc).
    void closeByUser(WindowId id);
    // Carries out a destroy request that an event loop has taken.
    void carryOutDestroyRequest(WindowId id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ModalWait {
        WindowId window;
        QEventLoop* loop;
    };

    void restoreDisabled(FrameWindow& window);
    void destroyNow(WindowId id);
    void trackFocus(QWidget* now);

    WindowSet m_definitions;
    std::array<QPointer<FrameWindow>, WindowCount> m_windows{};
    std::vector<ModalWait> m_waits;
    int m_suppression = 0;
    bool m_mainLoopStarted = false;
};
