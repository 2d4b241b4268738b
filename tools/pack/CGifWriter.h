#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Writes a QImage as a single-frame GIF with giflib. An image of at most 256
// colours keeps them exactly; a richer one is reduced with giflib's
// median-cut quantiser. Both paths are deterministic.
class CGifWriter
{
public:
    static bool Encode(const QImage& image, QByteArray* gif, QString* error);
};
