#include "frame/looks.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <QPixmap>
#include <QWidget>

namespace {
// These layouts were drawn for a 12-pixel CJK GUI font: a caption of n Chinese characters
// is about 12·n pixels wide.
constexpr int guiFontPixels = 12;

QFont songFont(int pixels)
{
    QFont font;
    // AR PL UMing is a Song face standing in where 宋体 is not installed.
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")});
    font.setPixelSize(pixels);
    font.setWeight(QFont::Normal);
    return font;
}
} // namespace

void applyProgramLooks()
{
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans CJK"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("sans-serif")});
    font.setPixelSize(guiFontPixels);
    QApplication::setFont(font);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
}

QCursor pointerCursor(Pointer pointer)
{
    if (pointer == Pointer::System)
        return Qt::ArrowCursor;
    static const QCursor custom(QPixmap(QStringLiteral(":/assets/pointer.png")), 9, 8);
    return custom;
}

void applyLooks(QWidget& widget, const Start& start)
{
    if (start.songPixels > 0)
        widget.setFont(songFont(start.songPixels));
    if (start.color != qRgb(0, 0, 0)) {
        QPalette palette = widget.palette();
        palette.setColor(QPalette::WindowText, QColor(start.color));
        palette.setColor(QPalette::ButtonText, QColor(start.color));
        palette.setColor(QPalette::Text, QColor(start.color));
        widget.setPalette(palette);
    }
}

int singleLineEditHeight(const QWidget& edit)
{
    return edit.fontMetrics().height() + 4;
}
