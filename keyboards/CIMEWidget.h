#pragma once

#include "CKeyboardOwner.h"
#include "CKeyboardSurface.h"

#include <QFrame>

// The widget the keyboards live on: an owner (see CKeyboardOwner) that is its
// own surface. A derived widget reports its current keyboard through
// currentKeyboard(); the widget passes its pointer events to that keyboard
// and tells it when the panel is hidden, so a derived widget needs no event
// handlers of its own.
//
// A widget may also show another owner's canvas (showOwner): it then only
// displays that owner's keyboards and passes its events there, which lets one
// set of keyboards appear on a widget or on a window (CKeyboardWindow).
class CIMEWidget : public QFrame, public CKeyboardOwner, public CKeyboardSurface
{
public:
    // name becomes the object name. The last flag of the original frame
    // constructor has no Qt 6 counterpart and is accepted for callers only.
    explicit CIMEWidget(QWidget* parent = nullptr, const QString& name = QString(),
                        Qt::WindowFlags flags = {}, bool frameFlag = true);
    ~CIMEWidget() override;

    // Shows owner's canvas instead of this widget's own; null shows its own.
    void showOwner(CKeyboardOwner* owner);
    CKeyboardOwner* shownOwner() const { return m_shown; }

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
    CKeyboardOwner* m_shown;
};
