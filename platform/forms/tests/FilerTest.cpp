// Reading and writing form descriptions with small component classes that publish every kind
// of property.
#include "platform/forms/Filer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Strings.h"

using namespace orv;

namespace {

// ---- Types of the test classes ----

enum TTestAlign { alNone, alTop, alBottom, alClient };
enum TTestAnchor { akLeft, akTop, akRight, akBottom };
using TTestAnchors = Set<TTestAnchor>;
enum TTestFontStyle { fsBold, fsItalic };
using TTestFontStyles = Set<TTestFontStyle>;

const EnumNames<TTestAlign> kAlignNames("TTestAlign", {"alNone", "alTop", "alBottom", "alClient"});
const EnumNames<TTestAnchor> kAnchorNames("TTestAnchor", {"akLeft", "akTop", "akRight", "akBottom"});
const EnumNames<TTestFontStyle> kFontStyleNames("TTestFontStyle", {"fsBold", "fsItalic"});

constexpr Integer kWindow = static_cast<Integer>(0xFF000005);
constexpr Integer kWindowText = static_cast<Integer>(0xFF000008);

// Colours are integers that forms write by name where one exists (an open, named kind).
struct ColourKind {
  ColourKind() {
    RegisterIntegerIdents("TTestColor", {{kWindow, "clWindow"}, {kWindowText, "clWindowText"}, {0xFFFFFF, "clWhite"}});
  }
  ~ColourKind() { UnregisterIntegerKind("TTestColor"); }
} const kColourKind;

// A value type with a converter of its own: "x,y" as a string.
struct TTestPoint {
  Integer X = 0, Y = 0;
  friend bool operator==(const TTestPoint&, const TTestPoint&) = default;
};
struct PointKind {
  PointKind() {
    RegisterValueKind<TTestPoint>(
        [](const TTestPoint& p) { return FormValue::Str(std::to_string(p.X) + "," + std::to_string(p.Y)); },
        [](const FormValue& v) {
          const AnsiString s = detail::ReadString(v);
          const auto comma = s.find(',');
          if (comma == AnsiString::npos) detail::BadValue(v);
          return TTestPoint{std::stoi(s.substr(0, comma)), std::stoi(s.substr(comma + 1))};
        });
  }
} const kPointKind;

std::vector<AnsiString>& Log() {
  static std::vector<AnsiString> log;
  return log;
}

// ---- A nested persistent object ----

class TTestFont : public TPersistent {
  ORV_CLASS(TTestFont, TPersistent)
 public:
  TTestFont() = default;
  const AnsiString& GetName() const { return FName; }
  void SetName(const AnsiString& v) { FName = v; }
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer v) { FHeight = v; }
  Integer GetColor() const { return FColor; }
  void SetColor(Integer v) { FColor = v; }
  TTestFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TTestFontStyles v) { FStyle = v; }

 private:
  AnsiString FName = "MS Sans Serif";
  Integer FHeight = -11;
  Integer FColor = kWindowText;
  TTestFontStyles FStyle;
};

ORV_PUBLISH(TTestFont) {
  using T = TTestFont;
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TTestColor").Default(kWindowText);
  p.Property("Height", &T::GetHeight, &T::SetHeight).Default(-11);
  p.Property("Name", &T::GetName, &T::SetName).Default("MS Sans Serif");
  p.Property("Style", &T::GetStyle, &T::SetStyle).Default(TTestFontStyles{});
}

// ---- Collection items ----

class TTestColumn : public TCollectionItem {
  ORV_CLASS(TTestColumn, TCollectionItem)
 public:
  explicit TTestColumn(TCollection* c) : TCollectionItem(c) {}
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) { FCaption = v; }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer v) { FWidth = v; }

 private:
  AnsiString FCaption;
  Integer FWidth = 64;
};

ORV_PUBLISH(TTestColumn) {
  p.Property("Caption", &TTestColumn::GetCaption, &TTestColumn::SetCaption);
  p.Property("Width", &TTestColumn::GetWidth, &TTestColumn::SetWidth).Default(64);
}

// ---- A component with every kind of property ----

using TChangeEvent = Event<void(TObject* sender, Integer value)>;

