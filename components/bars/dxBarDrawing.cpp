#include "components/bars/dxBarDrawing.h"

#include "platform/drawing/Gdi.h"

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
