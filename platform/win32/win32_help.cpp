#include "platform/win32/win32_help.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstdio>

#include "platform/help_page.h"

namespace corvane {

std::string fileUrl(const std::string& path, const std::string& anchor) {
    std::string url = "file:///";
    for (const unsigned char c : path) {
        if (c == '\\') {
            url += '/';
        } else if (c <= ' ' || c == '%' || c == '#' || c >= 0x7F) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            url += escaped;
        } else {
            url += static_cast<char>(c);
        }
    }
    if (!anchor.empty()) url.append(1, '#').append(anchor);
    return url;
}

void Win32Help::show(const std::string& helpFile, HelpCommand command, int context) {
    if (GetFileAttributesA(helpFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const UINT winHelpCommand = command == HelpCommand::Contents ? HELP_CONTENTS : HELP_CONTEXT;
        WinHelpA(owner_, helpFile.c_str(), winHelpCommand, static_cast<ULONG_PTR>(context));
        return;
    }
    const HtmlHelpPage page = htmlHelpPage(helpFile, '\\', command, context);
    // Opened as a file, the page loses its anchor; a topic goes to the browser that opens pages, as a
    // URL, where one is registered.
    char browser[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!page.anchor.empty() &&
        AssocQueryStringA(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, ".html", "open", browser, &size) == S_OK) {
        std::string argument(1, '"');
        argument.append(fileUrl(page.file, page.anchor)).append(1, '"');
        ShellExecuteA(owner_, "open", browser, argument.c_str(), nullptr, SW_SHOWNORMAL);
        return;
    }
    ShellExecuteA(owner_, "open", page.file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace corvane