class TTestWidget : public TComponent {
  ORV_CLASS(TTestWidget, TComponent)
 public:
  explicit TTestWidget(TComponent* owner)
      : TComponent(owner), FFont(new TTestFont), FItems(new TStringList),
        FColumns(new TCollection(TTestColumn::StaticClass())) {}
  ~TTestWidget() override {
    FFont->Free();
    FItems->Free();
    FColumns->Free();
    FImages->Free();
  }

  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer v) {
    FStateWhenSet = GetComponentState();
    FWidth = v;
  }
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  TTestAlign GetAlign() const { return FAlign; }
  void SetAlign(TTestAlign v) { FAlign = v; }
  TTestAnchors GetAnchors() const { return FAnchors; }
  void SetAnchors(TTestAnchors v) { FAnchors = v; }
  double GetRatio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) { FCaption = v; }
  const Variant& GetValue() const { return FValue; }
  void SetValue(const Variant& v) { FValue = v; }
  Integer GetColor() const { return FColor; }
  void SetColor(Integer v) { FColor = v; }
  Byte GetSmall() const { return FSmall; }
  void SetSmall(Byte v) { FSmall = v; }
  TTestPoint GetOrigin() const { return FOrigin; }
  void SetOrigin(TTestPoint v) { FOrigin = v; }
  TTestFont* GetFont() const { return FFont; }
  void SetFont(TTestFont* v) { FFont->Assign(v); }
  TStringList* GetItems() const { return FItems; }
  TCollection* GetColumns() const { return FColumns; }
  TTestWidget* GetBuddy() const { return FBuddy; }
  void SetBuddy(TTestWidget* v) { FBuddy = v; }
  const TNotifyEvent& GetOnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& v) { FOnClick = v; }
  const TChangeEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TChangeEvent& v) { FOnChange = v; }

  // Values stored through DefineProperties: raw bytes, a list of integers, a collection.
  AnsiString FBlob;
  std::vector<Integer> FNumbers;
  TCollection* FImages = new TCollection(TTestColumn::StaticClass());
  TComponentState FStateWhenSet;
  TTestWidget* FBuddyWhenLoaded = nullptr;

  void DefineProperties(TFiler* filer) override {
    inherited::DefineProperties(filer);
    filer->DefineBinaryProperty("Blob", TStreamProc(this, &TTestWidget::ReadBlob),
                                TStreamProc(this, &TTestWidget::WriteBlob), !FBlob.empty());
    filer->DefineProperty("Numbers", TReaderProc(this, &TTestWidget::ReadNumbers),
                          TWriterProc(this, &TTestWidget::WriteNumbers), !FNumbers.empty());
    filer->DefineProperty("Images", TReaderProc(this, &TTestWidget::ReadImages),
                          TWriterProc(this, &TTestWidget::WriteImages), FImages->GetCount() > 0);
  }

  void Loaded() override {
    inherited::Loaded();
    FBuddyWhenLoaded = FBuddy;
    Log().push_back("Loaded " + GetName());
  }

 private:
  void ReadBlob(TStream* s) {
    FBlob.resize(static_cast<std::size_t>(s->GetSize()));
    s->ReadBuffer(FBlob.data(), static_cast<Integer>(FBlob.size()));
  }
  void WriteBlob(TStream* s) { s->WriteBuffer(FBlob.data(), static_cast<Integer>(FBlob.size())); }
  void ReadNumbers(TReader* r) {
    FNumbers.clear();
    r->ReadListBegin();
    while (!r->EndOfList()) FNumbers.push_back(r->ReadInteger());
    r->ReadListEnd();
  }
  void WriteNumbers(TWriter* w) {
    w->WriteListBegin();
    for (Integer n : FNumbers) w->WriteInteger(n);
    w->WriteListEnd();
  }
  void ReadImages(TReader* r) { r->ReadCollection(FImages); }
  void WriteImages(TWriter* w) { w->WriteCollection(FImages); }

  Integer FWidth = 0;
  bool FEnabled = true;
  TTestAlign FAlign = alNone;
  TTestAnchors FAnchors{akLeft, akTop};
  double FRatio = 0;
  AnsiString FCaption;
  Variant FValue;
  Integer FColor = kWindow;
  Byte FSmall = 0;
  TTestPoint FOrigin;
  TTestFont* FFont;
  TStringList* FItems;
  TCollection* FColumns;
  TTestWidget* FBuddy = nullptr;
  TNotifyEvent FOnClick;
  TChangeEvent FOnChange;
};

