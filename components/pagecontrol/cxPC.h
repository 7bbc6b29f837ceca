// The tab control and the page control: a strip of tabs in one or several rows on one side of
// the control, navigator buttons at the end of the strip (scroll arrows, a go-dialog button that
// pops up a menu of the tabs, a close button) and a framed page area. The control keeps the
// model (tabs, visible tabs, selection, scroll position), lays the rows out and handles input;
// everything that depends on the look (sizes, offsets, drawing) is asked of one painter object
// chosen by `Style` from a registry of painter classes (cxPCPainters registers the styles).
//
// Sections: value types, the tab model (TcxTab, TcxTabs, TcxVisibleTabList, TcxTabSlants), the
// tab image list and the go dialog, the painter framework (TcxPCCustomPainter, its parent info
// and the painters factory), the tab control, the page control and its tab sheets.
//
// Everything runs on the UI thread.
#pragma once

#include <vector>

#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/Menus.h"
#include "platform/runtime/Strings.h"

class TcxCustomTabControl;
class TcxPageControl;
class TcxPCCustomPainter;
class TcxTabSheet;
class TcxTabs;

// ==== Value types ==============================================================================

enum TcxTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TcxPCNavigatorPosition { npLeftTop, npLeftBottom, npRightTop, npRightBottom };
enum TcxPCNavigatorButton { nbTopLeft, nbBottomRight, nbGoDialog, nbClose };
using TcxPCNavigatorButtons = orv::Set<TcxPCNavigatorButton>;
// The look of one navigator button.
enum TcxPCNavigatorButtonState : Byte { nbsNormal, nbsPressed, nbsHotTrack, nbsDisabled };
enum TcxPCOption {
  pcoAlwaysShowGoDialogButton, pcoCloseButton, pcoFixedTabWidthWhenRotated, pcoGoDialog,
  pcoGradient, pcoGradientClientArea, pcoNoArrows, pcoRedrawOnResize, pcoSort,
  pcoTopToBottomText, pcoUsePageColorForTab
};
using TcxPCOptions = orv::Set<TcxPCOption>;
inline constexpr TcxPCOptions cxPCDefaultOptions{pcoAlwaysShowGoDialogButton, pcoGradient,
                                                 pcoGradientClientArea, pcoRedrawOnResize};
enum TcxTabSlantKind { skCutCorner, skSlant };
enum TcxTabSlantPosition { spLeft, spRight };
using TcxTabSlantPositions = orv::Set<TcxTabSlantPosition>;
// A style id: 0 picks the style of the look and feel.
using TcxPCStyleID = Integer;
inline constexpr TcxPCStyleID cxPCDefaultStyle = 0;

// What changed in a tab; the painter repaints accordingly.
enum TcxPCTabPropertyChanged {
  tpcNotSpecified, tpcColor, tpcEnabled, tpcFocused, tpcHighlighted, tpcHot, tpcIsMainTab,
  tpcLayout, tpcPressed, tpcSelected, tpcTracking
};

// Margins (left, top, right, bottom) as if the tabs were on top.
using TcxPCMargins = TRect;

// The tabs position the painter computes for a set of navigator buttons.
struct TcxPCTabsPosition {
  // The whole band tabs may use, with room for their borders.
  TRect ExtendedTabsRect;
  // How far the inner edge of the near and of the far tabs area lies beyond the last row.
  Integer NearBorderOffset = 0;
  Integer FarBorderOffset = 0;
  // The least distance kept between the near and the far tabs area.
  Integer MinDistanceBetweenParts = 0;
  // The along length available to tabs (below 1: no room at all).
  Integer NormalRowWidth = 0;
  // The band rows are placed in; its along start is where the first tab begins.
  TRect NormalTabsRect;
};

// One (first visible index, last visible index) pair per row.
struct TcxPCLineIndexBounds {
  Integer Left = 0;
  Integer Right = 0;
};
using TcxPCLineIndexBoundsArray = std::vector<TcxPCLineIndexBounds>;

// The image and caption rects of the tab being drawn.
struct TcxPCTabImageAndTextData {
  TRect ImageRect;
  TRect TextRect;
  Integer TabVisibleIndex = -1;
};

class TcxTab;

using TcxPCCanCloseEvent = orv::Event<void(TObject* sender, bool& canClose)>;
using TcxTabChangingEvent = orv::Event<void(TObject* sender, bool& allowChange)>;
using TcxDrawTabEvent = orv::Event<void(TcxCustomTabControl* control, TcxTab* tab, bool& defaultDraw)>;
using TcxDrawTabExEvent = orv::Event<void(TcxCustomTabControl* control, TcxTab* tab, TFont* font)>;
using TcxGetTabImageEvent = orv::Event<void(TObject* sender, Integer tabIndex, Integer& imageIndex)>;
using TcxPageChangingEvent = orv::Event<void(TObject* sender, TcxTabSheet* newPage, bool& allowChange)>;
using TcxPCImageListChangedEvent = orv::Event<void()>;
using TcxPCImageListFillBackgroundEvent = orv::Event<void(TcxBitmap* bitmap)>;
using TcxPCGoDialogTabClickEvent = orv::Event<void(Integer tabIndex)>;

// ==== The tab model ============================================================================

