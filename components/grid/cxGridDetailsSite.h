// Details sites: the framed area in which a level shows the view of one of its child levels, with
// an optional strip of level tabs (one per visible child level) for switching between them. The
// grid has one for its top levels; an expanded master row has one for its detail levels.
//
// A site view info is made again whenever its owner recalculates; what must survive (the tab
// strip's scroll position) goes through a small cached-info object. The level tabs are a real
// tab control parented by the site's container window, so a click on a tab may make the owner
// recalculate and free the tab control while it still handles the click: the platform defers
// such a control's destruction until its own message returns.
#pragma once

#include "components/foundation/cxControls.h"
#include "components/foundation/cxStyles.h"
#include "components/grid/cxGridCommon.h"
#include "components/pagecontrol/cxPC.h"

class TcxCustomGridView;
class TcxCustomGridRecord;
class TcxCustomGridHitTest;
class TcxCustomGridDesignController;
class TcxGridDetailsSiteTabHitTest;
class TcxGridLevel;
class TcxCustomGridDetailsSiteViewInfo;
class TcxCustomGridDetailsSiteTabsViewInfo;
class TcxGridLevelTabControl;

// What a details site keeps across its recreation: the tab strip's first shown tab.
class TcxCustomGridDetailsSiteViewInfoCachedInfo : public TObject {
  ORV_CLASS(TcxCustomGridDetailsSiteViewInfoCachedInfo, TObject)
 public:
  TcxCustomGridDetailsSiteViewInfoCachedInfo() = default;
  Integer FirstShownTab = -1;
};

using TcxCustomGridDetailsSiteViewInfoCachedInfoClass = orv::ClassOf<TcxCustomGridDetailsSiteViewInfoCachedInfo>;

// ==== Level tab control =========================================================================

// The tab strip of a details site: each tab holds its level as the tab's object.
class TcxGridLevelTabControl : public TcxTabControl {
  ORV_CLASS(TcxGridLevelTabControl, TcxTabControl)
 public:
  using TCreateSignature = void(TcxCustomGridDetailsSiteViewInfo* siteViewInfo);
  explicit TcxGridLevelTabControl(TcxCustomGridDetailsSiteViewInfo* siteViewInfo);
  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(TMessage& message) override;

  // ---- New virtual operations ----
  virtual void GetTabCaption(TcxGridLevel* level, AnsiString& caption);
  virtual TClass GetHitTestClass();
  // The tab under the point of the control's client area, or nil.
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& p);

  TcxGridLevel* SelectedLevel();
  TcxGridLevel* GetTabLevel(Integer index);
  // The tab that holds the level, or the first tab when none does.
  void SelectLevel(TcxGridLevel* level);
  void AddTab(TcxGridLevel* level);
  Boolean GetShowAccelerators() const { return FShowAccelerators; }
  void SetShowAccelerators(Boolean value);
  Boolean GetAcceleratorWhileViewFocused() const { return FAcceleratorWhileViewFocused; }
  TcxCustomGridDetailsSiteViewInfo* GetSiteViewInfo() const { return FSiteViewInfo; }
  // The site lets go of its tabs (they may outlive it while a click on them returns).
  void DetachSite() { FSiteViewInfo = nullptr; }

  Boolean ProcessAccelerator(char key) override;
  void Change() override;

 protected:
  void PrepareTabFont(TcxTab* tab, TcxCanvas* canvas) override;
  void NotifyTabDrawn(TcxCanvas* canvas, TcxTab* tab, const TRect& imageRect, const TRect& textRect) override;
  // The tabs lie over their container (the grid, a master row's site): its own mouse handling
  // sees what happens on them too, at the point in its client area.
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;

 private:
  TcxCustomGridDetailsSiteViewInfo* FSiteViewInfo;
  Boolean FShowAccelerators = true;
  Boolean FAcceleratorWhileViewFocused = false;
};

using TcxGridLevelTabControlClass = orv::ClassOf<TcxGridLevelTabControl>;

// ==== Painters ==================================================================================

class TcxGridDetailsSiteTabsPainter : public TObject {
  ORV_CLASS(TcxGridDetailsSiteTabsPainter, TObject)
 public:
  using TCreateSignature = void(TcxCanvas* canvas, TcxCustomGridDetailsSiteTabsViewInfo* viewInfo);
  TcxGridDetailsSiteTabsPainter(TcxCanvas* canvas, TcxCustomGridDetailsSiteTabsViewInfo* viewInfo)
      : FCanvas(canvas), FViewInfo(viewInfo) {}
  virtual void Paint();
  // Paint inside the tabs' bounds, the canvas clip restored afterwards.
  void MainPaint();
  TcxCanvas* GetCanvas() const { return FCanvas; }
  TcxCustomGridDetailsSiteTabsViewInfo* GetViewInfo() const { return FViewInfo; }

 private:
  TcxCanvas* FCanvas;
  TcxCustomGridDetailsSiteTabsViewInfo* FViewInfo;
};