ORV_PUBLISH(TTestWidget) {
  using T = TTestWidget;
  p.Property("Width", &T::GetWidth, &T::SetWidth);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("Align", &T::GetAlign, &T::SetAlign).Default(alNone);
  p.Property("Anchors", &T::GetAnchors, &T::SetAnchors).Default(TTestAnchors{akLeft, akTop});
  p.Property("Ratio", &T::GetRatio, &T::SetRatio);
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  p.Property("Value", &T::GetValue, &T::SetValue);
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TTestColor").Default(kWindow);
  p.Property("Small", &T::GetSmall, &T::SetSmall).Stored([](T* self) { return self->GetSmall() != 0; });
  p.Property("Origin", &T::GetOrigin, &T::SetOrigin).Default(TTestPoint{});
  p.Property("Font", &T::GetFont, &T::SetFont);
  p.Property("Items", &T::GetItems);
  p.Property("Columns", &T::GetColumns);
  p.Property("Buddy", &T::GetBuddy, &T::SetBuddy);
  p.Property("OnClick", &T::GetOnClick, &T::SetOnClick);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
}

// ---- Children streamed inside their parent (pages of a page control, levels of a grid) ----

class TTestBook;

class TTestPage : public TComponent {
  ORV_CLASS(TTestPage, TComponent)
 public:
  explicit TTestPage(TComponent* owner) : TComponent(owner) {}
  void BeforeDestruction() override;
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) { FCaption = v; }
  void Loaded() override {
    inherited::Loaded();
    Log().push_back("Loaded " + GetName());
  }
  TTestBook* FBook = nullptr;

 private:
  AnsiString FCaption;
};

ORV_PUBLISH(TTestPage) { p.Property("Caption", &TTestPage::GetCaption, &TTestPage::SetCaption); }

class TTestBook : public TTestWidget {
  ORV_CLASS(TTestBook, TTestWidget)
 public:
  explicit TTestBook(TComponent* owner) : TTestWidget(owner) {}
  std::vector<TTestPage*> Pages;

  void GetChildren(TGetChildProc proc, TComponent* root) override {
    for (TTestPage* page : Pages)
      if (page->GetOwner() == root) proc(page);
  }
  void SetChildOrder(TComponent* child, Integer order) override {
    auto it = std::find(Pages.begin(), Pages.end(), child);
    if (it == Pages.end()) return;
    Pages.erase(it);
    Pages.insert(Pages.begin() + std::min<std::size_t>(static_cast<std::size_t>(order), Pages.size()),
                 static_cast<TTestPage*>(child));
  }
};

void TTestPage::BeforeDestruction() {
  Destroying();
  if (FBook) std::erase(FBook->Pages, this);
  inherited::BeforeDestruction();
}

TComponent* TTestPage::GetParentComponent() const { return FBook; }

void TTestPage::SetParentComponent(TComponent* value) {
  if (FBook) std::erase(FBook->Pages, this);
  FBook = dynamic_cast<TTestBook*>(value);
  if (FBook) FBook->Pages.push_back(this);
}

ORV_PUBLISH(TTestBook) {}

// A component that is not a control: its designer position is stored as Left and Top.
class TTestData : public TComponent {
  ORV_CLASS(TTestData, TComponent)
 public:
  explicit TTestData(TComponent* owner) : TComponent(owner) {}
};

ORV_PUBLISH(TTestData) {}

// ---- A form: its components without parent are its children; it publishes handlers ----

class TTestForm : public TComponent {
  ORV_CLASS(TTestForm, TComponent)
 public:
  explicit TTestForm(TComponent* owner) : TComponent(owner) {}

  void GetChildren(TGetChildProc proc, TComponent* root) override {
    for (Integer i = 0; i < GetComponentCount(); ++i)
      if (!GetComponent(i)->HasParent()) proc(GetComponent(i));
  }
  void Loaded() override {
    inherited::Loaded();
    Log().push_back("Loaded " + GetName());
  }

  void ButtonClick(TObject* sender) { Clicked = sender; }
  void WidgetChange(TObject* sender, Integer value) {}

  TTestWidget* Button1 = nullptr;
  TObject* Clicked = nullptr;
};

ORV_PUBLISH(TTestForm) {
  p.Method("ButtonClick", &TTestForm::ButtonClick);
  p.Method("WidgetChange", &TTestForm::WidgetChange);
  p.Field("Button1", &TTestForm::Button1);
}

using FormPtr = std::unique_ptr<TTestForm, FreeDeleter>;

FormPtr ReadForm(std::string_view text) {
  FormPtr form(new TTestForm(nullptr));
  ReadComponentFromText(form.get(), text);
  return form;
}

