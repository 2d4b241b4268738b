#pragma once

#include "KeyGrid.h"

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
// The plug-in's panel, its widget or (without widgets) its window, if made.
QObject* findPanel();
// Lets queued platform events (focus changes, window activation) arrive.
void settleEvents();
// What the plug-in's panel shows: "keyboard", "cells", "lineArea", "line".
QVariantMap panelState(QObject* panel);

// The panel's keys by meaning.
using KeyGrid::KeyPrior, KeyGrid::KeyHeng, KeyGrid::KeyShu, KeyGrid::KeyPie, KeyGrid::KeyBackspace,
    KeyGrid::KeyNext, KeyGrid::KeyDian, KeyGrid::KeyZhe, KeyGrid::KeyWildcard, KeyGrid::KeySwitch;
