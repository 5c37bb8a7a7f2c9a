// Bitmaps compiled into the program, and strips of square images cut from them.

#include "ui/win32/internal.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace ui::win32 {

namespace {

// Strips without an alpha channel mark their transparent pixels with magenta.
constexpr COLORREF TransparentKey = RGB(0xFF, 0x00, 0xFF);
constexpr WORD AlphaBitsPerPixel = 32;
constexpr WORD TrueColorBitsPerPixel = 24;
constexpr int BlueByte = 0;
constexpr int GreenByte = 1;
constexpr int RedByte = 2;
constexpr int AlphaByte = 3;
constexpr int BytesPerAlphaPixel = 4;
constexpr int BytesPerTrueColorPixel = 3;
constexpr int Opaque = 0xFF;

// A 32-bit bitmap whose alpha bytes are all zero was saved without transparency; drawing it
// through its alpha channel would show nothing, so it is keyed like the others.
bool CarriesAlpha(const BITMAP& bitmap) {
  if (bitmap.bmBitsPixel != AlphaBitsPerPixel || bitmap.bmBits == nullptr) {
    return false;
  }
  const auto* rows = static_cast<const std::uint8_t*>(bitmap.bmBits);
  const int height = std::abs(bitmap.bmHeight);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = rows + static_cast<std::ptrdiff_t>(y) * bitmap.bmWidthBytes;
    for (int x = 0; x < bitmap.bmWidth; ++x) {
      if (row[x * BytesPerAlphaPixel + AlphaByte] != 0) {
        return true;
      }
    }
  }
  return false;
}

// Lays one pixel (blue, green, red and, with alpha, its alpha byte) onto the background.
void Flatten(std::uint8_t* pixel, bool withAlpha, COLORREF background) {
  std::uint8_t backgroundBytes[BytesPerTrueColorPixel] = {};
  backgroundBytes[BlueByte] = GetBValue(background);
  backgroundBytes[GreenByte] = GetGValue(background);
  backgroundBytes[RedByte] = GetRValue(background);
  if (withAlpha) {
    const int alpha = pixel[AlphaByte];
    for (int channel = 0; channel < BytesPerTrueColorPixel; ++channel) {
      pixel[channel] = static_cast<std::uint8_t>(
          (pixel[channel] * alpha + backgroundBytes[channel] * (Opaque - alpha)) / Opaque);
    }
    pixel[AlphaByte] = Opaque;
  } else if (RGB(pixel[RedByte], pixel[GreenByte], pixel[BlueByte]) == TransparentKey) {
    std::copy(backgroundBytes, backgroundBytes + BytesPerTrueColorPixel, pixel);
  }
}

HBITMAP LoadBitmapResource(ImageId image) {
  if (image == ImageId::None) {
    return nullptr;
  }
  return static_cast<HBITMAP>(::LoadImageA(Instance(), MAKEINTRESOURCEA(static_cast<int>(image)),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

} // namespace

HIMAGELIST LoadImageStrip(ImageId images) {
  const HBITMAP bitmap = LoadBitmapResource(images);
  if (bitmap == nullptr) {
    return nullptr;
  }
  BITMAP info{};
  ::GetObjectA(bitmap, sizeof info, &info);
  const int height = std::abs(info.bmHeight);
  HIMAGELIST list = nullptr;
  if (height > 0 && info.bmWidth > 0) {
    // A bitmap that is no whole number of squares is one image of its own size.
    const int width = info.bmWidth % height == 0 ? height : info.bmWidth;
    const int count = info.bmWidth / width;
    if (CarriesAlpha(info)) {
      list = ::ImageList_Create(width, height, ILC_COLOR32, count, 0);
      if (list != nullptr) {
        ::ImageList_Add(list, bitmap, nullptr);
      }
    } else {
      list = ::ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count, 0);
      if (list != nullptr) {
        ::ImageList_AddMasked(list, bitmap, TransparentKey);
      }
    }
  }
  ::DeleteObject(bitmap);
  return list;
}

HBITMAP LoadPicture(ImageId picture) {
  const HBITMAP bitmap = LoadBitmapResource(picture);
  BITMAP info{};
  if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof info, &info) == 0 ||
      info.bmBits == nullptr ||
      (info.bmBitsPixel != TrueColorBitsPerPixel && info.bmBitsPixel != AlphaBitsPerPixel)) {
    return bitmap;
  }
  const bool withAlpha = CarriesAlpha(info);
  const int pixelBytes =
      info.bmBitsPixel == AlphaBitsPerPixel ? BytesPerAlphaPixel : BytesPerTrueColorPixel;
  const COLORREF background = ::GetSysColor(COLOR_BTNFACE);
  auto* rows = static_cast<std::uint8_t*>(info.bmBits);
  const int height = std::abs(info.bmHeight);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = rows + static_cast<std::ptrdiff_t>(y) * info.bmWidthBytes;
    for (int x = 0; x < info.bmWidth; ++x) {
      Flatten(row + x * pixelBytes, withAlpha, background);
    }
  }
  return bitmap;
}

HIMAGELIST LoadGlyph(ImageId glyph) {
  HIMAGELIST list = LoadImageStrip(glyph);
  // Further images of a glyph strip are state variants; the controls draw their states from
  // the first one.
  if (list != nullptr && ::ImageList_GetImageCount(list) > 1) {
    ::ImageList_SetImageCount(list, 1);
  }
  return list;
}

} // namespace ui::win32