TTestWidget* Widget(TComponent* root, const char* name) {
  return static_cast<TTestWidget*>(root->FindComponent(name));
}

// ---- Tests ----

const char* const kForm = R"(object Form1: TTestForm
  Tag = 7
  object Button1: TTestWidget
    Width = 120
    Enabled = False
    Align = alClient
    Anchors = [akLeft, akRight]
    Ratio = 0.25
    Caption = 'Поиск'
    Value = 'текст'
    Color = clWhite
    Small = 200
    Origin = '3,-4'
    Font.Color = 255
    Font.Height = -16
    Font.Name = 'Symbol'
    Font.Style = [fsBold]
    Items.Strings = (
      '*'
      'Россия')
    Columns = <
      item
        Caption = 'Страна'
      end
      item
        Caption = 'Город'
        Width = 245
      end>
    Buddy = Other
    OnClick = ButtonClick
    OnChange = WidgetChange
    Blob = {
      00017F80FF}
    Numbers = (
      1
      -2
      2147483647)
    Images = <
      item
        Caption = 'a'
      end>
  end
  object Other: TTestWidget
    Width = 0
    Value = 1.5
    Color = 12345
  end
  object Data: TTestData
    Left = 24
    Top = -16
  end
end
)";

TEST(Filer, ReadsEveryKindOfProperty) {
  FormPtr form = ReadForm(kForm);
  EXPECT_EQ(form->GetName(), "Form1");
  EXPECT_EQ(form->GetTag(), 7);
  TTestWidget* w = form->Button1;
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w, Widget(form.get(), "Button1"));
  EXPECT_EQ(w->GetOwner(), form.get());
  EXPECT_EQ(w->GetWidth(), 120);
  EXPECT_FALSE(w->GetEnabled());
  EXPECT_EQ(w->GetAlign(), alClient);
  EXPECT_EQ(w->GetAnchors(), (TTestAnchors{akLeft, akRight}));
  EXPECT_EQ(w->GetRatio(), 0.25);
  EXPECT_EQ(w->GetCaption(), AnsiString("Поиск"_a));
  EXPECT_EQ(w->GetValue().AsString(), AnsiString("текст"_a));
  EXPECT_EQ(w->GetColor(), 0xFFFFFF);
  EXPECT_EQ(w->GetSmall(), 200);
  EXPECT_EQ(w->GetOrigin(), (TTestPoint{3, -4}));
  EXPECT_EQ(w->GetFont()->GetColor(), 255);
  EXPECT_EQ(w->GetFont()->GetHeight(), -16);
  EXPECT_EQ(w->GetFont()->GetName(), "Symbol");
  EXPECT_EQ(w->GetFont()->GetStyle(), TTestFontStyles{fsBold});
  EXPECT_EQ(w->GetItems()->GetText(), "*\r\n"_a + "Россия\r\n"_a);
  ASSERT_EQ(w->GetColumns()->GetCount(), 2);
  auto* col = static_cast<TTestColumn*>(w->GetColumns()->GetItem(1));
  EXPECT_EQ(col->GetCaption(), AnsiString("Город"_a));
  EXPECT_EQ(col->GetWidth(), 245);
  EXPECT_EQ(static_cast<TTestColumn*>(w->GetColumns()->GetItem(0))->GetWidth(), 64);
  EXPECT_EQ(w->GetBuddy(), Widget(form.get(), "Other"));
  ASSERT_TRUE(w->GetOnClick());
  w->GetOnClick()(w);
  EXPECT_EQ(form->Clicked, w);
  EXPECT_EQ(w->GetOnChange(), TChangeEvent(form.get(), &TTestForm::WidgetChange));
  EXPECT_EQ(w->FBlob, std::string("\x00\x01\x7F\x80\xFF", 5));
  EXPECT_EQ(w->FNumbers, (std::vector<Integer>{1, -2, 2147483647}));
  ASSERT_EQ(w->FImages->GetCount(), 1);
  TTestWidget* other = Widget(form.get(), "Other");
  EXPECT_EQ(other->GetValue().AsDouble(), 1.5);
  EXPECT_EQ(other->GetColor(), 12345);
  TComponent* data = form->FindComponent("Data");
  EXPECT_EQ(data->GetDesignInfo() & 0xFFFF, 24);
  EXPECT_EQ(static_cast<SmallInt>(data->GetDesignInfo() >> 16), -16);
  for (TComponent* c : {static_cast<TComponent*>(form.get()), static_cast<TComponent*>(w), data})
    EXPECT_FALSE(c->GetComponentState().Intersects(TComponentState{csLoading, csReading, csFixups}))
        << c->GetName();
}

