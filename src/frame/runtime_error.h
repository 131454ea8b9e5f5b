#pragma once

class Text;

// Shows the fatal run-time error report and ends the process with exit code -1.
[[noreturn]] void reportRuntimeError(const Text& message, int code = 0);
