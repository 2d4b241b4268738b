// diroru_lookup: shows what the keyboard would offer for a stroke code or
// after a character.

#include "CBHWordLib.h"
#include "CWordTable.h"
#include "ChineseChar.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

int lookupCode(const QString& pack, const QString& code, int pages, QTextStream& out)
{
    CBHWordLib lib(pack + QStringLiteral("bs.dat"));
    lib.PageSize = 5;
    lib.OpenFile();
    if (!lib.Query(code)) {
        out << code << ": no candidates\n";
        return 1;
    }
    for (int page = 1; page <= pages; ++page) {
        QStringList cells;
        lib.PageFirst();
        cells << lib.RecValue();
        for (int i = 1; i < 5 && lib.Next(); ++i)
            cells << lib.RecValue();
        out << code << " page " << page << ": " << cells.join(QLatin1Char(' ')) << '\n';
        if (!lib.NextPage())
            break;
    }
    return 0;
}

int lookupChar(const QString& pack, QChar c, QTextStream& out)
{
    CWordTable table(pack + QStringLiteral("word.idx"), pack + QStringLiteral("word.dat"));
    table.OpenFile();
    if (!table.Query(c.unicode())) {
        out << c << ": no association list\n";
        return 1;
    }
    for (int i = 0; i < table.WordCount; ++i) {
        if (i % 10 == 0)
            out << (i ? "\n" : "") << c << " page " << (i / 10 + 1) << ":";
        out << ' ' << table.GetWord(i) << table.WordList[i].Ref;
    }
    out << '\n';
    table.CloseFile();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Looks things up in a data pack.\n"
        "A stroke code (digits 1-5 for 一丨丿丶乛, 7 for any stroke) lists its candidate pages of five;\n"
        "a Chinese character lists its association list, ten to a page, each follower with its weight."));
    parser.addHelpOption();
    const QCommandLineOption packOption(QStringLiteral("pack"), QStringLiteral("The pack folder (default: current folder)."),
                                        QStringLiteral("dir"), QStringLiteral("."));
    const QCommandLineOption pagesOption(QStringLiteral("pages"), QStringLiteral("Candidate pages to show (default 4)."),
                                         QStringLiteral("n"), QStringLiteral("4"));
    parser.addOptions({packOption, pagesOption});
    parser.addPositionalArgument(QStringLiteral("query"), QStringLiteral("Stroke codes or characters."), QStringLiteral("query..."));
    parser.process(app);

    const QString pack = QDir(parser.value(packOption)).absolutePath() + QLatin1Char('/');
    QTextStream out(stdout);
    if (parser.positionalArguments().isEmpty()) {
        QTextStream(stderr) << "diroru_lookup: give a stroke code or a character (see --help)\n";
        return 2;
    }
    int status = 0;
    for (const QString& query : parser.positionalArguments()) {
        if (query.size() == 1 && IsHZ(query[0]))
            status |= lookupChar(pack, query[0], out);
        else if (!query.isEmpty() && query.size() <= 25
                 && std::all_of(query.begin(), query.end(), [](QChar c) { return c >= u'1' && c <= u'7'; }))
            status |= lookupCode(pack, query, std::max(1, parser.value(pagesOption).toInt()), out);
        else {
            QTextStream(stderr) << "diroru_lookup: " << query << " is neither a stroke code nor a Chinese character\n";
            status = 2;
        }
    }
    return status;
}
