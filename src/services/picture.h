#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Decodes a JPEG with libjpeg into a Format_RGB888 image (Format_Grayscale8 for a grey
// picture) no smaller than `fill` device pixels in either direction where the picture allows,
// using DCT scaling so that a large picture is never held at full size. A corrupt, truncated
// or CMYK picture gives a null image, and libjpeg's message goes to qWarning().
QImage decodeJpeg(const QByteArray& jpeg, QSize fill);
