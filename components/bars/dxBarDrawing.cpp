#include "components/bars/dxBarDrawing.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxStyles.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

void DrawTransparentSizeGrip(HDC dc, const TRect& rect) {
  const Integer width = rect.Right - rect.Left;
  const Integer height = rect.Bottom - rect.Top;
  if (width <= 0 || height <= 0) return;
  // The glyph on its button-face background.
  HDC imageDC = CreateCompatibleDC(dc);
  HBITMAP image = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ oldImage = SelectObject(imageDC, image);
  TRect glyph{0, 0, width, height};
  DrawFrameControl(imageDC, &glyph, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  // The mask: white where the background shows, black under the grip's lines.
  HDC maskDC = CreateCompatibleDC(dc);
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  const COLORREF oldImageBk = SetBkColor(imageDC, GetSysColor(COLOR_BTNFACE));
  BitBlt(maskDC, 0, 0, width, height, imageDC, 0, 0, SRCCOPY);
  SetBkColor(imageDC, oldImageBk);
  // Monochrome sources turn black into the text colour and white into the background colour.
  const COLORREF oldText = SetTextColor(dc, 0x000000);
  const COLORREF oldBk = SetBkColor(dc, 0xFFFFFF);
  const COLORREF oldImageText = SetTextColor(imageDC, 0x000000);
  const COLORREF oldImageBk2 = SetBkColor(imageDC, 0xFFFFFF);
  // The lines' pixels of the destination become white, the image's background becomes white,
  // and the image is then laid over with AND: only the lines change what the DC shows.
  BitBlt(dc, rect.Left, rect.Top, width, height, maskDC, 0, 0, MERGEPAINT);
  BitBlt(imageDC, 0, 0, width, height, maskDC, 0, 0, SRCPAINT);
  BitBlt(dc, rect.Left, rect.Top, width, height, imageDC, 0, 0, SRCAND);
  SetTextColor(imageDC, oldImageText);
  SetBkColor(imageDC, oldImageBk2);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
  SelectObject(maskDC, oldMask);
  DeleteObject(mask);
  DeleteDC(maskDC);
  SelectObject(imageDC, oldImage);
  DeleteObject(image);
  DeleteDC(imageDC);
}

// ---- Polygons and arrows

void FillPolygonWithColors(HDC dc, const TPoint* points, Integer count, TColor fill, TColor outline) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(fill));
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(outline));
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Polygon(dc, points, int(count));
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

TPoint DrawSmallTriangle(HDC dc, TColor color, Integer size, Boolean vertical, const TRect& rect) {
  const Integer across = 2 * size - 1;  // the long side
  const Integer width = vertical ? across : size;
  const Integer height = vertical ? size : across;
  const TPoint corner{rect.Left + (rect.Right - rect.Left - width) / 2, rect.Top + (rect.Bottom - rect.Top - height) / 2};
  const Integer x = corner.X, y = corner.Y;
  TPoint points[3];
  if (vertical)
    points[0] = {x, y}, points[1] = {x + 2 * size - 2, y}, points[2] = {x + size - 1, y + size - 1};
  else
    points[0] = {x, y}, points[1] = {x, y + 2 * size - 2}, points[2] = {x + size - 1, y + size - 1};
  FillPolygonWithColors(dc, points, 3, color, color);
  return corner;
}

