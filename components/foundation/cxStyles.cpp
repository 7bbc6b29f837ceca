#include "components/foundation/cxStyles.h"

#include <algorithm>

#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/SysUtils.h"

// ==== Graphics services for the painters ========================================================

namespace orv {

HFONT FontHandle(TFont* font) { return font ? font->GetHandle() : nullptr; }

TColor FontColor(TFont* font) { return font ? font->GetColor() : clDefault; }

Boolean IsBitmapEmpty(TBitmap* bitmap) { return !bitmap || bitmap->GetEmpty(); }

void TileBitmap(HDC dc, const TRect& rect, TBitmap* bitmap) {
  if (IsBitmapEmpty(bitmap) || rect.Left >= rect.Right || rect.Top >= rect.Bottom) return;
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  HDC source = bitmap->GetCanvas()->GetHandle();
  auto floorDiv = [](Integer a, Integer b) {
    const Integer q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
  };
  for (Integer row = floorDiv(rect.Top, h); row <= floorDiv(rect.Bottom - 1, h); ++row)
    for (Integer column = floorDiv(rect.Left, w); column <= floorDiv(rect.Right - 1, w); ++column) {
      const Integer left = std::max(rect.Left, column * w), top = std::max(rect.Top, row * h);
      const Integer right = std::min(rect.Right, column * w + w);
      const Integer bottom = std::min(rect.Bottom, row * h + h);
      BitBlt(dc, left, top, right - left, bottom - top, source, left - column * w, top - row * h,
             SRCCOPY);
    }
}

}  // namespace orv

// ==== Published properties ======================================================================

namespace {
const orv::EnumNames<TcxStyleValue> kStyleItemValueNames("TcxStyleValue",
                                                     {"svBitmap", "svColor", "svFont", "svTextColor"});
}  // namespace

ORV_PUBLISH(TcxStyle) {
  using T = TcxStyle;
  p.Property("AssignedValues", &T::GetAssignedValues, &T::SetAssignedValues);
  p.Property("Color", &T::GetColor, &T::SetColor)
      .Kind("TColor")
      .Stored([](T* s) { return s->GetAssignedValues().Contains(svColor); });
  p.Property("Bitmap", &T::GetBitmap, &T::SetBitmap)
      .Stored([](T* s) { return s->GetAssignedValues().Contains(svBitmap); });
  p.Property("Font", &T::GetFont, &T::SetFont)
      .Stored([](T* s) { return s->GetAssignedValues().Contains(svFont); });
  p.Property("TextColor", &T::GetTextColor, &T::SetTextColor)
      .Kind("TColor")
      .Stored([](T* s) { return s->GetAssignedValues().Contains(svTextColor); });
}

ORV_PUBLISH(TcxStyleRepository) {
  using T = TcxStyleRepository;
  p.Property("Scalable", &T::GetScalable, &T::SetScalable).Default(false);
}

// ==== Styles ====================================================================================

TcxCustomStyle::TcxCustomStyle(TComponent* owner) : TComponent(owner) {}

void TcxCustomStyle::BeforeDestruction() {
  Destroying();
  // Each observer detaches itself when told; one that does not is let go all the same.
  while (!FListeners.empty()) {
    IcxStyleObserver* last = FListeners.back();
    last->StyleDestroying(this);
    if (!FListeners.empty() && FListeners.back() == last) FListeners.pop_back();
  }
  SetStyleRepository(nullptr);
  inherited::BeforeDestruction();
}

void TcxCustomStyle::NotifyListeners() {
  const std::vector<IcxStyleObserver*> listeners = FListeners;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
    if (std::find(FListeners.begin(), FListeners.end(), *it) != FListeners.end())
      (*it)->StyleModified(this);
}

void TcxCustomStyle::AttachListener(IcxStyleObserver* listener) {
  if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
    FListeners.push_back(listener);
}

void TcxCustomStyle::DetachListener(IcxStyleObserver* listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}

