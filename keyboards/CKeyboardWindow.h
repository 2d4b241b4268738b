#pragma once

#include "CKeyboardSurface.h"

#include <QRasterWindow>

class CKeyboardOwner;

// A window that shows an owner's keyboards, for applications without
// widgets (a QGuiApplication, Qt Quick). It draws nothing of its own: it
// blits the owner's canvas and passes pointer events to it (touches arrive as
// the mouse events Qt makes of them), exactly as CIMEWidget does.
class CKeyboardWindow : public QRasterWindow, public CKeyboardSurface
{
public:
    // owner may be null and given later.
    explicit CKeyboardWindow(CKeyboardOwner* owner, QWindow* parent = nullptr);
    ~CKeyboardWindow() override;

    CKeyboardOwner* owner() const { return m_owner; }
    // Shows owner's keyboards from now on; null shows nothing.
    void setOwner(CKeyboardOwner* owner);

    void updateSurface(const QRect& rect) override;
    QSize surfaceSize() const override;
    qreal surfacePixelRatio() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    CKeyboardOwner* m_owner;
};
