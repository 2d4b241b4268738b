#pragma once

#include "TestFiles.h"

#include <utility>

// A small data pack in a fresh directory, made the component's data
// directory through a tarvin.cfg in a fresh IM_SETTING_DIR for the pack's
// lifetime.
//   Candidates of stroke 1, in order: 一 二 十 三 干 | 王 土 工 天 大.
//   word.dat (offset: list): 0 中: 国 10, 文 8, 心 6 · 12 人: 们 4, 民 2
//                            20 国: 王 6, 土 4, 人 2 · 32 我: 们 8, 的 6, 是 4, 国 2
//   Symbols.txt table 1: ，。、；：？！…—·《》（）, table 2: a-j (A-J shifted),
//   table 3: 1234567890
class TinyPack
{
public:
    TinyPack();
    ~TinyPack();

    QString dir() const { return m_data.dir(); }
    QByteArray wordDat() const { return m_data.read(QStringLiteral("word.dat")); }
    // Character and weight of the word.dat record at offset.
    std::pair<char16_t, quint16> record(int offset) const;
    // Replaces tarvin.cfg; an empty text removes it.
    void writeConfig(const QByteArray& text);

private:
    TestDir m_data;
    TestDir m_settings;
    QByteArray m_previousSettingDir;
};

// For a test program whose application loads the "diroru" Qt input context:
// call before the application exists. Sets QT_IM_MODULE, QT_PLUGIN_PATH and,
// when offscreen and no platform is named, the offscreen platform; returns
// one tiny pack that lives as long as the program.
TinyPack& prepareInputContext(const char* qtPluginPath, bool offscreen = true);
