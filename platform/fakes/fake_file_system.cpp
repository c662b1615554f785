#include "platform/fakes/fake_file_system.h"

#include "platform/text.h"

namespace marvolt {

bool FakeFileSystem::Writable(const std::u16string& path) const {
    size_t split = path.find_last_of(u"\\/");
    std::u16string folder = split == std::u16string::npos ? u"" : path.substr(0, split + 1);
    for (const std::u16string& readOnly : readOnlyFolders) {
        if (folder == readOnly) return false;
    }
    return true;
}

bool FakeFileSystem::WriteTextFile(const std::u16string& path,
                                   const std::vector<std::u16string>& lines) {
    if (!Writable(path)) return false;
    files[path] = lines;
    if (log_) log_->Add("write " + ToUtf8(path));
    return true;
}

bool FakeFileSystem::CreateNewTextFile(const std::u16string& path,
                                       const std::vector<std::u16string>& lines) {
    if (!Writable(path) || files.count(path) != 0) return false;
    files[path] = lines;
    if (log_) log_->Add("create " + ToUtf8(path));
    return true;
}

bool FakeFileSystem::RemoveFile(const std::u16string& path) {
    if (files.erase(path) == 0) return false;
    removed.push_back(path);
    if (log_) log_->Add("remove " + ToUtf8(path));
    return true;
}

bool FakeFileSystem::ChangeDirectory(const std::u16string& path) {
    currentDirectory = path;
    if (log_) log_->Add("cd " + ToUtf8(path));
    return true;
}

}  // namespace marvolt
