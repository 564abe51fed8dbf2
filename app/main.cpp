#include "app/program.h"
#include "platform/runtime.h"
#include "shell/command_line.h"

int main(int argc, char** argv) {
    // Before the runtime: printing the version needs no display, and touches no settings.
    const corvane::CommandLineOutcome line = corvane::readCommandLine(argc, argv);
    if (!line.start) {
        // An answer that never reached its reader is a failure, as for any command-line tool.
        const bool written = corvane::writeToConsole(line.out, line.err);
        return written || line.exitStatus != 0 ? line.exitStatus : 1;
    }
    auto runtime = corvane::createRuntime(argc, argv);
    if (!runtime->claimSoleInstance()) return 0;  // the running copy brings its meter forward
    corvane::Program program(*runtime);
    program.start();
    return runtime->run();
}
