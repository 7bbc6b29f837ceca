// The editor base control: the value pipeline (change events, their locking, the modified flags),
// editing permission, validation, repository items, the in-place edit list, the view data's
// layout of borders and buttons, hit tests, painting of the frame, and keys and mouse on the
// headless window system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditPaintUtils.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

class TTestEditProperties : public TcxCustomEditProperties {
  ORV_CLASS(TTestEditProperties, TcxCustomEditProperties)
 public:
  explicit TTestEditProperties(TPersistent* owner) : TcxCustomEditProperties(owner) {}
  Boolean SupportsValidation() override { return true; }
  Boolean IsEditValueComparable() override { return true; }
  Boolean IsValueRevertible() override { return true; }
  TcxCustomEditClass GetEditClass() override;
};

// An editor that shows its value as text in a field of its own (no inner control).
class TTestEdit : public TcxCustomEdit {
  ORV_CLASS(TTestEdit, TcxCustomEdit)
 public:
  explicit TTestEdit(TComponent* owner) : TcxCustomEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TTestEditProperties::StaticClass(); }
  void GetDisplayText(AnsiString& text) override { text = Shown; }
  void SetInnerDisplayValue(const Variant& value) override { Shown = VarToStr(value); }
  void UpdateDisplayValue() override {
    Variant v;
    GetEditValue(v);
    Shown = VarIsNull(v) ? AnsiString() : VarToStr(v);
  }
  void StoreDisplayValue(const Variant& value) override { Stored = VarToStr(value); }
  void SelectAll() override { ++Selects; }
  void HandlePropertiesChange(TObject* sender) override {
    ++PropertiesChanges;
    inherited::HandlePropertiesChange(sender);
  }
  void DoButtonDown(Integer index) override { Log.push_back("down " + std::to_string(index)); }
  void DoButtonUp(Integer index) override { Log.push_back("up " + std::to_string(index)); }
  void DoButtonClick(Integer index) override {
    Log.push_back("click " + std::to_string(index));
    inherited::DoButtonClick(index);
  }
  Boolean IsValueChangingKey(Word key, TShiftState shift) override { return key == VK_DELETE; }
  // A user change as typing makes it.
  void Type(const AnsiString& text) {
    SetUserChangeInProgress(true);
    SetModifiedAfterEnter(true);
    Shown = text;
    SetUserChangeInProgress(false);
  }
  AnsiString Shown;
  AnsiString Stored;
  int Selects = 0;
  int PropertiesChanges = 0;
  std::vector<std::string> Log;
};

TcxCustomEditClass TTestEditProperties::GetEditClass() { return TTestEdit::StaticClass(); }

// A properties class beside the test editor's.
class TOtherProperties : public TcxCustomEditProperties {
  ORV_CLASS(TOtherProperties, TcxCustomEditProperties)
 public:
  explicit TOtherProperties(TPersistent* owner) : TcxCustomEditProperties(owner) {}
};

class TOtherItem : public TcxEditRepositoryItem {
  ORV_CLASS(TOtherItem, TcxEditRepositoryItem)
 public:
  explicit TOtherItem(TComponent* owner) : TcxEditRepositoryItem(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TOtherProperties::StaticClass(); }
};

class TTestItem : public TcxEditRepositoryItem {
  ORV_CLASS(TTestItem, TcxEditRepositoryItem)
 public:
  explicit TTestItem(TComponent* owner) : TcxEditRepositoryItem(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TTestEditProperties::StaticClass(); }
};

