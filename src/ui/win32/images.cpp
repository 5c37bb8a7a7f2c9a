// Bitmaps compiled into the program, drawn at several scales, and strips of square images cut
// from them; in high contrast, one-colour glyphs in the scheme's text colours.

#include "ui/win32/internal.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace ui::win32 {

namespace {

constexpr char CommonControls[] = "comctl32.dll";
// The bitmaps are 32-bit, blue, green, red and alpha, the colours not premultiplied.
constexpr WORD AlphaBitsPerPixel = 32;
constexpr int BlueByte = 0;
constexpr int GreenByte = 1;
constexpr int RedByte = 2;
constexpr int AlphaByte = 3;
constexpr int BytesPerPixel = 4;
constexpr int ColourBytes = 3;
constexpr int Opaque = 0xFF;

// Lays one pixel onto the background through its alpha.
void Flatten(std::uint8_t* pixel, COLORREF background) {
  std::uint8_t backgroundBytes[ColourBytes] = {};
  backgroundBytes[BlueByte] = GetBValue(background);
  backgroundBytes[GreenByte] = GetGValue(background);
  backgroundBytes[RedByte] = GetRValue(background);
  const int alpha = pixel[AlphaByte];
  for (int channel = 0; channel < ColourBytes; ++channel) {
    pixel[channel] = static_cast<std::uint8_t>(
        (pixel[channel] * alpha + backgroundBytes[channel] * (Opaque - alpha)) / Opaque);
  }
  pixel[AlphaByte] = Opaque;
}

// The pixels that are less than half covered, as the mask of an image list: comctl32 6 draws
// through the alpha channel, earlier versions only through the mask.
HBITMAP MaskFromAlpha(const BITMAP& bitmap) {
  constexpr int BitsPerByte = 8;
  constexpr int RowAlignment = 2;
  constexpr int HalfCovered = Opaque / 2;
  constexpr unsigned LeftmostBit = 0x80;
  const int height = std::abs(bitmap.bmHeight);
  const int rowBytes = (bitmap.bmWidth + BitsPerByte * RowAlignment - 1) /
                       (BitsPerByte * RowAlignment) * RowAlignment;
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(rowBytes) * height, 0);
  const auto* rows = static_cast<const std::uint8_t*>(bitmap.bmBits);
  for (int y = 0; y < height; ++y) {
    // A bitmap of positive height lies bottom row first; the mask top row first.
    const int maskRow = bitmap.bmHeight > 0 ? height - 1 - y : y;
    const std::uint8_t* row = rows + static_cast<std::ptrdiff_t>(y) * bitmap.bmWidthBytes;
    for (int x = 0; x < bitmap.bmWidth; ++x) {
      if (row[x * BytesPerPixel + AlphaByte] < HalfCovered) {
        mask[static_cast<std::size_t>(maskRow) * rowBytes + x / BitsPerByte] |=
            static_cast<std::uint8_t>(LeftmostBit >> (x % BitsPerByte));
      }
    }
  }
  return ::CreateBitmap(bitmap.bmWidth, height, 1, 1, mask.data());
}

HBITMAP LoadBitmapNumber(int number) {
  return static_cast<HBITMAP>(
      ::LoadImageA(Instance(), MAKEINTRESOURCEA(number), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HBITMAP LoadBitmapForDpi(ImageId image, int dpi) {
  if (image == ImageId::None) {
    return nullptr;
  }
  const int scale = ImageScaleFor(dpi);
  if (const HBITMAP scaled = LoadBitmapNumber(ScaledImageNumber(image, scale))) {
    return scaled;
  }
  return LoadBitmapNumber(static_cast<int>(image));
}

// The drawing for the DPI, the design size where the program has no such drawing; with an ink,
// a glyph of it.
HBITMAP LoadBitmapResource(ImageId image, int dpi, std::optional<COLORREF> ink) {
  const HBITMAP bitmap = LoadBitmapForDpi(image, dpi);
  BITMAP info{};
  if (ink.has_value() && bitmap != nullptr && ::GetObjectA(bitmap, sizeof info, &info) != 0 &&
      info.bmBits != nullptr && info.bmBitsPixel == AlphaBitsPerPixel) {
    InkGlyph(static_cast<std::uint8_t*>(info.bmBits),
             static_cast<std::size_t>(info.bmWidth) * std::abs(info.bmHeight), *ink);
  }
  return bitmap;
}

bool HighContrastOn() {
  HIGHCONTRASTA scheme{};
  scheme.cbSize = sizeof scheme;
  return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof scheme, &scheme, 0) &&
         (scheme.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

} // namespace

std::optional<COLORREF> InkFor(GlyphState state) {
  if (!HighContrastOn()) {
    return std::nullopt;
  }
  const SchemeColours scheme{::GetSysColor(COLOR_BTNTEXT), ::GetSysColor(COLOR_BTNFACE),
                             ::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_HIGHLIGHT),
                             ::GetSysColor(COLOR_GRAYTEXT)};
  return GlyphInk(state, scheme);
}

HICON LoadIconSized(ImageId icon, int size) {
  // Windows Vista and later; comctl32 is loaded already, imported by the program.
  using ScaleDownFunction = HRESULT WINAPI(HINSTANCE, PCWSTR, int, int, HICON*);
  static auto* const scaleDown = reinterpret_cast<ScaleDownFunction*>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA(CommonControls), "LoadIconWithScaleDown")));
  const int number = static_cast<int>(icon);
  HICON loaded = nullptr;
  if (scaleDown != nullptr &&
      SUCCEEDED(scaleDown(Instance(), MAKEINTRESOURCEW(number), size, size, &loaded))) {
    return loaded;
  }
  return static_cast<HICON>(
      ::LoadImageA(Instance(), MAKEINTRESOURCEA(number), IMAGE_ICON, size, size, 0));
}

