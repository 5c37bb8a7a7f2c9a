#pragma once
// Images in a high-contrast scheme: the scheme's own text colours, chosen per state, and the
// drawings turned into one-colour glyphs of that ink.

#include <cstddef>
#include <cstdint>

namespace ui {

// A colour laid out as Windows keeps one: red in the low byte, then green, then blue.
using Rgb = std::uint32_t;

constexpr Rgb RgbOf(unsigned red, unsigned green, unsigned blue) {
  return red | green << 8 | blue << 16;
}

inline constexpr Rgb Black = RgbOf(0, 0, 0);
inline constexpr Rgb White = RgbOf(0xFF, 0xFF, 0xFF);

// How far apart two colours are to the eye, from 1 (the same) to 21 (black and white), by the
// relative luminance accessibility guidelines measure legibility with.
double ContrastRatio(Rgb first, Rgb second);

// What a glyph needs at least against its background to be made out: the guidelines' figure for
// graphics.
inline constexpr double MinimumGlyphContrast = 3.0;

enum class GlyphState { Normal, Hot, Disabled };
inline constexpr GlyphState GlyphStates[] = {GlyphState::Normal, GlyphState::Hot,
                                             GlyphState::Disabled};

// The scheme's colours that buttons are drawn with.
struct SchemeColours {
  Rgb buttonText = Black;
  Rgb buttonFace = White;
  Rgb highlightText = White;
  Rgb highlight = Black;
  Rgb grayText = Black;
};

// What a button in the state stands on: the face, or the highlight under the mouse.
Rgb GlyphBackground(GlyphState state, const SchemeColours& scheme);

// The ink of a glyph in the state: the scheme's text colour for it (button text, highlight text,
// grey text), or black or white, whichever stands out more, where a scheme of the user's own
// gives that pair less than the minimum contrast.
Rgb GlyphInk(GlyphState state, const SchemeColours& scheme);

// Turns a drawing into a one-colour glyph of the ink, in place. The pixels are 32-bit, blue,
// green, red and alpha, the colours not premultiplied. The drawing's dark and coloured parts
// become ink and its light details (a white keyhole, a pale screen) holes, so that the shape
// still reads as the same picture; the soft edges keep their alpha.
void InkGlyph(std::uint8_t* pixels, std::size_t count, Rgb ink);

} // namespace ui
