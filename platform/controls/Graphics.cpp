#include "platform/controls/Graphics.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/controls/Jpeg.h"
#include "platform/controls/PngImage.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

using TBitmapPtr = std::unique_ptr<TBitmap, orv::FreeDeleter>;

// A memory DC for the duration of a block, with one bitmap selected.
class TMemoryDC {
 public:
  explicit TMemoryDC(HBITMAP bitmap) : FDC(CreateCompatibleDC(nullptr)) {
    if (bitmap) FOld = SelectObject(FDC, bitmap);
  }
  ~TMemoryDC() {
    if (FOld) SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
  HGDIOBJ FOld = nullptr;
};

// A BITMAPINFO with room for a full colour table.
struct TBitmapInfoBuffer {
  std::vector<Byte> Data = std::vector<Byte>(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) + 16);
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(Data.data()); }
  BITMAPINFOHEADER& Header() { return Info()->bmiHeader; }
};

Integer DibStride(Integer width, Integer bpp) { return ((width * bpp + 31) / 32) * 4; }

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }

std::uint16_t ReadU16(const Byte* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t ReadU32(const Byte* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}
void PutU16(Byte* p, std::uint32_t v) {
  p[0] = Byte(v);
  p[1] = Byte(v >> 8);
}
void PutU32(Byte* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = Byte(v >> (8 * i));
}

TPixelFormat FormatOfBits(Integer bpp) {
  switch (bpp) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
  }
}

// The pixels of a bitmap handle as top-down 32-bit rows.
std::vector<orv::TPixel> ReadPixels(HBITMAP bitmap, Integer width, Integer height) {
  std::vector<orv::TPixel> pixels(std::size_t(width) * std::size_t(height));
  if (!bitmap || pixels.empty()) return pixels;
  TBitmapInfoBuffer b;
  b.Header().biWidth = width;
  b.Header().biHeight = -height;
  b.Header().biBitCount = 32;
  TMemoryDC dc(nullptr);
  GetDIBits(dc, bitmap, 0, UINT(height), pixels.data(), b.Info(), DIB_RGB_COLORS);
  return pixels;
}

void WritePixels(HBITMAP bitmap, Integer width, Integer height, const orv::TPixel* pixels) {
  if (!bitmap || width <= 0 || height <= 0) return;
  TBitmapInfoBuffer b;
  b.Header().biWidth = width;
  b.Header().biHeight = -height;
  b.Header().biBitCount = 32;
  TMemoryDC dc(nullptr);
  SetDIBits(dc, bitmap, 0, UINT(height), pixels, b.Info(), DIB_RGB_COLORS);
}


}  // namespace

// ---- TGraphicsObject --------------------------------------------------------------------------

void TGraphicsObject::Changed() {
  if (FOnChange) FOnChange(this);
}

// ---- TFont ------------------------------------------------------------------------------------

TFont::TFont() : FColor(clWindowText), FName("MS Sans Serif"), FCharset(DEFAULT_CHARSET) {}

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

void TFont::Changed() {
  FreeHandle();
  inherited::Changed();
}

void TFont::Assign(TPersistent* source) {
  if (auto* f = dynamic_cast<TFont*>(source)) {
    if (f == this) return;
    FColor = f->FColor;
    // A font of another resolution keeps its point size.
    FHeight = f->FPixelsPerInch == FPixelsPerInch
                  ? f->FHeight
                  : -MulDiv(f->GetSize(), FPixelsPerInch, 72);
    FName = f->FName;
    FStyle = f->FStyle;
    FPitch = f->FPitch;
    FCharset = f->FCharset;
    FOrientation = f->FOrientation;
    Changed();
    return;
  }
  inherited::Assign(source);
}

LOGFONT TFont::GetLogFont() const {
  LOGFONT lf;
  lf.lfHeight = FHeight;
  lf.lfEscapement = FOrientation;
  lf.lfOrientation = FOrientation;
  lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
  lf.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = FCharset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = FPitch == fpVariable ? VARIABLE_PITCH : FPitch == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
  const std::size_t n = std::min<std::size_t>(FName.size(), LF_FACESIZE - 1);
  std::memcpy(lf.lfFaceName, FName.data(), n);
  lf.lfFaceName[n] = 0;
  return lf;
}

HFONT TFont::GetHandle() {
  if (!FHandle) {
    const LOGFONT lf = GetLogFont();
    FHandle = CreateFontIndirect(&lf);
  }
  return FHandle;
}

void TFont::SetHandle(HFONT value) {
  LOGFONT lf;
  if (!value || GetObject(value, sizeof lf, &lf) == 0) return;
  FHeight = lf.lfHeight;
  FOrientation = lf.lfEscapement;
  TFontStyles style;
  if (lf.lfWeight >= FW_BOLD) style.Include(fsBold);
  if (lf.lfItalic) style.Include(fsItalic);
  if (lf.lfUnderline) style.Include(fsUnderline);
  if (lf.lfStrikeOut) style.Include(fsStrikeOut);
  FStyle = style;
  FCharset = lf.lfCharSet;
  FName = lf.lfFaceName;
  const int pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == VARIABLE_PITCH ? fpVariable : pitch == FIXED_PITCH ? fpFixed : fpDefault;
  Changed();
}

void TFont::SetColor(TColor value) {
  if (FColor == value) return;
  FColor = value;
  // The colour is not part of the handle.
  inherited::Changed();
}

void TFont::SetHeight(Integer value) {
  if (FHeight == value) return;
  FHeight = value;
  Changed();
}

Integer TFont::GetSize() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(Integer value) { SetHeight(-MulDiv(value, FPixelsPerInch, 72)); }

void TFont::SetName(const TFontName& value) {
  if (FName == value || value.empty()) return;
  FName = value;
  Changed();
}

void TFont::SetStyle(TFontStyles value) {
  if (FStyle == value) return;
  FStyle = value;
  Changed();
}

void TFont::SetPitch(TFontPitch value) {
  if (FPitch == value) return;
  FPitch = value;
  Changed();
}

void TFont::SetCharset(TFontCharset value) {
  if (FCharset == value) return;
  FCharset = value;
  Changed();
}

void TFont::SetOrientation(Integer value) {
  if (FOrientation == value) return;
  FOrientation = value;
  Changed();
}

// ---- TPen -------------------------------------------------------------------------------------

TPen::~TPen() { FreeHandle(); }

void TPen::FreeHandle() {
  if (FHandle && FOwnsHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FOwnsHandle = true;
}

void TPen::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TPen*>(source)) {
    if (p == this) return;
    FreeHandle();
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Changed();
    return;
  }
  inherited::Assign(source);
}

HPEN TPen::GetHandle() {
  if (!FHandle) {
    static constexpr int kStyles[] = {PS_SOLID, PS_DASH,    PS_DOT,        PS_DASHDOT,
                                      PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = CreatePen(kStyles[FStyle], FWidth, ColorToRGB(FColor));
    FOwnsHandle = true;
  }
  return FHandle;
}

void TPen::SetHandle(HPEN value) {
  FreeHandle();
  LOGPEN lp;
  if (value && GetObject(value, sizeof lp, &lp) == sizeof lp) {
    FColor = TColor(lp.lopnColor);
    FWidth = lp.lopnWidth.X;
    const UINT style = lp.lopnStyle & 0xF;
    FStyle = style <= 6 ? TPenStyle(style) : psSolid;
  }
  FHandle = value;
  FOwnsHandle = false;
  Changed();
}

void TPen::SetColor(TColor value) {
  if (FColor == value) return;
  FreeHandle();
  FColor = value;
  Changed();
}

void TPen::SetWidth(Integer value) {
  if (FWidth == value || value < 0) return;
  FreeHandle();
  FWidth = value;
  Changed();
}

void TPen::SetStyle(TPenStyle value) {
  if (FStyle == value) return;
  FreeHandle();
  FStyle = value;
  Changed();
}

void TPen::SetMode(TPenMode value) {
  if (FMode == value) return;
  FMode = value;
  Changed();
}

// ---- TBrush -----------------------------------------------------------------------------------

TBrush::~TBrush() { FreeHandle(); }

void TBrush::FreeHandle() {
  if (FHandle && FOwnsHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FOwnsHandle = true;
}

void TBrush::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TBrush*>(source)) {
    if (b == this) return;
    FreeHandle();
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    Changed();
    return;
  }
  inherited::Assign(source);
}

