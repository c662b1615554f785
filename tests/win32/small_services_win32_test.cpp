// The small Win32 services: message boxes, the program's identity and the
// wave-output devices as the real sound layer reports them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/win32/app_identity_win32.h"
#include "platform/win32/main_window_view_win32.h"
#include "platform/win32/message_service_win32.h"
#include "platform/win32/sound_devices_win32.h"
#include "platform/win32/win_text.h"

namespace marvolt {
namespace {

// ---- Message boxes, seen through a CBT hook and answered from inside their loop.

struct SeenBox {
    std::u16string title;
    std::vector<std::u16string> texts;  // of every static child
    HWND owner = nullptr;
    bool hasOk = false, hasYes = false, hasNo = false, hasIcon = false;
};

struct BoxAnswerer {
    int answer = IDOK;
    HWND box = nullptr;
    std::vector<SeenBox> seen;
};
BoxAnswerer* g_answerer = nullptr;

BOOL CALLBACK CollectStatic(HWND child, LPARAM context) {
    auto* box = reinterpret_cast<SeenBox*>(context);
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (lstrcmpiW(name, L"Static") == 0) {
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            if (SendMessageW(child, STM_GETICON, 0, 0)) box->hasIcon = true;
        } else {
            box->texts.push_back(WindowTextOf(child));
        }
    }
    return TRUE;
}

// Reads the box once its dialog is fully set up: the timer fires from inside
// the box's own modal loop, after the box has initialised its controls.
void CALLBACK InspectAndAnswer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND box = g_answerer ? g_answerer->box : nullptr;
    if (!box || !IsWindow(box)) return;
    SeenBox seen;
    seen.title = WindowTextOf(box);
    seen.owner = GetWindow(box, GW_OWNER);
    seen.hasOk = IsWindowVisible(GetDlgItem(box, IDOK));
    seen.hasYes = IsWindowVisible(GetDlgItem(box, IDYES));
    seen.hasNo = IsWindowVisible(GetDlgItem(box, IDNO));
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&seen));
    g_answerer->seen.push_back(seen);
    g_answerer->box = nullptr;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(g_answerer->answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, g_answerer->answer)));
}

LRESULT CALLBACK WatchForBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_answerer && !g_answerer->box) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (lstrcmpW(name, L"#32770") == 0) {
            g_answerer->box = window;
            SetTimer(nullptr, 0, 1, InspectAndAnswer);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class MessageServiceWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        g_answerer = &answerer;
        hook = SetWindowsHookExW(WH_CBT, WatchForBox, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        identity.SetTitle(u"Marvolt");
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook);
        g_answerer = nullptr;
    }
    bool ShowedText(const SeenBox& box, const std::u16string& text) {
        for (const auto& shown : box.texts)
            if (shown == text) return true;
        return false;
    }

    BoxAnswerer answerer;
    HHOOK hook = nullptr;
    AppIdentityWin32 identity;
    MessageServiceWin32 messages{identity};
};

TEST_F(MessageServiceWin32Test, ShowsTextTitleButtonsAndIconAndReportsTheAnswer) {
    struct Case {
        MessageButtons buttons;
        MessageIcon icon;
        int press;
        MessageAnswer expected;
    };
    const Case cases[] = {
        {MessageButtons::YesNo, MessageIcon::Question, IDNO, MessageAnswer::No},
        {MessageButtons::YesNo, MessageIcon::Question, IDYES, MessageAnswer::Yes},
        {MessageButtons::Ok, MessageIcon::Information, IDOK, MessageAnswer::Ok},
        {MessageButtons::Ok, MessageIcon::Critical, IDOK, MessageAnswer::Ok},
        {MessageButtons::Ok, MessageIcon::None, IDOK, MessageAnswer::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press);
        answerer.seen.clear();
        answerer.answer = c.press;
        const std::u16string text = u"Lautsprecher \u00c4 fehlt";
        EXPECT_EQ(messages.ShowMessage(text, u"Exit program?", c.buttons, c.icon), c.expected);
        ASSERT_EQ(answerer.seen.size(), 1u);
        const SeenBox& box = answerer.seen[0];
        EXPECT_EQ(box.title, u"Exit program?");
        EXPECT_TRUE(ShowedText(box, text));
        EXPECT_EQ(box.hasOk, c.buttons == MessageButtons::Ok);
        EXPECT_EQ(box.hasYes, c.buttons == MessageButtons::YesNo);
        EXPECT_EQ(box.hasNo, c.buttons == MessageButtons::YesNo);
        EXPECT_EQ(box.hasIcon, c.icon != MessageIcon::None);
    }
}

