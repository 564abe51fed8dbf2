#pragma once
// One form as a native top-level window, built from the form's style alone: no border is a popup, a
// fixed dialog has a caption and a system menu; a form off the taskbar is a tool window. Each control
// is a child window of a standard class (STATIC, EDIT, BUTTON) at its pixel rectangle, or for pictures
// and images one of the program's own that shows the model's pixels. The mouse on the form and on its
// pictures goes to the form's MouseRouter; a close from the window system becomes the form's close
// query; the message loop hands Tab and the arrow keys to the form's keyboard, and IsDialogMessageA
// turns Enter and Esc into IDOK and IDCANCEL.
//
// The peer's parts, a file each: the window and its messages (win32_form_peer.cpp), the window classes
// (win32_window_class), the controls' windows (win32_controls.cpp), painting (win32_paint.cpp), the
// mouse (win32_mouse.cpp), the keyboard and the focus (win32_keyboard.cpp) and the tooltips
// (win32_tooltips.cpp).

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/runtime.h"
#include "platform/win32/handles.h"

namespace corvane {

// Paints a picture's or an image's pixels into its window's client area from the top left corner, and
// the colour around them beyond: a picture's fill it, an image's may not.
void paintPixels(HDC dc, const PixelImage& image, Color around, const RECT& client);

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

    // A key for a form's window, before the dialog manager: whether the form took it.
    static bool formKey(HWND form, const MSG& msg);

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK pixelsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    struct Child {
        Win32FormPeer* peer;
        Control* control;
        HWND window;
        const PixelImage* pixels;  // a picture's or an image's, which its window shows
        std::string tip;           // the tooltip text the tooltip control has for it
        WNDPROC original;          // a frame's own window procedure, under ours
    };

    // The window and its messages.
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handlePixels(Child& child, UINT message, WPARAM wParam, LPARAM lParam);
    Child* childOf(HWND window) const;
    Child* childOf(const Control& control) const;
    bool ours(HWND window) const { return window && (window == hwnd() || childOf(window)); }

    // The controls' windows.
    Child& make(Control& control);
    void makeAll();
    void mirror(Child& child);
    void command(WPARAM wParam, LPARAM lParam);

    // Painting.
    void paint();
    void paintPixelsWindow(Child& child);
    LRESULT colours(HDC dc, HWND control);
    HBRUSH brush(Color colour);

    // The keyboard and the focus.
    void order();
    void restoreFocus();
    void dialogKey(WORD id);

    // The tooltips.
    void mirrorTip(Child& child);

    // The mouse: the button messages, handed to the form's MouseRouter; the native capture follows
    // what it holds.
    bool mouseMessage(UINT message, WPARAM wParam, LPARAM lParam, HWND from);
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
    UniqueWindow keyboardAnchor_;  // while a dialog is shown
    UniqueWindow tooltip_;         // made with the first tooltip text; gone before the window it belongs to
    std::vector<std::unique_ptr<Child>> children_;
    std::map<Color, UniqueBrush> brushes_;
    bool made_ = false;
    bool releasingCapture_ = false;  // our own ReleaseCapture: not a loss of the mouse to someone else
    bool mirroring_ = false;         // the text we set: the EN_CHANGE it brings is not the user's
};

}  // namespace corvane
