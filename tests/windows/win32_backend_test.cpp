// The Windows backend's own logic, run under Wine: the registry store, the tray record, the native
// windows fed with the messages Windows sends them, and the program's GDI and USER objects over a day
// of ticks.

#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>
// (after windows.h, which they need)
#include <colordlg.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include "about/frm_info.h"
#include "app/program.h"
#include "monitor/frm_monitor.h"
#include "options/frm_options.h"
#include "platform/forms.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/win32_choosers.h"
#include "platform/win32/win32_form_peer.h"
#include "platform/win32/win32_help.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_tray.h"
#include "shell/mkesta.h"
#include "tests/unit/text_checks.h"
#include "tests/unit/two_pictures.h"

namespace corvane::test {
namespace {

// Dispatches every message waiting for this thread, each shown to `seen` first.
void pump(const std::function<void(const MSG&)>& seen = {}) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (seen) seen(msg);
        DispatchMessageA(&msg);
    }
}

// A window's title, or another of its texts with the call that reads it.
std::string textOf(HWND window, int(WINAPI* read)(HWND, LPSTR, int) = GetWindowTextA) {
    char text[512] = {};
    read(window, text, sizeof text);
    return text;
}

HWND windowOf(Form& form) { return Win32Runtime::windowOf(form); }
HWND windowOf(const Control& c) { return static_cast<Win32FormPeer&>(c.owner().peer()).windowOf(c); }

// A window's place: on the screen, or within the client area of another window.
PixelRect rectOf(HWND window, HWND within = nullptr) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, within, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The topmost shown child window at a point of the window's client area: the window itself where it
// has none, nothing outside it.
HWND childAt(HWND window, int x, int y) {
    return ChildWindowFromPointEx(window, POINT{x, y}, CWP_SKIPINVISIBLE);
}

// ---- Registry store ---------------------------------------------------------------------------

struct RegistryStoreTest : ::testing::Test {
    RegistryStoreTest() : app_("Corvane test " + std::to_string(GetCurrentProcessId())) {}
    ~RegistryStoreTest() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kSettingsRoot) + "\\" + app_).c_str());
    }

    RegistryStore store() {
        return RegistryStore([this](const std::string& text) { problems_.push_back(text); });
    }
    // Makes the section where it is missing.
    void putRaw(const std::string& sectionName, const char* name, DWORD type, const void* data, DWORD size) {
        const std::string key = sectionKeyPath(app_, sectionName);
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, type, data, size), ERROR_SUCCESS);
    }
    // The value as stored: its type and bytes, or type REG_NONE when it is not there.
    using Stored = std::pair<DWORD, std::string>;
    Stored raw(const std::string& sectionName, const char* name) {
        char data[256] = {};
        DWORD type = REG_NONE, size = sizeof data;
        if (RegGetValueA(HKEY_CURRENT_USER, sectionKeyPath(app_, sectionName).c_str(), name,
                         RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) != ERROR_SUCCESS)
            return {REG_NONE, ""};
        return {type, std::string(data, size)};
    }

    std::string app_;
    std::vector<std::string> problems_;
};

// The Wine end-to-end tests read every setting back through the program, and start on nothing stored;
// this is what they cannot see.
TEST_F(RegistryStoreTest, KeepsTextsAsRegSzValuesAndReadsADwordAsItsNumber) {
    RegistryStore writer = store();
    writer.saveSetting(app_, "Form", "Position", " 2");
    writer.saveSetting(app_, "Options", "FullLife", "");
    EXPECT_EQ(raw("Form", "Position"), Stored(REG_NONE, "")) << "nothing is written before the commit";
    writer.commit();

    EXPECT_EQ(raw("Form", "Position"), Stored(REG_SZ, {" 2\0", 3}));
    EXPECT_EQ(store().getSetting(app_, "Options", "FullLife", "7"), "")
        << "an empty text is a text, not a missing value";
    EXPECT_TRUE(problems_.empty());

    // What a hand in the registry editor may leave: a DWORD reads as its decimal text, another type as
    // the empty text.
    const struct Case {
        const char* name;
        DWORD type;
        std::string data, reads;
    } cases[] = {
        // clang-format off
        {"LowColor", REG_DWORD, {"\xFF\0\0\0", 4}, "255"},
        {"Top", REG_DWORD, "\xFF\xFF\xFF\xFF", "4294967295"},  // as the registry editor shows it
        {"Short", REG_DWORD, "\xFF", ""},            {"BigEndian", REG_DWORD_BIG_ENDIAN, {"\0\0\0\xFF", 4}, ""},
        {"Qword", REG_QWORD, {"\xFF\0\0\0\0\0\0\0", 8}, ""}, {"Binary", REG_BINARY, "\x01\x02", ""},
        {"Expand", REG_EXPAND_SZ, {"%TEMP%", 7}, ""}, {"Unterminated", REG_SZ, "12abc", "12abc"},
        {"Embedded", REG_SZ, {"7\0x", 4}, "7"},
        // clang-format on
    };
    for (const Case& c : cases) putRaw("Options", c.name, c.type, c.data.data(), DWORD(c.data.size()));
    RegistryStore reader = store();
    for (const Case& c : cases) EXPECT_EQ(reader.getSetting(app_, "Options", c.name, "1"), c.reads) << c.name;
}

