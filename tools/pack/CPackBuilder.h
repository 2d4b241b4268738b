#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class CLanguageModelFile;

// Builds the whole data pack into one directory from the dictionary sources,
// a language model's bigrams and the hand-kept sources: bs.dat, word.idx,
// word.dat, Symbols.txt and the two keyboard images. The same code builds the
// Simplified and the Traditional pack; they differ in their sources and in
// the choices Traditional sets.
class CPackBuilder
{
public:
    struct TOptions {
        QString StrokeDict; // stroke orders (h s p n z codes)
        QString WordDict;   // weighted characters and words
        QString DataDir;    // Symbols.utf8.txt and keyboards.json
        QString OutDir;
        QString Model;      // KenLM language model; none: in-word followers only
        QString OpenCC;     // OpenCC configuration the model's words are converted with, if any
        bool Traditional = false; // Taiwan stroke orders first, corner quotes
    };

    CPackBuilder();
    ~CPackBuilder();

    // False with a message in error on the first problem; Report() then
    // holds what was done before it. A model named again by the next Run is
    // not read again.
    bool Run(const TOptions& options, QString* error);

    // One line per fact worth knowing about the built pack.
    const QStringList& Report() const { return m_report; }

private:
    bool WriteFile(const QString& name, const QByteArray& bytes, QString* error);

    QString m_outDir;
    std::unique_ptr<CLanguageModelFile> m_model;
    QString m_modelName;
    QStringList m_report;
};
