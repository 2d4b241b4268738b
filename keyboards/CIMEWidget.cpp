#include "CIMEWidget.h"

#include <QPainter>
#include <QPaintEvent>

CIMEWidget::CIMEWidget(QWidget* parent, const QString& name, Qt::WindowFlags flags, bool)
    : QFrame(parent, flags), m_shown(this)
{
    setObjectName(name);
    // The canvas is copied over the whole panel, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(cellFont());
    setBackground(palette().window());
    setSurface(this);
}

CIMEWidget::~CIMEWidget()
{
    if (m_shown != this && m_shown->surface() == this)
        m_shown->setSurface(nullptr);
}

void CIMEWidget::showOwner(CKeyboardOwner* owner)
{
    if (!owner)
        owner = this;
    if (owner == m_shown)
        return;
    if (m_shown != this && m_shown->surface() == this)
        m_shown->setSurface(nullptr);
    m_shown = owner;
    owner->setSurface(this);
    update();
}

void CIMEWidget::updateSurface(const QRect& rect)
{
    update(rect);
}

QSize CIMEWidget::surfaceSize() const
{
    return size();
}

qreal CIMEWidget::surfacePixelRatio() const
{
    return devicePixelRatioF();
}

void CIMEWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    m_shown->paintSurface(painter, event->region());
}

void CIMEWidget::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    m_shown->invalidateCanvas();
}

void CIMEWidget::hideEvent(QHideEvent* event)
{
    // A hidden panel gets no release: let go of a held key so that the
    // backspace key does not go on repeating while nobody sees it.
    m_shown->surfaceHidden();
    QFrame::hideEvent(event);
}

void CIMEWidget::mousePressEvent(QMouseEvent* event)
{
    m_shown->pointerEvent(event);
}

void CIMEWidget::mouseReleaseEvent(QMouseEvent* event)
{
    m_shown->pointerEvent(event);
}

void CIMEWidget::mouseMoveEvent(QMouseEvent* event)
{
    m_shown->pointerEvent(event);
}
