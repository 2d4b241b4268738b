#include "IM_Stroke_Widget.h"

#include "CBHKBD.h"
#include "CSymKBD.h"
#include "PluginGlobals.h"

#include <cstring>

IM_Stroke_Widget::IM_Stroke_Widget(QWidget* parent, const char* name, unsigned int flags,
                                   ZKbServiceInterface* service)
    : CIMEWidget(parent, QString::fromLatin1(name), windowFlagsFor(flags), true)
    , m_service(service)
{
    setFrameStyle(QFrame::NoFrame);
    m_strokeKeyboard = new CBHKBD(this, QStringLiteral("InputW_Stroke_Entry.gif"));
    m_symbolKeyboard = new CSymKBD(this, QStringLiteral("InputW_Stroke_Entry_Ext.gif"));
    m_current = m_strokeKeyboard;
    m_current->Reset(false);
}

IM_Stroke_Widget::~IM_Stroke_Widget()
{
    m_current = nullptr;
    delete m_strokeKeyboard;
    m_strokeKeyboard = nullptr;
    delete m_symbolKeyboard;
    m_symbolKeyboard = nullptr;
}

Qt::WindowFlags IM_Stroke_Widget::windowFlagsFor(unsigned int flags)
{
    if (flags == 0)
        return Qt::Widget;
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
}

void IM_Stroke_Widget::setVisible(bool visible)
{
    if (visible) {
        if (!m_filesOpen) {
            m_strokeKeyboard->onShow();
            m_filesOpen = true;
        }
        CIMEWidget::setVisible(true);
    } else {
        CIMEWidget::setVisible(false);
        if (m_filesOpen) {
            m_strokeKeyboard->onHide();
            m_filesOpen = false;
        }
    }
}

QSize IM_Stroke_Widget::sizeHint() const
{
    return QSize(PanelWidth, PanelHeight);
}

void IM_Stroke_Widget::onShiftKBD(CKBD*)
{
    if (m_current == m_strokeKeyboard)
        m_current = m_symbolKeyboard;
    else
        m_current = m_strokeKeyboard;
    // The canvas holds the other keyboard's picture, so this paints the new
    // one whole before it resets.
    repaint();
    m_current->Reset(true);
}

void IM_Stroke_Widget::onSelect(CKBD*, const QString& text)
{
    SendKey(text.isEmpty() ? 0 : text.at(0).unicode(), 0);
}

void IM_Stroke_Widget::onBackSpace(CKBD*)
{
    SendKey(8, ZKB_KEY_BACKSPACE);
}

CKBD* IM_Stroke_Widget::currentKeyboard() const
{
    return m_current;
}

void IM_Stroke_Widget::SendKey(unsigned short unicode, unsigned short keyCode)
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

void IM_Stroke_Widget::resetState()
{
    m_current->Reset(true);
}

void IM_Stroke_Widget::setService(ZKbServiceInterface* service)
{
    m_service = service;
}

void IM_Stroke_Widget::setLearning(bool on)
{
    m_strokeKeyboard->SetLearning(on);
}

int IM_Stroke_Widget::sendPackage()
{
    return 0;
}

QVariantMap IM_Stroke_Widget::panelState() const
{
    QStringList cells;
    for (const QString& word : m_current->Words)
        cells << word;
    return {
        {QStringLiteral("keyboard"),
         m_current == m_strokeKeyboard ? QStringLiteral("stroke") : QStringLiteral("symbol")},
        {QStringLiteral("cells"), cells},
        {QStringLiteral("lineArea"), m_current->IsLineArea},
        {QStringLiteral("line"), m_current->Line},
    };
}
