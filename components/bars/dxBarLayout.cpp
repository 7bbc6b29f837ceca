// Layout persistence of the bar manager: the manager's options, its bars with their dock state
// and links, and the links of its sub items, written to and read from a settings store (an ini
// file, the settings tree, the ini text of a stream, or the manager's snapshot of the designed
// layout that bars and recent use are reset from).
//
// A store is read only when it holds a whole layout of this manager: a truncated or damaged file
// would otherwise leave bars without links or hidden. Such a store restores the designed layout
// from the snapshot, and the file itself is left as it is.

#include <algorithm>
#include <set>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarStrs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/runtime/IniFiles.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

constexpr Integer kLayoutVersion = 46;

AnsiString LayoutSeparator(TdxBarLayoutStoreKind kind) { return kind == lskRegistry ? "\\" : "."; }

AnsiString MainSection(const AnsiString& base, TdxBarLayoutStoreKind kind) {
  return kind == lskRegistry ? base : base + "Main";
}

AnsiString BarSection(const AnsiString& base, Integer index) { return base + "Bar" + IntToStr(index); }

AnsiString LinkSection(const AnsiString& section, TdxBarLayoutStoreKind kind, Integer number) {
  return section + LayoutSeparator(kind) + "ItemLink" + IntToStr(number);
}

AnsiString NormalizedRegistryPath(const AnsiString& value) {
  AnsiString path = value;
  if (path.empty()) return path;
  if (path.front() != '\\') path.insert(path.begin(), '\\');
  if (path.back() != '\\') path.push_back('\\');
  return path;
}

// An integer value that is present and well formed.
Boolean TryReadInteger(TCustomIniFile* store, const AnsiString& section, const AnsiString& ident, Integer& value) {
  if (!store->ValueExists(section, ident)) return false;
  const AnsiString text = Trim(store->ReadString(section, ident, AnsiString()));
  return TryStrToInt(text, value);
}

Boolean HasInteger(TCustomIniFile* store, const AnsiString& section, const AnsiString& ident, Integer low = INT32_MIN,
                   Integer high = INT32_MAX) {
  Integer value = 0;
  return TryReadInteger(store, section, ident, value) && value >= low && value <= high;
}

// An enumeration value read within its range; anything else keeps the default.
template <typename E>
E ReadEnum(TCustomIniFile* store, const AnsiString& section, const AnsiString& ident, E defaultValue, E last) {
  const Integer value = store->ReadInteger(section, ident, Integer(defaultValue));
  return value >= 0 && value <= Integer(last) ? E(value) : defaultValue;
}

// One byte of a set: written as binary, read from an ini file also as a one-digit number.
Boolean ReadSetByte(TCustomIniFile* store, const AnsiString& section, const AnsiString& ident,
                    TdxBarLayoutStoreKind kind, Byte& value) {
  if (!store->ValueExists(section, ident)) return false;
  if (kind == lskIniFile) {
    const AnsiString text = store->ReadString(section, ident, AnsiString());
    if (text.size() == 1) {
      if (text[0] < '0' || text[0] > '9') return false;
      value = Byte(text[0] - '0');
      return true;
    }
  }
  TMemoryStream bytes;
  if (store->ReadBinaryStream(section, ident, &bytes) < 1) return false;
  value = *static_cast<const Byte*>(bytes.GetMemory());
  return true;
}

void WriteSetByte(TCustomIniFile* store, const AnsiString& section, const AnsiString& ident, Byte value) {
  TMemoryStream bytes;
  bytes.WriteBuffer(&value, 1);
  bytes.SetPosition(0);
  store->WriteBinaryStream(section, ident, &bytes);
}

Boolean IsBarLinks(TdxBarItemLinks* links) { return dynamic_cast<TdxBar*>(links->GetOwnerComponent()) != nullptr; }

Boolean WritesRecentData(TdxBarItemLinks* links) {
  TdxBarManager* manager = links->GetBarManager();
  return manager && manager->SupportsRecentItems() && links->UsesRecentItems();
}

