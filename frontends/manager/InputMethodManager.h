#pragma once

#include "ImHostAbi.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <QWindow>

// The input-method manager: loads the plug-in library with dlopen, takes its
// one component through ucm_instantiate and drives it through the host ABI
// in the order the component needs (service before activation, a settings
// command before the first key).
class InputMethodManager
{
public:
    InputMethodManager();
    ~InputMethodManager();

    InputMethodManager(const InputMethodManager&) = delete;
    InputMethodManager& operator=(const InputMethodManager&) = delete;

    // Loads the library, instantiates and activates its input method with
    // the given keyboard service and fetches the input widget, or in an
    // application without widgets the panel's window (settings command 2002).
    // On failure returns false with a reason in *error and holds nothing.
    bool load(const QString& libraryPath, ZKbServiceInterface* service, QString* error);

    // The class identity of this host's command objects.
    static const void* commandTag();

    // The panel's widget; null when the component gave a window instead.
    QWidget* panel() const { return m_panel; }
    // The panel's window: the window the component gave, or the widget's own
    // once it has one.
    QWindow* panelWindow() const;
    bool isPanelVisible() const;
    QString inputMethodName() const;
    QString description() const;

    void showPanel();
    // Hiding closes the data files, so learned weights reach word.dat.
    void hidePanel();
    // Forgets typed strokes and candidates (settings command 1008).
    bool resetInput();
    // Whether choices are learned into word.dat (settings command 2001).
    // False when nothing is loaded or the library predates the command.
    bool setLearning(bool on);

    // Sizes the panel to scale times 240 x 144 (settings command 2003); false
    // when nothing is loaded or the library predates the command.
    bool setScale(qreal scale);
    // What the panel shows, as far as hardware keys need it.
    struct PanelKeys
    {
        int strokes = 0;
        int candidates = 0;
    };
    // Passes a hardware key's effect to the panel (settings command 2004;
    // ZKB_PANEL_QUERY only reads); false when the component refused it.
    bool panelAction(uint32_t action, int32_t argument, PanelKeys* after = nullptr);

    // Hides the panel, hands it back to the component, cleans up, releases
    // the component and unloads the library. Safe to call more than once.
    void shutdown();

private:
    void* m_library = nullptr;
    QUnknownInterface* m_unknown = nullptr;
    ZInputMethodFactory* m_factory = nullptr;
    ZInputMethodInterface* m_inputMethod = nullptr;
    QLibraryInterface* m_libraryInterface = nullptr;
    QPointer<QWidget> m_panel;
    QPointer<QWindow> m_window;
};
