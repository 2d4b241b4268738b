#pragma once

#include "FocusObjectService.h"
#include "InputMethodManager.h"

#include <qpa/qplatforminputcontext.h>

#include <QPointer>
#include <QRect>
#include <QStringList>

class QWindow;

// A Qt platform input context that is the input-method manager of the
// stroke input method, so that any Qt application types with it unchanged.
// On the first focus of a text field it loads libDiroruDIV.so.1 through the
// host ABI, as the host program does; from then on it shows the panel while
// an object that accepts input methods has the focus, sends the panel's keys
// to that object, resets the strokes when the editor moves the cursor or asks
// for a reset or commit, and turns learning off for fields whose hints say
// their text must not be remembered.
class StrokeInputContext : public QPlatformInputContext
{
    Q_OBJECT

public:
    // The QT_IM_MODULE value that selects this input context.
    static constexpr const char* Key = "diroru";
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

    // The libraries tried in turn: the variable's when it is set; else the
    // library of the same build when this plug-in runs from the build tree;
    // else the installed library and then the dynamic loader's search path.
    static QStringList libraryCandidates();
    // Where the panel goes on a screen whose usable area is available: at the
    // bottom, centred under the field and kept on the screen; above the field
    // instead when the bottom would cover it and there is room.
    static QPoint panelPosition(const QRect& available, const QSize& panel, const QRect& field);

private:
    bool ensureLoaded();
    // Whether the object, or the window with the focus, is the panel's.
    bool panelHasFocus(QObject* object) const;
    void showPanel();
    void hidePanel();
    void placePanel();
    // The window of the focused field, whose moves the panel follows.
    void watchWindow(QWindow* window);
    void followField();
    void applyHints();
    void resetInput();
    int focusCursorPosition() const;
    QRect focusRect() const;
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
};
