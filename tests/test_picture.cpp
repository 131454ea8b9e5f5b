#include "services/picture.h"
#include "support.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QStringList>

#include <cstddef>
#include <cstdio> // jpeglib.h uses FILE and size_t without declaring them
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Red rises from left to right and green from top to bottom, so a pixel's colour tells where
// in the picture it came from.
QByteArray gradientJpeg(QSize size)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&cinfo, &buffer, &length);
    cinfo.image_width = JDIMENSION(size.width());
    cinfo.image_height = JDIMENSION(size.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(std::size_t(size.width()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < size.width(); ++x) {
            row[std::size_t(x) * 3] = JSAMPLE(x * 255 / (size.width() - 1));
            row[std::size_t(x) * 3 + 1] = JSAMPLE(y * 255 / (size.height() - 1));
            row[std::size_t(x) * 3 + 2] = 128;
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray jpeg(reinterpret_cast<const char*>(buffer), qsizetype(length));
    std::free(buffer);
    return jpeg;
}

// A comment segment of `length` bytes right after the start marker: libjpeg skips it unread,
// so the picture decodes as before while the skip crosses block boundaries.
QByteArray withComment(const QByteArray& jpeg, int length)
{
    QByteArray segment("\xFF\xFE", 2);
    segment.append(char((length + 2) >> 8)).append(char((length + 2) & 0xFF));
    segment.append(QByteArray(length, 'c'));
    return QByteArray(jpeg).insert(2, segment);
}

bool near(QColor actual, QColor expected, int tolerance)
{
    return qAbs(actual.red() - expected.red()) <= tolerance &&
           qAbs(actual.green() - expected.green()) <= tolerance &&
           qAbs(actual.blue() - expected.blue()) <= tolerance;
}

QStringList reportedWarnings;

void recordWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        reportedWarnings.append(message);
}

// Keeps the damaged-picture cases quiet while recording what the decoder reported.
class WarningLog {
public:
    WarningLog()
    {
        reportedWarnings.clear();
        m_previous = qInstallMessageHandler(recordWarning);
    }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    bool reportedJpegProblem() const { return !reportedWarnings.filter("JPEG: ").isEmpty(); }

private:
    QtMessageHandler m_previous;
};

// The test pictures' four quadrants, each 48 x 32 of the picture's 96 x 64 pixels.
const QList<QColor> colourQuadrants = {QColor(220, 30, 30), QColor(30, 180, 60),
                                       QColor(30, 60, 200), QColor(240, 220, 40)};
const QList<QColor> greyQuadrants = {QColor(30, 30, 30), QColor(90, 90, 90), QColor(160, 160, 160),
                                     QColor(230, 230, 230)};

} // namespace

class PictureTest : public QObject {
    Q_OBJECT

private slots:
    void decodesTestPictures_data();
    void decodesTestPictures();
    void choosesScale_data();
    void choosesScale();
    void skipsSegmentsAcrossBlocks_data();
    void skipsSegmentsAcrossBlocks();
    void rejectsDamagedPictures_data();
    void rejectsDamagedPictures();
    void rejectsEveryTruncation_data();
    void rejectsEveryTruncation();
    void survivesFlippedBytes();
    void decodesShippedPicture();
    void shipsImages_data();
    void shipsImages();
    void pointerTipIsOnHotSpot();
};

void PictureTest::decodesTestPictures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("fill");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<QList<QColor>>("quadrants");

    QTest::newRow("colour, full size") << "colour.jpg" << QSize(96, 64) << QSize(96, 64)
                                       << QImage::Format_RGB888 << colourQuadrants;
    QTest::newRow("colour, half") << "colour.jpg" << QSize(40, 20) << QSize(48, 32)
                                  << QImage::Format_RGB888 << colourQuadrants;
    QTest::newRow("colour, eighth")
        << "colour.jpg" << QSize(1, 1) << QSize(12, 8) << QImage::Format_RGB888 << colourQuadrants;
    QTest::newRow("progressive, full size") << "progressive.jpg" << QSize(96, 64) << QSize(96, 64)
                                            << QImage::Format_RGB888 << colourQuadrants;
    QTest::newRow("progressive, quarter") << "progressive.jpg" << QSize(24, 16) << QSize(24, 16)
                                          << QImage::Format_RGB888 << colourQuadrants;
    QTest::newRow("grey, full size") << "grey.jpg" << QSize(96, 64) << QSize(96, 64)
                                     << QImage::Format_Grayscale8 << greyQuadrants;
    QTest::newRow("grey, three eighths") << "grey.jpg" << QSize(30, 20) << QSize(36, 24)
                                         << QImage::Format_Grayscale8 << greyQuadrants;
}

