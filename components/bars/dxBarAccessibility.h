// Keyboard access to the bars by key tips: short letters shown over the elements of a bar window
// once Alt (or F10) is pressed, which the user types to run or open an element. A menu opened
// by its key tip shows the key tips of its own elements; Escape goes back a level.
//
// The bars show key tips only where the program hands them a key-tip windows manager (the
// object that makes and removes the little windows): SetBarKeyTipWindowsManagerProvider.
// TdxBarKeyTipWindowsManager is a ready one. Without it Alt and F10 only start the keyboard
// navigation of the main menu.
#pragma once

#include <vector>

#include "components/bars/dxBar.h"

class TdxBarKeyTipWindow;

// Makes, places and removes key-tip windows. Alignments: 0 the point is the window's left
// (top) edge, 1 its right (bottom) edge, 2 its centre.
class IdxBarKeyTipWindowsManager {
 public:
  virtual ~IdxBarKeyTipWindowsManager() = default;
  virtual TdxBarKeyTipWindow* Add(const AnsiString& caption, const TPoint& basePoint, Integer horzAlign,
                                  Integer vertAlign, Boolean enabled) = 0;
  virtual void Delete(TdxBarKeyTipWindow* window) = 0;
  // Every window of one showing has been added or shown.
  virtual void UpdateComplete() {}
};

// The little window of one key tip: its text framed on the hint colours, never activated.
class TdxBarKeyTipWindow : public TCustomControl {
  ORV_CLASS(TdxBarKeyTipWindow, TCustomControl)
 public:
  explicit TdxBarKeyTipWindow(TComponent* owner);
  const AnsiString& GetText() const { return FText; }
  Boolean GetEnabled() const { return FTipEnabled; }
  // Places the window for its text at the point with the alignments and shows it.
  void ShowAt(const AnsiString& text, const TPoint& basePoint, Integer horzAlign, Integer vertAlign, Boolean enabled);

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

 private:
  AnsiString FText;
  Boolean FTipEnabled = true;
};

// The ready key-tip windows manager: one window per key tip, freed when deleted.
class TdxBarKeyTipWindowsManager : public IdxBarKeyTipWindowsManager {
 public:
  ~TdxBarKeyTipWindowsManager() override;
  TdxBarKeyTipWindow* Add(const AnsiString& caption, const TPoint& basePoint, Integer horzAlign, Integer vertAlign,
                          Boolean enabled) override;
  void Delete(TdxBarKeyTipWindow* window) override;
  Integer GetWindowCount() const { return Integer(FWindows.size()); }
  TdxBarKeyTipWindow* GetWindow(Integer index) const { return FWindows.at(size_t(index)); }

 private:
  std::vector<TdxBarKeyTipWindow*> FWindows;
};

// The manager whose key tips a program shows, asked for the manager of the focused form (nil:
// no key tips).
using TdxBarKeyTipWindowsManagerProvider = IdxBarKeyTipWindowsManager* (*)(TdxBarManager* manager);
void SetBarKeyTipWindowsManagerProvider(TdxBarKeyTipWindowsManagerProvider provider);

// One key tip of a showing: its text, where it stands and the element it runs.
class TdxBarKeyTipData : public TObject {
  ORV_CLASS(TdxBarKeyTipData, TObject)
 public:
  TdxBarKeyTipData(TdxBarItemControl* control, const AnsiString& keyTip);
  ~TdxBarKeyTipData() override;
  AnsiString KeyTip;
  TPoint BasePoint{};
  Integer HorzAlign = 2;
  Integer VertAlign = 2;
  Boolean Visible = true;
  Boolean Enabled = true;
  TdxBarKeyTipWindow* Window = nullptr;
  // The element, nil once it is gone.
  TdxBarItemControl* GetControl() const;

 private:
  TcxObjectLink* FControlLink;
};

// The program's one keyboard-navigation controller for key tips: the wait after Alt, the key
// tips shown for a bar window, the text typed so far, and running the element typed.
class TdxBarNavigationController : public TObject {
  ORV_CLASS(TdxBarNavigationController, TObject)
 public:
  TdxBarNavigationController() = default;
  ~TdxBarNavigationController() override;

  // Alt (or F10) went down: key tips follow after 500 ms while it is held, or at once when it
  // comes up alone. Raises EdxException for a second root while a wait runs.
  void BeginKeyTipsWait(TdxBarManager* root);
  // Ends the wait; shows the root's key tips when asked.
  void EndKeyTipsWait(Boolean show);
  Boolean IsWaitingForKeyTips() const { return FWaitingRoot != nullptr; }
  Boolean IsShowingKeyTips() const { return FContainer != nullptr; }
  // Shows the key tips of a bar window's elements whose text starts with `typed` (nil hides).
  void ShowKeyTips(TCustomdxBarControl* container, const AnsiString& typed = AnsiString());
  void HideKeyTips();
  TCustomdxBarControl* GetKeyTipsContainer() const { return FContainer; }
  const AnsiString& GetTypedKeyTip() const { return FTyped; }
  Integer GetKeyTipCount() const { return Integer(FKeyTips.size()); }
  TdxBarKeyTipData* GetKeyTip(Integer index) const { return FKeyTips.at(size_t(index)); }
  // Whether the key goes to the key tips (it types one, or Escape steps back).
  Boolean WantsKey(Word key, TShiftState shift);
  void ProcessKey(Word key, TShiftState shift);
  // A bar window goes: its key tips go with it.
  void ForgetObject(TCustomdxBarControl* control);

  // Gives repeated texts numbers (F1, F2, ...; A01 .. A12 for twelve) and a text that starts
  // another its own "1", until no text can be mistaken for another.
  static void MakeKeyTipsUnique(std::vector<AnsiString>& texts);
  // The text of an element: its item's KeyTip, else the caption's accelerator or first letter;
  // at most 3 characters, upper case.
  static AnsiString GetKeyTipText(TdxBarItemControl* control);

 private:
  void CollectKeyTips(TCustomdxBarControl* container);
  void RefreshKeyTipWindows();
  void ClearKeyTips();
  // The key tip the typed text plus the key's character selects: `matched` when some text
  // starts with it, the data when one equals it and is enabled.
  TdxBarKeyTipData* MatchKeyTipKey(Word key, Boolean& matched, AnsiString& typed);
  void ExecuteKeyTip(TdxBarKeyTipData* data);
  void WaitTimer(TObject* sender);
  IdxBarKeyTipWindowsManager* WindowsManager() const;

  TdxBarManager* FWaitingRoot = nullptr;
  TcxTimer* FWaitTimer = nullptr;
  TCustomdxBarControl* FContainer = nullptr;
  TcxObjectLink* FContainerLink = nullptr;
  TdxBarManager* FContainerManager = nullptr;
  AnsiString FTyped;
  std::vector<TdxBarKeyTipData*> FKeyTips;
};

TdxBarNavigationController* GetBarNavigationController();
// Hooks the controller into the bars' keyboard services (once; the bar windows call it).
void InstallBarKeyTipServices();
