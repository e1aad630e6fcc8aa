#pragma once

#include <QtGlobal>

// Colours are kept as Windows COLORREF values (0x00BBGGRR) everywhere in the
// logic; only the view turns them into screen colours.
using Colorref = quint32;

namespace colors {
constexpr Colorref black = 0x000000;
constexpr Colorref maroon = 0x000080;
constexpr Colorref red = 0x0000FF;
constexpr Colorref green = 0x008000;
constexpr Colorref blue = 0xFF0000;

constexpr int redOf(Colorref c) { return int(c & 0xFF); }
constexpr int greenOf(Colorref c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(Colorref c) { return int((c >> 16) & 0xFF); }
}  // namespace colors

// Font style set of a text run.
enum FontStyle : unsigned {
  fsNone = 0,
  fsBold = 1,
  fsItalic = 2,
  fsUnderline = 4,
  fsStrikeOut = 8,
};
using FontStyles = unsigned;
