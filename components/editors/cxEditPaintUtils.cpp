#include "components/editors/cxEditPaintUtils.h"

#include <algorithm>
#include <memory>

#include "components/foundation/cxContainer.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

// The content margins of a theme part in state 1 inside a 100 x 100 rectangle.
TRect ThemeContentMargins(TdxThemedObjectKind kind) {
  const TdxTheme theme = GetThemeHandle(kind);
  if (!theme) return TRect{2, 2, 2, 2};
  const TRect box{0, 0, 100, 100};
  TRect content = box;
  GetThemeBackgroundContentRect(theme, nullptr, 1, 1, box, content);
  return TRect{content.Left, content.Top, 100 - content.Right, 100 - content.Bottom};
}

}  // namespace

void DrawEditArrow(TcxCanvas* canvas, Integer size, const TRect& rect, Integer direction, Boolean isDouble,
                   Boolean shifted, TColor color) {
  if (direction < cxEditArrowUp || direction > cxEditArrowRight || size <= 0) return;
  const Integer count = isDouble ? 2 : 1;
  const Boolean vertical = direction == cxEditArrowUp || direction == cxEditArrowDown;
  const Integer boxWidth = vertical ? 2 * size - 1 : count * size;
  const Integer boxHeight = vertical ? count * size : 2 * size - 1;
  Integer left = rect.Left + (rect.Width() - boxWidth) / 2;
  Integer top = rect.Top + (rect.Height() - boxHeight) / 2;
  if (shifted) {
    ++left;
    ++top;
  }
  const HBRUSH brush = GetCachedSolidBrush(color);
  const HDC dc = canvas->GetDCHandle();
  // One arrow's box is `size` deep along the pointing axis and 2 * size - 1 across.
  for (Integer n = 0; n < count; ++n) {
    const Integer right = left + (vertical ? 2 * size - 1 : size);
    const Integer bottom = top + (vertical ? size : 2 * size - 1);
    for (Integer k = 0; k < size; ++k) {
      TRect strip{};
      switch (direction) {
        case cxEditArrowUp: strip = TRect{left + size - 1 - k, top + k, left + size + k, top + k + 1}; break;
        case cxEditArrowDown: strip = TRect{left + k, top + k, right - k, top + k + 1}; break;
        case cxEditArrowLeft: strip = TRect{left + k, top + size - 1 - k, left + k + 1, top + size + k}; break;
        default: strip = TRect{left + k, top + k, left + k + 1, bottom - k}; break;
      }
      FillRectWithBrush(dc, strip, brush);
    }
    if (vertical)
      top += size;
    else
      left += size;
  }
}

TSize CalculateArrowSize(const TSize& size, Integer direction) {
  const Integer s = std::min(size.cx, size.cy);
  Integer w = (s - 1) / 2;
  if (w % 2 == 0) ++w;
  if (direction == cxEditArrowUp || direction == cxEditArrowDown) return TSize{w, w / 2 + 1};
  return TSize{w / 2 + 1, w};
}

void DrawRectSidesAndShrink(TcxCanvas* canvas, TRect& rect, Integer sides, TColor color) {
  const TRect r = rect;
  const Integer r1 = r.Right - 1;
  const Integer b1 = r.Bottom - 1;
  auto line = [&](Integer x1, Integer y1, Integer x2, Integer y2) {
    const TPoint points[2] = {{x1, y1}, {x2, y2}};
    DrawColoredPolyline(canvas, points, 1, false, color);
  };
  if (sides & cxEditSideLeft) {
    line(r.Left, r.Top, r.Left, b1);
    ++rect.Left;
  }
  if (sides & cxEditSideRight) {
    line(r1, r.Top, r1, b1);
    --rect.Right;
  }
  if (sides & cxEditSideTop) {
    line(r.Left, r.Top, r1, r.Top);
    ++rect.Top;
  }
  if (sides & cxEditSideBottom) {
    line(r.Left, b1, r1, b1);
    --rect.Bottom;
  }
}

void DrawColoredPolyline(TcxCanvas* canvas, const TPoint* points, Integer lastIndex, Boolean fillMode,
                         TColor color) {
  if (lastIndex < 0) return;
  if (!fillMode) {
    canvas->SetPenColor(color);
    canvas->DrawPolyline(points, lastIndex + 1);
    canvas->SetPixelColor(points[lastIndex].X, points[lastIndex].Y, color);
    return;
  }
  const HBRUSH brush = GetCachedSolidBrush(color);
  const HDC dc = canvas->GetDCHandle();
  for (Integer i = 0; i < lastIndex; ++i) {
    const TPoint p = points[i];
    const TPoint q = points[i + 1];
    TRect r{};
    if (p.X == q.X) {
      r = TRect{p.X, p.Y, p.X + 1, q.Y};
      if (p.Y > q.Y) r = TRect{p.X, q.Y + 1, p.X + 1, p.Y + 1};
    } else {
      r = TRect{p.X, p.Y, q.X, q.Y + 1};
      if (p.X > q.X) r = TRect{q.X + 1, p.Y, p.X + 1, q.Y + 1};
    }
    FillRectWithBrush(dc, r, brush);
  }
  const TPoint last = points[lastIndex];
  FillRectWithBrush(dc, TRect{last.X, last.Y, last.X + 1, last.Y + 1}, brush);
}