// Whether every link section a collection names is there with the values the writer always
// writes (the last key of a section is the one a truncated file loses first).
Boolean AreLinksComplete(TCustomIniFile* store, const AnsiString& section, TdxBarLayoutStoreKind kind,
                         TdxBarItemLinks* links, Integer count) {
  const Boolean bar = links && IsBarLinks(links);
  const Boolean recent = links && WritesRecentData(links);
  for (Integer n = 0; n < count; ++n) {
    const AnsiString link = LinkSection(section, kind, n);
    if (!store->ValueExists(link, "ItemName") || !HasInteger(store, link, "BeginGroup")) return false;
    Byte userDefine = 0;
    if (!ReadSetByte(store, link, "UserDefine", kind, userDefine)) return false;
    if ((userDefine & 1) && !store->ValueExists(link, "UserCaption")) return false;
    if ((userDefine & 4) && !HasInteger(store, link, "UserPaintStyle", 0, Integer(psCaptionGlyph))) return false;
    if ((userDefine & 8) && !HasInteger(store, link, "UserWidth")) return false;
    if (bar) {
      Byte levels = 0;
      if (!HasInteger(store, link, "ButtonGroup", 0, Integer(bgpMember)) ||
          !HasInteger(store, link, "Position", 0, Integer(ipContinuesRow)) ||
          !ReadSetByte(store, link, "ViewLevels", kind, levels) || !HasInteger(store, link, "Visible"))
        return false;
    }
    if (recent && (!HasInteger(store, link, "UseCount", 0) || !HasInteger(store, link, "RecentIndex", -1)))
      return false;
  }
  return true;
}

// Sub items whose reset is running: a menu that holds itself through others is reset once.
std::set<TdxBarItem*>& ResettingItems() {
  static std::set<TdxBarItem*> items;
  return items;
}

}  // namespace

// ==== Item links ==============================================================================

Boolean TdxBarItemLink::ReadLayout(TCustomIniFile* source, const AnsiString& section, TdxBarLayoutStoreKind kind,
                                   Integer number) {
  const AnsiString x = LinkSection(section, kind, number);
  TdxBarManager* manager = GetBarManager();
  const AnsiString name = source->ReadString(x, "ItemName", AnsiString());
  TdxBarItem* item = name.empty() || !manager ? nullptr : manager->GetItemByName(name);
  if (item) {
    try {
      SetItem(item);
    } catch (const EdxException&) {
      item = nullptr;  // the owner refuses the item (a menu that would hold itself)
    }
  }
  if (!item) {
    Free();
    return false;
  }
  SetBeginGroup(source->ReadBool(x, "BeginGroup", false));
  Byte userDefine = 0;
  if (ReadSetByte(source, x, "UserDefine", kind, userDefine)) {
    const TdxBarUserDefines defines = TdxBarUserDefines::FromBits(userDefine & 0x0F);
    if (defines.Contains(udCaption)) SetUserCaption(source->ReadString(x, "UserCaption", FUserCaption));
    if (defines.Contains(udPaintStyle))
      SetUserPaintStyle(ReadEnum(source, x, "UserPaintStyle", psStandard, psCaptionGlyph));
    if (defines.Contains(udWidth)) SetUserWidth(source->ReadInteger(x, "UserWidth", 100));
    if (kind == lskRegistry && defines.Contains(udGlyph) && source->ValueExists(x, "UserGlyph")) {
      TMemoryStream bytes;
      if (source->ReadBinaryStream(x, "UserGlyph", &bytes) > 0) {
        bytes.SetPosition(0);
        try {
          FUserGlyph->LoadFromStream(&bytes);
        } catch (const Exception&) {
          FUserGlyph->Assign(nullptr);
        }
      }
    }
    SetUserDefine(defines);
  }
  TdxBarItemLinks* links = GetOwnerLinks();
  if (links && IsBarLinks(links)) {
    SetButtonGroup(ReadEnum(source, x, "ButtonGroup", bgpNone, bgpMember));
    SetPosition(ReadEnum(source, x, "Position", ipBeginsNewRow, ipContinuesRow));
    Byte levels = 0;
    if (ReadSetByte(source, x, "ViewLevels", kind, levels))
      SetViewLevels(TdxBarItemViewLevels::FromBits(levels & 0x0F));
    FLoadedVisible = source->ReadBool(x, "Visible", true);
  }
  if (links && WritesRecentData(links)) {
    FLoadedUseCount = std::max(0, source->ReadInteger(x, "UseCount", 0));
    FLoadedRecentIndex = source->ReadInteger(x, "RecentIndex", -1);
  }
  return true;
}

