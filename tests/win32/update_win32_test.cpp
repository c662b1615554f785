// The download and the signature check against the tests' own web server
// (script/test: MARVOLT_HTTP serves build/, MARVOLT_HTTP_DOWN has no server).
#include "platform/win32/file_probe_win32.h"
#include "platform/win32/pending_events_win32.h"
#include "platform/win32/signature_check_win32.h"
#include "platform/win32/url_download_win32.h"
#include "tests/win32/win32_test_support.h"
#include "update/files_download.h"

namespace marvolt {
namespace {

using S = std::u16string;
S Env(const char* name) { return FromUtf8(std::getenv(name) ? std::getenv(name) : ""); }

struct Unused : MessageService, ProcessLauncher, ProcessEnd {
    MessageAnswer ShowMessage(const S&, const S&, MessageButtons, MessageIcon) override {
        return MessageAnswer::Ok;
    }
    std::uint32_t StartProcess(const S&, int) override { return 0; }
    [[noreturn]] void EndNow() override { std::abort(); }
};

// The downloads land in a folder of the user's own, with numbered names; an
// error page (404) or a cut signature never pass the check. (A server that is
// down and a changed file: end to end.)
TEST(UpdateDownload, NumberedNamesAndOnlyTheSignedFilePassesTheCheck) {
    wchar_t self[MAX_PATH];
    S exe = FromWide(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH)),
      flavour = exe.substr(0, exe.rfind(u'\\'));
    S build = flavour + u"\\update-test\\", www = build + u"www\\Downloads\\";
    S server = Env("MARVOLT_HTTP") + u"/" + flavour.substr(flavour.rfind(u'\\') + 1) +
               u"/update-test/www/Downloads/";
    ASSERT_FALSE(Env("MARVOLT_HTTP").empty()) << "no test web server";
    std::string der = ReadBytes(build + u"test-public.der");
    unsigned char key[64];
    std::copy(der.end() - 64, der.end(), key);
    Win32UrlDownload download;
    Win32FileProbe files;
    Win32SignatureCheck signatures{key};
    Win32PendingEvents pending;
    Unused unused;
    FilesDownload downloads{
        {download, files, signatures, pending, unused, unused, unused}, u"", u""};
    S work = files.UserDownloadFolder() + u"update-test\\", updater = work + u"Zarnik-Updater.exe";
    S sig = www + u"Zarnik-Updater.exe.sig", page = work + u"page.exe", cut = work + u"cut.sig";
    ::CreateDirectoryW(Wide(work), nullptr);
    EXPECT_EQ(ToUtf8(downloads.URLToFileDownload(server + u"Zarnik-Updater.exe", work)),
              ToUtf8(updater));
    EXPECT_EQ(
        ToUtf8(downloads.URLToFileDownload(server + u"Zarnik-Updater.exe", u"\"" + work + u"\"")),
        ToUtf8(work + u"Zarnik-Updater (2).exe"));
    EXPECT_EQ(ReadBytes(updater), ReadBytes(www + u"Zarnik-Updater.exe"));
    downloads.URLToFileDownload(server + u"missing.exe",
                                page);  // Wine keeps the error page, with success
    std::ofstream(Wide(cut), std::ios::binary) << ReadBytes(sig).substr(0, 63);
    struct Check {
        S file, signature;
        SignatureVerdict want;
    } checks[] = {{updater, sig, SignatureVerdict::Valid},
                  {updater, cut, SignatureVerdict::Invalid},
                  {page, sig, SignatureVerdict::Invalid}};
    for (const Check& c : checks)
        EXPECT_EQ(signatures.Verify(c.file, c.signature), c.want) << ToUtf8(c.file + c.signature);
    EXPECT_TRUE(IsProgramForThisMachine(updater) && !IsProgramForThisMachine(sig));
    for (const S& file : {updater, work + u"Zarnik-Updater (2).exe", page, cut})
        ::DeleteFileW(Wide(file));
    ::RemoveDirectoryW(Wide(work));
}

}  // namespace
}  // namespace marvolt
