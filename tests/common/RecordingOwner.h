#pragma once

#include "CIMEWidget.h"
#include "CKBD.h"
#include "KeyboardGlobals.h"

#include <QStringList>

// An owner that shows one keyboard at the panel's size and records the three
// notifications and the drawn regions. A new one sets the globals as the
// plug-in component does, undoing what an earlier symbol file replaced.
class RecordingOwner : public CIMEWidget
{
public:
    RecordingOwner()
    {
        resize(PanelWidth, PanelHeight);
        __BHTable = QStringLiteral("空一丨丿丶乛空？");
        __DefaultWords = QStringLiteral("；“”、…：，。？！");
        __FontColor = QColor(Qt::black);
        __FontRevColor = QColor(Qt::white);
    }

    CKBD* currentKeyboard() const override { return Keyboard; }
    void onShiftKBD(CKBD*) override { ++Shifts; }
    void onSelect(CKBD*, const QString& text) override { Selected << text; }
    void onBackSpace(CKBD*) override { ++BackSpaces; }
    void updateSurface(const QRect& rect) override
    {
        Flushed += rect;
        CIMEWidget::updateSurface(rect);
    }

    CKBD* Keyboard = nullptr;
    QRegion Flushed; // what the keyboards drew
    QStringList Selected;
    int BackSpaces = 0, Shifts = 0;
};
