#include "CKeyboardWindow.h"

#include "CKeyboardOwner.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

CKeyboardWindow::CKeyboardWindow(CKeyboardOwner* owner, QWindow* parent)
    : QRasterWindow(parent), m_owner(nullptr)
{
    setOwner(owner);
}

CKeyboardWindow::~CKeyboardWindow()
{
    setOwner(nullptr);
}

void CKeyboardWindow::setOwner(CKeyboardOwner* owner)
{
    if (m_owner && m_owner->surface() == this)
        m_owner->setSurface(nullptr);
    m_owner = owner;
    if (m_owner)
        m_owner->setSurface(this);
    update();
}

void CKeyboardWindow::updateSurface(const QRect& rect)
{
    update(rect);
}

QSize CKeyboardWindow::surfaceSize() const
{
    return size();
}

qreal CKeyboardWindow::surfacePixelRatio() const
{
    return devicePixelRatio();
}

void CKeyboardWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (m_owner)
        m_owner->paintSurface(painter, event->region());
    else
        painter.fillRect(event->rect(), Qt::white);
}

void CKeyboardWindow::resizeEvent(QResizeEvent* event)
{
    QRasterWindow::resizeEvent(event);
    if (m_owner)
        m_owner->invalidateCanvas();
}

void CKeyboardWindow::hideEvent(QHideEvent* event)
{
    if (m_owner)
        m_owner->surfaceHidden();
    QRasterWindow::hideEvent(event);
}

void CKeyboardWindow::mousePressEvent(QMouseEvent* event)
{
    if (m_owner)
        m_owner->pointerEvent(event);
}

void CKeyboardWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_owner)
        m_owner->pointerEvent(event);
}

void CKeyboardWindow::mouseMoveEvent(QMouseEvent* event)
{
    // A window sees the pointer hover too; only a drag slides between keys.
    if (m_owner && event->buttons() != Qt::NoButton)
        m_owner->pointerEvent(event);
}
