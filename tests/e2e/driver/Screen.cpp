#include "tests/e2e/driver/Screen.h"

#include <vector>

#include "tests/e2e/driver/Input.h"
#include "tests/e2e/driver/Wait.h"

namespace e2e {
namespace {

// The pixels of a bitmap of width x height, as 0x00RRGGBB, top row first.
std::vector<DWORD> PixelsOf(HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
  GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  for (DWORD& pixel : pixels) pixel &= 0x00FFFFFF;
  return pixels;
}

// The icon drawn on a plain background of the given colour.
std::vector<DWORD> DrawnOn(HICON icon, int size, COLORREF background) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH brush = CreateSolidBrush(background);
  RECT all{0, 0, size, size};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  SelectObject(dc, old);
  std::vector<DWORD> pixels = PixelsOf(dc, bitmap, size, size);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::vector<DWORD> ScreenPixels(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(dc, old);
  std::vector<DWORD> pixels = PixelsOf(dc, bitmap, width, height);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

HICON LoadIconOfFile(const std::string& exe, int id) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return nullptr;
  // The module stays loaded: the icon's image comes from it.
  return LoadIconA(module, MAKEINTRESOURCEA(id));
}

namespace {

std::optional<POINT> FindDrawnIcon(HICON icon, const RECT& area, int size) {
  // A pixel that comes out the same on black and on white is opaque.
  const std::vector<DWORD> onBlack = DrawnOn(icon, size, RGB(0, 0, 0));
  const std::vector<DWORD> onWhite = DrawnOn(icon, size, RGB(255, 255, 255));
  struct Pixel {
    int x, y;
    DWORD colour;
  };
  std::vector<Pixel> opaque;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::size_t i = static_cast<std::size_t>(y) * size + x;
      if (onBlack[i] == onWhite[i]) opaque.push_back({x, y, onBlack[i]});
    }
  }
  if (opaque.empty()) return std::nullopt;

  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width < size || height < size) return std::nullopt;
  const std::vector<DWORD> shown = ScreenPixels(area);
  for (int top = 0; top + size <= height; ++top) {
    for (int left = 0; left + size <= width; ++left) {
      bool all = true;
      for (const Pixel& p : opaque) {
        if (shown[static_cast<std::size_t>(top + p.y) * width + left + p.x] != p.colour) {
          all = false;
          break;
        }
      }
      if (all) return POINT{area.left + left, area.top + top};
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<POINT> FindIconOnScreen(HICON icon, const RECT& area, int size) {
  if (icon == nullptr) return std::nullopt;
  // A caption shows either the icon scaled to the size or the icon
  // resource's own image of that size.
  if (std::optional<POINT> found = FindDrawnIcon(icon, area, size)) return found;
  HICON sized = static_cast<HICON>(
      CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
  if (sized == nullptr) return std::nullopt;
  std::optional<POINT> found = FindDrawnIcon(sized, area, size);
  DestroyIcon(sized);
  return found;
}

bool CaptionShowsIcon(HWND topLevel, HICON icon, DWORD timeoutMs) {
  if (!BringToFront(topLevel)) return false;
  POINT menu = CaptionPoint(topLevel, HTSYSMENU);
  if (menu.x < 0) return false;
  // The system-menu part of the caption holds the small icon; look a little
  // around it.
  const int size = GetSystemMetrics(SM_CXSMICON);
  RECT area{menu.x - size - 4, menu.y - size - 4, menu.x + size + 4, menu.y + size + 4};
  RECT window{};
  GetWindowRect(topLevel, &window);
  if (area.left < window.left) area.left = window.left;
  if (area.top < window.top) area.top = window.top;
  return WaitUntil([&] { return FindIconOnScreen(icon, area, size).has_value(); },
                   timeoutMs);
}

}  // namespace e2e
