#include "TinyPack.h"

#include <QFile>
#include <QStringEncoder>
#include <QtEndian>

TinyPack::TinyPack()
    : m_previousSettingDir(qgetenv("IM_SETTING_DIR"))
{
    // Real stroke orders (1 一, 2 丨, 3 丿, 4 丶, 5 乛) in candidate order.
    const std::pair<const char*, char16_t> strokes[] = {
        {"1", u'一'}, {"11", u'二'}, {"12", u'十'}, {"111", u'三'}, {"112", u'干'}, {"1121", u'王'},
        {"121", u'土'}, {"121", u'工'}, {"1134", u'天'}, {"134", u'大'}, {"2512", u'中'},
        {"25112141", u'国'}, {"34", u'人'}, {"32425", u'们'}, {"3121534", u'我'}, {"32511354", u'的'},
    };
    QByteArray bs;
    for (const auto& [digits, character] : strokes) {
        quint32 words[3] = {0, 0, 0};
        for (int p = 0; digits[p]; ++p)
            words[p / 10] |= quint32(digits[p] - '0') << (3 * (p % 10));
        appendU32(bs, words[0]);
        appendU32(bs, words[1]);
        appendU16(bs, quint16(words[2]));
        appendU16(bs, character);
    }
    m_data.write(QStringLiteral("bs.dat"), bs);

    const std::pair<char16_t, QString> lists[] = {
        {u'中', QStringLiteral("国文心")}, {u'人', QStringLiteral("们民")},
        {u'国', QStringLiteral("王土人")}, {u'我', QStringLiteral("们的是国")}};
    QByteArray idx, dat;
    for (const auto& [lead, followers] : lists) {
        appendU16(idx, lead);
        appendU16(idx, quint16(followers.size()));
        appendU32(idx, quint32(dat.size()));
        for (int i = 0; i < followers.size(); ++i) {
            appendU16(dat, followers.at(i).unicode());
            appendU16(dat, quint16(2 * (followers.size() - i) + (lead == u'中' ? 4 : 0)));
        }
    }
    m_data.write(QStringLiteral("word.idx"), idx);
    m_data.write(QStringLiteral("word.dat"), dat);

    QStringEncoder gbk("GBK");
    m_data.write(QStringLiteral("Symbols.txt"),
                 gbk.encode(QStringLiteral("，。、；：？！…—·《》（）\r\n\r\nabcdefghij\r\nABCDEFGHIJ\r\n1234567890\r\n\r\n\r\n\r\n"
                                           "；“”、…：，。？！\r\n")));

    qputenv("IM_SETTING_DIR", m_settings.dir().toLocal8Bit());
    writeConfig("[BH]\nInstallDir=" + dir().toUtf8() + "\n");
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
    if (offset < 0 || offset + 4 > dat.size())
        return {0, 0};
    return {qFromLittleEndian<quint16>(dat.constData() + offset),
            qFromLittleEndian<quint16>(dat.constData() + offset + 2)};
}

void TinyPack::writeConfig(const QByteArray& text)
{
    if (text.isEmpty())
        QFile::remove(configPath());
    else
        m_settings.write(QStringLiteral("tarvin.cfg"), text);
}
