#pragma once
// The seam between the program and a window system: small service interfaces and the peers that mirror
// the forms runtime onto native windows. Exactly one backend implements these in each executable.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/power.h"
#include "platform/timer.h"

namespace corvane {

struct PointPx {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Mirrors one form onto a native window. The form calls these after its state has changed; the peer
// reads the new state from the form.
class FormPeer {
  public:
    virtual ~FormPeer() = default;
    virtual void geometryChanged() = 0;
    virtual void visibilityChanged() = 0;
    virtual void backColorChanged() = 0;
    virtual void captionChanged() = 0;
    // Called on every change of the band, also when it stays the same (see Form::setTopmost).
    virtual void topmostChanged() = 0;
    // A control's place, visibility or pixels changed.
    virtual void controlChanged(Control& control) = 0;
    // The program moved the keyboard focus (Keyboard::activeControl).
    virtual void focusChanged() = 0;
};

class TimerPeer {
  public:
    virtual ~TimerPeer() = default;
    virtual void stateChanged() = 0;  // enabled or interval changed
};

// The colours of the desktop's scheme that dialogs are drawn in.
enum class SystemColor {
    ButtonFace,  // dialogs and their buttons
    Window,      // the inside of text boxes and lists
};

class Screen {
  public:
    virtual ~Screen() = default;
    virtual double twipsPerPixelX() = 0;
    virtual double twipsPerPixelY() = 0;
    virtual int widthPixels() = 0;  // the primary screen
    virtual int heightPixels() = 0;
    // Every monitor's rectangle in the program's pixels, whose origin is the primary monitor's top left
    // corner wherever the window system has it.
    virtual std::vector<PixelRect> monitors() = 0;
    double widthTwips() { return widthPixels() * twipsPerPixelX(); }
    double heightTwips() { return heightPixels() * twipsPerPixelY(); }
    // Fills the point with the cursor's place in screen pixels; leaves it alone when that fails.
    virtual void getCursorPos(PointPx& point) = 0;
    // What the window system puts around the client area of a window of this style.
    virtual WindowFrame windowFrame(const FormStyle& style) = 0;
    virtual Color systemColor(SystemColor which) = 0;
};

// Per-user store of texts under application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string getSetting(const std::string& app, const std::string& section, const std::string& key,
                                   const std::string& defaultText) = 0;
    virtual void saveSetting(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& text) = 0;
    // Makes the saves since the last commit durable, all of them or none.
    virtual void commit() = 0;
};

class PowerService {
  public:
    virtual ~PowerService() = default;
    virtual int getSystemPowerStatus(SystemPowerStatus& status) = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::string timeOfDay() = 0;  // "HH:MM:SS", 24-hour clock, local time
};

// What the mouse did on the notification-area icon.
enum class TrayEvent {
    MouseMove,
    LeftButtonDown,
    LeftButtonUp,
    LeftDoubleClick,
    RightButtonDown,
    RightButtonUp
};

// The program's one icon in the notification area, with its tip.
class TrayIcon {
  public:
    virtual ~TrayIcon() = default;
    virtual void add(const std::string& tip) = 0;
    virtual void setTip(const std::string& tip) = 0;
    virtual void remove() = 0;
    // Whether the icon reports the mouse moving over it. Where it does not, the program keeps the tip
    // up to date itself.
    virtual bool reportsHover() const = 0;
    // What the mouse does on the icon.
    std::function<void(TrayEvent)> onEvent;
};

// Plays a sound file in the background: the call returns at once. A file that is missing or cannot be
// played sounds the system's default alert instead, without a word; a sound still playing when the
// next one starts is cut off, never queued.
class Sound {
  public:
    virtual ~Sound() = default;
    virtual void playAsync(const std::string& path) = 0;
};

// What the file chooser is asked for.
struct FileChooserRequest {
    std::string filter;  // pairs of description and pattern, all joined by "|"
    int filterIndex = 1;
    std::string initialDir;
    std::string fileName;
    std::string title;
    bool hideReadOnly = false;  // no read-only check box
};

// The kinds of message box the program shows: one OK button and an exclamation mark.
enum class MessageBoxKind { Exclamation };

// The modal choosers and the message box, each over the form that opens it. A chooser returns the
// user's choice, or none when it was dismissed. Timers, deferred calls and the end of the session go
// on while one is up, so the caller checks whether the program has ended after every call.
class Choosers {
  public:
    virtual ~Choosers() = default;
    virtual std::optional<Color> chooseColor(Form& owner, Color initial) = 0;
    virtual std::optional<std::string> chooseFile(Form& owner, const FileChooserRequest& request) = 0;
    // Returns once the user has closed it.
    virtual void messageBox(Form& owner, const std::string& text, MessageBoxKind kind,
                            const std::string& title) = 0;
};

// What one line of text takes in a font, in pixels.
struct TextExtent {
    int width = 0;   // the line's advance: where the next text would start
    int height = 0;  // the font's line height: how far the next line stands below
    // The least width of a box that shows the line whole: the advance, or more where the last glyph
    // overhangs it or where the system's own controls need more room than the advance.
    int fitWidth = 0;
    bool operator==(const TextExtent&) const = default;
};

