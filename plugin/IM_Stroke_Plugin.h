#pragma once

#include "ImHostAbi.h"

#include <QObject>
#include <QString>
#include <QUuid>

class IM_Stroke_Panel;
class IM_Stroke_Widget;
class IM_Stroke_Window;
class QWidget;

// The component the input-method manager holds: one input method (itself),
// its factory and library interfaces, and the one input panel it creates,
// hands out, hides and destroys: a widget in applications with widgets, a
// window (manager command 2002) in those without. Reached by the host only through the three
// interfaces returned by queryInterface.
class IM_Stroke_Plugin : public ZInputMethodInterface,
                         public ZInputMethodFactory,
                         public QLibraryInterface,
                         public QObject
{
public:
    IM_Stroke_Plugin();
    virtual ~IM_Stroke_Plugin();

    IM_Stroke_Plugin(const IM_Stroke_Plugin&) = delete;
    IM_Stroke_Plugin& operator=(const IM_Stroke_Plugin&) = delete;

    // QUnknownInterface
    uint32_t queryInterface(const QUuid& id, QUnknownInterface** iface) override;
    unsigned long addRef() override;
    unsigned long release() override;

    // ZInputMethodInterface
    bool activate(const ZKbOwner& owner, QPoint point) override;
    bool hide() override;
    QUuid id() override;
    QString name() override;
    QPixmap icon() override;
    bool keyEventFilter(int unicode, int keyCode, int modifiers, bool isPress, bool autoRepeat) override;
    bool settingCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override;

    // ZInputMethodFactory
    void registerService(ZKbServiceInterface* service) override;
    bool executeMgrCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override;
    void registerInputMethods(QList<ZInputMethodInterface*>* list) override;
    QString description() override;

    // QLibraryInterface
    bool init() override;
    void cleanup() override;
    bool canUnload() const override;

    // The input widget, created on the first call with these arguments;
    // later calls return it unchanged.
    IM_Stroke_Widget* inputWidget(QWidget* parent, unsigned int flags);
    // The window, for applications without widgets; created on the first call.
    IM_Stroke_Window* inputWindow();
    // The panel of the widget or the window; null before activation.
    IM_Stroke_Panel* panel() const;
    // Destroys the widget (or window) only while it is visible; always true.
    bool destroyInputWidget();
    void resetState();

    // The widget flags activate passes (the platform toolkit's value).
    static constexpr unsigned int ActivateWidgetFlags = 0x82000810u;

private:
    // Sizes the panel and its widget or window to the host's last scale.
    void applyScale();

    uint32_t m_refCount = 0;
    IM_Stroke_Widget* m_widget = nullptr;
    IM_Stroke_Window* m_window = nullptr;
    qreal m_scale = 1.0;     // the host's last scale command
    ZKbServiceInterface* m_service = nullptr;
    bool m_learning = true;  // the host's last learning command
    const QUuid m_id;
    QString m_name;
};

// The library's entry point: a new component, or null. No reference is added.
extern "C" __attribute__((visibility("default"))) QUnknownInterface* ucm_instantiate();
