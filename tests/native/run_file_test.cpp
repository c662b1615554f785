#include "shell/run_file.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_file_system.h"
#include "platform/fakes/fake_shell_association.h"
#include "platform/fakes/simple_fakes.h"

namespace marvolt {
namespace {

using Log = std::vector<std::string>;
using Lines = std::vector<std::u16string>;

constexpr char16_t kBrowser[] = u"C:\\Program Files\\Web Browser\\browser.exe";

struct Shell {
    CallLog log;
    FakeFileSystem files{&log};
    FakeShellAssociation shell{files, &log};
    FakeProcessLauncher launcher{&log};
    FakeMessageService messages{&log};
    FakeAppIdentity identity;
    RunFile runFile{{files, shell, launcher, messages, identity}};

    Shell() {
        identity.folder = u"D:\\Apps";
        shell.programs[u".html"] = kBrowser;
    }
    std::vector<std::u16string> LookedUp() const {
        std::vector<std::u16string> files;
        for (const auto& lookup : shell.lookups) files.push_back(lookup.file);
        return files;
    }
};

TEST(RunFile, OpenDocumentProbesAtTheDriveRootAndStartsTheBrowser) {
    Shell s;
    EXPECT_EQ(s.runFile.OpenDocument(u"http://example.org/a b", 1), 4242u);
    EXPECT_EQ(s.log.Entries(),
              (Log{"create D:\\Vexo00001.html", "lookup D:\\Vexo00001.html", "cd C:\\Work",
                   "remove D:\\Vexo00001.html",
                   "start \"C:\\Program Files\\Web Browser\\browser.exe\" http://example.org/a b"}));
    ASSERT_EQ(s.shell.lookups.size(), 1u);
    EXPECT_EQ(s.shell.lookups[0].lines, Lines{u" "});
    EXPECT_EQ(s.launcher.started.at(0).showStyle, 1);
    EXPECT_TRUE(s.files.files.empty());
}

TEST(RunFile, ProgramPathIsQuotedOnlyWhenItHoldsBlanks) {
    struct Case {
        std::u16string program, commandLine;
    };
    for (const Case& c : std::vector<Case>{
             {u"C:\\Program Files\\b.exe", u"\"C:\\Program Files\\b.exe\" mailto:a@b.c"},
             {u"C:\\Windows\\b.exe", u"C:\\Windows\\b.exe mailto:a@b.c"},
             {u"\"C:\\Program Files\\b.exe\"", u"\"C:\\Program Files\\b.exe\" mailto:a@b.c"},
         }) {
        Shell s;
        s.shell.programs[u".html"] = c.program;
        s.runFile.OpenDocument(u"mailto:a@b.c", 3);
        ASSERT_EQ(s.launcher.started.size(), 1u);
        EXPECT_EQ(s.launcher.started[0].commandLine, c.commandLine);
        EXPECT_EQ(s.launcher.started[0].showStyle, 3);
    }
}

TEST(RunFile, OpenDocumentStartsNothingWithoutAnHtmlProgram) {
    Shell s;
    s.shell.programs.clear();
    EXPECT_EQ(s.runFile.OpenDocument(u"C:\\evil.exe", 1), 0u);
    EXPECT_TRUE(s.launcher.started.empty());
    EXPECT_TRUE(s.messages.shown.empty());
    EXPECT_TRUE(s.files.files.empty());
}

TEST(RunFile, AProbeNameThatIsTakenIsUsedAsItIsAndLeftAlone) {
    Shell s;
    s.files.files[u"D:\\Vexo00001.html"] = {u"<html>mine</html>"};
    s.runFile.OpenDocument(u"http://example.org", 1);
    EXPECT_EQ(s.files.files[u"D:\\Vexo00001.html"], Lines{u"<html>mine</html>"});
    EXPECT_TRUE(s.files.removed.empty());
    EXPECT_EQ(s.LookedUp(), std::vector<std::u16string>{u"D:\\Vexo00001.html"});
    EXPECT_EQ(s.launcher.started.size(), 1u);
}

TEST(RunFile, ProbesGoToTheTempFolderWhereTheRootCannotTakeThem) {
    struct Case {
        const char* name;
        std::u16string programFolder;
        std::vector<std::u16string> readOnly;
    };
    for (const Case& c : std::vector<Case>{{"read-only root", u"C:\\Program Files\\Marvolt", {u"C:\\"}},
                                           {"network folder", u"\\\\server\\tools", {}}}) {
        SCOPED_TRACE(c.name);
        Shell s;
        s.identity.folder = c.programFolder;
        s.files.readOnlyFolders = c.readOnly;
        std::u16string probe = s.files.tempFolder + u"Vexo00001.html";
        EXPECT_EQ(s.runFile.OpenDocument(u"http://example.org", 1), 4242u);
        EXPECT_EQ(s.LookedUp(), std::vector<std::u16string>{probe});
        EXPECT_EQ(s.files.removed, std::vector<std::u16string>{probe});
        EXPECT_TRUE(s.files.files.empty());
        ASSERT_EQ(s.launcher.started.size(), 1u);
    }
}

TEST(RunFile, FindAssociatedProgramFallsBackInOrder) {
    struct Case {
        const char* name;
        std::u16string file;
        std::vector<std::u16string> existing, readOnly;
        std::vector<std::u16string> lookups;
        std::u16string program;
    };
    for (const Case& c : std::vector<Case>{
             {"existing file", u"C:\\Docs\\page.HTML", {u"C:\\Docs\\page.HTML"}, {},
              {u"C:\\Docs\\page.HTML"}, kBrowser},
             {"missing file made for the lookup", u"C:\\Docs\\page.html", {}, {},
              {u"C:\\Docs\\page.html"}, kBrowser},
             {"no association: second probe with the extension", u"C:\\Docs\\a.xyz",
              {u"C:\\Docs\\a.xyz"}, {}, {u"C:\\Docs\\a.xyz", u"D:\\RunFileTmp.xyz"}, u""},
             {"last dot names the extension", u"C:\\Docs\\a.tar.gz", {u"C:\\Docs\\a.tar.gz"}, {},
              {u"C:\\Docs\\a.tar.gz", u"D:\\RunFileTmp.gz"}, u""},
             {"short name is its own extension", u"C:\\Docs\\a.b", {u"C:\\Docs\\a.b"}, {},
              {u"C:\\Docs\\a.b", u"D:\\RunFileTmpa.b"}, u""},
             {"dotless name trimmed", u"C:\\Docs\\ read me ", {u"C:\\Docs\\ read me "}, {},
              {u"C:\\Docs\\ read me ", u"D:\\RunFileTmpread me"}, u""},
             {"uncreatable file: first probe on the program's drive", u"X:\\Web\\index.html", {},
              {u"X:\\Web\\"}, {u"D:\\zzzzzzzTemp_index.html"}, kBrowser},
             {"leading star dropped", u"C:\\Docs\\*index.html", {u"C:\\Docs\\*index.html"}, {},
              {u"D:\\zzzzzzzTemp_index.html"}, kBrowser},
             {"forward slashes", u"C:/Docs/page.html", {u"C:/Docs/page.html"}, {},
              {u"C:/Docs/page.html"}, kBrowser},
         }) {
        SCOPED_TRACE(c.name);
        Shell s;
        for (const auto& path : c.existing) s.files.files[path] = {u"x"};
        s.files.readOnlyFolders = c.readOnly;
        EXPECT_EQ(s.runFile.FindAssociatedProgram(c.file), c.program);
        EXPECT_EQ(s.LookedUp(), c.lookups);
        // Only what was there before is left.
        std::vector<std::u16string> left;
        for (const auto& [path, lines] : s.files.files) left.push_back(path);
        EXPECT_EQ(left, c.existing);
        for (const auto& lookup : s.shell.lookups) {
            if (lookup.file.find(u"zzzzzzzTemp_") != std::u16string::npos) EXPECT_EQ(lookup.lines, Lines{u"  "});
            if (lookup.file.find(u"RunFileTmp") != std::u16string::npos) EXPECT_EQ(lookup.lines, Lines{u" "});
        }
    }
}

TEST(RunFile, FindAssociatedProgramRestoresTheCurrentDirectory) {
    Shell s;
    s.shell.wanderTo = u"C:\\Windows\\System32";
    s.files.files[u"C:\\Docs\\a.xyz"] = {};
    s.runFile.FindAssociatedProgram(u"C:\\Docs\\a.xyz");
    EXPECT_EQ(s.shell.lookups.size(), 2u);
    EXPECT_EQ(s.files.currentDirectory, u"C:\\Work");
}

TEST(RunFile, ShellWithoutAnyResultReadsAsNoProgram) {
    Shell s;
    s.shell.writesNothing = true;
    EXPECT_EQ(s.runFile.FindExecutablePath(u"C:\\x.html"), u"");
    EXPECT_EQ(s.runFile.OpenDocument(u"http://example.org", 1), 0u);
    EXPECT_TRUE(s.launcher.started.empty());
    EXPECT_TRUE(s.files.files.empty());
}

TEST(RunFile, StarInTheNameAsksWhetherToCancel) {
    struct Case {
        const char* name;
        bool existed;
        MessageAnswer answer;
    };
    for (const Case& c : {Case{"created, Yes", false, MessageAnswer::Yes},
                          Case{"existing, Yes", true, MessageAnswer::Yes},
                          Case{"created, No", false, MessageAnswer::No}}) {
        SCOPED_TRACE(c.name);
        Shell s;
        s.messages.answer = c.answer;
        const std::u16string file = u"C:\\Docs\\*a*b.html";
        if (c.existed) s.files.files[file] = {u"keep"};
        std::u16string program = s.runFile.FindAssociatedProgram(file);
        ASSERT_EQ(s.messages.shown.size(), 1u);
        EXPECT_EQ(s.messages.shown[0].text, u"a*b.htmlEnth\u00e4lt ung\u00fcltige Zeichen Abbrechen?");
        EXPECT_EQ(s.messages.shown[0].title, u"Marvolt");
        EXPECT_EQ(s.messages.shown[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(s.messages.shown[0].icon, MessageIcon::None);
        EXPECT_EQ(s.files.files.count(file), c.existed ? 1u : 0u);
        if (c.answer == MessageAnswer::Yes) {
            EXPECT_EQ(program, u"");
            EXPECT_TRUE(s.shell.lookups.empty());
        } else {
            EXPECT_EQ(program, kBrowser);
            EXPECT_EQ(s.LookedUp(), std::vector<std::u16string>{u"D:\\zzzzzzzTemp_a*b.html"});
        }
    }
}

}  // namespace
}  // namespace marvolt
