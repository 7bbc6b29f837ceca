// The tab model, the tab image list, the go dialog and the painters factory. The control lives
// in cxPCTabControl.cpp, its layout in cxPCLayout.cpp, the painter base in cxPCPainter.cpp and
// the page control in cxPCPageControl.cpp.
#include "components/pagecontrol/cxPC.h"

#include <algorithm>
#include <map>
#include <memory>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "components/pagecontrol/cxPCConsts.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"

namespace {

[[noreturn]] void RaisePCError(const char* className, const char* operation, const AnsiString& message) {
  throw EdxException(AnsiString(className) + "." + operation + ": " + message);
}

}  // namespace

// ==== TcxTab ===================================================================================

TcxTab::TcxTab(TcxTabs* tabs, Integer index) : FImageIndex(index), FIndex(index), FTabs(tabs) {}

void TcxTab::BeforeDestruction() {
  FTabs->RemoveFreedTab(FIndex, false);
  TcxCustomTabControl* control = FTabs->GetTabControl();
  if (control && control->FTrackingTabVisibleIndex != -1 && !control->IsDestroying() &&
      control->FTrackingTabVisibleIndex == GetVisibleIndex())
    control->FTrackingTabVisibleIndex = -1;
  inherited::BeforeDestruction();
}

TcxTab::~TcxTab() {
  orv::Free(FPaintBitmap);
  orv::Free(FVerticalTextBitmap);
}

TcxCustomTabControl* TcxTab::GetTabControl() const { return FTabs->GetTabControl(); }

void TcxTab::AssignTo(TPersistent* dest) {
  if (auto* tab = dynamic_cast<TcxTab*>(dest)) {
    tab->FCaption = FCaption;
    tab->FEnabled = FEnabled;
    tab->FHighlighted = FHighlighted;
    tab->SetImageIndex(GetImageIndex());
    tab->FObject = FObject;
    tab->SetVisible(FVisible);
    tab->SetSelected(FSelected);
    return;
  }
  inherited::AssignTo(dest);
}

void TcxTab::Changed(TcxPCTabPropertyChanged kind) { FTabs->Changed(GetVisibleIndex(), kind); }

Integer TcxTab::GetVisibleIndex() const {
  TcxCustomTabControl* control = GetTabControl();
  if (!FVisible || !control) return -1;
  return control->GetVisibleTabList()->IndexOf(FIndex);
}

void TcxTab::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  TcxCustomTabControl* control = GetTabControl();
  if (!FVisible || control->IsTabsLoading()) {
    FCaption = value;
    return;
  }
  const Boolean shown = IsShown();
  const Integer oldWidth = FNormalWidth;
  const Integer oldRowHeight = control->FRowHeight;
  FCaption = value;
  if (!control->GetPainter()) return;
  FNormalWidth = control->GetPainter()->CalculateTabNormalWidth(this);
  Boolean sizeChanged;
  if (control->GetRotate()) {
    control->CalculateRowHeight();
    sizeChanged = control->FRowHeight != oldRowHeight;
  } else {
    sizeChanged = FNormalWidth != oldWidth;
  }
  if (sizeChanged)
    Changed(tpcLayout);
  else if (shown)
    Changed(tpcNotSpecified);
}

void TcxTab::SetColor(TColor value) {
  if (FColor == value) return;
  FColor = value;
  if (IsShown()) Changed(tpcColor);
}

void TcxTab::SetEnabled(Boolean value) {
  if (FEnabled == value) return;
  const Boolean wasShown = IsShown();
  FEnabled = value;
  if (wasShown || IsShown()) Changed(tpcEnabled);
}

void TcxTab::SetHighlighted(Boolean value) {
  if (FHighlighted == value) return;
  const Boolean wasShown = IsShown();
  FHighlighted = value;
  if (wasShown || IsShown()) Changed(tpcHighlighted);
}

Integer TcxTab::GetImageIndex() const {
  TcxCustomTabControl* control = GetTabControl();
  return control ? control->GetTabImageIndex(FIndex) : -1;
}

void TcxTab::SetImageIndex(Integer value) {
  if (value < 0) value = -1;
  if (FImageIndex == value) return;
  FImageIndex = value;
  if (IsShown()) Changed(tpcLayout);
}

