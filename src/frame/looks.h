#pragma once

#include "frame/definition.h"

#include <QCursor>

class QWidget;

// The program's looks: the default GUI font, the icon, the window-face background.
void applyProgramLooks();
QCursor pointerCursor(Pointer pointer);
// A control's font and text colour as its definition gives them.
void applyLooks(QWidget& widget, const Start& start);
// A single-line edit box is at least one line of its font tall, plus its two edges.
int singleLineEditHeight(const QWidget& edit);
