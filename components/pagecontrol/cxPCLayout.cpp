// The layout pass of the tab control: which tabs are shown, their rows, the row order and
// positions, tab widths, the navigator buttons and the two tabs areas beside the page.
#include <algorithm>
#include <cmath>

#include "components/foundation/cxGeometry.h"
#include "components/pagecontrol/cxPC.h"
#include "components/pagecontrol/cxPCConsts.h"

namespace {

// Along and across coordinates of a rect for a horizontal (tabs on top or bottom) or a vertical
// strip.
Integer AlongStart(const TRect& r, Boolean horizontal) { return horizontal ? r.Left : r.Top; }
Integer AlongEnd(const TRect& r, Boolean horizontal) { return horizontal ? r.Right : r.Bottom; }
Integer AcrossStart(const TRect& r, Boolean horizontal) { return horizontal ? r.Top : r.Left; }
Integer AcrossEnd(const TRect& r, Boolean horizontal) { return horizontal ? r.Bottom : r.Right; }

void SetAlongExtent(TRect& r, Boolean horizontal, Integer start, Integer end) {
  if (horizontal) {
    r.Left = start;
    r.Right = end;
  } else {
    r.Top = start;
    r.Bottom = end;
  }
}

void SetAcrossStart(TRect& r, Boolean horizontal, Integer value) { (horizontal ? r.Top : r.Left) = value; }
void SetAcrossEnd(TRect& r, Boolean horizontal, Integer value) { (horizontal ? r.Bottom : r.Right) = value; }

// A row's deviation 2^(W - length) is kept as its exponent: sums of powers of two are compared
// exactly, without overflowing a double for free lengths of 1024 pixels and more.

// Normalizes a multiset of powers of two into distinct exponents (carrying equal pairs up), so
// that two sums compare lexicographically.
std::vector<Integer> Normalize(std::vector<Integer> exps) {
  std::size_t i = 0;
  std::vector<Integer> work = std::move(exps);
  // Carry: two equal exponents make one exponent larger by one.
  bool changed = true;
  while (changed) {
    changed = false;
    std::sort(work.begin(), work.end());
    for (i = 0; i + 1 < work.size(); ++i) {
      if (work[i] == work[i + 1]) {
        work[i] += 1;
        work.erase(work.begin() + long(i) + 1);
        changed = true;
        break;
      }
    }
  }
  std::sort(work.begin(), work.end(), std::greater<>());
  return work;
}

// -1, 0, 1 as a < b, a == b, a > b.
int CompareDeviation(const std::vector<Integer>& a, const std::vector<Integer>& b) {
  const std::vector<Integer> na = Normalize(a), nb = Normalize(b);
  const std::size_t n = std::min(na.size(), nb.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (na[i] != nb[i]) return na[i] < nb[i] ? -1 : 1;
  }
  if (na.size() == nb.size()) return 0;
  return na.size() < nb.size() ? -1 : 1;
}

}  // namespace

Boolean TcxCustomTabControl::IsBackwardStrip() const {
  const Boolean topToBottom = FOptions.Contains(pcoTopToBottomText);
  if (FTabPosition == tpLeft || FTabPosition == tpRight) return !FRotate && !topToBottom;
  return FRotate && topToBottom;
}

Integer TcxCustomTabControl::GetCaptionOrientation() const {
  const Boolean verticalWidth = IsHorizontalStrip() == FRotate;
  if (!verticalWidth) return 0;
  return FOptions.Contains(pcoTopToBottomText) ? 2 : 1;
}

void TcxCustomTabControl::GetTabsDistances(Integer& along, Integer& across) {
  along = 0;
  across = 0;
  if (FPainter) FPainter->GetTabsNormalDistance(along, across);
  if (FRotate) std::swap(along, across);
}

Boolean TcxCustomTabControl::IsTabShown(Integer visibleIndex) const {
  if (visibleIndex < 0 || visibleIndex >= FVisibleTabList->GetCount()) return false;
  if (FMultiLine && FRowCount > 1) return true;
  return FFirstVisibleTab != -1 && visibleIndex >= FFirstVisibleTab && visibleIndex <= FLastVisibleTab;
}