HBRUSH TBrush::GetHandle() {
  if (!FHandle) {
    LOGBRUSH lb;
    lb.lbColor = ColorToRGB(FColor);
    if (FBitmap && FBitmap->GetHandle()) {
      FHandle = CreatePatternBrush(FBitmap->GetHandle());
    } else {
      switch (FStyle) {
        case bsSolid: lb.lbStyle = BS_SOLID; break;
        case bsClear: lb.lbStyle = BS_NULL; break;
        default:
          lb.lbStyle = BS_HATCHED;
          lb.lbHatch = ULONG_PTR(int(FStyle) - int(bsHorizontal));
          break;
      }
      FHandle = CreateBrushIndirect(&lb);
    }
    FOwnsHandle = true;
  }
  return FHandle;
}

void TBrush::SetHandle(HBRUSH value) {
  FreeHandle();
  LOGBRUSH lb;
  if (value && GetObject(value, sizeof lb, &lb) == sizeof lb) {
    FColor = TColor(lb.lbColor);
    FStyle = lb.lbStyle == BS_NULL      ? bsClear
             : lb.lbStyle == BS_HATCHED ? TBrushStyle(int(bsHorizontal) + int(lb.lbHatch))
                                        : bsSolid;
  }
  FBitmap = nullptr;
  FHandle = value;
  FOwnsHandle = false;
  Changed();
}

void TBrush::SetColor(TColor value) {
  if (FColor == value && FStyle != bsClear) return;
  FreeHandle();
  FColor = value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle value) {
  if (FStyle == value) return;
  FreeHandle();
  FStyle = value;
  if (value == bsClear) FBitmap = nullptr;
  Changed();
}

void TBrush::SetBitmap(TBitmap* value) {
  if (FBitmap == value) return;
  FreeHandle();
  FBitmap = value;
  Changed();
}

// ---- TCanvas ----------------------------------------------------------------------------------

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush) {
  FFont->SetOnChange(TNotifyEvent(this, &TCanvas::FontChanged));
  FPen->SetOnChange(TNotifyEvent(this, &TCanvas::PenChanged));
  FBrush->SetOnChange(TNotifyEvent(this, &TCanvas::BrushChanged));
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  FFont->Free();
  FPen->Free();
  FBrush->Free();
}

void TCanvas::Changed() {
  if (FOnChange) FOnChange(this);
}

void TCanvas::Changing() {
  if (FOnChanging) FOnChanging(this);
}

HDC TCanvas::GetHandle() {
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  return FHandle;
}

void TCanvas::SetHandle(HDC value) {
  if (FHandle == value) return;
  if (FHandle) {
    DeselectHandles();
    POINT p;
    if (GetCurrentPositionEx(FHandle, &p)) FPenPos = p;
    FHandle = nullptr;
    FState.Exclude(csHandleValid);
  }
  if (value) {
    FState.Include(csHandleValid);
    FHandle = value;
    MoveToEx(FHandle, FPenPos.X, FPenPos.Y, nullptr);
  }
}

