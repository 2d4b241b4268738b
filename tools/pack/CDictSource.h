#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One table of a tab-separated dictionary source: every entry line is
// "text<TAB>column<TAB>..." after an optional YAML header that ends in a
// line holding only "...". Comment lines (#) and blank lines are skipped.
class CDictSource
{
public:
    struct TEntry {
        QString Text;
        QStringList Columns; // the fields after the text
    };

    // Reads the file; false (with a message in error) when it cannot be read.
    bool Load(const QString& fileName, QString* error = nullptr);
    // Parses text already in memory, as Load does with a file's contents.
    void Parse(const QByteArray& utf8);

    const QList<TEntry>& Entries() const { return m_entries; }

private:
    QList<TEntry> m_entries;
};
