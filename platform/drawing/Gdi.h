// The drawing interface of the platform: device contexts, pens, brushes, fonts, regions, bitmaps,
// blits and text output, with the platform's handles, calls, constants and pixel rules.
//
// Everything draws on our own 32-bit surfaces (orv::TSurface, blue in the low byte, alpha in the
// high byte). The rules are the platform's: drawing is aliased, rectangles exclude their right
// and bottom edge, a line omits its last pixel, a polygon is filled and then outlined with the
// pen. Pen, brush and text drawing write the alpha byte as the platform does (a copy writes 0,
// an inversion inverts all 32 bits, an exclusive-or leaves alpha as it was); bit-block transfers
// copy all 32 bits.
//
// Colours are COLORREF values with red in the low byte. System colours (GetSysColor) come from
// one table that tests and the windowing layer may replace (orv::SetSysColorTable).
//
// Text passed to the plain calls is Windows-1251 (or the symbol code page for a symbol-charset
// font); the calls ending in W take UTF-16.
//
// Window and screen DCs are made by the windowing layer through orv::CreateSurfaceDC (see the
// end of this file); memory DCs through CreateCompatibleDC.
#pragma once

#include <cstdint>

#include "platform/drawing/GdiTypes.h"

// ---- Objects ----------------------------------------------------------------------------------

HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// A selected object is freed when the last DC lets go of it; stock objects are never freed.
BOOL DeleteObject(HGDIOBJ object);
int GetObject(HGDIOBJ object, int size, void* buffer);
DWORD GetObjectType(HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
BOOL UnrealizeObject(HGDIOBJ object);

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
// A brush tiled from a bitmap (copied); a monochrome bitmap takes the DC's text colour for its
// 0 bits and the background colour for its 1 bits.
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HBRUSH GetSysColorBrush(int index);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF GetDCBrushColor(HDC dc);

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                  const DWORD* styles);
COLORREF SetDCPenColor(HDC dc, COLORREF color);
COLORREF GetDCPenColor(HDC dc);

HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC dc);
COLORREF GetNearestColor(HDC dc, COLORREF color);

DWORD GetSysColor(int index);

// ---- Device contexts --------------------------------------------------------------------------

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int savedDC);
int GetDeviceCaps(HDC dc, int index);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int mode);
int GetROP2(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);
int GetTextCharacterExtra(HDC dc);
BOOL SetTextJustification(HDC dc, int breakExtra, int breakCount);
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetBrushOrgEx(HDC dc, POINT* origin);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetWindowOrgEx(HDC dc, POINT* origin);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* previous);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT* origin);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
// The DC's device origin in surface (screen) coordinates.
BOOL GetDCOrgEx(HDC dc, POINT* origin);
BOOL GetCurrentPositionEx(HDC dc, POINT* position);

// ---- Clipping (regions in device coordinates, rectangles in logical ones) -------------------

int SelectClipRgn(HDC dc, HRGN region);
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
// 1 and a copy of the clip region when the DC has one, 0 when it has none, -1 on failure.
int GetClipRgn(HDC dc, HRGN region);
int GetClipBox(HDC dc, RECT* rect);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
BOOL RectVisible(HDC dc, const RECT* rect);
BOOL PtVisible(HDC dc, int x, int y);

// ---- Primitives -------------------------------------------------------------------------------

int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the clip or the surface.
COLORREF GetPixel(HDC dc, int x, int y);

BOOL BeginPath(HDC dc);
BOOL EndPath(HDC dc);
BOOL AbortPath(HDC dc);
BOOL CloseFigure(HDC dc);
BOOL FillPath(HDC dc);
BOOL StrokePath(HDC dc);
BOOL StrokeAndFillPath(HDC dc);
HRGN PathToRegion(HDC dc);

// An exclusive-or frame of alternate pixels; drawing it twice restores the pixels.
BOOL DrawFocusRect(HDC dc, const RECT* rect);
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
// The classic look of the platform's frame controls: buttons, check boxes, radio buttons,
// scroll arrows, the size grip, caption buttons and menu marks.
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);

// ---- Bitmaps and transfers -------------------------------------------------------------------

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
// 32 bits per pixel only: `bits` then addresses the pixels themselves, bottom-up or top-down
// as the header says. Other depths answer nullptr.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
LONG GetBitmapBits(HBITMAP bitmap, LONG size, void* bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int srcX, int srcY,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
            DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop);
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX,
                    int srcY, int srcWidth, int srcHeight, UINT transparent);
BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
                int srcWidth, int srcHeight, BLENDFUNCTION blend);
BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh,
                  ULONG meshCount, ULONG mode);

// ---- Regions ----------------------------------------------------------------------------------

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode);
int CombineRgn(HRGN dest, HRGN source1, HRGN source2, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
int GetRgnBox(HRGN region, RECT* rect);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height);
BOOL PaintRgn(HDC dc, HRGN region);
BOOL InvertRgn(HDC dc, HRGN region);

// ---- Text -------------------------------------------------------------------------------------

HFONT CreateFontIndirect(const LOGFONT* font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                 DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                 DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                 const char* faceName);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
int GetTextFace(HDC dc, int size, char* faceName);
int GetTextCharset(HDC dc);

BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size);
BOOL GetTextExtentPoint32W(HDC dc, const char16_t* text, int count, SIZE* size);
// `fit` (optional): how many characters fit in maxExtent; `dx` (optional): the extent after each
// character.
BOOL GetTextExtentExPoint(HDC dc, const char* text, int count, int maxExtent, INT* fit, INT* dx,
                          SIZE* size);
BOOL GetTextExtentExPointW(HDC dc, const char16_t* text, int count, int maxExtent, INT* fit,
                           INT* dx, SIZE* size);
DWORD GetTabbedTextExtent(HDC dc, const char* text, int count, int tabCount, const INT* tabStops);
DWORD GetTabbedTextExtentW(HDC dc, const char16_t* text, int count, int tabCount,
                           const INT* tabStops);

BOOL TextOut(HDC dc, int x, int y, const char* text, int count);
BOOL TextOutW(HDC dc, int x, int y, const char16_t* text, int count);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text,
                UINT count, const INT* dx);
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, const char16_t* text,
                 UINT count, const INT* dx);
LONG TabbedTextOut(HDC dc, int x, int y, const char* text, int count, int tabCount,
                   const INT* tabStops, int tabOrigin);
LONG TabbedTextOutW(HDC dc, int x, int y, const char16_t* text, int count, int tabCount,
                    const INT* tabStops, int tabOrigin);
// `count` -1: the text up to its terminating zero.
int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format);
int DrawTextW(HDC dc, const char16_t* text, int count, RECT* rect, UINT format);
int DrawTextEx(HDC dc, const char* text, int count, RECT* rect, UINT format,
               DRAWTEXTPARAMS* params);
int DrawTextExW(HDC dc, const char16_t* text, int count, RECT* rect, UINT format,
                DRAWTEXTPARAMS* params);

// ---- Our own helpers: system colours, surfaces and the hooks of the windowing layer ------------

namespace orv {

class TSurface;

// The face name of the built-in test font: fixed metrics and box-shaped glyphs that do not
// depend on the installed fonts. Its cell height is |lfHeight| + |lfHeight| / 4 for a negative
// height and lfHeight for a positive one; the ascent is four fifths of the cell; every character
// advances by half the cell height.
inline constexpr const char* kTestFontFace = "Orv Test";

// The character of a byte in the symbol code page of a symbol-charset font (0xB4 is the
// multiplication sign U+00D7); U+FFFD where the code page has none.
char32_t SymbolToUnicode(unsigned char b);

// Replaces the whole system-colour table (COLOR_SCROLLBAR .. COLOR_MENUBAR, kSysColorCount
// entries); nullptr brings back the built-in classic table. The system-colour brushes follow.
inline constexpr int kSysColorCount = 31;
void SetSysColorTable(const COLORREF* colors);
void SetSysColor(int index, COLORREF color);

// A DC drawing onto `surface`: device point (0, 0) lies at `origin` of the surface. The window
// system makes window DCs (origin = the window's or its client area's place in the surface) and
// screen DCs with it and frees them with DeleteDC. `visible` (device coordinates, copied; nullptr
// = unlimited) is the window's visible region that every drawing is clipped to; `owner` is the
// window system's own tag, read back by GetDCOwner.
HDC CreateSurfaceDC(TSurface* surface, TPoint origin, HRGN visible, bool screen, void* owner);
void SetDCVisibleRegion(HDC dc, HRGN visible);
void* GetDCOwner(HDC dc);
// The surface a DC draws on, and a bitmap's own pixels (always 32 bits per pixel).
TSurface* GetDCSurface(HDC dc);
TSurface* GetBitmapSurface(HBITMAP bitmap);

// The screen: a surface that the window system supplies (nullptr: a built-in 1024 x 768 one).
void SetScreenSurface(TSurface* surface);
HDC CreateScreenDC();

}  // namespace orv