void TCanvas::DeselectHandles() {
  if (!FHandle || !FState.Intersects({csFontValid, csPenValid, csBrushValid})) return;
  SelectObject(FHandle, GetStockObject(BLACK_PEN));
  SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  FState -= TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::RequiredState(TCanvasState state) {
  const TCanvasState needed = state - FState;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (needed.Contains(csFontValid)) CreateFont();
  if (needed.Contains(csPenValid)) CreatePen();
  if (needed.Contains(csBrushValid)) CreateBrush();
  FState += needed;
}

void TCanvas::CreateFont() {
  SelectObject(FHandle, FFont->GetHandle());
  SetTextColor(FHandle, ColorToRGB(FFont->GetColor()));
}

void TCanvas::CreatePen() {
  SelectObject(FHandle, FPen->GetHandle());
  SetROP2(FHandle, orv::PenModeRop(FPen->GetMode()));
}

void TCanvas::CreateBrush() {
  UnrealizeObject(FBrush->GetHandle());
  SelectObject(FHandle, FBrush->GetHandle());
  if (FBrush->GetStyle() == bsSolid) {
    SetBkColor(FHandle, ColorToRGB(FBrush->GetColor()));
    SetBkMode(FHandle, OPAQUE);
  } else {
    // Hatches and patterns show the background through their gaps.
    SetBkColor(FHandle, ~ColorToRGB(FBrush->GetColor()) & 0xFFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
}

void TCanvas::FontChanged(TObject*) {
  if (!FState.Contains(csFontValid)) return;
  FState.Exclude(csFontValid);
  SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
}

void TCanvas::PenChanged(TObject*) {
  if (!FState.Contains(csPenValid)) return;
  FState.Exclude(csPenValid);
  SelectObject(FHandle, GetStockObject(BLACK_PEN));
}

void TCanvas::BrushChanged(TObject*) {
  if (!FState.Contains(csBrushValid)) return;
  FState.Exclude(csBrushValid);
  SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::SetCopyMode(TCopyMode value) { FCopyMode = value; }

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color) {
  if (!bitmap) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(FHandle, &dest, FBrush->GetHandle());
  HDC src = bitmap->GetCanvas()->GetHandle();
  TransparentBlt(FHandle, dest.Left, dest.Top, dest.Width(), dest.Height(), src, source.Left,
                 source.Top, source.Width(), source.Height(), ColorToRGB(color) & 0xFFFFFF);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas->FHandle,
             source.Left, source.Top, source.Width(), source.Height(), DWORD(FCopyMode));
  Changed();
}

void TCanvas::Draw(Integer x, Integer y, TGraphic* graphic) {
  if (!graphic || graphic->GetEmpty()) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  SetBkColor(FHandle, ColorToRGB(FBrush->GetColor()));
  graphic->Draw(this, Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  graphic->Draw(this, rect);
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(FHandle, &rect);
  Changed();
}

void TCanvas::Ellipse(Integer x1, Integer y1, Integer x2, Integer y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(FHandle, x1, y1, x2, y2);
  Changed();
}

void TCanvas::FillRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(FHandle, &rect, FBrush->GetHandle());
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(FHandle, &rect, FBrush->GetHandle());
  Changed();
}

void TCanvas::LineTo(Integer x, Integer y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(FHandle, x, y);
  Changed();
}

void TCanvas::MoveTo(Integer x, Integer y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polygon(FHandle, points.data(), int(points.size()));
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(FHandle, points.data(), int(points.size()));
  Changed();
}

void TCanvas::Rectangle(Integer x1, Integer y1, Integer x2, Integer y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(FHandle, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(Integer x1, Integer y1, Integer x2, Integer y2, Integer x3, Integer y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(FHandle, x1, y1, x2, y2, x3, y3);
  Changed();
}

TSize TCanvas::TextExtent(const AnsiString& text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE size;
  GetTextExtentPoint32(FHandle, text.data(), int(text.size()), &size);
  return size;
}

void TCanvas::TextOut(Integer x, Integer y, const AnsiString& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ExtTextOut(FHandle, x, y, UINT(FTextFlags), nullptr, text.data(), UINT(text.size()), nullptr);
  MoveTo(x + TextWidth(text), y);
  Changed();
}

void TCanvas::TextRect(const TRect& rect, Integer x, Integer y, const AnsiString& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | UINT(FTextFlags);
  if (FBrush->GetStyle() != bsClear) options |= ETO_OPAQUE;
  ExtTextOut(FHandle, x, y, options, &rect, text.data(), UINT(text.size()), nullptr);
  Changed();
}

TRect TCanvas::GetClipRect() {
  RequiredState({csHandleValid});
  RECT r;
  GetClipBox(FHandle, &r);
  return r;
}

TPoint TCanvas::GetPenPos() {
  RequiredState({csHandleValid});
  POINT p;
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

TColor TCanvas::GetPixels(Integer x, Integer y) {
  RequiredState({csHandleValid});
  return TColor(::GetPixel(FHandle, x, y));
}

void TCanvas::SetPixels(Integer x, Integer y, TColor value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::SetPixel(FHandle, x, y, ColorToRGB(value));
  Changed();
}

// ---- TGraphic ---------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
  if (FTransparent == value) return;
  FTransparent = value;
  Changed(this);
}

void TGraphic::SetModified(bool value) {
  if (value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::Changed(TObject* sender) {
  FModified = true;
  if (FOnChange) FOnChange(this);
}

void TGraphic::LoadFromFile(const AnsiString& fileName) {
  std::unique_ptr<TFileStream, orv::FreeDeleter> stream(
      new TFileStream(fileName, fmOpenRead | fmShareDenyWrite));
  LoadFromStream(stream.get());
}

void TGraphic::SaveToFile(const AnsiString& fileName) {
  std::unique_ptr<TFileStream, orv::FreeDeleter> stream(new TFileStream(fileName, fmCreate));
  SaveToStream(stream.get());
}

bool TGraphic::Equals(TGraphic* graphic) {
  if (!graphic || graphic->ClassType() != ClassType()) return false;
  if (GetEmpty() || graphic->GetEmpty()) return GetEmpty() && graphic->GetEmpty();
  TMemoryStream a, b;
  WriteData(&a);
  graphic->WriteData(&b);
  return a.GetSize() == b.GetSize() &&
         std::memcmp(a.GetMemory(), b.GetMemory(), std::size_t(a.GetSize())) == 0;
}

void TGraphic::SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) {
  // A bitmap's file without its 14-byte file header is the packed DIB.
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  if (auto* self = dynamic_cast<TBitmap*>(this))
    bitmap->Assign(self);
  else
    bitmap->Assign(this);
  TMemoryStream file;
  bitmap->SaveToStream(&file);
  const std::size_t size = std::size_t(file.GetSize()) - 14;
  data = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!data) throw EOutOfMemory("Out of memory");
  std::memcpy(GlobalLock(data), static_cast<const Byte*>(file.GetMemory()) + 14, size);
  GlobalUnlock(data);
  format = Word(CF_DIB);
  palette = nullptr;
}

void TGraphic::LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) {
  if (format != CF_DIB || !data) throw EInvalidGraphic("Unsupported clipboard format");
  const std::size_t size = GlobalSize(data);
  const auto* dib = static_cast<const Byte*>(GlobalLock(data));
  if (!dib || size < 40) {
    if (dib) GlobalUnlock(data);
    throw EInvalidGraphic("Bitmap image is not valid");
  }
  // Put a file header in front: the bits follow the header and the colour table.
  const std::uint32_t headerSize = ReadU32(dib);
  const Integer bpp = headerSize >= 40 ? ReadU16(dib + 14) : 32;
  std::uint32_t colors = bpp <= 8 ? (ReadU32(dib + 32) ? ReadU32(dib + 32) : 1u << bpp) : 0;
  if (headerSize == 40 && ReadU32(dib + 16) == BI_BITFIELDS) colors = 3;
  Byte fh[14] = {'B', 'M'};
  PutU32(fh + 2, std::uint32_t(size + 14));
  PutU32(fh + 10, 14 + headerSize + colors * 4);
  TMemoryStream file;
  file.WriteBuffer(fh, 14);
  file.WriteBuffer(dib, Integer(size));
  GlobalUnlock(data);
  file.SetPosition(0);
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  bitmap->LoadFromStream(&file);
  if (auto* self = dynamic_cast<TBitmap*>(this))
    self->Assign(bitmap.get());
  else
    Assign(bitmap.get());
}

void TGraphic::ReadData(TStream* stream) { LoadFromStream(stream); }

void TGraphic::WriteData(TStream* stream) { SaveToStream(stream); }

// ---- TBitmap ----------------------------------------------------------------------------------

Integer PixelFormatBits(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit:
    case pfDevice: return 32;
    default: return 0;
  }
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  if (FCanvas) FCanvas->Free();
  FreeMask();
  if (FHandle) DeleteObject(FHandle);
}

TCanvas* TBitmap::GetCanvas() {
  if (!FCanvas) {
    FCanvas = new TBitmapCanvas(this);
    FCanvas->SetOnChange(TNotifyEvent(this, &TBitmap::Changed));
  }
  return FCanvas;
}

HBITMAP TBitmap::NewHandle(Integer width, Integer height, TPixelFormat format) {
  if (width <= 0 || height <= 0) return nullptr;
  HBITMAP h = nullptr;
  if (format == pf32bit) {
    TBitmapInfoBuffer b;
    b.Header().biWidth = width;
    b.Header().biHeight = height;
    b.Header().biBitCount = 32;
    h = CreateDIBSection(nullptr, b.Info(), DIB_RGB_COLORS, nullptr, nullptr, 0);
  } else {
    const Integer bpp = PixelFormatBits(format);
    h = CreateBitmap(width, height, 1, UINT(bpp ? bpp : 32), nullptr);
  }
  if (!h) throw EOutOfMemory("Out of system resources");
  // A new picture is white, or the canvas brush when the bitmap has a canvas.
  TMemoryDC dc(h);
  RECT r{0, 0, width, height};
  if (FCanvas) {
    ::FillRect(dc, &r, FCanvas->GetBrush()->GetHandle());
  } else {
    PatBlt(dc, 0, 0, width, height, WHITENESS);
  }
  return h;
}

void TBitmap::ReplaceHandle(HBITMAP handle, Integer width, Integer height, TPixelFormat format) {
  FScanLines.clear();
  FScanLinesValid = false;
  if (FCanvas) FCanvas->FreeContext();
  FreeMask();
  if (FHandle && FHandle != handle) DeleteObject(FHandle);
  FHandle = handle;
  FWidth = handle ? width : 0;
  FHeight = handle ? height : 0;
  FPixelFormat = format;
  FHandleType = format == pfDevice ? bmDDB : bmDIB;
}

void TBitmap::FlushScanLines() {
  if (!FScanLinesValid) return;
  FScanLinesValid = false;
  const Integer bpp = PixelFormatBits(FPixelFormat);
  TBitmapInfoBuffer b;
  b.Header().biWidth = FWidth;
  b.Header().biHeight = -FHeight;
  b.Header().biBitCount = WORD(bpp);
  TMemoryDC dc(nullptr);
  // The colour table: the one the bitmap had when the rows were read.
  GetDIBits(dc, FHandle, 0, 0, nullptr, b.Info(), DIB_RGB_COLORS);
  b.Header().biHeight = -FHeight;
  SetDIBits(dc, FHandle, 0, UINT(FHeight), FScanLines.data(), b.Info(), DIB_RGB_COLORS);
  FScanLines.clear();
}

void TBitmap::FreeMask() {
  if (FMaskHandle) DeleteObject(FMaskHandle);
  FMaskHandle = nullptr;
}

HBITMAP TBitmap::GetHandle() {
  FlushScanLines();
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP value) {
  if (value == FHandle) return;
  BITMAP bm{};
  Integer w = 0, h = 0;
  TPixelFormat format = FPixelFormat;
  if (value && GetObject(value, sizeof bm, &bm) == sizeof bm) {
    w = bm.bmWidth;
    h = bm.bmHeight;
    format = bm.bmBits ? pf32bit : (bm.bmBitsPixel == 32 ? pfDevice : FormatOfBits(bm.bmBitsPixel));
  }
  ReplaceHandle(value && w > 0 && h > 0 ? value : nullptr, w, h, format);
  if (value && !FHandle) DeleteObject(value);
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  FlushScanLines();
  if (FCanvas) FCanvas->FreeContext();
  HBITMAP h = FHandle;
  FHandle = nullptr;
  FWidth = FHeight = 0;
  FreeMask();
  return h;
}

void TBitmap::SetHandleType(TBitmapHandleType value) {
  if (value == FHandleType) return;
  SetPixelFormat(value == bmDDB ? pfDevice : pf32bit);
}

void TBitmap::SetSize(Integer width, Integer height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FWidth && height == FHeight) return;
  FlushScanLines();
  HBITMAP h = NewHandle(width, height, FPixelFormat);
  if (h && FHandle) {
    // The old picture stays in the top-left corner, every bit of it (alpha too).
    const std::vector<orv::TPixel> old = ReadPixels(FHandle, FWidth, FHeight);
    std::vector<orv::TPixel> pixels = ReadPixels(h, width, height);
    const Integer w = std::min(width, FWidth), hh = std::min(height, FHeight);
    for (Integer y = 0; y < hh; ++y)
      std::copy_n(old.begin() + std::ptrdiff_t(y) * FWidth, w, pixels.begin() + std::ptrdiff_t(y) * width);
    WritePixels(h, width, height, pixels.data());
  }
  ReplaceHandle(h, width, height, FPixelFormat);
  FWidth = width;
  FHeight = height;
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  if (value == FPixelFormat) return;
  FlushScanLines();
  if (!FHandle) {
    FPixelFormat = value;
    FHandleType = value == pfDevice ? bmDDB : bmDIB;
    Changed(this);
    return;
  }
  HBITMAP h = NewHandle(FWidth, FHeight, value);
  std::vector<orv::TPixel> pixels = ReadPixels(FHandle, FWidth, FHeight);
  WritePixels(h, FWidth, FHeight, pixels.data());
  ReplaceHandle(h, FWidth, FHeight, value);
  Changed(this);
}

void TBitmap::SetMonochrome(bool value) {
  if (value == GetMonochrome()) return;
  SetPixelFormat(value ? pf1bit : pfDevice);
}

void* TBitmap::ScanLine(Integer row) {
  if (row < 0 || row >= FHeight || !FHandle)
    throw EInvalidGraphicOperation("Scan line index out of range");
  FreeMask();
  const Integer bpp = PixelFormatBits(FPixelFormat);
  if (bpp == 32) return orv::GetBitmapSurface(FHandle)->Row(row);
  const Integer stride = DibStride(FWidth, bpp);
  if (!FScanLinesValid) {
    FScanLines.assign(std::size_t(stride) * std::size_t(FHeight), 0);
    TBitmapInfoBuffer b;
    b.Header().biWidth = FWidth;
    b.Header().biHeight = -FHeight;
    b.Header().biBitCount = WORD(bpp);
    TMemoryDC dc(nullptr);
    GetDIBits(dc, FHandle, 0, UINT(FHeight), FScanLines.data(), b.Info(), DIB_RGB_COLORS);
    FScanLinesValid = true;
  }
  return FScanLines.data() + std::size_t(row) * std::size_t(stride);
}

TColor TBitmap::GetTransparentColor() {
  TColor result;
  if (FTransparentColor == clDefault) {
    result = GetMonochrome() || GetEmpty() ? clWhite : GetCanvas()->GetPixels(0, FHeight - 1);
  } else {
    result = TColor(ColorToRGB(FTransparentColor));
  }
  return result | 0x02000000;
}

void TBitmap::SetTransparentColor(TColor value) {
  if (value == FTransparentColor) return;
  FTransparentMode = value == clDefault ? tmAuto : tmFixed;
  FTransparentColor = value;
  FreeMask();
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == FTransparentMode) return;
  if (value == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(GetTransparentColor() & 0xFFFFFF);
}

HBITMAP TBitmap::GetMaskHandle() {
  if (!FMaskHandle && FHandle) {
    FlushScanLines();
    const COLORREF key = ColorToRGB(GetTransparentColor() & 0xFFFFFF);
    FMaskHandle = CreateBitmap(FWidth, FHeight, 1, 1, nullptr);
    // The bitmap may be selected into its canvas, so the canvas DC is the source.
    HDC src = GetCanvas()->GetHandle();
    const COLORREF old = SetBkColor(src, key);
    TMemoryDC dst(FMaskHandle);
    BitBlt(dst, 0, 0, FWidth, FHeight, src, 0, 0, SRCCOPY);
    SetBkColor(src, old);
  }
  return FMaskHandle;
}

HBITMAP TBitmap::ReleaseMaskHandle() {
  HBITMAP h = GetMaskHandle();
  FMaskHandle = nullptr;
  return h;
}

void TBitmap::Mask(TColor transparentColor) {
  FreeMask();
  const TColor old = FTransparentColor;
  FTransparentColor = transparentColor;
  HBITMAP mask = GetMaskHandle();
  FMaskHandle = nullptr;
  FTransparentColor = old;
  if (!mask) return;
  ReplaceHandle(mask, FWidth, FHeight, pf1bit);
  Changed(this);
}

void TBitmap::Changed(TObject* sender) {
  FreeMask();
  inherited::Changed(sender);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
  if (GetEmpty()) return;
  FlushScanLines();
  HDC dest = canvas->GetHandle();
  TCanvas* own = GetCanvas();
  HDC src = own->GetHandle();
  if (GetTransparent()) {
    TransparentBlt(dest, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, FWidth,
                   FHeight, ColorToRGB(GetTransparentColor() & 0xFFFFFF));
  } else {
    StretchBlt(dest, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, FWidth, FHeight,
               DWORD(canvas->GetCopyMode()));
  }
}

void TBitmap::Assign(TPersistent* source) {
  if (!source) {
    ReplaceHandle(nullptr, 0, 0, FPixelFormat);
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    if (b == this) return;
    b->FlushScanLines();
    FlushScanLines();
    HBITMAP h = nullptr;
    if (b->FHandle) {
      h = NewHandle(b->FWidth, b->FHeight, b->FPixelFormat);
      const std::vector<orv::TPixel> pixels = ReadPixels(b->FHandle, b->FWidth, b->FHeight);
      WritePixels(h, b->FWidth, b->FHeight, pixels.data());
    }
    ReplaceHandle(h, b->FWidth, b->FHeight, b->FPixelFormat);
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    SetTransparent(b->GetTransparent());
    Changed(this);
    return;
  }
  inherited::Assign(source);
}

void TBitmap::AssignTo(TPersistent* dest) {
  if (auto* b = dynamic_cast<TBitmap*>(dest)) {
    b->Assign(this);
    return;
  }
  inherited::AssignTo(dest);
}

// A bitmap file:
//   offset 0   2  "BM"
//          2   4  file size
//          6   4  reserved (0)
//         10   4  offset of the pixel bits from the start of the file
//         14   n  header: 12 bytes (core: width, height, planes, bits as 16-bit values) or
//                 40 and more (BITMAPINFOHEADER; 108 and 124 add masks and colour space)
//                 then the colour table (bits <= 8: biClrUsed or 2^bits entries of 4 bytes,
//                 3 bytes for a core header) or, for BI_BITFIELDS with a 40-byte header, three
//                 32-bit masks
//        bits     rows of 4-byte aligned pixels, bottom row first unless the height is negative
void TBitmap::LoadFromStream(TStream* stream) {
  const Int64 start = stream->GetPosition();
  const Int64 available = stream->GetSize() - start;
  Byte fh[14];
  if (available < 14 + 12 || stream->Read(fh, 14) != 14 || ReadU16(fh) != 0x4D42) InvalidBitmap();
  // Reads exactly what the file promises, or refuses the file: nothing is allocated for more
  // than the stream holds.
  auto readExactly = [&](void* buffer, Int64 count) {
    if (count > stream->GetSize() - stream->GetPosition()) InvalidBitmap();
    if (count > 0) stream->ReadBuffer(buffer, Integer(count));
  };
  Byte hs[4];
  readExactly(hs, 4);
  const std::uint32_t headerSize = ReadU32(hs);
  if (headerSize != 12 && (headerSize < 40 || headerSize > 256)) InvalidBitmap();
  std::vector<Byte> header(headerSize);
  std::memcpy(header.data(), hs, 4);
  readExactly(header.data() + 4, Int64(headerSize) - 4);

  Int64 width, height;
  Integer bpp;
  std::uint32_t compression = BI_RGB, colorsUsed = 0;
  bool core = headerSize == 12;
  if (core) {
    width = ReadU16(&header[4]);
    height = std::int16_t(ReadU16(&header[6]));
    bpp = ReadU16(&header[10]);
  } else {
    width = std::int32_t(ReadU32(&header[4]));
    height = std::int32_t(ReadU32(&header[8]));
    bpp = ReadU16(&header[14]);
    compression = ReadU32(&header[16]);
    colorsUsed = ReadU32(&header[32]);
  }
  if (width <= 0 || height == 0 || width > 32767 || std::abs(height) > 32767) InvalidBitmap();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) InvalidBitmap();
  if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bpp == 16 || bpp == 32)))
    InvalidBitmap();
  std::uint32_t masks[3] = {0, 0, 0};
  if (compression == BI_BITFIELDS) {
    if (headerSize >= 52) {
      for (int i = 0; i < 3; ++i) masks[i] = ReadU32(&header[40 + 4 * i]);
    } else {
      Byte m[12];
      readExactly(m, 12);
      for (int i = 0; i < 3; ++i) masks[i] = ReadU32(m + 4 * i);
    }
  }
  TBitmapInfoBuffer info;
  BITMAPINFOHEADER& h = info.Header();
  h.biWidth = Integer(width);
  h.biHeight = Integer(height);
  h.biBitCount = WORD(bpp);
  if (bpp <= 8) {
    std::uint32_t n = colorsUsed ? colorsUsed : (1u << bpp);
    if (n > (1u << bpp)) InvalidBitmap();
    const int entry = core ? 3 : 4;
    std::vector<Byte> table(std::size_t(n) * std::size_t(entry));
    readExactly(table.data(), Int64(table.size()));
    for (std::uint32_t i = 0; i < n; ++i) {
      RGBQUAD& q = info.Info()->bmiColors[i];
      q.rgbBlue = table[i * entry];
      q.rgbGreen = table[i * entry + 1];
      q.rgbRed = table[i * entry + 2];
      q.rgbReserved = 0;
    }
    h.biClrUsed = n;
  }
  const std::uint32_t bitsOffset = ReadU32(fh + 10);
  if (bitsOffset) {
    if (Int64(bitsOffset) > available) InvalidBitmap();
    stream->SetPosition(start + bitsOffset);
  }
  const Int64 rows = std::abs(height);
  const Int64 stride = DibStride(Integer(width), bpp);
  if (stride * rows > stream->GetSize() - stream->GetPosition()) InvalidBitmap();
  std::vector<Byte> bits(std::size_t(stride * rows));
  readExactly(bits.data(), Int64(bits.size()));

  const TPixelFormat format = FormatOfBits(bpp);
  HBITMAP handle = nullptr;
  if (compression == BI_BITFIELDS && !(bpp == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF)) {
    // Masked channels: widen every pixel to 8 bits per channel.
    auto channel = [](std::uint32_t v, std::uint32_t mask) -> Byte {
      if (!mask) return 0;
      int shift = 0;
      while (!((mask >> shift) & 1)) ++shift;
      const std::uint32_t max = mask >> shift;
      return Byte(((v & mask) >> shift) * 255 / max);
    };
    std::vector<orv::TPixel> pixels(std::size_t(width * rows));
    for (Int64 scan = 0; scan < rows; ++scan) {
      const Int64 y = height > 0 ? rows - 1 - scan : scan;
      const Byte* row = bits.data() + scan * stride;
      for (Int64 x = 0; x < width; ++x) {
        const std::uint32_t v = bpp == 16 ? ReadU16(row + 2 * x) : ReadU32(row + 4 * x);
        pixels[std::size_t(y * width + x)] =
            orv::MakePixel(channel(v, masks[0]), channel(v, masks[1]), channel(v, masks[2]));
      }
    }
    handle = NewHandle(Integer(width), Integer(rows), format);
    WritePixels(handle, Integer(width), Integer(rows), pixels.data());
  } else {
    h.biCompression = BI_RGB;
    handle = NewHandle(Integer(width), Integer(rows), format);
    TMemoryDC dc(nullptr);
    SetDIBits(dc, handle, 0, UINT(rows), bits.data(), info.Info(), DIB_RGB_COLORS);
  }
  ReplaceHandle(handle, Integer(width), Integer(rows), format);
  Changed(this);
}

