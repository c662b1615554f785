#include "update/updater.h"

#include "platform/text.h"

namespace marvolt {

namespace {

constexpr char16_t kUrlMarker[] = u" [URL]";
constexpr char16_t kPathMarker[] = u" [PATH]";

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
// the user is told why in one message.
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
        std::u16string signature = fresh + u".sig";
        if (platform.Download(request.url, fresh) != 0 || platform.Download(request.url + u".sig", signature) != 0)
            why = u"Download Failed! " + request.url;
        else if (platform.Verify(fresh, signature) != SignatureVerdict::Valid)
            why = u"The downloaded file is not the signed release; nothing was changed.";
        else if (!platform.IsProgramForThisMachine(fresh))
            why = u"The downloaded file is not a program for this machine; nothing was changed.";
        platform.RemoveFile(signature);
        if (why.empty()) {
            std::u16string backup = target + u".old";
            if (!platform.Replace(fresh, target, backup, elevated)) {
                why = u"The program could not be replaced; nothing was changed.";
            } else if (platform.Start(target)) {
                platform.RemoveFile(backup);
                return 0;
            } else {
                platform.MoveBack(backup, target);
                why = u"The new version did not start; the old one was put back.";
            }
        }
        platform.RemoveFile(fresh);
    }
    platform.Start(target);
    platform.Tell(why);
    return 1;
}

}  // namespace marvolt
