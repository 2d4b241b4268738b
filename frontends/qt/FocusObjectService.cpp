#include "FocusObjectService.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <cstring>

FocusObjectService::FocusObjectService(const void* commandTag)
    : m_commandTag(commandTag)
{
}

void FocusObjectService::setTarget(QObject* target)
{
    m_target = target;
}

int FocusObjectService::executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd)
{
    if (!cmd || !m_target || cmd->classIdentity != m_commandTag || cmd->code != ZKB_MGRCMD_SEND_KEY)
        return 0;
    // The command lives only for this call; copy what is needed.
    ZKbCmdSendKeyEvent key;
    std::memcpy(&key, cmd, sizeof key);

    const bool backspace = key.unicode == 8 && key.keyCode == ZKB_KEY_BACKSPACE;
    // Control characters (U+0000 comes from an empty choice) and halves of
    // surrogate pairs would put broken text into the editor.
    const bool printable = key.unicode >= 0x20 && key.unicode <= 0xffff && key.unicode != 0x7f
                           && !QChar::isSurrogate(char32_t(key.unicode));
    if (!backspace && !printable)
        return 0;

    // The target may go away while it handles the event.
    QPointer<QObject> target = m_target;
    m_applying = true;
    if (backspace) {
        // With the text a real Backspace key carries.
        const QString text(QChar(u'\b'));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &press);
        if (target) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier, text);
            QCoreApplication::sendEvent(target, &release);
        }
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(QString(QChar(char16_t(key.unicode))));
        QCoreApplication::sendEvent(target, &commit);
    }
    m_applying = false;
    if (m_applied)
        m_applied();
    return 1;
}