void TBitmap::SaveToStream(TStream* stream) {
  FlushScanLines();
  Integer bpp = PixelFormatBits(FPixelFormat);
  if (bpp == 0) bpp = 32;
  const Integer stride = DibStride(FWidth, bpp);
  const Integer colors = bpp <= 8 ? (1 << bpp) : 0;
  TBitmapInfoBuffer info;
  BITMAPINFOHEADER& h = info.Header();
  h.biWidth = FWidth;
  h.biHeight = FHeight;
  h.biBitCount = WORD(bpp);
  std::vector<Byte> bits(std::size_t(stride) * std::size_t(FHeight));
  if (FHandle) {
    TMemoryDC dc(nullptr);
    GetDIBits(dc, FHandle, 0, UINT(FHeight), bits.data(), info.Info(), DIB_RGB_COLORS);
  }
  h.biSizeImage = DWORD(bits.size());
  h.biClrUsed = 0;
  const std::uint32_t offset = 14 + 40 + std::uint32_t(colors) * 4;
  Byte fh[14] = {'B', 'M'};
  PutU32(fh + 2, offset + std::uint32_t(bits.size()));
  PutU32(fh + 10, offset);
  stream->WriteBuffer(fh, 14);
  Byte ih[40] = {};
  PutU32(ih, 40);
  PutU32(ih + 4, std::uint32_t(FWidth));
  PutU32(ih + 8, std::uint32_t(FHeight));
  PutU16(ih + 12, 1);
  PutU16(ih + 14, std::uint32_t(bpp));
  PutU32(ih + 20, std::uint32_t(bits.size()));
  stream->WriteBuffer(ih, 40);
  for (Integer i = 0; i < colors; ++i) {
    const RGBQUAD& q = info.Info()->bmiColors[i];
    const Byte e[4] = {q.rgbBlue, q.rgbGreen, q.rgbRed, 0};
    stream->WriteBuffer(e, 4);
  }
  if (!bits.empty()) stream->WriteBuffer(bits.data(), Integer(bits.size()));
}

