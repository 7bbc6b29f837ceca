// The grid's level tree: each level shows one view; the root level has none, its children are
// the grid's tabs (one of them active), and a deeper level's view is the pattern of the detail
// clones made per expanded master record.
#pragma once

#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxStyles.h"
#include "platform/runtime/Component.h"

class TcxCustomGrid;
class TcxCustomGridView;
class TcxCustomGridRecord;
class TcxGridLevel;
// The master-detail relation of a data controller (the data unit's; nil while the data controller
// offers none).
class TcxCustomDataRelation;

enum TcxGridDetailTabsPosition : Byte { dtpNone, dtpLeft, dtpTop };

using TcxGridLevelGetGridViewEvent =
    orv::Event<void(TcxGridLevel* sender, TcxCustomGridRecord* masterRecord, TcxCustomGridView*& gridView)>;
using TcxGridLevelGetOwnTabStyleEvent =
    orv::Event<void(TcxGridLevel* sender, TcxCustomGridRecord* masterRecord, TcxStyle*& style)>;
using TcxGridLevelGetTabStyleEvent =
    orv::Event<void(TcxGridLevel* sender, TcxGridLevel* tabLevel, TcxStyle*& style)>;

// How a level frames and tabs its detail views.
class TcxGridLevelOptions : public TPersistent {
  ORV_CLASS(TcxGridLevelOptions, TPersistent)
 public:
  using TCreateSignature = void(TcxGridLevel* level);
  explicit TcxGridLevelOptions(TcxGridLevel* level);
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  TcxGridLevel* GetLevel() const { return FLevel; }
  TColor GetDetailFrameColor() const { return FDetailFrameColor; }
  void SetDetailFrameColor(TColor value);
  Integer GetDetailFrameWidth() const { return FDetailFrameWidth; }
  // Negative values become 0.
  void SetDetailFrameWidth(Integer value);
  TcxGridDetailTabsPosition GetDetailTabsPosition() const { return FDetailTabsPosition; }
  void SetDetailTabsPosition(TcxGridDetailTabsPosition value);
  Boolean GetTabsForEmptyDetails() const { return FTabsForEmptyDetails; }
  void SetTabsForEmptyDetails(Boolean value);
  // DetailFrameColor, or the look-and-feel painter's detail frame colour for clDefault.
  TColor GetDetailFrameColorValue() const;

 protected:
  void Changed(Boolean sizeChanged);

 private:
  TcxGridLevel* FLevel;
  TColor FDetailFrameColor = clDefault;

 protected:
  Integer FDetailFrameWidth = 1;

 private:
  TcxGridDetailTabsPosition FDetailTabsPosition = dtpNone;
  Boolean FTabsForEmptyDetails = true;
};

using TcxGridLevelOptionsClass = orv::ClassOf<TcxGridLevelOptions>;

// The root level's options: no detail frame by default.
class TcxGridRootLevelOptions : public TcxGridLevelOptions {
  ORV_CLASS(TcxGridRootLevelOptions, TcxGridLevelOptions)
 public:
  explicit TcxGridRootLevelOptions(TcxGridLevel* level) : TcxGridLevelOptions(level) { FDetailFrameWidth = 0; }
};

// Style indexes of the level styles.
inline constexpr Integer lsTab = 0;
inline constexpr Integer lsTabsBackground = 1;

class TcxGridLevelStyles : public TcxStyles {
  ORV_CLASS(TcxGridLevelStyles, TcxStyles)
 public:
  explicit TcxGridLevelStyles(TPersistent* owner) : TcxStyles(owner) {}
  void Assign(TPersistent* source) override;

  TcxGridLevel* GetLevel() const;
  TcxStyle* GetTab() const { return GetStyleValue(lsTab); }
  void SetTab(TcxStyle* value) { SetStyleValue(lsTab, value); }
  TcxStyle* GetTabsBackground() const { return GetStyleValue(lsTabsBackground); }
  void SetTabsBackground(TcxStyle* value) { SetStyleValue(lsTabsBackground, value); }
  const TcxGridLevelGetOwnTabStyleEvent& GetOnGetOwnTabStyle() const { return FOnGetOwnTabStyle; }
  void SetOnGetOwnTabStyle(const TcxGridLevelGetOwnTabStyleEvent& value);
  const TcxGridLevelGetTabStyleEvent& GetOnGetTabStyle() const { return FOnGetTabStyle; }
  void SetOnGetTabStyle(const TcxGridLevelGetTabStyleEvent& value);

  // The parameters of the tab of a child level of this styles' level.
  void GetTabParams(TcxCustomGridRecord* masterRecord, TcxGridLevel* tabLevel, TcxViewParams& params);
  void GetTabsBackgroundParams(TcxViewParams& params) { ResolveStyleParams(lsTabsBackground, nullptr, nullptr, params); }
  // The tab parameters without any style or event.
  void GetDefaultTabParams(TcxViewParams& params) { GetDefaultStyleParams(lsTab, nullptr, params); }

 protected:
  void GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) override;
  void StyleChanged(Integer index) override;

 private:
  TcxGridLevelGetOwnTabStyleEvent FOnGetOwnTabStyle;
  TcxGridLevelGetTabStyleEvent FOnGetTabStyle;
};

