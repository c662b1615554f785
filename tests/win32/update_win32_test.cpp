// The download and the checks of a fetched program against the tests' own web
// server (script/test: MARVOLT_HTTP serves build/).
#include <process.h>

#include "platform/win32/file_probe_win32.h"
#include "platform/win32/file_version_win32.h"
#include "platform/win32/pending_events_win32.h"
#include "platform/win32/pinned_file_win32.h"
#include "platform/win32/signature_check_win32.h"
#include "platform/win32/url_download_win32.h"
#include "tests/win32/win32_test_support.h"
#include "update/files_download.h"
#include "update/updater.h"

namespace marvolt {
namespace {

using S = std::u16string;

// Only the signed file passes: an error page (404, which Wine keeps with
// success) and a cut signature don't, and a program for another machine type
// is no program to start. (A changed file and a server that is down: end to end.)
TEST(UpdateDownload, OnlyTheSignedProgramForThisMachinePasses) {
    wchar_t self[MAX_PATH];
    const S exe = FromWide(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH)),
            flavour = exe.substr(0, exe.rfind(u'\\')), build = flavour + u"\\update-test\\";
    const char* http = std::getenv("MARVOLT_HTTP");
    ASSERT_TRUE(http) << "no test web server";
    const S server = FromUtf8(http) + u"/" + flavour.substr(flavour.rfind(u'\\') + 1) +
                     u"/update-test/www/Downloads/";
    std::string der = ReadBytes(build + u"test-public.der");
    unsigned char key[64];
    std::copy(der.end() - 64, der.end(), key);
    Win32UrlDownload download;
    Win32FileProbe files;
    Win32SignatureCheck signatures{key};
    Win32PendingEvents pending;
    Win32FileVersionReader versions;
    MockMessages messages;
    MockLauncher launcher;
    struct : ProcessEnd {
        [[noreturn]] void EndNow() override { std::abort(); }
    } end;
    FilesDownload downloads{
        {download, files, signatures, pending, messages, launcher, end, versions}, u"", u""};
    const S work = files.UserDownloadFolder() + u"update-test\\",
            updater = work + u"Zarnik-Updater.exe", sig = updater + u".sig",
            page = work + u"page.exe", cut = work + u"cut.sig", other = work + u"other.exe";
    ::CreateDirectoryW(Wide(work), nullptr);
    for (const auto& [from, to] : {std::pair{u"Zarnik-Updater.exe", updater},
                                   {u"Zarnik-Updater.exe.sig", sig},
                                   {u"missing.exe", page}})
        EXPECT_EQ(ToUtf8(downloads.URLToFileDownload(server + from, to, 3)), ToUtf8(to));
    std::ofstream(Wide(cut), std::ios::binary) << ReadBytes(sig).substr(0, 63);
    std::string program = ReadBytes(updater);
    char* header = program.data() + *reinterpret_cast<const LONG*>(program.data() + 0x3c);
    *reinterpret_cast<WORD*>(header + 4) ^= 0x14c ^ 0x8664;  // i386 and x86-64 swapped
    std::ofstream(Wide(other), std::ios::binary) << program;
    EXPECT_EQ(signatures.Verify(updater, sig), SignatureVerdict::Valid);
    EXPECT_EQ(signatures.Verify(updater, cut), SignatureVerdict::Invalid);
    EXPECT_EQ(signatures.Verify(page, sig), SignatureVerdict::Invalid);
    EXPECT_TRUE(IsProgramForThisMachine(updater));
    EXPECT_FALSE(IsProgramForThisMachine(other) || IsProgramForThisMachine(sig));
    {
        PinnedFile pinned;  // read by others, but neither changed, renamed nor deleted
        ASSERT_TRUE(pinned.Open(updater));
        UniqueFile writer(::CreateFileW(Wide(updater), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer || ::DeleteFileW(Wide(updater)) ||
                     ::MoveFileW(Wide(updater), Wide(work + u"moved.exe")));
        EXPECT_TRUE(pinned.CopyTo(work + u"copy.exe") && !pinned.CopyTo(work + u"copy.exe"));
        EXPECT_TRUE(ReadBytes(work + u"copy.exe") == ReadBytes(updater)) << "read while pinned";
    }
    for (const S& file : {updater, sig, page, cut, other, work + u"copy.exe"})
        ::DeleteFileW(Wide(file));
    ::RemoveDirectoryW(Wide(work));
}

// The real updater's elevated step, started here without elevation: it puts in
// place only what it checks itself, and only as the updater beside the program.
TEST(UpdateDownload, TheElevatedStepReplacesOnlyWithWhatItChecked) {
    wchar_t self[MAX_PATH];
    const S exe = FromWide(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH)),
            build = exe.substr(0, exe.rfind(u'\\')) + u"\\update-test\\",
            served = build + u"www\\Downloads\\", work = Win32FileProbe().UserDownloadFolder(),
            folder = work + u"elevated test\\", target = folder + u"Marvolt.exe",
            fresh = work + u"Marvolt.exe.new";
    const struct {
        const char* name;
        S updater, file;
        bool changed, replaced;
    } cases[] = {
        {"beside the program", folder, u"Tools\\Marvolt\\eng\\Marvolt.exe", false, true},
        {"changed since", folder, u"Tools\\Marvolt\\eng\\Marvolt.exe", true, false},
        {"the updater as the program", folder, u"Zarnik-Updater.exe", false, false},
        {"in the user's folder", work, u"Tools\\Marvolt\\eng\\Marvolt.exe", false, false},
    };
    ::CreateDirectoryW(Wide(folder), nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = ReadBytes(served + c.file);
        if (c.changed) bytes[bytes.size() / 2] ^= 0x40;
        std::ofstream(Wide(fresh), std::ios::binary) << bytes;
        ::CopyFileW(Wide(served + c.file + u".sig"), Wide(fresh + u".sig"), FALSE);
        ::CopyFileW(Wide(build + u"app\\Marvolt.exe"), Wide(target), FALSE);
        const S updater = c.updater + u"Update.exe";
        ::CopyFileW(Wide(build + u"app\\Update.exe"), Wide(updater), FALSE);
        const intptr_t code = _wspawnl(_P_WAIT, Wide(updater), Wide(u"\"" + updater + u"\""),
                                       Wide(ElevatedStepParameters(fresh, target)), nullptr);
        ASSERT_NE(code, -1) << "the updater did not start";
        EXPECT_EQ(code == 0, c.replaced);
        EXPECT_EQ(ReadBytes(target) == bytes, c.replaced);
        EXPECT_EQ(::DeleteFileW(Wide(target + u".old")) != 0, c.replaced);
        for (const S& file : {target, fresh, fresh + u".sig", updater}) ::DeleteFileW(Wide(file));
    }
    ::RemoveDirectoryW(Wide(folder));
}

}  // namespace
}  // namespace marvolt
