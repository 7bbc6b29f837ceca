// The dxBar unit, continued: screen tips, their repository and the hint view info that draws
// one; the items' ScreenTip property.

#include "components/bars/dxBarScreenTip.h"

#include <algorithm>
#include <cmath>

#include "components/foundation/cxGeometry.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

constexpr TColor kScreenTipTextColor = TColor(0x4C4C4C);  // RGB 76, 76, 76
constexpr Integer kScreenTipMargin = 6;

}  // namespace

// ==== Bands ===================================================================================

TdxBarCustomScreenTipBand::TdxBarCustomScreenTipBand(TdxBarScreenTipBandType bandType) : FBandType(bandType) {
  FGlyph = new TBitmap;
  FGlyph->SetTransparent(true);
}

TdxBarCustomScreenTipBand::~TdxBarCustomScreenTipBand() { orv::Free(FGlyph); }

void TdxBarCustomScreenTipBand::SetGlyph(TBitmap* value) {
  FGlyph->Assign(value);
  Changed();
}

void TdxBarCustomScreenTipBand::SetText(const AnsiString& value) {
  if (value == FText) return;
  FText = value;
  Changed();
}

void TdxBarCustomScreenTipBand::SetTextAlign(TdxBarScreenTipBandTextAlign value) {
  if (value == FTextAlign) return;
  FTextAlign = value;
  Changed();
}

void TdxBarCustomScreenTipBand::Changed() {
  if (FOnChange) FOnChange(this);
}

void TdxBarCustomScreenTipBand::Assign(TPersistent* source) {
  if (auto* band = dynamic_cast<TdxBarCustomScreenTipBand*>(source)) {
    SetText(band->GetText());
    SetTextAlign(band->GetTextAlign());
    SetGlyph(band->GetGlyph());
    return;
  }
  inherited::Assign(source);
}

TFont* TdxBarScreenTipBand::GetFont() {
  TdxBarScreenTipRepository* repository = FScreenTip ? FScreenTip->GetRepository() : nullptr;
  return repository ? repository->GetFont(GetBandType()) : Screen->GetHintFont();
}

TFont* TdxBarScreenTipFooterBand::GetFont() {
  return FRepository ? FRepository->GetFont(stbFooter) : Screen->GetHintFont();
}

// ==== Screen tips =============================================================================

TdxBarScreenTip::TdxBarScreenTip(TComponent* owner) : TcxComponentCollectionItem(owner) {
  FHeader = new TdxBarScreenTipBand(this, stbHeader);
  FDescription = new TdxBarScreenTipBand(this, stbDescription);
  FFooter = new TdxBarScreenTipBand(this, stbFooter);
}

TdxBarScreenTip::~TdxBarScreenTip() {
  orv::Free(FFooter);
  orv::Free(FDescription);
  orv::Free(FHeader);
}

TdxBarScreenTipRepository* TdxBarScreenTip::GetRepository() const {
  return GetCollection() ? dynamic_cast<TdxBarScreenTipRepository*>(GetCollection()->GetParentComponent()) : nullptr;
}

TcxComponentCollection* TdxBarScreenTip::GetParentCollection(TComponent* parent) {
  auto* repository = dynamic_cast<TdxBarScreenTipRepository*>(parent);
  return repository ? repository->GetItems() : nullptr;
}

Integer TdxBarScreenTip::GetActualWidth() {
  Integer width = FWidth;
  if (width == 0) width = FDescription->GetGlyph()->GetEmpty() ? 210 : 318;
  const Integer ppi = Screen ? Screen->GetPixelsPerInch() : 96;
  // Rounded to the nearest integer, halves to even.
  return Integer(std::nearbyint(double(width) * ppi / 96.0));
}

