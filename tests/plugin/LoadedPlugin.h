#pragma once

#include "ImHostAbi.h"

#include <QString>
#include <QVariantMap>

#include <array>
#include <cstdint>
#include <vector>

class QWidget;

// The built plug-in library, loaded with dlopen exactly as a manager loads
// it. It stays loaded for the whole test program, as it would in a manager
// that keeps its input methods.
class LoadedPlugin
{
public:
    // The handle; the test fails (and this is null) if the library does not load.
    static void* handle();
    static QUnknownInterface* instantiate();
    // An exported data symbol of the library, by its (unmangled) name.
    static void* symbol(const char* name);
    // The data directory the library's components use now.
    static QString appPath();

    // Pointer press and release at the centre of a key of the panel.
    static void tap(QWidget* panel, int key);
    // What the panel shows: keyboard, cells, lineArea, line.
    static QVariantMap state(QWidget* panel);
    static QStringList cells(QWidget* panel);

    // The class identity every test host puts into its commands.
    static const void* hostTag();
};

// A keyboard service that keeps the 32 bytes of every key command.
class RecordingService : public ZKbServiceInterface
{
public:
    int executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override;

    std::vector<std::array<uint8_t, 32>> commands;
    // The characters of the commands, backspaces as '\b'.
    QString typed() const;
};
