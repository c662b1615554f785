#pragma once
// The chooser window: a modal top-level window made when a dialog is shown and
// destroyed with its view.
#include <windows.h>

#include <memory>

#include "files/file_chooser_view.h"
#include "platform/win32/unique_handle.h"

namespace marvolt {

constexpr wchar_t kFileChooserClass[] = L"MarvoltFileChooser";
// Control ids; Ok and Abbruch are the dialog keys' IDOK and IDCANCEL.
constexpr int kChooserIds[kChooserPartCount] = {1001, 1002, 1003, 1004, IDOK, IDCANCEL, 1007, 1008};

class FileChooserWindowWin32 final : public FileChooserView {
public:
    static std::unique_ptr<FileChooserView> Create(FileChooserEvents& events);
    ~FileChooserWindowWin32() override;

    void SetCaption(const std::u16string& caption) override;
    void SetSize(int widthTwips, int heightTwips) override;
    void Place(ChooserPart part, const TwipRect& rect, bool visible) override;
    void ShowDrives(const std::vector<std::u16string>& drives, int selected) override;
    void ShowFolders(const std::vector<std::u16string>& rows, int selected) override;
    void ShowFiles(const std::vector<std::u16string>& names, int selected) override;
    std::u16string FileNameText() override;
    void SetFileNameText(const std::u16string& text) override;
    void SetOkEnabled(bool enabled) override;
    void RunModal() override;
    void EndModal() override;

private:
    explicit FileChooserWindowWin32(FileChooserEvents& events) : events_(events) {}
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    HWND Part(ChooserPart part) const { return parts_[int(part)]; }
    int Pixels(int twips) const { return MulDiv(twips, dpi_, 1440); }

    FileChooserEvents& events_;
    UniqueHwnd window_;
    UniqueHwnd tooltip_;
    HWND parts_[kChooserPartCount] = {};
    HWND owner_ = nullptr;
    int dpi_ = 96;
    bool ended_ = false;
    bool settingText_ = false;
};

class FileChooserWindowsWin32 : public FileChooserWindows {
public:
    std::unique_ptr<FileChooserView> Create(FileChooserEvents& events) override {
        return FileChooserWindowWin32::Create(events);
    }
};

}  // namespace marvolt
