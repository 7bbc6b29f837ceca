// What every customization form of the bars shares: the run-time selection controller that
// stands in for a form designer while the form is open, the painters that draw the form's
// lists in the look of the customized manager, and the form base that opens and closes with
// the manager's customizing mode and keeps its lists in step with the manager.
#pragma once

#include <vector>

#include "components/bars/dxBar.h"
#include "platform/controls/Forms.h"

class TCanvas;
class TListBox;
class TcxComponentList;
class TdxBarCustomCustomizationForm;

// ==== Run-time selection ======================================================================

// The selection of a manager being customized at run time: at most one bar and one item (a
// link selects its item). Each change fires OnSelectionChanged.
class TdxBarRunTimeSelectionController : public TcxIUnknownObject, public IdxBarDesigner {
  ORV_CLASS(TdxBarRunTimeSelectionController, TcxIUnknownObject)
 public:
  explicit TdxBarRunTimeSelectionController(TdxBarManager* manager);
  ~TdxBarRunTimeSelectionController() override;

  Boolean AllowsDeletion() override { return true; }
  void FillSelection(TList* list) override;
  Integer GetSelectionState(TPersistent* object) override;
  Boolean IsSelectedObject(TPersistent* object) override;
  // 0 and 2 select the object; other operations do nothing.
  void ChangeSelection(TPersistent* object, Integer operation) override;
  void ReplaceSelection(TList* list) override;
  void EditItem(TdxBarItem* item) override {}
  Boolean MakeUniqueName(const AnsiString& prefix, AnsiString& name) override {
    name.clear();
    return false;
  }
  const TNotifyEvent& GetOnSelectionChanged() const { return FOnSelectionChanged; }
  void SetOnSelectionChanged(const TNotifyEvent& value) { FOnSelectionChanged = value; }
  Integer GetCount() const;
  TComponent* GetSelected(Integer index) const;

 private:
  void Select(TComponent* component);
  TdxBarManager* FManager;
  TcxComponentList* FSelection;
  TNotifyEvent FOnSelectionChanged;
};

// ==== Painters ================================================================================

// Draws the rows of the customization form's lists: commands as they look in a menu (a glyph
// strip, the caption, a drop-down part or a submenu arrow), check boxes of the toolbars list.
class TdxBarCustomizationFormPainter : public TObject {
  ORV_CLASS(TdxBarCustomizationFormPainter, TObject)
 public:
  explicit TdxBarCustomizationFormPainter(TdxBarManager* manager) : FBarManager(manager) {}
  TdxBarManager* GetBarManager() const { return FBarManager; }

  virtual void CalcEntryRects(TdxBarItem* item, const TRect& rect, TRect& arrowRect, TRect& textRect, TRect& stripRect);
  virtual void DrawDropDownPart(TCanvas* canvas, TRect rect, Boolean selected, TdxBarItem* item);
  virtual void DrawEntryBackground(TCanvas* canvas, TdxBarItem* item, Boolean selected, const TRect& arrowRect,
                                   const TRect& stripRect, const TRect& rect);
  virtual void DrawEntryGlyph(TCanvas* canvas, const TRect& rect, Boolean selected, TdxBarItem* item);
  virtual void DrawSubMenuArrow(TCanvas* canvas, Integer x, Boolean selected, Integer y);
  virtual void DrawButtonEntry(TCanvas* canvas, const TRect& rect, Boolean selected, const AnsiString& caption,
                               TdxBarItem* item);
  virtual void DrawCheckBox(TCanvas* canvas, TRect rect, Boolean enabled, Boolean checked);
  virtual void DrawFocusRect(TCanvas* canvas, TRect rect, TdxBarItem* item);
  virtual TColor GetBackgroundColor(Boolean selected, TdxBarItem* item);
  virtual TColor GetTextColor(Boolean selected);
  virtual TColor GetStripColor(Boolean flag, TdxBarItem* item) { return GetBackgroundColor(flag, item); }
  virtual Integer GetEntryHeight() { return 22; }

 private:
  TdxBarManager* FBarManager;
};
using TdxBarCustomizationFormPainterClass = TdxBarCustomizationFormPainter* (*)(TdxBarManager* manager);

class TdxBarCustomizationFormStandardPainter : public TdxBarCustomizationFormPainter {
  ORV_CLASS(TdxBarCustomizationFormStandardPainter, TdxBarCustomizationFormPainter)
 public:
  using TdxBarCustomizationFormPainter::TdxBarCustomizationFormPainter;
  void DrawFocusRect(TCanvas* canvas, TRect rect, TdxBarItem* item) override;
};

class TdxBarCustomizationFormFlatPainter : public TdxBarCustomizationFormPainter {
  ORV_CLASS(TdxBarCustomizationFormFlatPainter, TdxBarCustomizationFormPainter)
 public:
  using TdxBarCustomizationFormPainter::TdxBarCustomizationFormPainter;
  TColor GetBackgroundColor(Boolean selected, TdxBarItem* item) override;
  TColor GetTextColor(Boolean selected) override;
  TColor GetStripColor(Boolean flag, TdxBarItem* item) override { return GetBackgroundColor(true, item); }
  void DrawButtonEntry(TCanvas* canvas, const TRect& rect, Boolean selected, const AnsiString& caption,
                       TdxBarItem* item) override;
  void DrawDropDownPart(TCanvas* canvas, TRect rect, Boolean selected, TdxBarItem* item) override;
  void DrawEntryGlyph(TCanvas* canvas, const TRect& rect, Boolean selected, TdxBarItem* item) override;
  void DrawFocusRect(TCanvas* canvas, TRect rect, TdxBarItem* item) override {}
};

