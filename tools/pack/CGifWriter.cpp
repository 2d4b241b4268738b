#include "CGifWriter.h"

#include <gif_lib.h>

#include <QMap>

#include <vector>

namespace {

struct TIndexed {
    std::vector<GifByteType> Pixels;
    std::vector<GifColorType> Colours;
};

bool exactPalette(const QImage& image, TIndexed* out)
{
    QMap<QRgb, int> index; // ordered, so the palette is the same on every run
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            index.insert(row[x] & 0xFFFFFF, 0);
            if (index.size() > 256)
                return false;
        }
    }
    int n = 0;
    for (auto it = index.begin(); it != index.end(); ++it, ++n) {
        it.value() = n;
        out->Colours.push_back({GifByteType(qRed(it.key())), GifByteType(qGreen(it.key())), GifByteType(qBlue(it.key()))});
    }
    out->Pixels.reserve(size_t(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out->Pixels.push_back(GifByteType(index.value(row[x] & 0xFFFFFF)));
    }
    return true;
}

bool quantised(const QImage& image, TIndexed* out)
{
    const size_t n = size_t(image.width()) * image.height();
    std::vector<GifByteType> r(n), g(n), b(n);
    size_t i = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, ++i) {
            r[i] = GifByteType(qRed(row[x]));
            g[i] = GifByteType(qGreen(row[x]));
            b[i] = GifByteType(qBlue(row[x]));
        }
    }
    int size = 256;
    out->Colours.resize(256);
    out->Pixels.resize(n);
    if (GifQuantizeBuffer(unsigned(image.width()), unsigned(image.height()), &size, r.data(), g.data(), b.data(),
                          out->Pixels.data(), out->Colours.data()) != GIF_OK)
        return false;
    out->Colours.resize(size_t(size));
    return true;
}

int appendBytes(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

} // namespace

bool CGifWriter::Encode(const QImage& source, QByteArray* gifOut, QString* error)
{
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    if (source.isNull())
        return fail(QStringLiteral("no image to write"));

    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    TIndexed indexed;
    if (!exactPalette(image, &indexed)) {
        indexed = TIndexed();
        if (!quantised(image, &indexed))
            return fail(QStringLiteral("cannot reduce the image to 256 colours"));
    }

    // A GIF colour table has a power-of-two size; unused entries stay black.
    const int bits = GifBitSize(int(indexed.Colours.size()));
    std::vector<GifColorType> table(size_t(1) << bits, GifColorType{0, 0, 0});
    std::copy(indexed.Colours.begin(), indexed.Colours.end(), table.begin());
    ColorMapObject* map = GifMakeMapObject(int(table.size()), table.data());
    if (!map)
        return fail(QStringLiteral("out of memory"));

    // Encoded into memory, so that the caller writes the file like any other.
    QByteArray bytes;
    int status = 0;
    GifFileType* gif = EGifOpen(&bytes, appendBytes, &status);
    if (!gif) {
        GifFreeMapObject(map);
        return fail(QString::fromUtf8(GifErrorString(status)));
    }
    bool ok = EGifPutScreenDesc(gif, image.width(), image.height(), bits, 0, map) == GIF_OK
        && EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < image.height(); ++y)
        ok = EGifPutLine(gif, indexed.Pixels.data() + size_t(y) * image.width(), image.width()) == GIF_OK;
    const int writeError = gif->Error;
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &status) != GIF_OK)
        ok = false;
    if (!ok)
        return fail(QString::fromUtf8(GifErrorString(writeError ? writeError : status)));
    *gifOut = bytes;
    return true;
}