// Records the events an editor fires.
class TEventLog : public TObject {
 public:
  void Change(TObject* sender) {
    auto* edit = static_cast<TcxCustomEdit*>(sender);
    Events.push_back("change");
    ModifiedInHandler = edit->GetModified() && edit->GetModifiedAfterEnter();
  }
  void EditValueChanged(TObject*) { Events.push_back("value"); }
  void Validate(TObject*, Variant& displayValue, AnsiString& errorText, Boolean& error) {
    Events.push_back("validate");
    if (Reject) {
      error = true;
      errorText = "Not a town";
      if (!Replacement.empty()) displayValue = Variant(Replacement);
    }
  }
  void Editing(TObject* sender, Boolean& canEdit) {
    Events.push_back("editing");
    static_cast<TcxCustomEdit*>(sender)->SetEditValueProperty(Variant(Integer(5)));
  }
  void ButtonClick(TObject*, Integer index) { Events.push_back("button " + std::to_string(index)); }
  void OwnerKey(TObject*, Word& key, TShiftState) { Keys.push_back(key); }
  std::vector<std::string> Events;
  std::vector<Word> Keys;
  bool ModifiedInHandler = false;
  bool Reject = false;
  AnsiString Replacement;
};

class EditTest : public orv::test::HeadlessFormTest {
 protected:
  EditTest() : HeadlessFormTest({100, 100, 300, 200}) {}
  TTestEdit* Add(Integer x = 10, Integer y = 10, Integer w = 120, Integer h = 21) {
    auto* e = new TTestEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(x, y, w, h);
    return e;
  }
  void Listen(TcxCustomEdit* e) {
    e->GetProperties()->SetOnChange(TNotifyEvent(&Log, &TEventLog::Change));
    e->GetProperties()->SetOnEditValueChanged(TNotifyEvent(&Log, &TEventLog::EditValueChanged));
  }
  static COLORREF Pixel(TWinControl* c, int x, int y) {
    const orv::TSurface s = orv::headless::CaptureWindow(c->GetHandle());
    const std::uint32_t p = s.Pixel(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  TEventLog Log;
};

TEST_F(EditTest, ValueChangesFireEventsOnlyForRealChanges) {
  TTestEdit* e = Add();
  Listen(e);
  e->SetEditValueProperty(Variant(Integer(1)));
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"value", "change"}));
  EXPECT_EQ(e->Shown, "1");
  Log.Events.clear();
  e->SetEditValueProperty(Variant(Integer(1)));
  EXPECT_TRUE(Log.Events.empty());
  // A string "1" is another value than the number 1.
  e->SetEditValueProperty(Variant(AnsiString("1")));
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"value", "change"}));
  EXPECT_FALSE(e->GetModified());
}

TEST_F(EditTest, LockedChangesFireOnceWhenTheLastLockEnds) {
  TTestEdit* e = Add();
  Listen(e);
  e->LockChangeEvents(true);
  e->LockChangeEvents(true);
  for (Integer v : {1, 2, 3}) e->SetEditValueProperty(Variant(v));
  e->LockChangeEvents(false);
  EXPECT_TRUE(Log.Events.empty());
  e->LockChangeEvents(false);
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"change", "value"}));
  EXPECT_FALSE(Log.ModifiedInHandler);

  Log.Events.clear();
  e->LockChangeEvents(true);
  e->SetEditValueProperty(Variant(Integer(4)));
  e->LockChangeEvents(false, false);
  EXPECT_TRUE(Log.Events.empty());
  // An unlock without a lock is ignored.
  e->LockChangeEvents(false);
  EXPECT_EQ(e->GetChangeEventsCatcher()->GetLockCount(), 0);
}

TEST_F(EditTest, InplaceChangeHandlersSeeTheEditorModified) {
  Owned<TcxCustomEdit> e(TcxCustomEdit::CreateInplace(TTestEdit::StaticClass(), nullptr, true));
  EXPECT_TRUE(e->IsInplace());
  EXPECT_FALSE(e->GetAutoSize());
  Listen(e.get());
  e->SetEditValueProperty(Variant(Integer(7)));
  EXPECT_TRUE(Log.ModifiedInHandler);
  EXPECT_FALSE(e->GetModified());
  EXPECT_FALSE(e->GetModifiedAfterEnter());
  EXPECT_EQ(e->GetModifiedFlagsStackDepth(), 0);
}

