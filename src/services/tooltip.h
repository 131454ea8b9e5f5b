#pragma once

#include "services/text.h"

#include <QWidget>

// Adds the window to the process's one tooltip: resting the mouse on the window's own
// surface shows the text. The first call fixes the tip's look. Handle 0 does nothing.
int addTooltip(WId handle, const Text& text, bool balloon, bool centred);
