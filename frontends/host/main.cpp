// diroru_host: a small input-method manager. It loads the DiroruDIV plug-in
// with dlopen, shows its panel under a text field and puts the keys it sends
// into the field. With a display it opens a window; without one, or when a
// script is given, it replays a scripted typing session on Qt's offscreen
// platform and prints what the panel shows after every tap.

#include "HostWindow.h"
#include "InputMethodManager.h"
#include "ScriptSession.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLineEdit>
#include <QPixmap>
#include <QTextStream>

#include <vector>

#ifndef DIRORU_DEFAULT_PLUGIN
#define DIRORU_DEFAULT_PLUGIN "libDiroruDIV.so.1"
#endif
#ifndef DIRORU_DEFAULT_SCRIPT
#define DIRORU_DEFAULT_SCRIPT ""
#endif

namespace {

struct Options {
    QCommandLineOption plugin{QStringLiteral("plugin"),
                              QStringLiteral("The input-method library to load (default: %1).")
                                  .arg(QLatin1String(DIRORU_DEFAULT_PLUGIN)),
                              QStringLiteral("path"), QStringLiteral(DIRORU_DEFAULT_PLUGIN)};
    QCommandLineOption script{QStringLiteral("script"),
                              QStringLiteral("Replay the typing session in this file instead of opening "
                                             "a window (the default without a display)."),
                              QStringLiteral("file")};
    QCommandLineOption screenshot{QStringLiteral("screenshot"),
                                  QStringLiteral("Save the window as PNG at the end of the session."),
                                  QStringLiteral("path")};

    void addTo(QCommandLineParser& parser)
    {
        parser.setApplicationDescription(QStringLiteral(
            "Runs the DiroruDIV stroke input method under a text field. The data directory "
            "comes from tarvin.cfg ([BH] InstallDir) in $IM_SETTING_DIR."));
        parser.addHelpOption();
        parser.addOptions({plugin, script, screenshot});
    }
};

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool saveScreenshot(QWidget& window, const QString& path, QTextStream& out)
{
    if (path.isEmpty())
        return true;
    if (!window.grab().save(path, "PNG")) {
        out << "cannot write the screenshot " << path << Qt::endl;
        return false;
    }
    out << "screenshot saved to " << path << Qt::endl;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // The platform must be chosen before the application object exists, so
    // the options are read once here and again, with --help, below. Qt takes
    // "-plugin <name>" for itself, so ours is taken out of what Qt sees.
    Options options;
    QString pluginPath = QStringLiteral(DIRORU_DEFAULT_PLUGIN);
    std::vector<char*> qtArguments;
    {
        QCommandLineParser early;
        options.addTo(early);
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        early.parse(arguments);
        if (early.isSet(options.plugin))
            pluginPath = early.value(options.plugin);
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && (early.isSet(options.script) || !hasDisplay()))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        for (int i = 0; i < argc; ++i) {
            const QByteArray arg(argv[i]);
            if (arg == "--plugin" || arg == "-plugin") {
                ++i;
                continue;
            }
            if (arg.startsWith("--plugin=") || arg.startsWith("-plugin="))
                continue;
            qtArguments.push_back(argv[i]);
        }
    }
    int qtArgc = int(qtArguments.size());
    qtArguments.push_back(nullptr);

    QApplication app(qtArgc, qtArguments.data());
    QCoreApplication::setApplicationName(QStringLiteral("diroru_host"));
    QCommandLineParser parser;
    options.addTo(parser);
    parser.process(app);

    QTextStream out(stdout);
    const QString platform = QGuiApplication::platformName();
    const bool scripted = parser.isSet(options.script) || platform == QLatin1String("offscreen")
                          || platform == QLatin1String("minimal");

    InputMethodManager manager;
    HostWindow window(&manager);
    QString error;
    if (!manager.load(pluginPath, window.service(), &error)) {
        out << "cannot load the input method from " << pluginPath << ": " << error << Qt::endl;
        return 1;
    }
    window.attachPanel(manager.panel());
    window.show();
    out << "input method: " << manager.inputMethodName() << " (" << manager.description() << ")" << Qt::endl;

    int status = 0;
    if (scripted) {
        QString scriptPath = parser.value(options.script);
        if (scriptPath.isEmpty())
            scriptPath = QStringLiteral(DIRORU_DEFAULT_SCRIPT);
        out << "script: " << scriptPath << Qt::endl;
        ScriptSession session(&window, &manager, out);
        if (!session.runFile(scriptPath))
            status = 1;
    } else {
        status = app.exec();
    }
    if (!saveScreenshot(window, parser.value(options.screenshot), out))
        status = 1;
    out << "final text: " << window.field()->text() << Qt::endl;

    // Hide first so learned weights are written, then let the component go
    // while our window still exists.
    manager.shutdown();
    return status;
}
