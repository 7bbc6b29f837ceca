// The painters' drawing of edit and combo items (caption, glyph, frame, drop-down button and the
// value), of labels and of separators, in the base look and the flat and Office 2003 looks; and
// the borders of drop-down lists and windows.
//
// Edit-like controls keep their part rectangles: 0 the edit area, 1 the glyph area, 2 the
// caption area, 3 the drop-down button. The frame around the edit area is the edit area grown by
// the edit button offsets (for combos: around the edit area and the button together).

#include <algorithm>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCommon.h"
#include "components/bars/dxBarDrawing.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/UserControls.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

void EpFill(HDC dc, const TRect& rect, HBRUSH brush) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FillRect(dc, &r, brush);
}

void EpFrame(HDC dc, const TRect& rect, HBRUSH brush) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FrameRect(dc, &r, brush);
}

void EpFrameColor(HDC dc, const TRect& rect, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  EpFrame(dc, rect, brush);
  DeleteObject(brush);
}

void EpFillColor(HDC dc, const TRect& rect, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  EpFill(dc, rect, brush);
  DeleteObject(brush);
}

void EpEdge(HDC dc, const TRect& rect, UINT edge, UINT flags = BF_RECT) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, edge, flags);
}

TRect EpInset(const TRect& r, Integer d) { return TRect{r.Left + d, r.Top + d, r.Right - d, r.Bottom - d}; }

Boolean EpEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

TRect EpPart(TdxBarItemControl* control, Integer index) {
  return control && index < control->GetPartCount() ? control->GetPartRect(index) : TRect();
}

TCustomdxBarControl* EpParent(TdxBarItemControlDrawParams* params) {
  return params && params->Owner ? params->Owner->GetParent() : nullptr;
}

HBRUSH EpParentBrush(TdxBarPainter* painter, TdxBarItemControlDrawParams* params) {
  TCustomdxBarControl* parent = EpParent(params);
  return parent ? parent->GetBackgroundBrush() : painter->GetToolbarBrush();
}

Boolean EpNonRecent(TdxBarItemControlDrawParams* params) {
  auto* subMenu = dynamic_cast<TdxBarSubMenuControl*>(EpParent(params));
  return subMenu && subMenu->IsNonRecent(params->Owner);
}

Boolean EpInMenu(TdxBarItemControlDrawParams* params) { return params->HostKind == hkMenu; }

Boolean EpReadOnly(TdxBarItemControlDrawParams* params) {
  auto* edit = dynamic_cast<TdxBarEditLikeControlDrawParams*>(params);
  return edit && edit->ReadOnlyDisplay;
}

Boolean EpCaptionShown(TdxBarItemControlDrawParams* params) {
  return EpInMenu(params) || (params->Content & ceText) != 0;
}

Boolean EpGlyphShown(TdxBarItemControlDrawParams* params) { return (params->Content & ceIcon) != 0; }

// The colour a brush paints with (a solid or system brush); the button face for anything else.
TColor EpBrushColor(HBRUSH brush) {
  LOGBRUSH info{};
  if (brush && GetObject(brush, sizeof(info), &info) == sizeof(info) && info.lbStyle == BS_SOLID)
    return TColor(info.lbColor & 0xFFFFFF);
  return TColor(GetSysColor(COLOR_BTNFACE));
}

Integer EpComboArrowWidth(TdxBarPainter* painter, TdxBarItemControlDrawParams* params) {
  TcxCanvas* canvas = params->Canvas ? params->Canvas : (params->Owner ? params->Owner->GetCanvas() : nullptr);
  Integer zero = 7;
  if (canvas) {
    SIZE size{};
    if (GetTextExtentPoint32(canvas->GetHandle(), "0", 1, &size) && size.cx > 0) zero = size.cx;
  }
  return painter->CalcComboArrowWidth(EpParent(params), zero);
}

}  // namespace

// ==== Base painter ==============================================================================

TColor TdxBarPainter::GetBarBackgroundColor(TdxBarItemControl* control) {
  TCustomdxBarControl* parent = control ? control->GetParent() : nullptr;
  return EpBrushColor(parent ? parent->GetBackgroundBrush() : GetToolbarBrush());
}