// A section that cannot be opened, or a value that cannot be written part way through, leaves every
// value as it was, and the user hears of it once however often the save fails again.
TEST_F(RegistryStoreTest, AFailedWriteLeavesEveryValueAsItWas) {
    putRaw("Form", "Position", REG_SZ, "old", 4);
    putRaw("Form", "Top", REG_DWORD, "\x09\0\0\0", 4);
    const std::string unopenable(300, 'x');    // key names end at 255 characters
    const std::string unwritable(20000, 'v');  // value names end at 16383 characters
    for (const auto& [section, name] : {std::pair{unopenable, std::string("Key")}, {"Form", unwritable}}) {
        RegistryStore s = store();
        for (const auto& [key, text] :
             {std::pair{"Position", " 3"}, {"Left", " 1"}, {"Top", " 2"}, {"Position", " 4"}})
            s.saveSetting(app_, "Form", key, text);
        s.saveSetting(app_, section, name, " 5");
        s.commit();
        SCOPED_TRACE(section.size() + name.size());
        EXPECT_EQ(raw("Form", "Position"), Stored(REG_SZ, {"old\0", 4}));
        EXPECT_EQ(raw("Form", "Left"), Stored(REG_NONE, ""));
        EXPECT_EQ(raw("Form", "Top"), Stored(REG_DWORD, {"\x09\0\0\0", 4}));
        ASSERT_EQ(problems_.size(), 1u);
        EXPECT_NE(problems_[0].find("not be saved"), std::string::npos) << problems_[0];
        s.saveSetting(app_, section, name, " 5");
        s.commit();
        EXPECT_EQ(problems_.size(), 1u) << "the user hears about it once";
        problems_.clear();
    }
}

// ---- Texts as Windows takes them ---------------------------------------------------------------

// The tip goes into the first-version record, cut so that its NUL fits (a longer status line would
// otherwise leave the shell a tip without an end); the program folder has no trailing backslash except
// at a drive root (a share's folder is one without); the help's path becomes a file URL that keeps its
// anchor; the file chooser's filter has NULs for bars and two at its end.
TEST(Win32Texts, AreCutAndJoinedAsWindowsReadsThem) {
    const NOTIFYICONDATAA cut = toShellRecord(std::string(70, 'x'), nullptr, nullptr);
    EXPECT_EQ(std::string(cut.szTip, 64), std::string(63, 'x') + '\0');
    EXPECT_EQ(folderOfModulePath("C:\\corvane.exe"), "C:\\");
    EXPECT_EQ(folderOfModulePath("\\\\server\\share\\corvane.exe"), "\\\\server\\share");
    EXPECT_EQ(fileUrl("C:\\Program Files\\Corvane\\help\\index.html", "preferences"),
              "file:///C:/Program%20Files/Corvane/help/index.html#preferences");
    EXPECT_EQ(fileUrl("Z:\\tmp\\50%#1\\index.html", ""), "file:///Z:/tmp/50%25%231/index.html");
    EXPECT_EQ(nulSeparatedFilter("Sound files (*.wav)|*.wav"),
              std::string("Sound files (*.wav)\0*.wav\0\0", 27));
}

// ---- The runtime's window ---------------------------------------------------------------------

struct RuntimeTest : ::testing::Test {
    Win32Runtime rt;
};