TEST_F(MessageServiceWin32Test, TitleDefaultsToTheApplicationTitle) {
    identity.SetTitle(u"Marvolt Test");
    messages.ShowMessage(u"Please select an device", u"", MessageButtons::Ok, MessageIcon::Information);
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, u"Marvolt Test");
}

TEST_F(MessageServiceWin32Test, BoxIsOwnedByTheProgramsActiveWindow) {
    auto view = MainWindowViewWin32::Create(GetModuleHandleW(nullptr), false);
    ASSERT_NE(view, nullptr);
    ShowWindow(view->Hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(view->Hwnd());
    SetActiveWindow(view->Hwnd());
    ASSERT_EQ(GetActiveWindow(), view->Hwnd());
    messages.ShowMessage(u"Shutdown Marvolt?", u"Exit program?", MessageButtons::YesNo, MessageIcon::Question);

    view.reset();
    messages.ShowMessage(u"Shutdown Marvolt?", u"Exit program?", MessageButtons::YesNo, MessageIcon::Question);
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_NE(answerer.seen[0].owner, nullptr);
    EXPECT_EQ(answerer.seen[1].owner, nullptr);  // no window of the program is active
}

// ---- The program's identity

TEST(AppIdentityWin32Test, ModulePathSplitsIntoFolderAndBaseName) {
    struct Case {
        const char16_t* path;
        const char16_t* folder;
        const char16_t* baseName;
    };
    const Case cases[] = {
        {u"C:\\Tools\\Marvolt.exe", u"C:\\Tools", u"Marvolt"},
        {u"C:\\Marvolt.exe", u"C:\\", u"Marvolt"},  // a drive root keeps its backslash
        {u"C:\\Program Files\\Sound Tools\\Marvolt.EXE", u"C:\\Program Files\\Sound Tools", u"Marvolt"},
        {u"D:\\a.b\\Marvolt.v2.exe", u"D:\\a.b", u"Marvolt.v2"},
        {u"\\\\server\\share\\Marvolt.exe", u"\\\\server\\share", u"Marvolt"},
        {u"C:\\Tools\\Marvolt", u"C:\\Tools", u"Marvolt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.path));
        ModulePathParts parts = SplitModulePath(c.path);
        EXPECT_EQ(parts.folder, c.folder);
        EXPECT_EQ(parts.baseName, c.baseName);
    }
}

TEST(AppIdentityWin32Test, NamesTheRunningProgram) {
    AppIdentityWin32 identity;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(ToLowerAscii(identity.ProgramFolder() + u"\\" + identity.ExeBaseName() + u".exe"),
              ToLowerAscii(FromWide(path)));
    EXPECT_EQ(identity.ExeBaseName(), u"marvolt_win32_tests");
    EXPECT_EQ(identity.Title(), u"Marvolt");
}

// ---- Wave-output devices under Wine's PulseAudio driver

std::vector<std::u16string> ExpectedSinks() {
    // The wide environment: a name beyond the ANSI code page arrives whole.
    const wchar_t* configured = _wgetenv(L"MARVOLT_SINKS");
    std::u16string sinks = configured && *configured ? FromWide(configured) : u"Speakers|Headset";
    std::vector<std::u16string> names;
    size_t start = 0;
    for (;;) {
        size_t bar = sinks.find(u'|', start);
        names.push_back(sinks.substr(start, bar - start));
        if (bar == std::u16string::npos) return names;
        start = bar + 1;
    }
}

TEST(SoundDevicesWin32Test, ListsWinesOwnEntryAndThenTheSinksByName) {
    SoundDevicesWin32 devices;
    // Wine lists the sinks in an order of its own; names are cut at 31 characters.
    std::vector<std::u16string> expected;
    for (const auto& sink : ExpectedSinks()) expected.push_back(sink.substr(0, 31));
    std::sort(expected.begin(), expected.end());

    std::uint32_t count = devices.OutputDeviceCount();
    ASSERT_EQ(count, expected.size() + 1);
    std::vector<std::u16string> names;
    for (std::uint32_t device = 0; device < count; ++device) {
        SCOPED_TRACE(device);
        std::u16string field;
        ASSERT_EQ(devices.OutputDeviceName(device, field), 0u);
        // The whole field, with the name's terminating NUL inside it.
        size_t nul = field.find(u'\0');
        ASSERT_NE(nul, std::u16string::npos);
        EXPECT_LE(field.size(), 32u);
        names.push_back(field.substr(0, nul));
    }
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), u"PulseAudio");
    names.erase(names.begin());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
    std::u16string field = u"untouched";
    EXPECT_NE(devices.OutputDeviceName(count, field), 0u);
    EXPECT_EQ(field, u"untouched");
}

}  // namespace
}  // namespace marvolt