void TcxTab::SetSelected(Boolean value) {
  if (FSelected == value) return;
  TcxCustomTabControl* control = GetTabControl();
  if (control->IsLoading()) {
    FSelected = value;
    return;
  }
  TcxPCCustomPainter* painter = control->GetPainter();
  if (painter && painter->AllowMultiSelectTabs()) {
    if (value) {
      for (Integer i = 0; i < FTabs->GetCount(); ++i)
        if (i != FIndex && FTabs->GetTab(i)->FSelected) {
          control->SetMultiSelect(true);
          break;
        }
    }
  } else if (value && FIndex != control->GetTabIndex()) {
    return;
  }
  const Boolean wasShown = IsShown();
  FSelected = value;
  if (wasShown || IsShown()) Changed(tpcSelected);
}

void TcxTab::SetVisible(Boolean value) {
  if (FVisible == value) return;
  TcxCustomTabControl* control = GetTabControl();
  if (value) {
    control->GetVisibleTabList()->Add(FIndex);
    FVisible = true;
    FTabs->Changed(-1, tpcLayout);
    return;
  }
  const Boolean activePageCase = control->HasPages() && FIndex == control->GetTabIndex();
  const Boolean wasShown = IsShown();
  control->GetVisibleTabList()->Remove(FIndex);
  FVisible = false;
  if (wasShown || control->GetMultiLine())
    FTabs->Changed(-1, tpcLayout);
  else if (!control->IsTabsLoading())
    control->CalculateLayout();
  if (activePageCase && !control->IsTabsLoading()) {
    const Integer main = control->GetMainTabVisibleIndex();
    if (main >= 0 && main < control->GetVisibleTabList()->GetCount())
      control->SetTabIndex(control->GetVisibleTabList()->GetTabIndex(main));
    else
      control->SetTabIndex(-1);
  }
}

Boolean TcxTab::IsMainTab() const {
  TcxCustomTabControl* control = GetTabControl();
  const Integer main = control->GetMainTabVisibleIndex();
  return main != -1 && main < control->GetVisibleTabList()->GetCount() &&
         control->GetVisibleTabList()->GetTabIndex(main) == FIndex;
}

Boolean TcxTab::IsHotTrack() const {
  const Integer v = GetVisibleIndex();
  return v != -1 && v == GetTabControl()->GetHotTabVisibleIndex();
}

Boolean TcxTab::IsPressed() const {
  const Integer v = GetVisibleIndex();
  return v != -1 && v == GetTabControl()->GetPressedTabVisibleIndex();
}

Boolean TcxTab::IsTracking() const {
  const Integer v = GetVisibleIndex();
  return v != -1 && v == GetTabControl()->GetTrackingTabVisibleIndex();
}

Boolean TcxTab::IsEnabled() const { return FEnabled && GetTabControl()->GetEnabled(); }

Boolean TcxTab::IsShown() const {
  auto* self = const_cast<TcxTab*>(this);
  return !RectIsEmpty(self->GetVisibleRect());
}

Integer TcxTab::GetLength() const {
  return GetTabControl()->GetRotate() ? FTabs->GetTabNormalHeight() : FNormalWidth;
}

Integer TcxTab::GetSide() const {
  TcxCustomTabControl* control = GetTabControl();
  const Boolean nearPart = FVisibleRow < control->GetTopOrLeftPartRowCount();
  if (control->IsHorizontalStrip()) return nearPart ? 0 : 1;
  return nearPart ? 2 : 3;
}

TRect TcxTab::GetNormalRect() const {
  TcxCustomTabControl* control = GetTabControl();
  // Across a row a tab is the row thickness with Rotate, else the common tab height.
  const Integer across = control->GetRotate() ? control->GetRowHeight() : FTabs->GetTabNormalHeight();
  const Integer along = GetLength();
  if (control->IsHorizontalStrip())
    return MakeRectBounds(FNormalPosition.X, FNormalPosition.Y, along, across);
  return MakeRectBounds(FNormalPosition.X, FNormalPosition.Y, across, along);
}

TRect TcxTab::GetFullRect() {
  TcxCustomTabControl* control = GetTabControl();
  const Integer v = GetVisibleIndex();
  if (control->GetPainter() && v != -1) FRectCorrection = control->GetPainter()->GetTabCorrection(v);
  const TRect r = GetNormalRect();
  return {r.Left + FRectCorrection.Left, r.Top + FRectCorrection.Top, r.Right + FRectCorrection.Right,
          r.Bottom + FRectCorrection.Bottom};
}

