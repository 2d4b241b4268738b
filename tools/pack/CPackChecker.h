#pragma once

#include <QString>
#include <QStringList>

// Checks a data pack against the file formats: record sizes, stroke codes,
// duplicates, the association index order and the ranges it points at in
// word.dat, the symbol file's lines and the two keyboard images. Problems
// are what would make the input method misbehave; notes are plain facts.
class CPackChecker
{
public:
    void Check(const QString& dir);

    const QStringList& Problems() const { return m_problems; }
    const QStringList& Notes() const { return m_notes; }

private:
    void CheckStrokes(const QString& dir);
    void CheckAssociations(const QString& dir);
    void CheckSymbols(const QString& dir);
    void CheckImage(const QString& dir, const QString& name);

    QStringList m_problems;
    QStringList m_notes;
};
