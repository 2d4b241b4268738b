#include "CKeyboardOwner.h"

#include "CKBD.h"
#include "CKeyboardSurface.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

#include <cmath>

// Keyboards count on timer ids and ticks of a QObject; the owner is none.
class CKeyboardOwner::TimerHost : public QObject
{
public:
    explicit TimerHost(CKeyboardOwner* owner) : m_owner(owner) {}

protected:
    void timerEvent(QTimerEvent* event) override
    {
        if (CKBD* keyboard = m_owner->currentKeyboard())
            keyboard->timerEvent(event);
    }

private:
    CKeyboardOwner* m_owner;
};

CKeyboardOwner::CKeyboardOwner()
    : m_background(Qt::white), m_timers(std::make_unique<TimerHost>(this))
{
    // A cell is 46 x 34 layout pixels: a 20-pixel CJK face leaves a clear margin.
    m_cellFont = QFont(QStringLiteral("WenQuanYi Micro Hei"));
    m_cellFont.setPixelSize(20);
}

CKeyboardOwner::~CKeyboardOwner() = default;

QString CKeyboardOwner::cornerLabel(int) const
{
    return QString();
}

CKBD* CKeyboardOwner::currentKeyboard() const
{
    return nullptr;
}

qreal CKeyboardOwner::canvasPixelRatio() const
{
    const qreal surfaceRatio = m_surface ? m_surface->surfacePixelRatio() : 1.0;
    return m_scale * (surfaceRatio > 0 ? surfaceRatio : 1.0);
}

QSize CKeyboardOwner::canvasLayoutSize() const
{
    const QSize shown = m_surface ? m_surface->surfaceSize() : QSize();
    const QSize layout(int(std::ceil(shown.width() / m_scale)), int(std::ceil(shown.height() / m_scale)));
    return layout.expandedTo(QSize(PanelWidth, PanelHeight));
}

QImage& CKeyboardOwner::canvas()
{
    const QSize layout = canvasLayoutSize();
    const qreal ratio = canvasPixelRatio();
    const QSize pixels(int(std::ceil(layout.width() * ratio)), int(std::ceil(layout.height() * ratio)));
    if (m_canvas.size() != pixels || m_canvas.devicePixelRatio() != ratio) {
        QImage grown(pixels, QImage::Format_RGB32);
        grown.setDevicePixelRatio(ratio);
        grown.fill(Qt::white);
        // Only a canvas of the same resolution keeps its picture.
        if (!m_canvas.isNull() && m_canvas.devicePixelRatio() == ratio) {
            QPainter painter(&grown);
            painter.drawImage(0, 0, m_canvas);
        }
        m_canvas = grown;
        m_canvasCurrent = false;
    }
    return m_canvas;
}

QRect CKeyboardOwner::canvasLayoutRect()
{
    return QRect(QPoint(0, 0), canvasLayoutSize());
}

void CKeyboardOwner::flushCanvas(const QRect& rect)
{
    if (m_painting || !m_surface)
        return;
    if (m_scale == 1.0) {
        m_surface->updateSurface(rect);
        return;
    }
    const QRectF scaled(rect.x() * m_scale, rect.y() * m_scale, rect.width() * m_scale, rect.height() * m_scale);
    m_surface->updateSurface(scaled.toAlignedRect());
}

void CKeyboardOwner::invalidateCanvas()
{
    m_canvasCurrent = false;
    if (m_surface)
        m_surface->updateSurface(QRect(QPoint(0, 0), m_surface->surfaceSize()));
}

bool CKeyboardOwner::isCanvasCurrent() const
{
    // A hidden surface reports a new size only when shown: compare sizes.
    if (!m_canvasCurrent || m_paintedKeyboard != currentKeyboard())
        return false;
    const qreal ratio = canvasPixelRatio();
    const QSize layout = canvasLayoutSize();
    return m_canvas.devicePixelRatio() == ratio
        && m_canvas.size() == QSize(int(std::ceil(layout.width() * ratio)), int(std::ceil(layout.height() * ratio)));
}

int CKeyboardOwner::startKeyTimer(int interval)
{
    return m_timers->startTimer(interval);
}

