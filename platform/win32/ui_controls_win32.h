#pragma once
// The toolkit's control kinds on top of the standard Win32 controls. Each
// wrapper holds a child window handle that its form owns; a wrapper whose
// window is gone answers with empty values and ignores changes.
#include <windows.h>

#include <string>

#include "platform/ui.h"

namespace marvolt {

std::u16string WindowTextOf(HWND window);

// The control's own visibility flag, whatever its parent's visibility.
bool HasVisibleStyle(HWND window);

class FormWindowWin32 final : public FormWindow {
public:
    void Attach(HWND window) { window_ = window; }
    std::u16string Caption() override;
    void SetCaption(const std::u16string& caption) override;
    bool Visible() override;
    void SetVisible(bool visible) override;
    WindowState State() override;
    void SetState(WindowState state) override;
    NativeHandle Handle() override;
    NativeHandle IconHandle() override;
    WindowGeometry Geometry() override;
    void SetGeometry(const WindowGeometry& geometry) override;

private:
    HWND window_ = nullptr;
};

class ListBoxWin32 final : public ListBoxControl {
public:
    void Attach(HWND window) { window_ = window; }
    void Clear() override;
    void AddItem(const std::u16string& text) override;
    int Count() override;
    std::u16string ItemText(int index) override;
    int SelectedIndex() override;
    void SetSelectedIndex(int index) override;

private:
    HWND window_ = nullptr;
};

class ComboBoxWin32 final : public ComboBoxControl {
public:
    void Attach(HWND window) { window_ = window; }
    void Clear() override;
    void AddItem(const std::u16string& text) override;
    int Count() override;
    std::u16string ItemText(int index) override;
    std::u16string Text() override;
    void SetText(const std::u16string& text) override;
    bool Visible() override;
    void SetVisible(bool visible) override;

private:
    HWND window_ = nullptr;
};

// A check box whose click event is the BN_CLICKED notification its parent
// receives; a changed value raises it the same way.
class CheckBoxWin32 final : public CheckBoxControl {
public:
    void Attach(HWND window) { window_ = window; }
    int Value() override;
    void SetValue(int value) override;

private:
    HWND window_ = nullptr;
};

class LabelWin32 final : public LabelControl {
public:
    void Attach(HWND window) { window_ = window; }
    std::u16string Caption() override;
    void SetCaption(const std::u16string& caption) override;

private:
    HWND window_ = nullptr;
};

}  // namespace marvolt
