#include "frame/looks.h"
#include "frame/runtime_error.h"
#include "services/text.h"
#include "windows/windows.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Matches the desktop entry, so that docks show the program's own icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.hygiene_inspection.Scorer"));
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    applyProgramLooks();

    Frame frame(programWindows);
    if (!frame.loadWindow(MainWindow, false))
        reportRuntimeError("载入启动窗口失败");
    return frame.runEventLoop();
}
