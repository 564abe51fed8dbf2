#pragma once
// The native window classes of the forms and of their pictures, and the window styles a form's style
// asks for.

#include <windows.h>

#include "platform/forms.h"

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

}  // namespace corvane
