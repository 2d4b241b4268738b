#include "PanelScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

double capToScreen(double scale, double screenWidth)
{
    if (screenWidth > 0)
        scale = std::min(scale, screenWidth / PanelScale::PanelWidth);
    return scale;
}

} // namespace

double PanelScale::automatic(double pixelsPerMillimetre, double screenWidth)
{
    double scale = 1.0;
    if (pixelsPerMillimetre > 0 && std::isfinite(pixelsPerMillimetre)) {
        // Quarter steps keep the grid's lines on whole pixels more often.
        scale = std::ceil(MinKeyMillimetres * pixelsPerMillimetre / KeyWidth * 4) / 4;
        scale = std::max(1.0, scale);
    }
    return capToScreen(scale, screenWidth);
}

double PanelScale::fromSetting(const std::string& setting, double pixelsPerMillimetre, double screenWidth)
{
    const char* begin = setting.c_str();
    char* end = nullptr;
    const double number = std::strtod(begin, &end);
    const bool trailingBlank = end && std::all_of(static_cast<const char*>(end), begin + setting.size(),
                                                  [](char c) { return c == ' ' || c == '\t'; });
    if (end == begin || !trailingBlank || !(number > 0) || !std::isfinite(number))
        return automatic(pixelsPerMillimetre, screenWidth);
    return capToScreen(number, screenWidth);
}
