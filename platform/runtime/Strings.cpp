#include "platform/runtime/Strings.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

namespace {

// Calls `add` for every line of `text`: lines end at CR LF, LF or CR; a last line without an
// end counts too. (A zero byte is an ordinary character here.)
template <class Add>
void SplitLines(const AnsiString& text, Add add) {
  std::size_t start = 0;
  const std::size_t n = text.size();
  while (start < n) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = n;
    add(text.substr(start, end - start));
    start = end;
    if (start < n && text[start] == '\r') ++start;
    if (start < n && text[start] == '\n') ++start;
  }
}

}  // namespace

// ---- TStrings ----

void TStrings::Error(const char* message, Integer index) const {
  throw EStringListError(AnsiString(message) + " (" + std::to_string(index) + ")");
}

int TStrings::CompareStrings(const AnsiString& a, const AnsiString& b) const { return AnsiCompareText(a, b); }

void TStrings::Put(Integer index, const AnsiString& s) {
  TObject* obj = GetObject(index);
  Delete(index);
  InsertObject(index, s, obj);
}

Integer TStrings::Add(const AnsiString& s) {
  const Integer index = GetCount();
  Insert(index, s);
  return index;
}

Integer TStrings::AddObject(const AnsiString& s, TObject* obj) {
  const Integer index = Add(s);
  PutObject(index, obj);
  return index;
}

void TStrings::InsertObject(Integer index, const AnsiString& s, TObject* obj) {
  Insert(index, s);
  PutObject(index, obj);
}

void TStrings::AddStrings(TStrings* strings) {
  BeginUpdate();
  for (Integer i = 0; i < strings->GetCount(); ++i) AddObject(strings->Get(i), strings->GetObject(i));
  EndUpdate();
}

void TStrings::Exchange(Integer index1, Integer index2) {
  BeginUpdate();
  const AnsiString s = Get(index1);
  TObject* obj = GetObject(index1);
  Put(index1, Get(index2));
  PutObject(index1, GetObject(index2));
  Put(index2, s);
  PutObject(index2, obj);
  EndUpdate();
}

void TStrings::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  BeginUpdate();
  const AnsiString s = Get(curIndex);
  TObject* obj = GetObject(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, obj);
  EndUpdate();
}

Integer TStrings::IndexOf(const AnsiString& s) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

Integer TStrings::IndexOfObject(TObject* obj) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetObject(i) == obj) return i;
  return -1;
}

AnsiString TStrings::GetName(Integer index) const {
  const AnsiString s = Get(index);
  const std::size_t p = s.find('=');
  return p == std::string::npos ? AnsiString() : s.substr(0, p);
}

