#include "ScriptSession.h"

#include "HostWindow.h"
#include "InputMethodManager.h"
#include "KeyGrid.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QTextStream>
#include <QVariantMap>

namespace {

using namespace KeyGrid;

// Stroke digit or glyph to its key on the stroke keyboard; -1 if none.
int strokeKey(QChar c)
{
    switch (c.unicode()) {
    case u'1': case u'一': return KeyHeng;
    case u'2': case u'丨': return KeyShu;
    case u'3': case u'丿': return KeyPie;
    case u'4': case u'丶': return KeyDian;
    case u'5': case u'乛': return KeyZhe;
    case u'7': case u'?': case u'？': return KeyWildcard;
    default: return -1;
    }
}

QString strokeGlyph(int key)
{
    switch (key) {
    case KeyHeng: return QStringLiteral("一");
    case KeyShu: return QStringLiteral("丨");
    case KeyPie: return QStringLiteral("丿");
    case KeyDian: return QStringLiteral("丶");
    case KeyZhe: return QStringLiteral("乛");
    default: return QStringLiteral("？");
    }
}

// The panel's own account of what it shows, asked for by name so that the
// host needs nothing of the plug-in but the ABI header.
QVariantMap panelState(QWidget* panel)
{
    QVariantMap state;
    if (panel)
        QMetaObject::invokeMethod(panel, "panelState", Qt::DirectConnection, Q_RETURN_ARG(QVariantMap, state));
    return state;
}

// Pads text to a width in terminal columns; wide (CJK) characters take two.
QString padded(const QString& text, int columns)
{
    int width = 0;
    for (QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    return text + QString(qMax(1, columns - width), QLatin1Char(' '));
}

QString showCell(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("·");
    if (text == QLatin1String(" "))
        return QStringLiteral("␣");
    return text;
}

} // namespace

ScriptSession::ScriptSession(HostWindow* window, InputMethodManager* manager, QTextStream& out)
    : m_window(window)
    , m_manager(manager)
    , m_out(out)
{
}

QPoint ScriptSession::keyCentre(int key)
{
    const QRect r = KeyGrid::KeyRect(key);
    return QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
}

bool ScriptSession::runFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_out << "cannot read script " << path << ": " << file.errorString() << Qt::endl;
        return false;
    }
    return runLines(QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')));
}

bool ScriptSession::runLines(const QStringList& lines)
{
    m_lineNumber = 0;
    for (const QString& raw : lines) {
        ++m_lineNumber;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        const QString command = space < 0 ? line : line.left(space);
        const QString argument = space < 0 ? QString() : line.mid(space + 1).trimmed();
        m_out << "> " << line << Qt::endl;
        if (!runCommand(command.toLower(), argument))
            return false;
    }
    return true;
}

