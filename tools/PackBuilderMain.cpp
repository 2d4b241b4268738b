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
        "Builds the data pack (bs.dat, word.idx, word.dat, Symbols.txt and the two keyboard images).\n"
        "Same inputs give byte-identical outputs."));
    parser.addHelpOption();
    const QCommandLineOption stroke(QStringLiteral("stroke"), QStringLiteral("Stroke-order dictionary (h s p n z codes)."),
                                    QStringLiteral("file"), QStringLiteral("/usr/share/rime-data/stroke.dict.yaml"));
    const QCommandLineOption words(QStringLiteral("words"), QStringLiteral("Weighted character and word list."),
                                   QStringLiteral("file"), QStringLiteral("/usr/share/rime-data/pinyin_simp.dict.yaml"));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Folder of Symbols.utf8.txt and keyboards.json."),
                                  QStringLiteral("dir"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder the pack is written to."),
                                 QStringLiteral("dir"));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("KenLM binary language model whose bigrams give the cross-word followers."),
                                   QStringLiteral("file"));
    const QCommandLineOption opencc(QStringLiteral("opencc"),
                                    QStringLiteral("OpenCC configuration to convert the model's words with (e.g. s2tw.json)."),
                                    QStringLiteral("config"));
    const QCommandLineOption traditional(QStringLiteral("traditional"),
                                         QStringLiteral("Taiwan's stroke orders as main records, corner quotes 「」『』."));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Print nothing but errors."));
    parser.addOptions({stroke, words, data, out, model, opencc, traditional, quiet});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(data) || !parser.isSet(out)) {
        err << "diroru_packbuilder: --data and --out are required (see --help)\n";
        return 2;
    }
    CPackBuilder builder;
    QString error;
    const bool ok = builder.Run({parser.value(stroke), parser.value(words), parser.value(data), parser.value(out),
                                 parser.value(model), parser.value(opencc), parser.isSet(traditional)},
                                &error);
    if (!parser.isSet(quiet) || !ok) {
        QTextStream report(stdout);
        for (const QString& line : builder.Report())
            report << line << '\n';
    }
    if (!ok) {
        err << "diroru_packbuilder: " << error << '\n';
        return 1;
    }
    return 0;
}
