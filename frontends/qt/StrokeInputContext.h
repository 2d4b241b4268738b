#pragma once

#include "FocusObjectService.h"
#include "InputMethodManager.h"
#include "StrokeKeyMap.h"

#include <qpa/qplatforminputcontext.h>

#include <QPointer>
#include <QRect>
#include <QStringList>

class QKeyEvent;
class QScreen;
class QWindow;

// A Qt platform input context that is the input-method manager of the
// stroke input method, so that any Qt application types with it unchanged,
// with widgets or without (Qt Quick). On the first focus of a text field it
// loads libDiroruDIV.so.1 through the host ABI, as the host program does;
// from then on it shows the panel while an editable object that accepts
// input methods has the focus, sends the panel's keys to that object, resets
// the strokes when the editor moves the cursor or asks for a reset or commit,
// and turns learning off for fields whose hints say their text must not be
// remembered. Digit, Latin, e-mail and address fields open on the symbol
// keyboard. Hardware keys enter strokes as StrokeKeyMap says.
//
// The panel is an on-screen keyboard: frameless, above every application
// window (bypassing the window manager on X11), never taking the focus,
// raised whenever it is shown or placed, and sized by PanelScale from the
// DIRORU_PANEL_SCALE variable, else Scale in group [Panel] of tarvin.cfg,
// else "auto".
class StrokeInputContext : public QPlatformInputContext
{
    Q_OBJECT

public:
    // The QT_IM_MODULE value that selects this input context.
    static constexpr const char* Key = "diroru";
    // Overrides the Scale setting ("auto" or a number).
    static constexpr const char* ScaleVariable = "DIRORU_PANEL_SCALE";
    // Names a library to load instead of the one found by default.
    static constexpr const char* LibraryVariable = "DIRORU_PLUGIN_LIBRARY";

    StrokeInputContext();
    ~StrokeInputContext() override;

    bool isValid() const override;
    void setFocusObject(QObject* object) override;
    void showInputPanel() override;
    void hideInputPanel() override;
    bool isInputPanelVisible() const override;
    QRectF keyboardRect() const override;
    void reset() override;
    void commit() override;
    void update(Qt::InputMethodQueries queries) override;
    bool filterEvent(const QEvent* event) override;

    // The libraries tried in turn: the variable's when it is set; else the
    // library of the same build when this plug-in runs from the build tree;
    // else the installed library and then the dynamic loader's search path.
    static QStringList libraryCandidates();
    // Where the panel goes on a screen whose usable area is available: at its
    // bottom edge, centred under the cursor and wholly on the screen; at its
    // top edge when the bottom would cover the cursor; else just below or
    // above the cursor, wherever the panel fits without covering it.
    static QPoint panelPosition(const QRect& available, const QSize& panel, const QRect& cursor);
    // The panel's scale on screen: the variable, else the setting, else auto.
    static qreal panelScale(const QScreen* screen);

private:
    bool ensureLoaded();
    // The focus object takes no text: read-only, or input methods disabled.
    static bool isReadOnly(QObject* object);
    // The symbol table a field's hints ask for, or -1 for the stroke keyboard.
    int forcedTable() const;
    void applyKeyboard();
    void applyScale(QScreen* screen);
    bool handleKey(const QKeyEvent* key);
    void setKeyMode(uint32_t mode);
    // Whether the object, or the window with the focus, is the panel's.
    bool panelHasFocus(QObject* object) const;
    void showPanel();
    void hidePanel();
    void placePanel();
    void raisePanel();
    // The window of the focused field, whose moves the panel follows.
    void watchWindow(QWindow* window);
    void followField();
    void applyHints();
    void resetInput();
    int focusCursorPosition() const;
    QRect focusRect() const;
    QRect cursorRect() const;
    static void shutdownAtExit();

    enum class LoadState { NotTried, Loaded, Failed };

    InputMethodManager m_manager;
    FocusObjectService m_service;
    LoadState m_loadState = LoadState::NotTried;
    QPointer<QObject> m_focus;
    QPointer<QWindow> m_focusWindow;
    bool m_learning = true;     // what the component was last told
    int m_cursor = -1;          // the focus object's cursor as last seen
    bool m_focusMoving = false; // a field gained the focus in this event
    StrokeKeyMap m_keys;
    uint32_t m_keyMode = 0;      // what the panel shows of the hardware keys
    int m_table = -1;            // the symbol table the field forced, or -1
    bool m_keepStrokes = false;  // a key was passed through: its edit keeps the strokes
    qreal m_scale = 0;           // the scale last sent
};