void CKeyboardOwner::killKeyTimer(int id)
{
    m_timers->killTimer(id);
}

void CKeyboardOwner::setScale(qreal scale)
{
    if (!(scale > 0) || scale == m_scale)
        return;
    m_scale = scale;
    invalidateCanvas();
}

QSize CKeyboardOwner::scaledPanelSize() const
{
    return QSize(qRound(PanelWidth * m_scale), qRound(PanelHeight * m_scale));
}

void CKeyboardOwner::setSurface(CKeyboardSurface* surface)
{
    if (surface == m_surface)
        return;
    if (CKBD* keyboard = currentKeyboard())
        keyboard->CancelPress();
    m_surface = surface;
    m_canvasCurrent = false;
}

void CKeyboardOwner::paintSurface(QPainter& painter, const QRegion& exposed)
{
    QImage& picture = canvas();
    if (!isCanvasCurrent()) {
        CKBD* keyboard = currentKeyboard();
        m_painting = true;
        if (keyboard) {
            keyboard->paintEvent(nullptr);
        } else {
            QPainter fill(&picture);
            fill.fillRect(canvasLayoutRect(), m_background);
        }
        m_painting = false;
        m_paintedKeyboard = keyboard;
        m_canvasCurrent = true;
    }
    // One canvas pixel per device pixel of the surface: a plain copy, one
    // rectangle of the exposed region at a time. Under a clip of several
    // rectangles every line splits into spans and the raster engine hands
    // the copy to its thread pool; under one rectangle it copies in place,
    // and the parts of the bounding rectangle nobody asked for are skipped.
    const qreal ratio = m_canvas.devicePixelRatio() / m_scale;
    for (const QRect& rect : exposed) {
        painter.setClipRect(rect);
        const QRectF source(rect.x() * ratio, rect.y() * ratio, rect.width() * ratio, rect.height() * ratio);
        drawImageInBands(painter, QRectF(rect), picture, source);
    }
}

void CKeyboardOwner::drawImageInBands(QPainter& painter, const QRectF& target, const QImage& image,
                                      const QRectF& source)
{
    // Qt's raster engine splits a fill taller than 95 device lines into
    // segments for its GUI thread pool. For a key or a row of keys the hand
    // over to other threads costs more than the copy itself: a tap at scale 3
    // took twice as long in wall time as its own processor time (panel_bench,
    // 2 cores). Bands of 64 device lines are copied on this thread. Band edges
    // fall on the same coordinates from both sides, so no line is drawn twice
    // or left out.
    constexpr int BandLines = 64;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const qreal band = BandLines / ratio;
    if (target.height() <= band || source.height() <= 0) {
        painter.drawImage(target, image, source);
        return;
    }
    const qreal sourcePerTarget = source.height() / target.height();
    for (qreal top = target.top(); top < target.bottom(); top += band) {
        const qreal bottom = qMin(top + band, target.bottom());
        const QRectF part(target.left(), top, target.width(), bottom - top);
        const QRectF from(source.left(), source.top() + (top - target.top()) * sourcePerTarget, source.width(),
                          (bottom - top) * sourcePerTarget);
        painter.drawImage(part, image, from);
    }
}

void CKeyboardOwner::pointerEvent(QMouseEvent* event)
{
    CKBD* keyboard = currentKeyboard();
    if (!keyboard)
        return;
    QMouseEvent* routed = event;
    QMouseEvent mapped(event->type(), event->position() / m_scale, event->scenePosition() / m_scale,
                       event->globalPosition(), event->button(), event->buttons(), event->modifiers(),
                       event->pointingDevice());
    if (m_scale != 1.0)
        routed = &mapped;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        keyboard->mousePressEvent(routed);
        break;
    case QEvent::MouseButtonRelease:
        keyboard->mouseReleaseEvent(routed);
        break;
    case QEvent::MouseMove:
        keyboard->mouseMoveEvent(routed);
        break;
    default:
        break;
    }
}

void CKeyboardOwner::surfaceHidden()
{
    if (CKBD* keyboard = currentKeyboard())
        keyboard->CancelPress();
}