// One tab: its caption is the string of the control's Tabs, its object the string's object.
class TcxTab : public TPersistent {
  ORV_CLASS(TcxTab, TPersistent)
 public:
  TcxTab(TcxTabs* tabs, Integer index);
  void BeforeDestruction() override;
  ~TcxTab() override;
  void AssignTo(TPersistent* dest) override;

  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  Boolean GetEnabled() const { return FEnabled; }
  void SetEnabled(Boolean value);
  Boolean GetHighlighted() const { return FHighlighted; }
  void SetHighlighted(Boolean value);
  // The image shown (-1 when none applies).
  Integer GetImageIndex() const;
  void SetImageIndex(Integer value);
  // Stored only when it differs from the tab's index.
  Boolean IsImageIndexStored() const { return FImageIndex != FIndex; }
  Integer GetStoredImageIndex() const { return FImageIndex; }
  Boolean GetSelected() const { return FSelected; }
  void SetSelected(Boolean value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  TObject* GetObject() const { return FObject; }
  void SetObject(TObject* value) { FObject = value; }

  Integer GetIndex() const { return FIndex; }
  TcxTabs* GetTabs() const { return FTabs; }
  TcxCustomTabControl* GetTabControl() const;
  // Position in the visible list, -1 when hidden.
  Integer GetVisibleIndex() const;
  Integer GetRow() const { return FRow; }
  Integer GetVisibleRow() const { return FVisibleRow; }
  Integer GetNormalWidth() const { return FNormalWidth; }
  TPoint GetNormalPosition() const { return FNormalPosition; }
  Boolean IsMainTab() const;
  Boolean IsHotTrack() const;
  Boolean IsPressed() const;
  Boolean IsTracking() const;
  // Enabled and the control enabled.
  Boolean IsEnabled() const;
  // Shown: the visible rect is not empty.
  Boolean IsShown() const;
  // The extent along the row.
  Integer GetLength() const;
  // 0 top, 1 bottom, 2 left, 3 right.
  Integer GetSide() const;
  TRect GetNormalRect() const;
  // The normal rect with the painter's correction.
  TRect GetFullRect();
  // The full rect clipped to the tabs area of its side; empty when not shown.
  TRect GetVisibleRect();

  TcxBitmap* GetPaintBitmap() const { return FPaintBitmap; }
  TcxBitmap* GetVerticalTextBitmap() const { return FVerticalTextBitmap; }
  void FreeVerticalTextBitmap();

 private:
  friend class TcxTabs;
  friend class TcxCustomTabControl;
  friend class TcxPCCustomPainter;
  friend class TcxPCStandardPainter;
  friend class TcxTabSheet;
  void Changed(TcxPCTabPropertyChanged kind);

  AnsiString FCaption;
  TColor FColor = clDefault;
  Boolean FEnabled = true;
  Boolean FHighlighted = false;
  Integer FImageIndex;
  Integer FIndex;
  TObject* FObject = nullptr;
  TcxBitmap* FPaintBitmap = nullptr;
  Integer FRow = 0;
  Boolean FSelected = false;
  TPoint FNormalPosition;
  Integer FNormalWidth = 0;
  TRect FRectCorrection;
  TcxTabs* FTabs;
  TcxBitmap* FVerticalTextBitmap = nullptr;
  Boolean FVisible = true;
  Integer FVisibleRow = 0;
};

// The tabs of a tab control, a string list of TcxTab.
class TcxTabs : public TStrings {
  ORV_CLASS(TcxTabs, TStrings)
 public:
  explicit TcxTabs(TcxCustomTabControl* tabControl);
  void BeforeDestruction() override;
  ~TcxTabs() override;

  AnsiString Get(Integer index) const override;
  Integer GetCount() const override { return Integer(FTabs.size()); }
  TObject* GetObject(Integer index) const override;
  void Put(Integer index, const AnsiString& s) override;
  void PutObject(Integer index, TObject* obj) override;
  void Insert(Integer index, const AnsiString& s) override;
  void Delete(Integer index) override;
  void Clear() override;
  void Move(Integer curIndex, Integer newIndex) override;

  TcxTab* GetTab(Integer index) const;
  // EdxException when the visible index is out of range.
  TcxTab* GetVisibleTab(Integer visibleIndex) const;
  TcxCustomTabControl* GetTabControl() const { return FTabControl; }
  Integer GetTabNormalHeight() const { return FTabNormalHeight; }
  void SetTabNormalHeight(Integer value) { FTabNormalHeight = value; }

  // Relayout for kind tpcLayout or visible index -1, else the painter repaints the tab.
  void Changed(Integer visibleIndex, TcxPCTabPropertyChanged kind);
  void TabChanged(Integer visibleIndex, TcxPCTabPropertyChanged kind) { Changed(visibleIndex, kind); }
  void FreeVerticalTextBitmaps();
  void SetHotTab(Integer visibleIndex);
  void UpdateMainTab();
  void SetTrackingTab(Integer visibleIndex);
  void RepaintImageTabs();

 protected:
  // A tab being destroyed leaves the list (unless kept).
  virtual void RemoveFreedTab(Integer index, Boolean keep);
  [[noreturn]] virtual void IndexError(const char* operation, Integer index) const;

 private:
  friend class TcxTab;
  Boolean FNotification = false;
  TcxCustomTabControl* FTabControl;
  Integer FTabNormalHeight = 0;
  std::vector<TcxTab*> FTabs;
  Boolean FUpdating = false;
};

// The indexes (into Tabs) of the visible tabs, ascending.
class TcxVisibleTabList : public TObject {
  ORV_CLASS(TcxVisibleTabList, TObject)
 public:
  explicit TcxVisibleTabList(TcxCustomTabControl* tabControl) : FTabControl(tabControl) {}

  Integer GetCount() const { return Integer(FItems.size()); }
  // EdxException out of range.
  TcxTab* GetTab(Integer visibleIndex) const;
  Integer GetTabIndex(Integer visibleIndex) const { return FItems[std::size_t(visibleIndex)]; }
  // Binary search: true with the position, else false with the insertion position.
  Boolean Find(Integer tabIndex, Integer& position) const;
  void Add(Integer tabIndex);
  void Remove(Integer tabIndex);
  void Rebuild();
  Integer IndexOf(Integer tabIndex) const;

 private:
  TcxCustomTabControl* FTabControl;
  std::vector<Integer> FItems;
};

// The TabSlants property: which corners of slanted tabs are cut and how.
class TcxTabSlants : public TPersistent {
  ORV_CLASS(TcxTabSlants, TPersistent)
 public:
  explicit TcxTabSlants(TPersistent* owner) : FOwner(owner) {}
  void Assign(TPersistent* source) override;

  TcxTabSlantKind GetKind() const { return FKind; }
  void SetKind(TcxTabSlantKind value);
  TcxTabSlantPositions GetPositions() const { return FPositions; }
  void SetPositions(TcxTabSlantPositions value);
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

 protected:
  TPersistent* GetOwner() override { return FOwner; }

