#pragma once

#include "ImHostAbi.h"
#include "PanelTaps.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QWidget>

#include <array>
#include <vector>

// One component per test of the plug-in library, which is loaded with
// dlopen as a manager loads it and linked with nothing of the test: its
// globals exist once, inside it. It stays loaded for the whole program.
class PluginFixture : public ::testing::Test
{
public:
    // The class identity of this host's commands.
    static const void* hostTag();

protected:
    // A keyboard service keeping the 32 bytes of every key command.
    struct Service : ZKbServiceInterface {
        int executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override;
        QString typed() const; // the characters sent, backspace as '\b'
        std::vector<std::array<uint8_t, 32>> commands;
    };

    static void* symbol(const char* name);
    static QUnknownInterface* instantiate();

    void TearDown() override;
    // Instantiates the component (count 1) and takes its three interfaces.
    void take();
    // take, register the service, activate, fetch and show the panel.
    QWidget* start();
    QWidget* requestWidget();
    bool sendSetting(uint32_t code, uint32_t argument = 0);
    void tap(const std::vector<int>& keys) { tapKeys(panel, keys); }
    QStringList cells() { return panelState(panel).value(QStringLiteral("cells")).toStringList(); }

    TinyPack pack;
    Service service;
    QUnknownInterface* unknown = nullptr;
    ZInputMethodInterface* im = nullptr;
    ZInputMethodFactory* factory = nullptr;
    QLibraryInterface* library = nullptr;
    QPointer<QWidget> panel;
};