void TcxCustomStyle::SetStyleRepository(TcxStyleRepository* value) {
  if (FStyleRepository == value) return;
  if (FStyleRepository) {
    auto& items = FStyleRepository->FItems;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
  }
  FStyleRepository = value;
  if (FStyleRepository) FStyleRepository->FItems.push_back(this);
}

TComponent* TcxCustomStyle::GetParentComponent() const { return FStyleRepository; }

void TcxCustomStyle::SetParentComponent(TComponent* value) {
  if (GetComponentState().Contains(csLoading)) return;
  SetStyleRepository(dynamic_cast<TcxStyleRepository*>(value));
}

void TcxCustomStyle::ReadState(TReader* reader) {
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(reader->GetParent())) SetStyleRepository(repository);
  inherited::ReadState(reader);
}

TcxStyle::TcxStyle(TComponent* owner)
    : TcxCustomStyle(owner), FBitmap(new TBitmap), FFont(new TFont) {
  FBitmap->SetOnChange(TNotifyEvent(this, &TcxStyle::BitmapChanged));
  FFont->SetOnChange(TNotifyEvent(this, &TcxStyle::FontChanged));
}

TcxStyle::~TcxStyle() {
  FBitmap->Free();
  FFont->Free();
}

void TcxStyle::BitmapChanged(TObject* sender) {
  if (FBitmap->GetEmpty())
    FAssignedValues -= TcxStyleValues{svBitmap};
  else
    FAssignedValues += TcxStyleValues{svBitmap};
  NotifyListeners();
}

void TcxStyle::FontChanged(TObject* sender) {
  FAssignedValues += TcxStyleValues{svFont};
  NotifyListeners();
}

void TcxStyle::SetAssignedValues(TcxStyleValues value) {
  if (FAssignedValues == value) return;
  FAssignedValues = value;
  NotifyListeners();
}

void TcxStyle::SetBitmap(TBitmap* value) {
  if (value)
    FBitmap->Assign(value);
  else
    FBitmap->SetSize(0, 0);
  // An assignment that changes nothing visible still settles the flag.
  if (FBitmap->GetEmpty() == FAssignedValues.Contains(svBitmap)) BitmapChanged(FBitmap);
}

void TcxStyle::SetColor(TColor value) {
  if (FColor == value) return;
  FColor = value;
  if (value == clDefault)
    FAssignedValues -= TcxStyleValues{svColor};
  else
    FAssignedValues += TcxStyleValues{svColor};
  NotifyListeners();
}

void TcxStyle::SetFont(TFont* value) {
  if (value) FFont->Assign(value);
  if (!FAssignedValues.Contains(svFont)) FontChanged(FFont);
}

void TcxStyle::SetTextColor(TColor value) {
  if (FTextColor == value) return;
  FTextColor = value;
  if (value == clDefault)
    FAssignedValues -= TcxStyleValues{svTextColor};
  else
    FAssignedValues += TcxStyleValues{svTextColor};
  NotifyListeners();
}

void TcxStyle::Assign(TPersistent* source) {
  auto* style = dynamic_cast<TcxStyle*>(source);
  if (!style) {
    inherited::Assign(source);
    return;
  }
  SetBitmap(style->GetBitmap());
  SetColor(style->GetColor());
  SetFont(style->GetFont());
  SetTextColor(style->GetTextColor());
  // The source's set wins over the flags the copies raised.
  SetAssignedValues(style->GetAssignedValues());
}

void TcxStyle::ResetValues() {
  FAssignedValues = {};
  FBitmap->SetOnChange({});
  FBitmap->SetSize(0, 0);
  FBitmap->SetOnChange(TNotifyEvent(this, &TcxStyle::BitmapChanged));
  FColor = clDefault;
  FTextColor = clDefault;
  NotifyListeners();
}

