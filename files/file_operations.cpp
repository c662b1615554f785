#include "files/file_operations.h"

#include "platform/text.h"

namespace marvolt {
namespace {

std::u16string Quoted(const std::u16string& path) { return u"\"" + path + u"\""; }

std::u16string WithBackslash(std::u16string folder) {
    if (folder.empty() || folder.back() != u'\\') folder += u'\\';
    return folder;
}

}  // namespace

std::u16string FileOperations::FindExecutablePath(const std::u16string& document) {
    return services_.shell.ProgramForFile(document).value_or(u"");
}

// A program's path is always quoted: unquoted, "C:\Program Files\x\app.exe"
// would start "C:\Program.exe" when there is one.
std::uint32_t FileOperations::FileRun(const std::u16string& Datei, int Style) {
    std::u16string dir = WithBackslash(services_.files.CurrentDirectory());
    std::u16string name = Datei;
    size_t slash = Datei.rfind(u'\\');
    if (slash != std::u16string::npos) {
        dir = Datei.substr(0, slash + 1);
        name = Datei.substr(slash + 1);
    }
    std::u16string extension = ToUpperAscii(name.size() >= 4 ? name.substr(name.size() - 4) : u"");
    if (extension == u".EXE" || extension == u".COM" || extension == u".BAT")
        return services_.launcher.StartProcess(Quoted(dir + name), Style);

    const std::u16string document = dir + name;
    std::u16string program = FindExecutablePath(document);
    size_t programSlash = program.rfind(u'\\');
    if (programSlash != std::u16string::npos)
        services_.files.ChangeDirectory(programSlash == 2 ? program.substr(0, 3) : program.substr(0, programSlash));
    std::uint32_t task = 0;
    if (!program.empty()) {
        std::u16string commandLine = Quoted(program) + u" " + (Contains(document, u" ") ? Quoted(document) : document);
        task = services_.launcher.StartProcess(commandLine, Style);
    }
    // Afterwards the current directory is the document's folder.
    services_.files.ChangeDirectory(dir);
    return task;
}

// One move that replaces the destination only once it has succeeded: a move
// that fails (another volume, a locked file, a full disk) keeps both files.
bool FileOperations::FileMove(const std::u16string& Source, const std::u16string& Destination, bool Overwrite) {
    FileStore& store = services_.store;
    if (store.Kind(Source) != PathKind::File) return false;
    if (!Overwrite && store.Kind(Destination) != PathKind::Missing) return false;
    store.Move(Source, Destination, Overwrite);
    return store.Kind(Source) == PathKind::Missing && store.Kind(Destination) == PathKind::File;
}

std::optional<DateTime> FileOperations::getFileDate(const std::u16string& FileName) {
    return services_.store.CreationTime(FileName);
}

std::u16string FileOperations::FileGetShortFileName(const std::u16string& Path) {
    std::u16string converted = services_.store.ShortName(Path);
    return converted.empty() ? Path : converted;
}

std::u16string FileOperations::FileGetLongFileName(const std::u16string& Path) {
    std::u16string converted = Trim(services_.store.LongName(Path));
    return converted.empty() ? Path : converted;
}

bool FileOperations::ReadDirctoryStructureToFile(const std::u16string& Path,
                                                 const std::u16string& TargetTextFileName,
                                                 const std::u16string& SearchExtension, bool AppendTarget) {
    FileStore& store = services_.store;
    if (!AppendTarget && store.Kind(TargetTextFileName) == PathKind::File && !store.Remove(TargetTextFileName))
        return false;
    std::vector<std::u16string> lines;
    ListFolder(WithBackslash(Path), SearchExtension.empty() ? u"*.*" : SearchExtension, 0, lines);
    return store.AppendLines(TargetTextFileName, lines);
}

// Folders are known by their directory bit, whatever other attributes they
// carry. The pattern selects the files listed; every subfolder is entered.
void FileOperations::ListFolder(const std::u16string& folder, const std::u16string& pattern, int depth,
                                std::vector<std::u16string>& lines) {
    const bool everything = pattern == u"*.*" || pattern == u"*";
    if (!everything)
        for (const FoundEntry& entry : services_.store.Find(folder + pattern))
            if (!entry.folder) lines.push_back(folder + entry.name);
    for (const FoundEntry& entry : services_.store.Find(folder + u"*")) {
        if (!entry.folder) {
            if (everything) lines.push_back(folder + entry.name);
        } else if (entry.link || depth >= kMaxDepth) {
            lines.push_back(folder + entry.name);
        } else {
            services_.events.ProcessPending();
            ListFolder(folder + entry.name + u"\\", pattern, depth + 1, lines);
        }
    }
}

}  // namespace marvolt
