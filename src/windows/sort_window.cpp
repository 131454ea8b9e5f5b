#include "windows/windows.h"

const WindowDefinition sortWindow{.caption = "", .outerWidth = 200, .outerHeight = 200};