// The icon's mouse messages reach the program from the first add until the end; a new taskbar gets the
// icon back as it was last set, unless it was removed. (That the record carries the program's icon the
// Wine tray test sees: its pixels in the tray.)
TEST_F(RuntimeTest, TheIconTellsItsMouseAndComesBackWithANewTaskbar) {
    std::vector<std::string> calls;  // what the shell was asked, with the tip it was given
    int refusals = 2;                // a shell starting up: the first add, and the modify that follows
    rt.tray().shell = [&](DWORD message, NOTIFYICONDATAA* nid) {
        EXPECT_TRUE(nid->hWnd == rt.window() && nid->uID == 1u);
        calls.push_back(std::array{"add ", "modify ", "delete "}.at(message) + std::string(nid->szTip));
        return refusals-- > 0 ? FALSE : TRUE;
    };
    std::vector<TrayEvent> notified;
    rt.tray().onEvent = [&](TrayEvent event) { notified.push_back(event); };
    SendMessageA(rt.window(), WM_MOUSEMOVE, 1, WM_LBUTTONDOWN);  // no icon yet
    rt.tray().add("Battery status");
    // Refused, the icon is offered again at the retry timer's tick, which stops once it is taken.
    EXPECT_TRUE(KillTimer(rt.window(), kTrayRetryTimer));
    SendMessageA(rt.window(), WM_TIMER, kTrayRetryTimer, 0);
    EXPECT_FALSE(KillTimer(rt.window(), kTrayRetryTimer));
    EXPECT_TRUE(rt.tray().reportsHover());
    // The mouse messages the program tells apart; the middle button means nothing to it.
    for (LPARAM message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                           WM_RBUTTONUP, WM_MBUTTONDOWN})
        SendMessageA(rt.window(), WM_MOUSEMOVE, 1, message);
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    rt.tray().setTip("80%");
    SendMessageA(rt.window(), taskbarCreated, 0, 0);
    rt.tray().remove();
    SendMessageA(rt.window(), taskbarCreated, 0, 0);  // a removed icon stays removed
    rt.end();
    SendMessageA(rt.window(), WM_MOUSEMOVE, 1, WM_RBUTTONUP);
    using enum TrayEvent;
    EXPECT_EQ(notified, (std::vector{MouseMove, LeftButtonDown, LeftButtonUp, LeftDoubleClick,
                                     RightButtonDown, RightButtonUp}));
    EXPECT_EQ(calls,
              (std::vector<std::string>{"add Battery status", "modify Battery status", "add Battery status",
                                        "modify 80%", "add Battery status", "modify 80%", "delete "}));
}

TEST_F(RuntimeTest, DeferredCallsRunInOrderAfterTheCallerAndNoneAfterTheEnd) {
    std::vector<int> order;
    rt.post([&] {
        order.push_back(1);
        rt.post([&] {
            order.push_back(4);
            rt.end();
            rt.post([&] { order.push_back(6); });
        });
    });
    rt.post([&] {
        order.push_back(2);
        rt.post([&] { order.push_back(5); });  // queued behind the call that ends the program
    });
    rt.post([&] { order.push_back(3); });
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(rt.run(), 0);
    pump();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(RuntimeTest, EndStopsEveryTimerAndTheLoop) {
    Timer ender(rt, "ender", 30, true);
    Timer other(rt, "other", 10, true);
    int otherTicks = 0;
    ender.onTimer = [&] {  // due timers may come in either order on a busy machine
        if (otherTicks > 0) rt.end();
    };
    other.onTimer = [&] { ++otherTicks; };
    EXPECT_EQ(rt.run(), 0);
    EXPECT_GE(otherTicks, 1) << "the other timer was running";

    // Ticks queued before the end may still be there; after them, none may come, though the wait is
    // long enough for either timer to come due several times, were it still set.
    MSG msg;
    while (PeekMessageA(&msg, rt.window(), WM_TIMER, WM_TIMER, PM_REMOVE)) continue;
    int late = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 100; Sleep(5))
        while (PeekMessageA(&msg, rt.window(), WM_TIMER, WM_TIMER, PM_REMOVE)) ++late;
    EXPECT_EQ(late, 0);
}

// ---- Form windows -----------------------------------------------------------------------------

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)); }
DWORD exStyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)); }
constexpr DWORD kFrameBits = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr DWORD kTaskbarBits = WS_EX_TOOLWINDOW | WS_EX_APPWINDOW;

// Whether the window above stands higher in the window order than the one below.
bool isAbove(HWND above, HWND below) {
    for (HWND w = GetWindow(below, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (w == above) return true;
    return false;
}

// A place in twips and the topmost band reach the window on every call. The window system's close is
// the form's own query: a refusing form stays, shown, and a closing one goes, its window hidden, both
// living as long as their forms. The end of the session, heard by the runtime's hidden top-level
// window, asks every loaded form once, oldest first. (That the window is top-level, and so hears the
// broadcasts, the Wine end-to-end tests see: each ends the program through the end of the session,
// and display_change sees the meter follow a new resolution.)
TEST_F(RuntimeTest, PlaceTopmostBandAndCloseReachTheFormsWindowsAndQueries) {
    Form refusing(rt, "refusing", FormStyle{}), closing(rt, "closing", FormStyle{});
    HWND wa = windowOf(refusing), wb = windowOf(closing);
    place(refusing, 1014 * 15.0, 3 * 15.0, 10 * 15.0, 51 * 15.0);
    EXPECT_EQ(rectOf(wa), (PixelRect{1014, 3, 10, 51}));
    refusing.show();
    closing.show();

    // Each call, then whether the refusing form is in the band and above the closing one. The third is
    // for a form already in the band: still the call, which brings it to the band's top.
    for (const auto& [form, on, inBand, above] : {std::tuple{&refusing, true, true, true},
                                                  {&closing, true, true, false},
                                                  {&refusing, true, true, true},
                                                  {&refusing, false, false, false}}) {
        form->setTopmost(on);
        EXPECT_EQ(std::pair((exStyleOf(wa) & WS_EX_TOPMOST) != 0, isAbove(wa, wb)), std::pair(inBand, above));
    }
    EXPECT_EQ(rectOf(wa), (PixelRect{1014, 3, 10, 51})) << "flags 3 keep the place and size";

    // The query notes "name reason", and refuses for the refusers.
    std::vector<std::string> asked;
    std::vector<Form*> refusers{&refusing};
    for (Form* form : {&refusing, &closing})
        form->onQueryUnload = [&asked, &refusers, form](std::int16_t& cancel, std::int16_t reason) {
            asked.push_back(form->name() + " " + std::to_string(reason));
            if (std::ranges::count(refusers, form)) cancel = 1;
        };
    for (auto [form, refuses] : {std::pair{&refusing, true}, {&closing, false}}) {
        const HWND w = windowOf(*form);
        SendMessageA(w, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(w)) << "the window lives as long as its form";
        EXPECT_EQ((std::array{form->visible(), form->loaded(), IsWindowVisible(w) != 0}),
                  (std::array{refuses, refuses, refuses}))
            << form->name() << ": shown and loaded";
    }

    refusers.push_back(&closing);
    closing.load();
    HWND window = rt.window();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window)) << "the runtime's own window cannot be closed";
    EXPECT_EQ(asked, (std::vector<std::string>{"refusing 0", "closing 0", "refusing 2", "closing 2"}));
}