void TcxCustomTabControl::RequestLayout() {
  if (IsLoading() || IsDestroying() || FUpdating || !FPainter || !FTabs) return;
  FUpdating = true;
  try {
    const Integer count = FVisibleTabList->GetCount();
    const Integer savedMain = FMainTabVisibleIndex;
    if (FMainTabVisibleIndex >= count) FMainTabVisibleIndex = -1;
    FPainter->PrepareLayout();
    GetMaxRotatedTabWidth();
    FTabs->FreeVerticalTextBitmaps();
    CalculateLayout();
    for (Integer i = 0; i < FTabs->GetCount(); ++i) {
      TcxTab* tab = FTabs->GetTab(i);
      if (tab->GetImageIndex() != -1 && tab->IsShown()) tab->Changed(tpcNotSpecified);
    }
    TCustomImageList* images = GetImages();
    if (images && images->GetCount() > 0)
      FImages->SetImageRotation(Byte(FPainter->IsNativePainting() ? 0 : GetCaptionOrientation()));
    Realign();
    Invalidate();
    FMainTabVisibleIndex = savedMain;
    FTabs->UpdateMainTab();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
  UpdateHotTrack(KeyboardStateToShiftState());
}

void TcxCustomTabControl::CalculateTabNormalSizes() {
  if (FTabs->GetCount() == 0)
    throw EdxException(AnsiString("TcxCustomTabControl.CalculateTabNormalSizes: ") +
                       GetLocalizedResourceString(&scxPCTabCountEqualsZero));
  FTabs->SetTabNormalHeight(FPainter->CalculateTabNormalHeight());
  for (Integer i = 0; i < FTabs->GetCount(); ++i) {
    TcxTab* tab = FTabs->GetTab(i);
    tab->FNormalWidth = tab->GetVisible() ? FPainter->CalculateTabNormalWidth(tab) : 0;
  }
}

TcxPCNavigatorButtons TcxCustomTabControl::GetRequiredNavigatorButtons(Boolean allTabsFit) {
  TcxPCNavigatorButtons result;
  if (FOptions.Contains(pcoCloseButton) && !FMultiLine) result += TcxPCNavigatorButtons{nbClose};
  if (!allTabsFit && !FOptions.Contains(pcoNoArrows)) result += TcxPCNavigatorButtons{nbTopLeft, nbBottomRight};
  if (FOptions.Contains(pcoGoDialog) && (!allTabsFit || FOptions.Contains(pcoAlwaysShowGoDialogButton)))
    result += TcxPCNavigatorButtons{nbGoDialog};
  return result;
}

void TcxCustomTabControl::SetNavigatorButtons(TcxPCNavigatorButtons value) {
  FNavigatorButtons = value;
  FTabsPosition = FPainter->GetTabsPosition(value);
}

void TcxCustomTabControl::CalculateLayout() {
  const Integer count = FVisibleTabList->GetCount();
  FExtendedTopOrLeftTabsRect = TRect();
  FExtendedBottomOrRightTabsRect = TRect();
  if (FFirstVisibleTab == -1 && count > 0) FFirstVisibleTab = 0;
  if (FFirstVisibleTab >= count) FFirstVisibleTab = count - 1;
  FLastVisibleTab = FFirstVisibleTab;
  if (FHotTabVisibleIndex >= count) FHotTabVisibleIndex = -1;
  if (FMainTabVisibleIndex >= count) FMainTabVisibleIndex = -1;
  if (FPressedTabVisibleIndex >= count) FPressedTabVisibleIndex = -1;
  FRowCount = 0;
  if (FTabIndex >= FTabs->GetCount()) FTabIndex = FTabs->GetCount() - 1;
  FTopOrLeftPartRowCount = 0;
  if (count == 0) {
    SetNavigatorButtons({});
    return;
  }
  CalculateTabNormalSizes();
  if (FMultiLine)
    CalculateMultiRowLayout();
  else
    CalculateSingleRowLayout();
}

Integer TcxCustomTabControl::GetTabAlongStart(Integer visibleIndex) const {
  const TcxTab* tab = FTabs->GetVisibleTab(visibleIndex);
  return IsHorizontalStrip() ? tab->FNormalPosition.X : tab->FNormalPosition.Y;
}

void TcxCustomTabControl::SetTabAlong(TcxTab* tab, Integer along) {
  (IsHorizontalStrip() ? tab->FNormalPosition.X : tab->FNormalPosition.Y) = along;
}

void TcxCustomTabControl::SetTabAcross(TcxTab* tab, Integer across) {
  (IsHorizontalStrip() ? tab->FNormalPosition.Y : tab->FNormalPosition.X) = across;
}

void TcxCustomTabControl::PlaceRowTabs(Integer first, Integer last, Boolean placeAll) {
  const Boolean horizontal = IsHorizontalStrip();
  const Boolean backward = IsBackwardStrip();
  Integer distance, rowDistance;
  GetTabsDistances(distance, rowDistance);
  const Integer start = AlongStart(FTabsPosition.NormalTabsRect, horizontal);
  const Integer end = start + FTabsPosition.NormalRowWidth - 1;
  const Integer step = backward ? -1 : 1;
  Integer position = backward ? end : start;
  Integer farEnd = position;
  for (Integer i = first; i <= last; ++i) {
    TcxTab* tab = FTabs->GetVisibleTab(i);
    FLastVisibleTab = i;
    farEnd = position + step * (tab->GetLength() - 1);
    SetTabAlong(tab, backward ? farEnd : position);
    position = farEnd + step * (distance + 1);
    if (!placeAll && (backward ? position < start : position > end)) break;
  }
  FIsLastTabFullyVisible = FLastVisibleTab == last && (backward ? farEnd >= start : farEnd <= end);
}

void TcxCustomTabControl::SetExtendedAreasAlong() {
  const Boolean horizontal = IsHorizontalStrip();
  const Integer s = AlongStart(FTabsPosition.ExtendedTabsRect, horizontal);
  const Integer e = AlongEnd(FTabsPosition.ExtendedTabsRect, horizontal);
  SetAlongExtent(FExtendedTopOrLeftTabsRect, horizontal, s, e);
  SetAlongExtent(FExtendedBottomOrRightTabsRect, horizontal, s, e);
}

void TcxCustomTabControl::FitSingleRow() {
  const Integer count = FVisibleTabList->GetCount();
  const Integer remembered = FFirstVisibleTab;
  FFirstVisibleTab = 0;
  SetNavigatorButtons(GetRequiredNavigatorButtons(true));
  if (FTabsPosition.NormalRowWidth < 1) {
    FFirstVisibleTab = remembered;
    return;
  }
  PlaceRowTabs(0, count - 1, true);
  if (!FIsLastTabFullyVisible) {
    FFirstVisibleTab = std::max(0, remembered);
    SetNavigatorButtons(GetRequiredNavigatorButtons(false));
    if (FTabsPosition.NormalRowWidth < 1) return;
    PlaceRowTabs(FFirstVisibleTab, count - 1, false);
    if (FIsLastTabFullyVisible) {
      while (FFirstVisibleTab > 0) {
        --FFirstVisibleTab;
        PlaceRowTabs(FFirstVisibleTab, count - 1, false);
        if (!FIsLastTabFullyVisible) {
          ++FFirstVisibleTab;
          PlaceRowTabs(FFirstVisibleTab, count - 1, false);
          break;
        }
      }
    }
  }
  for (TcxPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose}) {
    if (!FNavigatorButtons.Contains(b)) {
      if (FHotNavigatorButton.Contains(b)) FHotNavigatorButton = {};
      if (FPressedNavigatorButton.Contains(b)) FPressedNavigatorButton = {};
      FNavigatorButtonStates[b] = nbsNormal;
    }
  }
  UpdateNavigatorButtonStates();
}

