#pragma once
// Where the HTML help stands for a Windows help file: in the folder "help" beside that file, one page
// with an anchor for each topic the program opens by its context number.

#include <string>

#include "platform/runtime.h"

namespace corvane {

inline constexpr const char* kHelpFolder = "help";
inline constexpr const char* kHelpPage = "index.html";

struct HtmlHelpPage {
    std::string file;    // full path, with the platform's separator
    std::string anchor;  // empty: the top of the page, the contents
    bool operator==(const HtmlHelpPage&) const = default;
};

// The page and anchor for a help command: the topic of a known context number (13, the preferences),
// the contents for anything else.
HtmlHelpPage htmlHelpPage(const std::string& helpFile, char separator, HelpCommand command, int context);

}  // namespace corvane
