// The record navigator's model and behaviour, apart from the control that shows it: sixteen
// buttons (first, prior page, prior, next, next page, last, insert, append, delete, edit, post,
// cancel, refresh, save and go to bookmark, filter) with their settings, the row's layout, hot
// tracking, pressing with auto-repeat and painting, and a notifier that refreshes the navigators
// showing a control. A host shows the row (IcxNavigatorOwner); a data control is navigated
// (IcxNavigator).
#pragma once

#include <vector>

#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/ImgList.h"

class TcxCustomNavigatorButtons;
class TcxNavigatorButton;
class TCanvas;
class THintWindow;

inline constexpr Integer NavigatorButtonCount = 16;
inline constexpr Integer NBDI_FIRST = 0;
inline constexpr Integer NBDI_PRIORPAGE = 1;
inline constexpr Integer NBDI_PRIOR = 2;
inline constexpr Integer NBDI_NEXT = 3;
inline constexpr Integer NBDI_NEXTPAGE = 4;
inline constexpr Integer NBDI_LAST = 5;
inline constexpr Integer NBDI_INSERT = 6;
inline constexpr Integer NBDI_APPEND = 7;
inline constexpr Integer NBDI_DELETE = 8;
inline constexpr Integer NBDI_EDIT = 9;
inline constexpr Integer NBDI_POST = 10;
inline constexpr Integer NBDI_CANCEL = 11;
inline constexpr Integer NBDI_REFRESH = 12;
inline constexpr Integer NBDI_SAVEBOOKMARK = 13;
inline constexpr Integer NBDI_GOTOBOOKMARK = 14;
inline constexpr Integer NBDI_FILTER = 15;

// The navigated data control.
class IcxNavigator : public virtual IInterface {
 public:
  virtual Boolean CanAppend() = 0;
  virtual Boolean CanDelete() = 0;
  virtual Boolean CanEdit() = 0;
  virtual Boolean CanInsert() = 0;
  virtual Boolean IsActive() = 0;
  virtual Boolean IsBof() = 0;
  virtual Boolean IsBookmarkAvailable() = 0;
  virtual Boolean IsEditing() = 0;
  virtual Boolean IsEof() = 0;
  virtual void ClearBookmark() = 0;
  virtual void DoAction(Integer buttonIndex) = 0;
};

// The host that shows a navigator row.
class IcxNavigatorOwner : public virtual IInterface {
 public:
  // 0 a hint, click handler or the delete confirmation; 1 a button's visibility; 2 a button's
  // enabled state or image, or the image list.
  virtual void NavigatorChanged(Integer changeType) = 0;
  virtual TRect GetNavigatorBounds() = 0;
  virtual TcxCustomNavigatorButtons* GetNavigatorButtons() = 0;
  virtual TCanvas* GetNavigatorCanvas() = 0;
  virtual TWinControl* GetNavigatorControl() = 0;
  virtual Boolean GetNavigatorFocused() = 0;
  virtual TcxLookAndFeel* GetNavigatorLookAndFeel() = 0;
  virtual TComponent* GetNavigatorOwner() = 0;
  virtual Boolean GetNavigatorShowHint() = 0;
  virtual Boolean GetNavigatorTabStop() = 0;
  virtual void RefreshNavigator() = 0;
  virtual void NavigatorStateChanged() = 0;
};

using TcxNavigatorButtonClickEvent = orv::Event<void(TObject* sender, Integer buttonIndex, Boolean& done)>;
using TcxNavigatorGetControlEvent = orv::Event<IcxNavigator*(TObject* sender)>;

// The default hint of a button index; empty outside 0..15.
AnsiString GetNavigatorButtonDefaultHint(Integer index);
// The shared default images: a strip of 12 x 11 glyphs, one per button index (drawn at first use,
// black on the transparent olive).
TCustomImageList* GetNavigatorDefaultImages();