using TcxGridDetailsSiteTabsPainterClass = orv::ClassOf<TcxGridDetailsSiteTabsPainter>;

class TcxGridDetailsSitePainter : public TObject {
  ORV_CLASS(TcxGridDetailsSitePainter, TObject)
 public:
  using TCreateSignature = void(TcxCanvas* canvas, TcxCustomGridDetailsSiteViewInfo* viewInfo);
  TcxGridDetailsSitePainter(TcxCanvas* canvas, TcxCustomGridDetailsSiteViewInfo* viewInfo)
      : FCanvas(canvas), FViewInfo(viewInfo) {}
  virtual void DrawBackground();
  virtual void DrawFrame();
  virtual void DrawTabs();
  virtual void Paint();
  TcxCanvas* GetCanvas() const { return FCanvas; }
  TcxCustomGridDetailsSiteViewInfo* GetViewInfo() const { return FViewInfo; }

 private:
  TcxCanvas* FCanvas;
  TcxCustomGridDetailsSiteViewInfo* FViewInfo;
};

using TcxGridDetailsSitePainterClass = orv::ClassOf<TcxGridDetailsSitePainter>;

// ==== Tabs view info ============================================================================

class TcxCustomGridDetailsSiteTabsViewInfo : public TObject {
  ORV_CLASS(TcxCustomGridDetailsSiteTabsViewInfo, TObject)
 public:
  using TCreateSignature = void(TcxCustomGridDetailsSiteViewInfo* siteViewInfo);
  explicit TcxCustomGridDetailsSiteTabsViewInfo(TcxCustomGridDetailsSiteViewInfo* siteViewInfo);
  // Makes the tab control and runs Initialize (both ask virtuals of the most derived class, so
  // the site calls this right after construction).
  void CreateTabControl();
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual void AdjustBounds() = 0;
  virtual Integer CalculateHeight();
  virtual Integer CalculateWidth();
  virtual void AdjustSiteHeight(Integer& height) {}
  virtual void AdjustSiteWidth(Integer& width) {}
  virtual TColor GetTabsBkColor();
  virtual Integer GetFirstShownTab();
  virtual void SetFirstShownTab(Integer value);
  virtual Boolean IsVertical() = 0;
  virtual TcxGridDetailsSiteTabsPainterClass GetPainterClass();
  virtual Boolean GetRotate() { return IsVertical(); }
  virtual void GetTabControlBounds(TRect& rect) { rect = FBounds; }
  virtual TcxGridLevelTabControlClass GetTabControlClass();
  virtual TcxTabPosition GetTabPosition() = 0;
  virtual void Initialize();
  virtual void InitTabs();
  virtual void InitAccelerators();
  virtual void InitOrientation();
  virtual void InitAppearance();
  virtual void InitTabColors();
  virtual void UpdateAccelerators() { InitAccelerators(); }
  virtual void Calculate(const TRect& rect);
  virtual void AdjustClientBounds(TRect& rect) = 0;
  // The point in the site container's client coordinates.
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  virtual Boolean ProcessDialogChar(char key);

  TcxCustomGridDetailsSiteViewInfo* GetSiteViewInfo() const { return FSiteViewInfo; }
  TcxGridLevelTabControl* GetTabControl() const { return FTabControl; }
  TcxGridLevel* GetLevel() const;
  TcxGridLevel* GetActiveLevel() const;
  const TRect& GetBounds() const { return FBounds; }
  // Computed on first use and kept.
  Integer GetHeight();
  Integer GetWidth();

 protected:
  TRect FBounds{};

 private:
  TcxCustomGridDetailsSiteViewInfo* FSiteViewInfo;
  TcxGridLevelTabControl* FTabControl = nullptr;
  Integer FHeight = 0;
  Integer FWidth = 0;
};

using TcxCustomGridDetailsSiteTabsViewInfoClass = orv::ClassOf<TcxCustomGridDetailsSiteTabsViewInfo>;

// Rotated tabs down the site's left side: the site is at least as tall as all tabs together.
class TcxGridDetailsSiteLeftTabsViewInfo : public TcxCustomGridDetailsSiteTabsViewInfo {
  ORV_CLASS(TcxGridDetailsSiteLeftTabsViewInfo, TcxCustomGridDetailsSiteTabsViewInfo)
 public:
  using TcxCustomGridDetailsSiteTabsViewInfo::TcxCustomGridDetailsSiteTabsViewInfo;
  void AdjustBounds() override;
  void AdjustSiteHeight(Integer& height) override;
  Boolean IsVertical() override { return true; }
  TcxTabPosition GetTabPosition() override { return tpLeft; }
  void AdjustClientBounds(TRect& rect) override;
};

