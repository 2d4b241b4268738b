// diroru_packbuilder: builds the data pack of the input method.

#include "CPackBuilder.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    // The keyboard images are painted with fonts, which needs a GUI
    // application but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Builds the Simplified data pack (--out) and the Traditional one (--traditional-out), each of\n"
        "bs.dat, word.idx, word.dat, Symbols.txt and the two keyboard images, reading the language model\n"
        "once for both. Same inputs give byte-identical outputs."));
    parser.addHelpOption();
    const QCommandLineOption stroke(QStringLiteral("stroke"), QStringLiteral("Stroke-order dictionary (h s p n z codes)."),
                                    QStringLiteral("file"), QStringLiteral("/usr/share/rime-data/stroke.dict.yaml"));
    const QCommandLineOption words(QStringLiteral("words"), QStringLiteral("Weighted Simplified character and word list."),
                                   QStringLiteral("file"), QStringLiteral("/usr/share/rime-data/pinyin_simp.dict.yaml"));
    const QCommandLineOption traditionalWords(QStringLiteral("traditional-words"),
                                              QStringLiteral("Weighted Traditional character and word list."),
                                              QStringLiteral("file"), QStringLiteral("/usr/share/rime-data/essay.txt"));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Folder of Symbols.utf8.txt and keyboards.json."),
                                  QStringLiteral("dir"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder the Simplified pack is written to."),
                                 QStringLiteral("dir"));
    const QCommandLineOption traditionalOut(QStringLiteral("traditional-out"),
                                            QStringLiteral("Folder the Traditional pack (Taiwan's stroke orders as main "
                                                           "records, corner quotes 「」『』) is written to."),
                                            QStringLiteral("dir"));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("KenLM binary language model whose bigrams give followers across words."),
                                   QStringLiteral("file"));
    const QCommandLineOption opencc(QStringLiteral("opencc"),
                                    QStringLiteral("OpenCC configuration that makes the model's words Traditional."),
                                    QStringLiteral("config"), QStringLiteral("/usr/share/opencc/s2twp.json"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Print nothing but errors."));
    parser.addOptions({stroke, words, traditionalWords, data, out, traditionalOut, model, opencc, quiet});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(data) || (!parser.isSet(out) && !parser.isSet(traditionalOut))) {
        err << "diroru_packbuilder: --data and --out or --traditional-out are required (see --help)\n";
        return 2;
    }
    QList<CPackBuilder::TOptions> packs;
    if (parser.isSet(out))
        packs.append({parser.value(stroke), parser.value(words), parser.value(data), parser.value(out),
                      parser.value(model), QString(), false});
    if (parser.isSet(traditionalOut))
        packs.append({parser.value(stroke), parser.value(traditionalWords), parser.value(data),
                      parser.value(traditionalOut), parser.value(model), parser.value(opencc), true});
    CPackBuilder builder;
    QTextStream report(stdout);
    for (const CPackBuilder::TOptions& pack : packs) {
        QString error;
        const bool ok = builder.Run(pack, &error);
        if (!parser.isSet(quiet) || !ok) {
            report << pack.OutDir << ":\n";
            for (const QString& line : builder.Report())
                report << "  " << line << '\n';
        }
        if (!ok) {
            report.flush();
            err << "diroru_packbuilder: " << error << '\n';
            return 1;
        }
    }
    return 0;
}