void TcxStyle::ReadState(TReader* reader) {
  inherited::ReadState(reader);
  if (TcxStyleRepository* repository = GetStyleRepository()) {
    const TcxStyleValues assigned = FAssignedValues;
    FFont->SetHeight(repository->ScaleFontHeight(FFont->GetHeight()));
    SetAssignedValues(assigned);
  }
}

// ==== Repository ================================================================================

TcxStyleRepository::TcxStyleRepository(TComponent* owner) : TComponent(owner) {}

void TcxStyleRepository::BeforeDestruction() {
  Destroying();
  while (!FItems.empty()) FItems.back()->Free();
  while (!FStyleSheets.empty()) FStyleSheets.back()->Free();
  inherited::BeforeDestruction();
}

TcxCustomStyle* TcxStyleRepository::CreateStyleOwned(TcxCustomStyleClass styleClass,
                                                     TComponent* owner) {
  TcxCustomStyle* style = styleClass.Create(owner);
  style->SetStyleRepository(this);
  return style;
}

TcxCustomStyleSheet* TcxStyleRepository::CreateSheetOwned(
    orv::ClassOf<TcxCustomStyleSheet> sheetClass, TComponent* owner) {
  TcxCustomStyleSheet* sheet = sheetClass.Create(owner);
  sheet->SetStyleRepository(this);
  return sheet;
}

Integer TcxStyleRepository::ScaleFontHeight(Integer height) const {
  if (!FScalable || FPixelsPerInch == 0) return height;
  HDC screen = orv::CreateScreenDC();
  const Integer screenPixels = GetDeviceCaps(screen, LOGPIXELSX);
  DeleteDC(screen);
  if (screenPixels == FPixelsPerInch || screenPixels <= 0) return height;
  return MulDiv(height, screenPixels, FPixelsPerInch);
}

void TcxStyleRepository::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("PixelsPerInch", TReaderProc(this, &TcxStyleRepository::ReadPixelsPerInch),
                        TWriterProc(this, &TcxStyleRepository::WritePixelsPerInch),
                        filer->GetAncestor() == nullptr);
}

void TcxStyleRepository::ReadPixelsPerInch(TReader* reader) { FPixelsPerInch = reader->ReadInteger(); }

void TcxStyleRepository::WritePixelsPerInch(TWriter* writer) {
  HDC screen = orv::CreateScreenDC();
  const Integer screenPixels = GetDeviceCaps(screen, LOGPIXELSX);
  DeleteDC(screen);
  writer->WriteInteger(screenPixels);
}

void TcxStyleRepository::GetChildren(TGetChildProc proc, TComponent* root) {
  for (TcxCustomStyle* style : FItems)
    if (style->GetOwner() == root) proc(style);
  for (TcxCustomStyleSheet* sheet : FStyleSheets)
    if (sheet->GetOwner() == root) proc(sheet);
}

// ==== Styles objects ============================================================================

TcxCustomStyles::TcxCustomStyles(TPersistent* owner) : TcxInterfacedPersistent(owner) {
  FOwnerSheet = dynamic_cast<TcxCustomStyleSheet*>(owner);
}

void TcxCustomStyles::BeforeDestruction() {
  FDestroying = true;
  ClearItems();
  SetStyleSheet(nullptr);
  inherited::BeforeDestruction();
}

TcxCustomStyles::~TcxCustomStyles() {
  for (TcxCustomStylesItem* item : FItems) item->Free();
}

void TcxCustomStyles::Assign(TPersistent* source) {
  if (auto* styles = dynamic_cast<TcxCustomStyles*>(source))
    SetStyleSheet(styles->GetStyleSheet());
  else
    inherited::Assign(source);
}

Integer TcxCustomStyles::Find(Integer index, Boolean& found) const {
  const auto it = std::lower_bound(FItems.begin(), FItems.end(), index,
                                   [](const TcxCustomStylesItem* item, Integer value) {
                                     return item->Index < value;
                                   });
  found = it != FItems.end() && (*it)->Index == index;
  return Integer(it - FItems.begin());
}

