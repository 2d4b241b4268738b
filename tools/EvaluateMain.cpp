// diroru_typingeffort: taps per Chinese character for a text on a pack.

#include "CTypingEvaluator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Types UTF-8 text through the stroke keyboard's rules (pages of five, the promoted cells 0 and 4,\n"
        "association pages of ten) with a user who always takes the fewest taps, on the shipped pack,\n"
        "and reports taps per Chinese character without learning and with it (each choice updating the\n"
        "association lists as the keyboard does). Reads the files given, or standard input."));
    parser.addHelpOption();
    const QCommandLineOption packOption(QStringLiteral("pack"), QStringLiteral("The pack folder (default: current folder)."),
                                        QStringLiteral("dir"), QStringLiteral("."));
    parser.addOption(packOption);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("UTF-8 text files."), QStringLiteral("[files...]"));
    parser.process(app);

    CTypingEvaluator evaluator;
    if (!evaluator.Load(parser.value(packOption))) {
        QTextStream(stderr) << "diroru_typingeffort: cannot read the pack in " << parser.value(packOption) << '\n';
        return 2;
    }
    QString text;
    if (parser.positionalArguments().isEmpty()) {
        QFile in;
        if (in.open(stdin, QIODevice::ReadOnly))
            text = QString::fromUtf8(in.readAll());
    }
    for (const QString& name : parser.positionalArguments()) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            QTextStream(stderr) << "diroru_typingeffort: cannot read " << name << '\n';
            return 2;
        }
        text += QString::fromUtf8(file.readAll()) + QLatin1Char('\n');
    }

    QTextStream out(stdout);
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(3);
    for (const bool learn : {false, true}) {
        const CTypingEvaluator::TResult r = evaluator.Type(text, learn);
        const double n = r.Chinese ? double(r.Chinese) : 1.0;
        out << (learn ? "\nwith learning:\n" : "without learning:\n")
            << "Chinese characters typed:                 " << r.Chinese << '\n'
            << "not found in the pack:                    " << r.NotFound << '\n'
            << "taps per character, every stroke + choice: " << r.AllStrokes / n << '\n'
            << "taps per character, strokes and paging:    " << r.StrokesOnly / n << '\n'
            << "taps per character, with association and promotion: " << r.Best / n << '\n'
            << "share typed in one tap:                   " << 100.0 * r.OneTap / n << " %\n"
            << "taken from association pages:             " << 100.0 * r.ByAssociation / n << " %\n"
            << "taken from promoted cells:                " << 100.0 * r.ByPromotion / n << " %\n";
    }
    return 0;
}
