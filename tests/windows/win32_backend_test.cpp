// The Windows backend's own logic, run under Wine: the registry store, the tray record, and the
// native windows fed with the messages Windows sends them.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/win32/form_window.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/tray_icon.h"
#include "platform/win32/win32_runtime.h"

namespace corvane::win32 {
namespace {

// ---- Registry store ---------------------------------------------------------------------------

class RegistryStoreTest : public ::testing::Test {
  protected:
    RegistryStoreTest() : app_("Corvane test " + std::to_string(GetCurrentProcessId())) {}
    ~RegistryStoreTest() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kSettingsRoot) + "\\" + app_).c_str());
    }

    RegistryStore store() {
        return RegistryStore([this](const std::string& text) { problems_.push_back(text); });
    }
    UniqueKey section(const std::string& name) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, sectionKeyPath(app_, name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        return UniqueKey(key);
    }
    void putRaw(const std::string& sectionName, const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(
            RegSetValueExA(section(sectionName).get(), name, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
    }
    // The value as stored: its type and bytes, or type REG_NONE when it is not there.
    std::pair<DWORD, std::string> raw(const std::string& sectionName, const char* name) {
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

TEST_F(RegistryStoreTest, KeepsTextsAsRegSzValuesWhereEarlierVersionsFindThem) {
    RegistryStore writer = store();
    writer.saveSetting(app_, "Form", "Position", " 2");
    writer.saveSetting(app_, "Options", "SoundFile", "C:\\Sounds\\ding.wav");
    writer.saveSetting(app_, "Options", "FullLife", "");
    EXPECT_EQ(raw("Form", "Position").first, static_cast<DWORD>(REG_NONE))
        << "nothing is written before the commit";
    writer.commit();

    EXPECT_EQ(raw("Form", "Position"), std::make_pair(static_cast<DWORD>(REG_SZ), std::string(" 2\0", 3)));
    RegistryStore reader = store();
    EXPECT_EQ(reader.getSetting(app_, "Form", "Position", "9"), " 2");
    EXPECT_EQ(reader.getSetting(app_, "Options", "SoundFile", ""), "C:\\Sounds\\ding.wav");
    EXPECT_EQ(reader.getSetting(app_, "Options", "FullLife", "7"), "")
        << "an empty text is a text, not a missing value";
    EXPECT_EQ(reader.getSetting(app_, "Options", "Upright", "1"), "1") << "missing value";
    EXPECT_EQ(reader.getSetting(app_, "Nowhere", "Upright", "1"), "1") << "missing section";
    EXPECT_TRUE(problems_.empty());
}

TEST_F(RegistryStoreTest, ADwordReadsAsItsDecimalTextAndAnotherTypeAsTheEmptyText) {
    const DWORD red = 255, top = 0xFFFFFFFF;
    putRaw("Options", "LowColor", REG_DWORD, &red, sizeof red);
    putRaw("Options", "Top", REG_DWORD, &top, sizeof top);
    putRaw("Options", "Short", REG_DWORD, &red, 2);
    putRaw("Options", "BigEndian", REG_DWORD_BIG_ENDIAN, &red, sizeof red);
    const unsigned long long qword = 255;
    putRaw("Options", "Qword", REG_QWORD, &qword, sizeof qword);
    putRaw("Options", "Binary", REG_BINARY, "\x01\x02", 2);
    putRaw("Options", "Expand", REG_EXPAND_SZ, "%TEMP%", 7);
    putRaw("Options", "Unterminated", REG_SZ, "12abc", 5);
    putRaw("Options", "Embedded", REG_SZ, "7\0x", 4);
    RegistryStore s = store();
    EXPECT_EQ(s.getSetting(app_, "Options", "LowColor", "1"), "255");
    EXPECT_EQ(s.getSetting(app_, "Options", "Top", "1"), "4294967295");  // as the registry editor shows it
    EXPECT_EQ(s.getSetting(app_, "Options", "Short", "1"), "");
    EXPECT_EQ(s.getSetting(app_, "Options", "BigEndian", "1"), "");
    EXPECT_EQ(s.getSetting(app_, "Options", "Qword", "1"), "");
    EXPECT_EQ(s.getSetting(app_, "Options", "Binary", "1"), "");
    EXPECT_EQ(s.getSetting(app_, "Options", "Expand", "1"), "");
    EXPECT_EQ(s.getSetting(app_, "Options", "Unterminated", "1"), "12abc");
    EXPECT_EQ(s.getSetting(app_, "Options", "Embedded", "1"), "7");
}

TEST_F(RegistryStoreTest, ASectionThatCannotBeOpenedLeavesEverySectionAsItWas) {
    putRaw("Form", "Position", REG_SZ, "old", 4);
    const std::string unopenable(300, 'x');  // key names end at 255 characters
    RegistryStore s = store();
    s.saveSetting(app_, "Form", "Position", " 3");
    s.saveSetting(app_, unopenable, "Key", " 1");
    s.saveSetting(app_, "Form", "Left", " 1");
    s.commit();
    EXPECT_EQ(raw("Form", "Position").second, std::string("old\0", 4));
    EXPECT_EQ(raw("Form", "Left").first, static_cast<DWORD>(REG_NONE));
    ASSERT_EQ(problems_.size(), 1u);
    EXPECT_NE(problems_[0].find("not be saved"), std::string::npos) << problems_[0];
}

TEST_F(RegistryStoreTest, AWriteFailingPartWayPutsTheOldValuesBack) {
    putRaw("Form", "Position", REG_SZ, "old", 4);
    const DWORD dword = 9;
    putRaw("Form", "Top", REG_DWORD, &dword, sizeof dword);
    const std::string unwritable(20000, 'v');  // value names end at 16383 characters
    RegistryStore s = store();
    s.saveSetting(app_, "Form", "Position", " 3");
    s.saveSetting(app_, "Form", "Left", " 1");
    s.saveSetting(app_, "Form", "Top", " 2");
    s.saveSetting(app_, "Form", "Position", " 4");
    s.saveSetting(app_, "Form", unwritable, " 5");
    s.commit();
    EXPECT_EQ(raw("Form", "Position"), std::make_pair(static_cast<DWORD>(REG_SZ), std::string("old\0", 4)));
    EXPECT_EQ(raw("Form", "Left").first, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(raw("Form", "Top"),
              std::make_pair(static_cast<DWORD>(REG_DWORD), std::string("\x09\0\0\0", 4)));
    EXPECT_EQ(problems_.size(), 1u);

    s.saveSetting(app_, "Form", unwritable, " 5");
    s.commit();
    EXPECT_EQ(problems_.size(), 1u) << "the user hears about it once";
}

// ---- Tray record and program folder -----------------------------------------------------------

TEST(ShellRecord, IsTheFirstVersionRecordOfThisPlatform) {
    NotifyIconData data;
    data.uID = 1;
    data.uFlags = 7;
    data.uCallbackMessage = 512;
    data.hIcon = true;
    data.szTip.fill(' ');
    std::copy_n("Battery status", 15, data.szTip.begin());
    HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    HICON icon = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x5678));

    const NOTIFYICONDATAA nid = toShellRecord(data, window, icon);
    EXPECT_EQ(nid.cbSize, offsetof(NOTIFYICONDATAA, szTip) + 64);
    EXPECT_EQ(nid.cbSize, sizeof(void*) == 8 ? 104u : 88u);
    EXPECT_EQ(nid.hWnd, window);
    EXPECT_EQ(nid.uID, 1u);
    EXPECT_EQ(nid.uFlags, 7u);
    EXPECT_EQ(nid.uCallbackMessage, 512u);
    EXPECT_EQ(nid.hIcon, icon);
    EXPECT_EQ(std::string(nid.szTip, 64), std::string(data.szTip.data(), 64));
    EXPECT_EQ(nid.szTip[64], '\0') << "nothing beyond the first-version tip";

    data.hIcon = false;
    EXPECT_EQ(toShellRecord(data, window, icon).hIcon, nullptr);
}

TEST(ProgramFolder, HasNoTrailingBackslashExceptAtADriveRoot) {
    EXPECT_EQ(folderOfModulePath("C:\\Tools\\corvane.exe"), "C:\\Tools");
    EXPECT_EQ(folderOfModulePath("C:\\corvane.exe"), "C:\\");
    EXPECT_EQ(folderOfModulePath("\\\\server\\share\\corvane.exe"), "\\\\server\\share");
}

// ---- Windows ----------------------------------------------------------------------------------

class WindowTest : public ::testing::Test {
  protected:
    Win32Runtime rt;
};

TEST_F(WindowTest, TheMainWindowTurnsTheEndOfTheSessionIntoOneCloseRequest) {
    Form main(rt, "frmMain", FormKind::Main);
    std::vector<int> reasons;
    main.onQueryUnload = [&](std::int16_t&, std::int16_t reason) { reasons.push_back(reason); };
    HWND window = Win32Runtime::windowOf(main);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), nullptr) << "a top-level window hears the session end";

    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window)) << "closing is the program's decision";
    EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(reasons, (std::vector<int>{0, 2}));

    main.show();
    EXPECT_FALSE(IsWindowVisible(window)) << "the main window is never seen";
}