void DrawArrowEmboss(HDC dc, TPoint corner, Integer size, Boolean vertical) {
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const Integer x = corner.X, y = corner.Y;
  if (vertical) {
    MoveToEx(dc, x + size, y + size - 1, nullptr);
    LineTo(dc, x + 2 * size - 1, y);
    MoveToEx(dc, x + size, y + size, nullptr);
    LineTo(dc, x + 2 * size, y);
  } else {
    MoveToEx(dc, x + size - 1, y + size, nullptr);
    LineTo(dc, x, y + 2 * size - 1);
    MoveToEx(dc, x + size, y + size, nullptr);
    LineTo(dc, x, y + 2 * size);
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void DrawItemArrow(HDC dc, const TRect& rect, Boolean down, TColor color, Boolean noEmboss, Boolean enabled,
                   Boolean selected, Integer size) {
  if (color == clDefault) {
    if (!enabled)
      color = clBtnShadow;
    else if (!selected)
      color = clBtnText;
    else
      color = ColorToRGB(clBtnFace) == ColorToRGB(clWhite) ? clBtnFace : clHighlightText;
  }
  const TPoint corner = DrawSmallTriangle(dc, color, size, down, rect);
  if (!enabled && !noEmboss) DrawArrowEmboss(dc, corner, size, down);
}

// ---- Frames

void FrameHighlightRect(HDC dc, const TRect& rect) { FrameRect(dc, &rect, GetSysColorBrush(COLOR_HIGHLIGHT)); }

void DrawDoubleFrame(HDC dc, const TRect& rect, Integer sysColor) {
  HBRUSH brush = GetSysColorBrush(int(sysColor));
  TRect r = rect;
  FrameRect(dc, &r, brush);
  r.Left += 1, r.Top += 1, r.Right -= 1, r.Bottom -= 1;
  FrameRect(dc, &r, brush);
}

void DrawDottedFocusRect(HDC dc, const TRect& rect) {
  const COLORREF color = GetSysColor(COLOR_BTNTEXT);
  auto dot = [&](Integer x, Integer y) {
    if ((x + y) % 2 == 0) SetPixel(dc, x, y, color);
  };
  TRect r = rect;
  for (int ring = 0; ring < 2 && r.Right > r.Left && r.Bottom > r.Top; ++ring) {
    for (Integer x = r.Left; x < r.Right; ++x) dot(x, r.Top), dot(x, r.Bottom - 1);
    for (Integer y = r.Top + 1; y < r.Bottom - 1; ++y) dot(r.Left, y), dot(r.Right - 1, y);
    r.Left += 1, r.Top += 1, r.Right -= 1, r.Bottom -= 1;
  }
}

// ---- Tiles and brushes

void TileBitmap(HDC dc, const TRect& rect, const TRect& origin, TBitmap* bitmap) {
  if (orv::IsBitmapEmpty(bitmap) || origin.Right <= origin.Left || origin.Bottom <= origin.Top) return;
  HRGN region = nullptr;
  Boolean hadRegion = false;
  SaveClipRegion(dc, region, hadRegion);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  // The foundation's tiling is aligned to the DC's origin: move that origin to the anchor.
  POINT oldOrigin{};
  OffsetWindowOrgEx(dc, -origin.Left, -origin.Top, &oldOrigin);
  orv::TileBitmap(dc, TRect{rect.Left - origin.Left, rect.Top - origin.Top, rect.Right - origin.Left, rect.Bottom - origin.Top},
                  bitmap);
  SetWindowOrgEx(dc, oldOrigin.X, oldOrigin.Y, nullptr);
  RestoreClipRegion(dc, region, hadRegion);
}

void FillRectOrTile(HDC dc, const TRect& rect, const TRect& origin, TBitmap* bitmap, TColor color, HBRUSH brush) {
  if (!orv::IsBitmapEmpty(bitmap)) {
    TileBitmap(dc, rect, origin, bitmap);
    return;
  }
  if (brush) {
    FillRect(dc, &rect, brush);
    return;
  }
  HBRUSH solid = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &rect, solid);
  DeleteObject(solid);
}

namespace {
HBRUSH& CheckeredBrushSlot() {
  static HBRUSH brush = nullptr;
  return brush;
}
}  // namespace

void RebuildCheckeredBrush() {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP pattern = CreateCompatibleBitmap(screen, 8, 8);
  HGDIOBJ old = SelectObject(memory, pattern);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), face = GetSysColor(COLOR_BTNFACE);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(memory, x, y, (x % 2) == (y % 2) ? face : highlight);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  HBRUSH& slot = CheckeredBrushSlot();
  if (slot) DeleteObject(slot);
  slot = CreatePatternBrush(pattern);
  DeleteObject(pattern);
}

HBRUSH CheckeredBrush() {
  if (!CheckeredBrushSlot()) RebuildCheckeredBrush();
  return CheckeredBrushSlot();
}

// ---- Clip regions

void SaveClipRegion(HDC dc, HRGN& region, Boolean& hadRegion) {
  region = CreateRectRgn(0, 0, 0, 0);
  hadRegion = GetClipRgn(dc, region) == 1;
}

void RestoreClipRegion(HDC dc, HRGN& region, Boolean hadRegion) {
  SelectClipRgn(dc, hadRegion ? region : nullptr);
  DeleteObject(region);
  region = nullptr;
}