TEST_F(EditTest, ValueSetWhileTheHostDecidesOnEditingIsIgnored) {
  Owned<TcxCustomEdit> e(TcxCustomEdit::CreateInplace(TTestEdit::StaticClass(), nullptr, true));
  e->SetOnEditing(TcxEditEditingEvent(&Log, &TEventLog::Editing));
  e->SetUserChangeInProgress(true);
  e->SetEditValueProperty(Variant(Integer(9)));
  e->SetUserChangeInProgress(false);
  ASSERT_FALSE(Log.Events.empty());
  EXPECT_EQ(Log.Events.front(), "editing");
  EXPECT_EQ(VarToStr(e->GetEditValueProperty()), "9");
  EXPECT_TRUE(e->GetModifiedAfterEnter());
}

TEST_F(EditTest, RepositoryItemsMustCarryTheEditorsPropertiesClass) {
  TTestEdit* e = Add();
  Owned<TcxEditRepository> repository(new TcxEditRepository(nullptr));
  TcxEditRepositoryItem* other = repository->CreateItem(TOtherItem::StaticClass());
  try {
    e->SetRepositoryItem(other);
    FAIL() << "a sibling properties class was accepted";
  } catch (const EcxEditError& error) {
    EXPECT_EQ(error.GetMessage(), "The repository item is not acceptable");
  }
  EXPECT_EQ(e->GetRepositoryItem(), nullptr);

  TcxEditRepositoryItem* item = repository->CreateItem(TTestItem::StaticClass());
  e->SetRepositoryItem(item);
  EXPECT_EQ(e->GetEffectiveProperties(), item->GetProperties());
  const int before = e->PropertiesChanges;
  item->GetProperties()->SetBeepOnError(true);
  EXPECT_EQ(e->PropertiesChanges, before + 1);
  // Events fire from the own properties first, then from the item's.
  item->GetProperties()->SetOnButtonClick(TcxEditButtonClickEvent(&Log, &TEventLog::ButtonClick));
  e->GetProperties()->SetOnButtonClick(TcxEditButtonClickEvent(&Log, &TEventLog::ButtonClick));
  e->DoButtonClick(0);
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"button 0", "button 0"}));

  // The item goes: the editor keeps working with its own properties.
  repository.reset();
  EXPECT_EQ(e->GetRepositoryItem(), nullptr);
  EXPECT_EQ(e->GetEffectiveProperties(), e->GetProperties());
}

TEST_F(EditTest, ValidationRaisesWithTheHandlersTextAndShowsItsValue) {
  TTestEdit* e = Add();
  Show();
  e->GetProperties()->SetOnValidate(TcxEditValidateEvent(&Log, &TEventLog::Validate));
  e->Type("Moskva");
  Log.Reject = true;
  Log.Replacement = "Moscow?";
  try {
    e->ValidateEditValue(true);
    FAIL() << "no validation error";
  } catch (const EcxEditValidationError& error) {
    EXPECT_EQ(error.GetMessage(), "Not a town");
  }
  EXPECT_EQ(e->Shown, "Moscow?");
  EXPECT_GE(e->Selects, 1);
  EXPECT_TRUE(e->Focused());
  EXPECT_TRUE(e->GetModifiedAfterEnter());
  EXPECT_FALSE(e->IsValidating());

  // Accepted: the display value is stored and validation is done until the next change.
  Log.Reject = false;
  EXPECT_TRUE(e->ValidateEditValue(true));
  EXPECT_EQ(e->Stored, "Moscow?");
  EXPECT_TRUE(e->IsEditValidated());
  Log.Events.clear();
  EXPECT_TRUE(e->ValidateEditValue(true));
  EXPECT_TRUE(Log.Events.empty());
}

