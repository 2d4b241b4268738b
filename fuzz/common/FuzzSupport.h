#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>

// Helpers shared by the fuzz targets. The targets also build, with a small
// replay driver, as ordinary tests that run every committed corpus file.

// Aborts the run with a message: an invariant of the code under test broke.
[[noreturn]] void FuzzFail(const std::string& message);
#define FUZZ_CHECK(condition, message) \
    do { \
        if (!(condition)) \
            FuzzFail(std::string(#condition) + ": " + (message)); \
    } while (false)

// One QApplication on the offscreen platform for the whole process.
void FuzzInitGui();

// This process's own scratch directory, ending in "/"; removed at exit.
QString FuzzDir();
// Writes bytes to name in FuzzDir() (replacing it) and returns its path.
QString FuzzWrite(const QString& name, const QByteArray& bytes);
QByteArray FuzzRead(const QString& path);
