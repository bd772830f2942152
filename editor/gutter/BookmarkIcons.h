// The ten 10 x 10 bookmark icons of the gutter: a blue disc with the bookmark's digit, drawn pixel by pixel.
#pragma once

#include <array>
#include <string>

#include "platform/Surface.h"

namespace qm {

inline constexpr int kBookmarkIconSize = 10;

// The rows of icon n (0 … 9): ' ' transparent, 'o' outline, 'f' fill, 'd' digit.
std::array<std::string, kBookmarkIconSize> BookmarkIconRows(int n);

// Draws icon n with its top left corner at (x, y); transparent pixels are left alone.
void DrawBookmarkIcon(TSurface& surface, int n, int x, int y);

}  // namespace qm
