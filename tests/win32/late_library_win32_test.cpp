// Libraries mapped on first use: a missing library or function reads as the
// call failing, a found one is the system's own, and the owner frees it.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/late_library.h"

namespace marvolt {
namespace {

struct Case {
    const wchar_t* library;
    const char* function;
    bool found;
};
class LateLibraryFind : public ::testing::TestWithParam<Case> {};

TEST_P(LateLibraryFind, FindsTheSystemsFunctionOrNothing) {
    const Case& c = GetParam();
    HMODULE before = GetModuleHandleW(c.library);
    {
        LateLibrary library(c.library);
        auto function = library.Find<FARPROC>(c.function);
        HMODULE mapped = GetModuleHandleW(c.library);
        EXPECT_EQ(function != nullptr, c.found);
        if (c.found) EXPECT_EQ(function, GetProcAddress(mapped, c.function));
        EXPECT_EQ(library.Find<FARPROC>(c.function), function);  // asked again: the same answer
    }
    if (!before) EXPECT_EQ(GetModuleHandleW(c.library), nullptr) << "not freed with its owner";
}

INSTANTIATE_TEST_SUITE_P(Libraries, LateLibraryFind,
                         ::testing::Values(Case{L"version.dll", "GetFileVersionInfoSizeW", true},
                                           Case{L"winmm.dll", "waveOutGetNumDevs", true},
                                           Case{L"winmm.dll", "marvoltNoSuchFunction", false},
                                           Case{L"marvolt-no-such-library.dll", "waveOutGetNumDevs", false}));

}  // namespace
}  // namespace marvolt