void TcxCustomTabControl::CalculateSingleRowLayout() {
  FRowCount = 1;
  FTopOrLeftPartRowCount = FTabPosition == tpTop || FTabPosition == tpLeft ? 1 : 0;
  FitSingleRow();
  SetExtendedAreasAlong();
  if (FTabsPosition.NormalRowWidth < 1) return;
  for (Integer i = 0; i < FVisibleTabList->GetCount(); ++i) {
    TcxTab* tab = FTabs->GetVisibleTab(i);
    tab->FRow = 0;
    tab->FVisibleRow = 0;
  }
  CalculateRowHeight();
  PositionRowsAcross();
}

void TcxCustomTabControl::CalculateMultiRowLayout() {
  FHotNavigatorButton = {};
  FPressedNavigatorButton = {};
  SetNavigatorButtons({});
  if (FTabsPosition.NormalRowWidth <= 0) return;
  FillRows();
  if (FRowCount == 1) {
    FTopOrLeftPartRowCount = FTabPosition == tpTop || FTabPosition == tpLeft ? 1 : 0;
    FitSingleRow();
    SetExtendedAreasAlong();
    for (Integer i = 0; i < FVisibleTabList->GetCount(); ++i) {
      FTabs->GetVisibleTab(i)->FRow = 0;
      FTabs->GetVisibleTab(i)->FVisibleRow = 0;
    }
  } else {
    PlaceRowsAlong();
  }
  if (FTabsPosition.NormalRowWidth >= 1) {
    CalculateRowHeight();
    if (FRowCount == 1)
      PositionRowsAcross();
    else
      OrderRows();
  }
}

