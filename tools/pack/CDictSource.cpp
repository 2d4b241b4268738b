#include "CDictSource.h"

#include <QFile>

bool CDictSource::Load(const QString& fileName, QString* error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    Parse(file.readAll());
    return true;
}

void CDictSource::Parse(const QByteArray& utf8)
{
    m_entries.clear();
    const QStringList lines = QString::fromUtf8(utf8).split(QLatin1Char('\n'));

    // The entries follow the header's end marker; a file without a header is
    // all entries.
    qsizetype first = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() == QLatin1String("...")) {
            first = i + 1;
            break;
        }
    }

    for (qsizetype i = first; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 2 || fields[0].isEmpty())
            continue;
        TEntry entry;
        entry.Text = fields.takeFirst();
        entry.Columns = fields;
        m_entries.append(entry);
    }
}
