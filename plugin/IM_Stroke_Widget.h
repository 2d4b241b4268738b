#pragma once

#include "CIMEWidget.h"
#include "ImHostAbi.h"

#include <QVariantMap>

class IM_Stroke_Panel;

// The input panel as the widget that hosts get with manager command 0: a
// frameless panel showing the keyboards of its IM_Stroke_Panel, which it owns.
class IM_Stroke_Widget : public CIMEWidget, public QPTF
{
    Q_OBJECT

public:
    // flags are the platform's widget flags; see windowFlagsFor.
    IM_Stroke_Widget(QWidget* parent, const char* name, unsigned int flags, ZKbServiceInterface* service);
    ~IM_Stroke_Widget() override;

    // The platform's widget flags as Qt window flags: 0 is a plain child
    // widget; any other value (the component passes 0x82000810, a customised
    // borderless tool window) is a frameless tool window that never takes
    // the focus, so the text field being typed into keeps it.
    static Qt::WindowFlags windowFlagsFor(unsigned int flags);

    // Qt's show() and hide() are not virtual, so both arrive here: the
    // panel's data files are open exactly while the widget is visible.
    void setVisible(bool visible) override;
    // 240 x 144 unless the host asked for another scale.
    QSize sizeHint() const override;

    // The widget's own notifications are unused: it shows its panel's canvas.
    void onShiftKBD(CKBD*) override {}
    void onSelect(CKBD*, const QString&) override {}
    void onBackSpace(CKBD*) override {}

    int sendPackage() override;

    IM_Stroke_Panel* panel() const { return m_panel; }

    // What the panel shows, for hosts and scripted sessions; see
    // IM_Stroke_Panel::panelState.
    Q_INVOKABLE QVariantMap panelState() const;

private:
    IM_Stroke_Panel* m_panel;
};
