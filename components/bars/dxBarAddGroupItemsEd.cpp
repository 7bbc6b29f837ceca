#include "components/bars/dxBarAddGroupItemsEd.h"

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Lists.h"
#include "platform/windowing/User.h"

namespace {
TfrmAddGroupItems* gActiveAddGroupItems = nullptr;

TPanel* MakeMargin(TWinControl* parent, TAlign align, Integer size) {
  auto* panel = new TPanel(parent);
  panel->SetParent(parent);
  panel->SetAlign(align);
  if (align == alLeft || align == alRight)
    panel->SetWidth(size);
  else
    panel->SetHeight(size);
  panel->SetBevelOuter(bvNone);
  panel->SetCaption(AnsiString());
  return panel;
}

TButton* MakeButton(TWinControl* parent, Integer left, const char* caption) {
  auto* button = new TButton(parent);
  button->SetParent(parent);
  button->SetBounds(left, 7, 76, 23);
  button->SetCaption(caption);
  return button;
}

Boolean IsHeaderRow(const AnsiString& text) { return !text.empty() && text[0] == '~'; }
}  // namespace

TfrmAddGroupItems* GetActiveAddGroupItemsDialog() { return gActiveAddGroupItems; }

TfrmAddGroupItems::TfrmAddGroupItems(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsSizeable);
  SetPosition(poScreenCenter);
  SetWidth(364);
  SetHeight(400);
  SetCaption("Add Group Items");
  SetOnCloseQuery(TCloseQueryEvent(this, &TfrmAddGroupItems::FormCloseQuery));
  Panel1 = MakeMargin(this, alBottom, 34);
  Panel5 = MakeMargin(Panel1, alRight, 165);
  btnOk = MakeButton(Panel5, 0, "OK");
  btnOk->SetDefault(true);
  btnOk->SetModalResult(mrOk);
  btnCancel = MakeButton(Panel5, 84, "Cancel");
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);
  Panel2 = MakeMargin(this, alLeft, 5);
  Panel3 = MakeMargin(this, alRight, 5);
  Panel4 = MakeMargin(this, alTop, 5);
  lbGroupItems = new TListBox(this);
  lbGroupItems->SetParent(this);
  lbGroupItems->SetAlign(alClient);
  lbGroupItems->SetStyle(lbOwnerDrawVariable);
  lbGroupItems->SetMultiSelect(true);
  lbGroupItems->SetOnDrawItem(TDrawItemEvent(this, &TfrmAddGroupItems::lbGroupItemsDrawItem));
  lbGroupItems->SetOnMeasureItem(TMeasureItemEvent(this, &TfrmAddGroupItems::lbGroupItemsMeasureItem));
  // A list made wider repaints as a whole: the item rows split at half the width.
  const HWND listWindow = lbGroupItems->GetHandle();
  SetClassLong(listWindow, GCL_STYLE, LONG(GetClassLong(listWindow, GCL_STYLE) | CS_HREDRAW));
  FPrevListWndProc = lbGroupItems->GetWindowProc();
  lbGroupItems->SetWindowProc(TWndMethod(this, &TfrmAddGroupItems::ListWndProc));
}

void TfrmAddGroupItems::BeforeDestruction() {
  if (lbGroupItems) lbGroupItems->SetWindowProc(FPrevListWndProc);
  inherited::BeforeDestruction();
}

void TfrmAddGroupItems::ListWndProc(TMessage& message) {
  if (message.Msg == WM_ERASEBKGND) {
    message.Result = 1;
    return;
  }
  FPrevListWndProc(message);
}

void TfrmAddGroupItems::FillList(TdxBarGroup* group) {
  FGroup = group;
  TdxBarManager* manager = group->GetBarManager();
  if (!manager) return;
  GetFont()->Assign(manager->GetFont());
  TStrings* rows = lbGroupItems->GetItems();
  rows->BeginUpdate();
  try {
    rows->Clear();
    if (manager->GetGroupCount() > 1) {
      rows->Add("~< Groups >");
      for (Integer i = 0; i < manager->GetGroupCount(); ++i) {
        TdxBarGroup* other = manager->GetGroup(i);
        if (other != group) rows->AddObject(other->GetName(), other);
      }
    }
    TList items;
    for (Integer category = 0; category < manager->GetCategories()->GetCount(); ++category) {
      items.Clear();
      manager->GetItemsByCategory(category, &items);
      if (items.GetCount() == 0) continue;
      rows->Add("~" + manager->GetCategories()->Get(category));
      for (Integer i = 0; i < items.GetCount(); ++i) {
        auto* item = static_cast<TdxBarItem*>(items.Get(i));
        rows->AddObject(item->GetCaption(), item);
      }
    }
  } catch (...) {
    rows->EndUpdate();
    throw;
  }
  rows->EndUpdate();
}

