#include "IM_Stroke_Window.h"

#include "IM_Stroke_Panel.h"

IM_Stroke_Window::IM_Stroke_Window(ZKbServiceInterface* service)
    : CKeyboardWindow(nullptr), m_panel(new IM_Stroke_Panel(service))
{
    setObjectName(QStringLiteral("VovaduVuvar"));
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setOwner(m_panel);
    resize(m_panel->scaledPanelSize());
}

IM_Stroke_Window::~IM_Stroke_Window()
{
    setOwner(nullptr);
    delete m_panel; // closes the data files if still open
}

QVariantMap IM_Stroke_Window::panelState() const
{
    return m_panel->panelState();
}

void IM_Stroke_Window::showEvent(QShowEvent* event)
{
    m_panel->setShown(true);
    CKeyboardWindow::showEvent(event);
}

void IM_Stroke_Window::hideEvent(QHideEvent* event)
{
    CKeyboardWindow::hideEvent(event);
    m_panel->setShown(false);
}