namespace {
// The top-most owner of a persistent (following GetOwner to the end).
TPersistent* TopOwner(TPersistent* persistent) {
  TPersistent* result = persistent;
  for (TPersistent* owner = persistent ? persistent->GetOwner() : nullptr; owner;
       owner = owner->GetOwner())
    result = owner;
  return result;
}
}  // namespace

TcxCustomStyle* TcxCustomStyles::FindStyle(Integer index) const {
  Boolean found;
  const Integer position = Find(index, found);
  if (found) return FItems[std::size_t(position)]->Style;
  if (!FStyleSheet) return nullptr;
  auto* owner = dynamic_cast<TComponent*>(TopOwner(const_cast<TcxCustomStyles*>(this)));
  if (owner && owner->GetComponentState().Contains(csWriting)) return nullptr;
  return FStyleSheet->GetStylesValue()->FindStyle(index);
}

void TcxCustomStyles::SetValue(Integer index, TcxCustomStyle* style) {
  // An inherited form that still names its ancestor's style takes its own of the same name.
  if (style && !style->GetName().empty()) {
    auto* top = dynamic_cast<TComponent*>(TopOwner(this));
    TComponent* styleOwner = style->GetOwner();
    if (top && styleOwner && top != styleOwner && top->InheritsFrom(styleOwner->ClassType()))
      style = dynamic_cast<TcxCustomStyle*>(top->FindComponent(style->GetName()));
  }
  if (style == FindStyle(index)) return;
  Boolean found;
  const Integer position = Find(index, found);
  if (found) {
    TcxCustomStylesItem* item = FItems[std::size_t(position)];
    item->Style->DetachListener(this);
    if (style) {
      item->Style = style;
      style->AttachListener(this);
    } else {
      item->Free();
      FItems.erase(FItems.begin() + position);
    }
  } else if (style) {
    FItems.insert(FItems.begin() + position, new TcxCustomStylesItem(index, style));
    style->AttachListener(this);
  } else {
    return;
  }
  NotifyChanged(index);
}

void TcxCustomStyles::NotifyChanged(Integer index) {
  if (FDestroying) return;
  StyleChanged(index);
  if (FOwnerSheet) FOwnerSheet->StyleIndexChanged(index);
}

void TcxCustomStyles::StyleModified(TcxCustomStyle* style) {
  const std::vector<TcxCustomStylesItem*> items = FItems;
  for (TcxCustomStylesItem* item : items)
    if (item->Style == style) NotifyChanged(item->Index);
}

void TcxCustomStyles::StyleDestroying(TcxCustomStyle* style) {
  for (Integer i = ItemCount() - 1; i >= 0; --i)
    if (i < ItemCount() && FItems[std::size_t(i)]->Style == style) DeleteItem(i);
  // Detached even when it held no item of ours any more.
  style->DetachListener(this);
}

void TcxCustomStyles::DeleteItem(Integer position) {
  if (position < 0 || position >= ItemCount()) return;
  TcxCustomStylesItem* item = FItems[std::size_t(position)];
  const Integer index = item->Index;
  TcxCustomStyle* style = item->Style;
  item->Free();
  FItems.erase(FItems.begin() + position);
  // The style stays observed while another item still uses it.
  if (std::none_of(FItems.begin(), FItems.end(),
                   [style](const TcxCustomStylesItem* i) { return i->Style == style; }))
    style->DetachListener(this);
  NotifyChanged(index);
}

void TcxCustomStyles::ClearItems() {
  for (Integer i = ItemCount() - 1; i >= 0; --i) DeleteItem(i);
}