void TBitmap::ReadData(TStream* stream) {
  Byte n[4];
  stream->ReadBuffer(n, 4);
  const std::uint32_t size = ReadU32(n);
  if (size == 0) {
    Assign(nullptr);
    return;
  }
  if (Int64(size) > stream->GetSize() - stream->GetPosition()) InvalidBitmap();
  TMemoryStream data;
  data.CopyFrom(stream, size);
  data.SetPosition(0);
  LoadFromStream(&data);
}

void TBitmap::WriteData(TStream* stream) {
  TMemoryStream data;
  if (!GetEmpty()) SaveToStream(&data);
  Byte n[4];
  PutU32(n, std::uint32_t(data.GetSize()));
  stream->WriteBuffer(n, 4);
  if (data.GetSize()) stream->WriteBuffer(data.GetMemory(), Integer(data.GetSize()));
}

// ---- TBitmapCanvas ----------------------------------------------------------------------------

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::FreeContext() {
  if (!FDC) return;
  SetHandle(nullptr);
  if (FOldBitmap) SelectObject(FDC, FOldBitmap);
  DeleteDC(FDC);
  FDC = nullptr;
  FOldBitmap = nullptr;
}

void TBitmapCanvas::CreateHandle() {
  if (FDC) return;
  HBITMAP bitmap = FBitmap->GetHandle();
  if (!bitmap) {
    // Drawing on an empty bitmap goes nowhere, as on the platform's 1 x 1 stand-in.
    bitmap = nullptr;
  }
  FDC = CreateCompatibleDC(nullptr);
  if (bitmap) FOldBitmap = SelectObject(FDC, bitmap);
  SetHandle(FDC);
}