 private:
  void Changed();
  TcxTabSlantKind FKind = skSlant;
  TPersistent* FOwner;
  TcxTabSlantPositions FPositions{spLeft};
  TNotifyEvent FOnChange;
};

// ==== Tab image list and go dialog =============================================================

// The control's Images, drawn for the painter on the tab's background; images of tabs whose
// captions run vertically are turned with them.
class TcxPCImageList : public TObject {
  ORV_CLASS(TcxPCImageList, TObject)
 public:
  explicit TcxPCImageList(TcxCustomTabControl* tabControl);
  ~TcxPCImageList() override;

  TCustomImageList* GetBaseImages() const { return FBaseImages; }
  void SetBaseImages(TCustomImageList* value);
  Byte GetImageRotation() const { return FImageRotation; }
  void SetImageRotation(Byte value);
  // Draws one image with its top-left at (x, y); EdxException without images or for an index
  // out of range.
  void Draw(TcxCanvas* canvas, Integer x, Integer y, Integer imageIndex, Boolean enabled,
            TColor backgroundColor);
  // The base images' size when both sides are positive, else (0, 0).
  TSize GetImageSize() const;
  TSize GetRotatedImageSize() const;
  Integer GetRotatedImageCount() const { return Integer(FRotatedImages.size()); }

  const TcxPCImageListChangedEvent& GetOnImagesChanged() const { return FOnImagesChanged; }
  void SetOnImagesChanged(const TcxPCImageListChangedEvent& value) { FOnImagesChanged = value; }
  const TcxPCImageListFillBackgroundEvent& GetOnFillBitmapBackground() const {
    return FOnFillBitmapBackground;
  }
  void SetOnFillBitmapBackground(const TcxPCImageListFillBackgroundEvent& value) {
    FOnFillBitmapBackground = value;
  }

 private:
  void BaseImagesChanged(TObject* sender);
  void BaseImagesFreed(TComponent* component);
  void RebuildRotatedImages();
  void FreeRotatedImages();
  void PrepareRotatedImage(Integer imageIndex, TColor backgroundColor, Boolean enabled);
  void DrawBaseImage(HDC dc, Integer x, Integer y, Integer imageIndex, Boolean enabled);

  TChangeLink* FChangeLink;
  TCustomImageList* FBaseImages = nullptr;
  TcxFreeNotificator* FFreeNotificator;
  Byte FImageRotation = 0;
  TcxCustomTabControl* FTabControl;
  std::vector<TcxBitmap32*> FRotatedImages;
  TcxPCImageListChangedEvent FOnImagesChanged;
  TcxPCImageListFillBackgroundEvent FOnFillBitmapBackground;
};

// The menu of all tabs that the go-dialog button opens.
class TcxPCGoDialog : public TPopupMenu {
  ORV_CLASS(TcxPCGoDialog, TPopupMenu)
 public:
  explicit TcxPCGoDialog(TComponent* owner);

  // Fills the items and shows the menu below the go-dialog button; returns when it closed.
  void PopupDialog(Boolean sort);
  // One item per enabled visible tab (sorted by caption without accelerators when asked).
  void FillItems(Boolean sort);
  TPoint GetPopupPoint();
  const TcxPCGoDialogTabClickEvent& GetOnTabClick() const { return FOnTabClick; }
  void SetOnTabClick(const TcxPCGoDialogTabClickEvent& value) { FOnTabClick = value; }

 private:
  TcxCustomTabControl* GetTabControl();
  void ItemClick(TObject* sender);
  TcxPCGoDialogTabClickEvent FOnTabClick;
};

// ==== Painter framework ========================================================================

// The control's values as painters read them.
class TcxPCPainterParentInfo : public TObject {
  ORV_CLASS(TcxPCPainterParentInfo, TObject)
 public:
  explicit TcxPCPainterParentInfo(TcxCustomTabControl* control) : FControl(control) {}
  TcxCustomTabControl* GetControl() const { return FControl; }

  TObject* ActivePageObject() const;
  TcxCanvas* Canvas() const;
  TFont* Font() const;
  Boolean IsTabsContainer() const;
  TColor Color() const;
  TRect FarTabsArea() const;
  TRect NearTabsArea() const;
  Integer Height() const;
  Boolean HideTabs() const;
  Integer ImageBorder() const;
  Integer MainTabVisibleIndex() const;
  Boolean MultiLine() const;
  TcxPCNavigatorButtons NavigatorButtons() const;
  TcxPCNavigatorButtonState NavigatorButtonState(TcxPCNavigatorButton button) const;
  TcxPCNavigatorPosition NavigatorPosition() const;
  TcxPCOptions Options() const;
  TObject* PageObject(Integer visibleIndex) const;
  Boolean RaggedRight() const;
  Boolean Rotate() const;
  Integer RowCount() const;
  Boolean ShowFrame() const;
  Integer TabHeight() const;
  // Rows lie on the side opposite to TabPosition.
  Boolean RowsOnOppositeSide() const;
  TcxTabPosition TabPosition() const;
  Integer TabWidth() const;
  Integer TopOrLeftPartRowCount() const;
  TcxTab* VisibleTab(Integer visibleIndex) const;
  Integer Width() const;

 private:
  TcxCustomTabControl* FControl;
};

// The base of the tab painters: every style-dependent size and all drawing of the control.
// Class operations (marked) never use the control: the factory asks them of a prototype.
class TcxPCCustomPainter : public TObject {
  ORV_CLASS(TcxPCCustomPainter, TObject)
 public:
  using TCreateSignature = void(TcxCustomTabControl* tabControl);
  explicit TcxPCCustomPainter(TcxCustomTabControl* tabControl);
  ~TcxPCCustomPainter() override;

  TcxCustomTabControl* GetTabControl() const { return FTabControl; }
  TcxPCPainterParentInfo* GetParentInfo() const { return FParentInfo; }
  const TcxPCTabImageAndTextData& GetTabImageAndTextData() const { return FTabImageAndTextData; }
  void SetTabImageAndTextData(const TcxPCTabImageAndTextData& value) { FTabImageAndTextData = value; }

