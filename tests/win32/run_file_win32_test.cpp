#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/fakes/simple_fakes.h"
#include "platform/text.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/process_launcher_win32.h"
#include "platform/win32/shell_association_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"
#include "shell/run_file.h"

namespace marvolt {
namespace {

std::string ReadBytes(const std::u16string& path) {
    UniqueFile file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return "<missing>";
    char buffer[256];
    DWORD read = 0;
    ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr);
    return std::string(buffer, read);
}

// A fresh folder under the temporary folder, removed with what is left in it.
struct ScratchFolder {
    std::u16string path;
    ScratchFolder() {
        path = Win32FileSystem().TempFolder() + u"blocks-" + Decimal(GetCurrentProcessId()) + u"\\";
        CreateDirectoryW(Wide(path), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAW found;
        UniqueFindHandle search(FindFirstFileW(Wide(path + u"*"), &found));
        if (search) {
            do {
                DeleteFileW(Wide(path + FromWide(found.cFileName)));
            } while (FindNextFileW(search.get(), &found));
        }
        RemoveDirectoryW(Wide(path));
    }
};

// Makes sure ".html" is associated with the HTML program for the test's
// duration: a Wine prefix without its browser engine registers the "htmlfile"
// program but not the extension. Removes only what it added.
class HtmlAssociation {
public:
    HtmlAssociation() {
        UniqueHkey existing;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L".html", 0, KEY_READ, existing.put()) == ERROR_SUCCESS) return;
        UniqueHkey key;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L".html", 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) !=
            ERROR_SUCCESS) {
            return;
        }
        static const wchar_t kProgram[] = L"htmlfile";
        RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kProgram), sizeof(kProgram));
        added_ = true;
    }
    ~HtmlAssociation() {
        if (added_) RegDeleteKeyW(HKEY_CLASSES_ROOT, L".html");
    }

private:
    bool added_ = false;
};

TEST(Win32FileSystem, WritesAnsiLinesAndNeverReplacesOnCreate) {
    ScratchFolder scratch;
    Win32FileSystem files;
    std::u16string path = scratch.path + u"lines.probe";
    EXPECT_TRUE(files.CreateNewTextFile(path, {u" ", u"caf\u00e9"}));
    EXPECT_EQ(ReadBytes(path), " \r\n" + ToAnsi(u"caf\u00e9") + "\r\n");
    if (GetACP() == 1252) {
        EXPECT_EQ(ReadBytes(path), " \r\ncaf\xe9\r\n");
    }
    EXPECT_FALSE(files.CreateNewTextFile(path, {u"other"}));
    EXPECT_EQ(ReadBytes(path), " \r\n" + ToAnsi(u"caf\u00e9") + "\r\n");
    EXPECT_TRUE(files.WriteTextFile(path, {u"  "}));
    EXPECT_EQ(ReadBytes(path), "  \r\n");
    EXPECT_TRUE(files.CreateNewTextFile(scratch.path + u"empty.probe", {}));
    EXPECT_EQ(ReadBytes(scratch.path + u"empty.probe"), "");

    EXPECT_TRUE(files.FileExists(path));
    EXPECT_TRUE(files.FileExists(scratch.path + u"*.probe"));
    EXPECT_FALSE(files.FileExists(scratch.path + u"none.probe"));
    EXPECT_FALSE(files.FileExists(scratch.path.substr(0, scratch.path.size() - 1)));  // a folder

    EXPECT_FALSE(files.CreateNewTextFile(u"Q:\\no such drive\\x.probe", {u" "}));
    EXPECT_FALSE(files.CreateNewTextFile(scratch.path + u"missing\\x.probe", {u" "}));

    EXPECT_TRUE(files.RemoveFile(path));
    EXPECT_FALSE(files.RemoveFile(path));
    EXPECT_FALSE(files.FileExists(path));
}

