#pragma once

#include "TestFiles.h"

#include <QByteArray>
#include <QString>

// A setting directory for one test, made current through IM_SETTING_DIR for
// the guard's lifetime, so that a component constructed meanwhile reads its
// tarvin.cfg from here.
class SettingDir
{
public:
    SettingDir();
    ~SettingDir();

    SettingDir(const SettingDir&) = delete;
    SettingDir& operator=(const SettingDir&) = delete;

    // Writes tarvin.cfg with [BH] InstallDir=dir.
    void pointAt(const QString& dir);
    // Writes tarvin.cfg as given.
    void writeConfig(const QByteArray& text);
    QString path(const QString& name) const { return m_dir.path(name); }

private:
    TestDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};
