#pragma once
// The program's command line, the same on every system: two switches that print something and end,
// and nothing that starts the program differently. Whatever it holds, the settings are not touched:
// a command line that does not start the program ends before anything has read or written them.

#include <string>

namespace corvane {

struct CommandLineOutcome {
    bool start = true;   // start the program; otherwise end at once with exitStatus
    int exitStatus = 0;  // 0 for an answer that was asked for, 2 for a command line not understood
    std::string out;     // for standard output
    std::string err;     // for standard error
};

// The arguments after the program's name.
CommandLineOutcome readCommandLine(int argc, const char* const* argv);

}  // namespace corvane