void TBitmapCanvas::Changing() {
  FBitmap->Changing(this);
  inherited::Changing();
}

// ---- TIcon ------------------------------------------------------------------------------------

TIcon::TIcon() : FImage(new TBitmap) { FImage->SetPixelFormat(pf32bit); }

TIcon::~TIcon() { FImage->Free(); }

bool TIcon::GetEmpty() const { return FImage->GetEmpty(); }
Integer TIcon::GetHeight() const { return FImage->GetHeight(); }
Integer TIcon::GetWidth() const { return FImage->GetWidth(); }

void TIcon::SetHeight(Integer value) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}
void TIcon::SetWidth(Integer value) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::Assign(TPersistent* source) {
  if (!source) {
    FImage->Assign(nullptr);
    Changed(this);
    return;
  }
  if (auto* icon = dynamic_cast<TIcon*>(source)) {
    if (icon == this) return;
    FImage->Assign(icon->FImage);
    Changed(this);
    return;
  }
  inherited::Assign(source);
}

void TIcon::AssignTo(TPersistent* dest) {
  if (auto* b = dynamic_cast<TBitmap*>(dest)) {
    // The icon over the bitmap's own background, as the platform draws it.
    b->SetSize(0, 0);
    b->SetSize(GetWidth(), GetHeight());
    b->GetCanvas()->Draw(0, 0, this);
    return;
  }
  inherited::AssignTo(dest);
}

// An icon file:
//   offset 0  2  0;  2  2  type 1 (icon);  4  2  image count n
//          6  16 * n directory entries: width, height (0 = 256), colours, reserved (bytes),
//                planes, bits (16-bit), byte count, offset of the image (32-bit)
//   each image: a BITMAPINFOHEADER of twice the height, colour table, the colour bits and a
//   1-bit AND mask (1 = transparent), rows bottom first and 4-byte aligned
void TIcon::LoadFromStream(TStream* stream) {
  const Int64 start = stream->GetPosition();
  Byte dir[6];
  if (stream->Read(dir, 6) != 6 || ReadU16(dir) != 0 || ReadU16(dir + 2) != 1 || ReadU16(dir + 4) == 0)
    throw EInvalidGraphic("Icon image is not valid");
  Byte entry[16];
  stream->ReadBuffer(entry, 16);
  const std::uint32_t size = ReadU32(entry + 8), offset = ReadU32(entry + 12);
  if (size < 40 || Int64(offset) + size > stream->GetSize() - start)
    throw EInvalidGraphic("Icon image is not valid");
  std::vector<Byte> data(size);
  stream->SetPosition(start + offset);
  stream->ReadBuffer(data.data(), Integer(size));
  stream->SetPosition(start + offset + size);
  if (ReadU32(data.data()) < 40) throw EInvalidGraphic("Icon image is not valid");
  const Int64 width = std::int32_t(ReadU32(&data[4]));
  const Int64 height = std::int32_t(ReadU32(&data[8])) / 2;
  const Integer bpp = ReadU16(&data[14]);
  const std::uint32_t headerSize = ReadU32(data.data());
  if (width <= 0 || height <= 0 || width > 1024 || height > 1024 ||
      (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32))
    throw EInvalidGraphic("Icon image is not valid");
  std::uint32_t colors = bpp <= 8 ? (ReadU32(&data[32]) ? ReadU32(&data[32]) : 1u << bpp) : 0;
  const std::size_t tableAt = headerSize, bitsAt = tableAt + std::size_t(colors) * 4;
  const std::size_t stride = std::size_t(DibStride(Integer(width), bpp));
  const std::size_t maskStride = std::size_t(DibStride(Integer(width), 1));
  const std::size_t maskAt = bitsAt + stride * std::size_t(height);
  if (colors > 256 || maskAt > data.size()) throw EInvalidGraphic("Icon image is not valid");
  TBitmapInfoBuffer info;
  info.Header().biWidth = Integer(width);
  info.Header().biHeight = Integer(height);
  info.Header().biBitCount = WORD(bpp);
  info.Header().biClrUsed = colors;
  if (colors) std::memcpy(info.Info()->bmiColors, &data[tableAt], colors * 4);
  TBitmapPtr image(new TBitmap);
  image->SetPixelFormat(pf32bit);
  image->SetSize(Integer(width), Integer(height));
  {
    TMemoryDC dc(nullptr);
    SetDIBits(dc, image->GetHandle(), 0, UINT(height), &data[bitsAt], info.Info(), DIB_RGB_COLORS);
  }
  // Without alpha in the colour bits, the AND mask says which pixels show.
  bool anyAlpha = false;
  if (bpp == 32)
    for (Int64 y = 0; y < height && !anyAlpha; ++y) {
      auto* row = static_cast<orv::TPixel*>(image->ScanLine(Integer(y)));
      for (Int64 x = 0; x < width; ++x)
        if (orv::PixelAlpha(row[x])) anyAlpha = true;
    }
  const bool hasMask = maskAt + maskStride * std::size_t(height) <= data.size();
  for (Int64 y = 0; y < height; ++y) {
    auto* row = static_cast<orv::TPixel*>(image->ScanLine(Integer(y)));
    const Byte* mask = hasMask ? &data[maskAt + maskStride * std::size_t(height - 1 - y)] : nullptr;
    for (Int64 x = 0; x < width; ++x) {
      if (anyAlpha) continue;
      const bool clear = mask && ((mask[x / 8] >> (7 - x % 8)) & 1);
      row[x] = (row[x] & 0xFFFFFF) | (clear ? 0 : 0xFF000000u);
    }
  }
  FImage->Assign(image.get());
  Changed(this);
}

void TIcon::SaveToStream(TStream* stream) {
  const Integer w = GetWidth(), h = GetHeight();
  const std::size_t stride = std::size_t(w) * 4, maskStride = std::size_t(DibStride(w, 1));
  const std::uint32_t size = std::uint32_t(40 + stride * std::size_t(h) + maskStride * std::size_t(h));
  Byte dir[6 + 16] = {};
  PutU16(dir + 2, 1);
  PutU16(dir + 4, 1);
  dir[6] = Byte(w >= 256 ? 0 : w);
  dir[7] = Byte(h >= 256 ? 0 : h);
  PutU16(dir + 10, 1);
  PutU16(dir + 12, 32);
  PutU32(dir + 14, size);
  PutU32(dir + 18, 22);
  stream->WriteBuffer(dir, sizeof dir);
  Byte ih[40] = {};
  PutU32(ih, 40);
  PutU32(ih + 4, std::uint32_t(w));
  PutU32(ih + 8, std::uint32_t(h * 2));
  PutU16(ih + 12, 1);
  PutU16(ih + 14, 32);
  stream->WriteBuffer(ih, 40);
  std::vector<Byte> mask(maskStride * std::size_t(h), 0);
  for (Integer scan = 0; scan < h; ++scan) {
    const Integer y = h - 1 - scan;
    const auto* row = static_cast<const orv::TPixel*>(FImage->ScanLine(y));
    stream->WriteBuffer(row, Integer(stride));
    for (Integer x = 0; x < w; ++x)
      if (orv::PixelAlpha(row[x]) == 0) mask[std::size_t(scan) * maskStride + std::size_t(x / 8)] |= Byte(0x80 >> (x % 8));
  }
  if (!mask.empty()) stream->WriteBuffer(mask.data(), Integer(mask.size()));
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
  if (!GetEmpty()) orv::DrawStraightAlpha(canvas, rect, FImage);
}