TRect TcxTab::GetVisibleRect() {
  const Integer v = GetVisibleIndex();
  TcxCustomTabControl* control = GetTabControl();
  if (v == -1 || !control->IsTabShown(v) || control->GetHideTabs()) return TRect();
  const TRect area = FVisibleRow < control->GetTopOrLeftPartRowCount() ? control->GetNearTabsArea()
                                                                        : control->GetFarTabsArea();
  TRect result;
  if (!IntersectRects(result, GetFullRect(), area)) return TRect();
  return result;
}

void TcxTab::FreeVerticalTextBitmap() { FreeAndNil(FVerticalTextBitmap); }

// ==== TcxTabs ==================================================================================

TcxTabs::TcxTabs(TcxCustomTabControl* tabControl) : FTabControl(tabControl) {}

void TcxTabs::BeforeDestruction() {
  Clear();
  inherited::BeforeDestruction();
}

TcxTabs::~TcxTabs() = default;

void TcxTabs::IndexError(const char* operation, Integer index) const {
  RaisePCError("TcxTabs", operation, Format(GetLocalizedResourceString(&scxPCTabIndexError), {index}));
}

AnsiString TcxTabs::Get(Integer index) const {
  if (index < 0 || index >= GetCount()) IndexError("Get", index);
  return FTabs[std::size_t(index)]->FCaption;
}

TcxTab* TcxTabs::GetTab(Integer index) const {
  if (index < 0 || index >= GetCount()) IndexError("GetTab", index);
  return FTabs[std::size_t(index)];
}

TObject* TcxTabs::GetObject(Integer index) const { return GetTab(index)->FObject; }
void TcxTabs::Put(Integer index, const AnsiString& s) { GetTab(index)->SetCaption(s); }
void TcxTabs::PutObject(Integer index, TObject* obj) { GetTab(index)->FObject = obj; }

TcxTab* TcxTabs::GetVisibleTab(Integer visibleIndex) const {
  const Integer count = FTabControl->GetVisibleTabList()->GetCount();
  if (visibleIndex < 0 || visibleIndex >= count)
    RaisePCError("TcxTabs", "GetVisibleTab",
                 Format(GetLocalizedResourceString(&scxPCTabVisibleIndexOutsOfBounds),
                        {visibleIndex, count - 1}));
  return GetTab(FTabControl->GetVisibleTabList()->GetTabIndex(visibleIndex));
}

void TcxTabs::Insert(Integer index, const AnsiString& s) {
  if (index < 0 || index > GetCount()) IndexError("Insert", index);
  auto* tab = new TcxTab(this, index);
  tab->FCaption = s;
  FTabs.insert(FTabs.begin() + index, tab);
  for (std::size_t i = std::size_t(index) + 1; i < FTabs.size(); ++i) FTabs[i]->FIndex = Integer(i);
  if (!FTabControl->IsLoading() && FTabControl->FTabIndex == -1 && GetCount() == 1)
    FTabControl->FTabIndex = 0;
  FTabControl->GetVisibleTabList()->Rebuild();
  FTabControl->RequestLayout();
}

void TcxTabs::Delete(Integer index) {
  if (FUpdating) return;
  if (!FNotification) {
    if (index < 0 || index >= GetCount()) IndexError("Delete", index);
    FUpdating = true;
    try {
      FTabs[std::size_t(index)]->Free();
    } catch (...) {
      FUpdating = false;
      throw;
    }
    FUpdating = false;
  }
  FTabs.erase(FTabs.begin() + index);
  for (std::size_t i = std::size_t(index); i < FTabs.size(); ++i) FTabs[i]->FIndex = Integer(i);
  FTabControl->GetVisibleTabList()->Rebuild();
  FTabControl->RequestLayout();
}

void TcxTabs::RemoveFreedTab(Integer index, Boolean keep) {
  if (FUpdating || keep) return;
  FNotification = true;
  Delete(index);
  FNotification = false;
}

void TcxTabs::Clear() {
  FUpdating = true;
  for (Integer i = GetCount() - 1; i >= 0; --i) FTabs[std::size_t(i)]->Free();
  FUpdating = false;
  FTabs.clear();
  FTabControl->GetVisibleTabList()->Rebuild();
  FTabControl->RequestLayout();
}

