#include "windows/windows.h"

const WindowDefinition mainWindow{.caption = "", .outerWidth = 200, .outerHeight = 200};