void DrawTransparentGlyph(TcxCanvas* canvas, Integer x, Integer y, TBitmap* glyph, TColor backgroundColor,
                          Boolean enabled, TBitmap* workBitmap) {
  if (!IsGlyphAssigned(glyph)) return;
  const Integer w = glyph->GetWidth();
  const Integer h = glyph->GetHeight();
  TCanvas* target = canvas->GetCanvas();
  if (enabled) {
    TBrush* brush = workBitmap ? workBitmap->GetCanvas()->GetBrush() : target->GetBrush();
    const TBrushStyle savedStyle = brush->GetStyle();
    const TColor savedColor = brush->GetColor();
    if (workBitmap || backgroundColor == clNone)
      brush->SetStyle(bsClear);
    else
      brush->SetColor(backgroundColor);
    try {
      if (workBitmap) {
        workBitmap->GetCanvas()->BrushCopy(TRect{0, 0, w, h}, glyph, TRect{0, 0, w, h}, glyph->GetTransparentColor());
        target->Draw(x, y, workBitmap);
      } else {
        target->BrushCopy(TRect{x, y, x + w, y + h}, glyph, TRect{0, 0, w, h}, glyph->GetTransparentColor());
      }
    } catch (...) {
      brush->SetColor(savedColor);
      brush->SetStyle(savedStyle);
      throw;
    }
    brush->SetColor(savedColor);
    brush->SetStyle(savedStyle);
    return;
  }
  Owned<TCustomImageList> images(new TCustomImageList(nullptr, w, h));
  images->AddMasked(glyph, glyph->GetTransparentColor());
  if (!workBitmap && backgroundColor != clNone) {
    Owned<TBitmap> temp(new TBitmap);
    temp->SetWidth(w);
    temp->SetHeight(h);
    temp->GetCanvas()->GetBrush()->SetColor(backgroundColor);
    temp->GetCanvas()->FillRect(TRect{0, 0, w, h});
    images->Draw(temp->GetCanvas(), 0, 0, 0, false);
    target->Draw(x, y, temp.get());
  } else if (workBitmap) {
    images->Draw(workBitmap->GetCanvas(), 0, 0, 0, false);
    target->Draw(x, y, workBitmap);
  } else {
    images->Draw(target, x, y, 0, false);
  }
}

void DrawImageListImage(TcxCanvas* canvas, TCustomImageList* images, Integer imageIndex, const TRect& rect,
                        TColor backgroundColor, Boolean enabled, TBitmap* workBitmap) {
  if (!IsImageListAssigned(images)) return;
  Owned<TBitmap> temp;
  TBitmap* bitmap = workBitmap;
  if (!bitmap) {
    temp.reset(new TBitmap);
    temp->SetWidth(images->GetWidth());
    temp->SetHeight(images->GetHeight());
    temp->GetCanvas()->GetBrush()->SetColor(backgroundColor);
    temp->GetCanvas()->FillRect(TRect{0, 0, images->GetWidth(), images->GetHeight()});
    bitmap = temp.get();
  }
  images->Draw(bitmap->GetCanvas(), 0, 0, imageIndex, enabled);
  canvas->GetCanvas()->Draw(rect.Left, rect.Top, bitmap);
}

Boolean IsGlyphAssigned(TBitmap* glyph) {
  return glyph && !glyph->GetEmpty() && glyph->GetWidth() > 0 && glyph->GetHeight() > 0;
}

Boolean IsImageListAssigned(TCustomImageList* images) {
  return images && images->GetWidth() > 0 && images->GetHeight() > 0;
}

void FillRectWithColor(TcxCanvas* canvas, const TRect& rect, TColor color) {
  FillRectWithBrush(canvas->GetDCHandle(), rect, GetCachedSolidBrush(color));
}

void FillRectWithBrush(HDC dc, const TRect& rect, HBRUSH brush) { ::FillRect(dc, &rect, brush); }

void FillRectExcept(TcxCanvas* canvas, const TRect& rect, const TRect& innerRect, HBRUSH brush) {
  if (orv::IsEmptyRect(rect) || rect == innerRect) return;
  const HDC dc = canvas->GetDCHandle();
  if (orv::IsEmptyRect(innerRect)) {
    FillRectWithBrush(dc, rect, brush);
    return;
  }
  FillRectWithBrush(dc, TRect{rect.Left, rect.Top, innerRect.Left, rect.Bottom}, brush);
  FillRectWithBrush(dc, TRect{innerRect.Left, rect.Top, innerRect.Right, innerRect.Top}, brush);
  FillRectWithBrush(dc, TRect{innerRect.Right, rect.Top, rect.Right, rect.Bottom}, brush);
  FillRectWithBrush(dc, TRect{innerRect.Left, innerRect.Bottom, innerRect.Right, rect.Bottom}, brush);
}