void TdxBarScreenTip::Assign(TPersistent* source) {
  if (auto* tip = dynamic_cast<TdxBarScreenTip*>(source)) {
    FHeader->Assign(tip->GetHeader());
    FDescription->Assign(tip->GetDescription());
    FFooter->Assign(tip->GetFooter());
    FUseHintAsHeader = tip->GetUseHintAsHeader();
    FUseStandardFooter = tip->GetUseStandardFooter();
    FWidth = tip->GetWidth();
    return;
  }
  inherited::Assign(source);
}

void TdxBarScreenTip::SetName(const AnsiString& newName) {
  const AnsiString oldName = GetName();
  const Boolean loading = GetComponentState().Contains(csLoading);
  auto* ownerControl = dynamic_cast<TControl*>(GetOwner());
  const Boolean ownerLoading = ownerControl && ownerControl->GetComponentState().Contains(csLoading);
  const Boolean follows = !loading && !ownerLoading && FHeader->GetText() == oldName;
  inherited::SetName(newName);
  // The header follows the name while the two agree.
  if (follows) FHeader->SetText(newName);
}

AnsiString TdxBarScreenTip::GetDisplayName() {
  return Format("%s - '%s'", {GetName(), FHeader->GetText()});
}

TdxBarScreenTipCollection::TdxBarScreenTipCollection(TdxBarScreenTipRepository* repository)
    : TcxComponentCollection(repository, TdxBarScreenTip::StaticClass()) {}

void TdxBarScreenTipCollection::NameNewItem(TcxComponentCollectionItem* item) {
  TComponent* parent = GetParentComponent();
  TComponent* owner = parent ? parent->GetOwner() : nullptr;
  if (!owner) return;
  item->SetName(GenerateUniqueComponentName(owner, parent, item, "TdxBar"));
}

// ==== Repository ==============================================================================

TdxBarScreenTipRepository::TdxBarScreenTipRepository(TComponent* owner) : TComponent(owner) {
  FUnassignedFont = new TFont;
  for (Integer i = 0; i < 3; ++i) {
    FFonts[i] = new TFont;
    InitFont(FFonts[i], TdxBarScreenTipBandType(i));
    FFonts[i]->SetOnChange(TNotifyEvent(this, &TdxBarScreenTipRepository::FontChanged));
  }
  FStandardFooter = new TdxBarScreenTipFooterBand(this);
  FItems = CreateItems();
}

TdxBarScreenTipRepository::~TdxBarScreenTipRepository() {
  orv::Free(FItems);
  orv::Free(FStandardFooter);
  for (TFont*& font : FFonts) orv::Free(font);
  orv::Free(FUnassignedFont);
}

TdxBarScreenTipCollection* TdxBarScreenTipRepository::CreateItems() { return new TdxBarScreenTipCollection(this); }

void TdxBarScreenTipRepository::InitFont(TFont* font, TdxBarScreenTipBandType bandType) {
  TNotifyEvent handler = font->GetOnChange();
  font->SetOnChange(TNotifyEvent());
  if (Screen) font->Assign(Screen->GetHintFont());
  font->SetColor(kScreenTipTextColor);
  font->SetStyle(bandType == stbDescription ? TFontStyles() : TFontStyles{fsBold});
  font->SetOnChange(handler);
}

void TdxBarScreenTipRepository::FontChanged(TObject* sender) {
  if (GetComponentState().Contains(csLoading)) return;
  for (Integer i = 0; i < 3; ++i)
    if (sender == FFonts[i]) FAssignedFonts += TdxScreenTipRepositoryFonts{TdxBarScreenTipBandType(i)};
}

void TdxBarScreenTipRepository::SetDescriptionFont(TFont* value) { FFonts[stbDescription]->Assign(value); }
void TdxBarScreenTipRepository::SetFooterFont(TFont* value) { FFonts[stbFooter]->Assign(value); }
void TdxBarScreenTipRepository::SetHeaderFont(TFont* value) { FFonts[stbHeader]->Assign(value); }

TFont* TdxBarScreenTipRepository::GetFont(TdxBarScreenTipBandType bandType) {
  if (FAssignedFonts.Contains(bandType)) return FFonts[bandType];
  // Unassigned fonts follow the system's hint font.
  InitFont(FUnassignedFont, bandType);
  return FUnassignedFont;
}

