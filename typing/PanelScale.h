#pragma once

#include <string>

// How large the 240 x 144 panel is drawn: a factor from the user's setting
// ("auto" or a number) and the screen, the same for every frontend. Auto
// makes a stroke key (46 layout pixels wide) at least MinKeyMillimetres wide
// on the screen and never makes the panel smaller than designed; no scale
// makes the panel wider than the screen.
class PanelScale
{
public:
    static constexpr double MinKeyMillimetres = 9.0;
    static constexpr double KeyWidth = 46.0;
    static constexpr double PanelWidth = 240.0;

    // pixelsPerMillimetre and screenWidth are in the pixels the panel is
    // measured in; either may be 0 when unknown. An unreadable setting (empty,
    // "auto", not a positive number) reads as auto.
    static double fromSetting(const std::string& setting, double pixelsPerMillimetre, double screenWidth);
    static double automatic(double pixelsPerMillimetre, double screenWidth);
};
