#include "PanelScale.h"
#include "StrokeKeyMap.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <tuple>

namespace {

using Map = StrokeKeyMap;

// Keys, one per word: a character, #c on the keypad, ^c with Ctrl, c+ its
// release; SP, BS, ESC, PU, PD, S (Shift), OT (any other named key).
Map::Input input(QString word)
{
    static const QStringList names = {"SP", "BS", "ESC", "PU", "PD", "S", "OT"};
    Map::Input key;
    key.keypad = word.startsWith(u'#');
    key.commandModifier = word.startsWith(u'^');
    key.release = word.size() > 1 && word.endsWith(u'+');
    word.chop(key.release ? 1 : 0);
    word.remove(0, key.keypad || key.commandModifier ? 1 : 0);
    if (const int n = names.indexOf(word); n >= 0)
        key.named = Map::Named(n + 1);
    else
        key.character = word.at(0).unicode();
    return key;
}

// What the map did, one word per key: . passed through, = consumed, the
// stroke digit, c<index> choose, F choose first, < > pages, B backspace,
// X clear, T mode toggled.
QString word(const Map::Action& a)
{
    switch (a.kind) {
    case Map::Kind::Stroke: return QString(QChar(a.stroke));
    case Map::Kind::Choose: return QStringLiteral("c%1").arg(a.index);
    default: return QString(".=??F<>BXT").at(int(a.kind));
    }
}

TEST(StrokeKeyMap, MapsEachKeyByThePanelAndTheMode)
{
    // The panel (strokes typed, candidates shown), the keys, what each did
    // and whether stroke entry is on after them.
    const std::tuple<Map::Panel, const char*, const char*> cases[] = {
        {{0, 0}, "h s p n z #1 #5 #6 ? #* H 1 - = PU PD SP BS ESC OT ^h h+",
         "1 2 3 4 5 1 5 . 7 7 . . . . . . . . . . . . on"},
        {{2, 5}, "? 1 5 6 SP PU - = BS ESC OT ^h", "7 c0 c4 . F < < > B X . . on"},
        {{0, 10}, "0 #7 SP PD BS ESC", "c9 . . > . X on"},
        {{3, 0}, "SP ESC", "= X on"},
        // Shift alone toggles; with another key or Ctrl between, it does not.
        {{0, 0}, "S ? S+ S A S+ ^S S+", ". 7 . . . . . . on"},
        {{2, 5}, "S S+ h 1 PD S S+ z", ". T . . . . T 5 on"},
        {{2, 5}, "S S+ h", ". T . off"},
    };
    for (const auto& [panel, keys, actions] : cases) {
        Map map;
        QStringList done;
        for (const QString& key : QString(keys).split(u' '))
            done << word(map.map(input(key), panel));
        done << (map.strokeEntry() ? "on" : "off");
        EXPECT_EQ(done.join(u' '), QString(actions)) << keys;
    }
}

TEST(PanelScale, KeysAtLeastNineMillimetresAndNoWiderThanTheScreen)
{
    // The setting, the screen's pixels per mm and width (0 unknown), the scale.
    const std::tuple<const char*, double, double, double> cases[] = {
        {"auto", 96 / 25.4, 1920, 1.0},    // a 46-pixel key is 12 mm already
        {"auto", 200 / 25.4, 3000, 1.75},  // 9 mm is 70.9 px: 1.54, up to a quarter
        {"auto", 400 / 25.4, 720, 3.0},    // 3.25 would be wider than 720 pixels
        {"", 0, 0, 1.0},                   // nothing known: as designed
        {"2", 96 / 25.4, 1920, 2.0},
        {"1.5 ", 200 / 25.4, 1920, 1.5},
        {"9", 96 / 25.4, 1080, 4.5},       // never wider than the screen
        {"-1", 200 / 25.4, 3000, 1.75},    // unreadable settings read as auto
        {"2x", 200 / 25.4, 3000, 1.75},
        {"inf", 96 / 25.4, 1920, 1.0},
    };
    for (auto [setting, perMillimetre, width, scale] : cases)
        EXPECT_DOUBLE_EQ(PanelScale::fromSetting(setting, perMillimetre, width), scale) << setting;
}

} // namespace