void TcxTabs::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  if (curIndex < 0 || curIndex >= GetCount()) IndexError("Move", curIndex);
  if (newIndex < 0 || newIndex >= GetCount()) IndexError("Move", newIndex);
  TcxTab* tab = FTabs[std::size_t(curIndex)];
  FTabs.erase(FTabs.begin() + curIndex);
  FTabs.insert(FTabs.begin() + newIndex, tab);
  for (Integer i = std::min(curIndex, newIndex); i <= std::max(curIndex, newIndex); ++i)
    FTabs[std::size_t(i)]->FIndex = i;
  FTabControl->GetVisibleTabList()->Rebuild();
  FTabControl->RequestLayout();
}

void TcxTabs::Changed(Integer visibleIndex, TcxPCTabPropertyChanged kind) {
  if (FTabControl->IsTabsLoading()) return;
  if (visibleIndex == -1 || kind == tpcLayout)
    FTabControl->RequestLayout();
  else if (FTabControl->GetPainter())
    FTabControl->GetPainter()->RepaintTab(visibleIndex, kind);
}

void TcxTabs::FreeVerticalTextBitmaps() {
  for (TcxTab* tab : FTabs) tab->FreeVerticalTextBitmap();
}

void TcxTabs::SetHotTab(Integer visibleIndex) {
  const Integer old = FTabControl->FHotTabVisibleIndex;
  if (old == visibleIndex) return;
  FTabControl->FHotTabVisibleIndex = visibleIndex;
  if (old != -1) Changed(old, tpcHot);
  if (visibleIndex != -1) Changed(visibleIndex, tpcHot);
}

void TcxTabs::UpdateMainTab() {
  TcxVisibleTabList* list = FTabControl->GetVisibleTabList();
  Integer old = FTabControl->FMainTabVisibleIndex;
  if (old >= list->GetCount()) old = -1;
  Integer main = -1;
  const Integer tabIndex = FTabControl->FTabIndex;
  if (tabIndex != -1 && tabIndex < GetCount()) {
    Integer position;
    if (list->Find(tabIndex, position))
      main = position;
    else
      main = position < list->GetCount() ? position : list->GetCount() - 1;
  }
  FTabControl->FMainTabVisibleIndex = main;
  if (old != main) {
    if (old != -1) Changed(old, tpcIsMainTab);
    if (main != -1) Changed(main, tpcIsMainTab);
    FTabControl->UpdateNavigatorButtonStates();
  }
}

void TcxTabs::SetTrackingTab(Integer visibleIndex) {
  if (visibleIndex < 0 || visibleIndex >= FTabControl->GetVisibleTabList()->GetCount()) visibleIndex = -1;
  const Integer old = FTabControl->FTrackingTabVisibleIndex;
  if (old == visibleIndex) return;
  FTabControl->FTrackingTabVisibleIndex = visibleIndex;
  if (old != -1) Changed(old, tpcTracking);
  if (visibleIndex != -1) {
    Changed(visibleIndex, tpcTracking);
    if (!FTabControl->GetMultiLine()) {
      FTabControl->MakeTabVisible(visibleIndex);
      FTabControl->RequestLayout();
    }
  }
  FTabControl->UpdateHotTrack(KeyboardStateToShiftState());
}

void TcxTabs::RepaintImageTabs() {
  for (TcxTab* tab : FTabs)
    if (tab->GetImageIndex() != -1 && tab->IsShown()) tab->Changed(tpcNotSpecified);
}

// ==== TcxVisibleTabList ========================================================================

TcxTab* TcxVisibleTabList::GetTab(Integer visibleIndex) const {
  if (visibleIndex < 0 || visibleIndex >= GetCount()) {
    if (FItems.empty())
      RaisePCError("TcxVisibleTabList", "GetTab", GetLocalizedResourceString(&scxPCVisibleTabListEmpty));
    RaisePCError("TcxVisibleTabList", "GetTab",
                 Format(GetLocalizedResourceString(&scxPCTabVisibleIndexOutsOfBounds),
                        {visibleIndex, GetCount() - 1}));
  }
  return FTabControl->GetTabs()->GetTab(FItems[std::size_t(visibleIndex)]);
}

Boolean TcxVisibleTabList::Find(Integer tabIndex, Integer& position) const {
  const auto it = std::lower_bound(FItems.begin(), FItems.end(), tabIndex);
  position = Integer(it - FItems.begin());
  return it != FItems.end() && *it == tabIndex;
}

