#pragma once

#include "CKeyboardWindow.h"
#include "ImHostAbi.h"

#include <QVariantMap>

class IM_Stroke_Panel;

// The input panel as a window, for hosts without widgets (manager command
// 2002): the same keyboards as IM_Stroke_Widget on a QWindow. It owns its
// panel; the data files are open exactly while the window is shown.
class IM_Stroke_Window : public CKeyboardWindow
{
    Q_OBJECT

public:
    explicit IM_Stroke_Window(ZKbServiceInterface* service);
    ~IM_Stroke_Window() override;

    IM_Stroke_Panel* panel() const { return m_panel; }

    // See IM_Stroke_Panel::panelState.
    Q_INVOKABLE QVariantMap panelState() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    IM_Stroke_Panel* m_panel;
};
