// A second start only hands over: the libraries that only a first instance
// uses are loaded when first used, never imported, so it never maps them.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/desktop_driver.h"

namespace e2e {

TEST(LeanStart, TheProgramImportsNoLibraryThatOnlyAFirstInstanceUses) {
    HMODULE exe = LoadLibraryExW(EnvVar(L"MARVOLT_EXE").c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr);
    auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(exe) & ~ULONG_PTR{3});
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    std::string names;  // " user32.dll kernel32.dll ..."
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + table); table && entry->Name; ++entry)
        names += " " + std::string(CharLowerA(std::string(reinterpret_cast<const char*>(base + entry->Name)).data()));
    FreeLibrary(exe);
    EXPECT_NE(names.find(" user32.dll"), std::string::npos) << "the import table was not read:" << names;
    for (const char* late : {" winmm.dll", " shell32.dll", " comctl32.dll", " ole32.dll"})
        EXPECT_EQ(names.find(late), std::string::npos) << late << " is imported; load it when first used";
}

}  // namespace e2e
