#include "ui/contrast.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr int ByteBits = 8;
constexpr unsigned ByteMask = 0xFF;
constexpr double ByteMax = 255.0;
// Relative luminance: each sRGB channel made linear, then weighed by how bright it looks.
constexpr double RedWeight = 0.2126;
constexpr double GreenWeight = 0.7152;
constexpr double BlueWeight = 0.0722;
constexpr double LinearLimit = 0.04045;
constexpr double LinearSlope = 12.92;
constexpr double GammaOffset = 0.055;
constexpr double GammaScale = 1.055;
constexpr double Gamma = 2.4;
// The glare of a screen, added to both luminances.
constexpr double Flare = 0.05;
// A part of the drawing lighter than this is a detail cut out of the glyph: white and the pale
// screen blue are, the palette's other colours are not.
constexpr double HoleLuminance = 0.5;

constexpr int BlueByte = 0;
constexpr int GreenByte = 1;
constexpr int RedByte = 2;
constexpr int AlphaByte = 3;
constexpr int BytesPerPixel = 4;

double Linear(unsigned channel) {
  const double value = channel / ByteMax;
  return value <= LinearLimit ? value / LinearSlope
                              : std::pow((value + GammaOffset) / GammaScale, Gamma);
}

double Luminance(unsigned red, unsigned green, unsigned blue) {
  return RedWeight * Linear(red) + GreenWeight * Linear(green) + BlueWeight * Linear(blue);
}

double Luminance(Rgb colour) {
  return Luminance(colour & ByteMask, colour >> ByteBits & ByteMask,
                   colour >> 2 * ByteBits & ByteMask);
}

Rgb SchemeInk(GlyphState state, const SchemeColours& scheme) {
  switch (state) {
  case GlyphState::Hot:
    return scheme.highlightText;
  case GlyphState::Disabled:
    return scheme.grayText;
  case GlyphState::Normal:
    break;
  }
  return scheme.buttonText;
}

} // namespace

double ContrastRatio(Rgb first, Rgb second) {
  const double a = Luminance(first);
  const double b = Luminance(second);
  return (std::max(a, b) + Flare) / (std::min(a, b) + Flare);
}

Rgb GlyphBackground(GlyphState state, const SchemeColours& scheme) {
  return state == GlyphState::Hot ? scheme.highlight : scheme.buttonFace;
}

Rgb GlyphInk(GlyphState state, const SchemeColours& scheme) {
  const Rgb background = GlyphBackground(state, scheme);
  const Rgb ink = SchemeInk(state, scheme);
  if (ContrastRatio(ink, background) >= MinimumGlyphContrast) {
    return ink;
  }
  return ContrastRatio(Black, background) >= ContrastRatio(White, background) ? Black : White;
}

void InkGlyph(std::uint8_t* pixels, std::size_t count, Rgb ink) {
  for (std::size_t index = 0; index < count; ++index) {
    std::uint8_t* pixel = pixels + index * BytesPerPixel;
    if (Luminance(pixel[RedByte], pixel[GreenByte], pixel[BlueByte]) > HoleLuminance) {
      pixel[AlphaByte] = 0;
    }
    pixel[RedByte] = static_cast<std::uint8_t>(ink & ByteMask);
    pixel[GreenByte] = static_cast<std::uint8_t>(ink >> ByteBits & ByteMask);
    pixel[BlueByte] = static_cast<std::uint8_t>(ink >> 2 * ByteBits & ByteMask);
  }
}

} // namespace ui
