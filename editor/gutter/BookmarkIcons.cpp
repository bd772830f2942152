// The bookmark icons: a disc mask with a 3 x 5 digit laid over it.
#include "editor/gutter/BookmarkIcons.h"

#include <cstdint>

namespace qm {

namespace {

// 3 x 5 digit glyphs, row by row.
constexpr const char* kDigits[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", ".##", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
};

// The disc: a ring of outline around the fill, corners left transparent.
constexpr const char* kDisc[kBookmarkIconSize] = {
    "  oooooo  ", " offffffo ", "offffffffo", "offffffffo", "offffffffo",
    "offffffffo", "offffffffo", "offffffffo", " offffffo ", "  oooooo  ",
};

constexpr int kDigitLeft = 3;
constexpr int kDigitTop = 2;

// 0x00BBGGRR colours.
constexpr int32_t kOutline = 0x00803000;
constexpr int32_t kFill = 0x00E09040;
constexpr int32_t kDigit = 0x00FFFFFF;

}  // namespace

std::array<std::string, kBookmarkIconSize> BookmarkIconRows(int n) {
  std::array<std::string, kBookmarkIconSize> rows;
  for (int r = 0; r < kBookmarkIconSize; ++r) rows[r] = kDisc[r];
  if (n < 0 || n > 9) return rows;
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 3; ++c)
      if (kDigits[n][r][c] == '#') rows[kDigitTop + r][kDigitLeft + c] = 'd';
  return rows;
}

void DrawBookmarkIcon(TSurface& surface, int n, int x, int y) {
  const std::array<std::string, kBookmarkIconSize> rows = BookmarkIconRows(n);
  for (int r = 0; r < kBookmarkIconSize; ++r) {
    for (int c = 0; c < kBookmarkIconSize; ++c) {
      const char p = rows[r][c];
      if (p == ' ') continue;
      const int32_t colour = p == 'o' ? kOutline : p == 'f' ? kFill : kDigit;
      surface.FillRect(TRect{x + c, y + r, x + c + 1, y + r + 1}, colour);
    }
  }
}

}  // namespace qm
