#pragma once

#include "ImHostAbi.h"

#include <QObject>
#include <QPointer>

#include <functional>

// The keyboard service of the input context: each key command from the input
// method becomes an event for the object that has the focus. A character is
// committed with a QInputMethodEvent, as input methods commit text; character
// 8 with the backspace key code is a Backspace key press and release, which
// every editor already handles.
class FocusObjectService : public ZKbServiceInterface
{
public:
    // commandTag is the class identity of the manager's command objects; key
    // commands that do not carry it are ignored.
    explicit FocusObjectService(const void* commandTag);

    // The object that receives the keys; none while no text field has focus.
    void setTarget(QObject* target);
    QObject* target() const { return m_target; }

    int executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override;

    // True while an event of ours is being delivered, so the input context
    // can tell the editor's reactions to it from the user's own edits.
    bool isApplying() const { return m_applying; }
    // Called after each key reached the target.
    void setAppliedHandler(std::function<void()> handler) { m_applied = std::move(handler); }

private:
    QPointer<QObject> m_target;
    const void* m_commandTag;
    bool m_applying = false;
    std::function<void()> m_applied;
};