TEST(Filer, WritesOnlyWhatDiffersFromDefaultsAndReadsItBack) {
  FormPtr form = ReadForm(kForm);
  const std::string text = WriteComponentToText(form.get());
  EXPECT_EQ(text, kForm);

  // A fresh widget writes only the properties without a default and its own values.
  FormPtr empty(new TTestForm(nullptr));
  empty->SetName("Empty");
  (new TTestWidget(empty.get()))->SetName("W");
  EXPECT_EQ(WriteComponentToText(empty.get()),
            "object Empty: TTestForm\n  object W: TTestWidget\n    Width = 0\n  end\nend\n");

  // What was written reads back into the same description.
  FormPtr copy(new TTestForm(nullptr));
  form.reset();  // frees Form1, so the copy takes the name again
  ReadComponentFromText(copy.get(), text);
  EXPECT_EQ(copy->GetName(), "Form1");
  EXPECT_EQ(WriteComponentToText(copy.get()), text);
}

TEST(Filer, CallsLoadedInCreationOrderAfterReferencesAreResolved) {
  Log().clear();
  FormPtr form = ReadForm(R"(object Form1: TTestForm
  object A: TTestWidget
    Width = 1
    Buddy = B
  end
  object Book: TTestBook
    Width = 2
    object P1: TTestPage
      Caption = 'one'
    end
    object P2: TTestPage [0]
      Caption = 'two'
    end
  end
  object B: TTestWidget
    Width = 3
  end
end)");
  EXPECT_EQ(Log(), (std::vector<AnsiString>{"Loaded Form1", "Loaded A", "Loaded Book", "Loaded P1",
                                            "Loaded P2", "Loaded B"}));
  TTestWidget* a = Widget(form.get(), "A");
  EXPECT_EQ(a->FBuddyWhenLoaded, Widget(form.get(), "B"));
  // Properties are set while the component is loading and reading.
  EXPECT_TRUE(a->FStateWhenSet.ContainsAll(TComponentState{csLoading, csReading}));

  // Children read inside their parent: owned by the root, parented, ordered by "[n]".
  auto* book = static_cast<TTestBook*>(form->FindComponent("Book"));
  ASSERT_EQ(book->Pages.size(), 2u);
  EXPECT_EQ(book->Pages[0]->GetName(), "P2");
  EXPECT_EQ(book->Pages[1]->GetName(), "P1");
  EXPECT_EQ(book->Pages[0]->GetOwner(), form.get());
  const std::string text = WriteComponentToText(form.get());
  EXPECT_NE(text.find("  object Book: TTestBook\n    Width = 2\n    object P2: TTestPage\n"
                      "      Caption = 'two'\n    end\n    object P1: TTestPage\n"),
            std::string::npos)
      << text;
}

TEST(Filer, ResolvesReferencesIntoAnotherLoadedRoot) {
  FormPtr dm = ReadForm("object DM: TTestForm\n  object tbl: TTestWidget\n    Width = 1\n  end\nend");
  ASSERT_EQ(FindGlobalComponent("dm"), dm.get());
  FormPtr main = ReadForm(
      "object FMain: TTestForm\n  object ds: TTestWidget\n    Width = 1\n    Buddy = DM.tbl\n  end\nend");
  TTestWidget* tbl = Widget(dm.get(), "tbl");
  EXPECT_EQ(Widget(main.get(), "ds")->GetBuddy(), tbl);
  EXPECT_NE(WriteComponentToText(main.get()).find("Buddy = DM.tbl\n"), std::string::npos);

  // A second instance of a root gets a name of its own.
  FormPtr dm2 = ReadForm("object DM: TTestForm\nend");
  EXPECT_EQ(dm2->GetName(), "DM_1");
  // A freed root is forgotten.
  dm.reset();
  EXPECT_EQ(FindGlobalComponent("DM"), nullptr);
  EXPECT_EQ(FindGlobalComponent("DM_1"), dm2.get());
}

