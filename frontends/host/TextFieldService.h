#pragma once

#include "ImHostAbi.h"

class QLineEdit;

// The host's keyboard service: key commands from the input method become
// edits of one text field. Character 8 with the backspace key code deletes
// the character before the cursor; any other printable character is inserted
// at the cursor.
class TextFieldService : public ZKbServiceInterface
{
public:
    // commandTag is the class identity of this host's command objects; key
    // commands that do not carry it are not this host's and are ignored.
    TextFieldService(QLineEdit* field, const void* commandTag);

    int executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override;

    // True while a key command is being applied, so that the field's change
    // signals can tell the input method's edits from everybody else's.
    bool isApplying() const { return m_applying; }

private:
    QLineEdit* m_field;
    const void* m_commandTag;
    bool m_applying = false;
};
