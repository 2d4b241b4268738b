#pragma once

#include <QEvent>
#include <QPoint>
#include <QVariantMap>

#include <vector>

class QObject;

// Pointer events on a panel (a CIMEWidget, the plug-in's widget or its
// window), sent through the application as the platform would deliver them.

// The centre of key 0-19 (five to a row) on the key grid.
QPoint keyCentre(int key);
// A press or move holds the left button; a release lets it go.
void sendMouse(QObject* panel, QEvent::Type type, QPointF at);
// A press and release on each key in turn, on a panel drawn scale times
// its layout size.
void tapKeys(QObject* panel, const std::vector<int>& keys, qreal scale = 1);
// Lets queued platform events (focus changes, window activation) arrive.
void settleEvents();
// What the plug-in's panel shows: "keyboard", "cells", "lineArea", "line".
QVariantMap panelState(QObject* panel);

// The panel's keys by meaning.
enum PanelKey {
    KeyPrior = 10, KeyHeng = 11, KeyShu = 12, KeyPie = 13, KeyBackspace = 14,
    KeyNext = 15, KeyDian = 16, KeyZhe = 17, KeyWildcard = 18, KeySwitch = 19,
};