void orv::DrawStraightAlpha(TCanvas* canvas, const TRect& rect, TBitmap* bitmap) {
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  if (w <= 0 || h <= 0) return;
  // AlphaBlend wants premultiplied pixels.
  TBitmapPtr pre(new TBitmap);
  pre->SetPixelFormat(pf32bit);
  pre->SetSize(w, h);
  for (Integer y = 0; y < h; ++y) {
    const auto* src = static_cast<const TPixel*>(bitmap->ScanLine(y));
    auto* dst = static_cast<TPixel*>(pre->ScanLine(y));
    for (Integer x = 0; x < w; ++x) {
      const TPixel p = src[x];
      const unsigned a = p >> 24;
      auto mul = [a](unsigned c) { return (c * a + 127) / 255; };
      dst[x] = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
    }
  }
  BLENDFUNCTION blend;
  blend.AlphaFormat = AC_SRC_ALPHA;
  AlphaBlend(canvas->GetHandle(), rect.Left, rect.Top, rect.Width(), rect.Height(),
             pre->GetCanvas()->GetHandle(), 0, 0, w, h, blend);
}

// ---- TPicture ---------------------------------------------------------------------------------

namespace {

struct TFileFormat {
  AnsiString Extension;  // lower case, without the dot
  AnsiString Description;
  TGraphicClass GraphicClass;
};

struct TSignature {
  TGraphicClass GraphicClass;
  TPicture::TSignatureTest Test;
};

bool IsBitmapData(const Byte* d, Integer n) { return n >= 2 && d[0] == 'B' && d[1] == 'M'; }
bool IsIconData(const Byte* d, Integer n) {
  return n >= 4 && d[0] == 0 && d[1] == 0 && d[2] == 1 && d[3] == 0;
}
bool IsJpegData(const Byte* d, Integer n) { return n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF; }
bool IsPngData(const Byte* d, Integer n) {
  return n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1A\n", 8) == 0;
}

struct TFormats {
  std::vector<TFileFormat> Files;
  std::vector<TSignature> Signatures;
  TFormats() {
    Files.push_back({"bmp", "Bitmaps", TBitmap::StaticClass()});
    Files.push_back({"ico", "Icons", TIcon::StaticClass()});
    Files.push_back({"jpg", "JPEG Image File", TJPEGImage::StaticClass()});
    Files.push_back({"jpeg", "JPEG Image File", TJPEGImage::StaticClass()});
    Files.push_back({"png", "Portable Network Graphics", TPngImage::StaticClass()});
    Signatures.push_back({TBitmap::StaticClass(), IsBitmapData});
    Signatures.push_back({TIcon::StaticClass(), IsIconData});
    Signatures.push_back({TJPEGImage::StaticClass(), IsJpegData});
    Signatures.push_back({TPngImage::StaticClass(), IsPngData});
  }
};

TFormats& Formats() {
  static TFormats formats;
  return formats;
}

AnsiString NormalExtension(const AnsiString& ext) {
  AnsiString e = LowerCase(ext);
  if (!e.empty() && e[0] == '.') e.erase(0, 1);
  return e;
}

}  // namespace

TPicture::~TPicture() { orv::Free(FGraphic); }

void TPicture::Changed(TObject* sender) {
  if (FOnChange) FOnChange(this);
}

void TPicture::Adopt(TGraphic* graphic) {
  if (graphic == FGraphic) return;
  orv::Free(FGraphic);
  FGraphic = graphic;
  if (FGraphic) FGraphic->SetOnChange(TNotifyEvent(this, &TPicture::Changed));
}

void TPicture::SetGraphic(TGraphic* value) {
  TGraphic* copy = nullptr;
  if (value) {
    copy = TGraphicClass(value->ClassType()).Create();
    try {
      copy->Assign(value);
    } catch (...) {
      copy->Free();
      throw;
    }
  }
  Adopt(copy);
  Changed(this);
}

void TPicture::ForceType(TGraphicClass graphicClass) {
  if (FGraphic && FGraphic->ClassType() == graphicClass.Get()) return;
  Adopt(graphicClass.Create());
  Changed(this);
}

TBitmap* TPicture::GetBitmap() {
  ForceType(TBitmap::StaticClass());
  return static_cast<TBitmap*>(FGraphic);
}

TIcon* TPicture::GetIcon() {
  ForceType(TIcon::StaticClass());
  return static_cast<TIcon*>(FGraphic);
}

Integer TPicture::GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
Integer TPicture::GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(source)) {
    if (p != this) SetGraphic(p->FGraphic);
  } else if (auto* g = dynamic_cast<TGraphic*>(source)) {
    SetGraphic(g);
  } else {
    inherited::Assign(source);
  }
}

void TPicture::AssignTo(TPersistent* dest) {
  if (FGraphic && dynamic_cast<TGraphic*>(dest)) {
    dest->Assign(FGraphic);
    return;
  }
  inherited::AssignTo(dest);
}

void TPicture::LoadFromFile(const AnsiString& fileName) {
  const TGraphicClass cls = GraphicClassForExtension(ExtractFileExt(fileName));
  if (!cls)
    throw EInvalidGraphic(Format("Unknown picture file extension (%s)", {ExtractFileExt(fileName)}));
  std::unique_ptr<TGraphic, orv::FreeDeleter> graphic(cls.Create());
  graphic->LoadFromFile(fileName);
  Adopt(graphic.release());
  Changed(this);
}

void TPicture::SaveToFile(const AnsiString& fileName) {
  if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::LoadFromStream(TStream* stream) {
  const Int64 start = stream->GetPosition();
  Byte head[16] = {};
  const Integer n = stream->Read(head, sizeof head);
  stream->SetPosition(start);
  for (const TSignature& s : Formats().Signatures) {
    if (!s.Test(head, n)) continue;
    std::unique_ptr<TGraphic, orv::FreeDeleter> graphic(TGraphicClass(s.GraphicClass).Create());
    graphic->LoadFromStream(stream);
    Adopt(graphic.release());
    Changed(this);
    return;
  }
  throw EInvalidGraphic("Unknown picture format");
}

void TPicture::SaveToStream(TStream* stream) {
  if (FGraphic) FGraphic->SaveToStream(stream);
}

void TPicture::ReadData(TStream* stream) {
  Byte len = 0;
  stream->ReadBuffer(&len, 1);
  AnsiString name(len, '\0');
  if (len) stream->ReadBuffer(name.data(), len);
  TGraphicClass cls;
  for (const TFileFormat& f : Formats().Files)
    if (f.GraphicClass->ClassNameIs(name)) cls = f.GraphicClass;
  if (!cls) {
    TClass c = GetClass(name);
    if (c && c->InheritsFrom(TGraphic::StaticClass())) cls = c;
  }
  if (!cls) throw EInvalidGraphic(Format("Unknown picture format (%s)", {name}));
  std::unique_ptr<TGraphic, orv::FreeDeleter> graphic(cls.Create());
  graphic->ReadData(stream);
  Adopt(graphic.release());
  Changed(this);
}

void TPicture::WriteData(TStream* stream) {
  const AnsiString name = FGraphic ? FGraphic->ClassName() : AnsiString();
  const Byte len = Byte(std::min<std::size_t>(name.size(), 255));
  stream->WriteBuffer(&len, 1);
  if (len) stream->WriteBuffer(name.data(), len);
  if (FGraphic) FGraphic->WriteData(stream);
}

bool TPicture::SupportsClipboardFormat(Word format) { return format == CF_DIB || format == CF_BITMAP; }

void TPicture::LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) {
  if (!SupportsClipboardFormat(format)) throw EInvalidGraphic("Unsupported clipboard format");
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  bitmap->LoadFromClipboardFormat(Word(CF_DIB), data, palette);
  Adopt(bitmap.release());
  Changed(this);
}

