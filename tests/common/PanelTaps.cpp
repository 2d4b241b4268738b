#include "PanelTaps.h"

#include "KeyGrid.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

QPoint keyCentre(int key)
{
    return KeyGrid::KeyRect(key).center();
}

void sendMouse(QWidget* panel, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(panel->mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &event);
}

void tapKeys(QWidget* panel, const std::vector<int>& keys)
{
    for (int key : keys) {
        sendMouse(panel, QEvent::MouseButtonPress, keyCentre(key));
        sendMouse(panel, QEvent::MouseButtonRelease, keyCentre(key));
    }
}

QVariantMap panelState(QWidget* panel)
{
    QVariantMap state;
    if (panel)
        QMetaObject::invokeMethod(panel, "panelState", Qt::DirectConnection, Q_RETURN_ARG(QVariantMap, state));
    return state;
}

void settleEvents()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}
