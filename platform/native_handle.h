#pragma once
#include <cstdint>

namespace marvolt {
// A window, menu, icon or registry key handle as portable code sees it: an
// opaque number. 0 means "none".
using NativeHandle = std::uintptr_t;
}  // namespace marvolt