TEST_F(WindowTest, IconNotificationsReachTheProgramUntilItEnds) {
    Form main(rt, "frmMain", FormKind::Main);
    std::vector<int> notified;
    rt.tray().onNotify = [&](int message) { notified.push_back(message); };
    rt.shellTray().shell = [](DWORD, NOTIFYICONDATAA*) { return TRUE; };
    NotifyIconData add;
    add.uID = 1;
    add.uFlags = NIF_MESSAGE;
    add.uCallbackMessage = WM_MOUSEMOVE;
    rt.tray().shellNotifyIcon(kNimAdd, add);

    HWND window = Win32Runtime::windowOf(main);
    SendMessageA(window, WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
    rt.end();
    SendMessageA(window, WM_MOUSEMOVE, 1, WM_RBUTTONUP);
    EXPECT_EQ(notified, std::vector<int>{WM_LBUTTONDBLCLK});
}

TEST_F(WindowTest, ANewTaskbarGetsTheIconBackAsItWasLastSet) {
    Form main(rt, "frmMain", FormKind::Main);
    HWND window = Win32Runtime::windowOf(main);
    std::vector<std::pair<DWORD, NOTIFYICONDATAA>> calls;
    rt.shellTray().shell = [&](DWORD message, NOTIFYICONDATAA* nid) {
        calls.emplace_back(message, *nid);
        return TRUE;
    };
    auto record = [](const char* tip) {
        NotifyIconData d;
        d.uID = 1;
        d.uFlags = 7;
        d.uCallbackMessage = 512;
        d.hIcon = true;
        std::copy_n(tip, std::strlen(tip) + 1, d.szTip.begin());
        return d;
    };
    rt.tray().shellNotifyIcon(kNimAdd, record("Battery status"));
    rt.tray().shellNotifyIcon(kNimModify, record("80%"));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].second.hWnd, window);
    EXPECT_NE(calls[0].second.hIcon, nullptr) << "the program icon from the resources";

    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    calls.clear();
    SendMessageA(window, taskbarCreated, 0, 0);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].first, static_cast<DWORD>(NIM_ADD));
    EXPECT_STREQ(calls[0].second.szTip, "Battery status");
    EXPECT_EQ(calls[1].first, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_STREQ(calls[1].second.szTip, "80%");

    rt.tray().shellNotifyIcon(kNimDelete, NotifyIconData{});
    calls.clear();
    SendMessageA(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(calls.empty()) << "a removed icon stays removed";
}

class MeterTest : public WindowTest {
  protected:
    MeterTest() : meter(rt, "frmMonitor", FormKind::Meter), pic(meter.addPicture("picHistory")) {
        meter.setScaleMode(ScaleMode::Pixels);
        meter.setWidth(10 * 15.0);
        meter.setHeight(51 * 15.0);
        meter.setBackColor(0x00FFFFFF);
        pic.setLeft(1);
        pic.setWidth(8);
        pic.setHeight(51);
        pic.setBackColor(0x00808080);
        auto record = [this](const char* what) {
            return [this, what](const MouseArgs& e) {
                events.push_back(std::string(what) + " " + std::to_string(e.button) + " " +
                                 std::to_string(static_cast<int>(e.x)) + "," +
                                 std::to_string(static_cast<int>(e.y)));
            };
        };
        pic.onMouseDown = record("down");
        pic.onMouseMove = record("move");
        pic.onMouseUp = record("up");
        pic.onDblClick = [this] { events.push_back("dblclick"); };
        window = Win32Runtime::windowOf(meter);
    }
    void send(UINT message, WPARAM keys, int x, int y) {
        SendMessageA(window, message, keys, MAKELPARAM(x, y));
    }

    Form meter;
    Picture& pic;
    HWND window;
    std::vector<std::string> events;
};

TEST_F(MeterTest, IsABorderlessToolWindowInTwipsPlace) {
    meter.setLeft(1014 * 15.0);
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 1014);
    EXPECT_EQ(r.right - r.left, 10);
    EXPECT_EQ(r.bottom - r.top, 51);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), WS_POPUP);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetClassLongPtrA(window, GCL_STYLE) & CS_DBLCLKS);
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Corvane");

    meter.peer().setWindowPos(-1, 0, 0, 0, 0, 3);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    meter.peer().setWindowPos(-2, 0, 0, 0, 0, 3);
    EXPECT_FALSE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 1014) << "flags 3 keep the place";

    meter.show();
    EXPECT_TRUE(IsWindowVisible(window));
    meter.hide();
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(MeterTest, MouseEventsArriveInPicturePixelsAndDragsKeepTheMouse) {
    send(WM_MOUSEMOVE, 0, 0, 5);  // on the strip beside the picture: nothing
    send(WM_LBUTTONDOWN, MK_LBUTTON, 3, 20);
    EXPECT_EQ(GetCapture(), window);
    send(WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, -40, 70);  // far outside, still the picture's
    send(WM_LBUTTONUP, 0, -40, 70);
    EXPECT_EQ(GetCapture(), nullptr);
    send(WM_RBUTTONDOWN, MK_RBUTTON, 8, 0);
    send(WM_RBUTTONUP, 0, 8, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 2,20", "move 3 -41,70", "up 1 -41,70", "down 2 7,0",
                                                "up 2 7,0"}));
}

