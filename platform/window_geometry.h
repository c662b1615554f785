#pragma once

namespace marvolt {

// Where a top-level window is and how large it is.
struct WindowGeometry {
    int left = 0, top = 0, width = 0, height = 0;  // pixels, screen coordinates
};

}  // namespace marvolt
