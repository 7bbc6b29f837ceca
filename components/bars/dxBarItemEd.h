// The dialog that makes a new bar item while bars are customized: its kind (one of the item
// classes offered in lists), its category, its component name and its caption.
#pragma once

#include "platform/controls/Forms.h"

class TButton;
class TComboBox;
class TEdit;
class TLabel;
class TdxBarItem;
class TdxBarManager;

class TdxBarItemAddEditor : public TForm {
  ORV_CLASS(TdxBarItemAddEditor, TForm)
 public:
  explicit TdxBarItemAddEditor(TComponent* owner);

  TComboBox* GetClassComboBox() const { return ComboBox1; }
  TComboBox* GetCategoryComboBox() const { return ComboBox2; }
  TEdit* GetNameEdit() const { return Edit1; }
  TEdit* GetCaptionEdit() const { return Edit2; }
  TButton* GetOKButton() const { return BOk; }
  TButton* GetCancelButton() const { return BCancel; }

 private:
  friend TdxBarItem* ShowItemAddEditor(TdxBarManager* manager, Integer categoryIndex);
  void FormShow(TObject* sender);
  // Proposes a fresh unique name for the kind now chosen.
  void ComboBox1Click(TObject* sender);
  void BOkClick(TObject* sender);
  TLabel* LType = nullptr;
  TLabel* LCategory = nullptr;
  TLabel* LName = nullptr;
  TLabel* LCaption = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TComboBox* ComboBox2 = nullptr;
  TEdit* Edit1 = nullptr;
  TEdit* Edit2 = nullptr;
  TButton* BOk = nullptr;
  TButton* BCancel = nullptr;
  TdxBarManager* FBarManager = nullptr;
  TdxBarItem* FItem = nullptr;
};

// Modal: the new item, or nil when cancelled. `categoryIndex` outside the manager's categories
// chooses the first one.
TdxBarItem* ShowItemAddEditor(TdxBarManager* manager, Integer categoryIndex);
// The dialog open now (nil when none).
TdxBarItemAddEditor* GetActiveItemAddEditor();
