#include "windows/windows.h"

const WindowDefinition checklistWindow{.caption = "", .outerWidth = 200, .outerHeight = 200};