void PictureTest::decodesTestPictures()
{
    QFETCH(QString, file);
    QFETCH(QSize, fill);
    QFETCH(QSize, size);
    QFETCH(QImage::Format, format);
    QFETCH(QList<QColor>, quadrants);

    const QByteArray jpeg = readFile(QFINDTESTDATA("data/" + file));
    QVERIFY(!jpeg.isEmpty());
    const QImage image = decodeJpeg(jpeg, fill);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.format(), format);
    for (int i = 0; i < 4; ++i) {
        const QPoint centre((i % 2 * 2 + 1) * size.width() / 4,
                            (i / 2 * 2 + 1) * size.height() / 4);
        const QColor actual = image.pixelColor(centre);
        QVERIFY2(near(actual, quadrants[i], 12),
                 qPrintable(QString("quadrant %1 is %2").arg(i).arg(actual.name())));
    }
}

void PictureTest::choosesScale_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("fill");
    QTest::addColumn<QSize>("size");

    const QSize wide(1600, 800);
    QTest::newRow("eighth covers exactly") << wide << QSize(200, 100) << QSize(200, 100);
    QTest::newRow("box at 1x") << wide << QSize(352, 112) << QSize(400, 200);
    QTest::newRow("box at 2x") << wide << QSize(704, 224) << QSize(800, 400);
    QTest::newRow("three eighths") << wide << QSize(500, 100) << QSize(600, 300);
    QTest::newRow("height decides") << wide << QSize(10, 701) << QSize(1600, 800);
    QTest::newRow("full size fits exactly") << wide << QSize(1600, 800) << QSize(1600, 800);
    QTest::newRow("wider than picture") << wide << QSize(1601, 1) << QSize(1600, 800);
    QTest::newRow("taller than picture") << wide << QSize(1, 900) << QSize(1600, 800);
    QTest::newRow("no fill") << wide << QSize(0, 0) << QSize(200, 100);
    QTest::newRow("odd size rounds up") << QSize(1601, 799) << QSize(201, 100) << QSize(201, 100);
    QTest::newRow("odd size just short") << QSize(1601, 799) << QSize(202, 100) << QSize(401, 200);
    QTest::newRow("small picture") << QSize(300, 90) << QSize(352, 112) << QSize(300, 90);
    QTest::newRow("large, box at 1x") << QSize(4000, 3000) << QSize(352, 112) << QSize(500, 375);
    QTest::newRow("large, box at 4x") << QSize(4000, 3000) << QSize(1408, 448) << QSize(1500, 1125);
}

void PictureTest::choosesScale()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, fill);
    QFETCH(QSize, size);

    const QImage image = decodeJpeg(gradientJpeg(picture), fill);
    QCOMPARE(image.size(), size);
    // The rows must land where they belong: check the gradient along the diagonal.
    for (int quarter = 1; quarter <= 3; ++quarter) {
        const int x = size.width() * quarter / 4;
        const int y = size.height() * quarter / 4;
        const QColor expected((2 * x + 1) * 255 / (2 * size.width()),
                              (2 * y + 1) * 255 / (2 * size.height()), 128);
        const QColor actual = image.pixelColor(x, y);
        QVERIFY2(near(actual, expected, 6), qPrintable(QString("(%1, %2) is %3, not %4")
                                                           .arg(x)
                                                           .arg(y)
                                                           .arg(actual.name(), expected.name())));
    }
}

void PictureTest::skipsSegmentsAcrossBlocks_data()
{
    QTest::addColumn<int>("length");

    // The comment's bytes start 6 bytes into the first 4096-byte block.
    QTest::newRow("within the first block") << 100;
    QTest::newRow("to the end of the block") << 4090;
    QTest::newRow("one byte into the next") << 4091;
    QTest::newRow("over a whole block") << 8200;
    QTest::newRow("longest segment") << 65533;
}

void PictureTest::skipsSegmentsAcrossBlocks()
{
    QFETCH(int, length);

    const QByteArray jpeg = readFile(QFINDTESTDATA("data/colour.jpg"));
    QVERIFY(!jpeg.isEmpty());
    const QImage expected = decodeJpeg(jpeg, QSize(96, 64));
    QVERIFY(!expected.isNull());
    QCOMPARE(decodeJpeg(withComment(jpeg, length), QSize(96, 64)), expected);
}

