#include "platform/text.h"

#include <algorithm>
#include <cmath>

#include "platform/nearest.h"

namespace corvane {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

int emPixels(const Font& font, double twipsPerPixelY) {
    constexpr double kTwipsPerPoint = 20;
    constexpr double kLargest = 1000;
    const double px = nearestEven(font.points * kTwipsPerPoint / (twipsPerPixelY > 0 ? twipsPerPixelY : 15));
    if (std::isnan(px)) return 1;
    return static_cast<int>(std::clamp(px, 1.0, kLargest));
}

}  // namespace corvane
