#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QRegion>

#include <memory>

class CKBD;
class CKeyboardSurface;
class QMouseEvent;
class QPainter;

// What the keyboards live on. A keyboard is not a widget: it draws on its
// owner's canvas, starts its timers through it and reports what the user did
// through the three abstract operations below. The owner is no widget
// either, so that the same keyboards work in applications without widgets:
// a surface (a widget or a window, see CKeyboardSurface) shows the canvas
// and passes its pointer events here.
//
// Qt only lets a surface paint inside its paint event, while a keyboard draws
// a cell the moment its text changes. So the owner keeps the canvas, an image
// of the panel: a keyboard opens its QPainter on canvas() (with cellFont()),
// draws at once and calls flushCanvas() with the rectangle it drew. The
// surface's paint event calls paintSurface(), which copies the canvas; it
// asks the current keyboard for a full picture (CKBD::paintEvent) only when
// the canvas does not hold one: before the first paint, after
// invalidateCanvas(), after a resize or a change of scale, and whenever
// currentKeyboard() is not the keyboard painted last.
//
// Keyboards always work in the 240 x 144 layout. At a scale other than 1 (or
// on a high-density screen) the canvas has more pixels than the layout and a
// device pixel ratio that maps layout coordinates onto them, so text and
// faces are drawn at the screen's resolution; pointer positions are mapped
// back to the layout before a keyboard sees them.
class CKeyboardOwner
{
public:
    // The layout's size; the canvas never holds less of it.
    static constexpr int PanelWidth = 240;
    static constexpr int PanelHeight = 144;

    CKeyboardOwner();
    virtual ~CKeyboardOwner();

    CKeyboardOwner(const CKeyboardOwner&) = delete;
    CKeyboardOwner& operator=(const CKeyboardOwner&) = delete;

    // The keyboard from asks for the other keyboard.
    virtual void onShiftKBD(CKBD* from) = 0;
    // The keyboard from has chosen text (one character).
    virtual void onSelect(CKBD* from, const QString& text) = 0;
    // The keyboard from asks for a backspace.
    virtual void onBackSpace(CKBD* from) = 0;

    // A small label for the corner of key (a hardware key's number, a mode);
    // empty in the base. Keyboards draw it with the key.
    virtual QString cornerLabel(int key) const;

    // The keyboard shown, whose events this owner forwards; null in the base.
    // A keyboard draws only while it is current, or while no keyboard is.
    virtual CKBD* currentKeyboard() const;

    // The picture keyboards draw on, in layout coordinates.
    QImage& canvas();
    // Schedules rect of the canvas (layout coordinates) for the surface.
    void flushCanvas(const QRect& rect);
    // The canvas no longer holds a current picture: the next paint asks the
    // current keyboard to draw itself whole.
    void invalidateCanvas();
    bool isCanvasCurrent() const;
    // The layout area the canvas holds: the panel, or more on a larger surface.
    QRect canvasLayoutRect();

    QFont cellFont() const { return m_cellFont; }
    void setCellFont(const QFont& font) { m_cellFont = font; }
    QBrush background() const { return m_background; }
    void setBackground(const QBrush& brush) { m_background = brush; }

    // A repeating timer whose ticks go to the current keyboard; 0 on failure.
    int startKeyTimer(int interval);
    void killKeyTimer(int id);

    // Surface pixels per layout pixel.
    qreal scale() const { return m_scale; }
    void setScale(qreal scale);
    // The panel's size on a surface at this scale.
    QSize scaledPanelSize() const;

    void setSurface(CKeyboardSurface* surface);
    CKeyboardSurface* surface() const { return m_surface; }
    // For the surface's paint event: exposed is in surface coordinates.
    void paintSurface(QPainter& painter, const QRegion& exposed);
    // Draws source of image into target as QPainter::drawImage does, but in
    // bands no taller than Qt hands to its worker threads (see the source).
    static void drawImageInBands(QPainter& painter, const QRectF& target, const QImage& image, const QRectF& source);

    // For the surface's press, release and move events.
    void pointerEvent(QMouseEvent* event);
    // The surface was hidden: a held key is let go without its action.
    void surfaceHidden();

private:
    class TimerHost;

    qreal canvasPixelRatio() const;
    QSize canvasLayoutSize() const;

    QImage m_canvas;
    QFont m_cellFont;
    QBrush m_background;
    CKeyboardSurface* m_surface = nullptr;
    std::unique_ptr<TimerHost> m_timers;
    qreal m_scale = 1.0;
    const CKBD* m_paintedKeyboard = nullptr; // keyboard whose picture the canvas holds
    bool m_canvasCurrent = false;
    bool m_painting = false; // inside paintSurface: the blit that follows covers every flush
};