void TcxVisibleTabList::Add(Integer tabIndex) {
  Integer position;
  if (!Find(tabIndex, position)) FItems.insert(FItems.begin() + position, tabIndex);
}

void TcxVisibleTabList::Remove(Integer tabIndex) {
  Integer position;
  if (Find(tabIndex, position)) FItems.erase(FItems.begin() + position);
}

void TcxVisibleTabList::Rebuild() {
  FItems.clear();
  TcxTabs* tabs = FTabControl->GetTabs();
  if (!tabs) return;
  for (Integer i = 0; i < tabs->GetCount(); ++i)
    if (tabs->GetTab(i)->GetVisible()) FItems.push_back(i);
}

Integer TcxVisibleTabList::IndexOf(Integer tabIndex) const {
  Integer position;
  return Find(tabIndex, position) ? position : -1;
}

// ==== TcxTabSlants =============================================================================

void TcxTabSlants::Assign(TPersistent* source) {
  if (auto* slants = dynamic_cast<TcxTabSlants*>(source)) {
    SetKind(slants->FKind);
    SetPositions(slants->FPositions);
    return;
  }
  inherited::Assign(source);
}

void TcxTabSlants::SetKind(TcxTabSlantKind value) {
  if (FKind == value) return;
  FKind = value;
  Changed();
}

void TcxTabSlants::SetPositions(TcxTabSlantPositions value) {
  if (FPositions == value) return;
  FPositions = value;
  Changed();
}

void TcxTabSlants::Changed() {
  if (FOnChange) FOnChange(this);
}

// ==== TcxPCImageList ===========================================================================

TcxPCImageList::TcxPCImageList(TcxCustomTabControl* tabControl) : FTabControl(tabControl) {
  FChangeLink = new TChangeLink;
  FChangeLink->SetOnChange(TNotifyEvent(this, &TcxPCImageList::BaseImagesChanged));
  FFreeNotificator = new TcxFreeNotificator(nullptr);
  FFreeNotificator->SetOnFreeNotification(TcxFreeNotificationEvent(this, &TcxPCImageList::BaseImagesFreed));
}

TcxPCImageList::~TcxPCImageList() {
  if (FBaseImages) {
    FBaseImages->UnRegisterChanges(FChangeLink);
    FFreeNotificator->RemoveSender(FBaseImages);
  }
  FFreeNotificator->Free();
  FChangeLink->Free();
  FreeRotatedImages();
}

void TcxPCImageList::SetBaseImages(TCustomImageList* value) {
  if (FBaseImages == value) return;
  if (FBaseImages) {
    FBaseImages->UnRegisterChanges(FChangeLink);
    FFreeNotificator->RemoveSender(FBaseImages);
  }
  FBaseImages = value;
  if (FBaseImages) {
    FBaseImages->RegisterChanges(FChangeLink);
    FFreeNotificator->AddSender(FBaseImages);
  }
  FChangeLink->Change();
}

void TcxPCImageList::SetImageRotation(Byte value) {
  FImageRotation = value;
  BaseImagesChanged(nullptr);
}

void TcxPCImageList::BaseImagesChanged(TObject* sender) {
  RebuildRotatedImages();
  if (FOnImagesChanged) FOnImagesChanged();
}

void TcxPCImageList::BaseImagesFreed(TComponent* component) {
  if (component == FBaseImages) {
    FBaseImages = nullptr;
    FChangeLink->SetSender(nullptr);
    BaseImagesChanged(nullptr);
  }
}

void TcxPCImageList::FreeRotatedImages() {
  for (TcxBitmap32* bitmap : FRotatedImages) orv::Free(bitmap);
  FRotatedImages.clear();
}

void TcxPCImageList::RebuildRotatedImages() {
  if (FImageRotation == 0 || !FBaseImages || FBaseImages->GetCount() == 0) return;
  FreeRotatedImages();
  for (Integer i = 0; i < FBaseImages->GetCount(); ++i) FRotatedImages.push_back(new TcxBitmap32);
}

TSize TcxPCImageList::GetImageSize() const {
  if (!FBaseImages || FBaseImages->GetWidth() <= 0 || FBaseImages->GetHeight() <= 0) return {0, 0};
  return {FBaseImages->GetWidth(), FBaseImages->GetHeight()};
}