bool ScriptSession::runCommand(const QString& command, const QString& argument)
{
    if (command == QLatin1String("stroke")) {
        QString strokes = argument;
        strokes.remove(QLatin1Char(' '));
        if (strokes.isEmpty())
            return fail(QStringLiteral("stroke needs strokes: 1-5, 7 or ?, or the glyphs"));
        for (QChar c : strokes) {
            const int key = strokeKey(c);
            if (key < 0)
                return fail(QStringLiteral("'%1' is not a stroke").arg(c));
            if (!tap(key, QStringLiteral("stroke %1").arg(strokeGlyph(key))))
                return false;
        }
        return true;
    }
    if (command == QLatin1String("select") || command == QLatin1String("tap")) {
        bool ok = false;
        const int key = argument.toInt(&ok);
        const int limit = command == QLatin1String("select") ? 10 : KeyCount;
        if (!ok || key < 0 || key >= limit)
            return fail(QStringLiteral("%1 needs a number from 0 to %2").arg(command).arg(limit - 1));
        return tap(key, QStringLiteral("%1 %2").arg(command).arg(key));
    }
    if (command == QLatin1String("pick")) {
        if (argument.isEmpty())
            return fail(QStringLiteral("pick needs a character"));
        const QVariantMap state = panelState(m_manager->panel());
        const QStringList cells = state.value(QStringLiteral("cells")).toStringList();
        const bool lineArea = state.value(QStringLiteral("lineArea")).toBool();
        for (int cell = 0; cell < cells.size() && cell < 10; ++cell) {
            if (lineArea && cell >= 1 && cell <= 3)
                continue;
            if (cells.at(cell) == argument)
                return tap(cell, QStringLiteral("pick %1").arg(argument));
        }
        return fail(QStringLiteral("no cell shows %1").arg(argument));
    }
    if (command == QLatin1String("next"))
        return tap(KeyNext, command);
    if (command == QLatin1String("prior"))
        return tap(KeyPrior, command);
    if (command == QLatin1String("backspace"))
        return tap(KeyBackspace, command);
    if (command == QLatin1String("switch"))
        return tap(KeySwitch, command);
    if (command == QLatin1String("line"))
        return tap(KeyLine, command);
    if (command == QLatin1String("hide")) {
        m_window->setPanelShown(false);
        return true;
    }
    if (command == QLatin1String("show")) {
        m_window->setPanelShown(true);
        report(command);
        return true;
    }
    if (command == QLatin1String("clear")) {
        m_window->clearText();
        report(command);
        return true;
    }
    if (command == QLatin1String("print")) {
        report(command);
        return true;
    }
    if (command == QLatin1String("screenshot")) {
        if (argument.isEmpty())
            return fail(QStringLiteral("screenshot needs a file name"));
        if (!m_window->grab().save(argument, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(argument));
        m_out << "  saved " << argument << Qt::endl;
        return true;
    }
    if (command == QLatin1String("expect")) {
        const QString text = m_window->field()->text();
        if (text != argument)
            return fail(QStringLiteral("expected \"%1\", the text is \"%2\"").arg(argument, text));
        return true;
    }
    return fail(QStringLiteral("unknown command '%1'").arg(command));
}

bool ScriptSession::tap(int key, const QString& label)
{
    QWidget* panel = m_manager->panel();
    if (!panel)
        return fail(QStringLiteral("there is no panel"));
    if (!m_window->isPanelShown())
        return fail(QStringLiteral("the panel is hidden"));
    const QPointF local(keyCentre(key));
    const QPointF global = panel->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &release);
    QCoreApplication::processEvents();
    report(label);
    return true;
}

void ScriptSession::report(const QString& label)
{
    m_out << "  " << padded(label, 12) << describeCells() << "   text: " << m_window->field()->text() << Qt::endl;
}

QString ScriptSession::describeCells() const
{
    QWidget* panel = m_manager->panel();
    if (!panel || panel->isHidden())
        return QStringLiteral("(panel hidden)");
    const QVariantMap state = panelState(panel);
    const QStringList cells = state.value(QStringLiteral("cells")).toStringList();
    if (cells.size() < 10)
        return QStringLiteral("(the panel does not report its cells)");
    const bool lineArea = state.value(QStringLiteral("lineArea")).toBool();
    QStringList shown;
    for (int cell = 0; cell < 10; ++cell) {
        if (lineArea && cell >= 1 && cell <= 3) {
            if (cell == 1)
                shown << QLatin1Char('[') + state.value(QStringLiteral("line")).toString() + QLatin1Char(']');
            continue;
        }
        shown << showCell(cells.at(cell));
        if (cell == 4)
            shown << QStringLiteral("|");
    }
    const bool symbols = state.value(QStringLiteral("keyboard")).toString() == QLatin1String("symbol");
    return (symbols ? QStringLiteral("symbols: ") : QStringLiteral("cells:   ")) + shown.join(QLatin1Char(' '));
}

bool ScriptSession::fail(const QString& message)
{
    m_out << "script line " << m_lineNumber << ": " << message << Qt::endl;
    return false;
}
