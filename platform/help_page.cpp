#include "platform/help_page.h"

#include "platform/runtime.h"

namespace corvane {

namespace {

struct Topic {
    int context;
    const char* anchor;
};
constexpr Topic kTopics[] = {{13, "preferences"}};

}  // namespace

HtmlHelpPage htmlHelpPage(const std::string& helpFile, char separator, HelpCommand command, int context) {
    const std::size_t last = helpFile.rfind(separator);
    const std::string folder = last == std::string::npos ? std::string() : helpFile.substr(0, last + 1);
    HtmlHelpPage page{folder + kHelpFolder + separator + kHelpPage, {}};
    if (command == HelpCommand::Context)
        for (const Topic& t : kTopics)
            if (t.context == context) page.anchor = t.anchor;
    return page;
}

}  // namespace corvane
