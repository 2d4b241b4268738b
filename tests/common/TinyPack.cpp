#include "TinyPack.h"

#include "Gbk.h"

#include <QFile>

TinyPack::TinyPack()
    : m_previousSettingDir(qgetenv("IM_SETTING_DIR"))
{
    // Real stroke orders in candidate order.
    m_data.write(QStringLiteral("bs.dat"),
                 strokeFile({{"1", u'一'}, {"11", u'二'}, {"12", u'十'}, {"111", u'三'}, {"112", u'干'},
                             {"1121", u'王'}, {"121", u'土'}, {"121", u'工'}, {"1134", u'天'}, {"134", u'大'},
                             {"2512", u'中'}, {"25112141", u'国'}, {"34", u'人'}, {"32425", u'们'},
                             {"3121534", u'我'}, {"32511354", u'的'}}));
    AssociationFiles lists;
    lists.add(u'中', {{u'国', 10}, {u'文', 8}, {u'心', 6}});
    lists.add(u'人', {{u'们', 4}, {u'民', 2}});
    lists.add(u'国', {{u'王', 6}, {u'土', 4}, {u'人', 2}});
    lists.add(u'我', {{u'们', 8}, {u'的', 6}, {u'是', 4}, {u'国', 2}});
    lists.writeTo(m_data);
    m_data.write(QStringLiteral("Symbols.txt"),
                 toGbk(QStringLiteral("，。、；：？！…—·《》（）\r\n\r\nabcdefghij\r\nABCDEFGHIJ\r\n1234567890\r\n\r\n\r\n\r\n"
                                 "；“”、…：，。？！\r\n")));

    // Both folders without their final slash, which the component adds.
    qputenv("IM_SETTING_DIR", m_settings.dir().chopped(1).toLocal8Bit());
    writeConfig("[BH]\nInstallDir=" + dir().chopped(1).toUtf8() + "\n");
}

TinyPack::~TinyPack()
{
    if (m_previousSettingDir.isNull())
        qunsetenv("IM_SETTING_DIR");
    else
        qputenv("IM_SETTING_DIR", m_previousSettingDir);
}

std::pair<char16_t, quint16> TinyPack::record(int offset) const
{
    const QByteArray dat = wordDat();
    return {u16At(dat, offset), u16At(dat, offset + 2)};
}

void TinyPack::writeConfig(const QByteArray& text)
{
    if (text.isEmpty())
        QFile::remove(m_settings.path(QStringLiteral("tarvin.cfg")));
    else
        m_settings.write(QStringLiteral("tarvin.cfg"), text);
}

TinyPack& prepareInputContext(const char* qtPluginPath, bool offscreen)
{
    if (offscreen && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_IM_MODULE", "diroru");
    qputenv("QT_PLUGIN_PATH", qtPluginPath);
    static TinyPack pack;
    return pack;
}
