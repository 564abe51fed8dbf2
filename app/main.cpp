#include "app/program.h"
#include "platform/runtime.h"
#include "shell/command_line.h"

int main(int argc, char** argv) {
    // Before the runtime: printing the version needs no display, and touches no settings.
    const corvane::CommandLineOutcome line = corvane::readCommandLine(argc, argv);
    if (!line.start) {
        corvane::writeToConsole(line.out, line.err);
        return line.exitStatus;
    }
    auto runtime = corvane::createRuntime(argc, argv);
    if (!runtime->claimSoleInstance()) return 0;  // the running copy brings its meter forward
    corvane::Program program(*runtime);
    program.start();
    return runtime->run();
}
