#include <vector>

#include "platform/win32/win32_form_peer.h"

namespace corvane {

namespace {

class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window) { BeginPaint(window_, &ps_); }
    ~PaintScope() { EndPaint(window_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return ps_.hdc; }

  private:
    HWND window_;
    PAINTSTRUCT ps_{};
};

}  // namespace

void paintPixels(HDC dc, const PixelImage& image, Color around, const RECT& client) {
    const int saved = SaveDC(dc);
    const int w = image.width(), h = image.height();
    if (w > 0 && h > 0) {
        std::vector<std::uint32_t> bits(image.pixels().size());
        // A 32-bit DIB holds blue, green, red, unused in memory: 0x00RRGGBB.
        for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = toXrgb(image.pixels()[i]);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;  // top row first, as the image keeps them
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                          static_cast<UINT>(h), bits.data(), &bmi, DIB_RGB_COLORS);
        // The form's colour goes only around the pixels, so nothing flickers between two colours.
        ExcludeClipRect(dc, 0, 0, w, h);
    }
    const UniqueBrush back(CreateSolidBrush(around));  // a COLORREF is 0x00BBGGRR too
    FillRect(dc, &client, back.get());
    RestoreDC(dc, saved);
}

// A picture's or an image's own window; with the focus, the system's focus mark one pixel inside it.
void Win32FormPeer::paintPixelsWindow(Child& child) {
    PaintScope scope(child.window);
    RECT client{};
    GetClientRect(child.window, &client);
    paintPixels(scope.dc(), *child.pixels, form_.backColor(), client);
    if (GetFocus() != child.window || !form_.keyboard().showsFocusMark()) return;
    RECT mark{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
    DrawFocusRect(scope.dc(), &mark);
}

void Win32FormPeer::paint() {
    PaintScope scope(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(scope.dc(), &client, brush(form_.backColor()));
}

// The standard controls ask their parent for their colours: the form's, or a text box's own.
LRESULT Win32FormPeer::colours(HDC dc, HWND control) {
    Color colour = form_.backColor();
    if (const Child* c = childOf(control))
        if (const auto* box = c->control->as<TextBox>()) colour = box->backColor();
    SetBkColor(dc, colour);
    return reinterpret_cast<LRESULT>(brush(colour));
}

LRESULT CALLBACK Win32FormPeer::frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* child = reinterpret_cast<Child*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!child) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, child->peer->brush(child->peer->form_.backColor()));
        return 1;
    }
    // A group box leaves room above its line for a caption even without one, which hides the line of a
    // frame a few pixels high; a frame without a caption is an etched outline on its own edges.
    if (message == WM_PAINT && child->control->caption().empty()) {
        PaintScope scope(window);
        RECT client{};
        GetClientRect(window, &client);
        DrawEdge(scope.dc(), &client, EDGE_ETCHED, BF_RECT);
        return 0;
    }
    return CallWindowProcA(child->original, window, message, wParam, lParam);
}

HBRUSH Win32FormPeer::brush(Color colour) {
    auto it = brushes_.find(colour);
    if (it == brushes_.end()) it = brushes_.emplace(colour, UniqueBrush(CreateSolidBrush(colour))).first;
    return it->second.get();
}

}  // namespace corvane