  // ---- Class operations ----
  virtual Boolean AllowRotate() const { return true; }
  virtual Integer GetStandardStyle() const { return 0; }
  virtual TcxPCStyleID GetStyleID() const { return -1; }
  virtual AnsiString GetStyleName() const { return AnsiString(); }
  virtual Boolean HasLookAndFeel(TcxLookAndFeel* lookAndFeel) const { return false; }
  virtual Boolean IsDefault(TcxLookAndFeel* lookAndFeel) const { return false; }
  virtual Boolean IsTabStyle() const { return true; }
  virtual Boolean AllowMultiSelectTabs() const { return false; }
  virtual Boolean IsStandardStyle() const { return false; }
  virtual Boolean IsButtonStyle() const { return false; }

  // ---- Sizes and layout ----
  virtual Integer CalculateTabNormalWidth(TcxTab* tab) = 0;
  virtual Integer CalculateTabNormalHeight() = 0;
  virtual TRect GetTabCorrection(Integer visibleIndex) { return TRect(); }
  virtual Integer GetButtonsDistance(TcxPCNavigatorButton button, TcxPCNavigatorButton nextButton) { return 0; }
  virtual Integer GetButtonsRegionFromTabsOffset() { return 0; }
  virtual Integer GetButtonsRegionHOffset() { return 0; }
  virtual Integer GetButtonsRegionWOffset() { return 0; }
  virtual TColor GetClientColor();
  virtual TcxPCMargins GetPageClientRectOffset();
  virtual TColor GetDefaultClientColor();
  virtual TcxPCMargins GetPageFrameRectOffset();
  virtual void GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) = 0;
  virtual void GetImageOnlyContentOffsets(Integer visibleIndex, Integer (&offsets)[2]) = 0;
  virtual void GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) = 0;
  virtual Integer GetFrameWidth() { return 0; }
  virtual void NotifyTabPainted(Integer visibleIndex);
  virtual Boolean UsesPageColorForTab() { return false; }
  virtual void GetGoDialogPosition(Integer width, Integer height, Integer& x, Integer& y) = 0;
  virtual Integer GetImageTextDistance(Integer visibleIndex) = 0;
  virtual Integer GetMinTabNormalWidth(Integer visibleIndex) = 0;
  virtual void GetTabOffsets(Integer& offset1, Integer& offset2) = 0;
  virtual TcxPCMargins GetNativeContentOffset();
  virtual TColor GetTabBodyColor(Integer visibleIndex) = 0;
  virtual TColor GetTabColor(Integer visibleIndex);
  // A new region, owned by the caller.
  virtual TcxRegion* GetTabClipRegion(Integer visibleIndex);
  virtual TcxRegionOperation GetTabClipRgnOperation(Integer visibleIndex) { return roIntersect; }
  virtual void GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) = 0;
  virtual void GetTabThemePartAndState(Integer visibleIndex, Integer& part, Integer& state) {
    part = 0;
    state = 0;
  }
  virtual TcxPCMargins GetTabsContainerOffsets() { return TRect(); }
  virtual void GetTabsNormalDistance(Integer& along, Integer& across) {
    along = 0;
    across = 0;
  }
  virtual TcxPCTabsPosition GetTabsPosition(TcxPCNavigatorButtons buttons) = 0;
  virtual TColor GetTabTextColor(Integer visibleIndex);
  virtual void GetTabCutTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) = 0;
  virtual void PrepareLayout() {}
  virtual Boolean GetButtonAt(Integer x, Integer y, TcxPCNavigatorButton& button) = 0;
  virtual Boolean IsPointOverTab(Integer visibleIndex, Integer x, Integer y) { return true; }
  virtual Boolean IsMainTab(Integer visibleIndex) = 0;
  virtual Boolean IsTabBodyTransparent(Integer visibleIndex) { return false; }
  virtual Boolean DrawsDisabledTextShadow() { return true; }
  virtual Boolean IsDoubleBuffered() { return false; }
  virtual Boolean NeedsRedrawOnResize() { return IsNativePainting(); }
  virtual Boolean NeedsHotTrack() { return IsNativePainting(); }
  virtual Boolean IsNativePainting() { return false; }
  virtual Boolean HasFrame();
  virtual TRect GetGoDialogButtonBounds() = 0;

  // ---- Drawing ----
  virtual void DrawTabSheetBackground(HDC dc, TcxTabSheet* tabSheet) {}
  virtual void DrawTabImageAndText(TcxTab* tab, Integer visibleIndex);
  virtual void PaintPageClientArea();
  virtual void PaintClientAreaBackground() { PaintPageClientArea(); }
  virtual void DrawTabText(TcxCanvas* canvas, const AnsiString& text, Integer visibleIndex,
                           const TRect& rect);
  virtual void DoPaint();
  virtual void StoreTabImageAndTextRects(Integer visibleIndex, const TRect& imageRect,
                                         const TRect& textRect) = 0;
  virtual void InvalidateTabRect(Integer visibleIndex);
  virtual void Paint() { DoPaint(); }
  virtual void PaintButtons() = 0;
  virtual void PaintPageArea();
  virtual void PaintFrame() = 0;
  virtual void PaintTabs() = 0;
  virtual void FillTabBitmapBackground(TcxBitmap* bitmap, const TRect& rect, Integer visibleIndex) {}
  virtual void RepaintButton(TcxPCNavigatorButton button, TcxPCNavigatorButtonState oldState) {}
  virtual void RepaintButtonsRegion() {}
  virtual void RepaintTab(Integer visibleIndex, TcxPCTabPropertyChanged changedProperty) {}

  // ---- Helpers of the descendants ----
  Boolean IsOwnerDrawn();
  // Fires OnDrawTab: true when the handler drew the tab.
  Boolean DoOwnerDraw(Integer visibleIndex);
  void SaveClip();
  void RestoreClip();
  // Nothing for an empty rect or (intersecting) one outside the clip; otherwise saves the clip
  // and intersects it with the rect or replaces it; answers whether it did.
  Boolean SetClipToRect(const TRect& rect, Boolean intersect);
  void InvalidateTabsArea(Integer visibleIndex);
  TRect GetPageFrameRect();
  TRect GetPageClientRect();
  // The polyline, then its last pixel.
  void DrawPolylineWithEnd(const TPoint* points, Integer count, TcxCanvas* canvas, TColor color);
  // Points given for a top tab mapped into the rect for another side.
  static void TransformPoints(const TRect& rect, TPoint* points, Integer count, Integer side);
  void DrawTransformedPolyline(const TRect& rect, std::vector<TPoint> points, TColor color,
                               Integer side, Integer lastIndex = -1);
  Boolean HasImages();
  Boolean ShowsImage(Integer visibleIndex);
  Integer GetMaxTabTextHeight();
  TColor GetDisabledTextHighlightColor() { return clBtnHighlight; }
  TColor GetDisabledTextShadowColor() { return clBtnShadow; }
  TColor GetHighlightColor() { return clHighlight; }
  TColor GetHotTrackColor() { return clHotLight; }
  Integer GetTabThemeState(Integer visibleIndex);
  TSize GetImageSize();
  TSize GetDrawnImageSize();
  static TRect ExtendRectByRotatedMargins(const TRect& rect, const TcxPCMargins& margins,
                                          TcxTabPosition position);
  static TcxPCMargins RotateMargins(const TcxPCMargins& margins, TcxTabPosition position);
  // The control's caption orientation for a tab: 0 horizontal, 1 bottom to top, 2 top to bottom.
  Integer GetCaptionOrientation();
  // Side (0..3) and orientation combined (1..12).
  Integer GetTabSideCode(Integer visibleIndex);
  TcxTab* GetTab(Integer visibleIndex);
  TcxCanvas* GetCanvas();

 protected:
  void CalculateTabImageAndTextRects(TcxTab* tab, Integer visibleIndex, TRect& imageRect,
                                     TRect& textRect);
  void DrawTabCaption(TcxTab* tab, Integer visibleIndex, const TRect& textRect, TColor bodyColor);
  void DrawTabCaptionIntoBitmap(TcxBitmap* bitmap, TcxTab* tab, Integer visibleIndex,
                                const TRect& textRect, const TRect& drawRect, TColor bodyColor);

  TcxPCTabImageAndTextData FTabImageAndTextData;

 private:
  TcxPCPainterParentInfo* FParentInfo;
  TcxCustomTabControl* FTabControl;
  std::vector<std::unique_ptr<TcxRegion, orv::FreeDeleter>> FSavedClips;
};