void TcxCustomTabControl::FillRows() {
  const Integer w = FTabsPosition.NormalRowWidth;
  Integer d, rowDistance;
  GetTabsDistances(d, rowDistance);
  const Integer count = FVisibleTabList->GetCount();
  FRowCount = 1;
  Integer lineLength = 0;
  Integer groupStart = 0;
  for (Integer i = 0; i < count; ++i) {
    TcxTab* tab = FTabs->GetVisibleTab(i);
    const Integer l = tab->GetLength();
    if (l < w) {
      if (lineLength + l > w) {
        ++FRowCount;
        lineLength = l + d;
      } else {
        lineLength += l + d;
      }
      tab->FRow = FRowCount - 1;
    } else {
      if (lineLength != 0) {
        ++FRowCount;
        lineLength = 0;
      }
      if (groupStart < i && FTabs->GetVisibleTab(i - 1)->FRow - FTabs->GetVisibleTab(groupStart)->FRow + 1 >= 2)
        BalanceGroup(groupStart, i - 1);
      if (!FRotate && FPainter->GetMinTabNormalWidth(i) < w) tab->FNormalWidth = w;
      tab->FRow = FRowCount - 1;
      if (i < count - 1) ++FRowCount;
      groupStart = i + 1;
    }
  }
  if (count - groupStart >= 2 &&
      FTabs->GetVisibleTab(count - 1)->FRow - FTabs->GetVisibleTab(groupStart)->FRow + 1 >= 2)
    BalanceGroup(groupStart, count - 1);
}

TcxPCLineIndexBoundsArray TcxCustomTabControl::GetLineIndexBounds(Integer first, Integer last) {
  TcxPCLineIndexBoundsArray result;
  for (Integer i = first; i <= last; ++i) {
    const Integer row = FTabs->GetVisibleTab(i)->FRow;
    if (result.empty() || FTabs->GetVisibleTab(result.back().Left)->FRow != row)
      result.push_back({i, i});
    else
      result.back().Right = i;
  }
  return result;
}

