#include "update/files_download.h"

#include "platform/text.h"
#include "update/release_version.h"

namespace marvolt {

namespace {

constexpr char16_t kErrorSource[] = u"modURLDownload.URLDownload";
constexpr char16_t kSignatureSuffix[] = u".sig";
constexpr int kNormalFocused = 1;

// The file name that ends the URL; empty when there is none or when it would
// lead out of the folder it is put in.
std::u16string NameInUrl(const std::u16string& url) {
    size_t slash = url.rfind(u'/');
    if (slash == std::u16string::npos) return {};
    std::u16string name = url.substr(slash + 1);
    if (Contains(name, u"\\") || Contains(name, u"..")) return {};
    return name;
}

}  // namespace

std::u16string StripQuotes(const std::u16string& text) {
    if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') return text.substr(1, text.size() - 2);
    return text;
}

std::u16string JoinPath(const std::u16string& folder, const std::u16string& name) {
    if (folder.empty()) return name;
    if (folder.back() == u'\\') return folder + name;
    return folder + u"\\" + name;
}

// Anything at the path, file or folder, stands in the way of a new file there.
bool FilesDownload::FileExists(const std::u16string& path) {
    return services_.files.Attributes(path) != kNoSuchPath;
}

// The updater counts only as an ordinary file: a hidden or system file, or a
// folder, of that name is not taken for it.
bool FilesDownload::IsUsableFile(const std::u16string& path) {
    std::uint32_t attributes = services_.files.Attributes(path);
    return attributes != kNoSuchPath && (attributes & (kAttrHidden | kAttrSystem | kAttrDirectory)) == 0;
}

std::u16string FilesDownload::Fail(std::int32_t number) {
    error_ = {number, kErrorSource};
    return {};
}

std::u16string FilesDownload::URLToFileDownload(const std::u16string& URL_Source,
                                                const std::u16string& Path_Destination, std::int32_t Overwrite) {
    std::u16string url = StripQuotes(URL_Source);
    std::u16string dest = StripQuotes(Path_Destination);
    std::uint32_t destAttributes = services_.files.Attributes(dest);
    bool isDir = destAttributes != kNoSuchPath && (destAttributes & kAttrDirectory) != 0;
    const std::u16string urlName = NameInUrl(url);

    std::u16string target;
    if (Overwrite != 0) {
        if (isDir) {
            if (urlName.empty()) return Fail(kErrorNoNameInUrl);
            target = JoinPath(dest, urlName);
        } else {
            target = dest;
        }
        if (FileExists(target)) {
            if (Overwrite == 1) return {};
            if (Overwrite == 2) return Fail(kErrorTargetPresent);
        }
    } else {
        std::u16string folder, name;
        if (isDir) {
            if (urlName.empty()) return Fail(kErrorNoNameInUrl);
            folder = dest;
            name = urlName;
        } else {
            size_t backslash = dest.rfind(u'\\');
            if (backslash == std::u16string::npos) {
                name = dest;
            } else {
                folder = dest.substr(0, backslash);
                name = dest.substr(backslash + 1);
            }
        }
        size_t point = name.rfind(u'.');
        std::u16string base = point == std::u16string::npos ? name : name.substr(0, point);
        std::u16string ext = point == std::u16string::npos ? std::u16string() : name.substr(point);
        target = JoinPath(folder, base + ext);
        for (long long i = 2; FileExists(target); ++i)
            target = JoinPath(folder, base + u" (" + Decimal(i) + u")" + ext);
    }

    services_.download.ForgetCachedCopy(url);
    services_.pending.ProcessPending();
    std::int32_t result = services_.download.DownloadToFile(url, target);
    if (result != 0) return Fail(result);
    return target;
}

// The updater is taken from beside the program, never from the current folder.
// One that has to be fetched goes beside the program, or into the user's own
// folder when the program's folder can't be written, and is started only when
// its signature holds and its version resource names it the updater, no older
// than the one built with this program (not Marvolt, nor an old release); a
// download that fails those checks (an error page, a truncated or changed file)
// is removed and reported as a failed download.
bool FilesDownload::DownloadUpdateWithUpdater(const std::u16string& URLFileToDownload,
                                              const std::u16string& LocalFileToUpdate,
                                              const std::u16string& LocalUpdaterEXE,
                                              const std::u16string& URLUpdaterEXE) {
    std::u16string updater = JoinPath(programFolder_, LocalUpdaterEXE);
    if (!IsUsableFile(updater)) {
        services_.pending.ProcessPending();
        std::u16string folder =
            services_.files.CanWriteIn(programFolder_) ? programFolder_ : services_.files.UserDownloadFolder();
        updater = JoinPath(folder, LocalUpdaterEXE);
        std::u16string signature = updater + kSignatureSuffix;
        bool fetched = !URLToFileDownload(URLUpdaterEXE, updater, 3).empty() &&
                       !URLToFileDownload(URLUpdaterEXE + kSignatureSuffix, signature, 3).empty();
        FileVersion version;
        bool trusted = fetched && services_.signatures.Verify(updater, signature) == SignatureVerdict::Valid &&
                       services_.versions.ReadFileVersion(updater, version) && version.originalName == kUpdaterRole &&
                       CompareVersions(version, BuiltVersion()) >= 0;
        services_.files.RemoveFile(signature);
        if (!trusted) {
            services_.files.RemoveFile(updater);
            services_.messages.ShowMessage(LocalUpdaterEXE + u"\r\rDownload Failed! ", u"", MessageButtons::Ok,
                                           MessageIcon::Critical);
            return false;
        }
    }
    if (IsUsableFile(updater)) {
        services_.launcher.StartProcess(u"\"" + updater + u"\" [URL]" + URLFileToDownload + u" [PATH]" +
                                            LocalFileToUpdate,
                                        kNormalFocused);
        services_.processEnd.EndNow();
    }
    services_.messages.ShowMessage(LocalUpdaterEXE + u" not found!\rUpdate Cancled!", u"File not found!",
                                   MessageButtons::Ok, MessageIcon::Critical);
    return false;
}

}  // namespace marvolt