void TdxBarScreenTipRepository::Assign(TPersistent* source) {
  if (auto* repository = dynamic_cast<TdxBarScreenTipRepository*>(source)) {
    FItems->Assign(repository->GetItems());
    FStandardFooter->Assign(repository->GetStandardFooter());
    SetDescriptionFont(repository->GetDescriptionFont());
    SetFooterFont(repository->GetFooterFont());
    SetHeaderFont(repository->GetHeaderFont());
    // Copied last: the font copies above do not decide which fonts count as assigned.
    FAssignedFonts = repository->GetAssignedFonts();
    FShowDescription = repository->GetShowDescription();
    return;
  }
  inherited::Assign(source);
}

void TdxBarScreenTipRepository::GetChildren(TGetChildProc proc, TComponent* root) {
  for (Integer i = 0; i < FItems->GetCount(); ++i)
    if (FItems->GetItem(i)->GetOwner() == root) proc(FItems->GetItem(i));
}

// ==== The screen tip view info =================================================================

TdxBarScreenTipViewInfo::TdxBarScreenTipViewInfo(TdxBarManager* manager, TdxBarScreenTip* screenTip,
                                                 const AnsiString& hint, const AnsiString& shortCut)
    : TdxBarCustomHintViewInfo(manager), FScreenTip(screenTip), FHint(hint), FShortCut(shortCut) {}

AnsiString TdxBarScreenTipViewInfo::GetHeaderText() const {
  if (!FScreenTip) return FHint;
  AnsiString text = FScreenTip->GetUseHintAsHeader() || FScreenTip->GetHeader()->GetText().empty()
                        ? FHint
                        : FScreenTip->GetHeader()->GetText();
  if (!FShortCut.empty() && !text.empty()) text += " (" + FShortCut + ")";
  return text;
}

void TdxBarScreenTipViewInfo::AddBand(TdxBarCustomScreenTipBand* band, const AnsiString& text) {
  if (text.empty()) return;
  TBand b;
  b.Band = band;
  b.Text = text;
  FBands.push_back(b);
}

void TdxBarScreenTipViewInfo::PrepareHintWindow(TdxBarHintWindow* window) {
  inherited::PrepareHintWindow(window);
  window->SetColor(clWindow);
}

