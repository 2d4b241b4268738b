#include "Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// Qt decodes GBK through ICU. The decoder is made once for the process and
// stateless, so a byte sequence cut at the end of one call cannot leak into
// the next call's text.
QStringDecoder& gbkDecoder()
{
    static QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder;
}

} // namespace

QString gbk(const QByteArray& text)
{
    QStringDecoder& decoder = gbkDecoder();
    if (!decoder.isValid())
        return QString::fromLatin1(text); // no GBK codec: read the bytes as Latin-1
    return decoder.decode(text);
}

QString gbk(const char* text)
{
    if (!text)
        return QString();
    return gbk(QByteArray(text));
}

QByteArray toGbk(const QString& text, bool* ok)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) {
        if (ok)
            *ok = false;
        return QByteArray();
    }
    QByteArray out = encoder.encode(text);
    if (ok)
        *ok = !encoder.hasError();
    return out;
}
