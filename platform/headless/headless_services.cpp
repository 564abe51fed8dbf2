#include "platform/headless/headless_services.h"

#include <stdexcept>

namespace corvane {

void HeadlessScreen::set(int widthPx, int heightPx, double twipsPerPixel) {
    widthPx_ = widthPx;
    heightPx_ = heightPx;
    tppX_ = tppY_ = twipsPerPixel;
}

void HeadlessScreen::getCursorPos(PointPx& point) {
    log_.emplace_back("GetCursorPos");
    if (!cursorFails_) point = cursor_;
}

int HeadlessPower::getSystemPowerStatus(SystemPowerStatus& status) {
    log_.emplace_back("GetSystemPowerStatus");
    status = status_;
    return 1;
}

void HeadlessTray::shellNotifyIcon(int message, const NotifyIconData& data) {
    calls.emplace_back(message, data);
    log_.push_back("Shell_NotifyIcon(" + std::to_string(message) + "," + std::string(data.szTip.data()) +
                   ")");
}

std::optional<int> HeadlessPopupMenu::show(std::span<const MenuItem> items) {
    log_.emplace_back("PopupMenu");
    std::vector<std::string>& captions = shown.emplace_back();
    for (const MenuItem& item : items) captions.push_back(item.caption);
    if (answers_.empty()) return std::nullopt;
    Answer a = std::move(answers_.front());
    answers_.pop_front();
    if (a.whileUp) a.whileUp();
    return a.choice;
}

void HeadlessHelp::show(const std::string& helpFile, int command, int data) {
    log_.push_back("WinHelp(" + helpFile + "," + std::to_string(command) + "," + std::to_string(data) + ")");
    if (fails) throw std::runtime_error("the help viewer failed");
}

}  // namespace corvane
