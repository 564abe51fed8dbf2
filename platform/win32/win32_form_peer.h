#pragma once
// One form as a native top-level window, built from the form's style alone: no border is a popup, a
// fixed dialog has a caption and a system menu; a form off the taskbar is a tool window. The window
// paints the form's pictures from their pixels and hands the mouse to the form's MouseRouter; a close
// from the window system becomes the form's close query.

#include <windows.h>

#include <cstdint>

#include "platform/forms.h"
#include "platform/runtime.h"
#include "platform/win32/handles.h"

namespace corvane::win32 {

// Registers and unregisters the one window class of the forms.
void registerFormClass(HINSTANCE instance);
void unregisterFormClass(HINSTANCE instance);

// The window styles and the ShowWindow command a form's style asks for.
struct NativeStyle {
    DWORD style = 0;
    DWORD exStyle = 0;
    int showCommand = 0;
};
NativeStyle nativeStyleOf(const FormStyle& style);

// Paints a form as it stands: its back colour, and over it each shown picture's pixels at its place,
// in the form's order (a later control lies on top).
void paintForm(HDC dc, Form& form, const RECT& client);

class Win32FormPeer final : public FormPeer {
  public:
    explicit Win32FormPeer(Form& form);
    ~Win32FormPeer() override;
    Win32FormPeer(const Win32FormPeer&) = delete;
    Win32FormPeer& operator=(const Win32FormPeer&) = delete;

    HWND hwnd() const { return window_.get(); }

    void geometryChanged() override;
    void visibilityChanged() override;
    void backColorChanged() override;
    void captionChanged() override;
    void topmostChanged() override;
    void controlChanged(Control& control) override;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    // The button messages, handed to the form's MouseRouter; the native capture follows what it holds.
    enum class ButtonStep { Down, DoubleClick, Up };
    struct ButtonMessage {
        UINT message;
        ButtonStep step;
        std::int16_t button;
    };
    static const ButtonMessage kButtonMessages[9];
    void button(ButtonStep step, std::int16_t button, WPARAM wParam, LPARAM lParam);
    void holdCapture(bool hold);

    Form& form_;
    UniqueWindow window_;
    bool releasingCapture_ = false;  // our own ReleaseCapture: not a loss of the mouse to someone else
};

}  // namespace corvane::win32
