// A second start only hands over: the program imports none of the libraries
// that only a first instance uses, so a second start never maps them.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/e2e/desktop_driver.h"

namespace e2e {
namespace {

// The DLL names of the program's import table, lower case, read from its image.
std::set<std::string> ImportedLibraries(const std::wstring& exe) {
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return {};
    auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module) & ~ULONG_PTR{3});
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    std::set<std::string> names;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + rva); rva && entry->Name; ++entry) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        names.insert(name);
    }
    FreeLibrary(module);
    return names;
}

TEST(LeanStart, TheProgramImportsOnlyWhatASecondStartNeeds) {
    std::set<std::string> imported = ImportedLibraries(EnvVar(L"MARVOLT_EXE"));
    EXPECT_TRUE(imported.count("user32.dll")) << "the import table was not read";
    for (const char* late : {"winmm.dll", "shell32.dll", "comctl32.dll", "ole32.dll"})
        EXPECT_FALSE(imported.count(late)) << late << " is imported; load it when first used";
}

}  // namespace
}  // namespace e2e