using TcxPCPainterClass = orv::ClassOf<TcxPCCustomPainter>;

// The painter of a class that answers its class operations (made once, without a control).
const TcxPCCustomPainter* GetPCPainterPrototype(TcxPCPainterClass painterClass);

// The registered painter classes.
class TcxPCPaintersFactory : public TObject {
  ORV_CLASS(TcxPCPaintersFactory, TObject)
 public:
  TcxPCPaintersFactory() = default;
  TcxPCPainterClass FindPainterClassByStyleID(TcxPCStyleID id) const;
  // -1 when no class takes the look and feel.
  TcxPCStyleID GetStyleIDByLookAndFeel(TcxLookAndFeel* lookAndFeel) const;
  TcxPCStyleID GetDefaultStyleID(TcxLookAndFeel* lookAndFeel) const;
  TcxPCCustomPainter* GetPainterInstance(TcxPCPainterClass painterClass,
                                         TcxCustomTabControl* tabControl) const;
  void FreePainter(TcxPCCustomPainter* painter) const { orv::Free(painter); }
  Integer GetCount() const { return Integer(FPainterClassList.size()); }
  TcxPCPainterClass GetPainterClass(Integer index) const { return FPainterClassList[std::size_t(index)]; }

 private:
  friend void RegisterPCPainterClass(TcxPCPainterClass painterClass);
  friend void UnregisterPCPainterClass(TcxPCPainterClass painterClass);
  std::vector<TcxPCPainterClass> FPainterClassList;
};

void RegisterPCPainterClass(TcxPCPainterClass painterClass);
void UnregisterPCPainterClass(TcxPCPainterClass painterClass);
// The factory while a class is registered, else nil. Starts the painters unit first.
TcxPCPaintersFactory* PaintersFactory();

namespace orv {
// Registers the painter styles once (cxPCPainters).
void StartPCPaintersUnit();
}  // namespace orv

// ==== The tab control ==========================================================================

