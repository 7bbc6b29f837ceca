// The small dialog that asks for a name while bars are customized: the caption of a new
// toolbar, a new caption for a toolbar, or the name of a category.
#pragma once

#include "platform/controls/Forms.h"

class TButton;
class TEdit;
class TLabel;
class TdxBar;
class TdxBarManager;

class TdxBarNameEd : public TForm {
  ORV_CLASS(TdxBarNameEd, TForm)
 public:
  explicit TdxBarNameEd(TComponent* owner);

  TLabel* GetNameLabel() const { return LName; }
  TEdit* GetNameEdit() const { return EName; }
  TButton* GetOKButton() const { return BOK; }
  TButton* GetCancelButton() const { return BCancel; }

 private:
  friend Boolean ShowNameEditor(AnsiString& name, Integer kind, Integer mode, TdxBar* bar, TdxBarManager* manager);
  void ENameChange(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  TLabel* LName = nullptr;
  TEdit* EName = nullptr;
  TButton* BOK = nullptr;
  TButton* BCancel = nullptr;
  // 0 a toolbar, anything else a category.
  Integer FKind = 0;
  TdxBarManager* FManager = nullptr;
  // The toolbar being renamed (nil when one is added, and for categories).
  TdxBar* FBar = nullptr;
};

// Asks for a name (modal). `kind` 0 is a toolbar, with `mode` 0 adding and 1 renaming `bar`;
// any other kind is a category, with `mode` 0 adding, 1 inserting and 2 renaming. True and the
// new text in `name` when confirmed; `name` stays as it was otherwise. A toolbar's new caption
// must not be another toolbar's.
Boolean ShowNameEditor(AnsiString& name, Integer kind, Integer mode, TdxBar* bar, TdxBarManager* manager);
// The name dialog open now (nil when none).
TdxBarNameEd* GetActiveNameEditor();
