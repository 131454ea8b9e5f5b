#pragma once

#include "frame/definition.h"
#include "services/text.h"

#include <QWidget>

// Property numbers: 0 to 7 are common to every kind, the rest are the kinds' own.
namespace prop {
constexpr int left = 0;         // 左边
constexpr int top = 1;          // 顶边
constexpr int width = 2;        // 宽度
constexpr int height = 3;       // 高度
constexpr int tag = 4;          // 标记
constexpr int visible = 5;      // 可视
constexpr int disable = 6;      // 禁止
constexpr int mousePointer = 7; // 鼠标指针
constexpr int text = 8;         // 编辑框
constexpr int caption = 8;      // 标签, 透明标签
constexpr int period = 8;       // 时钟
constexpr int url = 11;         // 超文本浏览框: 地址
constexpr int checked = 18;     // 单选框
} // namespace prop

// A property's value: a whole number (logical values are exactly 1 or 0) or a text.
struct Value {
    Value(int value) : number(value) {}
    Value(Text value) : text(std::move(value)) {}
    Value(const char* value) : text(value) {}

    int number = 0;
    Text text;
};

// Shows a message box and returns the code of the button pressed (OK 0, Cancel 1, Abort 2,
// Retry 3, Ignore 4, Yes 5, No 6). `buttons` takes the message-box style bits.
int showMessage(const Text& text, int buttons = 0, const Text& title = "信息：");

Value readProperty(WindowId window, const char* control, int property);
void writeProperty(WindowId window, const char* control, int property, const Value& value);
// Appends to an edit box at the end of its text, with no line break and no undo record.
void appendText(WindowId window, const char* control, const Text& text);

WId windowHandle(WindowId window);