class TcxCustomTabControl : public TcxControl {
  ORV_CLASS(TcxCustomTabControl, TcxControl)
 public:
  explicit TcxCustomTabControl(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomTabControl() override;

  void Dispatch(TMessage& message) override;
  void Loaded() override;
  void DefineProperties(TFiler* filer) override;
  bool CanFocus() override;
  void GetTabOrderList(TList* list) override;

  // ---- New virtual operations ----
  virtual void PaintToDC(HDC dc);
  virtual void NotifyTabDrawn(TcxCanvas* canvas, TcxTab* tab, const TRect& imageRect,
                              const TRect& textRect) {}
  virtual Boolean CanClose();
  virtual void CloseCurrent();
  virtual Boolean ProcessAccelerator(char key);
  virtual Boolean CanSelectTab(Integer index);
  virtual void ShowGoDialog();
  virtual void SpareHook(Integer value) {}
  virtual TObject* GetActivePageObject() { return nullptr; }
  // The effective image of a tab (-1 when none applies).
  virtual Integer GetTabImageIndex(Integer index);
  virtual TObject* GetPageObject(Integer index) { return nullptr; }
  virtual void GoDialogClick(Integer index) { GoDialogClosed(index); }
  virtual void ImagesChanged() { RequestLayout(); }
  virtual Boolean HandleNavigationKey(Word& key, TShiftState shift);
  virtual void PrepareTabFont(TcxTab* tab, TcxCanvas* canvas);
  virtual Boolean HasPages() { return false; }
  virtual Boolean CanChange(Integer newTabIndex);
  virtual void Change();
  virtual void RequestLayout();

  // ---- Properties ----
  Boolean GetFocusable() const { return FFocusable; }
  void SetFocusable(Boolean value) { FFocusable = value; }
  Boolean GetHideTabs() const { return FHideTabs; }
  void SetHideTabs(Boolean value);
  Boolean GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(Boolean value);
  Integer GetImageBorder() const { return FImageBorder; }
  void SetImageBorder(Integer value);
  TCustomImageList* GetImages() const;
  void SetImages(TCustomImageList* value);
  Integer GetMaxRotatedTabWidth();
  void SetMaxRotatedTabWidth(Integer value);
  Boolean GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(Boolean value);
  Boolean GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(Boolean value) { FMultiSelect = value; }
  TcxPCNavigatorPosition GetNavigatorPosition() const { return FNavigatorPosition; }
  void SetNavigatorPosition(TcxPCNavigatorPosition value);
  TcxPCOptions GetOptions() const { return FOptions; }
  void SetOptions(TcxPCOptions value);
  Boolean GetOwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(Boolean value);
  Boolean GetRaggedRight() const { return FRaggedRight; }
  void SetRaggedRight(Boolean value);
  Boolean GetRotate() const { return FRotate; }
  void SetRotate(Boolean value);
  Boolean GetScrollOpposite() const { return FScrollOpposite; }
  void SetScrollOpposite(Boolean value);
  Boolean GetShowFrame() const { return FShowFrame; }
  void SetShowFrame(Boolean value);
  TcxPCStyleID GetStyle() const { return FStyle; }
  void SetStyle(TcxPCStyleID value);
  SmallInt GetTabHeight() const { return FTabHeight; }
  void SetTabHeight(SmallInt value);
  Integer GetTabIndex() const { return FTabIndex; }
  void SetTabIndex(Integer value);
  TcxTabPosition GetTabPosition() const { return FTabPosition; }
  void SetTabPosition(TcxTabPosition value);
  TcxTabs* GetTabs() const { return FTabs; }
  void SetTabs(TcxTabs* value) { FTabs->Assign(value); }
  TcxTabSlants* GetTabSlants() const { return FTabSlants; }
  void SetTabSlants(TcxTabSlants* value) { FTabSlants->Assign(value); }
  SmallInt GetTabWidth() const { return FTabWidth; }
  void SetTabWidth(SmallInt value);
  TAlignment GetTabCaptionAlignment() const { return FTabCaptionAlignment; }
  void SetTabCaptionAlignment(TAlignment value);
  Boolean GetIsTabsContainer() const { return FIsTabsContainer; }
  void SetIsTabsContainer(Boolean value);

  // ---- Events ----
  const TcxPCCanCloseEvent& GetOnCanClose() const { return FOnCanClose; }
  void SetOnCanClose(const TcxPCCanCloseEvent& value) { FOnCanClose = value; }
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }
  const TcxTabChangingEvent& GetOnChanging() const { return FOnChanging; }
  void SetOnChanging(const TcxTabChangingEvent& value) { FOnChanging = value; }
  const TcxDrawTabEvent& GetOnDrawTab() const { return FOnDrawTab; }
  void SetOnDrawTab(const TcxDrawTabEvent& value) { FOnDrawTab = value; }
  const TcxDrawTabExEvent& GetOnDrawTabEx() const { return FOnDrawTabEx; }
  void SetOnDrawTabEx(const TcxDrawTabExEvent& value) { FOnDrawTabEx = value; }
  const TcxGetTabImageEvent& GetOnGetImageIndex() const { return FOnGetImageIndex; }
  void SetOnGetImageIndex(const TcxGetTabImageEvent& value) { FOnGetImageIndex = value; }

  // ---- Layout state (read by painters and tests) ----
  // The tab painter hides TcxControl's look-and-feel painter by name alone (that one takes no
  // const and is still what a TcxControl pointer reaches).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
  TcxPCCustomPainter* GetPainter() const { return FPainter; }
#pragma GCC diagnostic pop
  // The canvas painters draw on: the control's own, or the foreign DC's while PaintToDC runs.
  TcxCanvas* GetPaintCanvas() { return FPaintCanvas ? FPaintCanvas : GetCanvas(); }
  TcxVisibleTabList* GetVisibleTabList() const { return FVisibleTabList; }
  TcxPCImageList* GetTabImageList() const { return FImages; }
  TcxPCGoDialog* GetGoDialog() const { return FGoDialog; }
  Integer GetFirstShownTab() const { return FFirstVisibleTab; }
  // Scrolls the tab strip so that the tab of this visible index comes first.
  void SetFirstShownTabDirect(Integer value);
  Integer GetLastShownTab() const { return FLastVisibleTab; }
  Boolean GetLastTabFullyVisible() const { return FIsLastTabFullyVisible; }
  Integer GetMainTabVisibleIndex() const { return FMainTabVisibleIndex; }
  Integer GetHotTabVisibleIndex() const { return FHotTabVisibleIndex; }
  Integer GetPressedTabVisibleIndex() const { return FPressedTabVisibleIndex; }
  Integer GetTrackingTabVisibleIndex() const { return FTrackingTabVisibleIndex; }
  TcxPCNavigatorButtons GetNavigatorButtons() const { return FNavigatorButtons; }
  TcxPCNavigatorButtonState GetNavigatorButtonState(TcxPCNavigatorButton button) const {
    return FNavigatorButtonStates[button];
  }
  TcxPCNavigatorButtons GetHotNavigatorButton() const { return FHotNavigatorButton; }
  TcxPCNavigatorButtons GetPressedNavigatorButton() const { return FPressedNavigatorButton; }
  Integer GetRowCount() const { return FRowCount; }
  Integer GetTopOrLeftPartRowCount() const { return FTopOrLeftPartRowCount; }
  Integer GetRowHeight() const { return FRowHeight; }
  Integer GetWidestRotatedCaptionWidth() const { return FWidestRotatedCaptionWidth; }
  const TcxPCTabsPosition& GetTabsPositionRecord() const { return FTabsPosition; }
  TRect GetNearTabsArea() const { return FExtendedTopOrLeftTabsRect; }
  TRect GetFarTabsArea() const { return FExtendedBottomOrRightTabsRect; }
  Boolean IsGoDialogShowing() const { return FGoDialogShowing; }
  // Tabs run from the row's far end towards its start.
  Boolean IsBackwardStrip() const;
  // Along is horizontal (tabs on top or bottom).
  Boolean IsHorizontalStrip() const { return FTabPosition == tpTop || FTabPosition == tpBottom; }
  // The tab-distance pair (along, across), exchanged with Rotate.
  void GetTabsDistances(Integer& along, Integer& across);

