#include "ui/scaling.h"

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

int NearestImageScale(int dpi) {
  const int wanted = ScaleRounded(dpi, Percent, DesignDpi);
  int nearest = ImageScales[0];
  for (const int scale : ImageScales) {
    if (std::abs(scale - wanted) <= std::abs(nearest - wanted)) {
      nearest = scale;
    }
  }
  return nearest;
}

} // namespace ui
