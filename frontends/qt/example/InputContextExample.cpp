// diroru_inputcontext_example: a stock Qt Widgets window with a QLineEdit,
// typed into through the "diroru" input context and saved as a picture.
// The window knows nothing of the input method: QT_IM_MODULE selects it. The
// driver part below only taps the panel the input context shows, as a finger
// would, and composes the two windows into one PNG.
//
//   diroru_inputcontext_example [output.png]
//
// Without IM_SETTING_DIR it types on a scratch copy of the build's data pack,
// so the pack's word.dat learns nothing.

#include "KeyGrid.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextStream>

#include <optional>

namespace {

void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

QWidget* findPanel()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("IM_Stroke_Widget") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

QStringList cells(QWidget* panel)
{
    QVariantMap state;
    QMetaObject::invokeMethod(panel, "panelState", Qt::DirectConnection, Q_RETURN_ARG(QVariantMap, state));
    return state.value(QStringLiteral("cells")).toStringList();
}

void tap(QWidget* panel, int key)
{
    const QPointF at = QRectF(KeyGrid::KeyRect(key)).center();
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, panel->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(panel, &event);
    }
    settle();
}

// Types one character: from the association cells when it is there, else by
// its strokes (digits 1 to 5) and the candidate pages.
bool typeCharacter(QWidget* panel, QChar character, const char* strokes)
{
    qsizetype at = cells(panel).indexOf(QString(character));
    if (at < 0) {
        for (const char* s = strokes; *s; ++s)
            tap(panel, KeyGrid::StrokeKey(*s));
        for (int page = 0; page < 20 && (at = cells(panel).mid(5).indexOf(QString(character))) < 0; ++page)
            tap(panel, KeyGrid::KeyNext);
        if (at < 0)
            return false;
        at += 5;
    }
    tap(panel, int(at));
    return true;
}

// A scratch data directory holding a copy of the pack and its tarvin.cfg.
std::optional<QTemporaryDir> scratchSettings()
{
    std::optional<QTemporaryDir> dir;
    if (!qEnvironmentVariableIsEmpty("IM_SETTING_DIR"))
        return dir;
    dir.emplace();
    const QDir pack(QStringLiteral(DIRORU_PACK_DIR));
    const QString data = dir->filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    for (const QString& name : pack.entryList(QDir::Files))
        QFile::copy(pack.filePath(name), data + QLatin1Char('/') + name);
    QFile config(dir->filePath(QStringLiteral("tarvin.cfg")));
    if (config.open(QIODevice::WriteOnly))
        config.write("[BH]\nInstallDir=" + data.toUtf8() + "\n");
    qputenv("IM_SETTING_DIR", dir->path().toLocal8Bit());
    return dir;
}

QImage compose(const QList<QWidget*>& windows)
{
    QRect area;
    for (QWidget* window : windows)
        area |= window->frameGeometry();
    area.adjust(-12, -12, 12, 12);
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(QColor(0xd8, 0xdc, 0xe0));
    QPainter painter(&image);
    for (QWidget* window : windows) {
        const QRect frame = window->frameGeometry().translated(-area.topLeft());
        painter.fillRect(frame.adjusted(-1, -1, 1, 1), QColor(0x80, 0x86, 0x8c));
        painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_IM_MODULE"))
        qputenv("QT_IM_MODULE", "diroru");
    if (qEnvironmentVariableIsEmpty("QT_PLUGIN_PATH"))
        qputenv("QT_PLUGIN_PATH", DIRORU_QTPLUGIN_PATH);
    const auto scratch = scratchSettings();
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("inputcontext-example.png");

    // The application: a stock window and line edit.
    QWidget window;
    window.setWindowTitle(QStringLiteral("A plain Qt application"));
    auto* form = new QFormLayout(&window);
    auto* field = new QLineEdit;
    field->setMinimumWidth(260);
    form->addRow(new QLabel(QStringLiteral("Message:")), field);
    // Just above where the panel will appear, so the picture stays small.
    window.adjustSize();
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center().x() - window.width() / 2, screen.bottom() - 144 - window.height() - 24);
    window.show();
    field->setFocus();
    settle();

    QWidget* panel = findPanel();
    if (!panel) {
        out << "no stroke panel appeared: is QT_IM_MODULE=diroru and the plug-in on QT_PLUGIN_PATH?" << Qt::endl;
        return 1;
    }
    // 你好, then the first strokes of 中: the panel shows them and their
    // candidates.
    if (!typeCharacter(panel, u'你', "3235") || !typeCharacter(panel, u'好', "531521")) {
        out << "the data pack lacks the example's characters" << Qt::endl;
        return 1;
    }
    for (int key : {12, 17, 11})
        tap(panel, key);

    if (!compose({&window, panel}).save(output, "PNG")) {
        out << "cannot write " << output << Qt::endl;
        return 1;
    }
    out << "typed \"" << field->text() << "\"; picture saved to " << output << Qt::endl;
    return field->text() == QStringLiteral("你好") ? 0 : 1;
}
