#pragma once

#include "CIMEWidget.h"
#include "ImHostAbi.h"

#include <QVariantMap>

class CBHKBD;
class CKBD;
class CSymKBD;

// The input panel: a frameless 240×144 panel that owns the stroke keyboard
// and the symbol keyboard, shows one of them at a time and turns what they
// report (a chosen character, a backspace) into key commands for the host's
// keyboard service. The base passes paint, pointer and timer events to the
// current keyboard.
class IM_Stroke_Widget : public CIMEWidget, public QPTF
{
    Q_OBJECT

public:
    // flags are the platform's widget flags; see windowFlagsFor.
    IM_Stroke_Widget(QWidget* parent, const char* name, unsigned int flags, ZKbServiceInterface* service);
    ~IM_Stroke_Widget() override;

    // The platform's widget flags as Qt window flags: 0 is a plain child
    // widget; any other value (the component passes 0x82000810, a customised
    // borderless tool window) is a frameless tool window that never takes
    // the focus, so the text field being typed into keeps it.
    static Qt::WindowFlags windowFlagsFor(unsigned int flags);

    // Qt's show() and hide() are not virtual, so both arrive here: the stroke
    // keyboard opens its data files before the panel appears and closes them
    // (writing learned weights) after it disappears, whichever keyboard is
    // current. Repeated calls in the same direction do nothing more.
    void setVisible(bool visible) override;
    QSize sizeHint() const override;

    void onShiftKBD(CKBD* from) override;
    void onSelect(CKBD* from, const QString& text) override;
    void onBackSpace(CKBD* from) override;
    CKBD* currentKeyboard() const override;

    // Sends one key command to the keyboard service. Nothing is sent while
    // there is no service, or before the host's command class is known (a
    // command without it would not be one of the host's objects).
    void SendKey(unsigned short unicode, unsigned short keyCode);
    // Resets the current keyboard, which stays current.
    void resetState();
    // The service that receives key commands from now on.
    void setService(ZKbServiceInterface* service);
    // Whether the stroke keyboard records choices into word.dat.
    void setLearning(bool on);

    int sendPackage() override;

    // What the panel shows, for hosts and scripted sessions: "keyboard"
    // ("stroke" or "symbol"), "cells" (the ten cell texts), "lineArea"
    // (whether keys 1 to 3 show the typed strokes) and "line".
    Q_INVOKABLE QVariantMap panelState() const;

    CBHKBD* strokeKeyboard() const { return m_strokeKeyboard; }
    CSymKBD* symbolKeyboard() const { return m_symbolKeyboard; }

private:
    ZKbServiceInterface* m_service;
    CBHKBD* m_strokeKeyboard = nullptr;
    CSymKBD* m_symbolKeyboard = nullptr;
    CKBD* m_current = nullptr;
    bool m_filesOpen = false;  // between the stroke keyboard's onShow and onHide
};