void PictureTest::rejectsDamagedPictures_data()
{
    QTest::addColumn<QByteArray>("jpeg");

    const QByteArray colour = readFile(QFINDTESTDATA("data/colour.jpg"));
    QByteArray noFrame = colour;
    noFrame.replace(QByteArray("\xFF\xC0", 2), QByteArray("\xFF\x01", 2));
    QByteArray zeroWidth = colour;
    const qsizetype frame = colour.indexOf(QByteArray("\xFF\xC0", 2));
    zeroWidth[frame + 7] = 0; // width is at offset 7 and 8 of the frame header
    zeroWidth[frame + 8] = 0;

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a picture") << QByteArray("GIF89a this is not a JPEG at all");
    QTest::newRow("start marker only") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("end marker missing") << colour.chopped(2);
    QTest::newRow("no frame header") << noFrame;
    QTest::newRow("zero width") << zeroWidth;
    QTest::newRow("garbage after the start marker")
        << QByteArray("\xFF\xD8", 2) + QByteArray(5000, '\x5A');
    QTest::newRow("cut inside a skipped segment") << withComment(colour, 20000).left(9000);
    QTest::newRow("CMYK") << readFile(QFINDTESTDATA("data/cmyk.jpg"));
}

void PictureTest::rejectsDamagedPictures()
{
    QFETCH(QByteArray, jpeg);

    const WarningLog log;
    QVERIFY(decodeJpeg(jpeg, QSize(96, 64)).isNull());
    QVERIFY2(log.reportedJpegProblem(), qPrintable(reportedWarnings.join('\n')));
}

void PictureTest::rejectsEveryTruncation_data()
{
    QTest::addColumn<QString>("file");

    QTest::newRow("colour") << "colour.jpg";
    QTest::newRow("progressive") << "progressive.jpg";
    QTest::newRow("grey") << "grey.jpg";
}

void PictureTest::rejectsEveryTruncation()
{
    QFETCH(QString, file);

    const QByteArray jpeg = readFile(QFINDTESTDATA("data/" + file));
    QVERIFY(!jpeg.isEmpty());
    const WarningLog log;
    for (qsizetype length = 0; length < jpeg.size(); ++length)
        QVERIFY2(decodeJpeg(jpeg.left(length), QSize(96, 64)).isNull(),
                 qPrintable(QString("cut at %1 of %2").arg(length).arg(jpeg.size())));
}

void PictureTest::survivesFlippedBytes()
{
    // Some flipped bytes only change the colours, but the picture must keep its size or be
    // rejected, and the program must live through all of them.
    for (const char* file : {"colour.jpg", "progressive.jpg"}) {
        const QByteArray jpeg = readFile(QFINDTESTDATA(QString("data/") + file));
        QVERIFY(!jpeg.isEmpty());
        const WarningLog log;
        int rejected = 0;
        for (qsizetype i = 0; i < jpeg.size(); ++i) {
            QByteArray flipped = jpeg;
            flipped[i] = char(~flipped[i]);
            const QImage image = decodeJpeg(flipped, QSize(96, 64));
            QVERIFY2(image.isNull() || image.size() == QSize(96, 64),
                     qPrintable(QString("%1 flipped at %2").arg(file).arg(i)));
            rejected += image.isNull();
        }
        QVERIFY2(rejected > 0, file);
    }
}

void PictureTest::decodesShippedPicture()
{
    const QByteArray jpeg = readFile(":/assets/picture.jpg");
    QVERIFY2(!jpeg.isEmpty(), "the picture is not among the resources");
    const QImage full = decodeJpeg(jpeg, QSize(704, 224));
    QCOMPARE(full.size(), QSize(704, 224));
    QCOMPARE(decodeJpeg(jpeg, QSize(352, 112)).size(), QSize(352, 112));

    // Fire: red outweighs green, and green outweighs blue, over the whole picture.
    qint64 red = 0, green = 0, blue = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x) {
            const QColor colour = full.pixelColor(x, y);
            red += colour.red();
            green += colour.green();
            blue += colour.blue();
        }
    QVERIFY(red > green && green > blue);
}

void PictureTest::shipsImages_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("alpha");

    QTest::newRow("icon") << ":/assets/icon.png" << QSize(48, 48) << false;
    QTest::newRow("pointer") << ":/assets/pointer.png" << QSize(32, 32) << true;
}

void PictureTest::shipsImages()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, alpha);

    const QImage image(path);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.hasAlphaChannel(), alpha);
}

void PictureTest::pointerTipIsOnHotSpot()
{
    const QImage pointer = QImage(":/assets/pointer.png").convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!pointer.isNull());
    const QPoint hotSpot(9, 8);
    QCOMPARE(qAlpha(pointer.pixel(hotSpot)), 255);
    // Only the glow, never the arrow itself, lies above or left of the tip.
    for (int y = 0; y < pointer.height(); ++y)
        for (int x = 0; x < pointer.width(); ++x)
            if (x < hotSpot.x() || y < hotSpot.y())
                QVERIFY2(qAlpha(pointer.pixel(x, y)) < 255,
                         qPrintable(QString("solid at (%1, %2)").arg(x).arg(y)));
}

INSPECTION_TEST_MAIN(PictureTest)
#include "test_picture.moc"
