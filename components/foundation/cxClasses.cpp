#include "components/foundation/cxClasses.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "platform/runtime/Exceptions.h"

namespace {

[[noreturn]] void ListIndexError(Integer index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

// ==== Localized resource strings =============================================================
//
// Replacements are kept per record: the record's compiled text as first recorded and the
// replacement text, with an index from the record for the lookup that every painted caption
// makes.

namespace {

struct TResourceStringReplacements {
  std::vector<AnsiString> SourceTexts;  // compiled text of each replaced record
  std::vector<PResStringRec> SourceRecs;
  std::vector<AnsiString> Replacements;  // parallel to SourceTexts
  std::unordered_map<PResStringRec, std::size_t> IndexByRec;
};

TResourceStringReplacements& Replacements() {
  static TResourceStringReplacements replacements;
  return replacements;
}

}  // namespace

void cxSetResourceString(PResStringRec rec, const AnsiString& text) {
  if (!rec) return;
  auto& table = Replacements();
  auto found = table.IndexByRec.find(rec);
  if (found != table.IndexByRec.end()) {
    table.Replacements[found->second] = text;  // the source text stays as first recorded
    return;
  }
  table.IndexByRec.emplace(rec, table.SourceTexts.size());
  table.SourceTexts.push_back(LoadResString(rec));
  table.SourceRecs.push_back(rec);
  table.Replacements.push_back(text);
}

AnsiString GetLocalizedResourceString(PResStringRec rec) {
  const auto& table = Replacements();
  if (!table.IndexByRec.empty()) {
    auto found = table.IndexByRec.find(rec);
    if (found != table.IndexByRec.end()) return table.Replacements[found->second];
  }
  return LoadResString(rec);
}

// ==== Object links ===========================================================================

// The live links, grouped per referenced object in doubly linked chains, so that releasing a
// link is O(1) and invalidating an object touches only its own links.
class TcxObjectLinkController {
 public:
  void Add(TcxObjectLink* link) {
    TcxObjectLink*& head = FLinksByObject[link->Ref];
    link->FPrev = nullptr;
    link->FNext = head;
    if (head) head->FPrev = link;
    head = link;
  }

  void Remove(TcxObjectLink* link) {
    if (link->FPrev) {
      link->FPrev->FNext = link->FNext;
    } else {
      auto found = FLinksByObject.find(link->Ref);
      if (link->FNext)
        found->second = link->FNext;
      else
        FLinksByObject.erase(found);
    }
    if (link->FNext) link->FNext->FPrev = link->FPrev;
    link->FPrev = link->FNext = nullptr;
  }

  void Invalidate(TObject* object) {
    auto found = FLinksByObject.find(object);
    if (found == FLinksByObject.end()) return;
    TcxObjectLink* link = found->second;
    FLinksByObject.erase(found);
    while (link) {
      TcxObjectLink* next = link->FNext;
      link->Ref = nullptr;
      link->FPrev = link->FNext = nullptr;
      link = next;
    }
  }

 private:
  std::unordered_map<const TObject*, TcxObjectLink*> FLinksByObject;
};

namespace {

TcxObjectLinkController* gObjectLinkController = nullptr;
Integer gObjectLinkReferenceCount = 0;

}  // namespace

TcxObjectLink* CreateObjectLink(TObject* object) {
  if (!object) return nullptr;
  if (!gObjectLinkController) gObjectLinkController = new TcxObjectLinkController;
  auto* link = new TcxObjectLink;
  link->Ref = object;
  gObjectLinkController->Add(link);
  ++gObjectLinkReferenceCount;
  return link;
}

void ReleaseObjectLink(TcxObjectLink*& link) {
  if (!link) return;
  if (link->Ref) gObjectLinkController->Remove(link);
  delete link;
  link = nullptr;
  if (--gObjectLinkReferenceCount == 0) {
    delete gObjectLinkController;
    gObjectLinkController = nullptr;
  }
}

void InvalidateObjectLinks(TObject* object) {
  if (gObjectLinkController && object) gObjectLinkController->Invalidate(object);
}

Integer orv::ObjectLinkReferenceCount() { return gObjectLinkReferenceCount; }

// ==== Auto-width distribution ================================================================

namespace {

// a * b / c rounded to the nearest integer, halves away from zero; -1 when c is 0 (the
// platform's rule, on 64-bit operands so that running totals cannot overflow).
Int64 MulDiv64(Int64 a, Int64 b, Int64 c) {
  if (c == 0) return -1;
  __extension__ typedef __int128 Int128;
  const Int128 product = Int128(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const Int128 num = product < 0 ? -product : product;
  const Int128 den = c < 0 ? -Int128(c) : Int128(c);
  // Half away from zero: floor((2 * num + den) / (2 * den)).
  const Int128 rounded = (2 * num + den) / (2 * den);
  return static_cast<Int64>(negative ? -rounded : rounded);
}

}  // namespace

TcxAutoWidthObject::TcxAutoWidthObject(Integer capacity) {
  if (capacity > 0) FItems.reserve(std::size_t(capacity));
}

TcxAutoWidthObject::~TcxAutoWidthObject() {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) delete *it;
}

TcxAutoWidthItem* TcxAutoWidthObject::NewItem() {
  FItems.push_back(new TcxAutoWidthItem);
  return FItems.back();
}

TcxAutoWidthItem* TcxAutoWidthObject::GetItemAt(Integer index) const {
  if (index < 0 || index >= GetItemCount()) ListIndexError(index);
  return FItems[std::size_t(index)];
}

Int64 TcxAutoWidthObject::GetTotalWidth() const {
  Int64 total = 0;
  for (const TcxAutoWidthItem* item : FItems) total += item->Width;
  return total;
}

void TcxAutoWidthObject::DistributeWidth() {
  Int64 restWidth = FAvailableWidth;
  Int64 restTotal = GetTotalWidth();
  // Whether an item has its result; AutoWidth itself may legitimately be -1 (a minimum of -1).
  std::vector<bool> decided(FItems.size(), false);
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    TcxAutoWidthItem* item = FItems[i];
    item->AutoWidth = -1;
    if (item->Fixed) {
      decided[i] = true;
      item->AutoWidth = item->Width;
      restWidth -= item->Width;
      restTotal -= item->Width;
    }
  }
  // Passes pin items at their minimum until a pass pins none; then one final pass with the
  // same constants gives every undecided item its share of the running total, so the shares
  // of that pass add up exactly to the width left.
  auto pass = [&](bool finalPass) {
    const Int64 w = restWidth, t = restTotal;
    Int64 offset = 0;
    bool itemLeft = false;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
      if (decided[i]) continue;
      TcxAutoWidthItem* item = FItems[i];
      const Int64 share = MulDiv64(offset + item->Width, w, t) - MulDiv64(offset, w, t);
      if (finalPass) {
        item->AutoWidth = Integer(std::clamp<Int64>(share, INT32_MIN, INT32_MAX));
        decided[i] = true;
      } else if (item->MinWidth >= share) {
        item->AutoWidth = item->MinWidth;
        decided[i] = true;
        restWidth -= item->MinWidth;
        restTotal -= item->Width;
        itemLeft = true;
      }
      offset += item->Width;
    }
    return itemLeft;
  };
  bool finalPass = false;
  bool itemLeft;
  do {
    itemLeft = pass(finalPass);
    if (!itemLeft) finalPass = !finalPass;
  } while (restTotal != 0 && (itemLeft || finalPass));
  // The loop stops as soon as no weight remains. Items still undecided then (their widths sum
  // to zero and their minimums lie below their share) would keep -1; they get their share.
  pass(true);
}
