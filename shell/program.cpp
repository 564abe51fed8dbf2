#include "shell/program.h"

#include "monitor/frm_monitor.h"
#include "options/frm_options.h"
#include "shell/frm_main.h"

namespace corvane {

Program::Program(Runtime& runtime)
    : runtime_(runtime),
      kesta_(*this),
      options_(runtime, [this] { return std::make_unique<frmOptions>(*this); }) {}

// The monitor goes first: the main form's menu outlives everything that refers to it.
Program::~Program() {
    monitor_.reset();
    main_.reset();
}

void Program::start() { mainForm().window.load(); }

frmMain& Program::mainForm() {
    if (!main_) main_ = std::make_unique<frmMain>(*this);
    return *main_;
}

void Program::showOptions() { options_.get().window.show(); }

frmMonitor& Program::monitor() {
    if (!monitor_) monitor_ = std::make_unique<frmMonitor>(*this);
    return *monitor_;
}

// The About box is a form still to come; until it exists its menu command only takes the meter out of
// the topmost band.
void Program::showAbout() {}

}  // namespace corvane