void UnionClipWithRect(HDC dc, const TRect& rect) {
  HRGN region = CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom);
  ExtSelectClipRgn(dc, region, RGN_OR);
  DeleteObject(region);
}

// ---- Glyph looks

namespace {
// Inactive glyphs are drawn light; nothing in this system switches it off.
constexpr Boolean kFadeInactiveGlyphs = true;
// Menu sounds are on; nothing in this system switches them off.
constexpr Boolean kMenuSounds = true;
}  // namespace

Integer BarGlyphDrawMode(const TdxBarGlyphLookFlags& f, Integer colorDepth) {
  if (colorDepth < 0) colorDepth = ScreenColorDepth();
  if (!f.CanDrawStateImage) return f.FadedDisabledImages ? idmFaded : idmDisabled;
  if (f.GrayScale) return idmGrayScale;
  if (!f.UsesGlyphShadow) return idmNormal;
  if (!f.Selected && !f.Down && kFadeInactiveGlyphs && colorDepth > 8) return idmLight;
  if (f.ShadowsOffset && f.Selected && !f.Sunken) return idmShadowed;
  return idmNormal;
}

// ---- Glyph drawing and its cache

namespace {
// The glyph bitmap as the foundation's bitmap class; nil without one.
std::unique_ptr<TcxBitmap, orv::FreeDeleter> FoundationGlyph(TBitmap* glyph) {
  std::unique_ptr<TcxBitmap, orv::FreeDeleter> copy;
  if (!glyph || glyph->GetEmpty()) return copy;
  copy.reset(new TcxBitmap);
  copy->Assign(glyph);
  return copy;
}
}  // namespace

TdxCachedImageOptions::TdxCachedImageOptions() : FImage(new TcxAlphaBitmap) {}

TdxCachedImageOptions::~TdxCachedImageOptions() { orv::Free(FImage); }

Boolean TdxCachedImageOptions::IsValid(Integer drawMode, TCustomImageList* images, TBitmap* glyph) const {
  if (!FCached || FDrawMode != drawMode || FImage->GetEmpty()) return false;
  return glyph ? FGlyph == glyph : (FGlyph == nullptr && FImages == images);
}

void TdxCachedImageOptions::Fill(const TRect& glyphRect, Integer drawMode, TCustomImageList* images, Integer imageIndex,
                                 TBitmap* glyph, TColor transparentColor, Boolean useGlyphTransparentColor,
                                 Boolean smooth) {
  FCached = false;
  ResizeAlphaBitmap(FImage, glyphRect.Width(), glyphRect.Height());
  auto source = FoundationGlyph(glyph);
  const TRect bounds = FImage->GetBoundsRect();
  DrawGlyphOrImage(FImage->GetCanvas()->GetDCHandle(), bounds, bounds, source.get(), images, imageIndex,
                   TcxImageDrawMode(drawMode), smooth, nullptr, transparentColor, useGlyphTransparentColor);
  FDrawMode = drawMode;
  FImages = images;
  FGlyph = source ? glyph : nullptr;
  FCached = true;
}

void DrawItemGlyphImage(TdxCachedImageOptions* cache, HDC dc, HBRUSH brush, Boolean useLeftBottomPixelAsTransparent,
                        Boolean smooth, const TdxBarGlyphLookFlags& flags, TColor transparentColor, Integer imageIndex,
                        TCustomImageList* images, TBitmap* glyph, const TRect& area, const TRect& glyphRect) {
  if (glyph && glyph->GetEmpty()) glyph = nullptr;
  // Bitmap glyphs carry their own transparency: the list's background colour is not theirs.
  const TColor transparent = glyph ? clNone : transparentColor;
  const Integer mode = BarGlyphDrawMode(flags);
  if (cache && mode != idmShadowed) {
    if (!cache->IsValid(mode, images, glyph))
      cache->Fill(glyphRect, mode, images, imageIndex, glyph, transparent, useLeftBottomPixelAsTransparent, smooth);
    if (!cache->IsValid(mode, images, glyph)) return;
    // The cached picture already has its look: copied as it is, not handed to the hook again.
    const TcxDrawGlyphHook hook = cxDrawGlyphHook;
    cxDrawGlyphHook = nullptr;
    try {
      DrawGlyphOrImage(dc, glyphRect, area, cache->GetImage(), nullptr, -1, idmNormal, false, brush, clNone, false);
    } catch (...) {
      cxDrawGlyphHook = hook;
      throw;
    }
    cxDrawGlyphHook = hook;
    return;
  }
  auto source = FoundationGlyph(glyph);
  DrawGlyphOrImage(dc, glyphRect, area, source.get(), images, imageIndex, TcxImageDrawMode(mode), smooth, brush,
                   transparent, useLeftBottomPixelAsTransparent);
}

