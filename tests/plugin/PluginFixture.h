#pragma once

#include "ImHostAbi.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QVariantMap>
#include <QWidget>

#include <array>
#include <vector>

enum PanelKey {
    KeyHeng = 11, KeyShu = 12, KeyPie = 13, KeyBackspace = 14, KeyNext = 15,
    KeyZhe = 17, KeyWildcard = 18, KeySwitch = 19,
};

// One component per test of the plug-in library, which is loaded with
// dlopen as a manager loads it and linked with nothing of the test: its
// globals exist once, inside it. It stays loaded for the whole program.
class PluginFixture : public ::testing::Test
{
protected:
    // A keyboard service keeping the 32 bytes of every key command.
    struct Service : ZKbServiceInterface {
        int executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override;
        QString typed() const;  // the characters sent, backspace as '\b'
        std::vector<std::array<uint8_t, 32>> commands;
    };

    static void* symbol(const char* name);
    static QUnknownInterface* instantiate();
    static const void* hostTag();

    void TearDown() override;
    // Instantiates the component (count 1) and takes its three interfaces.
    void take();
    // take, register the service, activate, fetch and show the panel.
    QWidget* start();
    QWidget* requestWidget();
    bool sendSetting(uint32_t code);
    void tap(std::initializer_list<int> keys);
    QVariantMap state();
    QStringList cells() { return state().value(QStringLiteral("cells")).toStringList(); }
    static QStringList defaultCells();

    TinyPack pack;
    Service service;
    QUnknownInterface* unknown = nullptr;
    ZInputMethodInterface* im = nullptr;
    ZInputMethodFactory* factory = nullptr;
    QLibraryInterface* library = nullptr;
    QPointer<QWidget> panel;
};
