// The formula markup renderer.  Greek letters and signs selected with "@"
// are written in the Symbol font's encoding; Linux desktops have no such
// font, so each is drawn as its Unicode character in the current face.
#include "formula/markup.h"

#include <cstdint>

namespace vokt {

namespace {

// Unicode code points of the Symbol font's characters 0x20..0xFF (Adobe's
// Symbol encoding); 0 means "the character itself".
constexpr char32_t kSymbolTable[224] = {
    // 0x20
    0,
    0,
    0x2200,
    0,
    0x2203,
    0,
    0,
    0x220B,
    0,
    0,
    0x2217,
    0,
    0,
    0x2212,
    0,
    0,
    // 0x30
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    // 0x40
    0x2245,
    0x0391,
    0x0392,
    0x03A7,
    0x0394,
    0x0395,
    0x03A6,
    0x0393,
    0x0397,
    0x0399,
    0x03D1,
    0x039A,
    0x039B,
    0x039C,
    0x039D,
    0x039F,
    // 0x50
    0x03A0,
    0x0398,
    0x03A1,
    0x03A3,
    0x03A4,
    0x03A5,
    0x03C2,
    0x03A9,
    0x039E,
    0x03A8,
    0x0396,
    0,
    0x2234,
    0,
    0x22A5,
    0,
    // 0x60
    0x203E,
    0x03B1,
    0x03B2,
    0x03C7,
    0x03B4,
    0x03B5,
    0x03C6,
    0x03B3,
    0x03B7,
    0x03B9,
    0x03D5,
    0x03BA,
    0x03BB,
    0x03BC,
    0x03BD,
    0x03BF,
    // 0x70
    0x03C0,
    0x03B8,
    0x03C1,
    0x03C3,
    0x03C4,
    0x03C5,
    0x03D6,
    0x03C9,
    0x03BE,
    0x03C8,
    0x03B6,
    0,
    0,
    0,
    0x223C,
    0,
    // 0x80 (unused by the font)
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    // 0x90
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    // 0xA0
    0x20AC,
    0x03D2,
    0x2032,
    0x2264,
    0x2044,
    0x221E,
    0x0192,
    0x2663,
    0x2666,
    0x2665,
    0x2660,
    0x2194,
    0x2190,
    0x2191,
    0x2192,
    0x2193,
    // 0xB0
    0x00B0,
    0x00B1,
    0x2033,
    0x2265,
    0x00D7,
    0x221D,
    0x2202,
    0x2022,
    0x00F7,
    0x2260,
    0x2261,
    0x2248,
    0x2026,
    0x23D0,
    0x23AF,
    0x21B5,
    // 0xC0
    0x2135,
    0x2111,
    0x211C,
    0x2118,
    0x2297,
    0x2295,
    0x2205,
    0x2229,
    0x222A,
    0x2283,
    0x2287,
    0x2284,
    0x2282,
    0x2286,
    0x2208,
    0x2209,
    // 0xD0
    0x2220,
    0x2207,
    0x00AE,
    0x00A9,
    0x2122,
    0x220F,
    0x221A,
    0x22C5,
    0x00AC,
    0x2227,
    0x2228,
    0x21D4,
    0x21D0,
    0x21D1,
    0x21D2,
    0x21D3,
    // 0xE0
    0x25CA,
    0x2329,
    0x00AE,
    0x00A9,
    0x2122,
    0x2211,
    0x239B,
    0x239C,
    0x239D,
    0x23A1,
    0x23A2,
    0x23A3,
    0x23A7,
    0x23A8,
    0x23A9,
    0x23AA,
    // 0xF0
    0,
    0x232A,
    0x222B,
    0x2320,
    0x23AE,
    0x2321,
    0x239E,
    0x239F,
    0x23A0,
    0x23A4,
    0x23A5,
    0x23A6,
    0x23AB,
    0x23AC,
    0x23AD,
    0,
};

std::string Utf8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

// Length in bytes of the UTF-8 character starting at text[i] (1 for a stray
// continuation or a truncated sequence, so scanning always advances).
size_t CharLength(const std::string& text, size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  size_t n = 1;
  if (b >= 0xF0 && b < 0xF8)
    n = 4;
  else if (b >= 0xE0)
    n = 3;
  else if (b >= 0xC0)
    n = 2;
  if (i + n > text.size()) return 1;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

// Restores the surface's font on every way out of the renderer.
class FontGuard {
 public:
  explicit FontGuard(DrawingSurface& canvas) : canvas_(canvas), saved_(canvas.Font()) {}
  ~FontGuard() { canvas_.SetFont(saved_); }
  FontGuard(const FontGuard&) = delete;
  FontGuard& operator=(const FontGuard&) = delete;
  const FontSpec& Saved() const { return saved_; }

 private:
  DrawingSurface& canvas_;
  FontSpec saved_;
};

bool IsMarkup(char c) { return c == '_' || c == '^' || c == '@' || c == '$'; }

}  // namespace

std::string SymbolToUnicode(const std::string& ch) {
  if (ch.empty()) return ch;
  const auto b0 = static_cast<unsigned char>(ch[0]);
  char32_t code;
  if (ch.size() == 1 && b0 < 0x80) {
    code = b0;
  } else if (ch.size() == 2 && (b0 == 0xC2 || b0 == 0xC3)) {
    code = ((b0 & 0x1F) << 6) | (static_cast<unsigned char>(ch[1]) & 0x3F);
  } else {
    return ch;
  }
  if (code < 0x20) return ch;
  const char32_t mapped = kSymbolTable[code - 0x20];
  return mapped ? Utf8(mapped) : ch;
}

void MixedTextOut(DrawingSurface& canvas, int x, int y, TextExtent& extent, bool draw,
                  const std::string& text) {
  FontGuard guard(canvas);
  const FontSpec& initial = guard.Saved();
  extent = TextExtent{};
  extent.Bottom = canvas.TextHeight("X");
  if (text.empty()) return;

  // Sizes in whole points: S3 for every level but 0, H the step between
  // levels 0 and -1, Q every other step.
  const int S = static_cast<int>(initial.size);
  const int S3 = (3 * S) / 4;
  const int H = S / 2;
  const int Q = H / 2;
  int level = 0;
  FontSpec font = initial;
  auto setLevelSize = [&] {
    font.size = level == 0 ? initial.size : S3;
    canvas.SetFont(font);
  };

  size_t i = 0;
  const size_t n = text.size();
  while (true) {
    size_t j = i;
    while (j < n && !IsMarkup(text[j])) ++j;
    if (j > i) {
      const std::string run = text.substr(i, j - i);
      if (draw) canvas.TextOut(x, y, run);
      x += canvas.TextWidth(run);
    }
    if (j >= n) break;
    const char mark = text[j];
    i = j + 1;
    switch (mark) {
      case '_':
        --level;
        y += level == -1 ? H : Q;
        setLevelSize();
        break;
      case '^':
        ++level;
        y -= level == 0 ? H : Q;
        setLevelSize();
        break;
      case '@':
      case '$': {
        if (mark == '@') setLevelSize();
        if (i >= n) break;  // nothing follows: nothing to draw
        const size_t len = CharLength(text, i);
        const std::string ch = text.substr(i, len);
        i += len;
        const std::string shown = mark == '@' ? SymbolToUnicode(ch) : ch;
        if (draw) {
          canvas.TextOut(x, y, shown);
          if (mark == '$') canvas.TextOut(x, y, "\xC2\xAF");  // macron over it
        }
        x += canvas.TextWidth(shown);
        break;
      }
    }
  }
  extent.Right = x;
}

void MixedTextExtent(DrawingSurface& canvas, const std::string& text, TextExtent& extent) {
  MixedTextOut(canvas, 0, 0, extent, false, text);
}

}  // namespace vokt