using TcxGridLevelStylesClass = orv::ClassOf<TcxGridLevelStyles>;

class TcxGridLevel : public TcxComponent {
  ORV_CLASS(TcxGridLevel, TcxComponent)
 public:
  explicit TcxGridLevel(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxGridLevel() override;
  void Notification(TComponent* component, TOperation operation) override;

  // ---- Tree ----
  TcxCustomGrid* GetControl() const { return FControl; }
  Integer GetCount() const { return Integer(FItems.size()); }
  TcxGridLevel* GetItem(Integer index) const { return FItems[std::size_t(index)]; }
  Integer GetVisibleCount() const { return Integer(FVisibleItems.size()); }
  TcxGridLevel* GetVisibleItem(Integer index) const { return FVisibleItems[std::size_t(index)]; }
  TcxGridLevel* GetParent() const { return FParent; }
  // The position in the parent's Items; -1 without a parent.
  Integer GetIndex() const;
  void SetIndex(Integer value);
  Boolean IsRoot() const;
  Boolean IsTop() const;
  Boolean IsActive() const;
  Boolean IsShown() const;
  Boolean AreParentsVisible() const;
  TcxCustomDataRelation* GetDataRelation() const { return FDataRelation; }
  // A new child level of GetChildLevelClass owned by this level's owner.
  TcxGridLevel* Add();
  void AttachChild(TcxGridLevel* child);
  void DetachChild(TcxGridLevel* child);
  void SetChildIndex(TcxGridLevel* child, Integer index);
  void SetActive(Boolean value);
  // Caption without accelerator markers.
  AnsiString GetDisplayCaption();

  // ---- Published ----
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  TcxCustomGridView* GetGridView() const { return FGridView; }
  void SetGridView(TcxCustomGridView* value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer value);
  Integer GetMaxDetailHeight() const { return FMaxDetailHeight; }
  void SetMaxDetailHeight(Integer value);
  // Made on first use from GetOptionsClass and GetStylesClass (a descendant's classes are known
  // only once the object is whole).
  TcxGridLevelOptions* GetOptions() const;
  TcxGridLevelStyles* GetStyles() const;
  void SetStyles(TcxGridLevelStyles* value) { GetStyles()->Assign(value); }
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  const TNotifyEvent& GetStylesEvents() const { return FStylesEvents; }
  void SetStylesEvents(const TNotifyEvent& value) { FStylesEvents = value; }
  const TcxGridLevelGetGridViewEvent& GetOnGetGridView() const { return FOnGetGridView; }
  void SetOnGetGridView(const TcxGridLevelGetGridViewEvent& value) { FOnGetGridView = value; }

  // ---- Streaming ----
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, Integer order) override;

  // ---- New virtual operations ----
  virtual TcxCustomGridView* CreateDetailView(TcxCustomDataRelation* relation, Integer masterRecordIndex);
  virtual void Changed(Boolean sizeChanged);
  virtual void CheckHeight(Integer& height);
  virtual void GetDisplayCaption(AnsiString& text);
  virtual orv::ClassOf<TcxGridLevel> GetChildLevelClass();
  virtual TcxGridLevelOptionsClass GetOptionsClass();
  virtual TcxGridLevelStylesClass GetStylesClass();
  virtual void VisibleChildChanged(TcxGridLevel* child);

  // The grid sets the control of its root level (and the tree sets its children's).
  void SetControl(TcxCustomGrid* value);
  // The master record of a record index of this level's view (nil until records exist).
  TcxCustomGridRecord* GetMasterRecord(TcxCustomGridView* masterView, Integer masterRecordIndex);

 private:
  void RefreshVisibleItems();
  void CreateChildRelation(TcxGridLevel* child);
  void DestroyChildRelation(TcxGridLevel* child);
  void UpdateViewRelation(Boolean visible, Boolean isTemplate);

  AnsiString FCaption;
  TcxCustomGridView* FGridView = nullptr;
  Integer FImageIndex = -1;
  Integer FMaxDetailHeight = 0;
  mutable TcxGridLevelOptions* FOptions = nullptr;
  mutable TcxGridLevelStyles* FStyles = nullptr;
  Boolean FVisible = true;
  TNotifyEvent FStylesEvents;
  TcxGridLevelGetGridViewEvent FOnGetGridView;
  TcxCustomGrid* FControl = nullptr;
  std::vector<TcxGridLevel*> FItems;
  TcxGridLevel* FParent = nullptr;
  TcxCustomDataRelation* FDataRelation = nullptr;
  std::vector<TcxGridLevel*> FVisibleItems;
};

using TcxGridLevelClass = orv::ClassOf<TcxGridLevel>;

// The grid's root: never has a view, never streamed as a component.
class TcxGridRootLevel : public TcxGridLevel {
  ORV_CLASS(TcxGridRootLevel, TcxGridLevel)
 public:
  explicit TcxGridRootLevel(TComponent* owner) : TcxGridLevel(owner) {}
  TcxGridLevelOptionsClass GetOptionsClass() override { return TcxGridRootLevelOptions::StaticClass(); }
};

using TcxGridRootLevelClass = orv::ClassOf<TcxGridRootLevel>;
