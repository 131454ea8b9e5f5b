#include "windows/windows.h"

const WindowDefinition deductionWindow{.caption = "", .outerWidth = 200, .outerHeight = 200};
