#include "platform/headless/headless_services.h"

#include <stdexcept>

namespace corvane {

void HeadlessScreen::set(int widthPx, int heightPx, double twipsPerPixel) {
    widthPx_ = widthPx;
    heightPx_ = heightPx;
    tppX_ = tppY_ = twipsPerPixel;
}

std::vector<PixelRect> HeadlessScreen::monitors() {
    std::vector<PixelRect> all{{0, 0, widthPx_, heightPx_}};
    all.insert(all.end(), others_.begin(), others_.end());
    return all;
}

void HeadlessScreen::getCursorPos(PointPx& point) {
    log_.emplace_back("GetCursorPos");
    if (!cursorFails_) point = cursor_;
}

WindowFrame HeadlessScreen::windowFrame(const FormStyle& style) {
    return style.border == BorderStyle::None ? WindowFrame{} : dialogFrame_;
}

// The classic Windows scheme: grey dialogs, white text boxes.
Color HeadlessScreen::systemColor(SystemColor which) { return systemColors_[static_cast<int>(which)]; }

int HeadlessPower::getSystemPowerStatus(SystemPowerStatus& status) {
    log_.emplace_back("GetSystemPowerStatus");
    status = status_;
    return 1;
}

void HeadlessChoosers::answerColor(std::optional<Color> colour, std::function<void()> whileUp) {
    colours_.push_back({colour, std::move(whileUp)});
}

void HeadlessChoosers::answerFile(std::optional<std::string> path, std::function<void()> whileUp) {
    files_.push_back({std::move(path), std::move(whileUp)});
}

void HeadlessChoosers::answerMessageBox(std::function<void()> whileUp) {
    messages_.push_back({1, std::move(whileUp)});
}

template <class T>
std::optional<T> HeadlessChoosers::take(std::deque<Answer<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    Answer<T> a = std::move(queue.front());
    queue.pop_front();
    if (a.whileUp) a.whileUp();
    return a.value;
}

std::optional<Color> HeadlessChoosers::chooseColor(Form& owner, Color initial) {
    log_.push_back("ChooseColor(" + owner.name() + "," + std::to_string(initial) + ")");
    return take(colours_);
}

std::optional<std::string> HeadlessChoosers::chooseFile(Form& owner, const FileChooserRequest& request) {
    log_.push_back("ChooseFile(" + owner.name() + "," + request.title + ")");
    fileRequests.push_back(request);
    return take(files_);
}

void HeadlessChoosers::messageBox(Form& owner, const std::string& text, MessageBoxKind kind,
                                  const std::string& title) {
    const char* shown = "";
    switch (kind) {
        case MessageBoxKind::Exclamation:
            shown = "exclamation";
            break;
    }
    log_.push_back("MsgBox(" + owner.name() + "," + text + "," + shown + "," + title + ")");
    take(messages_);
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

void HeadlessHelp::show(const std::string& helpFile, HelpCommand command, int context) {
    log_.push_back(
        "Help(" + helpFile + "," +
        (command == HelpCommand::Contents ? std::string("contents") : "topic " + std::to_string(context)) +
        ")");
    if (fails) throw std::runtime_error("the help viewer failed");
}

}  // namespace corvane
