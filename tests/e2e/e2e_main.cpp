// The end-to-end tests' entry. Wine numbers the sound devices its own way for
// the first process that lists them and from what it recorded then for every
// later one, so the tests' list and the program's could differ in order. A child
// process lists them first; the tests and the programs they start come later.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/desktop_driver.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--list-devices")
        return e2e::WaveOutDeviceNames().empty() ? 1 : 0;
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --list-devices";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION lister{};
    if (CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &lister)) {
        WaitForSingleObject(lister.hProcess, 30000);
        CloseHandle(lister.hThread);
        CloseHandle(lister.hProcess);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
