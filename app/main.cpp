#include "platform/runtime.h"
#include "shell/program.h"

int main(int argc, char** argv) {
    auto runtime = corvane::createRuntime(argc, argv);
    corvane::Program program(*runtime);
    program.start();
    return runtime->run();
}