class TcxNavigatorButton : public TPersistent {
  ORV_CLASS(TcxNavigatorButton, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomNavigatorButtons* buttons);
  explicit TcxNavigatorButton(TcxCustomNavigatorButtons* buttons) : FButtons(buttons) {}
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  Boolean HasCustomImage();
  TCustomImageList* GetImageList();
  Integer GetEffectiveImageIndex();
  TSize GetGlyphSize();
  Boolean GetEffectiveEnabled();
  AnsiString GetEffectiveHint();
  void Click();

  Integer GetButtonIndex() const { return FButtonIndex; }
  void SetButtonIndex(Integer value) { FButtonIndex = value; }
  Boolean GetEnabled() const { return FEnabled; }
  void SetEnabled(Boolean value);
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& value);
  TImageIndex GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  Boolean IsVisibleAssigned() const { return FIsVisibleAssigned; }
  void SetVisibleQuietly(Boolean value) { FVisible = value; }
  const TNotifyEvent& GetOnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& value);

 private:
  TcxCustomNavigatorButtons* FButtons;
  Integer FButtonIndex = -1;
  Boolean FEnabled = true;
  AnsiString FHint;
  TImageIndex FImageIndex = -1;
  Boolean FIsVisibleAssigned = false;
  Boolean FVisible = true;
  TNotifyEvent FOnClick;
};

class TcxCustomNavigatorButtons : public TPersistent {
  ORV_CLASS(TcxCustomNavigatorButtons, TPersistent)
 public:
  using TCreateSignature = void(IcxNavigatorOwner* navigator);
  explicit TcxCustomNavigatorButtons(IcxNavigatorOwner* navigator);
  void BeforeDestruction() override;
  ~TcxCustomNavigatorButtons() override;
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  virtual void CreateButtons();
  virtual void DestroyButtons();
  virtual void DoButtonClick(Integer index) {}
  virtual Boolean IsButtonEnabled(Integer index);
  virtual void GetButtonHint(Integer index, AnsiString& text) { text = GetNavigatorButtonDefaultHint(index); }
  virtual Integer GetDefaultValue() { return 2; }
  virtual void ReleaseBookmark() {}

  IcxNavigatorOwner* GetNavigator() const { return FNavigator; }
  TcxNavigatorButton* GetButton(Integer index) const { return FButtons[std::size_t(index)]; }
  Integer GetButtonCount() const { return Integer(FButtons.size()); }
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  Boolean GetConfirmDelete() const { return FConfirmDelete; }
  void SetConfirmDelete(Boolean value);
  const TcxNavigatorButtonClickEvent& GetOnButtonClick() const { return FOnButtonClick; }
  void SetOnButtonClick(const TcxNavigatorButtonClickEvent& value);
  // The host hears of changes (NavigatorChanged) and of a new layout (NavigatorStateChanged).
  void NotifyChanged(Integer changeType);
  void NotifyStateChanged();

 private:
  void ImageListChanged(TObject* sender) { NotifyStateChanged(); }
  IcxNavigatorOwner* FNavigator;
  std::vector<TcxNavigatorButton*> FButtons;
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImageChangeLink = nullptr;
  Boolean FConfirmDelete = true;
  TcxNavigatorButtonClickEvent FOnButtonClick;
};

class TcxNavigatorControlButtons : public TcxCustomNavigatorButtons {
  ORV_CLASS(TcxNavigatorControlButtons, TcxCustomNavigatorButtons)
 public:
  using TcxCustomNavigatorButtons::TcxCustomNavigatorButtons;
  void DoButtonClick(Integer index) override;
  Boolean IsButtonEnabled(Integer index) override;
  void ReleaseBookmark() override;

  const TcxNavigatorGetControlEvent& GetOnGetControl() const { return FOnGetControl; }
  void SetOnGetControl(const TcxNavigatorGetControlEvent& value) { FOnGetControl = value; }
  IcxNavigator* GetNavigatedControl();
  // Asks whether a record may be deleted; OK goes on. Tests replace the question.
  static Boolean (*ConfirmDeleteQuestion)(const AnsiString& text);

