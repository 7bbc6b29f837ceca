// The dialog that picks the items and groups to add to a bar group: every other group of the
// manager, then the items of each category under its name; members already in the group are
// shown greyed.
#pragma once

#include "components/bars/dxBar.h"
#include "platform/controls/Forms.h"

class TButton;
class TListBox;
class TObjectList;
class TPanel;

class TfrmAddGroupItems : public TForm {
  ORV_CLASS(TfrmAddGroupItems, TForm)
 public:
  explicit TfrmAddGroupItems(TComponent* owner);
  void BeforeDestruction() override;

  // Lists what may be added to `group` (the group itself is not offered).
  void FillList(TdxBarGroup* group);

  TListBox* GetListBox() const { return lbGroupItems; }
  TButton* GetOKButton() const { return btnOk; }
  TButton* GetCancelButton() const { return btnCancel; }

 private:
  friend Boolean ShowAddGroupItems(TdxBarGroup* group, TObjectList* list);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void lbGroupItemsDrawItem(TWinControl* control, Integer index, TRect rect, TOwnerDrawState state);
  void lbGroupItemsMeasureItem(TWinControl* control, Integer index, Integer& height);
  // The rows and the room below them are all painted by the draw handler, so the list never
  // erases its background (which would flicker).
  void ListWndProc(TMessage& message);
  TPanel* Panel1 = nullptr;
  TPanel* Panel2 = nullptr;
  TPanel* Panel3 = nullptr;
  TPanel* Panel4 = nullptr;
  TPanel* Panel5 = nullptr;
  TButton* btnOk = nullptr;
  TButton* btnCancel = nullptr;
  TListBox* lbGroupItems = nullptr;
  TdxBarGroup* FGroup = nullptr;
  TObjectList* FList = nullptr;
  TWndMethod FPrevListWndProc;
};

// Modal: True when confirmed with OK; the objects of the chosen rows are then appended to
// `list` in row order (a header row appends nil, which the group ignores).
Boolean ShowAddGroupItems(TdxBarGroup* group, TObjectList* list);
// The dialog open now (nil when none).
TfrmAddGroupItems* GetActiveAddGroupItemsDialog();
