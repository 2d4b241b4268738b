#include "CIMEWidget.h"

#include "CKBD.h"

#include <QFont>
#include <QPainter>
#include <QPaintEvent>

CIMEWidget::CIMEWidget(QWidget* parent, const QString& name, Qt::WindowFlags flags, bool)
    : QFrame(parent, flags)
{
    setObjectName(name);
    // The canvas is copied over the whole panel, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A cell is 46 x 34 pixels: a 20-pixel CJK face leaves a clear margin.
    QFont cellFont(QStringLiteral("WenQuanYi Micro Hei"));
    cellFont.setPixelSize(20);
    setFont(cellFont);
}

CIMEWidget::~CIMEWidget() = default;

CKBD* CIMEWidget::currentKeyboard() const
{
    return nullptr;
}

QSize CIMEWidget::canvasSize() const
{
    return size().expandedTo(QSize(PanelWidth, PanelHeight));
}

QImage& CIMEWidget::canvas()
{
    const QSize wanted = canvasSize();
    if (m_canvas.size() != wanted) {
        QImage grown(wanted, QImage::Format_RGB32);
        grown.fill(Qt::white);
        if (!m_canvas.isNull()) {
            QPainter painter(&grown);
            painter.drawImage(0, 0, m_canvas);
        }
        m_canvas = grown;
        m_canvasCurrent = false;
    }
    return m_canvas;
}

void CIMEWidget::flushCanvas(const QRect& rect)
{
    if (!m_painting)
        update(rect);
}

void CIMEWidget::invalidateCanvas()
{
    m_canvasCurrent = false;
    update();
}

bool CIMEWidget::isCanvasCurrent() const
{
    // A hidden widget gets its resize event only when shown: compare sizes.
    return m_canvasCurrent && m_paintedKeyboard == currentKeyboard()
        && m_canvas.size() == canvasSize();
}

void CIMEWidget::paintEvent(QPaintEvent* event)
{
    QImage& picture = canvas();
    if (!isCanvasCurrent()) {
        CKBD* keyboard = currentKeyboard();
        m_painting = true;
        if (keyboard)
            keyboard->paintEvent(event);
        else
            picture.fill(palette().window().color());
        m_painting = false;
        m_paintedKeyboard = keyboard;
        m_canvasCurrent = true;
    }
    QPainter painter(this);
    painter.drawImage(event->rect(), picture, event->rect());
}

void CIMEWidget::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    invalidateCanvas();
}

void CIMEWidget::hideEvent(QHideEvent* event)
{
    // A hidden panel gets no release: let go of a held key so that the
    // backspace key does not go on repeating while nobody sees it.
    if (CKBD* keyboard = currentKeyboard())
        keyboard->CancelPress();
    QFrame::hideEvent(event);
}

void CIMEWidget::mousePressEvent(QMouseEvent* event)
{
    if (CKBD* keyboard = currentKeyboard())
        keyboard->mousePressEvent(event);
}

void CIMEWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (CKBD* keyboard = currentKeyboard())
        keyboard->mouseReleaseEvent(event);
}

void CIMEWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (CKBD* keyboard = currentKeyboard())
        keyboard->mouseMoveEvent(event);
}

void CIMEWidget::timerEvent(QTimerEvent* event)
{
    if (CKBD* keyboard = currentKeyboard())
        keyboard->timerEvent(event);
}
