#pragma once
// One move-only owner type per handle kind: the handle is closed exactly once,
// by the owner's destructor, on every path.
#include <windows.h>

#include <utility>

namespace marvolt {

// Traits give the kind's "no handle" value and how to close one.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    Handle release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid()) {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    Handle* put() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

template <typename H, auto CloseFunction>
struct NullInvalidTraits {
    using Handle = H;
    static Handle Invalid() { return Handle{}; }
    static void Close(Handle handle) { CloseFunction(handle); }
};

// File and find handles use INVALID_HANDLE_VALUE, not null, for "none".
template <auto CloseFunction>
struct InvalidValueTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseFunction(handle); }
};

using UniqueHkey = UniqueHandle<NullInvalidTraits<HKEY, ::RegCloseKey>>;
using UniqueHmenu = UniqueHandle<NullInvalidTraits<HMENU, ::DestroyMenu>>;
using UniqueHwnd = UniqueHandle<NullInvalidTraits<HWND, ::DestroyWindow>>;
using UniqueHicon = UniqueHandle<NullInvalidTraits<HICON, ::DestroyIcon>>;
using UniqueHbitmap = UniqueHandle<NullInvalidTraits<HBITMAP, ::DeleteObject>>;
using UniqueHgdiobj = UniqueHandle<NullInvalidTraits<HGDIOBJ, ::DeleteObject>>;
using UniqueKernelHandle = UniqueHandle<NullInvalidTraits<HANDLE, ::CloseHandle>>;
using UniqueFile = UniqueHandle<InvalidValueTraits<::CloseHandle>>;
using UniqueFindHandle = UniqueHandle<InvalidValueTraits<::FindClose>>;
using UniqueModule = UniqueHandle<NullInvalidTraits<HMODULE, ::FreeLibrary>>;

// A COM interface pointer, released once.
template <typename Interface>
struct ComTraits {
    using Handle = Interface*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle object) { object->Release(); }
};
template <typename Interface>
using UniqueCom = UniqueHandle<ComTraits<Interface>>;

}  // namespace marvolt
