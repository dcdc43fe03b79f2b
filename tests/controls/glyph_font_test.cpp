// The glyph font: Wine draws caption buttons with Marlett and the themed menus
// draw their check marks, bullets and system-menu symbols with it. Without the
// font (Debian's fonts-wine, copied into the prefix by scripts/prefix.sh) the
// font mapper hands out another one, and the symbols come out as the letters
// "0 1 r" or as whatever a host's symbol font has at those codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/gdi.h"

namespace klarex {
namespace {

constexpr int kCell = 40;

// Marlett is asked for as the themed menus do: by name, with the symbol character set.
constexpr wchar_t kMarlett[] = L"Marlett";

GdiFont MakeFont(const wchar_t* face, BYTE charset) {
  LOGFONTW lf{};
  lf.lfHeight = kCell - 8;
  lf.lfCharSet = charset;
  lf.lfQuality = NONANTIALIASED_QUALITY;  // plain ink pixels, comparable between fonts
  wcscpy(lf.lfFaceName, face);
  return GdiFont(::CreateFontIndirectW(&lf));
}

std::wstring MappedFace(const wchar_t* face) {
  DibSurface surface(kCell, kCell);
  GdiFont font = MakeFont(face, SYMBOL_CHARSET);
  SelectGuard sel(surface.dc(), font.get());
  wchar_t name[LF_FACESIZE] = L"";
  ::GetTextFaceW(surface.dc(), LF_FACESIZE, name);
  return name;
}

// The character drawn black on white in a kCell square; true where ink fell.
struct Ink {
  std::vector<bool> dots;
  bool at(int x, int y) const { return dots[static_cast<size_t>(y) * kCell + x]; }
  int count() const {
    int n = 0;
    for (bool d : dots) n += d;
    return n;
  }
};

Ink Draw(wchar_t ch, const wchar_t* face = kMarlett, BYTE charset = SYMBOL_CHARSET) {
  DibSurface surface(kCell, kCell);
  if (!surface) return {};
  GdiFont font = MakeFont(face, charset);
  SelectGuard sel(surface.dc(), font.get());
  RECT rc{0, 0, kCell, kCell};
  ::FillRect(surface.dc(), &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::SetBkMode(surface.dc(), TRANSPARENT);
  ::SetTextColor(surface.dc(), RGB(0, 0, 0));
  ::DrawTextW(surface.dc(), &ch, 1, &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  Ink ink;
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) ink.dots.push_back(surface.Pixel(x, y) != RGB(255, 255, 255));
  return ink;
}

struct Box {
  int left = kCell, top = kCell, right = -1, bottom = -1;
};
Box Bounds(const Ink& ink) {
  Box b;
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x)
      if (ink.at(x, y)) {
        b.left = std::min(b.left, x), b.right = std::max(b.right, x);
        b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
      }
  return b;
}
// Ink dots that have no partner when the ink is mirrored inside its own bounding box.
int UnmatchedWhenMirrored(const Ink& ink, bool leftRight) {
  Box b = Bounds(ink);
  int unmatched = 0;
  for (int y = b.top; y <= b.bottom; ++y)
    for (int x = b.left; x <= b.right; ++x) {
      int mx = leftRight ? b.left + b.right - x : x;
      int my = leftRight ? y : b.top + b.bottom - y;
      unmatched += ink.at(x, y) && !ink.at(mx, my);
    }
  return unmatched;
}

TEST(GlyphFont, MapperGivesMarlettForAMarlettRequest) {
  EXPECT_EQ(MappedFace(kMarlett), L"Marlett")
      << "Wine's Marlett font is missing from the prefix's Fonts folder (package fonts-wine)";
}

TEST(GlyphFont, SymbolsDifferFromTheLetterFallback) {
  // The letters as the default text font draws them. (Another symbol request would
  // not do: while Marlett is there, any symbol face that is missing maps to it.)
  for (wchar_t ch : {L'0', L'1', L'2', L'r', L'a', L'h'}) {
    Ink glyph = Draw(ch);
    Ink letter = Draw(ch, L"", DEFAULT_CHARSET);
    ASSERT_FALSE(glyph.dots.empty());
    EXPECT_GT(glyph.count(), 0) << "no ink for '" << static_cast<char>(ch) << "'";
    EXPECT_NE(glyph.dots, letter.dots) << "'" << static_cast<char>(ch) << "' drawn as a letter";
  }
}

TEST(GlyphFont, SymbolsHaveTheirShapes) {
  // Close (a cross) and the radio bullet (a disc) are symmetric both ways; the
  // letters r and h are not, nor are the glyphs another symbol font has there.
  for (wchar_t ch : {L'r', L'h'}) {
    Ink ink = Draw(ch);
    ASSERT_GT(ink.count(), 10) << "'" << static_cast<char>(ch) << "'";
    EXPECT_LE(UnmatchedWhenMirrored(ink, true), ink.count() / 10)
        << "'" << static_cast<char>(ch) << "'";
    EXPECT_LE(UnmatchedWhenMirrored(ink, false), ink.count() / 10)
        << "'" << static_cast<char>(ch) << "'";
  }
  // Minimise is a bar: wide and flat, where the digit 0 is tall.
  Box bar = Bounds(Draw(L'0'));
  EXPECT_GT(bar.right - bar.left, 2 * (bar.bottom - bar.top));
}

}  // namespace
}  // namespace klarex
