#pragma once

class Text;

// The text of the fatal run-time error report: "运行时出错!" and two line breaks, then the
// code and the message where given.
Text runtimeErrorReport(const Text& message, int code);

// Shows the fatal run-time error report and ends the process with exit code -1.
[[noreturn]] void reportRuntimeError(const Text& message, int code = 0);