 private:
  TcxNavigatorGetControlEvent FOnGetControl;
};

struct TcxNavigatorButtonViewInfo {
  TcxNavigatorButton* Button = nullptr;
  TRect Bounds{};
  Boolean Enabled = true;
  AnsiString Hint;
};

class TcxNavigatorViewInfo : public TObject {
  ORV_CLASS(TcxNavigatorViewInfo, TObject)
 public:
  using TCreateSignature = void(IcxNavigatorOwner* navigator, Boolean isInplace);
  TcxNavigatorViewInfo(IcxNavigatorOwner* navigator, Boolean isInplace);
  void BeforeDestruction() override;
  ~TcxNavigatorViewInfo() override;

  void Calculate();
  void CalculateBounds(Integer& width, Integer& height, Boolean neededHeight = false);
  void MakeDirty() { FIsDirty = true; }
  void UpdateButtonsEnabled();
  void MouseDown(Integer x, Integer y);
  void TrackMouse(Integer x, Integer y);
  void MouseUp(Integer x, Integer y);
  void Paint();

  TcxNavigatorButtonViewInfo* GetButtonViewInfoAt(const TPoint& point);
  TcxNavigatorButtonViewInfo* FindButtonViewInfo(TcxNavigatorButton* button);
  void InvalidateButton(TcxNavigatorButtonViewInfo* viewInfo);
  TcxButtonState GetButtonState(TcxNavigatorButtonViewInfo* viewInfo);

  Integer GetButtonViewInfoCount() const { return Integer(FButtons.size()); }
  TcxNavigatorButtonViewInfo* GetButtonViewInfo(Integer index) { return &FButtons[std::size_t(index)]; }
  TcxNavigatorButtonViewInfo* GetHotTrackButtonViewInfo() const { return FHotTrack; }
  TcxNavigatorButtonViewInfo* GetPressedButtonViewInfo() const { return FPressed; }
  TcxNavigatorButton* GetFocusedButton() const { return FFocusedButton; }
  Boolean GetIsDirty() const { return FIsDirty; }
  TcxTimer* GetButtonPressTimer() const { return FButtonPressTimer; }
  TcxTimer* GetHintTimer() const { return FHintTimer; }
  // The hint window while a hint shows (nil otherwise).
  THintWindow* GetHintWindow() const { return FHintWindow; }
  Boolean IsHintWindowShowing() const { return FHintWindowShowing; }
  // Hides any hint; with `show`, shows the hot button's hint at the cursor when the host wants
  // hints and the control is under the mouse.
  void CheckHint(Boolean show);

 private:
  TcxCustomLookAndFeelPainterClass Painter();
  void ButtonPressTimerTick(TObject* sender);
  void HintTimerTick(TObject* sender) { CheckHint(true); }
  void UpdateSelection();
  void CheckFocusedButton();
  IcxNavigatorOwner* FNavigator;
  Boolean FIsInplace;
  TcxTimer* FButtonPressTimer = nullptr;
  TcxTimer* FHintTimer = nullptr;
  THintWindow* FHintWindow = nullptr;
  Boolean FHintWindowShowing = false;
  std::vector<TcxNavigatorButtonViewInfo> FButtons;
  TcxNavigatorButtonViewInfo* FHotTrack = nullptr;
  TcxNavigatorButtonViewInfo* FPressed = nullptr;
  TcxNavigatorButton* FFocusedButton = nullptr;
  Boolean FIsDirty = true;
  Boolean FIsSelected = false;
};

// The navigators that show one control; the control refreshes them all.
class TcxNavigatorControlNotifier : public TObject {
  ORV_CLASS(TcxNavigatorControlNotifier, TObject)
 public:
  TcxNavigatorControlNotifier() = default;
  void AddNavigator(IcxNavigatorOwner* navigator);
  void RemoveNavigator(IcxNavigatorOwner* navigator);
  void NotifyNavigators();
  Integer GetCount() const { return Integer(FList.size()); }

 private:
  std::vector<IcxNavigatorOwner*> FList;
};