  // ---- Operations used by the subsystem ----
  void CalculateTabNormalSizes();
  TRect GetPageClientRect();
  Integer GetTabVisibleIndexAt(Integer x, Integer y);
  Integer CalcTabsFullLength();
  void UpdateHotTrack(TShiftState shift);
  void UpdateNavigatorButtonStates();
  void MakeTabVisible(Integer visibleIndex);
  void ScrollOneTab(TcxPCNavigatorButton button);
  void ScrollTabs(Integer count);
  void LockChangeEvents(Boolean lock);
  Boolean AreChangeEventsLocked() const { return FChangeEventLockCount > 0; }
  // Tabs shown now: every visible tab multi-line, the scroll window in one row.
  Boolean IsTabShown(Integer visibleIndex) const;
  // The effective colour of a tab (the page's colour where it applies).
  TColor GetTabColor(Integer visibleIndex);
  Boolean IsTabsLoading() const { return IsLoading() || IsDestroying(); }
  // The caption orientation (0 horizontal, 1 bottom to top, 2 top to bottom).
  Integer GetCaptionOrientation() const;
  // Recomputes the order of rows (multi-line) and places them across.
  void UpdateRowOrder();

 protected:
  void CreateHandle() override;
  void Resize() override;
  void Paint() override;
  void AdjustClientRect(TRect& rect) override;
  void ChangeScale(Integer m, Integer d) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseLeave(TControl* control) override;
  bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
  bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
  void FocusChanged() override;
  void FontChanged() override;
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
  Boolean NeedsEraseBackground() override { return false; }
  Boolean NeedsScrollBars() override { return false; }

 public:
  Boolean NeedsRedrawOnResize() override;

 protected:

  void SelectTabByClick(Integer visibleIndex, Boolean ctrl);
  void GoDialogClosed(Integer index);
  void SetTabIndexDirect(Integer value) { FTabIndex = value; }
  void SetMainTabDirect(Integer value) { FMainTabVisibleIndex = value; }
  Integer GetStoredTabIndex() const { return FTabIndex; }

 private:
  friend class TcxTab;
  friend class TcxTabs;
  friend class TcxPCCustomPainter;
  friend class TcxPageControl;

  void SelectDefaultStyle();
  void ApplyStyle(TcxPCStyleID value);
  void CalculateLayout();
  void CalculateSingleRowLayout();
  void CalculateMultiRowLayout();
  void FitSingleRow();
  TcxPCNavigatorButtons GetRequiredNavigatorButtons(Boolean allTabsFit);
  void SetNavigatorButtons(TcxPCNavigatorButtons value);
  void PlaceRowTabs(Integer first, Integer last, Boolean placeAll);
  void FillRows();
  void BalanceGroup(Integer first, Integer last);
  void PlaceRowsAlong();
  void CalculateRowHeight();
  void OrderRows();
  void PositionRowsAcross();
  void SetExtendedAreasAlong();
  TcxPCLineIndexBoundsArray GetLineIndexBounds(Integer first, Integer last);
  Integer GetTabAlongStart(Integer visibleIndex) const;
  void SetTabAlong(TcxTab* tab, Integer along);
  void SetTabAcross(TcxTab* tab, Integer across);
  void PressNavigatorButton(TcxPCNavigatorButton button);
  void SetNavigatorButtonState(TcxPCNavigatorButton button, TcxPCNavigatorButtonState state);
  void SetHotNavigatorButton(TcxPCNavigatorButtons value);
  void StopScrollTimer();
  void ScrollTimerHandler(TObject* sender);
  void TabSlantsChanged(TObject* sender) { RequestLayout(); }
  void ImageListChanged() { ImagesChanged(); }
  void FillTabBitmapBackgroundHandler(TcxBitmap* bitmap);
  void ReadClientRectBottom(TReader* reader);
  void ReadClientRectLeft(TReader* reader);
  void ReadClientRectRight(TReader* reader);
  void ReadClientRectTop(TReader* reader);
  void WriteClientRectBottom(TWriter* writer);
  void WriteClientRectLeft(TWriter* writer);
  void WriteClientRectRight(TWriter* writer);
  void WriteClientRectTop(TWriter* writer);
  Boolean HandleWheel(TPoint mousePos, TcxPCNavigatorButton button);
  Integer FindEnabledTab(Integer start, Integer step, Boolean wrap);

  Integer FChangeEventLockCount = 0;
  TRect FClientRect;
  TRect FExtendedBottomOrRightTabsRect;
  TRect FExtendedTopOrLeftTabsRect;
  Integer FFirstVisibleTab = -1;
  Integer FLastVisibleTab = -1;
  Boolean FFocusable = true;
  Boolean FHideTabs = false;
  Boolean FHotTrack = false;
  TcxPCNavigatorButtons FHotNavigatorButton;
  Integer FHotTabVisibleIndex = -1;
  Integer FImageBorder = 0;
  TcxPCImageList* FImages = nullptr;
  Boolean FIsClientRectLoaded = false;
  Boolean FIsLastTabFullyVisible = false;
  Boolean FIsTabsContainer = false;
  Integer FMainTabVisibleIndex = -1;
  Integer FMaxRotatedTabWidth = 0;
  Integer FWidestRotatedCaptionWidth = 0;
  Boolean FMultiLine = false;
  Boolean FMultiSelect = false;
  TcxPCNavigatorButtons FNavigatorButtons;
  TcxPCNavigatorButtonState FNavigatorButtonStates[4] = {nbsNormal, nbsNormal, nbsNormal, nbsNormal};
  TcxPCNavigatorPosition FNavigatorPosition = npRightTop;
  TcxPCOptions FOptions = cxPCDefaultOptions;
  Boolean FOwnerDraw = false;
  TcxPCCustomPainter* FPainter = nullptr;
  TcxPCNavigatorButtons FPressedNavigatorButton;
  Integer FPressedTabVisibleIndex = -1;
  Boolean FRaggedRight = false;
  Boolean FRotate = false;
  Integer FRowCount = 0;
  Integer FRowHeight = 0;
  Boolean FScrollOpposite = false;
  Boolean FShowFrame = false;
  TcxPCStyleID FStyle = cxPCDefaultStyle;
  TAlignment FTabCaptionAlignment = taCenter;
  Integer FTabIndex = -1;
  TcxTabPosition FTabPosition = tpTop;
  TcxTabs* FTabs = nullptr;
  SmallInt FTabWidth = 0;
  SmallInt FTabHeight = 0;
  TcxTabSlants* FTabSlants = nullptr;
  TcxPCTabsPosition FTabsPosition;
  TcxTimer* FTimer = nullptr;
  Integer FTopOrLeftPartRowCount = 0;
  Integer FTrackingTabVisibleIndex = -1;
  Boolean FUpdating = false;
  TcxVisibleTabList* FVisibleTabList = nullptr;
  TcxPCGoDialog* FGoDialog = nullptr;
  Boolean FGoDialogShowing = false;
  Boolean FGoDialogJustClosed = false;
  TFont* FTabFont = nullptr;
  TcxCanvas* FPaintCanvas = nullptr;

