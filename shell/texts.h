#pragma once
// Text rules several forms share.

#include <string_view>

namespace corvane {

// The text without its leading and trailing blanks; other white space stays.
inline std::string_view trimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace corvane