TEST(Win32FileSystem, CurrentDirectoryAndTempFolder) {
    ScratchFolder scratch;
    Win32FileSystem files;
    std::u16string saved = files.CurrentDirectory();
    ASSERT_FALSE(saved.empty());
    EXPECT_TRUE(files.ChangeDirectory(scratch.path));
    EXPECT_EQ(ToLowerAscii(files.CurrentDirectory() + u"\\"), ToLowerAscii(scratch.path));
    EXPECT_FALSE(files.ChangeDirectory(scratch.path + u"missing"));
    EXPECT_TRUE(files.ChangeDirectory(saved));
    EXPECT_EQ(files.CurrentDirectory(), saved);
    std::u16string temp = files.TempFolder();
    EXPECT_TRUE(EndsWith(temp, u"\\"));
    EXPECT_NE(GetFileAttributesW(Wide(temp)), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32ProcessLauncher, StartsACommandLineAndReportsFailure) {
    Win32ProcessLauncher launcher;
    std::uint32_t id = launcher.StartProcess(u"cmd.exe /c exit 3", 0);
    ASSERT_NE(id, 0u);
    UniqueKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id));
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        EXPECT_EQ(code, 3u);
    }
    EXPECT_EQ(launcher.StartProcess(u"C:\\no\\such\\program.exe x", 1), 0u);
    EXPECT_EQ(launcher.StartProcess(u"", 1), 0u);
}

TEST(Win32ShellAssociation, ReportsTheHtmlProgramForExistingFilesOnly) {
    HtmlAssociation association;
    ScratchFolder scratch;
    Win32FileSystem files;
    Win32ShellAssociation shell;
    ASSERT_TRUE(files.CreateNewTextFile(scratch.path + u"page.html", {u" "}));
    std::u16string program = shell.ProgramForFile(scratch.path + u"page.html").value_or(u"");
    EXPECT_TRUE(EndsWith(ToLowerAscii(program), u".exe")) << ToUtf8(program);
    EXPECT_EQ(shell.ProgramForFile(scratch.path + u"missing.html").value_or(u""), u"");
    ASSERT_TRUE(files.CreateNewTextFile(scratch.path + u"a.blocksnothing", {u" "}));
    EXPECT_EQ(shell.ProgramForFile(scratch.path + u"a.blocksnothing").value_or(u""), u"");
}

struct RealShell {
    Win32FileSystem files;
    Win32ShellAssociation shell;
    FakeProcessLauncher launcher;
    FakeMessageService messages;
    FakeAppIdentity identity;
    RunFile runFile{{files, shell, launcher, messages, identity}};
};

TEST(Win32RunFile, OpensWithTheHtmlProgramAndLeavesAnExistingProbeAlone) {
    HtmlAssociation association;
    ScratchFolder scratch;
    RealShell s;
    s.identity.folder = u"C:\\Program Files\\Marvolt";
    const std::u16string probe = u"C:\\Vexo00001.html";
    std::u16string before = s.files.CurrentDirectory();
    ASSERT_TRUE(s.files.ChangeDirectory(scratch.path));
    std::u16string workDirectory = s.files.CurrentDirectory();

    struct Case {
        const char* name;
        bool existing;
    };
    for (const Case& c : {Case{"no file there", false}, Case{"someone's file there", true}}) {
        SCOPED_TRACE(c.name);
        if (c.existing) {
            ASSERT_TRUE(s.files.CreateNewTextFile(probe, {u"keep me"}));
        }
        s.launcher.started.clear();
        EXPECT_EQ(s.runFile.OpenDocument(u"http://example.org/a b", 1), 4242u);
        ASSERT_EQ(s.launcher.started.size(), 1u);
        const std::u16string& command = s.launcher.started[0].commandLine;
        EXPECT_TRUE(EndsWith(command, u".exe http://example.org/a b") ||
                    EndsWith(command, u".exe\" http://example.org/a b"))
            << ToUtf8(command);
        EXPECT_EQ(s.files.CurrentDirectory(), workDirectory);
        EXPECT_EQ(ReadBytes(probe), c.existing ? "keep me\r\n" : "<missing>");
        EXPECT_FALSE(s.files.FileExists(u"C:\\zzzzzzzTemp_Vexo00001.html"));
        EXPECT_FALSE(s.files.FileExists(u"C:\\RunFileTmp.html"));
        s.files.RemoveFile(probe);
    }
    s.files.ChangeDirectory(before);
}

TEST(Win32RunFile, ProbesInTheTempFolderWhenTheDriveCannotTakeThem) {
    HtmlAssociation association;
    RealShell s;
    s.identity.folder = u"Q:\\Apps";  // no such drive
    EXPECT_EQ(s.runFile.OpenDocument(u"http://example.org", 1), 4242u);
    ASSERT_EQ(s.launcher.started.size(), 1u);
    EXPECT_TRUE(EndsWith(s.launcher.started[0].commandLine, u" http://example.org"));
    EXPECT_FALSE(s.files.FileExists(s.files.TempFolder() + u"Vexo00001.html"));
}

}  // namespace
}  // namespace marvolt
