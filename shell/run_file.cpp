#include "shell/run_file.h"

#include "platform/text.h"

namespace marvolt {

namespace {

constexpr char16_t kHtmlProbe[] = u"Vexo00001.html";
constexpr char16_t kFirstFallbackPrefix[] = u"zzzzzzzTemp_";
constexpr char16_t kSecondFallbackPrefix[] = u"RunFileTmp";
constexpr char16_t kInvalidNameQuestion[] = u"Enth\u00e4lt ung\u00fcltige Zeichen Abbrechen?";

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// The extension the second fallback probe gets: a short or dotless name is
// taken whole, as if it were an extension itself.
std::u16string ProbeExtension(const std::u16string& bareName) {
    size_t dot = bareName.rfind(u'.');
    if (bareName.size() <= 3 || dot == std::u16string::npos) return Trim(bareName);
    return bareName.substr(dot);
}

// Quoted when it holds a blank, so that "C:\Program Files\x.exe" cannot start
// C:\Program.exe instead.
std::u16string CommandLineProgram(const std::u16string& program) {
    if (!Contains(program, u" ") || StartsWith(program, u"\"")) return program;
    return u"\"" + program + u"\"";
}

}  // namespace

std::uint32_t RunFile::OpenDocument(const std::u16string& target, int windowStyle) {
    Probe probe = PlaceProbe(kHtmlProbe, {u" "});
    std::u16string program = FindAssociatedProgram(probe.path);
    if (probe.created) services_.files.RemoveFile(probe.path);
    // Without a program the command line would be the target alone, which could
    // start the target itself as a program.
    if (program.empty()) return 0;
    return services_.launcher.StartProcess(CommandLineProgram(program) + u" " + target, windowStyle);
}

std::u16string RunFile::FindAssociatedProgram(const std::u16string& file) {
    FileSystem& files = services_.files;
    bool created = !files.FileExists(file) && files.CreateNewTextFile(file, {});

    char16_t separator = Contains(file, u"/") ? u'/' : u'\\';
    std::u16string savedDirectory = files.CurrentDirectory();
    size_t split = file.rfind(separator);
    std::u16string folder = split == std::u16string::npos ? u"" : file.substr(0, split + 1);
    std::u16string bareName = split == std::u16string::npos ? file : file.substr(split + 1);
    if (StartsWith(bareName, u"*")) bareName.erase(0, 1);

    if (Contains(bareName, u"*")) {
        MessageAnswer answer =
            services_.messages.ShowMessage(bareName + kInvalidNameQuestion, services_.identity.Title(),
                                           MessageButtons::YesNo, MessageIcon::None);
        if (answer != MessageAnswer::No) {
            if (created) files.RemoveFile(file);
            return u"";
        }
    }

    std::u16string program;
    if (files.FileExists(folder + bareName)) {
        program = FindExecutablePath(folder + bareName);
    } else {
        program = LookUpProbe(kFirstFallbackPrefix + bareName, {u"  "});
    }
    if (program.empty()) {
        program = LookUpProbe(kSecondFallbackPrefix + ProbeExtension(bareName), {u" "});
    }

    if (!savedDirectory.empty()) files.ChangeDirectory(savedDirectory);
    if (created) files.RemoveFile(file);
    return program;
}

std::u16string RunFile::FindExecutablePath(const std::u16string& file) {
    return services_.shell.ProgramForFile(file).value_or(u"");
}

std::u16string RunFile::LookUpProbe(const std::u16string& name,
                                    const std::vector<std::u16string>& lines) {
    Probe probe = PlaceProbe(name, lines);
    std::u16string program = FindExecutablePath(probe.path);
    if (probe.created) services_.files.RemoveFile(probe.path);
    return program;
}

// Probes go to the root of the program's drive. A file already there under the
// probe's name is used as it is and left alone. Where the root cannot be
// written (standard users cannot create files at the root of the system
// drive) or the program is not on a lettered drive, the probe goes to the
// user's temporary folder instead.
RunFile::Probe RunFile::PlaceProbe(const std::u16string& name,
                                   const std::vector<std::u16string>& lines) {
    FileSystem& files = services_.files;
    std::u16string root = ProbeDriveRoot();
    if (!root.empty()) {
        std::u16string path = root + name;
        if (files.CreateNewTextFile(path, lines)) return {path, true};
        if (files.FileExists(path)) return {path, false};
    }
    std::u16string path = files.TempFolder() + name;
    return {path, files.CreateNewTextFile(path, lines)};
}

std::u16string RunFile::ProbeDriveRoot() {
    std::u16string folder = services_.identity.ProgramFolder();
    if (folder.size() < 2 || !IsAsciiLetter(folder[0]) || folder[1] != u':') return u"";
    return std::u16string(1, folder[0]) + u":\\";
}

}  // namespace marvolt