void TdxBarItemLink::WriteLayout(TCustomIniFile* destination, const AnsiString& section, TdxBarLayoutStoreKind kind,
                                 Integer number) {
  const AnsiString x = LinkSection(section, kind, number);
  TdxBarItem* item = GetItem();
  destination->WriteString(x, "ItemName", item ? item->GetName() : AnsiString());
  destination->WriteBool(x, "BeginGroup", FBeginGroup);
  WriteSetByte(destination, x, "UserDefine", Byte(FUserDefine.Bits()));
  if (FUserDefine.Contains(udCaption)) destination->WriteString(x, "UserCaption", FUserCaption);
  if (FUserDefine.Contains(udPaintStyle)) destination->WriteInteger(x, "UserPaintStyle", Integer(FUserPaintStyle));
  if (FUserDefine.Contains(udWidth)) destination->WriteInteger(x, "UserWidth", FUserWidth);
  if (kind == lskRegistry && FUserDefine.Contains(udGlyph)) {
    TMemoryStream bytes;
    FUserGlyph->SaveToStream(&bytes);
    bytes.SetPosition(0);
    destination->WriteBinaryStream(x, "UserGlyph", &bytes);
  }
  TdxBarItemLinks* links = GetOwnerLinks();
  if (links && IsBarLinks(links)) {
    destination->WriteInteger(x, "ButtonGroup", Integer(FButtonGroup));
    destination->WriteInteger(x, "Position", Integer(FPosition));
    WriteSetByte(destination, x, "ViewLevels", Byte(FViewLevels.Bits()));
    destination->WriteBool(x, "Visible", FVisible);
  }
  if (links && WritesRecentData(links)) {
    destination->WriteInteger(x, "UseCount", FUseCount);
    destination->WriteInteger(x, "RecentIndex", GetRecentIndex());
  }
  TdxBarManager* manager = GetBarManager();
  if (manager && manager->IsWritingSnapshot()) destination->WriteBool(x, "MostRecentlyUsed", FMostRecentlyUsed);
}

void TdxBarItemLink::ReadUsageData(TCustomIniFile* source, const AnsiString& section, Integer number) {
  // Only the snapshot holds this value, and it always separates by ".".
  FMostRecentlyUsed = source->ReadBool(section + ".ItemLink" + IntToStr(number), "MostRecentlyUsed", true);
}

// ==== Link collections ========================================================================