TSize TcxPCImageList::GetRotatedImageSize() const {
  TSize size = GetImageSize();
  if (FImageRotation != 0) std::swap(size.cx, size.cy);
  return size;
}

void TcxPCImageList::DrawBaseImage(HDC dc, Integer x, Integer y, Integer imageIndex, Boolean enabled) {
  TCanvas canvas;
  orv::TCanvasPaintScope scope(&canvas, dc);
  FBaseImages->Draw(&canvas, x, y, imageIndex, enabled);
}

void TcxPCImageList::PrepareRotatedImage(Integer imageIndex, TColor backgroundColor, Boolean enabled) {
  if (imageIndex >= Integer(FRotatedImages.size())) RebuildRotatedImages();
  TcxBitmap32* bitmap = FRotatedImages[std::size_t(imageIndex)];
  bitmap->SetSize(FBaseImages->GetWidth(), FBaseImages->GetHeight());
  bitmap->GetCanvas()->FillRectWithColor(bitmap->GetBoundsRect(), backgroundColor);
  if (FOnFillBitmapBackground) FOnFillBitmapBackground(bitmap);
  DrawBaseImage(bitmap->GetCanvas()->GetHandle(), 0, 0, imageIndex, enabled);
  RotateBitmap(bitmap, FImageRotation);
}

void TcxPCImageList::Draw(TcxCanvas* canvas, Integer x, Integer y, Integer imageIndex, Boolean enabled,
                          TColor backgroundColor) {
  if (!FBaseImages || FBaseImages->GetCount() == 0)
    RaisePCError("TcxPCImageList", "Draw", GetLocalizedResourceString(&scxPCNoBaseImages));
  const Integer count = FBaseImages->GetCount();
  if (imageIndex < 0 || imageIndex >= count)
    RaisePCError("TcxPCImageList", "Draw",
                 Format(GetLocalizedResourceString(&scxPCImageListIndexError), {imageIndex, count - 1}));
  if (FImageRotation != 0) {
    PrepareRotatedImage(imageIndex, backgroundColor, enabled);
    TcxBitmap32* bitmap = FRotatedImages[std::size_t(imageIndex)];
    canvas->CopyRectFrom(MakeRectBounds(x, y, bitmap->GetWidth(), bitmap->GetHeight()), bitmap->GetCanvas(),
                         bitmap->GetBoundsRect());
    return;
  }
  TcxPCCustomPainter* painter = FTabControl->GetPainter();
  if (painter && painter->IsNativePainting()) {
    DrawBaseImage(canvas->GetHandle(), x, y, imageIndex, enabled);
    return;
  }
  const TSize size = GetImageSize();
  std::unique_ptr<TcxBitmap32, orv::FreeDeleter> bitmap(new TcxBitmap32(size.cx, size.cy));
  bitmap->GetCanvas()->FillRectWithColor(bitmap->GetBoundsRect(), backgroundColor);
  if (FOnFillBitmapBackground) FOnFillBitmapBackground(bitmap.get());
  DrawBaseImage(bitmap->GetCanvas()->GetHandle(), 0, 0, imageIndex, enabled);
  canvas->CopyRectFrom(MakeRectBounds(x, y, size.cx, size.cy), bitmap->GetCanvas(), bitmap->GetBoundsRect());
}

// ==== TcxPCGoDialog ============================================================================

TcxPCGoDialog::TcxPCGoDialog(TComponent* owner) : TPopupMenu(owner) {}

TcxCustomTabControl* TcxPCGoDialog::GetTabControl() {
  return dynamic_cast<TcxCustomTabControl*>(GetOwner());
}

