#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Decodes a JPEG with libjpeg into an RGB image no smaller than `fill` device pixels
// in either direction where the picture allows, using DCT scaling so that a large
// picture is never held at full size. A corrupt or truncated picture gives a null image.
QImage decodeJpeg(const QByteArray& jpeg, QSize fill);