TEST_F(EditTest, AnEditorThatCannotTakeTheFocusAcceptsTheError) {
  TTestEdit* e = Add();
  e->GetProperties()->SetOnValidate(TcxEditValidateEvent(&Log, &TEventLog::Validate));
  e->Type("x");
  Log.Reject = true;
  EXPECT_NO_THROW(EXPECT_FALSE(e->ValidateEditValue(true)));
  EXPECT_TRUE(e->IsEditValidated());
}

TEST_F(EditTest, EscapeRevertsAndClearKeyClearsAndPosts) {
  TTestEdit* e = Add();
  e->SetEditValueProperty(Variant(AnsiString("Paris")));
  Show();
  e->SetFocus();
  Run();
  ASSERT_TRUE(e->Focused());
  EXPECT_EQ(VarToStr(e->GetValueAtEnter()), "Paris");
  e->SetUserChangeInProgress(true);
  e->SetEditValueProperty(Variant(AnsiString("Rome")));
  e->SetUserChangeInProgress(false);
  ASSERT_TRUE(e->GetModifiedAfterEnter());
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_EQ(VarToStr(e->GetEditValueProperty()), "Paris");
  EXPECT_FALSE(e->GetModifiedAfterEnter());
  EXPECT_TRUE(e->GetModified());

  // A clear key of 0 never clears; Ctrl+Delete does once it is the clear key.
  orv::headless::PressKey(VK_DELETE, false, true);
  Run();
  EXPECT_EQ(VarToStr(e->GetEditValueProperty()), "Paris");
  e->GetProperties()->SetClearKey(ShortCut(VK_DELETE, false, true, false));
  e->GetProperties()->SetImmediatePost(true);
  orv::headless::PressKey(VK_DELETE, false, true);
  Run();
  EXPECT_TRUE(VarIsNull(e->GetEditValueProperty()));
  EXPECT_TRUE(e->IsEditValidated());
}

TEST_F(EditTest, NavigationKeysGoToTheOwner) {
  auto* e = static_cast<TTestEdit*>(TcxCustomEdit::CreateInplace(TTestEdit::StaticClass(), Form.get(), true));
  e->SetParent(Form.get());
  e->SetBounds(10, 10, 100, 20);
  e->SetOnOwnerKeyDown(TKeyEvent(&Log, &TEventLog::OwnerKey));
  Show();
  e->SetFocus();
  Run();
  orv::headless::PressKey(VK_DOWN);
  orv::headless::PressKey(VK_HOME);
  Run();
  EXPECT_EQ(Log.Keys, (std::vector<Word>{VK_DOWN, VK_HOME}));
}

TEST_F(EditTest, ButtonsAreLaidOutPressedAndClicked) {
  auto* e = new TTestEdit(Form.get());
  e->SetAutoSize(false);
  e->SetParent(Form.get());
  e->SetBounds(10, 10, 120, 21);
  e->GetProperties()->GetButtons()->Add()->SetKind(bkEllipsis);
  e->GetEditStyle()->SetEditBorderStyle(ebsSingle);
  e->GetEditStyle()->SetTransparentBorder(false);
  // Hot and focused styles would raise the single frame to a thick one.
  e->GetEditStyle()->SetHotTrack(false);
  Show();
  TcxCustomEditViewInfo* viewInfo = e->GetEditViewInfo();
  ASSERT_EQ(viewInfo->GetButtonCount(), 1);
  const Integer s = GetSystemMetrics(SM_CYHSCROLL);
  EXPECT_EQ(viewInfo->GetButton(0)->Bounds, (TRect{119 - s, 1, 119, 20}));
  EXPECT_EQ(viewInfo->ClientRect, (TRect{1, 1, 119 - s, 20}));
  EXPECT_EQ(viewInfo->GetPartIndexAt(TPoint{0, 5}), -2);
  EXPECT_EQ(viewInfo->GetPartIndexAt(TPoint{5, 5}), -1);
  // The single frame is drawn in the style's border colour.
  EXPECT_EQ(Pixel(e, 0, 5), ColorToRGB(e->GetEditStyle()->GetBorderColor()));

  const TPoint p = e->ClientToScreen(Point(119 - s / 2, 10));
  orv::headless::MouseMove(p.X, p.Y);
  Run();
  EXPECT_EQ(e->GetButtonIndexAt(TPoint{119 - s / 2, 10}), 0);
  orv::headless::MouseDown();
  Run();
  EXPECT_EQ(viewInfo->GetButton(0)->State, ebsPressed);
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(e->Log, (std::vector<std::string>{"down 0", "up 0", "click 0"}));

  // Released elsewhere: only up.
  e->Log.clear();
  orv::headless::MouseDown();
  Run();
  const TPoint away = e->ClientToScreen(Point(5, 10));
  orv::headless::MouseMove(away.X, away.Y);
  Run();
  orv::headless::MouseUp();
  Run();
  ASSERT_FALSE(e->Log.empty());
  EXPECT_EQ(e->Log.front(), "down 0");
  EXPECT_EQ(std::count(e->Log.begin(), e->Log.end(), "click 0"), 0);
}

