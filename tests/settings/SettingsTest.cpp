#include "SETUP_SET_Manager.h"
#include "TestFiles.h"
#include "ZConfig.h"

#include <gtest/gtest.h>

namespace {

QString installDir(const QString& cfgPath, const QString& fallback)
{
    SETUP_SET_Manager settings(cfgPath, false);
    QString value = fallback;
    settings.getSettingInfo(QStringLiteral("BH"), QStringLiteral("InstallDir"), value, fallback, false);
    return value;
}

class EnvGuard
{
public:
    explicit EnvGuard(const char* name) : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name)) {}
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

} // namespace

TEST(ZConfig, SettingDirectoryFromEnvironmentAlwaysEndsInSlash)
{
    EnvGuard guard("IM_SETTING_DIR");
    qputenv("IM_SETTING_DIR", "/tmp/im");
    EXPECT_EQ(ZConfig::getSettingDirectory(), QStringLiteral("/tmp/im/"));
    qputenv("IM_SETTING_DIR", "/tmp/im/");
    EXPECT_EQ(ZConfig::getSettingDirectory(), QStringLiteral("/tmp/im/"));
    qunsetenv("IM_SETTING_DIR");
    EXPECT_TRUE(ZConfig::getSettingDirectory().endsWith(QLatin1Char('/')));
}

TEST(SettingsManager, ReadsEntryOrFallsBack)
{
    TestDir dir;
    const QString fallback = QStringLiteral("/default/");
    EXPECT_EQ(installDir(dir.write("a.cfg", "[BH]\nInstallDir=/opt/pack\n"), fallback), QStringLiteral("/opt/pack"));
    // Non-ASCII paths and commas survive.
    EXPECT_EQ(installDir(dir.write("b.cfg", "[BH]\nInstallDir=/opt/词库,v2/\n"), fallback),
              QString::fromUtf8("/opt/词库,v2/"));
    EXPECT_EQ(installDir(dir.write("c.cfg", "[Other]\nInstallDir=/x\n"), fallback), fallback);
    EXPECT_EQ(installDir(dir.path("missing.cfg"), fallback), fallback);
    EXPECT_EQ(installDir(dir.write("d.cfg", QByteArray("\x00\xff\xfe[BH\n==\n", 9)), fallback), fallback);
    // A directory in place of the file reads as no entries.
    EXPECT_EQ(installDir(dir.dir(), fallback), fallback);
}

TEST(SettingsManager, NeverWritesTheFile)
{
    TestDir dir;
    const QByteArray original("[BH]\nInstallDir = /opt/pack\n; comment kept\n");
    const QString path = dir.write("tarvin.cfg", original);
    installDir(path, QStringLiteral("/d/"));
    EXPECT_EQ(dir.read("tarvin.cfg"), original);
    installDir(dir.path("absent.cfg"), QStringLiteral("/d/"));
    EXPECT_FALSE(QFile::exists(dir.path("absent.cfg")));
}
