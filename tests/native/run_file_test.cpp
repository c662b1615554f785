#include "shell/run_file.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_system.h"

namespace marvolt::fakes {
namespace {

struct Shell {
    FakeSystem s;
    RunFile runFile{{s, s, s, s, s}};
    Shell() {
        s.folder = u"D:\\Apps";
        s.programs[u".html"] = u"C:\\Program Files\\Web\\browser.exe";
    }
};

TEST(RunFile, OpenDocumentProbesAtTheDriveRootAndStartsTheQuotedBrowser) {
    using Texts = std::vector<std::u16string>;
    const std::tuple<const char16_t*, const char16_t*, Texts, Texts, std::string> cases[] = {
        {u"C:\\Program Files\\b.exe", u"D:\\Apps", {}, {},
         "create D:\\Vexo00001.html; lookup D:\\Vexo00001.html ' '; cd C:\\Work; remove D:\\Vexo00001.html; "
         "start \"C:\\Program Files\\b.exe\" http://a.example/x y @3"},
        {u"\"C:\\Program Files\\b.exe\"", u"D:\\Apps", {u"D:\\Vexo00001.html"}, {},
         "lookup D:\\Vexo00001.html 'mine'; cd C:\\Work; start \"C:\\Program Files\\b.exe\" http://a.example/x y @3"},
        {u"C:\\Windows\\b.exe", u"C:\\Program Files\\M", {}, {u"C:\\"},
         "create C:\\Temp\\Vexo00001.html; lookup C:\\Temp\\Vexo00001.html ' '; cd C:\\Work; "
         "remove C:\\Temp\\Vexo00001.html; start C:\\Windows\\b.exe http://a.example/x y @3"},
        {u"C:\\b.exe", u"\\\\server\\tools", {}, {},
         "create C:\\Temp\\Vexo00001.html; lookup C:\\Temp\\Vexo00001.html ' '; cd C:\\Work; "
         "remove C:\\Temp\\Vexo00001.html; start C:\\b.exe http://a.example/x y @3"},
    };
    for (const auto& [program, folder, before, readOnly, steps] : cases) {
        Shell sh;
        sh.s.programs[u".html"] = program, sh.s.folder = folder, sh.s.readOnly = readOnly;
        for (const auto& path : before) sh.s.files[path] = {u"mine"};
        EXPECT_EQ(sh.runFile.OpenDocument(u"http://a.example/x y", 3), 4242u);
        EXPECT_EQ(sh.s.trace.Take(), steps);
        EXPECT_EQ(sh.s.files.size(), before.size());
    }
    for (const char16_t* folder : {u"z:\\A", u"1:\\A", u"C", u"[:\\A", u"{:\\A"}) {
        Shell sh;
        sh.s.folder = folder;
        sh.runFile.OpenDocument(u"x", 1);
        std::string steps = sh.s.trace.Take();
        EXPECT_EQ(steps.substr(7, steps.find(';') - 7), folder[0] == u'z' ? "z:\\Vexo00001.html" : "C:\\Temp\\Vexo00001.html");
    }
    // Without an HTML program (or any answer) nothing is started: the target
    // alone could be a program.
    for (bool answers : {true, false}) {
        Shell sh;
        sh.s.programs.clear(), sh.s.answers = answers;
        EXPECT_EQ(sh.runFile.OpenDocument(u"C:\\evil.exe", 1), 0u);
        EXPECT_EQ(sh.s.trace.Take().find("start"), std::string::npos);
        EXPECT_TRUE(sh.s.files.empty());
    }
}

TEST(RunFile, FindAssociatedProgramFallsBackInOrderAndCleansUp) {
    const std::tuple<std::u16string, bool, std::vector<std::u16string>, std::string, std::string> cases[] = {
        {u"C:\\Docs\\page.HTML", true, {}, "C:\\Docs\\page.HTML 'x'", "browser"},
        {u"C:\\Docs\\page.html", false, {}, "C:\\Docs\\page.html ''", "browser"},
        {u"C:\\Docs\\a.xyz", true, {}, "C:\\Docs\\a.xyz 'x', D:\\RunFileTmp.xyz ' '", ""},
        {u"C:\\Docs\\a.tar.gz", true, {}, "C:\\Docs\\a.tar.gz 'x', D:\\RunFileTmp.gz ' '", ""},
        {u"C:\\Docs\\a.b", true, {}, "C:\\Docs\\a.b 'x', D:\\RunFileTmpa.b ' '", ""},
        {u"C:\\Docs\\ab.c", true, {}, "C:\\Docs\\ab.c 'x', D:\\RunFileTmp.c ' '", ""},
        {u"C:\\Docs\\ read me ", true, {}, "C:\\Docs\\ read me  'x', D:\\RunFileTmpread me ' '", ""},
        {u"X:\\Web\\index.html", false, {u"X:\\Web\\"}, "D:\\zzzzzzzTemp_index.html '  '", "browser"},
        {u"C:\\Docs\\*index.html", true, {}, "D:\\zzzzzzzTemp_index.html '  '", "browser"},
        {u"C:/Docs/page.html", true, {}, "C:/Docs/page.html 'x'", "browser"},
    };
    for (const auto& [file, exists, readOnly, expected, program] : cases) {
        Shell sh;
        sh.s.programs[u".html"] = u"browser";
        sh.s.wander = u"C:\\Windows";
        if (exists) sh.s.files[file] = {u"x"};
        sh.s.readOnly = readOnly;
        EXPECT_EQ(U8(sh.runFile.FindAssociatedProgram(file)), program) << U8(file);
        std::string lookups, steps = sh.s.trace.Take();
        for (size_t at = steps.find("lookup "); at != std::string::npos; at = steps.find("lookup ", at + 1))
            lookups += (lookups.empty() ? "" : ", ") + steps.substr(at + 7, steps.find(';', at) - at - 7);
        EXPECT_EQ(lookups, expected);
        EXPECT_EQ(sh.s.files.size(), exists ? 1u : 0u);
        EXPECT_EQ(sh.s.cwd, u"C:\\Work");
    }
}

TEST(RunFile, AStarInTheNameAsksWhetherToCancel) {
    for (bool existed : {false, true})
        for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
            Shell sh;
            sh.s.answer = answer;
            const std::u16string file = u"C:\\Docs\\*a*b.html";
            if (existed) sh.s.files[file] = {u"keep"};
            std::u16string program = sh.runFile.FindAssociatedProgram(file);
            std::string steps = sh.s.trace.Take();
            EXPECT_NE(steps.find("message a*b.htmlEnth\u00e4lt ung\u00fcltige Zeichen Abbrechen? | Marvolt | 10"),
                      std::string::npos);
            EXPECT_EQ(sh.s.files.count(file), existed ? 1u : 0u);
            bool looked = steps.find("lookup D:\\zzzzzzzTemp_a*b.html") != std::string::npos;
            EXPECT_EQ(looked, answer == MessageAnswer::No);
            EXPECT_EQ(program.empty(), answer == MessageAnswer::Yes);
        }
}

}  // namespace
}  // namespace marvolt::fakes
