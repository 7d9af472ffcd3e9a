#include "ui/win32/action_icons.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace chronel::win32ui {
namespace {

// Whether pixel (x, y) of a 16 × 16 picture belongs to the shape; the shapes are simple enough
// to read as geometry: a cross, a bar, a pencil stroke, an X and two arrow heads.
using TShape = bool (*)(double x, double y);

bool Inside(double v) { return v >= 2 && v <= 13; }
bool Plus(double x, double y) {
  return (std::abs(x - 7.5) < 1.6 && Inside(y)) || (std::abs(y - 7.5) < 1.6 && Inside(x));
}
bool Minus(double x, double y) { return std::abs(y - 7.5) < 1.6 && Inside(x); }
bool Pencil(double x, double y) { return std::abs(x - (15 - y)) < 1.8 && Inside(y) && Inside(x); }
bool Cross(double x, double y) {
  return (std::abs(x - y) < 1.5 || std::abs(x - (15 - y)) < 1.5) && Inside(x) && Inside(y);
}
bool ArrowUp(double x, double y) { return y >= 3 && y <= 12 && std::abs(x - 7.5) <= (y - 3) * 0.6; }
bool ArrowDown(double x, double y) { return ArrowUp(x, 15 - y); }

struct TPicture {
  TShape Shape;
  COLORREF Colour;
};
constexpr TPicture kPictures[] = {
    {Plus, RGB(0, 140, 0)},     {Minus, RGB(200, 0, 0)},   {Pencil, RGB(0, 70, 180)},
    {Cross, RGB(200, 0, 0)},    {ArrowUp, RGB(0, 70, 180)}, {ArrowDown, RGB(0, 70, 180)},
};
constexpr COLORREF kDisabledColour = RGB(150, 150, 150);

// A 32-bit picture with alpha for the shape's pixels and a mask that shows the rest through.
HICON MakeIcon(TShape shape, COLORREF colour) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kActionIconSize;
  info.bmiHeader.biHeight = -kActionIconSize;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP colourBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (colourBitmap == nullptr) return nullptr;
  // Monochrome mask rows are padded to 16 bits; a set bit lets the background show.
  std::vector<uint8_t> mask(kActionIconSize * 2, 0xFF);
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < kActionIconSize; ++y) {
    for (int x = 0; x < kActionIconSize; ++x) {
      const bool on = shape(x, y);
      pixels[y * kActionIconSize + x] =
          on ? 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour)
             : 0;
      if (on) mask[y * 2 + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
    }
  }
  HBITMAP maskBitmap = CreateBitmap(kActionIconSize, kActionIconSize, 1, 1, mask.data());
  ICONINFO icon{TRUE, 0, 0, maskBitmap, colourBitmap};
  HICON result = CreateIconIndirect(&icon);
  DeleteObject(maskBitmap);
  DeleteObject(colourBitmap);
  return result;
}

}  // namespace

TActionIcons::TActionIcons() {
  for (int i = 0; i < kCount; ++i) {
    enabled_[i] = MakeIcon(kPictures[i].Shape, kPictures[i].Colour);
    disabled_[i] = MakeIcon(kPictures[i].Shape, kDisabledColour);
  }
}

TActionIcons::~TActionIcons() {
  for (HICON icon : enabled_) DestroyIcon(icon);
  for (HICON icon : disabled_) DestroyIcon(icon);
}

HICON TActionIcons::Icon(int imageIndex, bool enabled) const {
  if (imageIndex < 0 || imageIndex >= kCount) return nullptr;
  return enabled ? enabled_[imageIndex] : disabled_[imageIndex];
}

}  // namespace chronel::win32ui
