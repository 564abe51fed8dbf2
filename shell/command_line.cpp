#include "shell/command_line.h"

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

CommandLineOutcome refused(std::string_view what, std::string_view arg) {
    return {.start = false,
            .exitStatus = 2,
            .out = {},
            .err = std::string(kName) + ": " + std::string(what) + " '" + std::string(arg) + "'\n" + usage()};
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