void TcxCustomTabControl::BalanceGroup(Integer first, Integer last) {
  if (FRotate && FRaggedRight) return;
  TcxPCLineIndexBoundsArray lines = GetLineIndexBounds(first, last);
  const Integer w = FTabsPosition.NormalRowWidth;
  Integer d, rowDistance;
  GetTabsDistances(d, rowDistance);
  auto lineLength = [&](const TcxPCLineIndexBounds& line) {
    Integer sum = 0;
    for (Integer i = line.Left; i <= line.Right; ++i) sum += FTabs->GetVisibleTab(i)->GetLength();
    return sum + d * (line.Right - line.Left);
  };
  auto total = [&](const TcxPCLineIndexBoundsArray& bounds) {
    std::vector<Integer> exps;
    for (const auto& line : bounds) exps.push_back(w - lineLength(line));
    return exps;
  };
  // A move on line k: -1 takes the last tab of line k - 1, +1 the first tab of line k + 1.
  auto move = [&](TcxPCLineIndexBoundsArray& bounds, std::size_t k, Integer direction) -> Boolean {
    if (direction < 0) {
      if (k == 0 || bounds[k - 1].Left == bounds[k - 1].Right) return false;
      --bounds[k - 1].Right;
      --bounds[k].Left;
    } else {
      if (k + 1 >= bounds.size() || bounds[k + 1].Left == bounds[k + 1].Right) return false;
      ++bounds[k + 1].Left;
      ++bounds[k].Right;
    }
    return lineLength(bounds[k]) <= w;
  };
  for (;;) {
    const std::vector<Integer> current = total(lines);
    Boolean improved = false;
    // a. Pull-back pass from the last line.
    {
      TcxPCLineIndexBoundsArray copy = lines;
      for (std::size_t k = copy.size(); k-- > 0 && !improved;) {
        for (;;) {
          TcxPCLineIndexBoundsArray trial = copy;
          const std::vector<Integer> before = total(copy);
          if (!move(trial, k, -1)) break;
          const std::vector<Integer> after = total(trial);
          copy = trial;
          if (CompareDeviation(after, before) > 0) break;
        }
        if (CompareDeviation(total(copy), current) < 0) {
          lines = copy;
          improved = true;
        }
      }
    }
    // b. and c. Single moves forward, then backward.
    for (Integer direction : {1, -1}) {
      for (std::size_t k = 0; k < lines.size() && !improved; ++k) {
        TcxPCLineIndexBoundsArray trial = lines;
        if (!move(trial, k, direction)) continue;
        if (CompareDeviation(total(trial), current) < 0) {
          lines = trial;
          improved = true;
        }
      }
    }
    if (!improved) break;
  }
  const Integer firstRow = FTabs->GetVisibleTab(first)->FRow;
  for (std::size_t k = 0; k < lines.size(); ++k)
    for (Integer i = lines[k].Left; i <= lines[k].Right; ++i) FTabs->GetVisibleTab(i)->FRow = firstRow + Integer(k);
}

void TcxCustomTabControl::PlaceRowsAlong() {
  SetNavigatorButtons({});
  if (FTabsPosition.NormalRowWidth < 1) return;
  const TcxPCLineIndexBoundsArray lines = GetLineIndexBounds(0, FVisibleTabList->GetCount() - 1);
  const Integer w = FTabsPosition.NormalRowWidth;
  Integer d, rowDistance;
  GetTabsDistances(d, rowDistance);
  if (!FRotate && !FRaggedRight) {
    for (const auto& line : lines) {
      Integer sum = 0;
      for (Integer i = line.Left; i <= line.Right; ++i) sum += FTabs->GetVisibleTab(i)->FNormalWidth;
      const Integer free = w - (sum + d * (line.Right - line.Left));
      if (free <= 0 || sum <= 0) continue;
      Integer given = 0;
      for (Integer i = line.Left; i <= line.Right; ++i) {
        TcxTab* tab = FTabs->GetVisibleTab(i);
        const Integer share = i == line.Right ? free - given : Integer(Int64(tab->FNormalWidth) * free / sum);
        given += share;
        tab->FNormalWidth += share;
      }
    }
  }
  for (const auto& line : lines) PlaceRowTabs(line.Left, line.Right, false);
  SetExtendedAreasAlong();
}

