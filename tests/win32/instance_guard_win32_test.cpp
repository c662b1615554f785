#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "instance/prev_instance.h"
#include "platform/fakes/simple_fakes.h"
#include "platform/win32/instance_query_win32.h"
#include "platform/win32/keystrokes_win32.h"
#include "platform/win32/pending_events_win32.h"
#include "platform/win32/process_end_win32.h"
#include "platform/win32/top_level_windows_win32.h"
#include "platform/win32/win_text.h"
#include "platform/win32/window_activation_win32.h"
#include "tests/win32/blocks_test_windows.h"

namespace marvolt {
namespace {

using namespace blocks_test;

TEST(Win32InstanceQuery, TheMutexTellsOfAnEarlierInstanceWhileItLives) {
    auto first = std::make_unique<Win32InstanceQuery>();
    EXPECT_FALSE(first->EarlierInstanceRunning());
    {
        Win32InstanceQuery second;
        EXPECT_TRUE(second.EarlierInstanceRunning());
    }
    // The second one's handle does not keep the name alive on its own.
    EXPECT_TRUE(Win32InstanceQuery().EarlierInstanceRunning());
    first.reset();
    EXPECT_FALSE(Win32InstanceQuery().EarlierInstanceRunning());
    // It lives in the session's namespace.
    UniqueKernelHandle probe(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Marvolt.SingleInstance"));
    EXPECT_FALSE(probe);
    Win32InstanceQuery held;
    probe.reset(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Marvolt.SingleInstance"));
    EXPECT_TRUE(probe);
}

TEST(Win32TopLevelWindows, FindsShowsAndPinsARealWindow) {
    UniqueHwnd window = MakeTestWindow(L"Blocks Windows \u00e4");
    ASSERT_TRUE(window);
    Win32TopLevelWindows windows;
    NativeHandle handle = reinterpret_cast<NativeHandle>(window.get());
    EXPECT_EQ(windows.FindByClassAndTitle(u"BlocksTestWindow", u"Blocks Windows \u00e4"), handle);
    EXPECT_EQ(windows.FindByClassAndTitle(u"BlocksTestWindow", u"Blocks Windows"), 0u);
    EXPECT_EQ(windows.FindByClassAndTitle(u"OtherClass", u"Blocks Windows \u00e4"), 0u);

    windows.SetTopmost(handle, true);
    EXPECT_TRUE(IsTopmost(window.get()));
    windows.SetTopmost(handle, false);
    EXPECT_FALSE(IsTopmost(window.get()));

    ShowWindow(window.get(), SW_SHOWMINIMIZED);
    ASSERT_TRUE(IsIconic(window.get()));
    windows.ShowAsync(handle, kShowRestore);
    PumpMessages();
    EXPECT_FALSE(IsIconic(window.get()));
    EXPECT_TRUE(IsWindowVisible(window.get()));

    // A handle of 0, as the guard may pass, does nothing.
    windows.ShowAsync(0, kShowRestore);
    windows.SetTopmost(0, true);
}

TEST(Win32WindowActivation, ExactTitleFirstThenPrefixVisibleFirst) {
    UniqueHwnd exact = MakeTestWindow(L"BlocksAct");
    UniqueHwnd longer = MakeTestWindow(L"BlocksAct Vers. 1.01");
    UniqueHwnd hiddenLonger = MakeTestWindow(L"BlocksAct Vers. 1.01 hidden");
    UniqueHwnd other = MakeTestWindow(L"Something else");
    for (HWND window : {exact.get(), longer.get(), other.get()}) ShowWindow(window, SW_SHOWNORMAL);
    PumpMessages();
    Win32WindowActivation activation;

    EXPECT_TRUE(activation.ActivateByTitle(u"BlocksAct"));
    PumpMessages();
    EXPECT_EQ(GetForegroundWindow(), exact.get());

    EXPECT_TRUE(activation.ActivateByTitle(u"BlocksAct Vers"));
    PumpMessages();
    EXPECT_EQ(GetForegroundWindow(), longer.get());
    EXPECT_FALSE(IsWindowVisible(hiddenLonger.get()));

    SetForegroundWindow(other.get());
    EXPECT_FALSE(activation.ActivateByTitle(u"NoSuchBlocksWindow"));
    EXPECT_FALSE(activation.ActivateByTitle(u""));
    PumpMessages();
    EXPECT_EQ(GetForegroundWindow(), other.get());
}

TEST(Win32WindowActivation, HiddenOrMinimisedWindowIsBroughtBack) {
    struct Case {
        const char* name;
        int show;
    };
    for (const Case& c : {Case{"hidden", SW_HIDE}, Case{"minimised", SW_SHOWMINIMIZED}}) {
        SCOPED_TRACE(c.name);
        UniqueHwnd other = MakeTestWindow(L"Blocks other window");
        ShowWindow(other.get(), SW_SHOWNORMAL);
        UniqueHwnd target = MakeTestWindow(L"BlocksTray Vers. 1.01");
        ShowWindow(target.get(), c.show);
        SetForegroundWindow(other.get());
        PumpMessages();

        EXPECT_TRUE(Win32WindowActivation().ActivateByTitle(u"BlocksTray"));
        PumpMessages();
        EXPECT_TRUE(IsWindowVisible(target.get()));
        EXPECT_FALSE(IsIconic(target.get()));
        EXPECT_EQ(GetForegroundWindow(), target.get());
    }
}

TEST(Win32Guard, SecondStartBringsTheHiddenWindowForwardAndEnds) {
    // The running instance: its mutex, and its window hidden in the tray under
    // the caption the settings window carries.
    Win32InstanceQuery earlier;
    UniqueHwnd running = MakeTestWindow(L"BlocksGuard Vers. 1.01");
    UniqueHwnd other = MakeTestWindow(L"Blocks other window");
    ShowWindow(other.get(), SW_SHOWNORMAL);
    SetForegroundWindow(other.get());
    PumpMessages();

    Win32InstanceQuery query;
    Win32TopLevelWindows windows;
    FakeAppIdentity identity;
    identity.title = u"BlocksGuard";
    Win32WindowActivation activation;
    Win32Keystrokes keys;
    Win32PendingEvents pending;
    FakeProcessEnd end;
    PrevInstance guard({query, windows, identity, activation, keys, pending, end});
    EXPECT_THROW(guard.CheckPrevInstance(u"", u""), ProcessEnded);
    PumpMessages();
    EXPECT_EQ(identity.title, u"#$#");
    EXPECT_TRUE(IsWindowVisible(running.get()));
    EXPECT_EQ(GetForegroundWindow(), running.get());
    EXPECT_FALSE(IsTopmost(running.get()));
}

// The second start as its own process: this test program runs itself again with
// only the child's test selected.
constexpr wchar_t kChildVariable[] = L"BLOCKS_GUARD_CHILD";
constexpr char16_t kCrossMutex[] = u"Local\\BlocksCrossProcessGuard";

TEST(Win32GuardChild, RunsOnlyAsTheSecondProcess) {
    if (!GetEnvironmentVariableW(kChildVariable, nullptr, 0)) GTEST_SKIP() << "started by Win32Guard";
    Win32InstanceQuery query(kCrossMutex);
    Win32TopLevelWindows windows;
    FakeAppIdentity identity;
    identity.title = u"BlocksCross";
    Win32WindowActivation activation;
    Win32Keystrokes keys;
    Win32PendingEvents pending;
    Win32ProcessEnd end;
    PrevInstance({query, windows, identity, activation, keys, pending, end}).CheckPrevInstance(u"", u"");
    ExitProcess(7);  // the guard returned: it found no earlier instance
}

TEST(Win32Guard, SecondProcessActivatesTheFirstAndEnds) {
    Win32InstanceQuery earlier(kCrossMutex);
    UniqueHwnd running = MakeTestWindow(L"BlocksCross Vers. 1.01");
    UniqueHwnd other = MakeTestWindow(L"Blocks other window");
    ShowWindow(other.get(), SW_SHOWNORMAL);
    SetForegroundWindow(other.get());
    PumpMessages();

    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\" --gtest_filter=Win32GuardChild.*";
    SetEnvironmentVariableW(kChildVariable, L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process);
    SetEnvironmentVariableW(kChildVariable, nullptr);
    ASSERT_TRUE(started);
    UniqueKernelHandle child(process.hProcess), thread(process.hThread);
    // The window's messages (the asynchronous show among them) must keep flowing.
    DWORD deadline = GetTickCount() + 30000;
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 200, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount() < deadline) {
        PumpMessages();
    }
    PumpMessages();
    DWORD code = 99;
    GetExitCodeProcess(child.get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(IsWindowVisible(running.get()));
    EXPECT_EQ(GetForegroundWindow(), running.get());
    EXPECT_FALSE(IsTopmost(running.get()));
}

TEST(Win32Keystrokes, TypesCharactersAndNamedKeysIntoTheFocusedControl) {
    UniqueHwnd window = MakeTestWindow(L"Blocks keys");
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 0, 0,
                                200, 100, window.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window.get(), SW_SHOWNORMAL);
    SetForegroundWindow(window.get());
    SetFocus(edit);
    PumpMessages();
    ASSERT_EQ(GetFocus(), edit);

    Win32Keystrokes().SendKeys(u"a\u00e9{{}b}{ENTER}z");
    Win32PendingEvents().ProcessPending();
    PumpMessages();
    wchar_t text[64] = {};
    GetWindowTextW(edit, text, 64);
    EXPECT_EQ(FromWide(text), u"a\u00e9{b}\r\nz");
}

TEST(Win32PendingEvents, RunsQueuedMessagesAndLeavesTheQuitMessage) {
    static int handled = 0;
    struct Receiver {
        static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == WM_APP + 7) ++handled;
            return DefWindowProcW(window, message, wParam, lParam);
        }
    };
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Receiver::Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BlocksPendingReceiver";
    RegisterClassW(&windowClass);
    UniqueHwnd window(CreateWindowExW(0, L"BlocksPendingReceiver", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window);
    PumpMessages();
    handled = 0;
    PostMessageW(window.get(), WM_APP + 7, 0, 0);
    PostMessageW(window.get(), WM_APP + 7, 0, 0);
    Win32PendingEvents().ProcessPending();
    EXPECT_EQ(handled, 2);

    PostQuitMessage(5);
    PostMessageW(window.get(), WM_APP + 7, 0, 0);
    Win32PendingEvents().ProcessPending();
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 5u);
    PumpMessages();
}

}  // namespace
}  // namespace marvolt
