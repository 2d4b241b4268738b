// diroru_packcheck: checks a data pack and exits non-zero on any problem.

#include "CPackChecker.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Checks a data pack: record sizes, stroke codes, repeated records, index order, "
        "offsets and counts inside word.dat, Symbols.txt and the keyboard images.\n"
        "Exit status 0 when no problem is found, 1 otherwise."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("dir"), QStringLiteral("The pack folder."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        QTextStream(stderr) << "diroru_packcheck: give one pack folder (see --help)\n";
        return 2;
    }
    CPackChecker checker;
    checker.Check(parser.positionalArguments().first());
    QTextStream out(stdout);
    for (const QString& note : checker.Notes())
        out << note << '\n';
    for (const QString& problem : checker.Problems())
        out << "PROBLEM: " << problem << '\n';
    out << (checker.Problems().isEmpty() ? "pack OK\n" : "pack has problems\n");
    return checker.Problems().isEmpty() ? 0 : 1;
}