// The rule of the headless MouseRouter test, fed through real mouse messages: the pressed control
// keeps the mouse (and its window the native capture) until every button is up, even where the
// double-click's second press, a message of its own, has hidden the window. A handler may open a popup
// menu, whose loop takes the mouse while it is open: the last release lets go before its handler runs,
// and what a press handler's menu took is not taken back afterwards.
TEST_F(RuntimeTest, ThePressedControlKeepsTheMouseUnlessAMenuTakesItAndThePicturesStandInTheFormsOrder) {
    test::TwoPictures f{rt};
    place(f.window, 0, 0, 32 * 15.0, 12 * 15.0);
    f.window.setBackColor(0x00FFFFFF);
    f.window.show();  // the pictures' windows are made with the first show
    const HWND window = windowOf(f.window), under = windowOf(f.under), over = windowOf(f.over);
    // As Windows delivers the mouse: to the window that holds it if it is one of the form's, else to the
    // topmost shown window under the point, in that window's own pixels. Answers the window that holds
    // the mouse after it.
    const auto send = [&](UINT message, WPARAM keys, int x, int y) {
        HWND target = GetCapture();
        if (!target || (target != window && GetParent(target) != window)) target = childAt(window, x, y);
        if (!target) target = window;
        POINT p{x, y};
        MapWindowPoints(window, target, &p, 1);
        SendMessageA(target, message, keys, MAKELPARAM(p.x, p.y));
        return GetCapture();
    };

    EXPECT_EQ(send(WM_LBUTTONDOWN, MK_LBUTTON, 12, 3), over);  // both lie here: the later one is on top
    send(WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, -40, 70);      // far outside the window: still "over"
    EXPECT_EQ(send(WM_RBUTTONUP, MK_LBUTTON, -40, 70), over);  // another button: still held
    EXPECT_EQ(send(WM_LBUTTONUP, 0, 2, 4), nullptr);           // the last one up lets go
    EXPECT_EQ(send(WM_LBUTTONDOWN, MK_LBUTTON, 31, 11), nullptr) << "outside both: no control pressed";
    send(WM_LBUTTONUP, 0, 31, 11);
    f.over.onDblClick = [&] {
        f.seen.emplace_back("dbl over");
        f.window.hide();
    };
    EXPECT_EQ(send(WM_LBUTTONDBLCLK, MK_LBUTTON, 15, 5), over);
    EXPECT_EQ(send(WM_LBUTTONUP, 0, 15, 5), nullptr);
    send(WM_RBUTTONDBLCLK, MK_RBUTTON, 15, 5);  // only the left button's double-click is one
    send(WM_RBUTTONUP, 0, 15, 5);
    EXPECT_EQ(f.seen, (std::vector<std::string>{"down over 2,3 b1", "move over -50,70 b3",
                                                "up over -50,70 b2", "up over -8,4 b1", "dbl over",
                                                "up over 5,5 b1", "down over 5,5 b2", "up over 5,5 b2"}));

    f.window.show();
    Form menu(rt, "menu", FormStyle{});
    HWND menuWindow = windowOf(menu);
    std::vector<bool> formHeldTheMouse;
    f.over.onMouseDown = [&](const MouseArgs&) { SetCapture(menuWindow); };
    f.over.onMouseUp = [&](const MouseArgs&) {
        formHeldTheMouse.push_back(GetCapture() == window || GetCapture() == over);
    };
    EXPECT_EQ(send(WM_RBUTTONDOWN, MK_RBUTTON, 15, 5), menuWindow);
    EXPECT_EQ(f.window.mouse().captured(), nullptr);
    send(WM_RBUTTONUP, 0, 15, 5);
    ReleaseCapture();

    f.over.onMouseDown = nullptr;
    ASSERT_EQ(send(WM_LBUTTONDOWN, MK_LBUTTON, 15, 5), over);
    send(WM_LBUTTONUP, 0, 15, 5);
    EXPECT_EQ(formHeldTheMouse, (std::vector<bool>{false, false}));

    // Each picture is a window of its own, above the form, in the form's order: the later one on top where
    // they overlap, a hidden one nowhere, the form around them. (What a picture's window paints is seen on
    // the screen end to end, row by row of the meter's pixels.)
    auto at = [&](int x, int y) { return childAt(window, x, y); };
    EXPECT_EQ((std::vector<HWND>{at(0, 9), at(9, 9), at(10, 9), at(29, 9), at(30, 9), at(29, 10)}),
              (std::vector<HWND>{under, under, over, over, window, window}));
    f.over.setVisible(false);
    EXPECT_EQ((std::vector<HWND>{at(10, 9), at(19, 9), at(20, 9)}),
              (std::vector<HWND>{under, under, window}));
}

