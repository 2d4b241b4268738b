#pragma once

// Stroke entry from a hardware keyboard, shared by every frontend: a key as
// the frontend saw it goes in, what the panel should do with it comes out.
// No toolkit types, so an input context and a desktop input-method addon map
// the same keys the same way.
//
//   h s p n z, keypad 1-5   strokes 一 丨 丿 丶 乛
//   ?  keypad *             wildcard stroke
//   1-9 0 (top row)         choose the 1st..10th visible candidate
//   Space                   choose the first candidate while strokes are typed
//   Page Up / -, Page Down / =   previous / next page of candidates
//   Backspace               removes the last stroke while strokes are typed
//   Escape                  clears the strokes or the association list
//   Shift pressed and released alone   stroke entry <-> keys passed through
//
// Keys with Ctrl, Alt or Super held always pass through. A key passed through
// leaves the pending strokes as they are: the frontend must not drop them.
class StrokeKeyMap
{
public:
    enum class Named { None, Space, Backspace, Escape, PageUp, PageDown, Shift, Other };

    struct Input
    {
        char32_t character = 0;        // what the key types, 0 for none
        Named named = Named::None;     // a key recognised by name; None: go by character
        bool keypad = false;           // came from the numeric keypad
        bool release = false;          // a release, not a press (or auto-repeat)
        bool commandModifier = false;  // Ctrl, Alt or Super held
    };

    // What the panel shows, as far as the mapping needs it.
    struct Panel
    {
        int strokes = 0;     // strokes typed and not yet turned into text
        int candidates = 0;  // candidates shown that a digit may choose
    };

    enum class Kind { PassThrough, Consume, Stroke, Choose, ChooseFirst, PriorPage, NextPage, BackSpace, Clear, ToggleMode };

    struct Action
    {
        Kind kind = Kind::PassThrough;
        char stroke = 0; // Stroke: '1'..'5', '7' for the wildcard
        int index = -1;  // Choose: 0-based among the visible candidates
    };

    static constexpr int MaxChoiceDigits = 10;

    Action map(const Input& key, const Panel& panel);

    // Stroke entry (true) or every key passed through (false).
    bool strokeEntry() const { return m_strokeEntry; }
    void setStrokeEntry(bool on);

private:
    Action mapPress(const Input& key, const Panel& panel) const;

    bool m_strokeEntry = true;
    bool m_shiftAlone = false; // Shift is down and no other key came since
};