TEST(Filer, CreatesTheRootByClassWhenNoneIsGiven) {
  std::unique_ptr<TComponent, FreeDeleter> root(
      CreateComponentFromText("object Made: TTestForm\n  object W: TTestWidget\n    Width = 5\n  end\nend"));
  ASSERT_TRUE(root->InheritsFrom(TTestForm::StaticClass()));
  EXPECT_EQ(Widget(root.get(), "W")->GetWidth(), 5);

  RegisterFormDescription("TTestForm", "object Described: TTestForm\n  Tag = 3\nend");
  FormPtr form(new TTestForm(nullptr));
  EXPECT_TRUE(InitInheritedComponent(form.get(), TComponent::StaticClass()));
  EXPECT_EQ(form->GetTag(), 3);
  UnregisterFormDescription("TTestForm");
  FormPtr plain(new TTestForm(nullptr));
  EXPECT_FALSE(InitInheritedComponent(plain.get(), TComponent::StaticClass()));
}

// Loading errors name the form, the component, the property and the line.
TEST(Filer, LoadingErrorsNameFormComponentAndProperty) {
  struct Case {
    const char* Body;  // inside "object Form1: TTestForm ... end"
    const char* Message;
    bool ClassError = false;
  };
  const Case cases[] = {
      {"object W: TNoSuchClass\nend",
       "Error reading form TTestForm, component W (line 2): Class TNoSuchClass not found", true},
      {"object W: TTestWidget\nWidth = 1\nColour = 5\nend",
       "Error reading form TTestForm, component W, property Colour (line 4): Property Colour does not exist"},
      {"object W: TTestWidget\nAlign = alMiddle\nend",
       "Error reading form TTestForm, component W, property Align (line 3): Invalid property value alMiddle"},
      // A number of the underlying type that names no member is no value of the enumeration.
      {"object W: TTestWidget\nAlign = 40\nend",
       "Error reading form TTestForm, component W, property Align (line 3): Invalid property value 40"},
      {"object W: TTestWidget\nAlign = -1\nend",
       "Error reading form TTestForm, component W, property Align (line 3): Invalid property value -1"},
      {"object W: TTestWidget\nSmall = 256\nend",
       "Error reading form TTestForm, component W, property Small (line 3): Invalid property value 256"},
      {"object W: TTestWidget\nWidth = '1'\nend",
       "Error reading form TTestForm, component W, property Width (line 3): Invalid property value '1'"},
      {"object W: TTestWidget\nAnchors = [akLeft, akNowhere]\nend",
       "Error reading form TTestForm, component W, property Anchors (line 3): Invalid property value akNowhere"},
      {"object W: TTestWidget\nColor = clPink\nend",
       "Error reading form TTestForm, component W, property Color (line 3): Invalid property value clPink"},
      {"object W: TTestWidget\nFont.Weight = 5\nend",
       "Error reading form TTestForm, component W, property Font.Weight (line 3): Property Weight does not exist"},
      {"object W: TTestWidget\nCaption.Text = 5\nend",
       "Error reading form TTestForm, component W, property Caption.Text (line 3): Property Caption holds no object"},
      {"object W: TTestWidget\nColumns = <\nitem\nWidth = x\nend>\nend",
       "Error reading form TTestForm, component W, property Columns[0].Width (line 5): Invalid property value x"},
      {"object W: TTestWidget\nBuddy = Nobody\nend",
       "Error reading form TTestForm, component W, property Buddy (line 3): Component Nobody not found"},
      {"object W: TTestWidget\nBuddy = Data\nend\nobject Data: TTestData\nend",
       "Error reading form TTestForm, component W, property Buddy (line 3): Invalid property value Data: "
       "TTestData is not a TTestWidget"},
      {"object W: TTestWidget\nOnClick = NoHandler\nend",
       "Error reading form TTestForm, component W, property OnClick (line 3): Method NoHandler not found in TTestForm"},
      {"object W: TTestWidget\nOnClick = WidgetChange\nend",
       "Error reading form TTestForm, component W, property OnClick (line 3): Method WidgetChange does not fit "
       "the event OnClick"},
      {"object W: TTestWidget\nNumbers = (1 'two')\nend",
       "Error reading form TTestForm, component W, property Numbers (line 3): Invalid property value 'two'"},
      {"object W: TTestWidget\nBlob = 5\nend",
       "Error reading form TTestForm, component W, property Blob (line 3): Binary data expected"},
      {"object Button1: TTestForm\nend",
       "Error reading form TTestForm, component Button1 (line 2): Component Button1 of class TTestForm does not "
       "fit the field of class TTestWidget"},
      {"object Data: TTestData\nLeft = 40000\nend",
       "Error reading form TTestForm, component Data, property Left (line 3): Invalid property value 40000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Body);
    FormPtr form(new TTestForm(nullptr));
    try {
      ReadComponentFromText(form.get(), std::string("object Form1: TTestForm\n") + c.Body + "\nend");
      ADD_FAILURE() << "no error";
    } catch (const EClassNotFound& e) {
      EXPECT_TRUE(c.ClassError);
      EXPECT_EQ(e.GetMessage(), c.Message);
    } catch (const EReadError& e) {
      EXPECT_FALSE(c.ClassError);
      EXPECT_EQ(e.GetMessage(), c.Message);
    }
    // Nothing stays in the loading state after a failure.
    for (Integer i = 0; i < form->GetComponentCount(); ++i)
      EXPECT_FALSE(form->GetComponent(i)->GetComponentState().Contains(csLoading));
    EXPECT_FALSE(form->GetComponentState().Contains(csLoading));
  }
}

TEST(Filer, OtherErrorsKeepTheirClassAndGetTheContext) {
  FormPtr form(new TTestForm(nullptr));
  try {
    ReadComponentFromText(form.get(), "object F: TTestForm\n  object W: TTestWidget\n  end\n"
                                      "  object W: TTestWidget\n  end\nend");
    ADD_FAILURE() << "no error";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.GetMessage().rfind("Error reading form TTestForm, component W (line 4): ", 0), 0u)
        << e.GetMessage();
  }
  try {
    ReadComponentFromText(form.get(), "object F: TTestForm\n  Tag = \nend", "TFMain");
    ADD_FAILURE() << "no error";
  } catch (const EParserError& e) {
    EXPECT_EQ(e.GetMessage(), "Error reading form TFMain: Line 3: value expected");
  }
}