void TcxPCGoDialog::FillItems(Boolean sort) {
  TcxCustomTabControl* control = GetTabControl();
  TStringList list;
  TcxTabs* tabs = control->GetTabs();
  const Integer count = control->GetVisibleTabList()->GetCount();
  for (Integer i = 0; i < count; ++i) {
    TcxTab* tab = tabs->GetVisibleTab(i);
    if (tab->IsEnabled()) list.AddObject(StripAccelChars(tab->GetCaption(), false), tab);
  }
  if (sort) {
    std::vector<std::pair<AnsiString, TObject*>> items;
    for (Integer i = 0; i < list.GetCount(); ++i) items.emplace_back(list.Get(i), list.GetObject(i));
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
      return AnsiCompareText(a.first, b.first) < 0;
    });
    list.Clear();
    for (auto& item : items) list.AddObject(item.first, item.second);
  }
  SetImages(control->GetImages());
  GetItems()->Clear();
  for (Integer i = 0; i < list.GetCount(); ++i) {
    auto* tab = static_cast<TcxTab*>(list.GetObject(i));
    auto* item = new TMenuItem(this);
    item->SetCaption(tab->GetCaption());
    item->SetTag(tab->GetIndex());
    const Boolean current = tab->GetIndex() == control->GetTabIndex();
    item->SetChecked(current);
    item->SetDefault(current);
    item->SetImageIndex(control->GetTabImageIndex(tab->GetIndex()));
    item->SetOnClick(TNotifyEvent(this, &TcxPCGoDialog::ItemClick));
    GetItems()->Add(item);
  }
}

TPoint TcxPCGoDialog::GetPopupPoint() {
  TcxCustomTabControl* control = GetTabControl();
  const TRect bounds = control->GetPainter()->GetGoDialogButtonBounds();
  return control->ClientToScreen(TPoint{bounds.Left, bounds.Bottom});
}

void TcxPCGoDialog::PopupDialog(Boolean sort) {
  FillItems(sort);
  const TPoint p = GetPopupPoint();
  Popup(p.X, p.Y);
}

void TcxPCGoDialog::ItemClick(TObject* sender) {
  if (FOnTabClick) FOnTabClick(Integer(static_cast<TMenuItem*>(sender)->GetTag()));
}

// ==== Painters factory =========================================================================

namespace {

TcxPCPaintersFactory* gFactory = nullptr;

struct TPrototypes {
  std::map<TClass, std::unique_ptr<TcxPCCustomPainter, orv::FreeDeleter>> Items;
};

TPrototypes& Prototypes() {
  static TPrototypes prototypes;
  return prototypes;
}

struct TFactoryHolder {
  ~TFactoryHolder() { FreeAndNil(gFactory); }
};
TFactoryHolder gFactoryHolder;

}  // namespace

const TcxPCCustomPainter* GetPCPainterPrototype(TcxPCPainterClass painterClass) {
  if (!painterClass) return nullptr;
  auto& items = Prototypes().Items;
  auto it = items.find(painterClass.Get());
  if (it == items.end())
    it = items.emplace(painterClass.Get(), std::unique_ptr<TcxPCCustomPainter, orv::FreeDeleter>(
                                               painterClass.Create(nullptr))).first;
  return it->second.get();
}

void RegisterPCPainterClass(TcxPCPainterClass painterClass) {
  if (!gFactory) gFactory = new TcxPCPaintersFactory;
  auto& list = gFactory->FPainterClassList;
  if (std::find(list.begin(), list.end(), painterClass) == list.end()) list.push_back(painterClass);
}

void UnregisterPCPainterClass(TcxPCPainterClass painterClass) {
  if (!gFactory) return;
  auto& list = gFactory->FPainterClassList;
  list.erase(std::remove(list.begin(), list.end(), painterClass), list.end());
  if (list.empty()) FreeAndNil(gFactory);
}

TcxPCPaintersFactory* PaintersFactory() {
  orv::StartPCPaintersUnit();
  return gFactory;
}

TcxPCPainterClass TcxPCPaintersFactory::FindPainterClassByStyleID(TcxPCStyleID id) const {
  for (const TcxPCPainterClass& c : FPainterClassList)
    if (GetPCPainterPrototype(c)->GetStyleID() == id) return c;
  return nullptr;
}

TcxPCStyleID TcxPCPaintersFactory::GetStyleIDByLookAndFeel(TcxLookAndFeel* lookAndFeel) const {
  for (auto it = FPainterClassList.rbegin(); it != FPainterClassList.rend(); ++it)
    if (GetPCPainterPrototype(*it)->HasLookAndFeel(lookAndFeel)) return GetPCPainterPrototype(*it)->GetStyleID();
  return -1;
}

TcxPCStyleID TcxPCPaintersFactory::GetDefaultStyleID(TcxLookAndFeel* lookAndFeel) const {
  if (FPainterClassList.empty())
    RaisePCError("TcxPCPaintersFactory", "GetDefaultStyleID",
                 GetLocalizedResourceString(&scxPCNoRegisteredStyles));
  TcxPCStyleID result = GetPCPainterPrototype(FPainterClassList.front())->GetStyleID();
  for (auto it = FPainterClassList.rbegin(); it != FPainterClassList.rend(); ++it)
    if (GetPCPainterPrototype(*it)->IsDefault(lookAndFeel)) return GetPCPainterPrototype(*it)->GetStyleID();
  return result;
}