TEST_F(EditTest, BorderExtentsAndStretchedButtons) {
  Owned<TTestEditProperties> properties(new TTestEditProperties(nullptr));
  Owned<TcxEditStyle> style(new TcxEditStyle(nullptr, false));
  style->SetEditBorderStyle(ebsSingle);
  style->SetTransparentBorder(false);
  style->SetShadow(true);
  Owned<TcxCustomEditViewData> standAlone(properties->CreateViewData(style.get(), false));
  EXPECT_EQ(standAlone->GetBorderExtent(), (TRect{1, 1, 4, 4}));

  TcxEditButton* first = properties->GetButtons()->Add();
  TcxEditButton* second = properties->GetButtons()->Add();
  first->SetWidth(17);
  second->SetWidth(34);
  properties->SetButtonsViewStyle(2);
  Owned<TcxCustomEditViewData> inplace(properties->CreateViewData(style.get(), true));
  Owned<TcxCustomEditViewInfo> viewInfo(new TcxCustomEditViewInfo);
  TcxScreenCanvas* canvas = GetScreenCanvas();
  inplace->CalculateViewInfo(canvas, TRect{0, 0, 81, 20}, false, viewInfo.get());
  ASSERT_EQ(viewInfo->GetButtonCount(), 2);
  EXPECT_EQ(viewInfo->GetButton(0)->Bounds, (TRect{0, 0, 27, 20}));
  EXPECT_EQ(viewInfo->GetButton(1)->Bounds, (TRect{27, 0, 81, 20}));

  // Stand-alone editors with the same style do not stretch.
  Owned<TcxCustomEditViewInfo> plain(new TcxCustomEditViewInfo);
  style->SetShadow(false);
  Owned<TcxCustomEditViewData> unstretched(properties->CreateViewData(style.get(), false));
  unstretched->CalculateViewInfo(canvas, TRect{0, 0, 81, 20}, false, plain.get());
  EXPECT_EQ(plain->GetButton(1)->Bounds, (TRect{46, 1, 80, 19}));
  EXPECT_EQ(plain->GetButton(0)->Bounds, (TRect{29, 1, 46, 19}));

  // Hidden while neither focused nor hot.
  style->SetButtonTransparency(ebtHideUnselected);
  Owned<TcxCustomEditViewData> hiding(properties->CreateViewData(style.get(), false));
  hiding->CalculateViewInfo(canvas, TRect{0, 0, 81, 20}, false, plain.get());
  EXPECT_EQ(plain->GetButtonCount(), 0);
}

