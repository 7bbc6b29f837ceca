// The component library's base unit: localized resource strings, base persistent and component
// classes, interfaced collections, class registries, small utilities, object links, the width
// distribution, most-recently-used lists, component collections and component naming.
#pragma once

#include <vector>

#include "components/foundation/dxCore.h"
#include "platform/runtime/Types.h"

class TObject;

// ==== Localized resource strings =============================================================

// Replaces the text of one resource string for the rest of the run; a later call for the same
// record replaces it again.
void cxSetResourceString(PResStringRec rec, const AnsiString& text);
// The text to show: the replacement set for the record, else its compiled text.
AnsiString GetLocalizedResourceString(PResStringRec rec);

// ==== Object links ===========================================================================
//
// A guarded reference: a holder that must remember an object which another party may free
// takes a link instead of a raw pointer, tests `Ref` before each use and treats nil as the
// object being gone. Destructors call InvalidateObjectLinks before their base destructor runs.
//
// Links are grouped by the object they refer to, so invalidation costs the links to that one
// object (plus one hash lookup), not a scan of every live link.

class TcxObjectLink {
 public:
  // The referenced object, or nil once it has been freed.
  TObject* Ref = nullptr;

 private:
  friend class TcxObjectLinkController;
  TcxObjectLink* FPrev = nullptr;
  TcxObjectLink* FNext = nullptr;
};

// nil for a nil object.
TcxObjectLink* CreateObjectLink(TObject* object);
// Frees the link (empty or not) and clears the variable; nothing for nil.
void ReleaseObjectLink(TcxObjectLink*& link);
// Every link to the object reads nil from now on. Nothing when no link exists.
void InvalidateObjectLinks(TObject* object);

namespace orv {
// The number of links created and not yet released; the link controller exists exactly while
// this is above 0.
Integer ObjectLinkReferenceCount();
}  // namespace orv

// ==== Auto-width distribution ================================================================
//
// Shares an available width among items in proportion to their natural widths, honouring each
// item's minimum and leaving fixed items alone (the grid's column auto-width, the status bar's
// panels).

class TcxAutoWidthItem {
 public:
  Integer MinWidth = 0;  // smallest width the item may get
  Integer Width = 0;     // natural width: the item's weight
  Boolean Fixed = false; // keeps Width
  Integer AutoWidth = -1;  // the result; -1 until calculated
};

class TcxAutoWidthObject {
 public:
  explicit TcxAutoWidthObject(Integer capacity);
  ~TcxAutoWidthObject();
  TcxAutoWidthObject(const TcxAutoWidthObject&) = delete;
  TcxAutoWidthObject& operator=(const TcxAutoWidthObject&) = delete;

  // A new item (AutoWidth -1, other fields 0, not fixed), appended and owned by the object.
  TcxAutoWidthItem* NewItem();
  Integer GetItemCount() const { return Integer(FItems.size()); }
  TcxAutoWidthItem* GetItemAt(Integer index) const;
  // The sum of every item's Width, fixed ones included (64-bit: it cannot overflow).
  Int64 GetTotalWidth() const;

  Integer GetAvailableWidth() const { return FAvailableWidth; }
  void SetAvailableWidth(Integer value) { FAvailableWidth = value; }
  // The status bar's name for AvailableWidth.
  Integer GetFreeWidth() const { return GetAvailableWidth(); }
  void SetFreeWidth(Integer value) { SetAvailableWidth(value); }

  // Computes every item's AutoWidth.
  void DistributeWidth();

 private:
  Integer FAvailableWidth = 0;
  std::vector<TcxAutoWidthItem*> FItems;
};