TcxPCCustomPainter* TcxPCPaintersFactory::GetPainterInstance(TcxPCPainterClass painterClass,
                                                             TcxCustomTabControl* tabControl) const {
  if (!painterClass)
    RaisePCError("TcxPCPaintersFactory", "GetPainterInstance",
                 GetLocalizedResourceString(&scxPCPainterClassError));
  return painterClass.Create(tabControl);
}

// ==== TcxPCPainterParentInfo ===================================================================

TObject* TcxPCPainterParentInfo::ActivePageObject() const { return FControl->GetActivePageObject(); }
TcxCanvas* TcxPCPainterParentInfo::Canvas() const { return FControl->GetPaintCanvas(); }
TFont* TcxPCPainterParentInfo::Font() const { return FControl->GetFont(); }
Boolean TcxPCPainterParentInfo::IsTabsContainer() const { return FControl->GetIsTabsContainer(); }
TColor TcxPCPainterParentInfo::Color() const { return FControl->GetColor(); }
TRect TcxPCPainterParentInfo::FarTabsArea() const { return FControl->GetFarTabsArea(); }
TRect TcxPCPainterParentInfo::NearTabsArea() const { return FControl->GetNearTabsArea(); }
Integer TcxPCPainterParentInfo::Height() const { return FControl->GetHeight(); }
Boolean TcxPCPainterParentInfo::HideTabs() const { return FControl->GetHideTabs(); }
Integer TcxPCPainterParentInfo::ImageBorder() const { return FControl->GetImageBorder(); }
Integer TcxPCPainterParentInfo::MainTabVisibleIndex() const { return FControl->GetMainTabVisibleIndex(); }
Boolean TcxPCPainterParentInfo::MultiLine() const { return FControl->GetMultiLine(); }
TcxPCNavigatorButtons TcxPCPainterParentInfo::NavigatorButtons() const { return FControl->GetNavigatorButtons(); }
TcxPCNavigatorButtonState TcxPCPainterParentInfo::NavigatorButtonState(TcxPCNavigatorButton button) const {
  return FControl->GetNavigatorButtonState(button);
}
TcxPCNavigatorPosition TcxPCPainterParentInfo::NavigatorPosition() const { return FControl->GetNavigatorPosition(); }
TcxPCOptions TcxPCPainterParentInfo::Options() const { return FControl->GetOptions(); }
TObject* TcxPCPainterParentInfo::PageObject(Integer visibleIndex) const {
  return FControl->GetPageObject(FControl->GetVisibleTabList()->GetTabIndex(visibleIndex));
}
Boolean TcxPCPainterParentInfo::RaggedRight() const { return FControl->GetRaggedRight(); }
Boolean TcxPCPainterParentInfo::Rotate() const { return FControl->GetRotate(); }
Integer TcxPCPainterParentInfo::RowCount() const { return FControl->GetRowCount(); }
Boolean TcxPCPainterParentInfo::ShowFrame() const { return FControl->GetShowFrame(); }
Integer TcxPCPainterParentInfo::TabHeight() const { return FControl->GetTabHeight(); }
Boolean TcxPCPainterParentInfo::RowsOnOppositeSide() const {
  const TcxTabPosition p = FControl->GetTabPosition();
  if (p == tpTop || p == tpLeft) return FControl->GetTopOrLeftPartRowCount() != FControl->GetRowCount();
  return FControl->GetTopOrLeftPartRowCount() != 0;
}
TcxTabPosition TcxPCPainterParentInfo::TabPosition() const { return FControl->GetTabPosition(); }
Integer TcxPCPainterParentInfo::TabWidth() const { return FControl->GetTabWidth(); }
Integer TcxPCPainterParentInfo::TopOrLeftPartRowCount() const { return FControl->GetTopOrLeftPartRowCount(); }
TcxTab* TcxPCPainterParentInfo::VisibleTab(Integer visibleIndex) const {
  return FControl->GetTabs()->GetVisibleTab(visibleIndex);
}
Integer TcxPCPainterParentInfo::Width() const { return FControl->GetWidth(); }
