#pragma once
// The window toolkit as the logic sees it: windows and the few control kinds the
// program uses. Views implement these on Win32; tests use the doubles in
// platform/fakes. Controls raise their events through the owning view's event
// interface (see app/main_window_view.h).
#include <string>

#include "platform/hotkey.h"
#include "platform/native_handle.h"
#include "platform/window_geometry.h"

namespace marvolt {

enum class WindowState { Normal, Minimized, Maximized };

class FormWindow {
public:
    virtual ~FormWindow() = default;
    virtual std::u16string Caption() = 0;
    virtual void SetCaption(const std::u16string& caption) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual WindowState State() = 0;
    // Changing the state raises the window's resize event, as a user's change does.
    virtual void SetState(WindowState state) = 0;
    virtual NativeHandle Handle() = 0;
    virtual NativeHandle IconHandle() = 0;
    virtual WindowGeometry Geometry() = 0;
    virtual void SetGeometry(const WindowGeometry& geometry) = 0;
};

class ListBoxControl {
public:
    virtual ~ListBoxControl() = default;
    virtual void Clear() = 0;
    virtual void AddItem(const std::u16string& text) = 0;
    virtual int Count() = 0;
    virtual std::u16string ItemText(int index) = 0;
    virtual int SelectedIndex() = 0;  // -1: no row selected
    virtual void SetSelectedIndex(int index) = 0;
};

class ComboBoxControl {
public:
    virtual ~ComboBoxControl() = default;
    virtual void Clear() = 0;  // empties the list; the edit text stays
    virtual void AddItem(const std::u16string& text) = 0;
    virtual int Count() = 0;
    virtual std::u16string ItemText(int index) = 0;
    virtual std::u16string Text() = 0;
    virtual void SetText(const std::u16string& text) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
};

class CheckBoxControl {
public:
    virtual ~CheckBoxControl() = default;
    virtual int Value() = 0;  // 0 clear, 1 ticked
    // Raises the box's click event whenever the value changes, as a click does.
    virtual void SetValue(int value) = 0;
};

class LabelControl {
public:
    virtual ~LabelControl() = default;
    virtual std::u16string Caption() = 0;
    virtual void SetCaption(const std::u16string& caption) = 0;
};

// The system's hotkey control. Its change event comes with every change the
// user makes, also while the keys are still being pressed.
class HotkeyControl {
public:
    virtual ~HotkeyControl() = default;
    virtual Hotkey Value() = 0;
    // Raises no change event.
    virtual void SetValue(const Hotkey& hotkey) = 0;
};

// A list whose rows each have a box to tick. Its click event comes when the
// user ticks or clears a box, not when the logic fills the list.
class CheckListControl {
public:
    virtual ~CheckListControl() = default;
    virtual void Clear() = 0;
    virtual void AddItem(const std::u16string& text, bool ticked) = 0;
    virtual int Count() = 0;
    virtual bool Ticked(int index) = 0;  // false for a row that does not exist
};

}  // namespace marvolt
