// A second start only hands over: the libraries that only a first instance
// uses are loaded when first used, never imported, so it never maps them.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "app/main_window_view.h"
#include "tests/e2e/desktop_driver.h"

namespace e2e {

// An imported DLL's name is in the file as plain lower- or upper-case text with
// its terminator; the program names the libraries it loads late in wide text.
TEST(LeanStart, TheProgramImportsNoLibraryThatOnlyAFirstInstanceUses) {
    FILE* file = _wfopen(EnvVar(L"MARVOLT_EXE").c_str(), L"rb");
    ASSERT_NE(file, nullptr);
    std::string bytes(1 << 21, '\0');
    bytes.resize(fread(bytes.data(), 1, bytes.size(), file));
    fclose(file);
    for (char& c : bytes) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    // user32 shows that the names are found at all.
    for (auto [dll, imported] : {std::pair{"user32.dll", true}, {"winmm.dll", false}, {"comctl32.dll", false}})
        EXPECT_EQ(bytes.find(std::string(dll) + '\0') != std::string::npos, imported) << dll;
}

bool HasLoaded(DWORD processId, const wchar_t* dll) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32W module{sizeof(module)};
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
        found = _wcsicmp(module.szModule, dll) == 0;
    CloseHandle(snapshot);
    return found;
}

// In the tray the settings window has made no controls, so the common controls
// are not loaded; started again, the program shows it with the devices listed.
TEST(LeanStart, TheSettingsWindowMakesItsControlsWhenFirstShown) {
    Program first, second;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(WaitUntil([&] { return first.MainWindow() && TrayIconShown(); }));
    HWND window = first.MainWindow();
    EXPECT_FALSE(GetDlgItem(window, marvolt::kIdDeviceList));
    EXPECT_FALSE(HasLoaded(first.ProcessId(), L"comctl32.dll"));
    ASSERT_TRUE(second.Start(false));
    EXPECT_EQ(second.WaitForExit(10000), 0u);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) && GetDlgItem(window, marvolt::kIdDeviceList); }));
    EXPECT_EQ(ListBoxItems(GetDlgItem(window, marvolt::kIdDeviceList)), WaveOutDeviceNames());
    EXPECT_TRUE(HasLoaded(first.ProcessId(), L"comctl32.dll"));
}

}  // namespace e2e
