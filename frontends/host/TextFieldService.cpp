#include "TextFieldService.h"

#include <QLineEdit>

#include <cstring>

TextFieldService::TextFieldService(QLineEdit* field, const void* commandTag)
    : m_field(field)
    , m_commandTag(commandTag)
{
}

int TextFieldService::executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd)
{
    if (!cmd || !m_field || cmd->classIdentity != m_commandTag || cmd->code != ZKB_MGRCMD_SEND_KEY)
        return 0;
    // The command lives only for this call; copy what is needed.
    ZKbCmdSendKeyEvent key;
    std::memcpy(&key, cmd, sizeof key);

    const bool backspace = key.unicode == 8 && key.keyCode == ZKB_KEY_BACKSPACE;
    // A control character (the input method sends U+0000 for an empty
    // choice) has no place in a one-line text field.
    const bool printable = key.unicode >= 0x20 && key.unicode != 0x7f && key.unicode <= 0xffff;
    if (!backspace && !printable)
        return 0;

    m_applying = true;
    if (backspace)
        m_field->backspace();
    else
        m_field->insert(QString(QChar(char16_t(key.unicode))));
    m_applying = false;
    return 1;
}
