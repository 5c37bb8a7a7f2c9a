// Bitmaps compiled into the program, drawn at several scales, and strips of square images cut
// from them.

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

HBITMAP LoadBitmapNumber(int number) {
  return static_cast<HBITMAP>(
      ::LoadImageA(Instance(), MAKEINTRESOURCEA(number), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The drawing nearest to the DPI; the design size where the program has no such drawing.
HBITMAP LoadBitmapResource(ImageId image, int dpi) {
  if (image == ImageId::None) {
    return nullptr;
  }
  const int scale = NearestImageScale(dpi);
  if (const HBITMAP scaled = LoadBitmapNumber(ScaledImageNumber(image, scale))) {
    return scaled;
  }
  return LoadBitmapNumber(static_cast<int>(image));
}

} // namespace

HIMAGELIST LoadImageStrip(ImageId images, int dpi) {
  const HBITMAP bitmap = LoadBitmapResource(images, dpi);
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

HBITMAP LoadPicture(ImageId picture, int dpi) {
  const HBITMAP bitmap = LoadBitmapResource(picture, dpi);
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

HIMAGELIST LoadGlyph(ImageId glyph, int dpi) {
  HIMAGELIST list = LoadImageStrip(glyph, dpi);
  // Further images of a glyph strip are state variants; the controls draw their states from
  // the first one.
  if (list != nullptr && ::ImageList_GetImageCount(list) > 1) {
    ::ImageList_SetImageCount(list, 1);
  }
  return list;
}

void KeepImages(FormData& data, const Control& control, HIMAGELIST images) {
  HIMAGELIST& kept = data.images[&control];
  if (kept != nullptr && kept != images) {
    ::ImageList_Destroy(kept);
  }
  kept = images;
}

void KeepPicture(FormData& data, const Control& control, HBITMAP picture) {
  HBITMAP& kept = data.pictures[&control];
  if (kept != nullptr && kept != picture) {
    ::DeleteObject(kept);
  }
  kept = picture;
}

HIMAGELIST ImagesOf(const FormData& data, const Control& control) {
  const auto found = data.images.find(&control);
  return found == data.images.end() ? nullptr : found->second;
}

void ReleaseImages(FormData& data) {
  for (const auto& [control, images] : data.images) {
    if (images != nullptr) {
      ::ImageList_Destroy(images);
    }
  }
  for (const auto& [control, picture] : data.pictures) {
    if (picture != nullptr) {
      ::DeleteObject(picture);
    }
  }
  data.images.clear();
  data.pictures.clear();
}

} // namespace ui::win32