TEST_F(EditTest, InplaceEditListKeepsOneEditorPerProperties) {
  Owned<TcxInplaceEditList> list(new TcxInplaceEditList(Form.get()));
  Owned<TTestEditProperties> a(new TTestEditProperties(nullptr));
  Owned<TTestEditProperties> b(new TTestEditProperties(nullptr));
  a->SetBeepOnError(true);
  TcxCustomEdit* editA = list->GetEditorFor(a.get());
  TcxCustomEdit* editB = list->GetEditorFor(b.get());
  EXPECT_NE(editA, editB);
  EXPECT_TRUE(editA->IsInplace());
  EXPECT_FALSE(editA->GetVisible());
  EXPECT_TRUE(editA->GetProperties()->GetBeepOnError());
  EXPECT_EQ(list->GetEditorFor(a.get()), editA);

  // A later change of the column's properties arrives at the next activation.
  a->SetImmediatePost(true);
  list->GetEditorFor(a.get());
  EXPECT_TRUE(editA->GetProperties()->GetImmediatePost());

  // Freed properties leave their editor for another properties object of the class.
  a.reset();
  EXPECT_EQ(list->GetPairedProperties(0), nullptr);
  Owned<TTestEditProperties> c(new TTestEditProperties(nullptr));
  EXPECT_EQ(list->GetEditorFor(c.get()), editA);
  EXPECT_EQ(list->GetCount(), 2);
  list->RemoveByProperties(b.get());
  EXPECT_EQ(list->GetCount(), 1);
}

}  // namespace