TEST_F(MeterTest, ADoubleClickArrivesAsDownUpDoubleClickUp) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, 4, 4);
    send(WM_LBUTTONUP, 0, 4, 4);
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, 4, 4);
    EXPECT_EQ(GetCapture(), window);
    send(WM_LBUTTONUP, 0, 4, 4);
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 3,4", "up 1 3,4", "dblclick", "up 1 3,4"}));
}

TEST_F(MeterTest, PaintsTheBackColourAroundThePicturesPixels) {
    pic.fillBox(0, 0, 0, 0, 0x000000FF);    // red
    pic.fillBox(7, 50, 7, 50, 0x00FF0000);  // blue
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 10, -51, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(bitmap && dc);
    {
        Selection selected(dc.get(), bitmap.get());
        const RECT client{0, 0, 10, 51};
        paintForm(dc.get(), meter, client);
        GdiFlush();
    }
    const auto* px = static_cast<const std::uint32_t*>(bits);
    auto at = [&](int x, int y) { return px[y * 10 + x] & 0x00FFFFFFu; };  // as 0x00RRGGBB
    EXPECT_EQ(at(1, 0), 0x00FF0000u);
    EXPECT_EQ(at(8, 50), 0x000000FFu);
    EXPECT_EQ(at(4, 25), 0x00808080u);
    for (int y : {0, 25, 50}) {
        EXPECT_EQ(at(0, y), 0x00FFFFFFu) << y;
        EXPECT_EQ(at(9, y), 0x00FFFFFFu) << y;
    }
}

TEST_F(WindowTest, EndStopsEveryTimerAndTheLoop) {
    Timer ender(rt, "ender", 30, true);
    Timer other(rt, "other", 10, true);
    int otherTicks = 0;
    ender.onTimer = [&] { rt.end(); };
    other.onTimer = [&] { ++otherTicks; };
    EXPECT_EQ(rt.run(), 0);
    EXPECT_GE(otherTicks, 1) << "the other timer was running";

    // Ticks queued before the end may still be there; after them, none may come, though the wait is
    // long enough for either timer to come due several times, were it still set.
    MSG msg;
    while (PeekMessageA(&msg, rt.timerWindow(), WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    int late = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 100;) {
        while (PeekMessageA(&msg, rt.timerWindow(), WM_TIMER, WM_TIMER, PM_REMOVE)) ++late;
        Sleep(5);
    }
    EXPECT_EQ(late, 0);
}

}  // namespace
}  // namespace corvane::win32