void TcxCustomTabControl::CalculateRowHeight() {
  const Integer count = FVisibleTabList->GetCount();
  if (!FRotate) {
    FRowHeight = FTabs->GetTabNormalHeight();
    return;
  }
  FWidestRotatedCaptionWidth = 0;
  FRowHeight = 0;
  if (count == 0) return;
  const Boolean all = FOptions.Contains(pcoFixedTabWidthWhenRotated) || FMultiLine;
  Integer widest = -1;
  for (Integer i = 0; i < count; ++i) {
    if (!all && (i < FFirstVisibleTab || i > FLastVisibleTab)) continue;
    if (widest == -1 || FTabs->GetVisibleTab(i)->FNormalWidth > FTabs->GetVisibleTab(widest)->FNormalWidth)
      widest = i;
  }
  if (widest == -1) return;
  TcxTab* tab = FTabs->GetVisibleTab(widest);
  TcxCanvas* canvas = GetCanvasOrScreenCanvas();
  PrepareTabFont(tab, canvas);
  FWidestRotatedCaptionWidth = canvas->TextWidthOf(tab->GetCaption());
  FRowHeight = tab->FNormalWidth;
  if (FMaxRotatedTabWidth >= 1 && FMaxRotatedTabWidth >= FPainter->GetMinTabNormalWidth(-1) &&
      FRowHeight > FMaxRotatedTabWidth)
    FRowHeight = FMaxRotatedTabWidth;
}

void TcxCustomTabControl::UpdateRowOrder() {
  if (FMultiLine && FRowCount > 1)
    OrderRows();
  else
    PositionRowsAcross();
}

void TcxCustomTabControl::OrderRows() {
  const Integer count = FVisibleTabList->GetCount();
  const Integer n = FRowCount;
  if (n == 0 || count == 0) return;
  const Boolean topToBottom = FOptions.Contains(pcoTopToBottomText);
  Boolean fromFar;
  if (FTabPosition == tpLeft || FTabPosition == tpRight) {
    fromFar = !FRotate && topToBottom;
    if (FTabPosition == tpRight) fromFar = !fromFar;
  } else {
    fromFar = FRotate && !topToBottom;
    if (FTabPosition == tpBottom) fromFar = !fromFar;
  }
  // Rows counted from the far end for these cases; the mirroring for bottom and right tabs
  // below turns them once more.
  for (Integer i = 0; i < count; ++i) {
    TcxTab* tab = FTabs->GetVisibleTab(i);
    tab->FVisibleRow = fromFar ? n - tab->FRow - 1 : tab->FRow;
  }
  FTopOrLeftPartRowCount = n;
  if (FMainTabVisibleIndex != -1 && FMainTabVisibleIndex < count) {
    const Integer mainRow = FTabs->GetVisibleTab(FMainTabVisibleIndex)->FVisibleRow;
    if (FScrollOpposite) {
      FTopOrLeftPartRowCount = mainRow + 1;
    } else if (FPainter->IsTabStyle()) {
      for (Integer i = 0; i < count; ++i) {
        TcxTab* tab = FTabs->GetVisibleTab(i);
        tab->FVisibleRow = (tab->FVisibleRow + n - mainRow - 1) % n;
      }
    }
  }
  if (FTabPosition == tpBottom || FTabPosition == tpRight) {
    for (Integer i = 0; i < count; ++i) {
      TcxTab* tab = FTabs->GetVisibleTab(i);
      tab->FVisibleRow = n - tab->FVisibleRow - 1;
    }
    FTopOrLeftPartRowCount = n - FTopOrLeftPartRowCount;
  }
  PositionRowsAcross();
}