Boolean TcxCustomStyles::IsSheetAcceptable(TcxCustomStyleSheet* sheet) const {
  if (!sheet) return true;
  if (sheet == FOwnerSheet) return false;
  if (sheet->StylesClass().Get() != ClassType()) return false;
  if (FOwnerSheet) {
    std::vector<const TcxCustomStyleSheet*> seen;
    for (const TcxCustomStyleSheet* s = sheet; s; s = s->GetStylesValue()->GetStyleSheet()) {
      if (s == FOwnerSheet || std::find(seen.begin(), seen.end(), s) != seen.end()) return false;
      seen.push_back(s);
    }
  }
  return true;
}

void TcxCustomStyles::CollectSheetIndexes(TcxCustomStyleSheet* sheet,
                                          std::vector<Integer>& indexes) const {
  std::vector<const TcxCustomStyleSheet*> seen;
  for (const TcxCustomStyleSheet* s = sheet; s && std::find(seen.begin(), seen.end(), s) == seen.end();
       s = s->GetStylesValue()->GetStyleSheet()) {
    seen.push_back(s);
    const TcxCustomStyles* styles = s->GetStylesValue();
    for (const TcxCustomStylesItem* item : styles->FItems) indexes.push_back(item->Index);
  }
}

void TcxCustomStyles::SetStyleSheet(TcxCustomStyleSheet* value) {
  if (FStyleSheet == value || !IsSheetAcceptable(value)) return;
  std::vector<Integer> indexes;
  if (FStyleSheet) {
    auto& users = FStyleSheet->FUsers;
    users.erase(std::remove(users.begin(), users.end(), this), users.end());
    if (!FDestroying) CollectSheetIndexes(FStyleSheet, indexes);
  }
  FStyleSheet = value;
  if (FStyleSheet) {
    FStyleSheet->FUsers.push_back(this);
    CollectSheetIndexes(FStyleSheet, indexes);
  }
  for (Integer index : indexes) NotifyChanged(index);
}

TcxStyle* TcxStyles::GetStyleValue(Integer index) const {
  return dynamic_cast<TcxStyle*>(FindStyle(index));
}

TBitmap* TcxStyles::GetStyleBitmap(Integer index) const {
  TcxStyle* style = GetStyleValue(index);
  if (style && style->GetAssignedValues().Contains(svBitmap) && !style->GetBitmap()->GetEmpty())
    return style->GetBitmap();
  return nullptr;
}

void TcxStyles::GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) {
  params.Bitmap = nullptr;
  if (index > FMaxDefaultViewParamsIndex) FMaxDefaultViewParamsIndex = index;
}

Boolean TcxStyles::IsFontUnassigned(Integer index) const {
  TcxStyle* style = GetStyleValue(index);
  return !style || !style->GetAssignedValues().Contains(svFont);
}

void TcxStyles::ResolveStyleParams(Integer index, TObject* data, TcxStyle* style,
                                   TcxViewParams& params) {
  TcxStyle* indexStyle = GetStyleValue(index);
  auto has = [](TcxStyle* s, TcxStyleValue value) {
    return s && s->GetAssignedValues().Contains(value);
  };
  auto pick = [&](TcxStyleValue value) -> TcxStyle* {
    if (has(style, value)) return style;
    if (has(indexStyle, value)) return indexStyle;
    return nullptr;
  };
  params = {};
  if (FUseBitmap)
    if (TcxStyle* s = pick(svBitmap)) params.Bitmap = s->GetBitmap();
  if (TcxStyle* s = pick(svColor)) params.Color = s->GetColor();
  if (TcxStyle* s = pick(svFont)) params.Font = s->GetFont();
  if (TcxStyle* s = pick(svTextColor)) params.TextColor = s->GetTextColor();
  const Boolean missing = (FUseBitmap && !params.Bitmap) || params.Color == clDefault ||
                          !params.Font || params.TextColor == clDefault;
  if (!missing) return;
  TcxViewParams defaults;
  GetDefaultStyleParams(index, data, defaults);
  if (FUseBitmap && !params.Bitmap) params.Bitmap = defaults.Bitmap;
  if (params.Color == clDefault) params.Color = defaults.Color;
  if (!params.Font) params.Font = defaults.Font;
  if (params.TextColor == clDefault) params.TextColor = defaults.TextColor;
}

