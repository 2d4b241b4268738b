#include "StrokeKeyMap.h"

namespace {

using Kind = StrokeKeyMap::Kind;
using Action = StrokeKeyMap::Action;

char strokeOfCharacter(char32_t c, bool keypad)
{
    if (keypad) {
        if (c >= U'1' && c <= U'5')
            return char(c);
        return c == U'*' ? '7' : 0;
    }
    switch (c) {
    case U'h': return '1'; // 一 héng
    case U's': return '2'; // 丨 shù
    case U'p': return '3'; // 丿 piě
    case U'n': return '4'; // 丶 nà / diǎn
    case U'z': return '5'; // 乛 zhé
    case U'?': return '7';
    default: return 0;
    }
}

Action act(Kind kind) { return Action{kind, 0, -1}; }

} // namespace

void StrokeKeyMap::setStrokeEntry(bool on)
{
    m_strokeEntry = on;
    m_shiftAlone = false;
}

StrokeKeyMap::Action StrokeKeyMap::map(const Input& key, const Panel& panel)
{
    if (key.named == Named::Shift) {
        if (!key.release) {
            m_shiftAlone = !key.commandModifier;
            return act(Kind::PassThrough);
        }
        const bool toggle = m_shiftAlone;
        m_shiftAlone = false;
        if (!toggle)
            return act(Kind::PassThrough);
        m_strokeEntry = !m_strokeEntry;
        return act(Kind::ToggleMode);
    }
    if (key.release)
        return act(Kind::PassThrough);
    m_shiftAlone = false;
    if (!m_strokeEntry || key.commandModifier)
        return act(Kind::PassThrough);
    return mapPress(key, panel);
}

StrokeKeyMap::Action StrokeKeyMap::mapPress(const Input& key, const Panel& panel) const
{
    const bool typing = panel.strokes > 0;
    const bool listed = panel.candidates > 0;
    switch (key.named) {
    case Named::Space:
        if (!typing)
            return act(Kind::PassThrough);
        return act(listed ? Kind::ChooseFirst : Kind::Consume);
    case Named::Backspace:
        return act(typing ? Kind::BackSpace : Kind::PassThrough);
    case Named::Escape:
        return act(typing || listed ? Kind::Clear : Kind::PassThrough);
    case Named::PageUp:
        return act(listed ? Kind::PriorPage : Kind::PassThrough);
    case Named::PageDown:
        return act(listed ? Kind::NextPage : Kind::PassThrough);
    case Named::Other:
        return act(Kind::PassThrough);
    case Named::None:
    case Named::Shift:
        break;
    }
    const char32_t c = key.character;
    if (const char stroke = strokeOfCharacter(c, key.keypad))
        return Action{Kind::Stroke, stroke, -1};
    if (!key.keypad && c >= U'0' && c <= U'9') {
        const int index = c == U'0' ? MaxChoiceDigits - 1 : int(c - U'1');
        if (index < panel.candidates)
            return Action{Kind::Choose, 0, index};
        return act(Kind::PassThrough);
    }
    if (listed && (c == U'-' || c == U'='))
        return act(c == U'-' ? Kind::PriorPage : Kind::NextPage);
    return act(Kind::PassThrough);
}
