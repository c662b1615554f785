// A second start only hands over: the libraries that only a first instance
// uses are loaded when first used, never imported, so it never maps them.
#include <gtest/gtest.h>

#include <cstdio>

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

}  // namespace e2e
