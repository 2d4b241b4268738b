#include "SETUP_SET_Manager.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

// tarvin.cfg's [BH] InstallDir, or the fallback; the file is never written.
TEST(SettingsManager, ReadsEntryOrFallsBackAndNeverWrites)
{
    TestDir dir;
    const QString fallback = QStringLiteral("/default/");
    const std::pair<QByteArray, QString> cases[] = {
        {"[BH]\nInstallDir=/opt/pack\n", QStringLiteral("/opt/pack")},
        {"[BH]\nInstallDir = /opt/词库,v2/\n; comment\n", QStringLiteral("/opt/词库,v2/")}, // non-ASCII, a comma
        {"[Other]\nInstallDir=/x\n", fallback},
        {QByteArray("\x00\xff\xfe[BH\n==\n", 9), fallback},
        {"[BH]\nInstallDir=/opt/pack\n[BH\n", fallback}, // unreadable as a whole: not trusted
    };
    for (const auto& [text, expected] : cases) {
        const QString path = dir.write(QStringLiteral("tarvin.cfg"), text);
        for (const QString& file : {path, dir.path("missing.cfg"), dir.dir()}) { // a folder reads as no entries
            SETUP_SET_Manager settings(file, false);
            QString value;
            settings.getSettingInfo(QStringLiteral("BH"), QStringLiteral("InstallDir"), value, fallback, false);
            EXPECT_EQ(value, file == path ? expected : fallback) << text.toStdString();
        }
        EXPECT_EQ(dir.read(QStringLiteral("tarvin.cfg")), text);
        EXPECT_FALSE(QFile::exists(dir.path("missing.cfg")));
    }
}
