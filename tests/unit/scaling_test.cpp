// The scaling of the designed forms: lengths by the DPI and, for a wider face, by the face's
// letter width; the images' scale; a form told of a new DPI.

#include "dialogs/about_box.h"
#include "ui/headless/script.h"
#include "ui/scaling.h"

#include <gtest/gtest.h>

namespace {

using ui::Rect;

struct ScaledCase {
  int dpi;
  int sampleWidth; // at that DPI; 0: the designed face
  Rect design;
  Rect expected;
};

TEST(ScalingTest, LengthsScaleByTheDpiAndByAWiderFaceOnly) {
  const ScaledCase cases[] = {
      // The design stays pixel for pixel at 96 DPI with the designed face.
      {96, 0, {12, 56, 89, 17}, {12, 56, 89, 17}},
      {96, ui::DesignedSampleWidth, {12, 56, 89, 17}, {12, 56, 89, 17}},
      // Edges are rounded, not widths: 12 * 1.25 = 15, (12 + 89) * 1.25 = 126.25.
      {120, 0, {12, 56, 89, 17}, {15, 70, 111, 21}},
      {144, 0, {4, 56, 129, 49}, {6, 84, 194, 74}},
      {192, 0, {0, 0, 459, 129}, {0, 0, 918, 258}},
      // A face a fifth wider widens horizontal lengths only.
      {96, ui::DesignedSampleWidth * 6 / 5, {10, 10, 100, 20}, {12, 10, 120, 20}},
      {144, ui::DesignedSampleWidth * 3 / 2 * 6 / 5, {10, 10, 100, 20}, {18, 15, 180, 30}},
      // A narrower face keeps the design: captions fit already.
      {96, ui::DesignedSampleWidth / 2, {10, 10, 100, 20}, {10, 10, 100, 20}},
  };
  for (const ScaledCase& c : cases) {
    const ui::Scaling scaling = ui::ScalingFor(c.dpi, c.sampleWidth);
    const Rect scaled = scaling.Of(c.design);
    EXPECT_EQ(scaled.left, c.expected.left) << c.dpi << " " << c.sampleWidth;
    EXPECT_EQ(scaled.top, c.expected.top) << c.dpi << " " << c.sampleWidth;
    EXPECT_EQ(scaled.width, c.expected.width) << c.dpi << " " << c.sampleWidth;
    EXPECT_EQ(scaled.height, c.expected.height) << c.dpi << " " << c.sampleWidth;
  }
}

TEST(ScalingTest, FontsAndImagesFollowTheDpi) {
  const struct {
    int dpi;
    int fontPixels;
    int imageScale;
  } cases[] = {{96, 11, 100},  {120, 14, 125}, {144, 17, 150}, {168, 19, 150}, {191, 22, 150},
               {192, 22, 200}, {288, 33, 200}, {72, 8, 100},   {0, 11, 100}};
  for (const auto& c : cases) {
    EXPECT_EQ(ui::ScalingFor(c.dpi, 0).FontPixels(), c.fontPixels) << c.dpi;
    EXPECT_EQ(ui::ImageScaleFor(c.dpi), c.imageScale) << c.dpi;
  }
}

TEST(ScalingTest, TheDesignedFaceIsKeptWhileItsLettersGrowWithTheDpi) {
  // Widths the bitmap face gives: it has drawings up to 150 %, and doubles at 300 %.
  const struct {
    int dpi;
    int sampleWidth;
    bool follows;
  } cases[] = {
      {96, 323, true},
      {120, 405, true},
      {144, 483, true},
      {168, 483, false},
      {192, 483, false},
      {240, 483, false},
      {288, 966, true},
      // 5 % of the designed 646 px at 192 DPI is 32 px either way.
      {192, 614, true},
      {192, 613, false},
      {192, 678, true},
      {192, 679, false},
      {96, 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ui::FaceFollowsDpi(c.dpi, c.sampleWidth), c.follows) << c.dpi << " " << c.sampleWidth;
  }
}

TEST(ScalingTest, AWidenedCaptionStopsAtItsNeighboursAndItsParentsEdge) {
  // The main window's timer row: a check box on its group box's frame, buttons to the right.
  const Rect check{12, 56, 89, 17};
  const Rect group{4, 56, 129, 49};
  const Rect button{136, 60, 125, 45};
  // The preferences' row: a check box, the edit beside it, the arrows joined to the edit.
  const Rect warn{8, 84, 213, 17};
  const Rect edit{236, 84, 29, 21};
  const Rect arrows{264, 84, 16, 21};
  const struct {
    const char* what;
    Rect control;
    std::vector<Rect> siblings;
    int parentWidth;
    int room;
  } cases[] = {
      {"alone, up to the parent's edge", check, {}, 459, 447},
      {"on a group box: its frame", check, {group, button}, 459, 121},
      {"the next control to the right", warn, {edit, arrows}, 357, 228},
      {"the nearer of two", warn, {arrows, edit}, 357, 228},
      {"a control below is no neighbour", warn, {{236, 112, 29, 21}}, 357, 349},
      {"nor one above", warn, {{236, 60, 29, 21}}, 357, 349},
      {"nor one to the left", edit, {warn}, 357, 121},
      {"an auto-sized label not yet measured", warn, {{292, 88, 0, 0}}, 357, 284},
      {"no room: the control keeps its width", edit, {arrows}, 357, 29},
      {"a parent narrower than the control", warn, {}, 100, 213},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ui::CaptionRoom(c.control, c.siblings, c.parentWidth), c.room) << c.what;
  }
}

TEST(ScalingTest, AFormMovedToAnotherDpiTakesItsScale) {
  ui::headless::Reset();
  ui::headless::SetDisplay(96);
  TFAboutBox about;
  EXPECT_EQ(about.BitBtn1.ScaledBounds().width, 75);
  ui::headless::SendMessage(about, {ui::WmDpiChanged, (144 << 16) | 144, 0});
  EXPECT_EQ(about.FormScaling().dpi, 144);
  const Rect button = about.BitBtn1.ScaledBounds();
  EXPECT_EQ(button.left, 285);
  EXPECT_EQ(button.width, 113);
  ui::headless::SetDisplay(ui::DesignDpi);
}

} // namespace
