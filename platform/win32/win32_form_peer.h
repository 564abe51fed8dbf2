#pragma once
// One form as a native top-level window, built from the form's style alone: no border is a popup, a
// fixed dialog has a caption and a system menu; a form off the taskbar is a tool window. Each control
// is a child window of a standard class (STATIC, EDIT, BUTTON) at its pixel rectangle, or for pictures
// and images one of the program's own that shows the model's pixels. The mouse on the form and on its
// pictures goes to the form's MouseRouter; a close from the window system becomes the form's close
// query; the message loop's IsDialogMessageA gives Tab, Enter and Esc their dialog meaning.

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/runtime.h"
#include "platform/win32/handles.h"

namespace corvane::win32 {

// Registers and unregisters the window classes of the forms and of their pictures.
void registerFormClass(HINSTANCE instance);
void unregisterFormClass(HINSTANCE instance);
// Whether the window is a form's top-level window, whose keys the dialog manager sees first.
bool isFormWindow(HWND window);

// The window styles and the ShowWindow command a form's style asks for.
struct NativeStyle {
    DWORD style = 0;
    DWORD exStyle = 0;
    int showCommand = 0;
};
NativeStyle nativeStyleOf(const FormStyle& style);

// Paints a picture's or an image's pixels into its window's client area: a picture fills it, an image
// shows its picture from the top left corner with the form's colour beyond it.
void paintPixels(HDC dc, const Control& control, const RECT& client);

class Win32FormPeer final : public FormPeer {
  public:
    explicit Win32FormPeer(Form& form);
    ~Win32FormPeer() override;
    Win32FormPeer(const Win32FormPeer&) = delete;
    Win32FormPeer& operator=(const Win32FormPeer&) = delete;

    HWND hwnd() const { return window_.get(); }
    // The child window of a control, made when the form is first shown; null before.
    HWND windowOf(const Control& control) const;

    void geometryChanged() override;
    void visibilityChanged() override;
    void backColorChanged() override;
    void captionChanged() override;
    void topmostChanged() override;
    void controlChanged(Control& control) override;
    void focusChanged() override;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK pixelsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    struct Child {
        Win32FormPeer* peer;
        Control* control;
        HWND window;
        std::string tip;   // the tooltip text the tooltip control has for it
        WNDPROC original;  // a frame's own window procedure, under ours
    };

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handlePixels(Child& child, UINT message, WPARAM wParam, LPARAM lParam);
    bool mouseMessage(UINT message, WPARAM wParam, LPARAM lParam, HWND from);
    void command(WPARAM wParam, LPARAM lParam);
    LRESULT colours(HDC dc, HWND control);
    void paint();

    Child& make(Control& control, int id);
    void makeAll();
    void mirror(Child& child);
    void mirrorTip(Child& child);
    void order();
    Child* childOf(HWND window) const;
    Child* childOf(const Control& control) const;
    bool ours(HWND window) const { return window && (window == hwnd() || childOf(window)); }
    HBRUSH brush(Color colour);

    // The button messages, handed to the form's MouseRouter; the native capture follows what it holds.
    enum class ButtonStep { Down, DoubleClick, Up };
    struct ButtonMessage {
        UINT message;
        ButtonStep step;
        std::int16_t button;
    };
    static const ButtonMessage kButtonMessages[9];
    // x and y are in the form's client pixels; from is the window the message came to, which takes the
    // capture.
    void button(ButtonStep step, std::int16_t button, WPARAM wParam, int x, int y, HWND from);
    void holdCapture(bool hold, HWND on);

    Form& form_;
    UniqueWindow window_;
    UniqueWindow tooltip_;  // made with the first tooltip text; gone before the window it belongs to
    std::vector<std::unique_ptr<Child>> children_;
    std::map<Color, UniqueBrush> brushes_;
    bool made_ = false;
    bool releasingCapture_ = false;  // our own ReleaseCapture: not a loss of the mouse to someone else
    bool mirroring_ = false;         // the text we set: the EN_CHANGE it brings is not the user's
};

}  // namespace corvane::win32
