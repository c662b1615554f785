#pragma once
// The toolkit's control kinds on top of the standard Win32 controls. Each
// wrapper holds a child window handle that its form owns; a wrapper whose
// window is gone answers with empty values and ignores changes.
#include <windows.h>

#include <string>
#include <vector>

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

// A control of a form that makes its controls only when it is first shown (a
// window that stays in the tray never pays for them). Until then the wrapper
// keeps what it is given and answers from that; once made, the control gets it
// and holds it from then on.
class ControlWin32 : public AttachedWindow {
public:
    // The form and the id the control will have.
    void Prepare(HWND parent, int id) { parent_ = parent, id_ = id; }
    // The control exists now (null: it could not be made, and answers empty).
    void Made(HWND control) {
        window_ = control, made_ = true;
        if (control) HandOver();
    }

protected:
    bool Waiting() const { return !made_; }
    // Gives the new control what the wrapper kept.
    virtual void HandOver() = 0;
    HWND parent_ = nullptr;
    int id_ = 0;

private:
    bool made_ = false;
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

// A list box, or with `dropDown` a drop-down list (a combo box without an
// edit field), whose selected row is the choice.
class ListBoxWin32 final : public ListBoxControl, public ControlWin32 {
public:
    explicit ListBoxWin32(bool dropDown = false) : dropDown_(dropDown) {}
    void Clear() override;
    void AddItem(const std::u16string& text) override;
    int Count() override;
    std::u16string ItemText(int index) override;
    int SelectedIndex() override;
    void SetSelectedIndex(int index) override;

private:
    void HandOver() override;
    LRESULT Send(int message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool dropDown_;
    std::vector<std::u16string> items_;
    int selected_ = -1;
};

class ComboBoxWin32 final : public ComboBoxControl, public ControlWin32 {
public:
    void Clear() override;
    void AddItem(const std::u16string& text) override;
    int Count() override;
    std::u16string ItemText(int index) override;
    std::u16string Text() override;
    void SetText(const std::u16string& text) override;
    bool Visible() override;
    void SetVisible(bool visible) override;

private:
    void HandOver() override;
    std::vector<std::u16string> items_;
    std::u16string text_;
    bool visible_ = true;
};

// A check box whose click event is the BN_CLICKED notification its parent
// receives; a changed value raises it the same way.
class CheckBoxWin32 final : public CheckBoxControl, public ControlWin32 {
public:
    int Value() override;
    void SetValue(int value) override;

private:
    void HandOver() override;
    int value_ = 0;
};

class LabelWin32 final : public LabelControl, public ControlWin32 {
public:
    std::u16string Caption() override;
    void SetCaption(const std::u16string& caption) override;

private:
    void HandOver() override;
    std::u16string caption_;
};

}  // namespace marvolt