TColor TdxBarPainter::GetEditColor(TdxBarItemControlDrawParams* params) {
  if (!params->Enabled) return GetBarBackgroundColor(params->Owner);
  auto* edit = dynamic_cast<TdxBarEditLikeControlDrawParams*>(params);
  if (edit && edit->EditColor != clDefault) return edit->EditColor;
  return GetEditDefaultColor(params->Owner);
}

TColor TdxBarPainter::GetEditTextColor(TdxBarItemControlDrawParams* params) {
  if (!params->Enabled) return GetEditDisabledTextColor();
  auto* edit = dynamic_cast<TdxBarEditLikeControlDrawParams*>(params);
  if (edit && edit->EditTextColor != clDefault) return edit->EditTextColor;
  return GetEditTextDefaultColor();
}

void TdxBarPainter::GetEditColors(TdxBarItemControlDrawParams* params, TColor& textColor, TColor& color) {
  textColor = GetEditTextColor(params);
  color = GetEditColor(params);
}

Boolean TdxBarPainter::IsEditHighlighted(TdxBarItemControlDrawParams* params) {
  return EpInMenu(params) && (params->Selected || EpNonRecent(params));
}

Boolean TdxBarPainter::IsEditSelectedInMenu(TdxBarItemControlDrawParams* params) {
  return EpInMenu(params) && EpNonRecent(params);
}

HBRUSH TdxBarPainter::GetEditBrush(TdxBarItemControl* control) {
  TCustomdxBarControl* parent = control ? control->GetParent() : nullptr;
  return parent ? parent->GetBackgroundBrush() : GetToolbarBrush();
}

Boolean TdxBarPainter::HasEditImageRect(TdxBarItemControlDrawParams* params) {
  return !EpEmpty(EpPart(params->Owner, 1));
}

void TdxBarPainter::CalcEditImageWidth(TdxBarItemControlDrawParams* params, TSize& size) {
  if (!HasEditImage() || !HasEditImageRect(params)) return;
  TRect offsets;
  GetEditImageOffsets(params->HostKind, offsets);
  size.cx = EpPart(params->Owner, 1).Width() + offsets.Right;
}

void TdxBarPainter::SelectEditText(TdxBarItemControl* control, HWND editWindow, Boolean notify) {
  if (!editWindow) return;
  if (notify) SendMessage(editWindow, WM_COMMAND, WPARAM(EN_CHANGE) << 16, LPARAM(editWindow));
  SendMessage(editWindow, EM_SETSEL, 0, LPARAM(-1));
}

Integer TdxBarPainter::GetSeparatorItemSize(TdxBarItemControlDrawParams* params) {
  TCustomdxBarControl* parent = EpParent(params);
  return parent ? parent->GetBeginGroupSize() : GetToolbarSeparatorSize();
}

Boolean TdxBarPainter::HasStaticOwnBrush(TdxBarItemControlDrawParams* params) {
  return params->Owner && params->Owner->HasOwnBkBrush();
}

void TdxBarPainter::CalcEditParts(TdxBarItemControlDrawParams* params, std::vector<TRect>& parts) {
  if (parts.size() < 3) parts.resize(3);
  TRect offsets;
  GetEditButtonOffsets(params->HostKind, offsets);
  TRect& glyph = parts[1];
  const Integer glyphWidth = glyph.Width();
  if (EpReadOnly(params) && !EpInMenu(params)) glyph.Left += offsets.Left;
  glyph.Right = glyph.Left + glyphWidth;
  TRect& caption = parts[2];
  const Integer captionWidth = caption.Width();
  caption.Left = glyph.Right;
  caption.Right = caption.Left + captionWidth;
  TRect& edit = parts[0];
  edit = TRect{edit.Left + offsets.Left, edit.Top + offsets.Top, edit.Right - offsets.Right, edit.Bottom - offsets.Bottom};
}

