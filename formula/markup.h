// Formula markup: "@" takes the next character from the Symbol font, "^"
// raises and "_" lowers one level, "$" bars the next character.  The
// renderer measures and draws markup on any drawing surface.
#pragma once

#include <string>

#include "formula/surface.h"

namespace vokt {

struct TextExtent {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Processes text from left to right starting at (x, y); paints when draw is
// true, otherwise only measures.  On return extent.Right is the x position
// after the last character and extent.Bottom the height of "X"; the
// surface's font is exactly as before the call.
void MixedTextOut(DrawingSurface& canvas, int x, int y, TextExtent& extent, bool draw,
                  const std::string& text);
void MixedTextExtent(DrawingSurface& canvas, const std::string& text, TextExtent& extent);

// The Unicode character (UTF-8) that the Symbol font shows for the given
// character (given as the UTF-8 of its Latin-1 code point, e.g. "a" -> "α",
// "\xC3\xA5" -> "∑").  Characters without a Greek or mathematical meaning map
// to themselves.
std::string SymbolToUnicode(const std::string& ch);

}  // namespace vokt
