// Images in a high-contrast scheme: the ink each state's glyph gets and the glyph made from a
// drawing.

#include "ui/contrast.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using ui::GlyphState;
using ui::RgbOf;

TEST(ContrastTest, RatiosMatchTheGuidelinesFigures) {
  const struct {
    ui::Rgb first;
    ui::Rgb second;
    double expected;
  } cases[] = {
      {ui::Black, ui::White, 21.0},
      {ui::White, ui::Black, 21.0},
      {ui::White, ui::White, 1.0},
      // The drawings' slate on a black scheme: too faint for a glyph.
      {RgbOf(0x3D, 0x4B, 0x59), ui::Black, 2.35},
      // Grey text on the classic button face.
      {RgbOf(0x80, 0x80, 0x80), RgbOf(0xC0, 0xC0, 0xC0), 2.17},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(ui::ContrastRatio(c.first, c.second), c.expected, 0.01)
        << std::hex << c.first << " " << c.second;
  }
}

TEST(ContrastTest, EachStateTakesTheSchemesTextColourOrOneThatStandsOut) {
  const ui::Rgb green = RgbOf(0x3F, 0xF2, 0x3F);
  const ui::Rgb cyan = RgbOf(0x1A, 0xEB, 0xFF);
  const ui::Rgb maroon = RgbOf(0x60, 0x00, 0x00);
  const ui::Rgb purple = RgbOf(0x37, 0x00, 0x6E);
  const ui::Rgb silver = RgbOf(0xC0, 0xC0, 0xC0);
  const ui::Rgb grey = RgbOf(0x80, 0x80, 0x80);
  const ui::Rgb navy = RgbOf(0x00, 0x00, 0x80);
  // Text, face, highlight text, highlight, grey text.
  const ui::SchemeColours black{ui::White, ui::Black, ui::Black, cyan, green};
  const ui::SchemeColours white{ui::Black, ui::White, ui::White, purple, maroon};
  const ui::SchemeColours faint{grey, silver, navy, navy, silver};
  const struct {
    ui::SchemeColours scheme;
    GlyphState state;
    ui::Rgb expected;
  } cases[] = {
      {black, GlyphState::Normal, ui::White},   {black, GlyphState::Hot, ui::Black},
      {black, GlyphState::Disabled, green},     {white, GlyphState::Normal, ui::Black},
      {white, GlyphState::Hot, ui::White},      {white, GlyphState::Disabled, maroon},
      {faint, GlyphState::Normal, ui::Black},   {faint, GlyphState::Hot, ui::White},
      {faint, GlyphState::Disabled, ui::Black},
  };
  for (const auto& c : cases) {
    const ui::Rgb ink = ui::GlyphInk(c.state, c.scheme);
    EXPECT_EQ(ink, c.expected) << static_cast<int>(c.state) << " " << std::hex << ink;
    EXPECT_GE(ui::ContrastRatio(ink, ui::GlyphBackground(c.state, c.scheme)),
              ui::MinimumGlyphContrast);
  }
}

TEST(ContrastTest, DarkPartsBecomeInkAndLightDetailsHoles) {
  using Pixel = std::array<std::uint8_t, 4>; // blue, green, red, alpha
  const ui::Rgb ink = RgbOf(0x3F, 0xF2, 0x3F);
  const struct {
    Pixel drawn;
    Pixel expected;
  } cases[] = {
      {{0x59, 0x4B, 0x3D, 0xFF}, {0x3F, 0xF2, 0x3F, 0xFF}}, // slate
      {{0x26, 0xA5, 0xF0, 0xFF}, {0x3F, 0xF2, 0x3F, 0xFF}}, // amber
      {{0x3C, 0x46, 0xD4, 0x80}, {0x3F, 0xF2, 0x3F, 0x80}}, // red soft edge
      {{0xFF, 0xFF, 0xFF, 0xFF}, {0x3F, 0xF2, 0x3F, 0x00}}, // white keyhole
      {{0xEC, 0xC3, 0x9C, 0xFF}, {0x3F, 0xF2, 0x3F, 0x00}}, // pale screen
      {{0x00, 0x00, 0x00, 0x00}, {0x3F, 0xF2, 0x3F, 0x00}}, // transparent
  };
  for (const auto& c : cases) {
    Pixel pixel = c.drawn;
    ui::InkGlyph(pixel.data(), 1, ink);
    EXPECT_EQ(pixel, c.expected) << int{c.drawn[2]} << " " << int{c.drawn[1]} << " "
                                 << int{c.drawn[0]};
  }
}

} // namespace
