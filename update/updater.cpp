#include "update/updater.h"

#include "platform/text.h"
#include "update/release_version.h"

namespace marvolt {

namespace {

constexpr char16_t kUrlMarker[] = u" [URL]";
constexpr char16_t kPathMarker[] = u" [PATH]";
constexpr char16_t kReplaceMarker[] = u"[REPLACE]";
constexpr char16_t kSignatureSuffix[] = u".sig";

std::u16string FolderOf(const std::u16string& path) {
    size_t backslash = path.rfind(u'\\');
    return backslash == std::u16string::npos ? std::u16string() : path.substr(0, backslash + 1);
}

std::u16string NameOf(const std::u16string& path) { return path.substr(path.rfind(u'\\') + 1); }

// Where the updater's own path ends: at its closing quote, or else at the first
// blank. Its folder may hold a marker's text too.
size_t AfterProgramPath(const std::u16string& commandLine) {
    if (!commandLine.empty() && commandLine.front() == u'"') {
        size_t quote = commandLine.find(u'"', 1);
        return quote == std::u16string::npos ? commandLine.size() : quote + 1;
    }
    size_t blank = commandLine.find_first_of(u" \t");
    return blank == std::u16string::npos ? commandLine.size() : blank;
}

// Where the elevated step's new file begins: right after "[REPLACE]", the first
// thing after the updater's own path. npos for any other command line.
size_t AfterReplaceMarker(const std::u16string& commandLine) {
    size_t start = commandLine.find_first_not_of(u' ', AfterProgramPath(commandLine));
    if (start == std::u16string::npos || !StartsWith(std::u16string_view(commandLine).substr(start), kReplaceMarker))
        return std::u16string::npos;
    return start + std::char_traits<char16_t>::length(kReplaceMarker);
}

// The checks a new program passes before it is put in place, in this order:
// its signature, its machine type, then its version resource, which must name
// it the program (not the updater, nor anything else that is signed) and a
// newer version than the one it replaces. Empty when it passes.
std::u16string Refusal(UpdaterPlatform& platform, const std::u16string& fresh, const std::u16string& target) {
    if (platform.Verify(fresh, fresh + kSignatureSuffix) != SignatureVerdict::Valid)
        return u"The downloaded file is not the signed release; nothing was changed.";
    if (!platform.IsProgramForThisMachine(fresh))
        return u"The downloaded file is not a program for this machine; nothing was changed.";
    FileVersion offered, running;
    if (!platform.ReadFileVersion(fresh, offered) || offered.originalName != kProgramRole)
        return u"The downloaded file is not Marvolt; nothing was changed.";
    platform.ReadFileVersion(target, running);  // without a version, any release is newer
    int order = CompareVersions(offered, running);
    if (order == 0) return u"Marvolt " + VersionText(offered) + u" is the newest version.";
    if (order < 0)
        return u"The server offers Marvolt " + VersionText(offered) + u", older than Marvolt " +
               VersionText(running) + u" here; nothing was changed.";
    return {};
}

}  // namespace

// The path runs to the end of the line, so that blanks in it need no quotes.
bool ParseUpdaterCommandLine(const std::u16string& commandLine, UpdaterRequest& request) {
    size_t url = commandLine.find(kUrlMarker, AfterProgramPath(commandLine));
    if (url == std::u16string::npos) return false;
    url += std::char_traits<char16_t>::length(kUrlMarker);
    size_t path = commandLine.find(kPathMarker, url);
    if (path == std::u16string::npos) return false;
    request.url = Trim(commandLine.substr(url, path - url));
    request.path = Trim(commandLine.substr(path + std::char_traits<char16_t>::length(kPathMarker)));
    if (request.path.size() >= 2 && request.path.front() == u'"' && request.path.back() == u'"')
        request.path = request.path.substr(1, request.path.size() - 2);
    return !request.url.empty() && request.path.find(u'\\') != std::u16string::npos;
}

// The new file and its signature are fetched beside the old program (or into the
// temporary folder when that folder needs elevation), so that putting it in place
// is a rename on one volume. Whatever fails, the old program is started again and
// the user is told why in one message; so is a server that has nothing newer.
int RunUpdater(const std::u16string& commandLine, UpdaterPlatform& platform) {
    UpdaterRequest request;
    if (!ParseUpdaterCommandLine(commandLine, request)) {
        platform.Tell(u"The update was started without an address and a program to replace.");
        return 2;
    }
    const std::u16string& target = request.path;
    std::u16string why;
    if (!platform.WaitForProgramEnd(target)) {
        why = u"The program did not end, so it could not be replaced.";
    } else {
        bool elevated = !platform.CanWriteIn(FolderOf(target));
        std::u16string fresh = (elevated ? platform.TempFolder() : FolderOf(target)) + NameOf(target) + u".new";
        std::u16string signature = fresh + kSignatureSuffix, backup = target + u".old";
        if (platform.Download(request.url, fresh) != 0 || platform.Download(request.url + kSignatureSuffix, signature) != 0)
            why = u"Download Failed! " + request.url;
        else
            why = Refusal(platform, fresh, target);
        bool updated = false;
        if (why.empty()) {
            if (!platform.Replace(fresh, target, backup, elevated)) {
                why = u"The program could not be replaced; nothing was changed.";
            } else if (platform.Start(target)) {
                updated = true;
            } else {
                platform.MoveBack(backup, target);
                why = u"The new version did not start; the old one was put back.";
            }
        }
        platform.RemoveFile(signature);
        platform.RemoveFile(fresh);
        if (updated) {
            platform.RemoveFile(backup);
            return 0;
        }
    }
    platform.Start(target);
    platform.Tell(why);
    return 1;
}

bool IsElevatedStep(const std::u16string& commandLine) {
    return AfterReplaceMarker(commandLine) != std::u16string::npos;
}

std::u16string ElevatedStepParameters(const std::u16string& fresh, const std::u16string& target) {
    return kReplaceMarker + fresh + kPathMarker + target;
}

// It runs with an administrator's rights, so it trusts nothing it has not
// checked itself: it is done only by the updater in the program's own folder
// (never a copy the user can change, in the temporary folder or the user's own),
// and the new file is pinned before it is checked again, then copied from that
// same open file. The backup's name comes from the program's, not the caller.
int RunElevatedStep(const std::u16string& commandLine, const std::u16string& self, UpdaterPlatform& platform) {
    size_t fresh = AfterReplaceMarker(commandLine);
    size_t path = fresh == std::u16string::npos ? fresh : commandLine.find(kPathMarker, fresh);
    if (path == std::u16string::npos) return 2;
    std::u16string file = commandLine.substr(fresh, path - fresh);
    std::u16string target = commandLine.substr(path + std::char_traits<char16_t>::length(kPathMarker));
    if (FolderOf(target).empty() || ToLowerAscii(FolderOf(self)) != ToLowerAscii(FolderOf(target))) return 3;
    if (!platform.Pin(file) || !Refusal(platform, file, target).empty()) return 1;
    return platform.InstallPinned(target, target + u".old") ? 0 : 1;
}

}  // namespace marvolt
