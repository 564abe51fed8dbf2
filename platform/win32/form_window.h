#pragma once
// One form as a native window. The main form is an ordinary top-level window that is never shown: as
// such it hears the end of the session and the taskbar's "TaskbarCreated" broadcast, which a
// message-only window would not. The meter is a borderless popup without a taskbar button that paints
// its pictures' pixels and turns mouse messages into the pictures' mouse events.

#include <windows.h>

#include "platform/forms.h"
#include "platform/runtime.h"
#include "platform/win32/handles.h"

namespace corvane::win32 {

class Win32Runtime;

inline constexpr const char* kMainWindowClass = "CorvaneMain";
inline constexpr const char* kMeterWindowClass = "CorvaneMeter";
inline constexpr const char* kWindowTitle = "Corvane";

// Registers and unregisters the window classes of the forms.
void registerFormClasses(HINSTANCE instance);
void unregisterFormClasses(HINSTANCE instance);

// Paints a form as it stands: its back colour, and over it each picture's pixels at its place.
void paintForm(HDC dc, Form& form, const RECT& client);

class FormWindow final : public FormPeer {
  public:
    FormWindow(Win32Runtime& runtime, Form& form);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND hwnd() const { return window_.get(); }

    void geometryChanged() override;
    void visibilityChanged() override;
    void backColorChanged() override;
    void pictureChanged(Picture& picture) override;
    void setWindowPos(int insertAfter, int x, int y, int cx, int cy, unsigned flags) override;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool handleMainMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void sessionEnds();
    void paint();
    Picture* pictureAt(int x, int y);
    void buttonDown(std::int16_t button, WPARAM wParam, LPARAM lParam);
    void buttonUp(std::int16_t button, WPARAM wParam, LPARAM lParam);
    void mouseMove(WPARAM wParam, LPARAM lParam);
    void doubleClick(LPARAM lParam);

    Win32Runtime& runtime_;
    Form& form_;
    UniqueWindow window_;
    Picture* captured_ = nullptr;  // the picture that had the button go down, while any button is held
    bool sessionEnded_ = false;
};

}  // namespace corvane::win32