// Measures and draws text by font name and size. The backend maps the name to a font it has (a metric
// twin where the named one is missing, so a text takes the same pixels everywhere), sizes it for the
// screen, and draws into a picture's pixels, which every peer then shows as they are.
class TextService {
  public:
    virtual ~TextService() = default;
    // One line: a line break in it is no break.
    virtual TextExtent measureLine(const Font& font, std::string_view line) = 0;
    // Draws one line over what is there, the top left corner of its line box at (x, y); whatever falls
    // outside the image is clipped.
    virtual void drawLine(PixelImage& image, int x, int y, const Font& font, std::string_view line,
                          Color color) = 0;
    // The colour the system gives text on a window.
    virtual Color windowTextColor() = 0;
};

// A menu popped up at the cursor. The call is modal: it returns once the user has chosen an item or
// dismissed the menu, while timers and the end of the session go on meanwhile, so the caller checks
// Runtime::ended() after it.
class PopupMenu {
  public:
    virtual ~PopupMenu() = default;
    // The items in order, a caption "-" being a separator line; the index of the chosen one, or none.
    virtual std::optional<int> show(std::span<const MenuItem> items) = 0;
};

// Where the help opens: at its contents, or at the topic of a context number.
enum class HelpCommand { Contents, Context };

// Opens the program's help as WinHelp would, at its contents or at one topic. helpFile is the Windows
// help file the program names, in its own folder; where that file is missing or the platform has no
// viewer for it, the HTML help beside it (htmlHelpPage in platform/help_page.h) opens in the desktop's
// browser instead. Nothing is said when neither is there.
class HelpService {
  public:
    virtual ~HelpService() = default;
    // context: the topic's context number; nothing for the contents.
    virtual void show(const std::string& helpFile, HelpCommand command, int context) = 0;
};

class AppInfo {
  public:
    virtual ~AppInfo() = default;
    // Folder of the executable as the platform reports it: no trailing separator except at a root.
    virtual std::string executableFolder() = 0;
    virtual char pathSeparator() = 0;
};

// One window system under the program: the peers for its forms and timers, the services, the event
// loop. The parts every backend shares live here: which forms exist, the end of the session, ending.
class Runtime {
  public:
    virtual ~Runtime() = default;

    virtual std::unique_ptr<FormPeer> createFormPeer(Form& form) = 0;
    virtual std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) = 0;

    virtual Screen& screen() = 0;
    virtual SettingsStore& settings() = 0;
    virtual PowerService& power() = 0;
    virtual Clock& clock() = 0;
    virtual TrayIcon& tray() = 0;
    virtual AppInfo& appInfo() = 0;
    virtual Sound& sound() = 0;
    virtual Choosers& choosers() = 0;
    virtual TextService& text() = 0;
    virtual PopupMenu& popupMenu() = 0;
    virtual HelpService& help() = 0;

    // Runs fn from the event loop once the handler running now (and every event before it) is done.
    // Calls posted after the end do not run.
    virtual void post(std::function<void()> fn) = 0;

    // Runs the event loop until end(); returns the process exit code.
    virtual int run() = 0;
    // Ends the program at once: no timer fires and no other handler runs after it.
    void end();
    bool ended() const { return ended_; }

    // The user logs off, the machine shuts down, or the process is told to terminate: every loaded
    // form, oldest first, hears close reason 2 until one of them ends the program.
    void endSession();

    // A problem the user should hear about once (a settings file that cannot be read or written).
    virtual void reportProblem(const std::string& text) = 0;

    // Makes this the one copy of the program that runs for the user. False when a copy already runs:
    // that copy has been told of this start, and this one should end without showing anything. Two
    // copies would each save the settings at their end, the last undoing what the other had changed.
    virtual bool claimSoleInstance() = 0;
    // What the program does when it is started again while this copy runs.
    std::function<void()> onAnotherStart;
    // A backend calls this when it hears of such a start; the program hears of it from the event loop,
    // once the handler running now is done.
    void anotherStarted();

    // The monitors changed while the program runs: one came or went, another became the primary one, or
    // one took a new resolution. A backend calls this once the screen service reports the new
    // arrangement, with how far the primary monitor's top left corner moved on the desktop, in pixels:
    // every window stays where it stands, so its place in the program's frame moves the other way. The
    // program hears of it from the event loop, once for a burst of changes.
    void screensChanged(int dxPx, int dyPx);
    std::function<void()> onScreensChanged;

    // The forms that exist, in the order they were created.
    const std::vector<Form*>& forms() const { return forms_; }

  protected:
    // The backend's part of end(): stop its timers and leave its loop.
    virtual void stopLoop() = 0;

  private:
    friend class Form;
    std::vector<Form*> forms_;
    bool ended_ = false;
    bool screensChangePending_ = false;
};

// Each backend defines these; CMake links exactly one backend into an executable.
std::unique_ptr<Runtime> createRuntime(int argc, char** argv);
// Writes what the program has to say when it ends before it starts (its command line's answers) to
// standard output and standard error, or to the console it was started from where the system gives a
// windowed program no standard output. False when some of it could not be written; a failure on
// standard output is then told on standard error.
bool writeToConsole(const std::string& out, const std::string& err);

}  // namespace corvane