void TPicture::RegisterFileFormat(const AnsiString& extension, const AnsiString& description,
                                  TGraphicClass graphicClass) {
  const AnsiString ext = NormalExtension(extension);
  for (TFileFormat& f : Formats().Files)
    if (f.Extension == ext) {
      f.Description = description;
      f.GraphicClass = graphicClass;
      return;
    }
  Formats().Files.push_back({ext, description, graphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass) {
  auto& files = Formats().Files;
  files.erase(std::remove_if(files.begin(), files.end(),
                             [&](const TFileFormat& f) { return f.GraphicClass->InheritsFrom(graphicClass); }),
              files.end());
  auto& sigs = Formats().Signatures;
  sigs.erase(std::remove_if(sigs.begin(), sigs.end(),
                            [&](const TSignature& s) { return s.GraphicClass->InheritsFrom(graphicClass); }),
             sigs.end());
}

void TPicture::RegisterSignature(TGraphicClass graphicClass, TSignatureTest test) {
  Formats().Signatures.push_back({graphicClass, test});
}

TGraphicClass GraphicClassForExtension(const AnsiString& extension) {
  const AnsiString ext = NormalExtension(extension);
  for (const TFileFormat& f : Formats().Files)
    if (f.Extension == ext) return f.GraphicClass;
  return nullptr;
}

AnsiString GraphicExtension(TGraphicClass graphicClass) {
  for (const TFileFormat& f : Formats().Files)
    if (f.GraphicClass->InheritsFrom(graphicClass)) return f.Extension;
  return AnsiString();
}

AnsiString GraphicFilter(TGraphicClass graphicClass) {
  AnsiString all, each, masks;
  for (const TFileFormat& f : Formats().Files) {
    if (!f.GraphicClass->InheritsFrom(graphicClass)) continue;
    const AnsiString mask = "*." + f.Extension;
    if (!masks.empty()) masks += ';';
    masks += mask;
    each += '|' + f.Description + " (" + mask + ")|" + mask;
  }
  if (masks.empty()) return AnsiString();
  all = "All (" + masks + ")|" + masks;
  return all + each;
}

// ---- Colour names -----------------------------------------------------------------------------

namespace {

struct TColorName {
  TColor Value;
  const char* Name;
};

constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {0xC0DCC0, "clMoneyGreen"},
    {0xF0CAA6, "clSkyBlue"},
    {0xF0FBFF, "clCream"},
    {0xA4A0A0, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

}  // namespace

bool IdentToColor(const AnsiString& ident, Integer& color) {
  for (const TColorName& c : kColorNames)
    if (SameText(ident, c.Name)) {
      color = c.Value;
      return true;
    }
  return false;
}

bool ColorToIdent(Integer color, AnsiString& ident) {
  for (const TColorName& c : kColorNames)
    if (c.Value == color) {
      ident = c.Name;
      return true;
    }
  return false;
}

TColor StringToColor(const AnsiString& text) {
  Integer color = 0;
  if (IdentToColor(text, color)) return color;
  return StrToInt(text);
}

AnsiString ColorToString(TColor color) {
  AnsiString ident;
  if (ColorToIdent(color, ident)) return ident;
  return "$" + IntToHex(std::uint32_t(color), 8);
}

int orv::PenModeRop(TPenMode mode) {
  static constexpr int kRops[] = {R2_BLACK,       R2_WHITE,      R2_NOP,        R2_NOT,
                                  R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                  R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,   R2_NOTMERGEPEN,
                                  R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,     R2_NOTXORPEN};
  return kRops[mode];
}

void TGraphic::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineBinaryProperty("Data", TStreamProc(this, &TGraphic::ReadData),
                              TStreamProc(this, &TGraphic::WriteData), !GetEmpty());
}

void TPicture::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineBinaryProperty("Data", TStreamProc(this, &TPicture::ReadData),
                              TStreamProc(this, &TPicture::WriteData), FGraphic != nullptr);
}

// ---- Form descriptions ------------------------------------------------------------------------

namespace {

const orv::EnumNames<TFontStyle> kFontStyleNames("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
const orv::EnumNames<TFontPitch> kFontPitchNames("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});
const orv::EnumNames<TPenStyle> kPenStyleNames(
    "TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"});
const orv::EnumNames<TPenMode> kPenModeNames(
    "TPenMode", {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
                 "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor",
                 "pmNotXor"});
const orv::EnumNames<TBrushStyle> kBrushStyleNames("TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal",
                                                                   "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                                                   "bsCross", "bsDiagCross"});

// Colours are written by name where the platform names them (ColorToIdent), else as numbers;
// charsets likewise.
const bool kColorIdents = [] {
  std::vector<orv::IdentMapEntry> table;
  for (const TColorName& c : kColorNames) table.push_back({c.Value, c.Name});
  orv::RegisterIntegerIdents("TColor", std::move(table));
  return true;
}();

const bool kCharsetIdents = (orv::RegisterIntegerIdents("TFontCharset", {{ANSI_CHARSET, "ANSI_CHARSET"},
                                                                         {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
                                                                         {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
                                                                         {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
                                                                         {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
                                                                         {GB2312_CHARSET, "GB2312_CHARSET"},
                                                                         {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
                                                                         {GREEK_CHARSET, "GREEK_CHARSET"},
                                                                         {TURKISH_CHARSET, "TURKISH_CHARSET"},
                                                                         {HEBREW_CHARSET, "HEBREW_CHARSET"},
                                                                         {ARABIC_CHARSET, "ARABIC_CHARSET"},
                                                                         {BALTIC_CHARSET, "BALTIC_CHARSET"},
                                                                         {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
                                                                         {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
                                                                         {OEM_CHARSET, "OEM_CHARSET"}}),
                             true);

}  // namespace

// A font stores its whole description (as the platform writes it: Style even when empty); Size
// follows from Height and is not stored.
ORV_PUBLISH(TFont) {
  using T = TFont;
  p.Property("Charset", &T::GetCharset, &T::SetCharset).Kind("TFontCharset");
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor");
  p.Property("Height", &T::GetHeight, &T::SetHeight);
  p.Property("Name", &T::GetName, &T::SetName);
  p.Property("Orientation", &T::GetOrientation, &T::SetOrientation).Default(0);
  p.Property("Pitch", &T::GetPitch, &T::SetPitch).Default(fpDefault);
  p.Property("Size", &T::GetSize, &T::SetSize).Stored(false);
  p.Property("Style", &T::GetStyle, &T::SetStyle);
}

ORV_PUBLISH(TPen) {
  using T = TPen;
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Default(clBlack);
  p.Property("Mode", &T::GetMode, &T::SetMode).Default(pmCopy);
  p.Property("Style", &T::GetStyle, &T::SetStyle).Default(psSolid);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Default(1);
}

ORV_PUBLISH(TBrush) {
  using T = TBrush;
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Default(clWhite);
  p.Property("Style", &T::GetStyle, &T::SetStyle).Default(bsSolid);
}
