#include "shell/program.h"

#include "monitor/frm_monitor.h"
#include "shell/frm_main.h"
#include "tooltip/frm_tooltip.h"

namespace corvane {

Program::Program(Runtime& runtime) : runtime_(runtime), kesta_(*this) {}

// The tooltip reads the meter, and the main form's menu outlives everything that refers to it.
Program::~Program() {
    toolTip_.reset();
    monitor_.reset();
    main_.reset();
}

void Program::start() { mainForm().window.load(); }

frmMain& Program::mainForm() {
    if (!main_) main_ = std::make_unique<frmMain>(*this);
    return *main_;
}

frmMonitor& Program::monitor() {
    if (!monitor_) monitor_ = std::make_unique<frmMonitor>(*this);
    return *monitor_;
}

frmToolTip& Program::toolTip() {
    if (!toolTip_) {
        toolTip_ = std::make_unique<frmToolTip>(*this);
        toolTip_->window.load();
    }
    return *toolTip_;
}

// The preferences dialog and the About box are forms still to come; until they exist their menu
// commands only take the meter out of the topmost band.
void Program::showOptions() {}
void Program::showAbout() {}

}  // namespace corvane
