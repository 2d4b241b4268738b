#include "IM_Stroke_Panel.h"

#include "CBHKBD.h"
#include "CSymKBD.h"
#include "PluginGlobals.h"

#include <QStringList>

#include <cstring>

IM_Stroke_Panel::IM_Stroke_Panel(ZKbServiceInterface* service)
    : m_service(service)
{
    m_strokeKeyboard = new CBHKBD(this, QStringLiteral("InputW_Stroke_Entry.gif"));
    m_symbolKeyboard = new CSymKBD(this, QStringLiteral("InputW_Stroke_Entry_Ext.gif"));
    m_current = m_strokeKeyboard;
    m_current->Reset(false);
}

IM_Stroke_Panel::~IM_Stroke_Panel()
{
    setShown(false);
    m_current = nullptr;
    delete m_strokeKeyboard;
    m_strokeKeyboard = nullptr;
    delete m_symbolKeyboard;
    m_symbolKeyboard = nullptr;
}

void IM_Stroke_Panel::setShown(bool shown)
{
    if (shown == m_filesOpen)
        return;
    m_filesOpen = shown;
    if (shown)
        m_strokeKeyboard->onShow();
    else
        m_strokeKeyboard->onHide();
}

void IM_Stroke_Panel::switchTo(CKBD* keyboard)
{
    if (keyboard == m_current)
        return;
    m_current->CancelPress();
    m_current = keyboard;
    // The canvas holds the other keyboard's picture: the next paint draws
    // the new one whole.
    invalidateCanvas();
}

void IM_Stroke_Panel::onShiftKBD(CKBD*)
{
    switchTo(m_current == m_strokeKeyboard ? static_cast<CKBD*>(m_symbolKeyboard)
                                           : static_cast<CKBD*>(m_strokeKeyboard));
    m_current->Reset(true);
}

void IM_Stroke_Panel::showKeyboard(int symbolTable)
{
    if (symbolTable >= 0 && symbolTable < CSymKBD::TableCount) {
        switchTo(m_symbolKeyboard);
        m_symbolKeyboard->CurTable = m_symbolKeyboard->Tables[symbolTable];
    } else {
        switchTo(m_strokeKeyboard);
    }
    m_current->Reset(true);
}

void IM_Stroke_Panel::onSelect(CKBD*, const QString& text)
{
    SendKey(text.isEmpty() ? 0 : text.at(0).unicode(), 0);
}

void IM_Stroke_Panel::onBackSpace(CKBD*)
{
    SendKey(8, ZKB_KEY_BACKSPACE);
}

CKBD* IM_Stroke_Panel::currentKeyboard() const
{
    return m_current;
}

void IM_Stroke_Panel::SendKey(unsigned short unicode, unsigned short keyCode)
{
    if (!m_service || !ZKbCmdSendKeyEvent_Destroy)
        return;
    ZKbCmdSendKeyEvent cmd;
    // The three padding bytes after the flag are not part of the command;
    // clearing them keeps stack contents out of what the host receives.
    std::memset(&cmd, 0, sizeof cmd);
    cmd.classIdentity = ZKbCmdSendKeyEvent_Destroy;
    cmd.code = ZKB_MGRCMD_SEND_KEY;
    cmd.unicode = unicode;
    cmd.keyCode = keyCode;
    cmd.reserved = 0;
    cmd.flag = false;
    cmd.value = ZKB_SEND_KEY_VALUE;
    m_service->executeCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd));
}

void IM_Stroke_Panel::resetState()
{
    m_current->Reset(true);
}

void IM_Stroke_Panel::setService(ZKbServiceInterface* service)
{
    m_service = service;
}

void IM_Stroke_Panel::setLearning(bool on)
{
    m_strokeKeyboard->SetLearning(on);
}

QList<int> IM_Stroke_Panel::candidateCells() const
{
    if (m_current != m_strokeKeyboard || m_strokeKeyboard->DefaultShown)
        return {};
    if (m_strokeKeyboard->Mode == CBHKBD::ModeAssociation) {
        if (!m_strokeKeyboard->HasAssociation)
            return {};
        return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    }
    if (m_strokeKeyboard->StrokeCode.isEmpty() || !m_strokeKeyboard->QueryFound)
        return {};
    // The page first, then the two promoted cells.
    return {5, 6, 7, 8, 9, 0, 4};
}

QString IM_Stroke_Panel::cornerLabel(int key) const
{
    if (m_keyMode == ZKB_PANEL_KEYS_OFF)
        return QString();
    if (key == CKBD::KeyShift) // which way the hardware keys go
        return m_keyMode == ZKB_PANEL_KEYS_STROKES ? QStringLiteral("hspnz") : QStringLiteral("ABC");
    if (m_keyMode != ZKB_PANEL_KEYS_STROKES || key < 0 || key >= CKBD::CellCount)
        return QString();
    const QString word = m_current->Words[key];
    if (word.trimmed().isEmpty())
        return QString();
    const int index = candidateCells().indexOf(key);
    return index < 0 ? QString() : QString::number((index + 1) % 10);
}

bool IM_Stroke_Panel::perform(uint32_t action, int32_t argument)
{
    switch (action) {
    case ZKB_PANEL_QUERY:
        return true;
    case ZKB_PANEL_STROKE: {
        static const char Strokes[] = "123457";
        static const int Keys[] = {11, 12, 13, 16, 17, 18};
        const char* at = argument > 0 ? std::strchr(Strokes, char(argument)) : nullptr;
        if (!at || at - Strokes >= 6)
            return false;
        if (m_current != m_strokeKeyboard)
            showKeyboard(-1);
        m_current->onKeyPressed(Keys[at - Strokes]);
        return true;
    }
    case ZKB_PANEL_CHOOSE: {
        const QList<int> cells = candidateCells();
        if (argument < 0 || argument >= cells.size())
            return false;
        const int cell = cells.at(argument);
        if (!m_current->Words[cell].trimmed().isEmpty())
            m_current->onSelect(cell);
        return true;
    }
    case ZKB_PANEL_PRIOR:
        m_current->onPrior();
        return true;
    case ZKB_PANEL_NEXT:
        m_current->onNext();
        return true;
    case ZKB_PANEL_BACKSPACE:
        m_current->onBackSpace();
        return true;
    case ZKB_PANEL_CLEAR:
        m_current->Reset(true);
        return true;
    case ZKB_PANEL_KEYBOARD:
        if (argument < -1 || argument >= CSymKBD::TableCount)
            return false;
        showKeyboard(argument);
        return true;
    case ZKB_PANEL_KEY_MODE:
        if (argument < 0 || uint32_t(argument) > ZKB_PANEL_KEYS_PASSING)
            return false;
        if (m_keyMode != uint32_t(argument)) {
            m_keyMode = uint32_t(argument);
            invalidateCanvas();
        }
        return true;
    default:
        return false;
    }
}

QVariantMap IM_Stroke_Panel::panelState() const
{
    QStringList cells;
    for (const QString& word : m_current->Words)
        cells << word;
    const bool stroke = m_current == m_strokeKeyboard;
    const int candidates = int(candidateCells().size());
    return {
        {QStringLiteral("keyboard"), stroke ? QStringLiteral("stroke") : QStringLiteral("symbol")},
        {QStringLiteral("cells"), cells},
        {QStringLiteral("lineArea"), m_current->IsLineArea},
        {QStringLiteral("line"), m_current->Line},
        {QStringLiteral("strokes"), stroke ? m_strokeKeyboard->StrokeCode : QString()},
        {QStringLiteral("candidates"), candidates},
    };
}