namespace {

// A label-like editor: its content is a box of a set width, it widens with it and keeps the
// anchor of its alignment in place.
class TBoxViewData : public TcxCustomEditViewData {
  ORV_CLASS(TBoxViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  void CalculateContentSize(TcxCanvas*, const Variant& value, TSize& size, const TcxEditSizeProperties&) override {
    size = TSize{VarIsNull(value) ? 10 : value.AsInteger(), 13};
  }
};

class TBoxProperties : public TTestEditProperties {
  ORV_CLASS(TBoxProperties, TTestEditProperties)
 public:
  explicit TBoxProperties(TPersistent* owner) : TTestEditProperties(owner) {}
  TcxCustomEditViewDataClass GetViewDataClass() override { return TBoxViewData::StaticClass(); }
};

class TBoxEdit : public TTestEdit {
  ORV_CLASS(TBoxEdit, TTestEdit)
 public:
  explicit TBoxEdit(TComponent* owner) : TTestEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TBoxProperties::StaticClass(); }
  Boolean CanAutoWidth() override { return true; }
  Boolean UsesAnchorX() override { return true; }
};

// Records which custom values an object would write.
class TRecordingFiler : public TFiler {
 public:
  void DefineProperty(const AnsiString& name, TReaderProc, TWriterProc, bool hasData) override {
    Written[name] = hasData;
  }
  void DefineBinaryProperty(const AnsiString& name, TStreamProc, TStreamProc, bool hasData) override {
    Written[name] = hasData;
  }
  std::map<AnsiString, bool> Written;
};

TEST_F(EditTest, AutoSizedEditorsKeepTheirAnchor) {
  auto* e = new TBoxEdit(Form.get());
  e->SetParent(Form.get());
  e->GetEditStyle()->SetHotTrack(false);
  e->GetProperties()->GetAlignment()->SetHorz(taCenter);
  e->SetBounds(100, 10, 40, 21);
  Show();
  const Integer centre = e->GetLeft() + (e->GetWidth() + 1) / 2;
  // The content plus a transparent border of 2 on each side.
  EXPECT_EQ(e->GetWidth(), 10 + 4);
  EXPECT_EQ(e->GetAnchorX(), centre);
  e->SetEditValueProperty(Variant(Integer(60)));
  e->AlignInnerControl();
  EXPECT_EQ(e->GetWidth(), 60 + 4);
  EXPECT_EQ(e->GetLeft() + (e->GetWidth() + 1) / 2, centre);

  TRecordingFiler filer;
  e->DefineProperties(&filer);
  EXPECT_FALSE(filer.Written["Height"]);
  EXPECT_FALSE(filer.Written["Width"]);
  EXPECT_TRUE(filer.Written["AnchorX"]);
  EXPECT_FALSE(filer.Written["AnchorY"]);
  e->SetAutoSize(false);
  e->DefineProperties(&filer);
  EXPECT_TRUE(filer.Written["Height"]);
  EXPECT_TRUE(filer.Written["Width"]);
}

TEST_F(EditTest, InplaceStylesFollowNoDefaultController) {
  TTestEdit* standAlone = Add();
  Owned<TcxCustomEdit> inplace(TcxCustomEdit::CreateInplace(TTestEdit::StaticClass(), nullptr, true));
  EXPECT_EQ(standAlone->GetEditStyle()->GetDefaultController(), GetDefaultEditStyleController());
  EXPECT_EQ(inplace->GetStyle()->GetDefaultController(), nullptr);
  // The editor leaves the edit style's own values to the style's streaming.
  EXPECT_TRUE(standAlone->GetUnstoredStyleValues().Contains(TcxContainerStyleValue(svGradient)));
  EXPECT_FALSE(standAlone->GetUnstoredStyleValues().Contains(csvColor));
}

TEST_F(EditTest, ActivationByMousePressesTheButtonUnderIt) {
  auto* e = static_cast<TTestEdit*>(TcxCustomEdit::CreateInplace(TTestEdit::StaticClass(), Form.get(), true));
  e->GetProperties()->GetButtons()->Add()->SetWidth(16);
  e->SetParent(Form.get());
  e->SetBounds(10, 10, 100, 20);
  e->SetVisible(false);
  Show();
  TcxCustomEditData* data = nullptr;
  TShiftState shift{ssLeft};
  // The host's point: the button's middle in the form's client coordinates.
  e->ActivateByMouse(shift, 10 + 92, 20, data);
  Run();
  EXPECT_TRUE(e->IsActivated());
  EXPECT_TRUE(e->GetVisible());
  ASSERT_FALSE(e->Log.empty());
  EXPECT_EQ(e->Log.front(), "down 0");
  EXPECT_TRUE(e->GetDblClickTimer()->GetEnabled());
  EXPECT_TRUE(e->Deactivate());
  EXPECT_FALSE(e->GetDblClickTimer()->GetEnabled());
  // In place the wheel changes the value only when the properties allow it or Ctrl is held.
  EXPECT_TRUE(e->CanUseMouseWheel({}));
  e->GetProperties()->SetMouseWheelEnabled(false);
  EXPECT_FALSE(e->CanUseMouseWheel({}));
  EXPECT_TRUE(e->CanUseMouseWheel(TShiftState{ssCtrl}));
}

TEST(cxEditRegistry, PropertiesClassesAreListedByDescription) {
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  // The editor kinds of this library may already be registered.
  const Integer before = registry->GetCount();
  registry->AddClass(TTestEditProperties::StaticClass(), "TextEdit|Represents a single line text editor");
  registry->AddClass(TOtherProperties::StaticClass(), "ButtonEdit|Represents an edit control with embedded buttons");
  EXPECT_EQ(registry->GetItem(0), TOtherProperties::StaticClass());
  EXPECT_EQ(registry->GetItemDescription(0), "ButtonEdit");
  registry->RemoveClass(TTestEditProperties::StaticClass());
  registry->RemoveClass(TOtherProperties::StaticClass());
  EXPECT_EQ(registry->GetCount(), before);
}

}  // namespace

