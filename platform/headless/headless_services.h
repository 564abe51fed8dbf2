#pragma once
// The headless backend's small services: a screen, a battery, a tray icon, a popup menu, the help and
// the program's folder, each set by the test and each writing its calls into the runtime's log.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime.h"

namespace corvane {

using CallLog = std::vector<std::string>;

class HeadlessScreen final : public Screen {
  public:
    explicit HeadlessScreen(CallLog& log) : log_(log) {}
    void set(int widthPx, int heightPx, double twipsPerPixel);
    void setCursor(int x, int y) { cursor_ = {x, y}; }
    void setCursorFails(bool fails) { cursorFails_ = fails; }
    // The monitors besides the primary one, in the program's pixels; none at first.
    void setOtherMonitors(std::vector<PixelRect> others) { others_ = std::move(others); }

    double twipsPerPixelX() override { return tppX_; }
    double twipsPerPixelY() override { return tppY_; }
    int widthPixels() override { return widthPx_; }
    int heightPixels() override { return heightPx_; }
    // The primary monitor, the screen set above, then the others.
    std::vector<PixelRect> monitors() override;
    void getCursorPos(PointPx& point) override;
    // Borderless windows have no frame; a fixed dialog has the one a test sets, at first that of a
    // classic Windows dialog: 3 pixels around and a 19-pixel caption.
    WindowFrame windowFrame(const FormStyle& style) override;
    void setDialogFrame(WindowFrame frame) { dialogFrame_ = frame; }
    // The colours of a classic scheme unless a test sets others, a dark palette for one.
    void setSystemColor(SystemColor which, Color c) { systemColors_[static_cast<int>(which)] = c; }
    Color systemColor(SystemColor which) override;

  private:
    CallLog& log_;
    int widthPx_ = 1024, heightPx_ = 768;
    Color systemColors_[2] = {0x00C8D0D4, 0x00FFFFFF};  // button face, window
    double tppX_ = 15, tppY_ = 15;
    std::vector<PixelRect> others_;
    PointPx cursor_;
    bool cursorFails_ = false;
    WindowFrame dialogFrame_{3, 22, 3, 3};
};

class HeadlessPower final : public PowerService {
  public:
    explicit HeadlessPower(CallLog& log) : log_(log) {}
    void set(const SystemPowerStatus& s) { status_ = s; }
    int getSystemPowerStatus(SystemPowerStatus& status) override;

  private:
    CallLog& log_;
    SystemPowerStatus status_;
};

enum class TrayCall { Add, SetTip, Remove };

class HeadlessTray final : public TrayIcon {
  public:
    explicit HeadlessTray(CallLog& log) : log_(log) {}
    void add(const std::string& tip) override { note(TrayCall::Add, "TrayAdd(" + tip + ")", tip); }
    void setTip(const std::string& tip) override { note(TrayCall::SetTip, "TrayTip(" + tip + ")", tip); }
    void remove() override { note(TrayCall::Remove, "TrayRemove", {}); }
    bool reportsHover() const override { return reportsHover_; }
    void setReportsHover(bool on) { reportsHover_ = on; }

    // Each call with the tip it gave.
    std::vector<std::pair<TrayCall, std::string>> calls;

  private:
    void note(TrayCall call, std::string logged, const std::string& tip) {
        calls.emplace_back(call, tip);
        log_.push_back(std::move(logged));
    }

    CallLog& log_;
    bool reportsHover_ = true;
};

// A menu the test answers ahead: each answer is the index chosen (or none, the menu dismissed) and what
// happens while the menu is up (time passing, the session ending). A menu with no answer left is
// dismissed.
class HeadlessPopupMenu final : public PopupMenu {
  public:
    struct Answer {
        std::optional<int> choice;
        std::function<void()> whileUp;
    };
    explicit HeadlessPopupMenu(CallLog& log) : log_(log) {}
    void answer(Answer a) { answers_.push_back(std::move(a)); }
    std::optional<int> show(std::span<const MenuItem> items) override;

    std::vector<std::vector<std::string>> shown;  // each menu's captions

  private:
    CallLog& log_;
    std::deque<Answer> answers_;
};

// Notes what the program asked for; a test can make it fail as a broken viewer would, by throwing.
class HeadlessHelp final : public HelpService {
  public:
    explicit HeadlessHelp(CallLog& log) : log_(log) {}
    void show(const std::string& helpFile, HelpCommand command, int context) override;
    bool fails = false;

  private:
    CallLog& log_;
};

class HeadlessSound final : public Sound {
  public:
    explicit HeadlessSound(CallLog& log) : log_(log) {}
    void playAsync(const std::string& path) override { log_.push_back("PlaySound(" + path + ")"); }

  private:
    CallLog& log_;
};

// The choosers and the message box as a test scripts them: each call takes the next answer the test
// queued for its kind (none queued: dismissed), runs what the test wants to happen while it is up (time
// passing, the end of the session), and writes itself into the log.
class HeadlessChoosers final : public Choosers {
  public:
    explicit HeadlessChoosers(CallLog& log) : log_(log) {}
    void answerColor(std::optional<Color> colour, std::function<void()> whileUp = {});
    void answerFile(std::optional<std::string> path, std::function<void()> whileUp = {});
    void answerMessageBox(std::function<void()> whileUp);

    std::optional<Color> chooseColor(Form& owner, Color initial) override;
    std::optional<std::string> chooseFile(Form& owner, const FileChooserRequest& request) override;
    void messageBox(Form& owner, const std::string& text, MessageBoxKind kind,
                    const std::string& title) override;

    std::vector<FileChooserRequest> fileRequests;  // what each file chooser was asked

  private:
    template <class T>
    struct Answer {
        std::optional<T> value;
        std::function<void()> whileUp;
    };
    template <class T>
    static std::optional<T> take(std::deque<Answer<T>>& queue);

    CallLog& log_;
    std::deque<Answer<Color>> colours_;
    std::deque<Answer<std::string>> files_;
    std::deque<Answer<int>> messages_;
};

class HeadlessAppInfo final : public AppInfo {
  public:
    void set(std::string folder, char separator) {
        folder_ = std::move(folder);
        separator_ = separator;
    }
    std::string executableFolder() override { return folder_; }
    char pathSeparator() override { return separator_; }

  private:
    std::string folder_ = "C:\\Program Files\\Corvane";
    char separator_ = '\\';
};

}  // namespace corvane
