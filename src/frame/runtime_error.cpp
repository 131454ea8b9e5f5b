#include "frame/runtime_error.h"

#include "frame/frame.h"
#include "services/desktop.h"
#include "services/text.h"

#include <cstdio>
#include <unistd.h>

Text runtimeErrorReport(const Text& message, int code)
{
    Text report = joinTexts("运行时出错!", "\r\n\r\n");
    if (code != 0)
        report = joinTexts(report, "错误代码：", toText(code), "\r\n\r\n");
    if (!message.isEmpty())
        report = joinTexts(report, "错误信息：", message, "\r\n");
    return report;
}

void reportRuntimeError(const Text& message, int code)
{
    if (Frame::exists())
        Frame::instance().suppressEvents();

    constexpr int errorIcon = 0x10;
    showMessage(runtimeErrorReport(message, code), errorIcon, "错误");

    // The process ends at once: no end-of-run work, no handler after this one.
    std::fflush(nullptr);
    _exit(255);
}