// Tabs along the site's top: the site is at least as wide as all tabs together.
class TcxGridDetailsSiteTopTabsViewInfo : public TcxCustomGridDetailsSiteTabsViewInfo {
  ORV_CLASS(TcxGridDetailsSiteTopTabsViewInfo, TcxCustomGridDetailsSiteTabsViewInfo)
 public:
  using TcxCustomGridDetailsSiteTabsViewInfo::TcxCustomGridDetailsSiteTabsViewInfo;
  void AdjustBounds() override;
  void AdjustSiteWidth(Integer& width) override;
  Boolean IsVertical() override { return false; }
  TcxTabPosition GetTabPosition() override { return tpTop; }
  void AdjustClientBounds(TRect& rect) override;
};

// ==== Site view info ============================================================================

class TcxCustomGridDetailsSiteViewInfo : public TcxComponent {
  ORV_CLASS(TcxCustomGridDetailsSiteViewInfo, TcxComponent)
 public:
  using TCreateSignature = void(TcxGridLevel* level);
  explicit TcxCustomGridDetailsSiteViewInfo(TcxGridLevel* level);
  void BeforeDestruction() override;
  // Makes the tabs (their initialisation asks the most derived site, so whoever makes the site
  // calls this right after construction).
  void CreateTabs();
  void Notification(TComponent* component, TOperation operation) override;

  // ---- New virtual operations ----
  virtual Integer CalculateHeight();
  virtual Integer CalculateWidth();
  virtual TColor GetBkColor();
  virtual TcxCanvas* GetCanvas() = 0;
  virtual void GetClientBounds(TRect& rect);
  virtual TcxControl* GetContainer() = 0;
  virtual TcxCustomGridDesignController* GetDesignController() = 0;
  virtual Integer GetEmptyClientHeight() { return 100; }
  virtual Integer GetEmptyClientWidth() { return 200; }
  virtual TColor GetFrameColor();
  virtual Integer GetFrameWidth();
  virtual Boolean GetFullyVisible() { return FFullyVisible; }
  virtual Integer GetHeight() { return CalculateHeight(); }
  virtual TcxCustomGridRecord* GetMasterRecord() = 0;
  virtual Integer GetMaxHeight() = 0;
  virtual Integer GetMaxNormalHeight() { return orv::kGridMaxInt; }
  virtual Integer GetMaxWidth() = 0;
  virtual Integer GetMinWidth() { return GetMaxWidth(); }
  virtual Integer GetNormalHeight() { return FNormalHeight; }
  virtual Integer GetWidth() { return CalculateWidth(); }
  virtual TcxGridDetailsSitePainterClass GetPainterClass();
  virtual TcxCustomGridDetailsSiteTabsViewInfoClass GetTabsViewInfoClass();
  virtual TcxCustomGridView* FindActiveGridView() = 0;
  virtual Boolean ActiveGridViewExists();
  virtual TcxCustomGridView* GetActiveGridView();
  virtual TcxGridLevel* GetActiveLevel() = 0;
  virtual Boolean GetVisible() { return true; }
  virtual void GetDefaultTabParams(TcxViewParams& params);
  virtual void GetTabParams(TcxGridLevel* tabLevel, TcxViewParams& params);
  virtual void InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) = 0;
  virtual void GetCachedInfo(TcxCustomGridDetailsSiteViewInfoCachedInfo*& info);
  virtual TcxCustomGridDetailsSiteViewInfoCachedInfoClass GetCachedInfoClass();
  // Restores from `info` when there is one, frees it and clears the variable.
  virtual void SetCachedInfo(TcxCustomGridDetailsSiteViewInfoCachedInfo*& info);
  virtual void UpdateTabAccelerators();
  virtual void Calculate(Integer left, Integer top);
  virtual void ActiveLevelChanged(TcxGridLevel* level, Boolean focusView) = 0;
  virtual Boolean HasData(TcxGridLevel* level) = 0;
  // The point in the container's client coordinates.
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  virtual Boolean IsTabVisible(TcxGridLevel* level);
  virtual Boolean SupportsTabAccelerators() { return false; }
  virtual void VisibilityChanged(Boolean visible);

  // ---- Non-virtual ----
  void Paint(TcxCanvas* canvas);
  Boolean ProcessDialogChar(char key);
  TcxGridLevel* GetLevel() const { return FLevel; }
  TcxCustomGridDetailsSiteTabsViewInfo* GetTabsViewInfo() const { return FTabsViewInfo; }
  const TRect& GetBounds() const { return FBounds; }
  TRect GetClientBoundsValue() {
    TRect r;
    GetClientBounds(r);
    return r;
  }
  Integer GetNonClientHeight();
  Integer GetNonClientWidth();
  TRect GetFrameBounds();
  Boolean HasTabs() const { return FTabsViewInfo != nullptr; }

 protected:
  TRect FBounds{};
  Boolean FFullyVisible = false;
  Integer FNormalHeight = 0;

 private:
  TcxGridLevel* FLevel;
  TcxCustomGridDetailsSiteTabsViewInfo* FTabsViewInfo = nullptr;
  TcxCustomGridView* FActiveGridView = nullptr;
};
