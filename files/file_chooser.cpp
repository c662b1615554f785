#include "files/file_chooser.h"

#include "platform/text.h"

namespace marvolt {

std::u16string GetExtensionPattern(std::u16string_view name) {
    size_t at = name.find_last_of(u"\\.");
    return at == std::u16string_view::npos ? u"" : u"*." + std::u16string(name.substr(at + 1));
}

std::u16string GetFileNamePart(std::u16string_view path) {
    size_t at = path.find_last_of(u"\\/");
    return at == std::u16string_view::npos ? u"" : std::u16string(path.substr(at + 1));
}

namespace {

constexpr TwipRect kDesign[kChooserPartCount] = {
    {1110, 120, 4455, 315},   // Drive1
    {1080, 600, 4455, 3915},  // Dir1
    {5760, 120, 3375, 345},   // FileName
    {5760, 540, 3375, 3990},  // File1
    {0, 0, 1455, 375},        // Ok, within the lower frame
    {1800, 0, 1455, 375},     // Abbruch, within the lower frame
    {120, 240, 495, 495},     // Command1, within the left frame
    {120, 960, 495, 495},     // StartMenuBtn, within the left frame
};
constexpr int kLeftFrame[2] = {120, 120};
constexpr int kLowerFrameTop = 4680;

char16_t UpperLetter(char16_t letter) { return letter >= u'a' && letter <= u'z' ? letter - 32 : letter; }

std::u16string WithBackslash(const std::u16string& folder) {
    return folder.empty() || folder.back() == u'\\' ? folder : folder + u'\\';
}

}  // namespace

void FileChooser::Layout() {
    TwipRect rects[kChooserPartCount];
    for (int i = 0; i < kChooserPartCount; ++i) rects[i] = kDesign[i];
    int lowerFrameLeft = 5760;
    if (mode_ == ChooserMode::SaveFile) {
        rects[int(ChooserPart::Abbruch)].left = 1920;
        rects[int(ChooserPart::File1)].top = 720;
        rects[int(ChooserPart::File1)].height -= 180;
    } else if (mode_ == ChooserMode::Dir) {
        lowerFrameLeft = 1080;
    }
    for (ChooserPart part : {ChooserPart::Ok, ChooserPart::Abbruch}) {
        rects[int(part)].left += lowerFrameLeft;
        rects[int(part)].top += kLowerFrameTop;
    }
    for (ChooserPart part : {ChooserPart::Command1, ChooserPart::StartMenuBtn}) {
        rects[int(part)].left += kLeftFrame[0];
        rects[int(part)].top += kLeftFrame[1];
    }
    const bool dir = mode_ == ChooserMode::Dir;
    view_->SetSize(dir ? 5805 : 9375, 5610);
    for (int i = 0; i < kChooserPartCount; ++i) {
        bool fileControl = i == int(ChooserPart::FileName) || i == int(ChooserPart::File1);
        view_->Place(ChooserPart(i), rects[i], !(dir && fileControl));
    }
}

// False when the window cannot be made: the dialog then answers as after Cancel.
bool FileChooser::Load(ChooserMode mode) {
    mode_ = mode;
    result_.clear();
    folder_.clear();  // an earlier dialog's folder is no answer to this one
    pattern_ = u"*.*";
    file_ = -1;
    view_ = services_.windows.Create(*this);
    if (!view_) return false;
    SetOkEnabled(false);
    drives_ = services_.store.Drives();
    view_->ShowDrives(drives_, -1);
    std::u16string current = services_.files.CurrentDirectory();
    if (!current.empty()) SelectDrive(current[0]);
    SetFolder(current);
    return true;
}

std::u16string FileChooser::ShowModal(const std::u16string& caption) {
    view_->SetCaption(caption);
    Layout();
    view_->RunModal();
    view_.reset();
    return result_;
}

// The process's current drive follows the box, as a user's choice of drive does.
bool FileChooser::SelectDrive(char16_t letter) {
    for (size_t i = 0; i < drives_.size(); ++i) {
        if (drives_[i].empty() || UpperLetter(drives_[i][0]) != UpperLetter(letter)) continue;
        std::u16string folder = services_.store.DriveFolder(drives_[i][0]);
        if (folder.empty() || !services_.files.ChangeDirectory(folder)) return false;
        drive_ = static_cast<int>(i);
        view_->ShowDrives(drives_, drive_);
        SetFolder(folder);
        return true;
    }
    return false;
}

// A folder that does not exist, or a drive that is not ready, leaves the list as it was.
void FileChooser::SetFolder(const std::u16string& path) {
    std::u16string folder = path;
    if (folder.size() == 2 && folder[1] == u':') folder = services_.store.DriveFolder(folder[0]);
    if (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
    if (folder.size() == 2 && folder[1] == u':') folder += u'\\';
    if (folder.empty() || services_.store.Kind(folder) != PathKind::Folder) return;
    folder_ = folder;

    // The folder's ancestors from the root down, then its subfolders.
    folderRows_.clear();
    std::vector<std::u16string> rows;
    std::u16string indent;
    for (size_t at = folder_.find(u'\\'); at != std::u16string::npos; at = folder_.find(u'\\', at + 1)) {
        folderRows_.push_back(folder_.substr(0, at == 2 ? 3 : at));
        rows.push_back(indent + (at == 2 ? folder_.substr(0, 3) : GetFileNamePart(folderRows_.back())));
        indent += u"  ";
    }
    if (folder_.size() > 3) {
        folderRows_.push_back(folder_);
        rows.push_back(indent + GetFileNamePart(folder_));
        indent += u"  ";
    }
    const int selected = static_cast<int>(rows.size()) - 1;
    for (const FoundEntry& entry : services_.store.Find(WithBackslash(folder_) + u"*")) {
        if (!entry.folder) continue;
        folderRows_.push_back(WithBackslash(folder_) + entry.name);
        rows.push_back(indent + entry.name);
    }
    view_->ShowFolders(rows, selected);

    if (mode_ == ChooserMode::Dir)
        SetOkEnabled(true);
    else
        RefreshFiles();
}

void FileChooser::RefreshFiles() {
    files_.clear();
    file_ = -1;
    for (const FoundEntry& entry : services_.store.Find(WithBackslash(folder_) + pattern_))
        if (!entry.folder) files_.push_back(entry.name);
    view_->ShowFiles(files_, file_);
}

void FileChooser::SetOkEnabled(bool enabled) {
    okEnabled_ = enabled;
    view_->SetOkEnabled(enabled);
}

void FileChooser::SetFileName(const std::u16string& text) {
    view_->SetFileNameText(text);
    OnFileNameChange(text);
}

void FileChooser::GoTo(const std::u16string& folder) {
    if (folder.empty()) return;
    SelectDrive(folder[0]);
    SetFolder(folder);
}

std::u16string FileChooser::FileOpenDialog(const std::u16string& DefaultPath, const std::u16string& WindowCaption,
                                           const std::u16string& DefaultFilename) {
    if (!Load(ChooserMode::File)) return u"";
    std::u16string start = DefaultPath.empty() ? services_.files.CurrentDirectory() : DefaultPath;
    start = start.substr(0, start.rfind(u'\\'));
    GoTo(start);
    std::u16string caption = WindowCaption.empty() ? u"Open File" : WindowCaption;
    if (!DefaultFilename.empty()) {
        pattern_ = GetExtensionPattern(DefaultFilename);
        if (pattern_.empty()) pattern_ = u"*.*";
        caption += u"    (\"" + GetExtensionPattern(DefaultFilename) + u"\")";
        RefreshFiles();
    }
    SetFileName(DefaultFilename);
    return ShowModal(caption);
}

std::u16string FileChooser::filesaveDialog(const std::u16string& DefaultPath, const std::u16string& DefaultFilename,
                                           const std::u16string& WindowCaption) {
    if (!Load(ChooserMode::SaveFile)) return u"";
    std::u16string start = DefaultPath.empty() ? services_.files.CurrentDirectory() : DefaultPath;
    GoTo(start);
    // The name part of the start folder selects that file when it is listed, or
    // filters the list when it holds a wildcard.
    std::u16string name = GetFileNamePart(start);
    if (Contains(name, u"*") || Contains(name, u"?")) {
        pattern_ = name;
        RefreshFiles();
    }
    for (size_t i = 0; i < files_.size(); ++i)
        if (files_[i] == name) view_->ShowFiles(files_, file_ = static_cast<int>(i));
    SetFileName(DefaultFilename);
    SetOkEnabled(true);
    return ShowModal(WindowCaption.empty() ? u"Save File as" : WindowCaption);
}

std::u16string FileChooser::FileDirSelectDialog(const std::u16string& DefaultPath,
                                                const std::u16string& WindowCaption) {
    if (!Load(ChooserMode::Dir)) return u"";
    GoTo(DefaultPath);
    SetOkEnabled(true);
    return ShowModal(WindowCaption.empty() ? u"Open Directory" : WindowCaption);
}

void FileChooser::OnDriveChange(int index) {
    if (index < 0 || index >= static_cast<int>(drives_.size()) || drives_[index].empty() ||
        !SelectDrive(drives_[index][0]))
        view_->ShowDrives(drives_, drive_);
}

void FileChooser::OnFolderOpen(int index) {
    if (index >= 0 && index < static_cast<int>(folderRows_.size())) SetFolder(folderRows_[index]);
}

void FileChooser::OnFileClick(int index) {
    if (index >= 0 && index < static_cast<int>(files_.size())) {
        file_ = index;
        if (mode_ != ChooserMode::Dir) SetFileName(files_[index]);
    }
    SetOkEnabled(!files_.empty());
}

void FileChooser::OnFileDoubleClick(int index) {
    OnFileClick(index);
    if (!view_->FileNameText().empty() && okEnabled_) OnOk();
}

void FileChooser::OnFileNameChange(const std::u16string& text) {
    if (!text.empty()) SetOkEnabled(true);
}

void FileChooser::OnDesktop() { GoTo(services_.folders.GetDesktopPath()); }

void FileChooser::OnStartMenu() { GoTo(services_.folders.GetStartMenuPath()); }

void FileChooser::OnOk() {
    result_ = WithBackslash(folder_);
    const std::u16string typed = view_->FileNameText();
    if (mode_ == ChooserMode::File)
        result_ += !Trim(typed).empty() ? typed : file_ >= 0 ? files_[file_] : u"";
    else if (mode_ == ChooserMode::SaveFile)
        result_ += typed;
    view_->EndModal();
}

void FileChooser::OnCancel() {
    result_.clear();
    view_->EndModal();
}

}  // namespace marvolt