void TfrmAddGroupItems::lbGroupItemsMeasureItem(TWinControl* control, Integer index, Integer& height) {
  height = lbGroupItems->GetCanvas()->TextHeight("Qq") + 2;
}

void TfrmAddGroupItems::lbGroupItemsDrawItem(TWinControl* control, Integer index, TRect rect,
                                             TOwnerDrawState state) {
  TCanvas* canvas = lbGroupItems->GetCanvas();
  AnsiString text = lbGroupItems->GetItems()->Get(index);
  TObject* object = lbGroupItems->GetItems()->GetObject(index);
  if (IsHeaderRow(text)) {
    text.erase(0, 1);
    canvas->GetFont()->SetColor(clBtnText);
    canvas->GetBrush()->SetColor(clBtnFace);
    ExtTextOut(canvas->GetHandle(), rect.Left + 2, rect.Top + 1, ETO_OPAQUE | ETO_CLIPPED, &rect, text.c_str(),
               UINT(text.size()), nullptr);
  } else {
    auto* item = dynamic_cast<TdxBarItem*>(object);
    text = "   " + text;
    TRect textRect = rect;
    if (item) textRect.Right = (rect.Left + rect.Right) / 2;
    auto* component = dynamic_cast<TdxBarComponent*>(object);
    if (FGroup && component && FGroup->IndexOf(component) != -1) {
      // Already a member: greyed, though it can still be chosen.
      canvas->GetFont()->SetColor(clBtnFace);
      canvas->GetBrush()->SetColor(clWindow);
    }
    canvas->FillRect(textRect);
    SetBkMode(canvas->GetHandle(), TRANSPARENT);
    RECT r = textRect;
    DrawText(canvas->GetHandle(), text.c_str(), int(text.size()), &r, DT_VCENTER | DT_SINGLELINE);
    SetBkMode(canvas->GetHandle(), OPAQUE);
    if (item) {
      const int lineColor = canvas->GetBrush()->GetColor() == clHighlight ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
      RECT line{textRect.Right, rect.Top, textRect.Right + 1, rect.Bottom};
      FillRect(canvas->GetHandle(), &line, GetSysColorBrush(lineColor));
      const TRect namePart{textRect.Right + 1, rect.Top, rect.Right, rect.Bottom};
      const AnsiString name = item->GetName();
      ExtTextOut(canvas->GetHandle(), namePart.Left + 2, rect.Top + 1, ETO_OPAQUE | ETO_CLIPPED, &namePart,
                 name.c_str(), UINT(name.size()), nullptr);
    }
  }
  if (index == lbGroupItems->GetItems()->GetCount() - 1) {
    RECT below{rect.Left, rect.Bottom, lbGroupItems->GetClientWidth(), lbGroupItems->GetClientHeight()};
    if (below.Bottom > below.Top) FillRect(canvas->GetHandle(), &below, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void TfrmAddGroupItems::FormCloseQuery(TObject* sender, bool& canClose) {
  if (GetModalResult() != mrOk || !FList) return;
  for (Integer i = 0; i < lbGroupItems->GetItems()->GetCount(); ++i)
    if (lbGroupItems->GetSelected(i)) FList->Add(lbGroupItems->GetItems()->GetObject(i));
}

Boolean ShowAddGroupItems(TdxBarGroup* group, TObjectList* list) {
  auto* dialog = new TfrmAddGroupItems(nullptr);
  dialog->AfterConstruction();
  TfrmAddGroupItems* previous = gActiveAddGroupItems;
  gActiveAddGroupItems = dialog;
  Boolean result = false;
  try {
    dialog->FillList(group);
    dialog->FList = list;
    result = dialog->ShowModal() == mrOk;
  } catch (...) {
    gActiveAddGroupItems = previous;
    dialog->Free();
    throw;
  }
  gActiveAddGroupItems = previous;
  dialog->Free();
  return result;
}