  TcxPCCanCloseEvent FOnCanClose;
  TNotifyEvent FOnChange;
  TcxTabChangingEvent FOnChanging;
  TcxDrawTabEvent FOnDrawTab;
  TcxDrawTabExEvent FOnDrawTabEx;
  TcxGetTabImageEvent FOnGetImageIndex;
};

// The tab control with string tabs.
class TcxTabControl : public TcxCustomTabControl {
  ORV_CLASS(TcxTabControl, TcxCustomTabControl)
 public:
  explicit TcxTabControl(TComponent* owner) : TcxCustomTabControl(owner) {}
};

// ==== Page control and tab sheets ==============================================================

class TcxPageControl : public TcxCustomTabControl {
  ORV_CLASS(TcxPageControl, TcxCustomTabControl)
 public:
  explicit TcxPageControl(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxPageControl() override;

  void Loaded() override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, Integer order) override;
  void ShowControl(TControl* control) override;
  void Dispatch(TMessage& message) override;

  TcxTabSheet* GetActivePage() const { return FActivePage; }
  void SetActivePage(TcxTabSheet* value);
  Integer GetPageCount() const { return Integer(FPages.size()); }
  TcxTabSheet* GetPage(Integer index) const { return FPages[std::size_t(index)]; }
  TcxTabSheet* FindNextPage(TcxTabSheet* page, Boolean goForward, Boolean checkTabVisible,
                            Boolean wrap = true);
  void SelectNextPage(Boolean goForward, Boolean wrap = true);
  const TcxPageChangingEvent& GetOnPageChanging() const { return FOnPageChanging; }
  void SetOnPageChanging(const TcxPageChangingEvent& value) { FOnPageChanging = value; }

  // ---- Overrides of the tab control ----
  Boolean HasPages() override { return true; }
  TObject* GetActivePageObject() override;
  TObject* GetPageObject(Integer index) override;
  void CloseCurrent() override;
  void ImagesChanged() override;
  Boolean CanChange(Integer newTabIndex) override;
  void Change() override;
  void RequestLayout() override;

  // ---- Docking: a control dropped on the page control gets a page of its own ----
  void DockOver(TDragDockObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  void DockDrop(TDragDockObject* source, Integer x, Integer y) override;
  void GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock) override;
  bool DoUnDock(TWinControl* newTarget, TControl* client) override;
  void DoAddDockClient(TControl* client, const TRect& dockRect) override;
  void DoRemoveDockClient(TControl* client) override;

  // ---- New operations ----
  virtual void CreateDockPage(TDragDockObject* dragDockObject);
  virtual Boolean BeginUndock(TWinControl* newTarget, TControl* client);
  virtual void SyncActivePage();
  virtual Boolean CanChangePage(TcxTabSheet* newPage);
  virtual void PageChanged() { inherited::Change(); }

 protected:
  Boolean CanFocusOnClickAt(Integer x, Integer y) override;

 private:
  friend class TcxTabSheet;
  void InsertPage(TcxTabSheet* page);
  void RemovePage(TcxTabSheet* page);
  void ChangeActivePage(TcxTabSheet* page);
  void MovePage(TcxTabSheet* page, Integer newIndex);
  // The page the control lies in directly (nullptr: none of ours).
  TcxTabSheet* PageOfControl(TControl* control) const;
  // The control docked here that is the first child of the page under the client point.
  TControl* DockClientAt(Integer x, Integer y);

  TcxTabSheet* FActivePage = nullptr;
  TcxTabSheet* FNewDockSheet = nullptr;
  TcxTabSheet* FUndockingPage = nullptr;
  Boolean FActivePageSetting = false;
  Boolean FPageInserting = false;
  std::vector<TcxTabSheet*> FPages;
  TcxPageChangingEvent FOnPageChanging;
};

// One page of a page control; its caption, image, highlighting, enabled state and tab
// visibility are mirrored into its tab.
class TcxTabSheet : public TCustomControl {
  ORV_CLASS(TcxTabSheet, TCustomControl)
 public:
  explicit TcxTabSheet(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxTabSheet() override;

  void Dispatch(TMessage& message) override;
  // Only a page control (or nil) is accepted as parent.
  void SetParent(TWinControl* value) override;

  TcxPageControl* GetPageControl() const { return FPageControl; }
  void SetPageControl(TcxPageControl* value);
  Boolean GetHighlighted() const { return FHighlighted; }
  void SetHighlighted(Boolean value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer value);
  Integer GetPageIndex() const;
  void SetPageIndex(Integer value);
  Boolean GetTabVisible() const { return FTabVisible; }
  void SetTabVisible(Boolean value);
  TcxTab* GetTab() const { return FTab; }
  const TNotifyEvent& GetOnHide() const { return FOnHide; }
  void SetOnHide(const TNotifyEvent& value) { FOnHide = value; }
  const TNotifyEvent& GetOnShow() const { return FOnShow; }
  void SetOnShow(const TNotifyEvent& value) { FOnShow = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  virtual void DoHide();
  virtual void DoShow();
  // Stores the page control and makes it the parent.
  virtual void AttachToPageControl(TcxPageControl* value);

 private:
  friend class TcxPageControl;
  void UpdateTab();

  Boolean FHighlighted = false;
  Integer FImageIndex = -1;
  TcxPageControl* FPageControl = nullptr;
  TcxTab* FTab = nullptr;
  Boolean FTabVisible = true;
  TNotifyEvent FOnHide;
  TNotifyEvent FOnShow;
};
