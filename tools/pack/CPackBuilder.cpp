#include "CPackBuilder.h"

#include "CAssociationWriter.h"
#include "CDictSource.h"
#include "CFrequencyTable.h"
#include "CGifWriter.h"
#include "CKeyboardPainter.h"
#include "CLanguageModelFile.h"
#include "CStrokeDictWriter.h"
#include "CStrokeTable.h"
#include "CSymbolFileWriter.h"
#include "CModelFollowers.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

CPackBuilder::CPackBuilder() = default;
CPackBuilder::~CPackBuilder() = default;

bool CPackBuilder::WriteFile(const QString& name, const QByteArray& bytes, QString* error)
{
    QSaveFile file(m_outDir + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    m_report << QStringLiteral("%1: %2 bytes").arg(name).arg(bytes.size());
    return true;
}

bool CPackBuilder::Run(const TOptions& options, QString* error)
{
    m_report.clear();
    QString dummy;
    if (!error)
        error = &dummy;
    m_outDir = QDir(options.OutDir).absolutePath() + QLatin1Char('/');
    if (!QDir().mkpath(m_outDir)) {
        *error = QStringLiteral("cannot create %1").arg(m_outDir);
        return false;
    }

    CDictSource strokeSource, wordSource;
    if (!strokeSource.Load(options.StrokeDict, error) || !wordSource.Load(options.WordDict, error))
        return false;
    CModelFollowers followers;
    if (!options.Model.isEmpty()) {
        if (!m_model || m_modelName != options.Model) {
            m_model.reset(new CLanguageModelFile);
            m_modelName.clear();
            if (!m_model->Open(options.Model, error))
                return false;
            m_modelName = options.Model;
        }
        if (!followers.Load(*m_model, options.OpenCC, error))
            return false;
    }
    CStrokeTable strokes;
    strokes.Load(strokeSource, options.Traditional ? CStrokeTable::TStandard::Taiwan : CStrokeTable::TStandard::Mainland);
    CFrequencyTable frequency;
    frequency.Load(wordSource);
    if (strokes.Orders().empty()) {
        *error = QStringLiteral("%1 holds no stroke order of a character from U+4E00 to U+9FA5").arg(options.StrokeDict);
        return false;
    }
    const CStrokeTable::TStats& s = strokes.Stats();
    m_report << QStringLiteral("characters: %1; placeholder codes dropped: %2; invalid codes: %3; "
                               "duplicate orders: %4; orders cut to 25 strokes: %5")
                    .arg(strokes.Orders().size()).arg(s.Placeholders).arg(s.Invalid).arg(s.Duplicates).arg(s.Truncated);

    const QList<char16_t> byFrequency = CStrokeDictWriter::MainOrder(strokes, frequency);
    if (!WriteFile(QStringLiteral("bs.dat"), CStrokeDictWriter::Build(strokes, frequency), error))
        return false;

    // Every character gets an association list, padded with the commonest
    // word starts, so that learning works after any character.
    m_report << QStringLiteral("language-model bigrams used: %1").arg(followers.BigramCount());
    CAssociationWriter association;
    const QList<char16_t> fillers = frequency.ByStartFrequency(byFrequency);
    association.Build(frequency, followers, byFrequency, fillers.mid(0, 200));
    if (!WriteFile(QStringLiteral("word.idx"), association.Index(), error)
        || !WriteFile(QStringLiteral("word.dat"), association.Data(), error))
        return false;

    const QString dataDir = QDir(options.DataDir).absolutePath() + QLatin1Char('/');
    QFile symbolSource(dataDir + QStringLiteral("Symbols.utf8.txt"));
    if (!symbolSource.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(symbolSource.fileName());
        return false;
    }
    QByteArray symbols;
    QString symbolError;
    if (!CSymbolFileWriter::Convert(symbolSource.readAll(), &symbols, &symbolError, options.Traditional)) {
        *error = symbolSource.fileName() + QStringLiteral(": ") + symbolError;
        return false;
    }
    if (!WriteFile(QStringLiteral("Symbols.txt"), symbols, error))
        return false;

    QFile layoutFile(dataDir + QStringLiteral("keyboards.json"));
    QJsonParseError parseError;
    const QJsonDocument layouts = layoutFile.open(QIODevice::ReadOnly)
        ? QJsonDocument::fromJson(layoutFile.readAll(), &parseError) : QJsonDocument();
    if (!layouts.isObject()) {
        *error = QStringLiteral("cannot read the keyboard layouts in %1").arg(layoutFile.fileName());
        return false;
    }
    const QJsonArray keyboards = layouts.object().value(QStringLiteral("keyboards")).toArray();
    for (const QJsonValue& value : keyboards) {
        const QJsonObject layout = value.toObject();
        const QString name = layout.value(QStringLiteral("file")).toString();
        if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
            *error = QStringLiteral("a keyboard layout lacks a plain file name");
            return false;
        }
        QString paintError;
        const QImage image = CKeyboardPainter::Paint(layout, &paintError);
        if (image.isNull()) {
            *error = name + QStringLiteral(": ") + paintError;
            return false;
        }
        QByteArray gif;
        if (!CGifWriter::Encode(image, &gif, error) || !WriteFile(name, gif, error))
            return false;
    }
    return true;
}
