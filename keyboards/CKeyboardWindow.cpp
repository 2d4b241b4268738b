#include "CKeyboardWindow.h"

#include "CKeyboardOwner.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

CKeyboardWindow::CKeyboardWindow(CKeyboardOwner* owner, QWindow* parent)
    : QRasterWindow(parent), m_owner(owner)
{
    m_owner->setSurface(this);
}

CKeyboardWindow::~CKeyboardWindow()
{
    if (m_owner->surface() == this)
        m_owner->setSurface(nullptr);
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
    m_owner->paintSurface(painter, event->rect());
}

void CKeyboardWindow::resizeEvent(QResizeEvent* event)
{
    QRasterWindow::resizeEvent(event);
    m_owner->invalidateCanvas();
}

void CKeyboardWindow::hideEvent(QHideEvent* event)
{
    m_owner->surfaceHidden();
    QRasterWindow::hideEvent(event);
}

void CKeyboardWindow::mousePressEvent(QMouseEvent* event)
{
    m_owner->pointerEvent(event);
}

void CKeyboardWindow::mouseReleaseEvent(QMouseEvent* event)
{
    m_owner->pointerEvent(event);
}

void CKeyboardWindow::mouseMoveEvent(QMouseEvent* event)
{
    // A window sees the pointer hover too; only a drag slides between keys.
    if (event->buttons() != Qt::NoButton)
        m_owner->pointerEvent(event);
}