class TdxBarCustomizationFormOffice11Painter : public TdxBarCustomizationFormFlatPainter {
  ORV_CLASS(TdxBarCustomizationFormOffice11Painter, TdxBarCustomizationFormFlatPainter)
 public:
  using TdxBarCustomizationFormFlatPainter::TdxBarCustomizationFormFlatPainter;
  TColor GetBackgroundColor(Boolean selected, TdxBarItem* item) override;
  TColor GetTextColor(Boolean selected) override;
  void DrawButtonEntry(TCanvas* canvas, const TRect& rect, Boolean selected, const AnsiString& caption,
                       TdxBarItem* item) override;
  void DrawEntryBackground(TCanvas* canvas, TdxBarItem* item, Boolean selected, const TRect& arrowRect,
                           const TRect& stripRect, const TRect& rect) override;
};

// ==== The form base ===========================================================================

// The form of a manager in customizing mode: created when customizing starts, freed when it
// ends; only one exists in the process.
class TdxBarCustomCustomizationForm : public TForm {
  ORV_CLASS(TdxBarCustomCustomizationForm, TForm)
 public:
  explicit TdxBarCustomCustomizationForm(TdxBarManager* barManager);
  ~TdxBarCustomCustomizationForm() override;
  void BeforeDestruction() override;

  TdxBarManager* GetBarManager() const { return FBarManager; }
  TdxBarCustomizationFormPainter* GetPainter() const { return FPainter; }
  TdxBarRunTimeSelectionController* GetSelectionController() const { return FSelectionController; }

  virtual void ShowHelp();
  virtual TColor GetCommandsListColor();
  virtual TdxBar* GetBarAt(Integer index);
  virtual TListBox* GetBarsListBox() = 0;
  virtual TListBox* GetCategoriesListBox() = 0;
  virtual TListBox* GetCommandsListBox() = 0;
  virtual TdxBarCustomizationFormPainter* CreatePainter();
  virtual void RefreshLists() = 0;
  virtual void InitControls() {}
  virtual void SetDescription(const AnsiString& text) {}
  virtual void ApplyManagerStyle();
  virtual void SelectionChanged(TObject* sender);
  virtual void SetActivePageIndex(Integer index) = 0;
  virtual void ShowCommandsPage() = 0;
  virtual void UpdateHelpButton() = 0;
  virtual void UpdateOptions() = 0;

  // ---- Lists
  void RefreshBarsList();
  void RefreshCategoriesList();
  void RefreshCommandsList();
  void SyncSelectionFromDesigner(TListBox* listBox);
  void SyncSelectionToDesigner(TListBox* listBox);
  // The object of a row (nil outside the rows).
  static TObject* GetRowObject(TListBox* listBox, Integer row);
  // Toggles the Visible of the row's bar; a bar that cannot be closed only beeps.
  void ToggleBar(Integer row);
  // The toolbar commands.
  // Asks for the new toolbar's caption first.
  void NewToolBar();
  Boolean CanRenameSelectedToolBar();
  void RenameSelectedToolBar();
  void DeleteSelectedToolBars();
  void ResetSelectedToolBar();

 protected:
  void DoClose(TCloseAction& action) override;
  // Draws a toolbars row: check box and caption.
  void BarsListDrawItem(TWinControl* control, Integer index, TRect rect, TOwnerDrawState state);
  void BarsListMouseDown(TObject* sender, TMouseButton button, TShiftState shift, Integer x, Integer y);
  void BarsListClick(TObject* sender);
  void BarsListKeyDown(TObject* sender, Word& key, TShiftState shift);
  void CategoriesListClick(TObject* sender);
  void CommandsListDrawItem(TWinControl* control, Integer index, TRect rect, TOwnerDrawState state);
  void CommandsListClick(TObject* sender);
  void CommandsListMouseDown(TObject* sender, TMouseButton button, TShiftState shift, Integer x, Integer y);
  void CommandsListMouseMove(TObject* sender, TShiftState shift, Integer x, Integer y);
  void CommandsListMouseUp(TObject* sender, TMouseButton button, TShiftState shift, Integer x, Integer y);
  // Installs the list events; the form's controls exist by then.
  void AttachLists();

 private:
  TdxBarManager* FBarManager;
  TdxBarCustomizationFormPainter* FPainter = nullptr;
  TdxBarRunTimeSelectionController* FSelectionController = nullptr;
  TListBox* FSelectionSource = nullptr;
  Boolean FClosing = false;
  // A press on a command waiting for the mouse to move far enough to drag it.
  TdxBarItem* FCommandPressed = nullptr;
  TPoint FCommandPressPoint{0, 0};
};

using TdxBarCustomizationFormFactory = TdxBarCustomCustomizationForm* (*)(TdxBarManager* manager);
// The form made when customizing starts (the full customization form of this library).
extern TdxBarCustomizationFormFactory dxBarCustomizationFormFactory;

// The open customization form, or nil.
TdxBarCustomCustomizationForm* GetActiveCustomizationForm();
// Opens (show) or closes the customization form of a manager; called by the manager's
// customizing mode.
void ShowCustomizationForm(TdxBarManager* barManager, Boolean show);
// The form's font takes the manager's font name and character set.
void ApplyManagerFont(TCustomForm* form, TdxBarManager* barManager);
void RefreshCustomizationFormOptions();
