#pragma once

#include <QString>
#include <QPoint>
#include <QStringList>

class HostWindow;
class InputMethodManager;
class QTextStream;

// Replays a typing session from a script, tapping the panel with pointer
// presses and releases at key centres as a user would, and reports after
// each tap what the candidate cells show and what the text field holds.
//
// Script format: one command per line; blank lines and lines starting with
// '#' are ignored.
//   stroke S...      stroke keys in order: 1 一, 2 丨, 3 丿, 4 丶, 5 乛,
//                    7 or ? the wildcard; digits or glyphs, spaces optional
//   select N         the candidate cell N (0-9)
//   pick C           the cell showing character C (an error if none does)
//   next, prior      next or previous page (keys 15 and 10)
//   backspace        the backspace key (14)
//   switch           the other keyboard (key 19)
//   line             the line of typed strokes (key 2)
//   tap K            any key 0-19 of the grid, numbered row by row
//   hide, show       hide or show the panel through the input method
//   clear            empty the text field (resets the input state)
//   print            report the cells and the text
//   screenshot PATH  save the window as PNG
//   expect TEXT      stop with an error unless the field holds TEXT
class ScriptSession
{
public:
    ScriptSession(HostWindow* window, InputMethodManager* manager, QTextStream& out);

    // Runs the script file; false at the first failing line, after saying why.
    bool runFile(const QString& path);
    bool runLines(const QStringList& lines);

    // The centre of a key on the panel: five columns and four rows of keys
    // 46×34 pixels at a 47×35 pitch from (3, 3).
    static QPoint keyCentre(int key);

private:
    bool runCommand(const QString& command, const QString& argument);
    bool tap(int key, const QString& label);
    void report(const QString& label);
    QString describeCells() const;
    bool fail(const QString& message);

    HostWindow* m_window;
    InputMethodManager* m_manager;
    QTextStream& m_out;
    int m_lineNumber = 0;
};
