#pragma once
// The native window classes of the forms and of their pictures, and the window styles a form's style
// asks for.

#include <windows.h>

#include "platform/forms.h"
#include "platform/win32/handles.h"

namespace corvane {

inline constexpr const char* kFormClass = "CorvaneForm";
inline constexpr const char* kPixelsClass = "CorvanePixels";

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

// A window that takes the keyboard for the program while a menu or a dialog is up: a pixel in size at
// the given place, without a frame or an owner, shown and made the foreground window. A hidden window
// cannot be the foreground one, and a window manager may be missing; under Wine a frameless window
// without an owner is the one that gets the X input focus from the program itself (that of the others
// is left to the window manager), and the keys it gets go to the thread's focus, which the menu or the
// dialog shown next takes. It is to be hidden: beneath the pointer's tip, or beneath a dialog (see
// keepBeneath). Null if not made.
UniqueWindow keyboardAnchor(POINT at);
// Puts the anchor right beneath the window, at its middle, where it stays out of sight.
void keepBeneath(HWND anchor, HWND window);

}  // namespace corvane
