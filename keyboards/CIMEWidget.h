#pragma once

#include <QFrame>
#include <QImage>

class CKBD;

// The panel the keyboards live on. A keyboard is not a widget: it draws on
// its owner, starts its timers on it and reports what the user did through
// the three abstract operations below.
//
// Qt only lets a widget paint inside its paint event, while a keyboard draws a
// cell the moment its text changes. So the owner keeps a canvas, an image the
// size of the panel: a keyboard opens its QPainter on canvas() (with the
// owner's font), draws at once and calls flushCanvas() with the rectangle it
// drew. The owner's paint event copies the canvas to the screen; it asks the
// current keyboard for a full picture (CKBD::paintEvent) only when the canvas
// does not hold one: before the first paint, after invalidateCanvas(), after
// a resize, and whenever currentKeyboard() is not the keyboard painted last.
//
// A derived owner reports its current keyboard through currentKeyboard().
// The owner then also passes its pointer and timer events to that keyboard
// and tells it when the panel is hidden, so a derived owner needs no event
// handlers of its own. Only the current keyboard draws; the others keep
// their texts and are drawn whole when they become current.
class CIMEWidget : public QFrame
{
public:
    // The panel's size; the canvas is never smaller.
    static constexpr int PanelWidth = 240;
    static constexpr int PanelHeight = 144;

    // name becomes the object name. The last flag of the original frame
    // constructor has no Qt 6 counterpart and is accepted for callers only.
    explicit CIMEWidget(QWidget* parent = nullptr, const QString& name = QString(),
                        Qt::WindowFlags flags = {}, bool frameFlag = true);
    ~CIMEWidget() override;

    // The keyboard from asks for the other keyboard.
    virtual void onShiftKBD(CKBD* from) = 0;
    // The keyboard from has chosen text (one character).
    virtual void onSelect(CKBD* from, const QString& text) = 0;
    // The keyboard from asks for a backspace.
    virtual void onBackSpace(CKBD* from) = 0;

    // The keyboard shown, whose events this owner forwards; null in the base.
    // A keyboard draws only while it is current, or while no keyboard is.
    virtual CKBD* currentKeyboard() const;

    // The picture keyboards draw on, at least PanelWidth x PanelHeight.
    QImage& canvas();
    // Schedules rect of the canvas to be copied to the screen.
    void flushCanvas(const QRect& rect);
    // The canvas no longer holds a current picture: the next paint event
    // asks the current keyboard to draw itself whole.
    void invalidateCanvas();
    bool isCanvasCurrent() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QSize canvasSize() const;

    QImage m_canvas;
    const CKBD* m_paintedKeyboard = nullptr; // keyboard whose picture the canvas holds
    bool m_canvasCurrent = false;
    bool m_painting = false; // inside paintEvent: the blit that follows covers every flush
};