void TdxBarItemLinks::ReadLayout(TCustomIniFile* source, const AnsiString& section, TdxBarLayoutStoreKind kind) {
  TdxBarManager* manager = GetBarManager();
  BeginUpdate();
  try {
    // Links of items the stored layout did not know stay, placed after their designed
    // predecessor; every other link is replaced by the stored ones.
    struct TKept {
      TdxBarItemLink* Link;
      AnsiString PreviousName;
    };
    std::vector<TKept> kept;
    if (manager && manager->HasNewItems()) {
      for (Integer i = GetCount() - 1; i >= 0; --i) {
        TdxBarItemLink* link = GetItem(i);
        if (!manager->IsNewItem(link->GetItem())) {
          link->Free();
          continue;
        }
        link->FMergeSourceBar = nullptr;
        AnsiString previous;
        if (i > 0)
          if (TdxBarItem* item = GetItem(i - 1)->GetItem()) previous = item->GetName();
        kept.insert(kept.begin(), TKept{link, previous});
      }
    } else {
      Clear();
    }
    const Integer count = source->ReadInteger(section, "ItemLinkCount", 0);
    for (Integer n = count - 1; n >= 0; --n) Insert(0)->ReadLayout(source, section, kind, n);
    for (const TKept& k : kept) {
      if (k.PreviousName.empty()) {
        k.Link->SetIndex(0);
        continue;
      }
      for (Integer i = 0; i < GetCount(); ++i)
        if (TdxBarItem* item = GetItem(i)->GetItem(); item && GetItem(i) != k.Link && SameText(item->GetName(), k.PreviousName)) {
          k.Link->SetIndex(k.Link->GetIndex() > i ? i + 1 : i);
          break;
        }
    }
    ApplyLoadedRecentData(true);
    CompactRecentList();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  RefreshLists();
}

void TdxBarItemLinks::WriteLayout(TCustomIniFile* destination, const AnsiString& section,
                                  TdxBarLayoutStoreKind kind) {
  Integer number = 0;
  for (Integer i = 0; i < GetCount(); ++i) {
    TdxBarItemLink* link = GetItem(i);
    TdxBarItem* item = link->GetItem();
    // Links a merge added belong to the merged bar's layout.
    if (!item || item->GetName().empty() || link->GetMergeSourceBar()) continue;
    link->WriteLayout(destination, section, kind, number++);
  }
  destination->WriteInteger(section, "ItemLinkCount", number);
}

void TdxBarItemLinks::ReadUsageData(TCustomIniFile* source, const AnsiString& section) {
  const Integer count = std::min(source->ReadInteger(section, "ItemLinkCount", 0), GetCount());
  for (Integer n = 0; n < count; ++n) GetItem(n)->ReadUsageData(source, section, n);
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (GetItem(i)->GetItem()) GetItem(i)->ResetUseCount();
  RefreshLists();
}

void TdxBarItemLinks::ApplyLoadedRecentData(Boolean applyVisible) {
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (GetItem(i)->GetItem()) GetItem(i)->ResetUseCount();
  if (applyVisible)
    for (Integer i = GetCount() - 1; i >= 0; --i) GetItem(i)->ApplyLoadedVisible();
  for (Integer index = 0; index < GetCount(); ++index)
    for (Integer i = 0; i < GetCount(); ++i) {
      TdxBarItemLink* link = GetItem(i);
      if (link->FLoadedRecentIndex != index) continue;
      link->FUseCount = link->FLoadedUseCount;
      link->SetRecentIndex(index);
      link->FLoadedRecentIndex = -1;
    }
  for (Integer i = 0; i < GetCount(); ++i) GetItem(i)->FLoadedRecentIndex = -1;
  RefreshLists();
}

void TdxBarItemLinks::CompactRecentList() {
  std::stable_partition(FRecent.begin(), FRecent.end(), [this](TdxBarItemLink* link) {
    return std::find(FCanVisible.begin(), FCanVisible.end(), link) != FCanVisible.end();
  });
  RefreshLists();
}

void TdxBarItemLinks::ResetItemsFromIniFile(TCustomIniFile* source, const AnsiString& baseSection) {
  for (Integer i = 0; i < GetCount(); ++i)
    if (TdxBarItem* item = GetItem(i)->GetItem()) item->ResetFromIniFile(source, baseSection);
}

// ==== Sub items ===============================================================================

void TCustomdxBarSubItem::LoadFromIniFile(TCustomIniFile* source, const AnsiString& baseSection,
                                          TdxBarLayoutStoreKind kind) {
  if (GetName().empty()) return;
  const AnsiString x = baseSection + "SubItem_" + GetName();
  // A sub item the stored layout has no section for keeps its designed links.
  if (source->ReadInteger(x, "ItemLinkCount", -1) >= 0) FItemLinks->ReadLayout(source, x, kind);
}

void TCustomdxBarSubItem::SaveToIniFile(TCustomIniFile* destination, const AnsiString& baseSection,
                                        TdxBarLayoutStoreKind kind) {
  if (GetName().empty()) return;
  FItemLinks->WriteLayout(destination, baseSection + "SubItem_" + GetName(), kind);
}

void TCustomdxBarSubItem::RestoreMostRecentFromIniFile(TCustomIniFile* source, const AnsiString& baseSection) {
  if (GetName().empty()) return;
  FItemLinks->ReadUsageData(source, baseSection + "SubItem_" + GetName());
}

void TCustomdxBarSubItem::ResetFromIniFile(TCustomIniFile* source, const AnsiString& baseSection) {
  auto& resetting = ResettingItems();
  if (!resetting.insert(this).second) return;
  try {
    LoadFromIniFile(source, baseSection, lskIniFile);
    RestoreMostRecentFromIniFile(source, baseSection);
    FItemLinks->ResetItemsFromIniFile(source, baseSection);
  } catch (...) {
    resetting.erase(this);
    throw;
  }
  resetting.erase(this);
}

// ==== Bars ====================================================================================

void TdxBar::ReadLayout(TCustomIniFile* source, const AnsiString& baseSection, TdxBarLayoutStoreKind kind,
                        Integer index) {
  const AnsiString x = BarSection(baseSection, index);
  FItemLinks->ReadLayout(source, x, kind);
  // When the manager reads a stored layout as its loading ends, the bars are still marked as
  // loading: the values read apply at once all the same.
  orv::TFlagScope applying(FApplyingLoadedValues, true);
  try {
    SetVisible(false);
    SetCaption(source->ReadString(x, "Caption", FCaption));
    SetDockedDockingStyle(ReadEnum(source, x, "DockedDockingStyle", FDockedDockingStyle, dsBottom));
    SetDockedLeft(source->ReadInteger(x, "DockedLeft", FDockedLeft));
    SetDockedTop(source->ReadInteger(x, "DockedTop", FDockedTop));
    SetOneOnRow(source->ReadBool(x, "OneOnRow", FOneOnRow));
    const Integer floatLeft = source->ReadInteger(x, "FloatLeft", FFloatLeft);
    const Integer floatTop = source->ReadInteger(x, "FloatTop", FFloatTop);
    const Integer floatWidth = source->ReadInteger(x, "FloatClientWidth", FFloatClientWidth);
    const Integer floatHeight = source->ReadInteger(x, "FloatClientHeight", FFloatClientHeight);
    auto applyFloat = [&] {
      SetFloatLeft(floatLeft);
      SetFloatTop(floatTop);
      SetFloatClientWidth(floatWidth);
      SetFloatClientHeight(floatHeight);
    };
    applyFloat();
    SetDockingStyle(ReadEnum(source, x, "DockingStyle", GetDockingStyle(), dsBottom));
    SetRow(std::max(0, source->ReadInteger(x, "Row", FRow)));
    SetVisible(source->ReadBool(x, "Visible", false));
    // A floating window made just now reports the size it was made with: the stored place and
    // size stand.
    applyFloat();
    if (FMergeTarget) FMergeTarget->UnmergeFrom(this, false);
  } catch (const Exception&) {
    SetVisible(true);
  }
}

void TdxBar::WriteLayout(TCustomIniFile* destination, const AnsiString& baseSection, TdxBarLayoutStoreKind kind,
                         Integer index) {
  const AnsiString x = BarSection(baseSection, index);
  TdxBarManager* manager = GetBarManager();
  destination->WriteString(x, "Caption", FCaption);
  destination->WriteInteger(x, "DockedDockingStyle", Integer(FDockedDockingStyle));
  destination->WriteInteger(x, "DockedLeft", FDockedLeft);
  destination->WriteInteger(x, "DockedTop", FDockedTop);
  destination->WriteInteger(x, "DockingStyle", Integer(GetDockingStyle()));
  destination->WriteInteger(x, "FloatClientHeight", FFloatClientHeight);
  destination->WriteInteger(x, "FloatClientWidth", FFloatClientWidth);
  destination->WriteInteger(x, "FloatLeft", FFloatLeft);
  destination->WriteInteger(x, "FloatTop", FFloatTop);
  destination->WriteBool(x, "OneOnRow", FOneOnRow);
  destination->WriteInteger(x, "Row", GetRow());
  const Boolean visible =
      FMergeTarget ? FVisibleBeforeMerge : GetVisible() || (manager && manager->IsBarRestoring(this));
  destination->WriteBool(x, "Visible", visible);
  FItemLinks->WriteLayout(destination, x, kind);
}

void TdxBar::ReadUsageData(TCustomIniFile* source, const AnsiString& baseSection, Integer index) {
  FItemLinks->ReadUsageData(source, BarSection(baseSection, index));
}

// ==== The manager =============================================================================

AnsiString TdxBarManager::GetIniSectionBase() const {
  AnsiString base = GetName() + ".";
  for (TComponent* owner = const_cast<TdxBarManager*>(this)->GetOwner(); owner && !owner->GetName().empty(); owner = owner->GetOwner()) {
    base = owner->GetName() + "." + base;
    if (dynamic_cast<TCustomForm*>(owner)) break;
  }
  return base;
}

Boolean TdxBarManager::IsNewItem(TdxBarItem* item) const {
  return FNewItems && item && std::find(FNewItems->begin(), FNewItems->end(), item) != FNewItems->end();
}

Boolean TdxBarManager::IsLayoutComplete(TCustomIniFile* source, const AnsiString& baseSection,
                                        TdxBarLayoutStoreKind kind) {
  const AnsiString main = MainSection(baseSection, kind);
  Integer barCount = 0;
  if (!HasInteger(source, main, "Version") || !TryReadInteger(source, main, "BarCount", barCount) || barCount < 0)
    return false;
  if (!HasInteger(source, main, "LargeIcons") || !HasInteger(source, main, "MenuAnimations", 0, Integer(maFade)) ||
      !HasInteger(source, main, "ShowHint") || !HasInteger(source, main, "ShowShortCutInHint"))
    return false;
  if (!HasInteger(source, baseSection + "Items", "ItemCount", -1)) return false;
  for (Integer i = 0; i < barCount; ++i) {
    const AnsiString x = BarSection(baseSection, i);
    Integer linkCount = 0;
    if (!source->ValueExists(x, "Caption") || !HasInteger(source, x, "DockedDockingStyle", 0, Integer(dsBottom)) ||
        !HasInteger(source, x, "DockedLeft") || !HasInteger(source, x, "DockedTop") ||
        !HasInteger(source, x, "DockingStyle", 0, Integer(dsBottom)) || !HasInteger(source, x, "FloatClientHeight") ||
        !HasInteger(source, x, "FloatClientWidth") || !HasInteger(source, x, "FloatLeft") ||
        !HasInteger(source, x, "FloatTop") || !HasInteger(source, x, "OneOnRow") || !HasInteger(source, x, "Row") ||
        !HasInteger(source, x, "Visible") || !TryReadInteger(source, x, "ItemLinkCount", linkCount) || linkCount < 0)
      return false;
    // A bar the manager has not yet takes its links as a new bar would.
    TdxBarItemLinks* links = i < GetBarCount() ? GetBar(i)->GetLinks() : nullptr;
    if (!AreLinksComplete(source, x, kind, links, linkCount)) return false;
  }
  for (Integer i = 0; i < GetItemCount(); ++i) {
    auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(GetItem(i));
    if (!subItem || subItem->GetName().empty()) continue;
    const AnsiString x = baseSection + "SubItem_" + subItem->GetName();
    if (!source->ValueExists(x, "ItemLinkCount")) continue;  // keeps its designed links
    Integer linkCount = 0;
    if (!TryReadInteger(source, x, "ItemLinkCount", linkCount) || linkCount < 0 ||
        !AreLinksComplete(source, x, kind, subItem->GetLinks(), linkCount))
      return false;
  }
  return true;
}

Boolean TdxBarManager::ReadLayout(TCustomIniFile* source, const AnsiString& baseSection, TdxBarLayoutStoreKind kind) {
  if (!IsLayoutComplete(source, baseSection, kind)) {
    // The designed layout stands in for a damaged one.
    if (FSnapshot && source != FSnapshot) ReadLayout(FSnapshot, GetIniSectionBase(), lskIniFile);
    return false;
  }
  const AnsiString main = MainSection(baseSection, kind);
  std::vector<TdxBarItem*> newItems;
  BeginUpdate();
  try {
    if (SupportsRecentItems()) {
      SetMenusShowRecentItemsFirst(source->ReadBool(main, "MenusShowRecentItemsFirst", FMenusShowRecentItemsFirst));
      SetShowFullMenusAfterDelay(source->ReadBool(main, "ShowFullMenusAfterDelay", FShowFullMenusAfterDelay));
    }
    SetLargeIcons(source->ReadBool(main, "LargeIcons", GetLargeIcons()));
    SetMenuAnimations(ReadEnum(source, main, "MenuAnimations", FMenuAnimations, maFade));
    SetShowHint(source->ReadBool(main, "ShowHint", FShowHint));
    SetShowShortCutInHint(source->ReadBool(main, "ShowShortCutInHint", FShowShortCutInHint));
    const Integer barCount = source->ReadInteger(main, "BarCount", 0);
    const AnsiString itemsSection = baseSection + "Items";
    if (source->ReadInteger(itemsSection, "ItemCount", -1) >= 0) {
      for (Integer i = 0; i < GetItemCount(); ++i) {
        TdxBarItem* item = GetItem(i);
        if (item->GetName().empty() || !source->ReadBool(itemsSection, item->GetName(), false)) newItems.push_back(item);
      }
      FNewItems = &newItems;
    }
    for (Integer i = 0; i < barCount; ++i) {
      while (GetBarCount() < i + 1) FBars->Add();
      GetBar(i)->ReadLayout(source, baseSection, kind, i);
    }
    for (Integer i = 0; i < GetItemCount(); ++i) GetItem(i)->LoadFromIniFile(source, baseSection, kind);
  } catch (...) {
    FNewItems = nullptr;
    EndUpdate();
    throw;
  }
  FNewItems = nullptr;
  EndUpdate();
  TdxBarIniFileEventData data{source, kind == lskRegistry, baseSection, LayoutSeparator(kind)};
  GetIniFileReadHandlers()->InvokeAll(this, &data);
  return true;
}

void TdxBarManager::WriteLayout(TCustomIniFile* destination, const AnsiString& baseSection,
                                TdxBarLayoutStoreKind kind) {
  TStringList sections;
  destination->ReadSections(&sections);
  for (Integer i = 0; i < sections.GetCount(); ++i)
    if (sections.Get(i).compare(0, baseSection.size(), baseSection) == 0) destination->EraseSection(sections.Get(i));
  if (kind == lskRegistry) destination->EraseSection(baseSection);

  const AnsiString main = MainSection(baseSection, kind);
  destination->WriteInteger(main, "Version", kLayoutVersion);
  if (SupportsRecentItems()) {
    destination->WriteBool(main, "MenusShowRecentItemsFirst", FMenusShowRecentItemsFirst);
    destination->WriteBool(main, "ShowFullMenusAfterDelay", FShowFullMenusAfterDelay);
  }
  destination->WriteBool(main, "LargeIcons", GetLargeIcons());
  destination->WriteInteger(main, "MenuAnimations", Integer(FMenuAnimations));
  destination->WriteBool(main, "ShowHint", FShowHint);
  destination->WriteBool(main, "ShowShortCutInHint", FShowShortCutInHint);
  destination->WriteInteger(main, "BarCount", GetBarCount());

  const AnsiString itemsSection = baseSection + "Items";
  destination->WriteInteger(itemsSection, "ItemCount", GetItemCount());
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (!GetItem(i)->GetName().empty()) destination->WriteBool(itemsSection, GetItem(i)->GetName(), true);
  for (Integer i = 0; i < GetBarCount(); ++i) GetBar(i)->WriteLayout(destination, baseSection, kind, i);
  for (Integer i = 0; i < GetItemCount(); ++i) GetItem(i)->SaveToIniFile(destination, baseSection, kind);

  TdxBarIniFileEventData data{destination, kind == lskRegistry, baseSection, LayoutSeparator(kind)};
  GetIniFileWriteHandlers()->InvokeAll(this, &data);
}

void TdxBarManager::WriteSnapshot() {
  if (!FSnapshot) return;
  orv::TFlagScope writing(FWritingSnapshot, true);
  WriteLayout(FSnapshot, GetIniSectionBase(), lskIniFile);
}

namespace {
// Whether the store holds anything of the manager: a store without its sections is no layout
// (a first start), one with some of them is a layout, whole or damaged.
Boolean HoldsLayout(TCustomIniFile* store, const AnsiString& baseSection) {
  TStringList sections;
  store->ReadSections(&sections);
  for (Integer i = 0; i < sections.GetCount(); ++i)
    if (sections.Get(i).compare(0, baseSection.size(), baseSection) == 0) return true;
  return false;
}
}  // namespace

Boolean TdxBarManager::LoadFromRegistry(const AnsiString& registryPath) {
  const AnsiString path = NormalizedRegistryPath(registryPath);
  if (path.empty()) return false;
  TRegistryIniFile store(path);
  if (!HoldsLayout(&store, path)) return false;
  return ReadLayout(&store, path, lskRegistry);
}

void TdxBarManager::SaveToRegistry(const AnsiString& registryPath) {
  const AnsiString path = NormalizedRegistryPath(registryPath);
  if (path.empty()) return;
  TRegistryIniFile store(path);
  WriteLayout(&store, path, lskRegistry);
  store.UpdateFile();
}

Boolean TdxBarManager::LoadFromIniFile(const AnsiString& fileName) {
  if (fileName.empty()) return false;
  TMemIniFile store(fileName);
  const AnsiString base = GetIniSectionBase();
  if (!FileExists(fileName)) return false;
  return ReadLayout(&store, base, lskIniFile);
}

void TdxBarManager::SaveToIniFile(const AnsiString& fileName) {
  if (fileName.empty()) return;
  // The file may hold the layouts of other managers and other settings: they stay.
  TMemIniFile store(fileName);
  WriteLayout(&store, GetIniSectionBase(), lskIniFile);
  store.UpdateFile();
}

Boolean TdxBarManager::LoadFromStream(TStream* stream) {
  if (!stream) return false;
  AnsiString text;
  char buffer[4096];
  for (;;) {
    const Integer n = stream->Read(buffer, Integer(sizeof buffer));
    if (n <= 0) break;
    text.append(buffer, size_t(n));
  }
  TMemIniFile store{AnsiString()};
  store.SetText(text);
  return ReadLayout(&store, GetIniSectionBase(), lskIniFile);
}

void TdxBarManager::SaveToStream(TStream* stream) {
  if (!stream) return;
  TMemIniFile store{AnsiString()};
  WriteLayout(&store, GetIniSectionBase(), lskIniFile);
  const AnsiString text = store.GetText();
  if (!text.empty()) stream->WriteBuffer(text.data(), Integer(text.size()));
}

Integer TdxBarManager::FindBarIndexInSnapshot(const AnsiString& caption) {
  if (!FSnapshot) return -1;
  const AnsiString base = GetIniSectionBase();
  const Integer count = FSnapshot->ReadInteger(MainSection(base, lskIniFile), "BarCount", 0);
  for (Integer i = 0; i < count; ++i)
    if (FSnapshot->ReadString(BarSection(base, i), "Caption", AnsiString()) == caption) return i;
  return -1;
}

void TdxBarManager::ResetUsageData() {
  if (!FSnapshot) return;
  const AnsiString base = GetIniSectionBase();
  BeginUpdate();
  try {
    for (Integer i = 0; i < GetItemCount(); ++i) GetItem(i)->RestoreMostRecentFromIniFile(FSnapshot, base);
    for (Integer i = 0; i < GetBarCount(); ++i)
      if (const Integer index = FindBarIndexInSnapshot(GetBar(i)->GetCaption()); index >= 0)
        GetBar(i)->ReadUsageData(FSnapshot, base, index);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TdxBarManager::ResetUsageDataWithConfirmation() {
  const AnsiString text = GetLocalizedResourceString(&dxSBAR_WANTTORESETUSAGEDATA);
  const AnsiString caption = Application ? Application->GetTitle() : AnsiString();
  const Integer answer = Application ? Application->MessageBox(text, caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2)
                                     : MessageBox(nullptr, text.c_str(), caption.c_str(),
                                                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
  if (answer == IDYES) ResetUsageData();
}
