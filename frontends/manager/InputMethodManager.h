#pragma once

#include "ImHostAbi.h"

#include <QPointer>
#include <QString>
#include <QWidget>

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
    // the given keyboard service and fetches the input widget. On failure
    // returns false with a reason in *error and holds nothing.
    bool load(const QString& libraryPath, ZKbServiceInterface* service, QString* error);

    // The class identity of this host's command objects.
    static const void* commandTag();

    QWidget* panel() const { return m_panel; }
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
};