Integer TStrings::IndexOfName(const AnsiString& name) const {
  for (Integer i = 0; i < GetCount(); ++i) {
    const AnsiString s = Get(i);
    const std::size_t p = s.find('=');
    if (p != std::string::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
  }
  return -1;
}

AnsiString TStrings::GetValue(const AnsiString& name) const {
  const Integer i = IndexOfName(name);
  return i < 0 ? AnsiString() : GetValueFromIndex(i);
}

AnsiString TStrings::GetValueFromIndex(Integer index) const {
  const AnsiString s = Get(index);
  const std::size_t p = s.find('=');
  return p == std::string::npos ? AnsiString() : s.substr(p + 1);
}

void TStrings::SetValue(const AnsiString& name, const AnsiString& value) {
  Integer i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  if (i < 0) i = Add(AnsiString());
  Put(i, name + "=" + value);
}

AnsiString TStrings::GetText() const {
  AnsiString text;
  const Integer count = GetCount();
  for (Integer i = 0; i < count; ++i) {
    text += Get(i);
    text += "\r\n";
  }
  return text;
}

void TStrings::SetText(const AnsiString& text) {
  BeginUpdate();
  Clear();
  SplitLines(text, [this](AnsiString line) { Add(line); });
  EndUpdate();
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Assign(TPersistent* source) {
  if (auto* strings = dynamic_cast<TStrings*>(source)) {
    if (strings == this) return;
    BeginUpdate();
    Clear();
    AddStrings(strings);
    EndUpdate();
    return;
  }
  inherited::Assign(source);
}

bool TStrings::Equals(TStrings* other) const {
  if (GetCount() != other->GetCount()) return false;
  for (Integer i = 0; i < GetCount(); ++i)
    if (Get(i) != other->Get(i)) return false;
  return true;
}

void TStrings::LoadFromStream(TStream* stream) {
  const Int64 size = stream->GetSize() - stream->GetPosition();
  AnsiString text(static_cast<std::size_t>(std::max<Int64>(size, 0)), '\0');
  if (!text.empty()) stream->ReadBuffer(text.data(), static_cast<Integer>(text.size()));
  SetText(text);
}

void TStrings::SaveToStream(TStream* stream) const {
  const AnsiString text = GetText();
  stream->WriteBuffer(text.data(), static_cast<Integer>(text.size()));
}

void TStrings::LoadFromFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::SaveToFile(const AnsiString& fileName) const {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

// ---- TStringList ----

void TStringList::CheckIndex(Integer index) const {
  if (index < 0 || index >= GetCount()) Error("List index out of bounds", index);
}

AnsiString TStringList::Get(Integer index) const {
  CheckIndex(index);
  return FList[index].FString;
}

TObject* TStringList::GetObject(Integer index) const {
  CheckIndex(index);
  return FList[index].FObject;
}

void TStringList::Put(Integer index, const AnsiString& s) {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  Changing();
  FList[index].FString = s;
  Changed();
}

void TStringList::PutObject(Integer index, TObject* obj) {
  CheckIndex(index);
  Changing();
  FList[index].FObject = obj;
  Changed();
}

void TStringList::Insert(Integer index, const AnsiString& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(Integer index, const AnsiString& s, TObject* obj) {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > GetCount()) Error("List index out of bounds", index);
  InsertItem(index, s, obj);
}

void TStringList::InsertItem(Integer index, const AnsiString& s, TObject* obj) {
  Changing();
  FList.insert(FList.begin() + index, TStringItem{s, obj});
  Changed();
}

void TStringList::Delete(Integer index) {
  CheckIndex(index);
  Changing();
  FList.erase(FList.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  FList.clear();
  FList.shrink_to_fit();
  Changed();
}

Integer TStringList::AddObject(const AnsiString& s, TObject* obj) {
  Integer index = GetCount();
  if (FSorted && Find(s, index)) {
    switch (FDuplicates) {
      case dupIgnore: return index;
      case dupError: throw EStringListError("String list does not allow duplicates");
      case dupAccept:
        while (index < GetCount() && CompareStrings(FList[index].FString, s) == 0) ++index;
        break;
    }
  }
  InsertItem(index, s, obj);
  return index;
}

void TStringList::AddItems(std::vector<TStringItem>&& items) {
  if (items.empty()) return;
  if (FSorted && FDuplicates == dupError) {
    // The first duplicate must raise with the strings before it added.
    BeginUpdate();
    for (auto& item : items) AddObject(item.FString, item.FObject);
    EndUpdate();
    return;
  }
  auto less = [this](const TStringItem& a, const TStringItem& b) {
    return CompareStrings(a.FString, b.FString) < 0;
  };
  if (FSorted) {
    std::stable_sort(items.begin(), items.end(), less);
    if (FDuplicates == dupIgnore) {
      // Keep the first of equal new strings, and none that the list holds already.
      auto same = [this](const TStringItem& a, const TStringItem& b) {
        return CompareStrings(a.FString, b.FString) == 0;
      };
      items.erase(std::unique(items.begin(), items.end(), same), items.end());
      Integer unused;
      std::erase_if(items, [&](const TStringItem& item) { return Find(item.FString, unused); });
    }
  }
  Changing();
  const std::size_t old = FList.size();
  FList.insert(FList.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
  if (FSorted) std::inplace_merge(FList.begin(), FList.begin() + old, FList.end(), less);
  Changed();
}

void TStringList::AddStrings(TStrings* strings) {
  std::vector<TStringItem> items;
  items.reserve(strings->GetCount());
  for (Integer i = 0; i < strings->GetCount(); ++i) items.push_back({strings->Get(i), strings->GetObject(i)});
  BeginUpdate();
  AddItems(std::move(items));
  EndUpdate();
}

void TStringList::SetText(const AnsiString& text) {
  std::vector<TStringItem> items;
  SplitLines(text, [&items](AnsiString line) { items.push_back({std::move(line), nullptr}); });
  BeginUpdate();
  Clear();
  AddItems(std::move(items));
  EndUpdate();
}

void TStringList::Exchange(Integer index1, Integer index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(FList[index1], FList[index2]);
  Changed();
}

bool TStringList::Find(const AnsiString& s, Integer& index) const {
  Integer lo = 0, hi = GetCount();
  bool found = false;
  while (lo < hi) {
    const Integer mid = lo + (hi - lo) / 2;
    const int c = CompareStrings(FList[mid].FString, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
      if (c == 0) found = true;
    }
  }
  index = lo;
  return found;
}

Integer TStringList::IndexOf(const AnsiString& s) const {
  if (!FSorted) return inherited::IndexOf(s);
  Integer index;
  return Find(s, index) ? index : -1;
}

void TStringList::SetCapacity(Integer value) {
  if (value > GetCapacity()) FList.reserve(value);
}

void TStringList::SortItems() {
  std::stable_sort(FList.begin(), FList.end(), [this](const TStringItem& a, const TStringItem& b) {
    return CompareStrings(a.FString, b.FString) < 0;
  });
}

void TStringList::Sort() {
  if (FSorted || FList.size() < 2) return;
  Changing();
  SortItems();
  Changed();
}

void TStringList::CustomSort(TStringListSortCompare compare) {
  if (FSorted || FList.size() < 2) return;
  Changing();
  // The comparison reads the list by index, so sort an order of indexes and apply it after.
  std::vector<Integer> order(FList.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](Integer a, Integer b) { return compare(this, a, b) < 0; });
  std::vector<TStringItem> sorted;
  sorted.reserve(FList.size());
  for (Integer i : order) sorted.push_back(std::move(FList[i]));
  FList = std::move(sorted);
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (FSorted == value) return;
  if (value) Sort();
  FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (FCaseSensitive == value) return;
  FCaseSensitive = value;
  if (FSorted) {
    Changing();
    SortItems();
    Changed();
  }
}

int TStringList::CompareStrings(const AnsiString& a, const AnsiString& b) const {
  return FCaseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::Changed() {
  if (GetUpdateCount() == 0 && FOnChange) FOnChange(this);
}

void TStringList::Changing() {
  if (GetUpdateCount() == 0 && FOnChanging) FOnChanging(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}