// ---- Text, menus and the help --------------------------------------------------------------

// Text through GDI as every backend's text service draws it. (That it is Arial, or under Wine its
// metric twin Liberation Sans, the Wine end-to-end tests see: the status tooltip there has the Linux
// program's size to the pixel.) A popup menu closed from outside while it is up, as the end of the
// program does, answers that nothing was chosen. (The keys' choices past the separators, and Esc, are
// the Wine end-to-end tests': the tray's menu opens each of its items there.)
TEST_F(RuntimeTest, TextIsDrawnAsEveryBackendDrawsItAndAMenuClosedFromOutsideAnswersNothing) {
    test::checkTextService(rt.text());

    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
    EXPECT_EQ(rt.popupMenu().show(std::vector<MenuItem>{{"First"}, {"-"}, {"Second"}}), std::nullopt);
}

// ---- The dialogs' controls -------------------------------------------------------------------

// The tip the form's tooltip shows for the child window; not asked of another process's tooltips (a
// test running beside this one), which cannot be handed this process's buffer.
std::string tipOf(HWND form, HWND child) {
    char text[256] = {};
    TTTOOLINFOA tool{TTTOOLINFOA_V2_SIZE, 0, form, UINT_PTR(child), {}, nullptr, text, 0, nullptr};
    for (HWND t = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); t && !text[0];
         t = FindWindowExA(nullptr, t, TOOLTIPS_CLASSA, nullptr))
        if (GetWindowThreadProcessId(t, nullptr) == GetCurrentThreadId())
            SendMessageA(t, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

// What a common dialog showed, read by a timer its modal loop dispatches, which then answers it.
struct Shown {
    std::string title, text, folder, filter;
    COLORREF colour = 0;
};
Shown gShown;
WPARAM gAnswer = IDCANCEL;

// The dialog is looked for among this thread's windows, not taken as the active one: on a busy machine,
// with other tests' programs in the same prefix, it may be up without being made active.
BOOL CALLBACK keepShownDialog(HWND window, LPARAM found) {
    if (textOf(window, GetClassNameA) != "#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK readAndAnswer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), keepShownDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;  // not up yet: the next tick
    KillTimer(nullptr, id);
    gShown.title = textOf(dialog);
    char text[512] = {};
    gShown.text = textOf(GetDlgItem(dialog, 0xFFFF));  // a message box's text
    if (SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof text, reinterpret_cast<LPARAM>(text)) > 0) {
        gShown.folder = text;
        gShown.text = textOf(GetDlgItem(dialog, cmb13));   // the file name
        gShown.filter = textOf(GetDlgItem(dialog, cmb1));  // the chosen one
    }
    if (GetDlgItem(dialog, COLOR_RED))
        gShown.colour = RGB(GetDlgItemInt(dialog, COLOR_RED, nullptr, FALSE),
                            GetDlgItemInt(dialog, COLOR_GREEN, nullptr, FALSE),
                            GetDlgItemInt(dialog, COLOR_BLUE, nullptr, FALSE));
    PostMessageA(dialog, WM_COMMAND, gAnswer, 0);
}

// The next common dialog is read, then answered.
void answerNext(WPARAM answer) {
    gShown = {};
    gAnswer = answer;
    SetTimer(nullptr, 0, 50, readAndAnswer);
}

// ---- Ten minutes of ticks --------------------------------------------------------------------

// The program's GDI and USER objects as GetGuiResources counts them. Wine has that call but does not
// count (it answers 0 and "not implemented"), so there they are counted in Wine's own tables instead:
// the GDI objects in the handle table the process environment block points to, as on Windows, where a
// free entry has type 0; the windows, menus, icons and cursors by asking for each USER handle index,
// which Wine gives out doubled and offset by 32 and takes without its upper word for whatever holds
// that index now.
using GuiObjects = std::pair<DWORD, DWORD>;  // GDI, USER

DWORD wineGdiObjects() {
    // The table's place in the 64-bit environment block; its entries of 24 bytes, the type at 14.
    constexpr std::size_t kGdiSharedHandleTable = 0xF8, kEntry = 24, kType = 14;
    static_assert(sizeof(void*) == 8, "the 64-bit table");
    PROCESS_BASIC_INFORMATION info{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr))
        return 0;
    const auto* peb = reinterpret_cast<const std::byte*>(info.PebBaseAddress);
    const auto* table = *reinterpret_cast<const std::uint8_t* const*>(peb + kGdiSharedHandleTable);
    DWORD n = 0;
    for (std::size_t i = 0; table && i < 0x10000; ++i) n += table[i * kEntry + kType] != 0;
    return n;
}