void TdxBarPainter::CalcComboParts(TdxBarItemControlDrawParams* params, std::vector<TRect>& parts,
                                   const TRect& itemRect, Integer lastIndex) {
  if (parts.size() < 4) parts.resize(4);
  TRect offsets;
  GetComboButtonOffsets(params->HostKind, offsets);
  TRect& button = parts[3];
  button = TRect{itemRect.Left + offsets.Left, itemRect.Top + offsets.Top, itemRect.Right - offsets.Right,
                 itemRect.Bottom - offsets.Bottom};
  button.Left = std::max(button.Left, button.Right - EpComboArrowWidth(this, params));
  parts[0].Right = button.Left - GetSplitLineWidth();
}

Integer TdxBarPainter::CalcEditHeight(TdxBarItemControl* control, Integer textHeight) {
  const Integer paintType = control ? Integer(control->GetHostKind()) : Integer(hkToolbar);
  TRect buttons, content;
  GetEditButtonOffsets(paintType, buttons);
  GetEditContentOffsets(content);
  Integer top, bottom;
  GetEditFrameSizes(top, bottom);
  return textHeight + buttons.Top + buttons.Bottom + top + bottom + (content.Top + content.Bottom - top - bottom);
}

void TdxBarPainter::CalcEditTextRect(TdxBarItemControl* control, TRect& rect) {
  TRect content;
  GetEditContentOffsets(content);
  Integer top, bottom;
  GetEditFrameSizes(top, bottom);
  rect = TRect{rect.Left + content.Left, rect.Top + top, rect.Right - content.Right, rect.Bottom - bottom};
}

void TdxBarPainter::CalcEditCaptionRect(TdxBarItemControlDrawParams* params, Integer kind, TRect& rect) {
  if (kind == 1) {
    rect = TRect{GetEditCaptionWidth(params), 0, GetEditCaptionGap(), 0};
    return;
  }
  if (EpInMenu(params)) {
    GetEditCaptionMargins(rect);
    return;
  }
  TRect indent;
  GetTextIndentRect(indent);
  const Integer glyphWidth = params->Owner ? params->Owner->GetGlyphSize(params->SizeMode).cx : 0;
  rect = TRect{(params->GlyphCellSize.cx - glyphWidth) / 2, 0, indent.Left, 0};
}

Integer TdxBarPainter::GetEditCaptionWidth(TdxBarItemControlDrawParams* params) {
  if (!EpGlyphShown(params)) return GetEditCaptionIndent();
  return EpInMenu(params) ? GetEditCaptionIndentInMenu() : 0;
}

void TdxBarPainter::FillEditCaptionArea(TdxBarItemControlDrawParams* params) {
  TdxBarItemControl* control = params->Owner;
  HDC dc = params->Canvas->GetHandle();
  const Boolean inMenu = EpInMenu(params);
  HBRUSH captionBrush = inMenu && params->Selected ? GetSelectionBrush() : EpParentBrush(this, params);
  const TRect caption = EpPart(control, 2);
  const TRect edit = EpPart(control, 0);
  TRect offsets;
  GetEditButtonOffsets(params->HostKind, offsets);
  if (EpCaptionShown(params) || (inMenu && HasMenuBand() && !EpGlyphShown(params))) {
    TRect margins;
    CalcEditCaptionRect(params, 1, margins);
    TRect area = caption;
    area.Right -= margins.Right;
    if (!EpEmpty(area)) FillItemBackground(control, dc, IsEditHighlighted(params), captionBrush, area);
    const TRect gap{std::max(area.Right, caption.Left), caption.Top, edit.Left - offsets.Left, caption.Bottom};
    if (!EpEmpty(gap)) FillItemBackground(control, dc, IsEditSelectedInMenu(params), GetEditBrush(control), gap);
  }
  if (EpGlyphShown(params) && !inMenu) {
    const TRect glyph = EpPart(control, 1);
    if (!EpEmpty(glyph)) FillItemBackground(control, dc, IsEditHighlighted(params), captionBrush, glyph);
  }
}

void TdxBarPainter::DrawEditSelection(TdxBarItemControlDrawParams* params, const TRect& rect) {
  DrawSelectionFrame(params->Canvas->GetHandle(), rect);
}

