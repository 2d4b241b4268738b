#include "CSymbolFileWriter.h"

#include "Gbk.h"

#include <QStringList>

bool CSymbolFileWriter::Convert(const QByteArray& utf8Source, QByteArray* gbkOut, QString* error, bool cornerQuotes)
{
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };

    QStringList lines = QString::fromUtf8(utf8Source).split(QLatin1Char('\n'));
    const qsizetype marker = lines.indexOf(QStringLiteral("---"));
    int firstLineNumber = 1;
    if (marker >= 0) {
        lines = lines.mid(marker + 1);
        firstLineNumber = int(marker) + 2;
    }
    static const QString western = QStringLiteral("“”‘’"), corner = QStringLiteral("「」『』");
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        for (QChar& c : line) {
            const qsizetype w = cornerQuotes ? western.indexOf(c) : -1;
            const qsizetype k = cornerQuotes ? corner.indexOf(c) : -1;
            if (w >= 0)
                c = corner[w];
            else if (k >= 0)
                c = western[k];
        }
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != LineCount)
        return fail(QStringLiteral("symbol source has %1 lines after its header, expected %2")
                        .arg(lines.size()).arg(LineCount));

    QByteArray out;
    for (int i = 0; i < LineCount; ++i) {
        const QString& line = lines[i];
        const int sourceLine = firstLineNumber + i;
        for (QChar c : line) {
            bool ok = false;
            toGbk(QString(c), &ok);
            if (!ok || c.isSurrogate())
                return fail(QStringLiteral("line %1: symbol U+%2 has no GBK form")
                                .arg(sourceLine).arg(c.unicode(), 4, 16, QLatin1Char('0')));
        }
        bool ok = false;
        const QByteArray bytes = toGbk(line, &ok);
        if (bytes.size() > MaxLineBytes)
            return fail(QStringLiteral("line %1: %2 bytes in GBK, at most %3 are read whole")
                            .arg(sourceLine).arg(bytes.size()).arg(MaxLineBytes));
        if (i == 8 && line.size() < 10)
            return fail(QStringLiteral("line %1: the default punctuation needs ten characters").arg(sourceLine));
        if (i >= 9) {
            line.toULong(&ok, 16);
            if (!ok)
                return fail(QStringLiteral("line %1: colour %2 is not a hexadecimal RGB value").arg(sourceLine).arg(line));
        }
        out += bytes;
        out += "\r\n";
    }
    *gbkOut = out;
    return true;
}
