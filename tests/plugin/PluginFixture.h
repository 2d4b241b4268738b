#pragma once

#include "LoadedPlugin.h"
#include "SettingDir.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QWidget>

// Keys of the panel's grid.
enum PanelKey {
    KeyPrior = 10, KeyHeng = 11, KeyShu = 12, KeyPie = 13, KeyBackspace = 14,
    KeyNext = 15, KeyDian = 16, KeyZhe = 17, KeyWildcard = 18, KeySwitch = 19,
};

// One component of the dlopen'ed library per test, reading the tiny pack.
class PluginFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Instantiates the component (count 1) and takes its three interfaces.
    void instantiate();
    // instantiate, register the service, activate, fetch and show the panel.
    QWidget* start();
    // Settings command code 0; null when the component gives no widget.
    QWidget* requestWidget();
    bool sendSetting(uint32_t code);
    void tapStrokes(std::initializer_list<int> keys);

    TinyPack pack;
    SettingDir settings;
    RecordingService service;
    QUnknownInterface* unknown = nullptr;
    ZInputMethodInterface* im = nullptr;
    ZInputMethodFactory* factory = nullptr;
    QLibraryInterface* library = nullptr;
    QPointer<QWidget> panel;
};

// The default punctuation candidates, cell by cell.
QStringList defaultCells();