namespace {

ORV_PUBLISH(TTestEdit) {}

TEST_F(EditTest, FormTextLeavesOutTheSizeAnAutoSizedEditorComputes) {
  TTestEdit* e = Add(10, 10, 120, 21);
  e->SetName("Edit1");
  const auto block = [&] {
    const AnsiString text = orv::WriteComponentToText(Form.get());
    const std::size_t at = text.find("object Edit1");
    return at == AnsiString::npos ? AnsiString() : text.substr(at, text.find("end", at) - at);
  };
  AnsiString written = block();
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written.find("Height"), AnsiString::npos) << written;
  // The width stays: this editor's width does not follow its content.
  EXPECT_NE(written.find("Width = 120"), AnsiString::npos) << written;
  e->SetAutoSize(false);
  e->SetHeight(30);
  written = block();
  EXPECT_NE(written.find("Height = 30"), AnsiString::npos) << written;
  EXPECT_NE(written.find("Width = 120"), AnsiString::npos) << written;
}

}  // namespace

namespace {

// A native edit window as an editor's inner control, reporting itself through the interface.
class TFakeInnerEdit : public TEdit, public IcxCustomInnerEdit {
  ORV_CLASS(TFakeInnerEdit, TEdit)
 public:
  explicit TFakeInnerEdit(TComponent* owner) : TEdit(owner) {}
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override { return dynamic_cast<TcxContainer*>(GetOwner()); }
  LRESULT CallDefWndProc(UINT, WPARAM, LPARAM) override { return 0; }
  Boolean RejectsClipboardMessages() override { return false; }
  void GetEditValue(Variant& value) override { value = Variant(GetText()); }
  TNotifyEvent GetOnChange() override { return TEdit::GetOnChange(); }
  Boolean GetReadOnly() override { return TEdit::GetReadOnly(); }
  void LockBounds(Boolean) override {}
  void SafelySetFocus() override { SetFocus(); }
  void SetEditValue(const Variant& value) override { SetText(VarToStr(value)); }
  void SetParent(TWinControl* value) override { TEdit::SetParent(value); }
  void SetOnChange(const TNotifyEvent& value) override { TEdit::SetOnChange(value); }
  void SetReadOnly(Boolean value) override { TEdit::SetReadOnly(value); }
};

class TSeparateProperties : public TTestEditProperties {
  ORV_CLASS(TSeparateProperties, TTestEditProperties)
 public:
  explicit TSeparateProperties(TPersistent* owner) : TTestEditProperties(owner) {}
  Boolean HasSeparateChangeEvents() override { return true; }
};

class TInnerEditEditor : public TTestEdit {
  ORV_CLASS(TInnerEditEditor, TTestEdit)
 public:
  explicit TInnerEditEditor(TComponent* owner) : TTestEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TSeparateProperties::StaticClass(); }
  TClass GetInnerEditClass() override { return TFakeInnerEdit::StaticClass(); }
};

TEST_F(EditTest, TheInnerControlReportsItsChangesAndTakesTheReadOnlyState) {
  auto* e = new TInnerEditEditor(Form.get());
  e->SetAutoSize(false);
  e->SetParent(Form.get());
  e->SetBounds(10, 10, 120, 21);
  e->GetEditStyle()->SetHotTrack(false);
  Listen(e);
  ASSERT_NE(e->GetInnerEdit(), nullptr);
  auto* inner = static_cast<TFakeInnerEdit*>(e->GetInnerEdit()->GetControl());
  EXPECT_EQ(e->GetInnerControl(), inner);
  EXPECT_EQ(inner->GetParent(), e);
  Show();
  EXPECT_EQ(inner->GetBoundsRect(), e->GetViewInfo()->ClientRect);

  e->SetFocus();
  Run();
  ASSERT_TRUE(e->Focused());
  inner->SetText("Oslo");
  Run();
  EXPECT_TRUE(e->GetModifiedAfterEnter());
  ASSERT_FALSE(Log.Events.empty());
  EXPECT_EQ(Log.Events.front(), "change");

  e->GetProperties()->SetReadOnly(true);
  EXPECT_TRUE(inner->GetReadOnly());
  // A read-only editor drops the modification it had.
  EXPECT_FALSE(e->GetModifiedAfterEnter());
  EXPECT_EQ(e->GetColorState(), 3);
}

}  // namespace
