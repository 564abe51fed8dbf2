#include "shell/command_line.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

namespace {

// The name the messages use: argv[0] would be a full Windows path under some shells.
constexpr std::string_view kName = "corvane";

std::string usage() {
    return "Usage: corvane [--help | --version]\n"
           "A battery meter: an icon in the notification area and a small meter window.\n"
           "Started again while it runs, it brings the running meter forward and ends.\n"
           "\n"
           "  -h, --help     print this help and end\n"
           "      --version  print the version and end\n";
}

// The length of the UTF-8 sequence at the front of the text when it is one whole character in its
// shortest form, else 0 (a longer form could hide a control).
std::size_t characterLength(std::string_view text) {
    const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const std::size_t n = lead >= 0xF5 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (n == 0 || text.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    // Longer forms, the halves of surrogate pairs, and what lies beyond the last code point.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0) ||
        (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) >= 0x90))
        return 0;
    return n;
}

// What a terminal would act on instead of showing, an escape sequence above all, is shown as \xNN: the
// C0 controls, DEL, and the C1 controls, both as single bytes and as UTF-8 characters. Other text,
// in UTF-8 or a single-byte code page, goes out as it came.
std::string escaped(std::string_view arg) {
    std::string shown;
    const auto hex = [&shown](unsigned char c) {
        constexpr char kDigits[] = "0123456789abcdef";
        shown += {'\\', 'x', kDigits[c >> 4], kDigits[c & 15]};
    };
    while (!arg.empty()) {
        const auto b = static_cast<unsigned char>(arg[0]);
        const std::size_t n = characterLength(arg);
        if (n == 2 && b == 0xC2 && static_cast<unsigned char>(arg[1]) < 0xA0) {
            hex(b);
            hex(static_cast<unsigned char>(arg[1]));
        } else if (n != 0) {
            shown.append(arg.substr(0, n));
        } else if (b < 0x20 || (b >= 0x7F && b < 0xA0)) {  // C0, then DEL and C1
            hex(b);
        } else {
            shown += arg[0];
        }
        arg.remove_prefix(std::max<std::size_t>(n, 1));
    }
    return shown;
}

CommandLineOutcome refused(std::string_view what, std::string_view arg) {
    return {.start = false,
            .exitStatus = 2,
            .out = {},
            .err = std::string(kName) + ": " + std::string(what) + " '" + escaped(arg) + "'\n" + usage()};
}

}  // namespace

CommandLineOutcome readCommandLine(int argc, const char* const* argv) {
    bool optionsEnded = false;
    // In order, as the usual option readers go: the first switch that ends the program answers, and an
    // argument not understood before it refuses the whole line.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i] ? argv[i] : "";
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (optionsEnded || arg.empty() || arg.front() != '-' || arg == "-") {
            return refused("takes no arguments, found", arg);
        } else if (arg == "--help" || arg == "-h") {
            return {.start = false, .exitStatus = 0, .out = usage(), .err = {}};
        } else if (arg == "--version") {
            return {.start = false, .exitStatus = 0, .out = "Corvane " CORVANE_VERSION "\n", .err = {}};
        } else {
            return refused("unknown option", arg);
        }
    }
    return {};
}

}  // namespace corvane
