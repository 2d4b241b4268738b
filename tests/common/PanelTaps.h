#pragma once

#include <QEvent>
#include <QPoint>
#include <QVariantMap>

#include <vector>

class QWidget;

// Pointer events on a panel (a CIMEWidget, or the plug-in's widget), sent
// through the application as the platform would deliver them.

// The centre of key 0-19 (five to a row) on the key grid.
QPoint keyCentre(int key);
// A press or move holds the left button; a release lets it go.
void sendMouse(QWidget* panel, QEvent::Type type, QPoint at);
// A press and release on each key in turn.
void tapKeys(QWidget* panel, const std::vector<int>& keys);
// Lets queued platform events (focus changes, window activation) arrive.
void settleEvents();
// What the plug-in's panel shows: "keyboard", "cells", "lineArea", "line".
QVariantMap panelState(QWidget* panel);

// The panel's keys by meaning.
enum PanelKey {
    KeyPrior = 10, KeyHeng = 11, KeyShu = 12, KeyPie = 13, KeyBackspace = 14,
    KeyNext = 15, KeyDian = 16, KeyZhe = 17, KeyWildcard = 18, KeySwitch = 19,
};
