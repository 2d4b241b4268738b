#pragma once

#include <QRect>
#include <QSize>

// Where an owner's canvas is shown: a widget (CIMEWidget) or a window
// (CKeyboardWindow). The owner asks its surface to repaint what changed; the
// surface blits the canvas back through CKeyboardOwner::paintSurface.
class CKeyboardSurface
{
public:
    virtual ~CKeyboardSurface() = default;
    // Schedules rect, in the surface's own (device-independent) pixels.
    virtual void updateSurface(const QRect& rect) = 0;
    // The surface's size in device-independent pixels.
    virtual QSize surfaceSize() const = 0;
    // Device pixels per device-independent pixel on the surface's screen.
    virtual qreal surfacePixelRatio() const = 0;
};