DWORD wineUserObjects() {
    DWORD n = 0, pid = 0;
    for (UINT index = 0; index < 32744; ++index) {
        const HANDLE h = ULongToHandle((index << 1) + 32);
        ICONINFO icon{};  // an icon's copies of its bitmaps, deleted below
        if (IsWindow(static_cast<HWND>(h)))
            n += GetWindowThreadProcessId(static_cast<HWND>(h), &pid) && pid == GetCurrentProcessId();
        else if (IsMenu(static_cast<HMENU>(h)) || GetIconInfo(static_cast<HICON>(h), &icon))
            ++n;
        DeleteObject(icon.hbmMask);
        DeleteObject(icon.hbmColor);
    }
    return n;
}

GuiObjects guiObjects() {
    SetLastError(0);
    GuiObjects n{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                 GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    if (n.first == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED)
        n = {wineGdiObjects(), wineUserObjects()};
    return n;
}

// The tick redraws the picture every second, but the window repaints only when its pixels changed.
//
// The tick, the paint and the alarm make and free objects every second; what is left after each hour
// of a day must be what was there after the first minute. The ticks run through every kind of drawing:
// the low bar blinking with the alarm, the middle and the high bar, the mains half, at levels that move
// from minute to minute. Then the program's two dialogs over the meter the ticks drew, and the meter's
// window and the display change.
TEST_F(RuntimeTest,
       TheMetersTicksLeaveNoObjectsBehindTheDialogsAreWhereTheModelPutsThemAndADisplayChangeIsHeardOnce) {
    // The whole program, with the battery set by the test; each tick is followed by every message it
    // caused, paints included.
    rt.tray().shell = [](DWORD, NOTIFYICONDATAA*) { return TRUE; };  // no taskbar in this prefix
    SYSTEM_POWER_STATUS status{};
    rt.power().query = [&status](SYSTEM_POWER_STATUS* s) {
        *s = status;
        return TRUE;
    };
    Program program{rt};
    frmMonitor& meter = program.monitor();
    const HWND window = windowOf(meter.window);
    int paints = 0;
    const auto tick = [&](BYTE ac, int percent) {
        status.ACLineStatus = ac;
        status.BatteryLifePercent = static_cast<BYTE>(percent);
        meter.tmrMain.fire();
        // The meter's picture paints in a window of its own, inside the meter's.
        pump([&](const MSG& m) {
            paints += m.message == WM_PAINT && (m.hwnd == window || GetParent(m.hwnd) == window);
        });
    };
    program.start();
    meter.tmrMain.setInterval(24 * 3600 * 1000);  // the test's own ticks only
    pump();                                       // the first show's paints are not the ticks'

    struct Step {
        std::uint8_t ac;
        int percent, ticks, paints;
    } const steps[] = {{kACOnline, 80, 1, 1},  {kACOnline, 80, 30, 0},  {kACOnline, 90, 1, 1},
                       {kACOffline, 90, 1, 1}, {kACOffline, 90, 30, 0}, {kACOffline, 20, 4, 4}};
    for (const Step& s : steps) {
        paints = 0;
        for (int i = 0; i < s.ticks; ++i) tick(s.ac, s.percent);
        EXPECT_EQ(paints, s.paints) << s.ticks << " ticks at " << s.percent << " %, line " << int(s.ac);
    }
    paints = 0;
    program.kesta().pnAlarmEnabled = 1;
    program.kesta().psWavFilePath = "C:\\windows\\media\\no such sound.wav";
    // A day by the program's clock. The first ten minutes run through every kind of drawing each minute;
    // the rest are cycles of two hours on battery down into the low bar and one on mains back up, long
    // enough on one source for the minutes' samples to fill the history and give estimates.
    SYSTEMTIME now{};
    rt.clock().localTime = [&now](SYSTEMTIME* t) { *t = now; };
    GuiObjects afterOneMinute;
    int paintsInTenMinutes = 0, ticksWithEstimates = 0;
    std::vector<int> hoursNotFlat;
    for (int second = 0; second < 24 * 3600; ++second) {
        now.wHour = static_cast<WORD>(second / 3600);
        now.wMinute = static_cast<WORD>(second / 60 % 60);
        now.wSecond = static_cast<WORD>(second % 60);
        if (second < 600) {
            const int band = second % 60 / 15;  // low, middle, high on battery, then mains
            tick(band == 3 ? kACOnline : kACOffline, std::array{10, 30, 60, 80}[band] + second / 60);
        } else if (const int minute = second / 60 % 180; minute < 120) {
            tick(kACOffline, 100 - minute * 95 / 120);
        } else {
            tick(kACOnline, 5 + (minute - 120) * 95 / 60);
        }
        const std::string& tip = program.kesta().psTrayTip;  // the icon shows it as the mouse comes
        ticksWithEstimates += tip.find("time: ") != std::string::npos;  // "Lifetime: ", "Charge time: "
        if (second == 59) afterOneMinute = guiObjects();
        if (second == 599) paintsInTenMinutes = paints;
        if (second % 3600 == 3599 && guiObjects() != afterOneMinute)
            hoursNotFlat.push_back(second / 3600 + 1);
    }

    const GuiObjects afterTheDay = guiObjects();
    std::printf("GDI and USER objects: %lu and %lu after the first minute, %lu and %lu after the day\n",
                afterOneMinute.first, afterOneMinute.second, afterTheDay.first, afterTheDay.second);
    EXPECT_GE(paintsInTenMinutes, 10 * 15 / 2) << "the low bar alone blinks every other tick";
    EXPECT_GE(afterOneMinute.second, 3u) << "the runtime's window and the two forms' at least";
    EXPECT_GT(afterOneMinute.first, 0u);
    EXPECT_EQ(hoursNotFlat, std::vector<int>{})
        << "hours after which GDI or USER objects were not as after the first minute";
    EXPECT_GT(ticksWithEstimates, 12 * 3600) << "the tip gave an estimate for at least half the day";

    // The program's two dialogs, opened over the running meter. They are captioned windows in the
    // taskbar that take the keyboard as they open (titled as the end-to-end tests find them); each control is
    // a child window of its class where the model puts it. The common dialogs ask what the program asks. Then
    // what the end-to-end walk through the dialog does not reach: a character for the preview, which resizes
    // its window; the text the program sets, which does not come back as the user's; a click that moves the
    // choice of position; Enter in a text box, which is the default button's.
    program.showOptions();
    frmOptions& o = *program.options().find();
    EXPECT_EQ(GetActiveWindow(), windowOf(o.window));
    program.showAbout();
    frmInfo& a = *program.about().find();
    EXPECT_EQ(GetActiveWindow(), windowOf(a.window)) << "also from another of the program's";
    for (Form* form : {&o.window, &a.window}) {
        SCOPED_TRACE(form->name());
        const HWND dialog = windowOf(*form);
        EXPECT_EQ(styleOf(dialog) & kFrameBits, static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
        EXPECT_EQ(exStyleOf(dialog) & kTaskbarBits, static_cast<DWORD>(WS_EX_APPWINDOW));
        EXPECT_TRUE(GetClassLongPtrA(dialog, GCL_STYLE) & CS_DBLCLKS);
        RECT client{};
        GetClientRect(dialog, &client);
        const PixelRect outer = rectOf(dialog);
        EXPECT_EQ((std::array{outer.width, outer.height, int(client.right), int(client.bottom)}),
                  (std::array{form->pixelWidth(), form->pixelHeight(), form->clientPixelWidth(),
                              form->clientPixelHeight()}))
            << "the size and the frame the model was told of";
        for (const auto& c : form->controls()) {
            SCOPED_TRACE(c->name() + std::to_string(c->index()));
            HWND w = windowOf(*c);
            ASSERT_EQ(GetParent(w), dialog);
            EXPECT_EQ(rectOf(w, dialog), c->pixelRect());
            const bool pixels = c->as<Picture>() || c->as<Image>(), edit = c->as<TextBox>();
            EXPECT_EQ(textOf(w, GetClassNameA), pixels           ? "CorvanePixels"
                                                : edit           ? "Edit"
                                                : c->as<Label>() ? "Static"
                                                                 : "Button");
            if (!pixels) {
                EXPECT_EQ(textOf(w), edit ? c->as<TextBox>()->text() : c->caption());
                EXPECT_EQ(HFONT(SendMessageA(w, WM_GETFONT, 0, 0)), rt.text().fontFor(c->font()));
            }
            EXPECT_EQ(tipOf(dialog, w), c->toolTipText());
            EXPECT_EQ((styleOf(w) & WS_TABSTOP) != 0, c->tabStop());
        }
        form->setCaption("Renamed");
        EXPECT_EQ(textOf(dialog), "Renamed");
    }
    EXPECT_EQ(styleOf(windowOf(o.cmdOK)) & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(SendMessageA(windowOf(o.optRightUpper), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(windowOf(o.chkUpright), BM_GETCHECK, 0, 0), BST_CHECKED);

    // A group box paints the form's colour inside itself, where the form, which paints around its
    // controls, cannot; the pictures inside it stand above it.
    HWND frame = windowOf(o.fraWidth);
    const UniqueBitmap bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    const Selection selected(dc.get(), bitmap.get());
    SendMessageA(frame, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    EXPECT_EQ(GetPixel(dc.get(), 1, 1), o.window.backColor());
    for (HWND w : {windowOf(o.picPreview), windowOf(o.imgMinus)}) EXPECT_TRUE(isAbove(w, frame));
    EXPECT_EQ(childAt(windowOf(o.window), o.imgPlus.pixelLeft() + 3, o.imgPlus.pixelTop() + 3),
              windowOf(o.imgPlus));

    answerNext(IDCANCEL);
    const FileChooserRequest request{.filter = "Sound files (*.wav)|*.wav",
                                     .initialDir = "C:\\windows\\",
                                     .fileName = "ding.wav",
                                     .title = " Select alarm sound file",
                                     .hideReadOnly = true};
    EXPECT_EQ(rt.choosers().chooseFile(o.window, request), std::nullopt);  // dismissed
    EXPECT_EQ((std::vector<std::string>{gShown.title, gShown.text, gShown.filter}),
              (std::vector<std::string>{" Select alarm sound file", "ding.wav", "Sound files (*.wav)"}));
    EXPECT_STRCASEEQ(gShown.folder.c_str(), "C:\\windows");

    answerNext(IDOK);
    EXPECT_EQ(rt.choosers().chooseColor(o.window, 0x00332211), std::optional<Color>(0x00332211));
    EXPECT_EQ(gShown.colour, 0x00332211u) << "the chooser starts at the colour given";

    answerNext(IDOK);
    rt.choosers().messageBox(o.window, "Enter a sound file name or disable alarm.",
                             MessageBoxKind::Exclamation, " Corvane");
    EXPECT_EQ(gShown.title + "|" + gShown.text, " Corvane|Enter a sound file name or disable alarm.");

    SetFocus(windowOf(o.picPreview));
    EXPECT_EQ(o.window.keyboard().activeControl(), &o.picPreview);
    SendMessageA(windowOf(o.picPreview), WM_CHAR, '+', 0);
    EXPECT_EQ(o.mnWidth, 12);
    EXPECT_EQ(rectOf(windowOf(o.picPreview), windowOf(o.window)).width, 12);

    int edits = 0;
    o.txtWavFile.onChange = [&] { ++edits; };
    o.txtWavFile.setText("by the program");
    EXPECT_EQ(edits, 0);
    SetWindowTextA(windowOf(o.txtWavFile), "ding.wav");  // as typing does
    EXPECT_EQ(edits, 1);
    SendMessageA(windowOf(o.optLeftLower), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(windowOf(o.optRightUpper), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Enter, as the message loop hands it to the form and then to the dialog manager; what the OK it
    // presses saves is what the typing and the click left.
    SetFocus(windowOf(o.txtLowUpper));
    MSG enter{GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    const HWND form = windowOf(o.window);
    EXPECT_TRUE(Win32FormPeer::formKey(form, enter) || IsDialogMessageA(form, &enter));
    EXPECT_FALSE(o.window.loaded());
    EXPECT_EQ(program.kesta().psWavFilePath, "ding.wav");
    EXPECT_EQ(program.kesta().pnPosOptNum, 1);

    // The meter is a borderless window out of the taskbar, shown without taking the keyboard from the
    // user's window (the dialogs' styles are checked above). A new resolution or arrangement of the
    // monitors reaches the runtime's window. The model takes each window's place as the system has it
    // then (Windows renumbers the desktop around the primary monitor, and moves windows off a monitor
    // that went); the program hears of it once the message is handled, once for a burst of them. (That
    // it then puts its meter back into its corner is seen end to end.)
    EXPECT_EQ(styleOf(window) & kFrameBits, static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(exStyleOf(window) & kTaskbarBits, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    program.showAbout();  // a window that has the keyboard
    meter.window.hide();
    meter.window.show();
    EXPECT_EQ(GetActiveWindow(), windowOf(program.about().find()->window));
    int heard = 0;
    rt.onScreensChanged = [&] { ++heard; };
    SetWindowPos(window, nullptr, 300, -40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < 2; ++i) SendMessageA(rt.window(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_EQ(std::pair(meter.window.pixelLeft(), meter.window.pixelTop()), std::pair(300, -40));
    EXPECT_EQ(heard, 0) << "not within the message";
    pump();
    EXPECT_EQ(heard, 1);
}

}  // namespace
}  // namespace corvane::test
