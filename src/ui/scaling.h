#pragma once
// The forms are designed in pixels at 96 dots per inch with the designed font (MS Sans Serif
// 8 pt). On a display set to another resolution every length is scaled by its DPI, and where the
// face the system actually gives is wider than the designed one, horizontal lengths also widen
// by the ratio of the two faces' letter widths, the way dialog units follow the dialog's font.

#include "ui/types.h"

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

// The scaling for a DPI, given the width of FaceSampleText in the face the system gives at that
// DPI's font height (0 when unknown: the designed face is assumed).
Scaling ScalingFor(int dpi, int sampleWidth);

// The bitmaps come drawn at these scales, in percent of the design size.
inline constexpr int ImageScales[] = {100, 125, 150, 200};
// Which of ImageScales is nearest to the DPI (the larger one on a tie, so that an image is
// never too small for its room).
int NearestImageScale(int dpi);

} // namespace ui
