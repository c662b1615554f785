// The Win32 services on the real system that no journey end to end reaches:
// the web page opened through the program the shell names for a probe page,
// and the program's identity. (Windows found and activated, message boxes,
// processes started and the single-instance guard are proven end to end.)
#include "platform/win32/app_identity_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/shell_association_win32.h"
#include "shell/run_file.h"
#include "tests/win32/win32_test_support.h"

namespace marvolt {
namespace {

struct MockIdentity : AppIdentity {
    MOCK_METHOD(Text, Title, (), (override));
    MOCK_METHOD(void, SetTitle, (const Text&), (override));
    MOCK_METHOD(Text, ProgramFolder, (), (override));
    MOCK_METHOD(Text, ExeBaseName, (), (override));
};

// A web page opens with the program the shell names for an existing page (".html"
// is associated here as a Wine prefix without its browser engine leaves it out).
// The probe page goes in the root of the program's drive and leaves nothing
// behind, the current folder as it was and someone's file of the same name
// untouched. (Where else it goes: the native tests.)
TEST(Win32RunFile, OpensWithTheHtmlProgramAndLeavesNoProbeBehind) {
    UniqueHkey html;
    const bool associate =
        RegOpenKeyExW(HKEY_CLASSES_ROOT, L".html", 0, KEY_READ, html.put()) != ERROR_SUCCESS &&
        RegSetValueW(HKEY_CLASSES_ROOT, L".html", REG_SZ, L"htmlfile", 8) == ERROR_SUCCESS;
    Win32FileSystem files;
    Win32ShellAssociation shell;
    const Text workDirectory = files.CurrentDirectory(), probe = u"C:\\Vexo00001.html";
    for (bool someonesFile : {false, true}) {
        if (someonesFile) ASSERT_TRUE(files.CreateNewTextFile(probe, {u"keep me"}));
        MockLauncher launcher;
        ::testing::NiceMock<MockIdentity> identity;
        ::testing::StrictMock<MockMessages> messages;  // a message fails the test
        ON_CALL(identity, ProgramFolder())
            .WillByDefault(::testing::Return(u"C:\\Program Files\\Marvolt"));
        auto command = [](const Text& line) { return ToUtf8(line); };
        const auto browserWithPage = ::testing::ContainsRegex("\\.exe\"? http://example.org/a b$");
        EXPECT_CALL(launcher, StartProcess(::testing::ResultOf(command, browserWithPage), 1))
            .WillOnce(::testing::Return(4242));
        EXPECT_EQ(RunFile({files, shell, launcher, messages, identity})
                      .OpenDocument(u"http://example.org/a b", 1),
                  4242u);
        EXPECT_EQ(files.CurrentDirectory(), workDirectory);
        EXPECT_EQ(ReadBytes(probe), someonesFile ? "keep me\r\n" : "<missing>");
        files.RemoveFile(probe);
    }
    if (associate) RegDeleteKeyW(HKEY_CLASSES_ROOT, L".html");
}

TEST(AppIdentityWin32, SplitsTheModulePathIntoFolderAndBaseName) {
    const std::tuple<const char16_t*, const char16_t*, const char16_t*> cases[] = {
        {u"C:\\Marvolt.exe", u"C:\\", u"Marvolt"},  // a drive root keeps its backslash
        {u"C:\\Program Files\\Sound\\Marvolt.EXE", u"C:\\Program Files\\Sound", u"Marvolt"},
        {u"D:\\a.b\\Marvolt.v2.exe", u"D:\\a.b", u"Marvolt.v2"}};
    for (const auto& [path, folder, baseName] : cases) {
        ModulePathParts parts = SplitModulePath(path);
        EXPECT_EQ(parts.folder + u"|" + parts.baseName, Text(folder) + u"|" + baseName);
    }
}

}  // namespace
}  // namespace marvolt