void TdxBarPainter::DrawEditFrame(TdxBarItemControlDrawParams* params, TRect& rect) {
  TdxBarItemControl* control = params->Owner;
  HDC dc = params->Canvas->GetHandle();
  const Boolean nonRecent = EpNonRecent(params);
  const Boolean readOnly = EpReadOnly(params);
  HBRUSH parentBrush = EpParentBrush(this, params);
  if (params->Selected)
    EpEdge(dc, rect, BDR_SUNKENOUTER);
  else
    FrameItemBackground(control, dc, nonRecent, parentBrush, rect);
  const TRect inner = EpInset(rect, 1);
  HBRUSH innerBrush = params->Enabled || readOnly ? parentBrush : GetSysColorBrush(COLOR_BTNHIGHLIGHT);
  const Boolean useBrush = nonRecent || ((params->Selected || !params->Enabled) && !readOnly);
  if (!EpEmpty(inner)) FrameItemBackground(control, dc, useBrush, innerBrush, inner);
  rect = EpInset(rect, 2);
}

void TdxBarPainter::DrawEditGlyph(TdxBarItemControlDrawParams* params, const TRect& rect) {
  TRect area = rect;
  if (!EpInMenu(params)) {
    TRect margins;
    CalcEditCaptionRect(params, 0, margins);
    area.Left += margins.Left;
    area.Right -= margins.Right;
  }
  HDC dc = params->Canvas->GetHandle();
  TRect glyphRect;
  DrawItemGlyph(params, dc, area, glyphRect);
  ExcludeClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TdxBarPainter::DrawEditCaptionText(TdxBarItemControlDrawParams* params, const TRect& rect) {
  TRect margins;
  CalcEditCaptionRect(params, 1, margins);
  const TRect text{rect.Left, rect.Top, rect.Right - margins.Right, rect.Bottom};
  HDC dc = params->Canvas->GetHandle();
  DrawItemText(params->Owner, dc, DT_SINGLELINE, IsFlatOnNonWhiteFace(), true, false,
               params->Selected && EpInMenu(params), params->Enabled, 2, text, params->Caption);
  ExcludeClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TdxBarPainter::DrawEditText(TcxCanvas* canvas, const TRect& rect, const AnsiString& text) {
  HDC dc = canvas->GetHandle();
  EpFill(dc, rect, canvas->GetBrushHandle());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT r{rect.Left + 2, rect.Top, rect.Right, rect.Bottom};
  DrawText(dc, text.c_str(), Integer(text.size()), &r, DT_SINGLELINE | DT_NOPREFIX | DT_TOP);
  SetBkMode(dc, oldMode);
}

void TdxBarPainter::DrawWindowItemText(TdxBarItemControl* control, TcxCanvas* canvas, const TRect& rect,
                                       const AnsiString& text) {
  HDC dc = canvas->GetHandle();
  EpFill(dc, rect, canvas->GetBrushHandle());
  TRect textRect = rect;
  CalcEditTextRect(control, textRect);
  SetBkMode(dc, TRANSPARENT);
  RECT r{textRect.Left, textRect.Top, textRect.Right, textRect.Bottom};
  DrawText(dc, text.c_str(), Integer(text.size()), &r, DT_NOPREFIX);
  SetBkMode(dc, OPAQUE);
}

void TdxBarPainter::EraseItemFrame(TdxBarItemControlDrawParams* params, const TRect& rect) {
  // A ring of the parent's background: two pixels at the top and bottom, one at the sides.
  HDC dc = params->Canvas->GetHandle();
  FrameItemBackground(params->Owner, dc, false, EpParentBrush(this, params), rect);
  const TRect inner{rect.Left, rect.Top + 1, rect.Right, rect.Bottom - 1};
  if (!EpEmpty(inner)) FrameItemBackground(params->Owner, dc, false, EpParentBrush(this, params), inner);
}

HBRUSH TdxBarPainter::GetDropDownPartBrush(TdxBarItemControlDrawParams* params) {
  if (params->Enabled && (params->Selected || params->MenuOpen)) {
    if (IsFlatStyle() && !params->MenuOpen) return GetSelectionBrush();
    return GetFaceBrush();
  }
  return EpParentBrush(this, params);
}

void TdxBarPainter::DrawComboDropDownButton(TdxBarItemControlDrawParams* params, const TRect& rect) {
  TRect button = rect;
  DrawComboButton(params, button, GetDropDownPartBrush(params));
  Integer size = rect.Width() / 4;
  if (size % 2 == 0) ++size;
  DrawComboArrow(params, button, clDefault, size);
}

void TdxBarPainter::DrawComboArrow(TdxBarItemControlDrawParams* params, const TRect& rect, TColor color,
                                   Integer size) {
  if (!IsFlatStyle() && !params->Enabled) color = clDefault;
  DrawItemArrow(params->Canvas->GetHandle(), rect, true, color, IsFlatStyle(), params->Enabled, false, size);
}

void TdxBarPainter::DrawDropDownListBorder(HDC dc, TColor color, const TRect& rect) {
  EpFrame(dc, rect, GetSysColorBrush(COLOR_BTNSHADOW));
  const TRect inner = EpInset(rect, 1);
  if (!EpEmpty(inner)) EpFrameColor(dc, inner, color);
}

void TdxBarPainter::AdjustDropDownWindowRect(TRect& rect, TdxBarItemControl* control, Boolean calcCorner,
                                             Integer& corner) {
  rect = EpInset(rect, 1);
  if (calcCorner && control && control->GetParent() && control->GetParent()->HandleAllocated()) {
    TRect item = control->GetItemRect();
    POINT p{item.Left, item.Top};
    ClientToScreen(control->GetParent()->GetHandle(), &p);
    item = TRect{p.X, p.Y, p.X + item.Width(), p.Y + item.Height()};
    corner = GetDropDownCorner(item, rect);
  }
  if (corner == 2 || corner == 3)
    rect.Bottom -= GetDropDownPanelHeight();
  else
    rect.Top += GetDropDownPanelHeight();
}

void TdxBarPainter::DrawDropDownPanel(HWND window, Boolean hasPanel, Integer corner, TRect& gripRect,
                                      TRect& closeRect, Boolean hot, Boolean down) {
  PaintDropDownFrame(window, hasPanel, false, hot, down, closeRect, gripRect, corner);
}

Integer TdxBarPainter::GetDropDownPanelHeight() { return CalcDropDownPanelHeight(); }

void TdxBarPainter::DrawEdit(TdxBarItemControlDrawParams* params, const TRect& rect) {
  if (!params->Canvas) return;
  TdxBarItemControl* control = params->Owner;
  TcxCanvas* canvas = params->Canvas;
  HDC dc = canvas->GetHandle();
  HRGN saved = nullptr;
  Boolean had = false;
  SaveClipRegion(dc, saved, had);
  FillEditCaptionArea(params);
  if (EpInMenu(params) && params->Selected) DrawEditSelection(params, rect);
  // The frame around the edit area (and a combo's button).
  const TRect edit = EpPart(control, 0);
  const TRect button = EpPart(control, 3);
  TRect offsets;
  GetEditButtonOffsets(params->HostKind, offsets);
  TRect frame{edit.Left - offsets.Left, edit.Top - offsets.Top, edit.Right + offsets.Right, edit.Bottom + offsets.Bottom};
  if (!EpEmpty(button)) {
    frame.Right = std::max(frame.Right, button.Right + offsets.Right);
    frame.Top = std::min(frame.Top, button.Top - offsets.Top);
    frame.Bottom = std::max(frame.Bottom, button.Bottom + offsets.Bottom);
  }
  if (!EpEmpty(frame)) DrawEditFrame(params, frame);
  if (EpGlyphShown(params) && !EpEmpty(EpPart(control, 1))) DrawEditGlyph(params, EpPart(control, 1));
  if (EpCaptionShown(params) && !EpEmpty(EpPart(control, 2))) DrawEditCaptionText(params, EpPart(control, 2));
  if (!EpEmpty(button)) DrawComboDropDownButton(params, button);
  RestoreClipRegion(dc, saved, had);
}

void TdxBarPainter::GetStaticBorderOffsets(Integer borderStyle, TRect& rect) {
  static const Integer widths[] = {0, 1, 1, 2, 2};
  const Integer w = borderStyle >= 0 && borderStyle <= 4 ? widths[borderStyle] : 0;
  rect = TRect{w, w, w, w};
}

void TdxBarPainter::DrawStaticBorder(TdxBarItemControlDrawParams* params, TRect& rect) {
  auto* stat = dynamic_cast<TdxBarStaticLikeControlDrawParams*>(params);
  const Integer style = stat ? stat->BorderStyle : 0;
  if (style <= 0 || style > 4) return;
  HDC dc = params->Canvas->GetHandle();
  if (style == 4) {
    EpEdge(dc, rect, BDR_RAISEDINNER);
    rect = EpInset(rect, 1);
    EpEdge(dc, rect, BDR_SUNKENOUTER);
    rect = EpInset(rect, 1);
    return;
  }
  EpEdge(dc, rect, style == 1 ? BDR_SUNKENOUTER : style == 2 ? BDR_RAISEDINNER : EDGE_ETCHED);
  TRect offsets;
  GetStaticBorderOffsets(style, offsets);
  rect = TRect{rect.Left + offsets.Left, rect.Top + offsets.Top, rect.Right - offsets.Right, rect.Bottom - offsets.Bottom};
}

void TdxBarPainter::DrawStaticBackground(TdxBarItemControlDrawParams* params, TRect& rect) {
  DrawStaticBorder(params, rect);
  TdxBarItemControl* control = params->Owner;
  FillItemBackground(control, params->Canvas->GetHandle(), HasStaticOwnBrush(params), control ? control->GetBkBrush() : nullptr,
                     rect);
}

void TdxBarPainter::DrawStatic(TdxBarItemControlDrawParams* params, const TRect& itemRect) {
  if (!params->Canvas) return;
  TdxBarItemControl* control = params->Owner;
  HDC dc = params->Canvas->GetHandle();
  TRect rect = itemRect;
  DrawStaticBackground(params, rect);
  auto* stat = dynamic_cast<TdxBarStaticLikeControlDrawParams*>(params);
  const Integer alignment = stat ? stat->Alignment : taLeftJustify;
  const Boolean vertical = params->HostKind == hkRotatedToolbar;
  const Boolean inMenu = EpInMenu(params);
  TCustomdxBarControl* parent = EpParent(params);
  const Boolean glyphShown = EpGlyphShown(params);
  if (glyphShown) {
    TRect area = rect;
    if (inMenu) {
      if (!(stat && stat->CenteredGlyph)) CalcMenuIconRect(rect, GetIconAreaSize(parent), area);
    } else if (vertical) {
      area.Bottom = area.Top + params->GlyphCellSize.cy;
    } else {
      area.Right = area.Left + params->GlyphCellSize.cx;
    }
    TRect glyphRect;
    DrawItemGlyph(params, dc, area, glyphRect);
  }
  if (params->Content & ceText) {
    Integer indent;
    if (glyphShown)
      indent = inMenu ? (alignment == taLeftJustify ? GetMenuTextIndent(params) : 0)
                      : (vertical ? params->GlyphCellSize.cy : params->GlyphCellSize.cx) + 2;
    else
      indent = alignment == taCenter ? 0 : (parent ? parent->GetTextSize() : 0) / 4;
    TRect text = rect;
    if (alignment == taLeftJustify || alignment == taCenter) {
      if (vertical)
        text.Top += indent;
      else
        text.Left += indent;
    } else if (vertical) {
      text.Bottom -= 2;
    } else {
      text.Right -= 2;
    }
    const Integer align = alignment == taRightJustify ? 2 : alignment == taCenter ? 1 : 0;
    DrawItemText(control, dc, DT_SINGLELINE, false, true, vertical, false, params->Enabled, align, text, params->Caption);
  }
}

void TdxBarPainter::DrawSeparatorItem(TdxBarItemControlDrawParams* params, const TRect& rect) {
  if (!params->Canvas) return;
  TCustomdxBarControl* parent = EpParent(params);
  if ((params->Content & ceText) && !params->Caption.empty()) {
    DrawSeparatorCaption(params, rect);
    auto* separator = dynamic_cast<TdxBarSeparatorControlDrawParams*>(params);
    const Integer line = GetSeparatorLineHeight();
    if (!(separator && separator->FirstShown))
      DrawMenuSeparatorLine(params->Canvas, TRect{rect.Left, rect.Top, rect.Right, rect.Top + line});
    DrawMenuSeparatorLine(params->Canvas, TRect{rect.Left, rect.Bottom - line, rect.Right, rect.Bottom});
    return;
  }
  if (auto* subMenu = dynamic_cast<TdxBarSubMenuControl*>(parent)) {
    DrawMenuGroupSeparator(subMenu, params->Owner, rect, params->Canvas);
    return;
  }
  if (parent)
    DrawToolbarSeparator(parent, params->Canvas->GetHandle(), parent->IsVertical(), parent->GetBackgroundBrush(), rect);
}

// ==== Flat painter ==============================================================================

Boolean TdxBarFlatPainter::IsEditSelectedInMenu(TdxBarItemControlDrawParams* params) {
  return EpInMenu(params) && (params->Selected || (params->Owner && params->Owner->IsActive()));
}

HBRUSH TdxBarFlatPainter::GetEditBrush(TdxBarItemControl* control) {
  return control ? control->GetBkBrush() : GetToolbarBrush();
}

void TdxBarFlatPainter::DrawEditFrame(TdxBarItemControlDrawParams* params, TRect& rect) {
  HDC dc = params->Canvas->GetHandle();
  const Boolean readOnly = EpReadOnly(params);
  if (params->Selected)
    DrawSelectionFrame(dc, rect);
  else if (EpInMenu(params) && !readOnly)
    EpFrame(dc, rect, EpParentBrush(this, params));
  else if (params->Enabled || readOnly)
    FrameItemBackground(params->Owner, dc, readOnly && EpNonRecent(params), EpParentBrush(this, params), rect);
  else
    EpFrame(dc, rect, GetSysColorBrush(COLOR_BTNSHADOW));
  rect = EpInset(rect, 1);
}

void TdxBarFlatPainter::DrawEditSelection(TdxBarItemControlDrawParams* params, const TRect& rect) {
  TdxBarPainter::DrawEditSelection(params, rect);
  // The frame stays: later fills of the row leave the ring alone.
  HDC dc = params->Canvas->GetHandle();
  ExcludeClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Top + 1);
  ExcludeClipRect(dc, rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom);
  ExcludeClipRect(dc, rect.Left, rect.Top, rect.Left + 1, rect.Bottom);
  ExcludeClipRect(dc, rect.Right - 1, rect.Top, rect.Right, rect.Bottom);
}

void TdxBarFlatPainter::DrawEditButtonFrame(TdxBarItemControlDrawParams* params, HDC dc, Boolean pressed, Boolean hot,
                                            Boolean enabled, const TRect& rect) {
  if (hot) {
    DrawSelectionFrame(dc, rect);
    EpFill(dc, EpInset(rect, 1), pressed ? GetFaceBrush() : GetSelectionBrush());
    return;
  }
  HBRUSH brush = EpParentBrush(this, params);
  EpFrame(dc, rect, brush);
  EpFill(dc, EpInset(rect, 1), brush);
}

void TdxBarFlatPainter::DrawComboButton(TdxBarItemControlDrawParams* params, TRect& rect, HBRUSH brush) {
  HDC dc = params->Canvas->GetHandle();
  TdxBarItemControl* control = params->Owner;
  if (params->Selected && params->Enabled) {
    rect = TRect{rect.Left - 1, rect.Top - 1, rect.Right + 1, rect.Bottom + 1};
    DrawSelectionFrame(dc, rect);
  } else {
    HBRUSH frame = params->Enabled && control ? control->GetBkBrush() : EpParentBrush(this, params);
    EpFrame(dc, rect, frame);
    EpFill(dc, TRect{rect.Left - 1, rect.Top, rect.Left, rect.Bottom}, frame);
  }
  EpFill(dc, EpInset(rect, 1), brush);
}

void TdxBarFlatPainter::DrawDropDownPanel(HWND window, Boolean hasPanel, Integer corner, TRect& gripRect,
                                          TRect& closeRect, Boolean hot, Boolean down) {
  PaintDropDownFrame(window, hasPanel, true, hot, down, closeRect, gripRect, corner);
}

// ==== Office 2003 painter =======================================================================

Boolean TdxBarOffice11Painter::IsEditHighlighted(TdxBarItemControlDrawParams* params) {
  return EpInMenu(params) && params->Selected;
}

Boolean TdxBarOffice11Painter::IsEditSelectedInMenu(TdxBarItemControlDrawParams* params) {
  return EpInMenu(params) && params->Selected;
}

void TdxBarOffice11Painter::DrawEditFrame(TdxBarItemControlDrawParams* params, TRect& rect) {
  HDC dc = params->Canvas->GetHandle();
  const Boolean readOnly = EpReadOnly(params);
  if (params->Selected)
    DrawSelectionFrame(dc, rect);
  else if (!params->Enabled && !readOnly)
    EpFrameColor(dc, rect, Office11DisabledTextColor);
  else if (!EpInMenu(params) || readOnly)
    FrameItemBackground(params->Owner, dc, false, EpParentBrush(this, params), rect);
  else
    EpFrameColor(dc, rect, Office11PopupOwnerColor);
  rect = EpInset(rect, 1);
}

void TdxBarOffice11Painter::DrawEditButtonFrame(TdxBarItemControlDrawParams* params, HDC dc, Boolean pressed,
                                                Boolean hot, Boolean enabled, const TRect& rect) {
  if (hot) {
    DrawSelectionFrame(dc, rect);
    EpFill(dc, EpInset(rect, 1), pressed ? GetFaceBrush() : GetSelectionBrush());
  } else if (enabled) {
    EpFrame(dc, rect, EpParentBrush(this, params));
    EpFillColor(dc, EpInset(rect, 1), Office11PopupOwnerColor);
  } else {
    EpFrameColor(dc, rect, Office11DisabledTextColor);
    EpFill(dc, EpInset(rect, 1), GetSysColorBrush(COLOR_BTNFACE));
  }
}

void TdxBarOffice11Painter::DrawComboButton(TdxBarItemControlDrawParams* params, TRect& rect, HBRUSH brush) {
  HDC dc = params->Canvas->GetHandle();
  TdxBarItemControl* control = params->Owner;
  if (params->Selected && params->Enabled) {
    const TRect outer{rect.Left - 1, rect.Top - 1, rect.Right + 1, rect.Bottom + 1};
    DrawSelectionFrame(dc, outer);
    EpFill(dc, rect, params->MenuOpen ? GetFaceBrush() : GetSelectionBrush());
    rect = EpInset(rect, 1);
  } else {
    HBRUSH frame = params->Enabled && control ? control->GetBkBrush() : brush;
    EpFrame(dc, rect, frame);
    EpFill(dc, TRect{rect.Left - 1, rect.Top, rect.Left, rect.Bottom}, frame);
    const TRect inner = EpInset(rect, 1);
    if (params->Enabled && EpInMenu(params))
      EpFillColor(dc, inner, Office11PopupOwnerColor);
    else
      FillItemBackground(control, dc, !params->Enabled, brush, inner);
  }
  if (params->MenuOpen) rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1};
}

void TdxBarOffice11Painter::DrawDropDownListBorder(HDC dc, TColor color, const TRect& rect) {
  EpFrameColor(dc, rect, Office11BorderColor);
  const TRect inner = EpInset(rect, 1);
  if (!EpEmpty(inner)) EpFrameColor(dc, inner, Office11MenuBackgroundColor);
}