// ---- System state

namespace {
Integer& ColorDepthSlot() {
  static Integer depth = -1;
  return depth;
}
}  // namespace

void ReadScreenColorDepth() {
  HDC screen = GetDC(nullptr);
  ColorDepthSlot() = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
}

Integer ScreenColorDepth() {
  if (ColorDepthSlot() < 0) ReadScreenColorDepth();
  return ColorDepthSlot();
}

TColor NearestScreenColor(TColor color) {
  HDC screen = GetDC(nullptr);
  const COLORREF nearest = GetNearestColor(screen, ColorToRGB(color));
  ReleaseDC(nullptr, screen);
  return TColor(nearest);
}

Integer ScaleByScreenDPI(Integer value, Integer baseDPI) {
  HDC screen = GetDC(nullptr);
  const Integer dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (baseDPI <= 0) return value;
  const long long scaled = (long long)value * dpi;
  // Rounded half away from zero.
  return Integer(scaled >= 0 ? (scaled + baseDPI / 2) / baseDPI : -((-scaled + baseDPI / 2) / baseDPI));
}

Boolean IsMouseButtonDown(Integer button, Integer swappedButton) {
  const Integer key = GetSystemMetrics(SM_SWAPBUTTON) ? swappedButton : button;
  return (GetAsyncKeyState(int(key)) & 0x8000) != 0;
}

Boolean IsLeftMouseButtonDown() { return IsMouseButtonDown(VK_LBUTTON, VK_RBUTTON); }
Boolean IsRightMouseButtonDown() { return IsMouseButtonDown(VK_RBUTTON, VK_LBUTTON); }

namespace {
void FlushMessages(UINT first, UINT last) {
  MSG msg;
  while (PeekMessage(&msg, nullptr, first, last, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      return;
    }
    DispatchMessage(&msg);
  }
}
}  // namespace

void FlushMouseMessages() { FlushMessages(WM_MOUSEFIRST, WM_MOUSEWHEEL); }
void FlushPaintMessages() { FlushMessages(WM_PAINT, WM_PAINT); }

void PlayMenuSound(TdxBarMenuSound sound) {
  if (!kMenuSounds) return;
  static const char* const names[] = {"MenuPopup", "MenuCommand", nullptr};
  PlaySound(names[sound], nullptr, SND_ASYNC | SND_NODEFAULT | SND_NOWAIT | SND_ALIAS);
}

void StopMenuSound() { PlayMenuSound(msNone); }

// ---- Fonts

namespace {
constexpr Integer kMinFontHeight = 11;
}

void AssignBarFont(TFont* source, TFont* target, Boolean systemHeight) {
  target->Assign(source);
  // Edits take the height of the icon-title font, the system's font of small editable texts.
  LOGFONT iconTitle{};
  if (systemHeight && SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof(iconTitle), &iconTitle, 0))
    target->SetHeight(std::abs(iconTitle.lfHeight) < kMinFontHeight ? -kMinFontHeight : iconTitle.lfHeight);
}

HFONT CreateSmallCaptionFont(TFont* font, Boolean useSystem) {
  NONCLIENTMETRICS metrics;
  if (!SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
  LOGFONT caption = metrics.lfSmCaptionFont;
  if (!useSystem) {
    if (std::abs(caption.lfHeight) < kMinFontHeight) caption.lfHeight = -kMinFontHeight;
    std::memset(caption.lfFaceName, 0, sizeof(caption.lfFaceName));
    const AnsiString& name = font->GetName();
    std::memcpy(caption.lfFaceName, name.c_str(), std::min<size_t>(name.size(), LF_FACESIZE - 1));
  }
  return CreateFontIndirect(&caption);
}

HFONT CopyFontHandle(HFONT font) {
  LOGFONT logFont{};
  GetObject(font, sizeof(logFont), &logFont);
  return CreateFontIndirect(&logFont);
}
