// Sets off one run-time error from inside a button's handler, the way the program's own
// handlers would, and prints the report box it brings up as one line of JSON before
// pressing the box's button. Arguments: the case, then for "report" a code and a message.

#include "frame/frame.h"
#include "frame/runtime_error.h"
#include "services/desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QStringList arguments;

// The two texts the allocation case joins, each this long.
constexpr std::size_t bigText = std::size_t(64) << 20;

std::size_t addressSpaceInUse()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * std::size_t(sysconf(_SC_PAGESIZE));
}

void setOff(Frame& frame)
{
    const QString& which = arguments.at(1);
    if (which == "dispatch-window") {
        frame.dispatchEvent(SortWindow, {}, event::created);
    } else if (which == "dispatch-source") {
        frame.dispatchEvent(MainWindow, "按钮9", event::clicked);
    } else if (which == "dispatch-kind") {
        frame.dispatchEvent(MainWindow, "标签1", event::clicked);
    } else if (which == "destroy") {
        frame.destroyWindow(SortWindow);
    } else if (which == "handle") {
        windowHandle(SortWindow);
    } else if (which == "read") {
        readProperty(SortWindow, "编辑框1", prop::text);
    } else if (which == "write") {
        writeProperty(SortWindow, "编辑框1", prop::visible, 0);
    } else if (which == "report") {
        reportRuntimeError(Text::fromQString(arguments.value(3)), arguments.at(2).toInt());
    } else if (which == "allocation") {
        const Text first = Text::fromBytes(std::string(bigText, 'a'));
        const Text second = Text::fromBytes(std::string(bigText, 'b'));
        // Room for the report box, not for the joined text.
        const rlimit limit{addressSpaceInUse() + (std::size_t(48) << 20), RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &limit);
        joinTexts(first, second);
    }
    std::puts("the handler went on");
    std::fflush(stdout);
}

const WindowDefinition mainWindow{
    .caption = "出错",
    .outerWidth = 240,
    .outerHeight = 120,
    .controls = {
        {Kind::Button, "按钮1", nullptr, {10, 10, 80, 24}, {.text = "出错"},
         {{event::clicked, setOff}}},
        {Kind::Label, "标签1", nullptr, {10, 40, 80, 16}, {.text = "标签"}},
    }};
const WindowDefinition sortWindow{
    .caption = "未载入",
    .outerWidth = 240,
    .outerHeight = 120,
    .controls = {{Kind::EditBox, "编辑框1", nullptr, {10, 10, 80, 20}}},
};
const WindowSet windows{&mainWindow, &sortWindow, &sortWindow, &sortWindow};

QString iconName(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::NoIcon:
        return "none";
    case QMessageBox::Information:
        return "information";
    case QMessageBox::Warning:
        return "warning";
    case QMessageBox::Critical:
        return "critical";
    case QMessageBox::Question:
        return "question";
    }
    return "?";
}

void answerMessageBoxes()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    QJsonArray buttons;
    for (QAbstractButton* button : box->buttons())
        buttons.append(button->text());
    const QJsonObject shown{{"title", box->windowTitle()},
                            {"text", box->text()},
                            {"icon", iconName(box->icon())},
                            {"buttons", buttons}};
    std::puts(QJsonDocument(shown).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
    QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    arguments = QApplication::arguments();
    Frame frame(windows);
    frame.loadWindow(MainWindow, false);

    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, &answering, answerMessageBoxes);
    answering.start(50);
    QTimer::singleShot(0, [&frame] {
        QTest::mouseClick(frame.window(MainWindow)->control("按钮1")->widget, Qt::LeftButton);
        // Only when no report ended the process.
        frame.window(MainWindow)->close();
    });
    return frame.runEventLoop();
}
