#include "PanelTaps.h"

#include "KeyGrid.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

QPoint keyCentre(int key)
{
    return KeyGrid::KeyRect(key).center();
}

void sendMouse(QObject* panel, QEvent::Type type, QPointF at)
{
    // The panel reads local positions only; the global one is left local.
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, at, Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &event);
}

void tapKeys(QObject* panel, const std::vector<int>& keys, qreal scale)
{
    for (int key : keys) {
        sendMouse(panel, QEvent::MouseButtonPress, QPointF(keyCentre(key)) * scale);
        sendMouse(panel, QEvent::MouseButtonRelease, QPointF(keyCentre(key)) * scale);
    }
}

QVariantMap panelState(QObject* panel)
{
    QVariantMap state;
    if (panel)
        QMetaObject::invokeMethod(panel, "panelState", Qt::DirectConnection, Q_RETURN_ARG(QVariantMap, state));
    return state;
}

QObject* findPanel()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String("VovaduVuvar"))
                return widget;
    }
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (window->objectName() == QLatin1String("VovaduVuvar"))
            return window;
    return nullptr;
}

void settleEvents()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}
