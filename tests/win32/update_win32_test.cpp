// The download and the signature check against the tests' own web server
// (script/test: MARVOLT_HTTP serves build/, MARVOLT_HTTP_DOWN has no server).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/text.h"
#include "platform/win32/file_probe_win32.h"
#include "platform/win32/pending_events_win32.h"
#include "platform/win32/signature_check_win32.h"
#include "platform/win32/url_download_win32.h"
#include "platform/win32/win_text.h"
#include "update/files_download.h"

namespace marvolt {
namespace {

std::u16string Env(const char* name) { return FromUtf8(std::getenv(name) ? std::getenv(name) : ""); }
std::string Bytes(const std::u16string& path) {
    std::ifstream in(Wide(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void Write(const std::u16string& path, const std::string& bytes) {
    std::ofstream(Wide(path), std::ios::binary) << bytes;
}

struct Ended {};
struct Recorder : MessageService, ProcessLauncher, ProcessEnd {
    MessageAnswer ShowMessage(const std::u16string& text, const std::u16string&, MessageButtons,
                              MessageIcon) override {
        message = text;
        return MessageAnswer::Ok;
    }
    std::uint32_t StartProcess(const std::u16string& line, int) override { return commandLine = line, 1; }
    [[noreturn]] void EndNow() override { throw Ended{}; }
    std::u16string message, commandLine;
};

class UpdateDownload : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t self[MAX_PATH];
        std::u16string exe = FromWide(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
        build = exe.substr(0, exe.rfind(u'\\') + 1) + u"update-test\\";
        std::u16string flavour = exe.substr(0, exe.rfind(u'\\'));
        flavour = flavour.substr(flavour.rfind(u'\\') + 1);
        server = Env("MARVOLT_HTTP") + u"/" + flavour + u"/update-test/www/Downloads/";
        ASSERT_FALSE(Env("MARVOLT_HTTP").empty()) << "no test web server";
        std::string der = Bytes(build + u"test-public.der");
        ASSERT_EQ(der.size(), 91u);
        std::copy(der.end() - 64, der.end(), key);
        work = files.UserDownloadFolder() + u"update-test\\";
        ::CreateDirectoryW(Wide(work), nullptr);
    }
    void TearDown() override {
        for (const char16_t* name : {u"Zarnik-Updater.exe", u"Zarnik-Updater (2).exe", u"changed.exe", u"short.sig",
                                     u"Update.exe", u"Update.exe.sig", u"Update (2).exe"})
            ::DeleteFileW(Wide(work + name));
        ::RemoveDirectoryW(Wide(work));
    }

    std::u16string build, server, work;
    unsigned char key[64];
    Win32UrlDownload download;
    Win32FileProbe files;
    Win32SignatureCheck signatures{key};
    Win32PendingEvents pending;
    Recorder recorder;
    FilesDownload downloads{{download, files, signatures, pending, recorder, recorder, recorder}, u"", u""};
};

TEST_F(UpdateDownload, IntoAFolderWithNumberedNamesThenNothingOnFailure) {
    struct Case {
        std::u16string url, dest;
        std::int32_t overwrite;
        std::u16string want;
    } cases[] = {
        {server + u"Zarnik-Updater.exe", work, 0, work + u"Zarnik-Updater.exe"},
        {u"\"" + server + u"Zarnik-Updater.exe\"", u"\"" + work + u"\"", 0, work + u"Zarnik-Updater (2).exe"},
        {server + u"Zarnik-Updater.exe", work + u"Zarnik-Updater.exe", 1, u""},
        {server + u"Zarnik-Updater.exe", work + u"Zarnik-Updater.exe", 3, work + u"Zarnik-Updater.exe"},
        {Env("MARVOLT_HTTP_DOWN") + u"/Update.exe", work + u"Update.exe", 0, u""},
    };
    std::string served = Bytes(build + u"www\\Downloads\\Zarnik-Updater.exe");
    for (const Case& c : cases) {
        EXPECT_EQ(ToUtf8(downloads.URLToFileDownload(c.url, c.dest, c.overwrite)), ToUtf8(c.want)) << ToUtf8(c.url);
        if (!c.want.empty()) EXPECT_EQ(Bytes(c.want), served);
    }
    EXPECT_EQ(downloads.LastError().source, u"modURLDownload.URLDownload");
    EXPECT_NE(downloads.LastError().number, 0);
    EXPECT_EQ(files.Attributes(work + u"Update.exe"), kNoSuchPath);
}

TEST_F(UpdateDownload, SignatureHoldsOnlyForTheSignedFileAndAWholeSignature) {
    std::u16string file = work + u"Zarnik-Updater.exe", signature = build + u"www\\Downloads\\Zarnik-Updater.exe.sig";
    ASSERT_FALSE(downloads.URLToFileDownload(server + u"Zarnik-Updater.exe", file, 3).empty());
    std::string changed = Bytes(file);
    changed[changed.size() / 2] ^= 1;
    Write(work + u"changed.exe", changed);
    Write(work + u"short.sig", Bytes(signature).substr(0, 63));
    struct Case {
        std::u16string file, signature;
        SignatureVerdict want;
    } cases[] = {{file, signature, SignatureVerdict::Valid},
                 {work + u"changed.exe", signature, SignatureVerdict::Invalid},
                 {file, work + u"short.sig", SignatureVerdict::Invalid},
                 {file, work + u"missing.sig", SignatureVerdict::Invalid}};
    for (const Case& c : cases) EXPECT_EQ(signatures.Verify(c.file, c.signature), c.want) << ToUtf8(c.file);
    EXPECT_TRUE(IsProgramForThisMachine(file));
    EXPECT_FALSE(IsProgramForThisMachine(signature));
}

// The hand-over fetches the updater beside the program and starts it only when
// its signature holds; an error page, a server that is down or a changed file
// leave nothing behind and say the download failed.
TEST_F(UpdateDownload, HandOverStartsOnlyAVerifiedUpdater) {
    FilesDownload handover{{download, files, signatures, pending, recorder, recorder, recorder}, work, u""};
    for (const std::u16string& url : {server + u"missing.exe", Env("MARVOLT_HTTP_DOWN") + u"/Update.exe",
                                      server + u"Tools/Marvolt/eng/Marvolt.exe.sig"}) {
        recorder.message.clear();
        EXPECT_FALSE(handover.DownloadUpdateWithUpdater(u"http://new", u"C:\\a b\\Marvolt.exe", u"Update.exe", url));
        EXPECT_EQ(recorder.message, u"Update.exe\r\rDownload Failed! ") << ToUtf8(url);
        EXPECT_EQ(files.Attributes(work + u"Update.exe"), kNoSuchPath);
        EXPECT_TRUE(recorder.commandLine.empty());
    }
    EXPECT_THROW(handover.DownloadUpdateWithUpdater(u"http://new", u"C:\\a b\\Marvolt.exe", u"Update.exe",
                                                    server + u"Zarnik-Updater.exe"),
                 Ended);
    EXPECT_EQ(recorder.commandLine, u"\"" + work + u"Update.exe\" [URL]http://new [PATH]C:\\a b\\Marvolt.exe");
    EXPECT_EQ(files.Attributes(work + u"Update.exe.sig"), kNoSuchPath);
}

}  // namespace
}  // namespace marvolt
