// Opening an address with the program the system associates with HTML files,
// found through a probe file.
#include "shell/run_file.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/text.h"

namespace marvolt {
namespace {

using S = std::u16string;

// Files by path, none creatable below `readOnly`; the shell names `browser` for
// an existing ".html" file and leaves the current folder elsewhere, as the
// system's lookup may. Files created and the command line started are kept.
struct System : FileSystem, ShellAssociation, ProcessLauncher, MessageService, AppIdentity {
    std::map<S, std::vector<S>> files;
    S readOnly, folder, browser, created, started, cwd = u"C:\\Work";
    bool CreateNewTextFile(const S& path, const std::vector<S>& lines) override {
        if (files.count(path) || StartsWith(path, readOnly)) return false;
        created += path + u" ";
        return files.emplace(path, lines).second;
    }
    bool FileExists(const S& path) override { return files.count(path) != 0; }
    bool RemoveFile(const S& path) override { return files.erase(path) == 1; }
    std::optional<S> ProgramForFile(const S& file) override {
        cwd = u"C:\\Windows";
        return files.count(file) && EndsWith(file, u".html") ? browser : u"";
    }
    std::uint32_t StartProcess(const S& line, int) override {
        started = line;
        return 4242;
    }
    S ProgramFolder() override { return folder; }
    S TempFolder() override { return u"C:\\Temp\\"; }
    bool WriteTextFile(const S&, const std::vector<S>&) override { return false; }
    S CurrentDirectory() override { return cwd; }
    bool ChangeDirectory(const S& path) override {
        cwd = path;
        return true;
    }
    MessageAnswer ShowMessage(const S&, const S&, MessageButtons, MessageIcon) override {
        return MessageAnswer::Yes;
    }
    S Title() override { return u"Marvolt"; }
    void SetTitle(const S&) override {}
    S ExeBaseName() override { return u"Marvolt"; }
};

// The browser's path is quoted where it holds a blank. The probe goes to the
// program's drive root, or to the temporary folder where that can't be written
// or there is no drive letter; one that was there already is used and left
// alone. Nothing else stays behind, and the current folder is as it was.
TEST(RunFile, OpenDocumentStartsTheQuotedBrowserAndLeavesNoProbe) {
    struct Case {
        // started: the browser as its command line names it, before the address
        const char16_t *browser, *folder, *readOnly, *present, *created, *started;
    } const cases[] = {
        {u"C:\\P F\\b.exe", u"D:\\A", u"-", u"", u"D:\\Vexo00001.html ", u"\"C:\\P F\\b.exe\""},
        {u"\"C:\\P F\\b.exe\"", u"D:\\A", u"-", u"D:\\Vexo00001.html", u"", u"\"C:\\P F\\b.exe\""},
        {u"C:\\b.exe", u"z:\\A", u"-", u"", u"z:\\Vexo00001.html ", u"C:\\b.exe"},
        {u"C:\\b.exe", u"C:\\P F\\M", u"C:\\Vexo", u"", u"C:\\Temp\\Vexo00001.html ", u"C:\\b.exe"},
        {u"C:\\b.exe", u"\\\\server\\tools", u"-", u"", u"C:\\Temp\\Vexo00001.html ", u"C:\\b.exe"},
        {u"C:\\b.exe", u"1:\\A", u"C:\\Temp", u"", u"", u""},
        {u"", u"D:\\A", u"-", u"", u"D:\\Vexo00001.html D:\\RunFileTmp.html ", u""},
    };
    for (const Case& c : cases) {
        System system;
        system.browser = c.browser;
        system.folder = c.folder;
        system.readOnly = c.readOnly;
        if (*c.present) system.files[c.present] = {u"mine"};
        RunFile runFile{{system, system, system, system, system}};
        EXPECT_EQ(runFile.OpenDocument(u"http://a/x y", 3), *c.started ? 4242u : 0u);
        EXPECT_EQ(system.started, *c.started ? c.started + S(u" http://a/x y") : S())
            << ToUtf8(c.folder);
        EXPECT_EQ(ToUtf8(system.created), ToUtf8(c.created)) << ToUtf8(c.folder);
        EXPECT_EQ(system.files.size(), *c.present ? 1u : 0u);
        EXPECT_EQ(system.cwd, u"C:\\Work");
    }
}

}  // namespace
}  // namespace marvolt
