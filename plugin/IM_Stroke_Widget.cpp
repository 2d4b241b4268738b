#include "IM_Stroke_Widget.h"

#include "IM_Stroke_Panel.h"

IM_Stroke_Widget::IM_Stroke_Widget(QWidget* parent, const char* name, unsigned int flags,
                                   ZKbServiceInterface* service)
    : CIMEWidget(parent, QString::fromLatin1(name), windowFlagsFor(flags), true)
    , m_panel(new IM_Stroke_Panel(service))
{
    setFrameStyle(QFrame::NoFrame);
    m_panel->setCellFont(font());
    m_panel->setBackground(palette().window());
    showOwner(m_panel);
}

IM_Stroke_Widget::~IM_Stroke_Widget()
{
    showOwner(nullptr);
    delete m_panel;
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
        m_panel->setShown(true);
        CIMEWidget::setVisible(true);
    } else {
        CIMEWidget::setVisible(false);
        m_panel->setShown(false);
    }
}

QSize IM_Stroke_Widget::sizeHint() const
{
    return m_panel->scaledPanelSize();
}

int IM_Stroke_Widget::sendPackage()
{
    return 0;
}

QVariantMap IM_Stroke_Widget::panelState() const
{
    return m_panel->panelState();
}
