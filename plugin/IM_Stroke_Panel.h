#pragma once

#include "CKeyboardOwner.h"
#include "ImHostAbi.h"

#include <QList>
#include <QVariantMap>

class CBHKBD;
class CKBD;
class CSymKBD;

// The input panel without its surface: owns the stroke keyboard and the
// symbol keyboard, shows one of them at a time and turns what they report (a
// chosen character, a backspace) into key commands for the host's keyboard
// service. A widget (IM_Stroke_Widget) or a window (IM_Stroke_Window) shows
// it; both draw and hit-test through the same keyboards.
class IM_Stroke_Panel : public CKeyboardOwner
{
public:
    explicit IM_Stroke_Panel(ZKbServiceInterface* service);
    ~IM_Stroke_Panel() override;

    void onShiftKBD(CKBD* from) override;
    void onSelect(CKBD* from, const QString& text) override;
    void onBackSpace(CKBD* from) override;
    CKBD* currentKeyboard() const override;

    // The stroke keyboard opens its data files before the panel appears and
    // closes them (writing learned weights) after it disappears, whichever
    // keyboard is current. Repeated calls in the same direction do nothing.
    void setShown(bool shown);

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
    // Makes the symbol keyboard current on table (0-based), or the stroke
    // keyboard current again with table < 0; both start afresh.
    void showKeyboard(int symbolTable);

    // A hardware key's effect (see ZKB_PANEL_ACTION); false when the action
    // or its argument is unknown.
    bool perform(uint32_t action, int32_t argument);
    // The cells the hardware digits 1, 2, ... choose, in that order, while
    // the current list holds candidates; empty otherwise.
    QList<int> candidateCells() const;
    QString cornerLabel(int key) const override;

    // What the panel shows: "keyboard" ("stroke" or "symbol"), "cells" (the
    // ten cell texts), "lineArea" (whether keys 1 to 3 show the typed
    // strokes), "line", "strokes" (the typed stroke code) and "candidates"
    // (how many cells a hardware digit may choose).
    QVariantMap panelState() const;

    CBHKBD* strokeKeyboard() const { return m_strokeKeyboard; }
    CSymKBD* symbolKeyboard() const { return m_symbolKeyboard; }

private:
    void switchTo(CKBD* keyboard);

    ZKbServiceInterface* m_service;
    CBHKBD* m_strokeKeyboard = nullptr;
    CSymKBD* m_symbolKeyboard = nullptr;
    CKBD* m_current = nullptr;
    uint32_t m_keyMode = ZKB_PANEL_KEYS_OFF;
    bool m_filesOpen = false;  // between the stroke keyboard's onShow and onHide
};