void TcxCustomTabControl::PositionRowsAcross() {
  const Boolean horizontal = IsHorizontalStrip();
  Integer d, r;
  GetTabsDistances(d, r);
  const Integer t = FRowHeight;
  const Integer s = AcrossStart(FTabsPosition.NormalTabsRect, horizontal);
  const Integer e = AcrossEnd(FTabsPosition.NormalTabsRect, horizontal);
  const Integer xs = AcrossStart(FTabsPosition.ExtendedTabsRect, horizontal);
  const Integer xe = AcrossEnd(FTabsPosition.ExtendedTabsRect, horizontal);
  const Integer n = FRowCount;
  const Integer p = FTopOrLeftPartRowCount;
  for (Integer i = 0; i < FVisibleTabList->GetCount(); ++i) {
    TcxTab* tab = FTabs->GetVisibleTab(i);
    const Integer v = tab->FVisibleRow;
    SetTabAcross(tab, v < p ? v * (t + r) + s : e - (n - v) * t - (n - v - 1) * r);
  }
  SetAcrossStart(FExtendedTopOrLeftTabsRect, horizontal, xs);
  SetAcrossEnd(FExtendedBottomOrRightTabsRect, horizontal, xe);
  Integer nearEnd = std::min((t + r) * p + s - r + FTabsPosition.NearBorderOffset, xe);
  Integer farStart = std::max(e - (n - p) * (t + r) + r + FTabsPosition.FarBorderOffset, xs);
  if (p > 0 && n - p > 0) {
    if (FTabPosition == tpTop || FTabPosition == tpLeft) {
      farStart = std::max(farStart, std::min(nearEnd + FTabsPosition.MinDistanceBetweenParts, xe));
    } else {
      nearEnd = std::min(nearEnd, std::max(farStart - FTabsPosition.MinDistanceBetweenParts, xs));
    }
  }
  SetAcrossEnd(FExtendedTopOrLeftTabsRect, horizontal, nearEnd);
  SetAcrossStart(FExtendedBottomOrRightTabsRect, horizontal, farStart);
  // An area without rows stays empty.
  if (p == 0) FExtendedTopOrLeftTabsRect = TRect();
  if (n - p == 0) FExtendedBottomOrRightTabsRect = TRect();
}

Integer TcxCustomTabControl::CalcTabsFullLength() {
  const Integer count = FVisibleTabList->GetCount();
  if (count == 0 || !FPainter) return 0;
  CalculateTabNormalSizes();
  SetNavigatorButtons(GetRequiredNavigatorButtons(true));
  const Boolean horizontal = IsHorizontalStrip();
  Integer d, r;
  GetTabsDistances(d, r);
  const Integer start = AlongStart(FTabsPosition.NormalTabsRect, horizontal);
  const Integer rowEnd = start + FTabsPosition.NormalRowWidth - 1;
  Integer last = start - 1;
  for (Integer i = 0; i < count; ++i) last += FTabs->GetVisibleTab(i)->GetLength() + (i > 0 ? d : 0);
  FIsLastTabFullyVisible = last <= rowEnd;
  return (horizontal ? GetWidth() : GetHeight()) + last - rowEnd;
}

Integer TcxCustomTabControl::GetTabVisibleIndexAt(Integer x, Integer y) {
  if (!FPainter || FHideTabs) return -1;
  for (Integer i = 0; i < FVisibleTabList->GetCount(); ++i) {
    if (!IsTabShown(i)) continue;
    if (IsPointInRect(FTabs->GetVisibleTab(i)->GetVisibleRect(), x, y) && FPainter->IsPointOverTab(i, x, y))
      return i;
  }
  return -1;
}

void TcxCustomTabControl::MakeTabVisible(Integer visibleIndex) {
  if (FMultiLine || visibleIndex < 0 || visibleIndex >= FVisibleTabList->GetCount()) return;
  if (FTabsPosition.NormalRowWidth < 1) {
    FFirstVisibleTab = visibleIndex;
    return;
  }
  if (visibleIndex < FFirstVisibleTab) {
    FFirstVisibleTab = visibleIndex;
    return;
  }
  if (visibleIndex > FLastVisibleTab || (visibleIndex == FLastVisibleTab && !FIsLastTabFullyVisible)) {
    SetNavigatorButtons(GetRequiredNavigatorButtons(false));
    Integer d, r;
    GetTabsDistances(d, r);
    FFirstVisibleTab = visibleIndex;
    Integer sum = FTabs->GetVisibleTab(visibleIndex)->GetLength();
    while (sum + d < FTabsPosition.NormalRowWidth && FFirstVisibleTab > 0) {
      --FFirstVisibleTab;
      sum += FTabs->GetVisibleTab(FFirstVisibleTab)->GetLength() + d;
      if (sum > FTabsPosition.NormalRowWidth) {
        ++FFirstVisibleTab;
        break;
      }
    }
  }
}
