#include "shell/mkesta.h"

#include "platform/runtime.h"
#include "shell/paths.h"
#include "shell/program.h"
#include "shell/tray.h"

namespace corvane {

namespace {
constexpr int kHwndTopmost = -1;
constexpr int kHwndNoTopmost = -2;
constexpr unsigned kSwpNoSizeNoMove = 3;
constexpr const char* kStartTip = "Battery status";
}  // namespace

void mKesta::SetTopmost(Form& form, std::int16_t flag) {
    if (flag == 1)
        form.peer().setWindowPos(kHwndTopmost, 0, 0, 0, 0, kSwpNoSizeNoMove);
    else if (flag == 0)
        form.peer().setWindowPos(kHwndNoTopmost, 0, 0, 0, 0, kSwpNoSizeNoMove);
}

std::string mKesta::pGetAppPath() {
    ProgramInfo& info = program_.runtime().program();
    return paths::withTrailingSeparator(info.executableFolder(), info.pathSeparator());
}

std::string mKesta::pGetDirPath(const std::string& path) {
    return paths::dirPart(path, program_.runtime().program().pathSeparator(), pGetAppPath());
}

std::string mKesta::pGetFileName(const std::string& path) {
    return paths::fileNamePart(path, program_.runtime().program().pathSeparator());
}

void mKesta::TrayAddIcon() {
    program_.runtime().tray().shellNotifyIcon(kNimAdd, makeNotifyIconData(kNimAdd, kStartTip));
}

void mKesta::TrayModifyIcon() {
    program_.runtime().tray().shellNotifyIcon(kNimModify, makeNotifyIconData(kNimModify, psTrayTip));
}

void mKesta::TrayDeleteIcon() {
    program_.runtime().tray().shellNotifyIcon(kNimDelete, makeNotifyIconData(kNimDelete, {}));
}

}  // namespace corvane
