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

// The window handle a wrapper works on, attached once its form has made it.
class AttachedWindow {
public:
    void Attach(HWND window) { window_ = window; }

protected:
    HWND window_ = nullptr;
};

class FormWindowWin32 final : public FormWindow, public AttachedWindow {
public:
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
};

class ListBoxWin32 final : public ListBoxControl, public AttachedWindow {
public:
    void Clear() override;
    void AddItem(const std::u16string& text) override;
    int Count() override;
    std::u16string ItemText(int index) override;
    int SelectedIndex() override;
    void SetSelectedIndex(int index) override;
};

class ComboBoxWin32 final : public ComboBoxControl, public AttachedWindow {
public:
    void Clear() override;
    void AddItem(const std::u16string& text) override;
    int Count() override;
    std::u16string ItemText(int index) override;
    std::u16string Text() override;
    void SetText(const std::u16string& text) override;
    bool Visible() override;
    void SetVisible(bool visible) override;
};

// A check box whose click event is the BN_CLICKED notification its parent
// receives; a changed value raises it the same way.
class CheckBoxWin32 final : public CheckBoxControl, public AttachedWindow {
public:
    int Value() override;
    void SetValue(int value) override;
};

class LabelWin32 final : public LabelControl, public AttachedWindow {
public:
    std::u16string Caption() override;
    void SetCaption(const std::u16string& caption) override;
};

}  // namespace marvolt