// Items hold references too; a collection given twice replaces its items and their references.
class TTestLink : public TCollectionItem {
  ORV_CLASS(TTestLink, TCollectionItem)
 public:
  explicit TTestLink(TCollection* c) : TCollectionItem(c) {}
  TTestWidget* GetTarget() const { return FTarget; }
  void SetTarget(TTestWidget* v) { FTarget = v; }

 private:
  TTestWidget* FTarget = nullptr;
};

ORV_PUBLISH(TTestLink) { p.Property("Target", &TTestLink::GetTarget, &TTestLink::SetTarget); }

class TTestLinks : public TTestData {
  ORV_CLASS(TTestLinks, TTestData)
 public:
  explicit TTestLinks(TComponent* owner) : TTestData(owner) {}
  ~TTestLinks() override { FLinks->Free(); }
  TCollection* GetLinks() const { return FLinks; }

 private:
  TCollection* FLinks = new TCollection(TTestLink::StaticClass());
};

ORV_PUBLISH(TTestLinks) { p.Property("Links", &TTestLinks::GetLinks); }

TEST(Filer, ReferencesInCollectionItemsAreResolved) {
  FormPtr form = ReadForm(R"(object Form1: TTestForm
  object L: TTestLinks
    Links = <
      item
        Target = Later
      end
      item
        Target = Gone
      end>
    Links = <
      item
        Target = Later
      end>
  end
  object Later: TTestWidget
    Width = 1
  end
end)");
  TCollection* links = static_cast<TTestLinks*>(form->FindComponent("L"))->GetLinks();
  ASSERT_EQ(links->GetCount(), 1);
  EXPECT_EQ(static_cast<TTestLink*>(links->GetItem(0))->GetTarget(), Widget(form.get(), "Later"));
  EXPECT_NE(WriteComponentToText(form.get()).find("        Target = Later\n"), std::string::npos);
}

TEST(Filer, AReadOnlyOrMissingValueKindIsReported) {
  // A scalar without a setter is never written and cannot be read.
  struct TOnlyGet : TComponent {
    explicit TOnlyGet(TComponent* o) : TComponent(o) {}
  };
  PropertyList list;
  Published<TOnlyGet> p(list);
  p.Property("Count", [](TOnlyGet*) { return Integer(3); });
  TOnlyGet c(nullptr);
  const PropInfo* count = list.FindProperty("count");
  ASSERT_NE(count, nullptr);
  EXPECT_TRUE(count->IsDefault(&c));
  EXPECT_THROW(count->SetValue(&c, FormValue::Int(1)), EConvertError);
}

}  // namespace