HIMAGELIST LoadImageStrip(ImageId images, int dpi, std::optional<COLORREF> ink) {
  const HBITMAP bitmap = LoadBitmapResource(images, dpi, ink);
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
    list = ::ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, count, 0);
    if (list != nullptr && info.bmBitsPixel == AlphaBitsPerPixel && info.bmBits != nullptr) {
      const HBITMAP mask = MaskFromAlpha(info);
      ::ImageList_Add(list, bitmap, mask);
      if (mask != nullptr) {
        ::DeleteObject(mask);
      }
    }
  }
  ::DeleteObject(bitmap);
  return list;
}

HBITMAP LoadPicture(ImageId picture, int dpi) {
  const HBITMAP bitmap = LoadBitmapResource(picture, dpi, InkFor(GlyphState::Normal));
  BITMAP info{};
  if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof info, &info) == 0 ||
      info.bmBits == nullptr || info.bmBitsPixel != AlphaBitsPerPixel) {
    return bitmap;
  }
  // A static control draws a bitmap as it is, so its soft edges are blended here with the face
  // the control stands on.
  const COLORREF background = ::GetSysColor(COLOR_BTNFACE);
  auto* rows = static_cast<std::uint8_t*>(info.bmBits);
  const int height = std::abs(info.bmHeight);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = rows + static_cast<std::ptrdiff_t>(y) * info.bmWidthBytes;
    for (int x = 0; x < info.bmWidth; ++x) {
      Flatten(row + x * BytesPerPixel, background);
    }
  }
  return bitmap;
}

HIMAGELIST LoadGlyph(ImageId glyph, int dpi, std::optional<COLORREF> ink) {
  HIMAGELIST list = LoadImageStrip(glyph, dpi, ink);
  // Further images of a glyph strip are state variants; the controls draw their states from
  // the first one.
  if (list != nullptr && ::ImageList_GetImageCount(list) > 1) {
    ::ImageList_SetImageCount(list, 1);
  }
  return list;
}

HIMAGELIST KeepImages(FormData& data, const Control& control, HIMAGELIST images, GlyphState state) {
  HIMAGELIST& kept = data.images[{&control, state}];
  const HIMAGELIST previous = kept != images ? kept : nullptr;
  kept = images;
  return previous;
}

void FreeImages(HIMAGELIST images) {
  if (images != nullptr) {
    ::ImageList_Destroy(images);
  }
}

void ShowPicture(FormData& data, const Control& control, HWND window, HBITMAP picture) {
  HBITMAP& kept = data.pictures[&control];
  const HBITMAP previous = kept;
  kept = picture;
  // A static control of comctl32 6 shows a copy of a bitmap with alpha and hands that copy back
  // when it gets another one; both the copy and the bitmap it was made from are the program's.
  const auto handedBack = reinterpret_cast<HBITMAP>(
      ::SendMessageA(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
  for (const HBITMAP old : {previous, handedBack != previous ? handedBack : nullptr}) {
    if (old != nullptr && old != picture) {
      ::DeleteObject(old);
    }
  }
}

void TakeBackPictures(FormData& data) {
  for (auto& [control, picture] : data.pictures) {
    if (control->native != 0) {
      ShowPicture(data, *control, WindowOf(*control), nullptr);
    }
  }
}

HIMAGELIST ImagesOf(const FormData& data, const Control& control, GlyphState state) {
  const auto found = data.images.find({&control, state});
  return found == data.images.end() ? nullptr : found->second;
}

void ReleaseImages(FormData& data) {
  for (const auto& [control, images] : data.images) {
    FreeImages(images);
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
