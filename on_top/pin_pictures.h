#pragma once
// The pin's three 21 x 20 pictures as palette-indexed pixels. The idle and the
// hover picture are the same pin lying on its side; palette index 15 is
// transparent in them. The pinned picture has no transparent pixels.
#include <cstdint>

#include "on_top/always_on_top.h"

namespace marvolt {

constexpr int kPinPictureWidth = 21;
constexpr int kPinPictureHeight = 20;
constexpr int kPinPaletteSize = 16;
constexpr int kPinTransparentIndex = 15;

struct PinColor {
    std::uint8_t red, green, blue;
};

PinColor PinPaletteColor(int index);  // index 0..15
// Palette index of the pixel at column x, row y (0-based, row 0 at the top).
int PinPixelIndex(PinPicture picture, int x, int y);
bool PinPixelTransparent(PinPicture picture, int x, int y);

}  // namespace marvolt
