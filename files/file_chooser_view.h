#pragma once
// The chooser window as its logic sees it. Geometry is in twips; the view turns
// it into pixels with the monitor's DPI.
#include <memory>
#include <string>
#include <vector>

namespace marvolt {

enum class ChooserPart { Drive1, Dir1, FileName, File1, Ok, Abbruch, Command1, StartMenuBtn };
constexpr int kChooserPartCount = 8;

struct TwipRect {
    int left, top, width, height;
};

// What the user does in the window. Closing the window is a Cancel.
class FileChooserEvents {
public:
    virtual ~FileChooserEvents() = default;
    virtual void OnDriveChange(int index) = 0;
    virtual void OnFolderOpen(int index) = 0;
    virtual void OnFileClick(int index) = 0;
    virtual void OnFileDoubleClick(int index) = 0;
    virtual void OnFileNameChange(const std::u16string& text) = 0;
    virtual void OnDesktop() = 0;
    virtual void OnStartMenu() = 0;
    virtual void OnOk() = 0;
    virtual void OnCancel() = 0;
};

class FileChooserView {
public:
    virtual ~FileChooserView() = default;
    virtual void SetCaption(const std::u16string& caption) = 0;
    virtual void SetSize(int widthTwips, int heightTwips) = 0;
    virtual void Place(ChooserPart part, const TwipRect& rect, bool visible) = 0;
    virtual void ShowDrives(const std::vector<std::u16string>& drives, int selected) = 0;
    virtual void ShowFolders(const std::vector<std::u16string>& rows, int selected) = 0;
    virtual void ShowFiles(const std::vector<std::u16string>& names, int selected) = 0;
    virtual std::u16string FileNameText() = 0;
    virtual void SetFileNameText(const std::u16string& text) = 0;
    virtual void SetOkEnabled(bool enabled) = 0;
    // Shows the window modally; returns once EndModal is called or the window is closed.
    virtual void RunModal() = 0;
    virtual void EndModal() = 0;
};

// Makes the window when a dialog is shown; it is gone with the view.
class FileChooserWindows {
public:
    virtual ~FileChooserWindows() = default;
    virtual std::unique_ptr<FileChooserView> Create(FileChooserEvents& events) = 0;
};

}  // namespace marvolt
