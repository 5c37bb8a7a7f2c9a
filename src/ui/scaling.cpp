#include "ui/scaling.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace ui {

namespace {

constexpr int Percent = 100;

// value * numerator / denominator, rounded half away from zero.
int ScaleRounded(int value, std::int64_t numerator, std::int64_t denominator) {
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  const std::int64_t rounded =
      product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
  return static_cast<int>(rounded);
}

int Right(Rect rect) {
  return rect.left + rect.width;
}

int Bottom(Rect rect) {
  return rect.top + rect.height;
}

// Whether the sibling shares a line with the control; a sibling not yet measured (an auto-sized
// label) counts by its top.
bool SharesLine(Rect control, Rect sibling) {
  return sibling.top < Bottom(control) && control.top < std::max(Bottom(sibling), sibling.top + 1);
}

} // namespace

int Scaling::X(int length) const {
  return ScaleRounded(length, static_cast<std::int64_t>(dpi) * faceWidth,
                      static_cast<std::int64_t>(DesignDpi) * designedWidth);
}

int Scaling::Y(int length) const {
  return ScaleRounded(length, dpi, DesignDpi);
}

Rect Scaling::Of(Rect design) const {
  const int left = X(design.left);
  const int top = Y(design.top);
  return Rect{left, top, X(design.left + design.width) - left, Y(design.top + design.height) - top};
}

int Scaling::DesignX(int pixels) const {
  return ScaleRounded(pixels, static_cast<std::int64_t>(DesignDpi) * designedWidth,
                      static_cast<std::int64_t>(dpi) * faceWidth);
}

int Scaling::DesignY(int pixels) const {
  return ScaleRounded(pixels, DesignDpi, dpi);
}

Scaling ScalingFor(int dpi, int sampleWidth) {
  Scaling scaling;
  scaling.dpi = dpi > 0 ? dpi : DesignDpi;
  // The designed face's sample width at this DPI, in 96ths of a pixel to keep it exact.
  const int designed = DesignedSampleWidth * scaling.dpi;
  const int measured = sampleWidth * DesignDpi;
  if (measured > designed) {
    scaling.faceWidth = measured;
    scaling.designedWidth = designed;
  }
  return scaling;
}

bool FaceFollowsDpi(int dpi, int sampleWidth) {
  // Both sides in 96ths of a pixel and percent, to compare exactly.
  const std::int64_t designed = static_cast<std::int64_t>(DesignedSampleWidth) * dpi * Percent;
  const std::int64_t measured = static_cast<std::int64_t>(sampleWidth) * DesignDpi * Percent;
  return std::abs(measured - designed) <= designed / Percent * FaceFollowsPercent;
}

int CaptionRoom(Rect control, const std::vector<Rect>& siblings, int parentWidth) {
  int room = parentWidth - control.left;
  for (const Rect& sibling : siblings) {
    if (!SharesLine(control, sibling)) {
      continue;
    }
    if (sibling.left > control.left) {
      room = std::min(room, sibling.left - control.left);
    } else if (Right(sibling) >= Right(control) && sibling.top <= control.top &&
               Bottom(sibling) >= Bottom(control)) {
      room = std::min(room, Right(sibling) - control.left);
    }
  }
  return std::max(room, control.width);
}

int ImageScaleFor(int dpi) {
  int chosen = ImageScales[0];
  for (const int scale : ImageScales) {
    // scale <= dpi / DesignDpi in percent, exactly.
    if (scale * DesignDpi <= dpi * Percent) {
      chosen = scale;
    }
  }
  return chosen;
}

} // namespace ui