Integer GetEditButtonWidth(TcxCanvas* canvas, TcxEditButtonViewInfo* button) {
  const TdxThemedObjectKind kind = button->IsComboButton ? totComboBox : totButton;
  if (button->NativeStyle) button->NativeStyle = IsNativeStyleUsable(true, kind);
  Integer margins = 4;
  if (button->NativeStyle) {
    const TRect m = ThemeContentMargins(kind);
    margins = m.Left + m.Right;
  }
  if (button->RequestedWidth > 0) return std::max(button->RequestedWidth, margins);
  const Integer scrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  if (button->Kind == bkGlyph && IsGlyphAssigned(button->Glyph)) return button->Glyph->GetWidth() + margins;
  if (button->Kind == bkText)
    return std::max(scrollHeight, canvas->TextWidthOf(button->VisibleCaption) + 3 + margins);
  return scrollHeight;
}

Integer GetEditBorderWidth(TcxEditBorderStyle style, TcxCustomLookAndFeelPainterClass skinPainter) {
  if (skinPainter) return style == ebsThick ? 2 : 1;
  return GetContainerBorderWidth(TcxContainerBorderStyle(style));
}

Integer GetButtonVerticalInsets(TcxCanvas* canvas, TcxEditButtonStyle style, Boolean native) {
  if (native) {
    const TRect m = ThemeContentMargins(totButton);
    return m.Top + m.Bottom;
  }
  static constexpr Integer kHeights[] = {0, 4, 2, 2, 2, 2, 2};
  return kHeights[style];
}

Integer GetInplaceNativeHeightCorrection(TcxCustomEditProperties* properties, Boolean inplace) {
  return inplace && properties->GetButtons()->GetCount() > 0 ? 1 : 0;
}

TcxCustomLookAndFeelPainterClass GetEditPainterClass(Boolean nativeStyle, TcxLookAndFeelKind kind) {
  if (nativeStyle && IsVisualStyleActive()) return TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass());
  switch (kind) {
    case lfFlat: return TcxCustomLookAndFeelPainterClass(TcxFlatLookAndFeelPainter::StaticClass());
    case lfStandard: return TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass());
    case lfUltraFlat: return TcxCustomLookAndFeelPainterClass(TcxUltraFlatLookAndFeelPainter::StaticClass());
    default: return TcxCustomLookAndFeelPainterClass(TcxOffice11LookAndFeelPainter::StaticClass());
  }
}

namespace {
constexpr Integer kTextFlagPairs[][2] = {{4, 1}, {2, 2}, {0x20, 0x10}, {0x10, 0x20}, {0x40, 0x200}, {0x400, 0x100}};
}

Integer TranslateTextFlags(Integer canvasFlags) {
  Integer result = 0;
  for (const auto& pair : kTextFlagPairs)
    if (canvasFlags & pair[0]) result |= pair[1];
  return result;
}

Integer TranslateTextFlagsToCanvas(Integer engineFlags) {
  Integer result = 0;
  for (const auto& pair : kTextFlagPairs)
    if (engineFlags & pair[1]) result |= pair[0];
  return result;
}

Boolean IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

Boolean IsWhiteSpaceChar(char c) { return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32; }

TcxLookAndFeelKind GetEditLookAndFeelKind(TcxCustomEdit* edit) {
  if (edit->IsInplace()) return edit->GetStyle()->GetLookAndFeel()->GetKind();
  TcxCustomEditViewInfo* viewInfo = edit->GetEditViewInfo();
  if (viewInfo->GetButtonCount() == 0) return lfStandard;
  switch (viewInfo->GetButton(0)->Style) {
    case btsFlat:
    case btsSimple:
    case btsHotFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

TColor GetHotBorderColor(Boolean office11) { return office11 ? Office11HighlightColor : clHighlight; }

TColor GetUltraFlatButtonColor(Boolean pressed, Boolean office11) {
  const TcxButtonState state = pressed ? cxbsPressed : cxbsHot;
  if (office11) return TcxCustomLookAndFeelPainterClass(TcxOffice11LookAndFeelPainter::StaticClass())->ButtonFaceColor(state);
  return TcxCustomLookAndFeelPainterClass(TcxUltraFlatLookAndFeelPainter::StaticClass())->ButtonFaceColor(state);
}

void SetCanvasFontFromLogFont(TcxCanvas* canvas, const LOGFONT& logFont) {
  canvas->GetFont()->SetHandle(CreateFontIndirect(&logFont));
}

Boolean GetCanvasLogFont(TcxCanvas* canvas, LOGFONT& logFont) {
  return GetObject(canvas->GetFont()->GetHandle(), sizeof(LOGFONT), &logFont) != 0;
}
