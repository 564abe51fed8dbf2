#include "app/program.h"

#include "about/frm_info.h"
#include "monitor/frm_monitor.h"
#include "options/frm_options.h"
#include "platform/runtime.h"
#include "shell/frm_main.h"
#include "tooltip/frm_tooltip.h"

namespace corvane {

Program::Program(Runtime& runtime)
    : runtime_(runtime),
      kesta_(*this),
      options_(runtime, [this] { return std::make_unique<frmOptions>(*this); }),
      about_(runtime, [this] { return std::make_unique<frmInfo>(*this); }) {}

// The tooltip reads the meter, and the main form's menu outlives everything that refers to it.
Program::~Program() {
    toolTip_.reset();
    monitor_.reset();
    main_.reset();
}

void Program::start() {
    runtime_.onAnotherStart = [this] { mainForm().BringMeterForward(); };
    runtime_.onScreensChanged = [this] { kesta_.pFollowScreens(); };
    mainForm().window.load();
}

frmMain& Program::mainForm() {
    if (!main_) main_ = std::make_unique<frmMain>(*this);
    return *main_;
}

void Program::showOptions() { options_.get().window.show(); }

frmMonitor& Program::monitor() {
    if (!monitor_) monitor_ = std::make_unique<frmMonitor>(*this);
    return *monitor_;
}

void Program::showAbout() { about_.get().window.show(); }

Form& Program::meterWindow() { return monitor().window; }

Picture& Program::meterPicture() { return monitor().picHistory; }

void Program::setToolTipLabel(const std::string& text) { toolTip().label(text); }

void Program::hideToolTip() { toolTip().Hide(); }

frmToolTip& Program::toolTip() {
    if (!toolTip_) {
        toolTip_ = std::make_unique<frmToolTip>(*this);
        toolTip_->window.load();
    }
    return *toolTip_;
}

}  // namespace corvane