void TcxStyles::ControlFontChanged(TObject* sender, TFont* font) {
  for (Integer index = 0; index <= FMaxDefaultViewParamsIndex; ++index) {
    if (!IsFontUnassigned(index)) continue;
    TcxViewParams defaults;
    GetDefaultStyleParams(index, nullptr, defaults);
    if (defaults.Font == font) StyleChanged(index);
  }
}

// ==== Style sheets ==============================================================================

ORV_PUBLISH(TcxCustomStyleSheet) {
  using T = TcxCustomStyleSheet;
  p.Property("Caption", &T::GetCaption, &T::SetCaption)
      .Stored([](T* s) { return !SameText(s->GetCaption(), s->GetName()); });
}

TcxCustomStyleSheet::TcxCustomStyleSheet(TComponent* owner) : TcxComponent(owner) {
  FBuiltIn = GetComponentState().Contains(csDesigning);
}

TcxCustomStyles* TcxCustomStyleSheet::GetStylesValue() const {
  if (!FStyles) {
    FStyles = StylesClass().Create(const_cast<TcxCustomStyleSheet*>(this));
    FStyles->FOwnerSheet = const_cast<TcxCustomStyleSheet*>(this);
  }
  return FStyles;
}

void TcxCustomStyleSheet::BeforeDestruction() {
  Destroying();
  while (!FUsers.empty()) FUsers.back()->SetStyleSheet(nullptr);
  SetStyleRepository(nullptr);
  FreeAndNil(FStyles);
  inherited::BeforeDestruction();
}

void TcxCustomStyleSheet::SetCaption(const AnsiString& value) {
  FCaption = SameText(value, GetName()) ? AnsiString() : value;
}

void TcxCustomStyleSheet::SetStyleRepository(TcxStyleRepository* value) {
  if (FStyleRepository == value) return;
  if (FStyleRepository) {
    auto& sheets = FStyleRepository->FStyleSheets;
    sheets.erase(std::remove(sheets.begin(), sheets.end(), this), sheets.end());
  }
  FStyleRepository = value;
  if (FStyleRepository) FStyleRepository->FStyleSheets.push_back(this);
}

TComponent* TcxCustomStyleSheet::GetParentComponent() const { return FStyleRepository; }

void TcxCustomStyleSheet::SetParentComponent(TComponent* value) {
  if (GetComponentState().Contains(csLoading)) return;
  SetStyleRepository(dynamic_cast<TcxStyleRepository*>(value));
}

void TcxCustomStyleSheet::StyleIndexChanged(Integer index) {
  const std::vector<TcxCustomStyles*> users = FUsers;
  for (TcxCustomStyles* user : users) user->NotifyChanged(index);
  RefreshFakeComponentLinks();
}

void TcxCustomStyleSheet::ReadState(TReader* reader) {
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(reader->GetParent())) SetStyleRepository(repository);
  inherited::ReadState(reader);
}

void TcxCustomStyleSheet::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("BuiltIn", TReaderProc(this, &TcxCustomStyleSheet::ReadBuiltIn),
                        TWriterProc(this, &TcxCustomStyleSheet::WriteBuiltIn), true);
}

void TcxCustomStyleSheet::ReadBuiltIn(TReader* reader) { FBuiltIn = reader->ReadBoolean(); }

void TcxCustomStyleSheet::WriteBuiltIn(TWriter* writer) { writer->WriteBoolean(FBuiltIn); }

void TcxCustomStyleSheet::CollectFakeComponentLinks(TList* list) {
  if (!FStyles) return;
  for (const TcxCustomStylesItem* item : FStyles->FItems) {
    TComponent* owner = item->Style->GetOwner();
    if (owner && owner != GetOwner() && list->IndexOf(owner) < 0) list->Add(owner);
  }
}
