#pragma once

// Asks the system to end the session or the machine: 1 power off, 2 restart, 3 log off,
// 4 suspend, 5 hibernate. True when the system accepted the request.
bool shutDownSystem(int kind, bool force = false);
