#pragma once
// The forms are designed in pixels at 96 dots per inch with the designed font (MS Sans Serif
// 8 pt). On a display set to another resolution every length is scaled by its DPI, and where the
// face the system actually gives is wider than the designed one, horizontal lengths also widen
// by the ratio of the two faces' letter widths, the way dialog units follow the dialog's font.

#include "ui/types.h"

#include <vector>

namespace ui {

inline constexpr int DesignDpi = 96;
// The designed font's height in pixels at the design DPI (8 points).
inline constexpr int DesignFontPixels = 11;
// The letters whose width measures a face, and their width in the designed face at the design
// DPI.
inline constexpr char FaceSampleText[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
inline constexpr int DesignedSampleWidth = 323;

struct Scaling {
  int dpi = DesignDpi;
  // Horizontal widening for a wider face: faceWidth / designedWidth, both at this DPI; equal
  // numbers when the face is not wider.
  int faceWidth = 1;
  int designedWidth = 1;

  int X(int length) const;
  int Y(int length) const;
  // A rectangle scaled by its edges, so that neighbours designed edge to edge stay so.
  Rect Of(Rect design) const;
  // The inverse of X and Y, for sizes a control finds for itself (a label that fits its text).
  int DesignX(int pixels) const;
  int DesignY(int pixels) const;
  // The font's height in pixels.
  int FontPixels() const { return Y(DesignFontPixels); }

  bool operator==(const Scaling&) const = default;
};

// The designed face is a bitmap face drawn at a few sizes only: past the largest its letters stop
// growing while the windows still do. It is kept at a DPI while the width of FaceSampleText in it
// stays within this share of the designed width at that DPI.
inline constexpr int FaceFollowsPercent = 5;
bool FaceFollowsDpi(int dpi, int sampleWidth);

// The scaling for a DPI, given the width of FaceSampleText in the face the system gives at that
// DPI's font height (0 when unknown: the designed face is assumed).
Scaling ScalingFor(int dpi, int sampleWidth);

// How wide a control may grow to show its caption, in pixels from its left edge: up to the first
// sibling that starts to its right at its height, the right edge of a sibling it lies on (a check
// box on a group box's frame), and its parent's edge; never narrower than it is. All in the
// parent's pixels at the form's scaling.
int CaptionRoom(Rect control, const std::vector<Rect>& siblings, int parentWidth);

// The bitmaps come drawn at these scales, in percent of the design size.
inline constexpr int ImageScales[] = {100, 125, 150, 200};
// The largest of ImageScales that the DPI reaches, or the smallest: an image never grows past
// its room (a toolbar's buttons would grow out of their bar) and is never stretched.
int ImageScaleFor(int dpi);

} // namespace ui
