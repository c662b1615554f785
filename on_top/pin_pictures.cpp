#include "on_top/pin_pictures.h"

#include <cstring>

namespace marvolt {

namespace {

// One character per palette index: the character's position in this legend.
// '#' black, 'd' dark grey, 'l' light grey, 'w' warm light grey, 'o' white,
// '.' transparent; the others are unused.
constexpr char kLegend[kPinPaletteSize + 1] = "#dlwo56789abcde.";

constexpr PinColor kPalette[kPinPaletteSize] = {
    {0, 0, 0},       {132, 132, 132}, {198, 198, 198}, {214, 214, 206},
    {255, 255, 255}, {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
    {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {255, 0, 0},
    {0, 255, 0},     {0, 0, 255},     {255, 255, 0},   {255, 0, 255},
};

// The pin on its side, needle pointing left: needle, flat base plate, shaft, grip.
constexpr const char* kSideways[kPinPictureHeight] = {
    ".....................",
    ".....................",
    ".....................",
    "......##.............",
    "......#o#.....######.",
    "......#o#....#oooool#",
    "......#o#....#olllld#",
    "......#o######olllld#",
    "......#oooooo#olllld#",
    "#######llllll#olllld#",
    ".ddddd#dddddd#olllld#",
    "......#o######olllld#",
    "......#o#....#olllld#",
    "......#o#....#oddddd#",
    "......#d#.....######.",
    "......##.............",
    ".....................",
    ".....................",
    ".....................",
    ".....................",
};

// The pin pressed in, seen from the front, on a sunken checkered square.
constexpr const char* kPressed[kPinPictureHeight] = {
    "ddddddddddddddddddddd",
    "dlolololololololololo",
    "dolololololololololoo",
    "dlolololololololololo",
    "dolololo#####olololoo",
    "dlololo#ooowo#olololo",
    "dololo#oo###ww#ololoo",
    "dlolo#oo#ool#ww#ololo",
    "dolol#o#oolll#w#doloo",
    "dlolo#o#ollld#w#dlolo",
    "dolol#o#lllld#w#doloo",
    "dlolo#ww#ldd#ww#dlolo",
    "dololo#ww###ww#ddoloo",
    "dlololo#wwwww#ddololo",
    "dolololo#####ddololoo",
    "dlolololodddddolololo",
    "dolololololololololoo",
    "dlolololololololololo",
    "dolololololololololoo",
    "doooooooooooooooooooo",
};

}  // namespace

PinColor PinPaletteColor(int index) {
    return index >= 0 && index < kPinPaletteSize ? kPalette[index] : kPalette[0];
}

int PinPixelIndex(PinPicture picture, int x, int y) {
    if (x < 0 || x >= kPinPictureWidth || y < 0 || y >= kPinPictureHeight) return 0;
    const char* const* rows = picture == PinPicture::Enabled ? kPressed : kSideways;
    const char* found = std::strchr(kLegend, rows[y][x]);
    return found ? static_cast<int>(found - kLegend) : 0;
}

bool PinPixelTransparent(PinPicture picture, int x, int y) {
    return picture != PinPicture::Enabled && PinPixelIndex(picture, x, y) == kPinTransparentIndex;
}

}  // namespace marvolt
