#pragma once

#include <QRgb>

#include <vector>

class Frame;

// The program's four windows. At most one copy of each is loaded at a time.
enum WindowId { MainWindow, ChecklistWindow, DeductionWindow, SortWindow, WindowCount };

enum class Kind { EditBox, Label, Button, RadioBox, GroupBox, PicBox, TransLabel, Timer, HtmlViewer };

// Event numbers as definitions bind them. The same number means different things for
// different sources, so several names share a value.
namespace event {
constexpr int created = 0;     // the window
constexpr int canClose = 1;    // the window
constexpr int willDestroy = 2; // the window
constexpr int moved = 3;       // the window
constexpr int resized = 4;     // the window
constexpr int leftPress = -1;  // the window, a group box
constexpr int clicked = 0;     // a button, a radio button
constexpr int periodic = 0;    // a timer
constexpr int textChanged = 0; // an edit box
} // namespace event

using Handler = void (*)(Frame&);

struct Binding {
    int event;
    Handler handler;
};

struct Rect {
    int left;
    int top;
    int width;
    int height;
};

enum class Pointer { System, Custom };

// What a control shows at its opening. What a window's table does not mention is visible,
// enabled, unchecked and empty, in the default GUI font, black.
struct Start {
    const char* text = "";
    bool visible = true;
    bool disabled = false;
    bool readOnly = false;
    bool multiLine = false;  // edit box: several lines, wrapped, with a vertical scroll bar
    bool framed = false;     // edit box: sunken and raised edges
    bool wholeNumber = false; // edit box: keeps its text to a signed 32-bit number
    int songPixels = 0;      // 0: the default GUI font; else 宋体 at that pixel height
    QRgb color = qRgb(0, 0, 0);
    Pointer pointer = Pointer::System;
    int period = 0;          // timer, in milliseconds
    const char* picture = ""; // picture box: the resource holding its JPEG
};

struct ControlDefinition {
    Kind kind;
    const char* name;
    const char* container; // the group box holding the control, or nullptr for the window
    Rect rect;
    Start start = {};
    std::vector<Binding> bindings = {};
};

struct WindowDefinition {
    const char* caption;
    int outerWidth;
    int outerHeight;
    bool minimiseButton = false;
    Pointer pointer = Pointer::System;
    std::vector<Binding> bindings = {};
    std::vector<ControlDefinition> controls = {}; // first = topmost; keyboard order runs backwards
};

// For events a definition binds on purpose to nothing.
inline void doNothing(Frame&) {}