void TdxBarScreenTipViewInfo::Calculate(TCanvas* canvas) {
  FBands.clear();
  FFooterLine = -1;
  FBounds = TRect();
  if (!FScreenTip) return;
  TdxBarScreenTipRepository* repository = FScreenTip->GetRepository();
  AddBand(FScreenTip->GetHeader(), GetHeaderText());
  if (!repository || repository->GetShowDescription())
    AddBand(FScreenTip->GetDescription(), FScreenTip->GetDescription()->GetText());
  const size_t beforeFooter = FBands.size();
  if (FScreenTip->GetUseStandardFooter() && repository)
    AddBand(repository->GetStandardFooter(), repository->GetStandardFooter()->GetText());
  else
    AddBand(FScreenTip->GetFooter(), FScreenTip->GetFooter()->GetText());
  if (FBands.empty()) return;
  const Integer width = FScreenTip->GetActualWidth();
  const Integer textWidth = width - 2 * kScreenTipMargin;
  Integer top = kScreenTipMargin;
  for (size_t i = 0; i < FBands.size(); ++i) {
    TBand& band = FBands[i];
    if (i == beforeFooter && i > 0) {
      // A line above the footer.
      top += 4;
      FFooterLine = top;
      top += 5;
    }
    canvas->GetFont()->Assign(band.Band->GetFont());
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
    TRect r{0, 0, textWidth, 0};
    ::DrawText(canvas->GetHandle(), band.Text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    band.Bounds = TRect{kScreenTipMargin, top, kScreenTipMargin + textWidth, top + (r.Bottom - r.Top)};
    top = band.Bounds.Bottom + (i + 1 < FBands.size() ? 8 : 0);
  }
  FBounds = TRect{0, 0, width, top + kScreenTipMargin};
}

void TdxBarScreenTipViewInfo::Paint(TCanvas* canvas) {
  HDC dc = canvas->GetHandle();
  canvas->GetBrush()->SetColor(clWindow);
  canvas->FillRect(FBounds);
  canvas->GetBrush()->SetColor(clBtnShadow);
  canvas->FrameRect(FBounds);
  if (FFooterLine >= 0) {
    canvas->GetPen()->SetColor(clBtnShadow);
    canvas->MoveTo(kScreenTipMargin, FFooterLine);
    canvas->LineTo(FBounds.Right - kScreenTipMargin, FFooterLine);
  }
  SetBkMode(dc, TRANSPARENT);
  for (const TBand& band : FBands) {
    canvas->GetFont()->Assign(band.Band->GetFont());
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
    SetTextColor(dc, ColorToRGB(band.Band->GetFont()->GetColor()));
    TRect r = band.Bounds;
    const UINT align = band.Band->GetTextAlign() == stbtaLeft ? DT_RIGHT : DT_LEFT;
    ::DrawText(dc, band.Text.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX | align);
  }
  SetBkMode(dc, OPAQUE);
}

// ==== Items ===================================================================================

void TdxBarItem::SetScreenTip(TdxBarScreenTip* value) {
  if (value == FScreenTip) return;
  if (FScreenTip) FScreenTip->RemoveFreeNotification(this);
  FScreenTip = value;
  if (FScreenTip) FScreenTip->FreeNotification(this);
}

Boolean TdxBarItemControl::HasScreenTip() {
  TdxBarItem* item = GetItem();
  return item && item->GetScreenTip();
}

TdxBarCustomHintViewInfo* TdxBarItemControl::CreateHintViewInfo(const AnsiString& hint, const AnsiString& shortCut) {
  TdxBarItem* item = GetItem();
  if (!item || !item->GetScreenTip()) return nullptr;
  return new TdxBarScreenTipViewInfo(GetBarManager(), item->GetScreenTip(), hint, shortCut);
}

// ==== Published properties ====================================================================

ORV_PUBLISH(TdxBarCustomScreenTipBand) {
  using T = TdxBarCustomScreenTipBand;
  p.Property("Glyph", &T::GetGlyph, &T::SetGlyph);
  p.Property("Text", &T::GetText, &T::SetText);
  p.Property("TextAlign", &T::GetTextAlign, &T::SetTextAlign).Default(stbtaRight);
}

ORV_PUBLISH(TdxBarScreenTip) {
  using T = TdxBarScreenTip;
  p.Property("Header", &T::GetHeader, &T::SetHeader);
  p.Property("Description", &T::GetDescription, &T::SetDescription);
  p.Property("Footer", &T::GetFooter, &T::SetFooter);
  p.Property("UseHintAsHeader", &T::GetUseHintAsHeader, &T::SetUseHintAsHeader).Default(false);
  p.Property("UseStandardFooter", &T::GetUseStandardFooter, &T::SetUseStandardFooter).Default(false);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Default(0);
}

ORV_PUBLISH(TdxBarScreenTipRepository) {
  using T = TdxBarScreenTipRepository;
  p.Property("AssignedFonts", &T::GetAssignedFonts, &T::SetAssignedFonts).Default(TdxScreenTipRepositoryFonts());
  p.Property("Items", &T::GetItems, &T::SetItems);
  p.Property("DescriptionFont", &T::GetDescriptionFont, &T::SetDescriptionFont);
  p.Property("FooterFont", &T::GetFooterFont, &T::SetFooterFont);
  p.Property("HeaderFont", &T::GetHeaderFont, &T::SetHeaderFont);
  p.Property("StandardFooter", &T::GetStandardFooter, &T::SetStandardFooter);
  p.Property("ShowDescription", &T::GetShowDescription, &T::SetShowDescription).Default(true);
}
