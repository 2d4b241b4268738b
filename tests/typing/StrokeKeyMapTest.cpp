#include "StrokeKeyMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Map = StrokeKeyMap;
using Kind = Map::Kind;
using Named = Map::Named;

Map::Input ch(char32_t c) { return {c, Named::None, false, false, false}; }
Map::Input pad(char32_t c) { return {c, Named::None, true, false, false}; }
Map::Input named(Named n) { return {0, n, false, false, false}; }
Map::Input ctrl(char32_t c) { return {c, Named::None, false, false, true}; }
Map::Input shiftDown() { return named(Named::Shift); }
Map::Input shiftUp() { return {0, Named::Shift, false, true, false}; }
Map::Input up(char32_t c) { return {c, Named::None, false, true, false}; }

struct Case
{
    const char* name;
    Map::Panel panel;              // strokes, candidates
    std::vector<Map::Input> keys;  // the last one is checked
    Kind kind;
    int detail;                    // the stroke digit or the candidate index
    bool strokeEntryAfter;
};

const Case Cases[] = {
    {"h_is_heng", {0, 0}, {ch('h')}, Kind::Stroke, '1', true},
    {"s_is_shu", {1, 5}, {ch('s')}, Kind::Stroke, '2', true},
    {"p_is_pie", {0, 0}, {ch('p')}, Kind::Stroke, '3', true},
    {"n_is_dian", {0, 0}, {ch('n')}, Kind::Stroke, '4', true},
    {"z_is_zhe", {0, 0}, {ch('z')}, Kind::Stroke, '5', true},
    {"keypad_1", {0, 0}, {pad('1')}, Kind::Stroke, '1', true},
    {"keypad_5", {0, 0}, {pad('5')}, Kind::Stroke, '5', true},
    {"keypad_6_passes", {0, 0}, {pad('6')}, Kind::PassThrough, 0, true},
    {"question_wildcard", {2, 5}, {ch('?')}, Kind::Stroke, '7', true},
    {"keypad_star_wildcard", {0, 0}, {pad('*')}, Kind::Stroke, '7', true},
    {"shifted_question_keeps_mode", {0, 0}, {shiftDown(), ch('?'), shiftUp()}, Kind::PassThrough, 0, true},
    {"capital_h_passes", {0, 0}, {ch('H')}, Kind::PassThrough, 0, true},
    {"digit_1_first", {2, 5}, {ch('1')}, Kind::Choose, 0, true},
    {"digit_0_tenth", {0, 10}, {ch('0')}, Kind::Choose, 9, true},
    {"digit_beyond_list_passes", {1, 3}, {ch('4')}, Kind::PassThrough, 0, true},
    {"digit_without_list_passes", {0, 0}, {ch('1')}, Kind::PassThrough, 0, true},
    {"space_chooses_first", {3, 5}, {named(Named::Space)}, Kind::ChooseFirst, 0, true},
    {"space_nothing_matched_kept", {3, 0}, {named(Named::Space)}, Kind::Consume, 0, true},
    {"space_association_passes", {0, 10}, {named(Named::Space)}, Kind::PassThrough, 0, true},
    {"page_up", {1, 5}, {named(Named::PageUp)}, Kind::PriorPage, 0, true},
    {"page_down", {0, 10}, {named(Named::PageDown)}, Kind::NextPage, 0, true},
    {"minus_prior", {1, 5}, {ch('-')}, Kind::PriorPage, 0, true},
    {"equals_next", {1, 5}, {ch('=')}, Kind::NextPage, 0, true},
    {"minus_without_list_passes", {0, 0}, {ch('-')}, Kind::PassThrough, 0, true},
    {"page_down_without_list_passes", {0, 0}, {named(Named::PageDown)}, Kind::PassThrough, 0, true},
    {"backspace_removes_stroke", {2, 5}, {named(Named::Backspace)}, Kind::BackSpace, 0, true},
    {"backspace_edits_text", {0, 10}, {named(Named::Backspace)}, Kind::PassThrough, 0, true},
    {"escape_clears_strokes", {2, 0}, {named(Named::Escape)}, Kind::Clear, 0, true},
    {"escape_clears_association", {0, 10}, {named(Named::Escape)}, Kind::Clear, 0, true},
    {"escape_idle_passes", {0, 0}, {named(Named::Escape)}, Kind::PassThrough, 0, true},
    {"other_key_passes_strokes_kept", {2, 5}, {named(Named::Other)}, Kind::PassThrough, 0, true},
    {"ctrl_h_passes", {2, 5}, {ctrl('h')}, Kind::PassThrough, 0, true},
    {"release_passes", {0, 0}, {ch('h'), up('h')}, Kind::PassThrough, 0, true},
    {"shift_alone_toggles", {2, 5}, {shiftDown(), shiftUp()}, Kind::ToggleMode, 0, false},
    {"shift_down_passes", {0, 0}, {shiftDown()}, Kind::PassThrough, 0, true},
    {"shift_chord_no_toggle", {0, 0}, {shiftDown(), ch('A'), shiftUp()}, Kind::PassThrough, 0, true},
    {"ctrl_shift_no_toggle", {0, 0}, {{0, Named::Shift, false, false, true}, shiftUp()}, Kind::PassThrough, 0, true},
    {"passing_mode_letter", {2, 5}, {shiftDown(), shiftUp(), ch('h')}, Kind::PassThrough, 0, false},
    {"passing_mode_digit", {2, 5}, {shiftDown(), shiftUp(), ch('1')}, Kind::PassThrough, 0, false},
    {"toggle_back", {0, 0}, {shiftDown(), shiftUp(), shiftDown(), shiftUp(), ch('z')}, Kind::Stroke, '5', true},
};

class StrokeKeyMapTest : public testing::TestWithParam<Case>
{
};

TEST_P(StrokeKeyMapTest, MapsTheLastKey)
{
    const Case& c = GetParam();
    Map map;
    Map::Action action;
    for (const Map::Input& key : c.keys)
        action = map.map(key, c.panel);
    EXPECT_EQ(action.kind, c.kind);
    if (c.kind == Kind::Stroke) {
        EXPECT_EQ(action.stroke, c.detail);
    } else if (c.kind == Kind::Choose) {
        EXPECT_EQ(action.index, c.detail);
    }
    EXPECT_EQ(map.strokeEntry(), c.strokeEntryAfter);
}

INSTANTIATE_TEST_SUITE_P(Keys, StrokeKeyMapTest, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
