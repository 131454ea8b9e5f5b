#pragma once

#include "frame/frame.h"

// The program's four windows as the frame loads them.
extern const WindowDefinition mainWindow;
extern const WindowDefinition checklistWindow;
extern const WindowDefinition deductionWindow;
extern const WindowDefinition sortWindow;

inline const WindowSet programWindows{&mainWindow, &checklistWindow, &deductionWindow, &sortWindow};
