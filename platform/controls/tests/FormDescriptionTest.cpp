// Forms, data modules, fonts and the standard controls in form descriptions: values written and
// read back into fresh objects, defaults left out, names of enumerations, sets, colours, cursors
// and charsets, events bound to the form's published methods, and the reader's errors.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/ActnList.h"
#include "platform/controls/AppEvnts.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Headless.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

// A form class with handlers of its own, as a program's form declares them.
class TDescribedForm : public TForm {
  ORV_CLASS(TDescribedForm, TForm)
 public:
  explicit TDescribedForm(TComponent* owner) : TForm(owner) {}
  int Created = 0;
  int Shown = 0;
  void FormCreate(TObject* sender) { ++Created; }
  void FormShow(TObject* sender) { ++Shown; }
  void FormClose(TObject* sender, TCloseAction& action) { action = caFree; }
  void FormKeyDown(TObject* sender, Word& key, TShiftState shift) {}
};

ORV_PUBLISH(TDescribedForm) {
  using T = TDescribedForm;
  p.Method("FormCreate", &T::FormCreate);
  p.Method("FormShow", &T::FormShow);
  p.Method("FormClose", &T::FormClose);
  p.Method("FormKeyDown", &T::FormKeyDown);
}

// Reading `text` into a form fails with the reader's error and exactly `message`.
void ExpectReadError(const std::string& text, const std::string& message) {
  SCOPED_TRACE(text);
  Owned<TForm> target(new TForm(nullptr));
  try {
    orv::ReadComponentFromText(target.get(), text);
    ADD_FAILURE() << "read without error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.GetMessage(), message);
  }
}

class FormDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override { orv::headless::Reset(); }
  void TearDown() override { orv::headless::Reset(); }

  // Reads `text` into a fresh form of class T.
  template <class T>
  Owned<T> Read(const std::string& text) {
    Owned<T> form(new T(nullptr));
    orv::ReadComponentFromText(form.get(), text);
    return form;
  }
};

TEST_F(FormDescriptionTest, AFormWithDefaultsWritesItsBoundsCaptionClientSizeFontAndCreateOrderOnly) {
  Owned<TForm> form(new TForm(nullptr));
  form->SetName("Plain");
  form->SetBounds(10, 20, 300, 200);
  const TPoint client{form->GetClientWidth(), form->GetClientHeight()};
  EXPECT_EQ(orv::WriteComponentToText(form.get()),
            "object Plain: TForm\n"
            "  Left = 10\n"
            "  Top = 20\n"
            "  Caption = 'Plain'\n"  // the name, as a new form's caption
            "  ClientHeight = " + std::to_string(client.Y) + "\n"
            "  ClientWidth = " + std::to_string(client.X) + "\n"
            "  Font.Charset = DEFAULT_CHARSET\n"
            "  Font.Color = clWindowText\n"
            "  Font.Height = -11\n"
            "  Font.Name = 'MS Sans Serif'\n"
            "  Font.Style = []\n"
            "  OldCreateOrder = False\n"
            "  PixelsPerInch = 96\n"
            "end\n");
}

TEST_F(FormDescriptionTest, AFormsOwnValuesAndEventsComeBackFromItsDescription) {
  Owned<TDescribedForm> source(new TDescribedForm(nullptr));
  TDescribedForm* f = source.get();
  f->SetName("Described");
  f->SetBounds(192, 107, 400, 300);
  f->SetCaption("Поиск городов"_a);
  f->SetBorderStyle(bsDialog);
  f->SetClientWidth(384);
  f->SetClientHeight(213);
  f->SetBorderIcons(TBorderIcons{biSystemMenu});
  f->SetPosition(poScreenCenter);
  f->SetKeyPreview(true);
  f->SetScaled(false);
  f->SetColor(clWindow);
  f->SetCursor(crHandPoint);
  f->SetHint("Подсказка"_a);
  f->SetShowHint(true);
  f->SetFormStyle(fsStayOnTop);
  f->SetOldCreateOrder(true);
  f->GetFont()->SetCharset(RUSSIAN_CHARSET);
  f->GetFont()->SetColor(TColor(0x123456));
  f->GetFont()->SetHeight(-13);
  f->GetFont()->SetName("Arial");
  f->GetFont()->SetStyle(TFontStyles{fsBold, fsItalic});
  f->GetFont()->SetPitch(fpFixed);
  f->SetOnCreate(TNotifyEvent(f, &TDescribedForm::FormCreate));
  f->SetOnShow(TNotifyEvent(f, &TDescribedForm::FormShow));
  f->SetOnClose(TCloseEvent(f, &TDescribedForm::FormClose));
  f->SetOnKeyDown(TKeyEvent(f, &TDescribedForm::FormKeyDown));
  const std::string text = orv::WriteComponentToText(f);
  for (const char* line : {"  Caption = 'Поиск городов'\n", "  BorderStyle = bsDialog\n",
                           "  BorderIcons = [biSystemMenu]\n", "  Position = poScreenCenter\n",
                           "  Color = clWindow\n", "  Cursor = crHandPoint\n", "  Font.Charset = RUSSIAN_CHARSET\n",
                           "  Font.Color = 1193046\n", "  Font.Style = [fsBold, fsItalic]\n",
                           "  Font.Pitch = fpFixed\n", "  FormStyle = fsStayOnTop\n", "  ClientWidth = 384\n",
                           "  ClientHeight = 213\n", "  OnCreate = FormCreate\n", "  OnKeyDown = FormKeyDown\n",
                           "  OldCreateOrder = True\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
  EXPECT_EQ(text.find("  Width ="), std::string::npos) << text;  // the client size stands for it

  Owned<TDescribedForm> copy = Read<TDescribedForm>(text);
  TDescribedForm* g = copy.get();
  EXPECT_EQ(g->GetName(), "Described");
  EXPECT_EQ(g->GetLeft(), 192);
  EXPECT_EQ(g->GetTop(), 107);
  EXPECT_EQ(g->GetCaption(), "Поиск городов"_a);
  EXPECT_EQ(g->GetClientWidth(), 384);
  EXPECT_EQ(g->GetClientHeight(), 213);
  EXPECT_EQ(g->GetBorderStyle(), bsDialog);
  EXPECT_EQ(g->GetBorderIcons(), TBorderIcons{biSystemMenu});
  EXPECT_EQ(g->GetPosition(), poScreenCenter);
  EXPECT_TRUE(g->GetKeyPreview());
  EXPECT_FALSE(g->GetScaled());
  EXPECT_EQ(g->GetColor(), clWindow);
  EXPECT_EQ(g->GetCursor(), crHandPoint);
  EXPECT_EQ(g->GetHint(), "Подсказка"_a);
  EXPECT_TRUE(g->GetShowHint());
  EXPECT_EQ(g->GetFormStyle(), fsStayOnTop);
  EXPECT_TRUE(g->GetOldCreateOrder());
  EXPECT_EQ(g->GetFont()->GetCharset(), RUSSIAN_CHARSET);
  EXPECT_EQ(g->GetFont()->GetColor(), TColor(0x123456));
  EXPECT_EQ(g->GetFont()->GetHeight(), -13);
  EXPECT_EQ(g->GetFont()->GetName(), "Arial");
  EXPECT_EQ(g->GetFont()->GetStyle(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(g->GetFont()->GetPitch(), fpFixed);
  EXPECT_EQ(g->GetOnCreate(), TNotifyEvent(g, &TDescribedForm::FormCreate));
  EXPECT_EQ(g->GetOnShow(), TNotifyEvent(g, &TDescribedForm::FormShow));
  EXPECT_EQ(g->GetOnClose(), TCloseEvent(g, &TDescribedForm::FormClose));
  EXPECT_EQ(g->GetOnKeyDown(), TKeyEvent(g, &TDescribedForm::FormKeyDown));
  EXPECT_EQ(orv::WriteComponentToText(g), text);
}

TEST_F(FormDescriptionTest, NamesOfEveryKindAreReadAndBadOnesFailWithTheReadersError) {
  Owned<TForm> form = Read<TForm>(
      "object Named: TForm\n"
      "  Color = clInfoBk\n"
      "  Cursor = -21\n"
      "  Font.Charset = 204\n"
      "  Font.Color = clRed\n"
      "  WindowState = wsMaximized\n"
      "  Align = alCustom\n"
      "  Anchors = [akLeft, akBottom]\n"
      "  TextHeight = 13\n"
      "end\n");
  EXPECT_EQ(form->GetColor(), clInfoBk);
  EXPECT_EQ(form->GetCursor(), crHandPoint);
  EXPECT_EQ(form->GetFont()->GetCharset(), RUSSIAN_CHARSET);
  EXPECT_EQ(form->GetFont()->GetColor(), clRed);
  EXPECT_EQ(form->GetWindowState(), wsMaximized);
  EXPECT_EQ(form->GetAnchors(), (TAnchors{akLeft, akBottom}));
  EXPECT_EQ(form->GetAlign(), alCustom);

  const struct {
    const char* Line;
    const char* Message;
  } bad[] = {
      {"  Colour = clRed\n", "property Colour (line 2): Property Colour does not exist"},
      {"  Position = poNowhere\n", "property Position (line 2): Invalid property value poNowhere"},
      {"  BorderIcons = [biSystemMenu, biClose]\n", "property BorderIcons (line 2): Invalid property value biClose"},
      {"  Color = clMauve\n", "property Color (line 2): Invalid property value clMauve"},
      {"  Cursor = crPointer\n", "property Cursor (line 2): Invalid property value crPointer"},
      {"  Font.Charset = KOI8_CHARSET\n", "property Font.Charset (line 2): Invalid property value KOI8_CHARSET"},
      {"  Font.Weight = 700\n", "property Font.Weight (line 2): Property Weight does not exist"},
      {"  OnCreate = NoSuchMethod\n", "property OnCreate (line 2): Method NoSuchMethod not found in TForm"},
      {"  Cursor = 40000\n", "property Cursor (line 2): Invalid property value 40000"},
  };
  for (const auto& b : bad)
    ExpectReadError(std::string("object Bad: TForm\n") + b.Line + "end\n",
                    std::string("Error reading form TForm, component Bad, ") + b.Message);
}

// ---- Data modules ----

class TDescribedModule : public TDataModule {
  ORV_CLASS(TDescribedModule, TDataModule)
 public:
  explicit TDescribedModule(TComponent* owner) : TDataModule(owner) {}
  TTimer* Ticker = nullptr;
  bool TickerAtCreate = false;
  void ModuleCreate(TObject* sender) { TickerAtCreate = Ticker && Ticker->GetInterval() == 250; }
};

ORV_PUBLISH(TDescribedModule) {
  p.Method("ModuleCreate", &TDescribedModule::ModuleCreate);
  p.Field("Ticker", &TDescribedModule::Ticker);
}

// A module class without a description of its own: it is built from its parent's.
class TDerivedModule : public TDescribedModule {
  ORV_CLASS(TDerivedModule, TDescribedModule)
 public:
  explicit TDerivedModule(TComponent* owner) : TDescribedModule(owner) {}
};

const char* const kModuleText =
    "object Module: TDescribedModule\n"
    "  OldCreateOrder = False\n"
    "  OnCreate = ModuleCreate\n"
    "  Left = 100\n"
    "  Top = 50\n"
    "  Height = 150\n"
    "  Width = 215\n"
    "  object Ticker: TTimer\n"
    "    Interval = 250\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "  end\n"
    "end\n";

TEST_F(FormDescriptionTest, ADataModuleIsBuiltFromItsDescriptionBeforeOnCreateAndWritesItBack) {
  orv::RegisterFormDescription("TDescribedModule", kModuleText);
  for (TClass cls : {TDescribedModule::StaticClass(), TDerivedModule::StaticClass()}) {
    SCOPED_TRACE(cls->ClassName());
    TDescribedModule* module = nullptr;
    Application->CreateForm(cls, [&](TComponent* c) { module = static_cast<TDescribedModule*>(c); });
    Owned<TDescribedModule> owned(module);
    ASSERT_NE(module->Ticker, nullptr);
    EXPECT_TRUE(module->TickerAtCreate);
    EXPECT_EQ(module->GetDesignSize(), (TPoint{215, 150}));
    EXPECT_EQ(module->GetDesignInfo(), (50 << 16) | 100);
    EXPECT_EQ(module->GetOnCreate(), TNotifyEvent(module, &TDescribedModule::ModuleCreate));
    std::string expected = kModuleText;
    if (cls == TDerivedModule::StaticClass())
      expected.replace(expected.find("TDescribedModule"), 16, "TDerivedModule");
    EXPECT_EQ(orv::WriteComponentToText(module), expected);
    // Built once: calling it again reads nothing twice.
    module->AfterConstruction();
    EXPECT_EQ(module->GetComponentCount(), 1);
  }
  orv::UnregisterFormDescription("TDescribedModule");
}

TEST_F(FormDescriptionTest, AFormClassReadsItsDescriptionWhenItIsCreated) {
  orv::RegisterFormDescription("TDescribedForm",
                               "object Described: TDescribedForm\n"
                               "  Caption = 'Built'\n"
                               "  OnCreate = FormCreate\n"
                               "  OnShow = FormShow\n"
                               "end\n");
  Owned<TDescribedForm> owned(new TDescribedForm(nullptr));
  TDescribedForm* form = owned.get();
  EXPECT_EQ(form->GetCaption(), "");
  form->AfterConstruction();
  EXPECT_EQ(form->GetCaption(), "Built");
  EXPECT_EQ(form->Created, 1);
  orv::UnregisterFormDescription("TDescribedForm");
}

// ---- Standard controls and components ----

// The names of the properties a description gives the child `name` (its own lines only).
std::vector<std::string> PropertyNamesOf(const std::string& text, const std::string& name) {
  std::vector<std::string> names;
  const auto start = text.find("object " + name + ":");
  if (start == std::string::npos) return names;
  auto pos = text.find('\n', start) + 1;
  const std::string indent = text.substr(text.rfind('\n', start) + 1, start - text.rfind('\n', start) - 1) + "  ";
  while (pos < text.size()) {
    const auto end = text.find('\n', pos);
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.rfind(indent, 0) != 0 || line.size() <= indent.size() || line[indent.size()] == ' ') {
      if (line.rfind(indent + "  ", 0) == 0) continue;  // a nested object or a list's lines
      break;
    }
    const std::string rest = line.substr(indent.size());
    if (rest.rfind("object ", 0) == 0) break;
    names.push_back(rest.substr(0, rest.find(' ')));
  }
  return names;
}

TEST_F(FormDescriptionTest, FreshControlsAndComponentsWriteOnlyTheirBoundsAndTabOrder) {
  Owned<TForm> form(new TForm(nullptr));
  form->SetName("Host");
  struct Made {
    const char* Name;
    TComponent* Component;
  };
  std::vector<Made> made;
  auto control = [&](TControl* c, const char* name) {
    c->SetParent(form.get());
    made.push_back({name, c});
  };
  auto component = [&](TComponent* c, const char* name) { made.push_back({name, c}); };
  control(new TLabel(form.get()), "Label");
  control(new TButton(form.get()), "Button");
  control(new TCheckBox(form.get()), "CheckBox");
  control(new TRadioButton(form.get()), "RadioButton");
  control(new TEdit(form.get()), "Edit");
  control(new TMemo(form.get()), "Memo");
  control(new TListBox(form.get()), "ListBox");
  control(new TScrollBar(form.get()), "ScrollBar");
  control(new TGroupBox(form.get()), "GroupBox");
  control(new TImage(form.get()), "Image");
  component(new TTimer(form.get()), "Timer");
  component(new TImageList(form.get()), "ImageList");
  component(new TPopupMenu(form.get()), "PopupMenu");
  component(new TActionList(form.get()), "ActionList");
  component(new TSaveDialog(form.get()), "SaveDialog");
  component(new TOpenDialog(form.get()), "OpenDialog");
  component(new TApplicationEvents(form.get()), "AppEvents");
  // Named without the captions a name gives: the names go straight into the description.
  for (const Made& m : made) {
    TControlStyle style;
    if (auto* c = dynamic_cast<TControl*>(m.Component)) {
      style = c->GetControlStyle();
      c->SetControlStyle(style - TControlStyle{csSetCaption});
    }
    m.Component->SetName(m.Name);
    if (auto* c = dynamic_cast<TControl*>(m.Component)) c->SetControlStyle(style);
  }
  const std::string text = orv::WriteComponentToText(form.get());
  for (const Made& m : made) {
    SCOPED_TRACE(m.Name);
    std::vector<std::string> expected;
    if (dynamic_cast<TControl*>(m.Component)) expected = {"Left", "Top", "Width", "Height"};
    if (dynamic_cast<TWinControl*>(m.Component)) expected.push_back("TabOrder");
    EXPECT_EQ(PropertyNamesOf(text, m.Name), expected) << text;
  }
}

// A small form of the program's kind, with its handlers and fields.
class TSmallForm : public TForm {
  ORV_CLASS(TSmallForm, TForm)
 public:
  explicit TSmallForm(TComponent* owner) : TForm(owner) {}
  TGroupBox* Box = nullptr;
  TLabel* CityLabel = nullptr;
  TEdit* City = nullptr;
  TButton* Search = nullptr;
  TCheckBox* Exact = nullptr;
  TListBox* Found = nullptr;
  TPopupMenu* Menu = nullptr;
  TMenuItem* FileItem = nullptr;
  TMenuItem* ExportItem = nullptr;
  TMenuItem* ExitItem = nullptr;
  TTimer* Ticker = nullptr;
  TImageList* Images = nullptr;
  TActionList* Actions = nullptr;
  TAction* FindAction = nullptr;
  TSaveDialog* SaveDialog = nullptr;
  int Clicks = 0;
  void SearchClick(TObject* sender) { ++Clicks; }
  void CityChange(TObject* sender) {}
  void CityKeyPress(TObject* sender, char& key) {}
  void ExportClick(TObject* sender) {}
  void ExitClick(TObject* sender) {}
  void TickerTimer(TObject* sender) {}
  void FindExecute(TObject* sender) {}
  void FoundMouseDown(TObject* sender, TMouseButton button, TShiftState shift, Integer x, Integer y) {}
};

ORV_PUBLISH(TSmallForm) {
  using T = TSmallForm;
  p.Field("Box", &T::Box);
  p.Field("CityLabel", &T::CityLabel);
  p.Field("City", &T::City);
  p.Field("Search", &T::Search);
  p.Field("Exact", &T::Exact);
  p.Field("Found", &T::Found);
  p.Field("Menu", &T::Menu);
  p.Field("FileItem", &T::FileItem);
  p.Field("ExportItem", &T::ExportItem);
  p.Field("ExitItem", &T::ExitItem);
  p.Field("Ticker", &T::Ticker);
  p.Field("Images", &T::Images);
  p.Field("Actions", &T::Actions);
  p.Field("FindAction", &T::FindAction);
  p.Field("SaveDialog", &T::SaveDialog);
  p.Method("SearchClick", &T::SearchClick);
  p.Method("CityChange", &T::CityChange);
  p.Method("CityKeyPress", &T::CityKeyPress);
  p.Method("ExportClick", &T::ExportClick);
  p.Method("ExitClick", &T::ExitClick);
  p.Method("TickerTimer", &T::TickerTimer);
  p.Method("FindExecute", &T::FindExecute);
  p.Method("FoundMouseDown", &T::FoundMouseDown);
}

// Builds the small form in code, every part with values of its own.
void BuildSmallForm(TSmallForm* f) {
  f->SetName("Small");
  f->SetBounds(100, 80, 0, 0);
  f->SetCaption("Поиск"_a);
  f->SetClientWidth(320);
  f->SetClientHeight(200);
  f->SetPosition(poScreenCenter);
  f->SetKeyPreview(true);

  f->Box = new TGroupBox(f);
  f->Box->SetName("Box");
  f->Box->SetParent(f);
  f->Box->SetBounds(8, 8, 200, 90);
  f->Box->SetCaption(" Город "_a);
  f->Box->SetColor(clInfoBk);
  f->Box->SetAlign(alTop);

  f->City = new TEdit(f);
  f->City->SetName("City");
  f->City->SetParent(f->Box);
  f->City->SetBounds(8, 36, 120, f->City->GetHeight());  // an auto-sized edit keeps its own height
  f->City->SetText("Москва"_a);
  f->City->SetMaxLength(40);
  f->City->SetCharCase(ecUpperCase);
  f->City->SetPasswordChar('*');
  f->City->SetHint("Название|Название города"_a);
  f->City->SetShowHint(true);
  f->City->SetOnChange(TNotifyEvent(f, &TSmallForm::CityChange));
  f->City->SetOnKeyPress(TKeyPressEvent(f, &TSmallForm::CityKeyPress));

  f->CityLabel = new TLabel(f);
  f->CityLabel->SetName("CityLabel");
  f->CityLabel->SetParent(f->Box);
  f->CityLabel->SetBounds(8, 18, 40, 13);
  f->CityLabel->SetCaption("&Город:"_a);
  f->CityLabel->SetFocusControl(f->City);
  f->CityLabel->SetAutoSize(false);
  f->CityLabel->SetAlignment(taRightJustify);
  f->CityLabel->GetFont()->SetStyle(TFontStyles{fsBold});

  f->Search = new TButton(f);
  f->Search->SetName("Search");
  f->Search->SetParent(f);
  f->Search->SetBounds(220, 110, 90, 25);
  f->Search->SetCaption("Найти"_a);
  f->Search->SetDefault(true);
  f->Search->SetModalResult(mrOk);
  f->Search->SetAnchors(TAnchors{akRight, akBottom});
  f->Search->SetCursor(crHandPoint);
  f->Search->SetOnClick(TNotifyEvent(f, &TSmallForm::SearchClick));

  f->Exact = new TCheckBox(f);
  f->Exact->SetName("Exact");
  f->Exact->SetParent(f);
  f->Exact->SetBounds(8, 110, 100, 17);
  f->Exact->SetCaption("Точно"_a);
  f->Exact->SetChecked(true);
  f->Exact->SetEnabled(false);

  f->Found = new TListBox(f);
  f->Found->SetName("Found");
  f->Found->SetParent(f);
  f->Found->SetBounds(8, 140, 200, 50);
  f->Found->GetItems()->Add("Москва"_a);
  f->Found->GetItems()->Add("Мытищи"_a);
  f->Found->SetSorted(true);
  f->Found->SetOnMouseDown(TMouseEvent(f, &TSmallForm::FoundMouseDown));

  f->Images = new TImageList(f);
  f->Images->SetName("Images");
  f->Images->SetSize(24, 20);
  f->Images->SetDesignInfo((40 << 16) | 260);

  f->Menu = new TPopupMenu(f);
  f->Menu->SetName("Menu");
  f->Menu->SetImages(f->Images);
  f->Menu->SetAutoPopup(false);
  f->FileItem = new TMenuItem(f);
  f->FileItem->SetName("FileItem");
  f->FileItem->SetCaption("&Файл"_a);
  f->Menu->GetItems()->Add(f->FileItem);
  f->ExportItem = new TMenuItem(f);
  f->ExportItem->SetName("ExportItem");
  f->ExportItem->SetCaption("&Экспорт"_a);
  f->ExportItem->SetShortCut(TShortCut(0x4045));  // Ctrl+E
  f->ExportItem->SetImageIndex(2);
  f->ExportItem->SetOnClick(TNotifyEvent(f, &TSmallForm::ExportClick));
  f->FileItem->Add(f->ExportItem);
  f->ExitItem = new TMenuItem(f);
  f->ExitItem->SetName("ExitItem");
  f->ExitItem->SetCaption("В&ыход"_a);
  f->ExitItem->SetShortCut(TShortCut(0x8073));  // Alt+F4
  f->ExitItem->SetOnClick(TNotifyEvent(f, &TSmallForm::ExitClick));
  f->FileItem->Add(f->ExitItem);
  f->Found->SetPopupMenu(f->Menu);

  f->Ticker = new TTimer(f);
  f->Ticker->SetName("Ticker");
  f->Ticker->SetEnabled(false);
  f->Ticker->SetInterval(250);
  f->Ticker->SetOnTimer(TNotifyEvent(f, &TSmallForm::TickerTimer));

  f->Actions = new TActionList(f);
  f->Actions->SetName("Actions");
  f->Actions->SetImages(f->Images);
  f->FindAction = new TAction(f);
  f->FindAction->SetName("FindAction");
  f->FindAction->SetActionList(f->Actions);
  f->FindAction->SetCaption("Найти"_a);
  f->FindAction->SetShortCut(TShortCut(0x4046));  // Ctrl+F
  f->FindAction->SetOnExecute(TNotifyEvent(f, &TSmallForm::FindExecute));

  f->SaveDialog = new TSaveDialog(f);
  f->SaveDialog->SetName("SaveDialog");
  f->SaveDialog->SetDefaultExt("txt");
  f->SaveDialog->SetFilter("Текст (*.txt)|*.txt"_a);
  f->SaveDialog->SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly});
}

TEST_F(FormDescriptionTest, ASmallFormRoundTripsThroughTextWithItsEventsBound) {
  Owned<TSmallForm> source(new TSmallForm(nullptr));
  BuildSmallForm(source.get());
  const std::string text = orv::WriteComponentToText(source.get());
  for (const char* line :
       {"    object City: TEdit\n", "      Text = 'Москва'\n", "      PasswordChar = '*'\n",
        "      CharCase = ecUpperCase\n", "      OnChange = CityChange\n", "      FocusControl = City\n",
        "      Font.Style = [fsBold]\n", "    Anchors = [akRight, akBottom]\n", "    ModalResult = 1\n",
        "    Cursor = crHandPoint\n", "    Checked = True\n", "    State = cbChecked\n",
        "    Enabled = False\n", "    Items.Strings = (\n", "    PopupMenu = Menu\n", "    Color = clInfoBk\n",
        "    Align = alTop\n", "        ShortCut = 16453\n", "        OnClick = ExportClick\n",
        "    object FileItem: TMenuItem\n", "      object ExportItem: TMenuItem\n", "    Interval = 250\n",
        "    OnTimer = TickerTimer\n", "    Height = 20\n", "    Width = 24\n", "    Left = 260\n",
        "    object FindAction: TAction\n", "      ShortCut = 16454\n", "      OnExecute = FindExecute\n",
        "    Options = [ofOverwritePrompt, ofHideReadOnly]\n", "    DefaultExt = 'txt'\n",
        "    OnMouseDown = FoundMouseDown\n", "  KeyPreview = True\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
  // Controls come first, each inside its parent, then the other components.
  EXPECT_LT(text.find("object Box: TGroupBox"), text.find("object City: TEdit"));
  EXPECT_LT(text.find("object Found: TListBox"), text.find("object Images: TImageList"));

  Owned<TSmallForm> copy = Read<TSmallForm>(text);
  TSmallForm* g = copy.get();
  ASSERT_NE(g->City, nullptr);
  ASSERT_NE(g->ExitItem, nullptr);
  EXPECT_EQ(g->GetClientWidth(), 320);
  EXPECT_EQ(g->GetClientHeight(), 200);
  EXPECT_EQ(g->Box->GetParent(), g);
  EXPECT_EQ(g->Box->GetAlign(), alTop);
  EXPECT_EQ(g->Box->GetColor(), clInfoBk);
  EXPECT_EQ(g->Box->GetCaption(), " Город "_a);
  EXPECT_EQ(g->City->GetParent(), g->Box);
  EXPECT_EQ(g->City->GetText(), "Москва"_a);
  EXPECT_EQ(g->City->GetMaxLength(), 40);
  EXPECT_EQ(g->City->GetCharCase(), ecUpperCase);
  EXPECT_EQ(g->City->GetPasswordChar(), '*');
  EXPECT_EQ(g->City->GetHint(), "Название|Название города"_a);
  EXPECT_TRUE(g->City->GetShowHint());
  EXPECT_EQ(g->City->GetOnChange(), TNotifyEvent(g, &TSmallForm::CityChange));
  EXPECT_EQ(g->City->GetOnKeyPress(), TKeyPressEvent(g, &TSmallForm::CityKeyPress));
  EXPECT_EQ(g->CityLabel->GetFocusControl(), g->City);
  EXPECT_EQ(g->CityLabel->GetAlignment(), taRightJustify);
  EXPECT_FALSE(g->CityLabel->GetAutoSize());
  EXPECT_FALSE(g->CityLabel->GetParentFont());
  EXPECT_EQ(g->CityLabel->GetFont()->GetStyle(), TFontStyles{fsBold});
  EXPECT_EQ(g->Search->GetBoundsRect(), source->Search->GetBoundsRect());
  EXPECT_TRUE(g->Search->GetDefault());
  EXPECT_EQ(g->Search->GetModalResult(), mrOk);
  EXPECT_EQ(g->Search->GetAnchors(), (TAnchors{akRight, akBottom}));
  EXPECT_EQ(g->Search->GetCursor(), crHandPoint);
  EXPECT_EQ(g->Search->GetTabOrder(), source->Search->GetTabOrder());
  g->Search->GetOnClick()(g->Search);
  EXPECT_EQ(g->Clicks, 1);
  EXPECT_TRUE(g->Exact->GetChecked());
  EXPECT_FALSE(g->Exact->GetEnabled());
  EXPECT_EQ(g->Found->GetItems()->GetCount(), 2);
  EXPECT_EQ(g->Found->GetItems()->Get(1), "Мытищи"_a);
  EXPECT_TRUE(g->Found->GetSorted());
  EXPECT_EQ(g->Found->GetPopupMenu(), g->Menu);
  EXPECT_EQ(g->Found->GetOnMouseDown(), TMouseEvent(g, &TSmallForm::FoundMouseDown));
  EXPECT_EQ(g->Menu->GetImages(), g->Images);
  EXPECT_FALSE(g->Menu->GetAutoPopup());
  ASSERT_EQ(g->Menu->GetItems()->GetCount(), 1);
  EXPECT_EQ(g->Menu->GetItems()->GetItem(0), g->FileItem);
  ASSERT_EQ(g->FileItem->GetCount(), 2);
  EXPECT_EQ(g->FileItem->GetItem(0), g->ExportItem);
  EXPECT_EQ(g->FileItem->GetItem(1), g->ExitItem);
  EXPECT_EQ(g->ExportItem->GetShortCut(), TShortCut(0x4045));
  EXPECT_EQ(g->ExportItem->GetImageIndex(), 2);
  EXPECT_EQ(g->ExitItem->GetCaption(), "В&ыход"_a);
  EXPECT_EQ(g->ExitItem->GetOnClick(), TNotifyEvent(g, &TSmallForm::ExitClick));
  EXPECT_FALSE(g->Ticker->GetEnabled());
  EXPECT_EQ(g->Ticker->GetInterval(), 250u);
  EXPECT_EQ(g->Ticker->GetOnTimer(), TNotifyEvent(g, &TSmallForm::TickerTimer));
  EXPECT_EQ(g->Images->GetWidth(), 24);
  EXPECT_EQ(g->Images->GetHeight(), 20);
  EXPECT_EQ(g->Images->GetDesignInfo(), (40 << 16) | 260);
  EXPECT_EQ(g->Actions->GetImages(), g->Images);
  ASSERT_EQ(g->Actions->GetActionCount(), 1);
  EXPECT_EQ(g->Actions->GetAction(0), g->FindAction);
  EXPECT_EQ(g->FindAction->GetCaption(), "Найти"_a);
  EXPECT_EQ(g->FindAction->GetShortCut(), TShortCut(0x4046));
  EXPECT_EQ(g->FindAction->GetOnExecute(), TNotifyEvent(g, &TSmallForm::FindExecute));
  EXPECT_EQ(g->SaveDialog->GetDefaultExt(), "txt");
  EXPECT_EQ(g->SaveDialog->GetFilter(), "Текст (*.txt)|*.txt"_a);
  EXPECT_EQ(g->SaveDialog->GetOptions(), (TOpenOptions{ofOverwritePrompt, ofHideReadOnly}));
  EXPECT_EQ(orv::WriteComponentToText(g), text);
}

TEST_F(FormDescriptionTest, MemosScrollBarsRadioButtonsAndImagesKeepTheirValues) {
  Owned<TForm> source(new TForm(nullptr));
  source->SetName("Other");
  auto* memo = new TMemo(source.get());
  memo->SetName("Notes");
  memo->SetParent(source.get());
  memo->GetLines()->Clear();  // a new memo shows its name
  memo->GetLines()->Add("первая"_a);
  memo->GetLines()->Add("вторая"_a);
  memo->SetScrollBars(ssVertical);
  memo->SetWordWrap(false);
  memo->SetReadOnly(true);
  auto* bar = new TScrollBar(source.get());
  bar->SetName("Bar");
  bar->SetParent(source.get());
  bar->SetKind(sbVertical);
  bar->SetMax(50);
  bar->SetPosition(20);
  bar->SetLargeChange(10);
  auto* radio = new TRadioButton(source.get());
  radio->SetName("Radio");
  radio->SetParent(source.get());
  radio->SetChecked(true);
  radio->SetAlignment(taLeftJustify);
  auto* image = new TImage(source.get());
  image->SetName("Picture");
  image->SetParent(source.get());
  image->SetStretch(true);
  image->SetAlign(alClient);
  const std::string text = orv::WriteComponentToText(source.get());
  EXPECT_NE(text.find("    Lines.Strings = (\n      'первая'\n      'вторая')\n"), std::string::npos) << text;
  EXPECT_NE(text.find("    Kind = sbVertical\n"), std::string::npos) << text;

  Owned<TForm> copy = Read<TForm>(text);
  auto* memo2 = static_cast<TMemo*>(copy->FindComponent("Notes"));
  auto* bar2 = static_cast<TScrollBar*>(copy->FindComponent("Bar"));
  auto* radio2 = static_cast<TRadioButton*>(copy->FindComponent("Radio"));
  auto* image2 = static_cast<TImage*>(copy->FindComponent("Picture"));
  ASSERT_TRUE(memo2 && bar2 && radio2 && image2);
  EXPECT_EQ(memo2->GetLines()->GetCount(), 2);
  EXPECT_EQ(memo2->GetLines()->Get(1), "вторая"_a);
  EXPECT_EQ(memo2->GetScrollBars(), ssVertical);
  EXPECT_FALSE(memo2->GetWordWrap());
  EXPECT_TRUE(memo2->GetReadOnly());
  EXPECT_EQ(bar2->GetKind(), sbVertical);
  EXPECT_EQ(bar2->GetMax(), 50);
  EXPECT_EQ(bar2->GetPosition(), 20);
  EXPECT_EQ(bar2->GetLargeChange(), 10);
  EXPECT_TRUE(radio2->GetChecked());
  EXPECT_EQ(radio2->GetAlignment(), taLeftJustify);
  EXPECT_TRUE(image2->GetStretch());
  EXPECT_EQ(image2->GetAlign(), alClient);
  EXPECT_EQ(orv::WriteComponentToText(copy.get()), text);
}

TEST_F(FormDescriptionTest, ControlsRefuseUnknownPropertiesAndBadValues) {
  const struct {
    const char* Object;
    const char* Message;
  } bad[] = {
      {"object E: TEdit\n  PasswordChar = '**'\n", "component E, property PasswordChar (line 3): Invalid property value '**'"},
      {"object E: TEdit\n  CharCase = ecTitle\n", "component E, property CharCase (line 3): Invalid property value ecTitle"},
      {"object B: TButton\n  Anchors = [akLeft, akMiddle]\n", "component B, property Anchors (line 3): Invalid property value akMiddle"},
      {"object L: TLabel\n  TabOrder = 1\n", "component L, property TabOrder (line 3): Property TabOrder does not exist"},
      {"object M: TPopupMenu\n  object I: TMenuItem\n    ShortCut = 'Ctrl+E'\n  end\n",
       "component I, property ShortCut (line 4): Invalid property value 'Ctrl+E'"},
      {"object T: TTimer\n  Interval = -5\n", "component T, property Interval (line 3): Invalid property value -5"},
  };
  for (const auto& b : bad)
    ExpectReadError(std::string("object Bad: TForm\n") + b.Object + "end\nend\n",
                    std::string("Error reading form TForm, ") + b.Message);
}

// A component that stores a pen and a brush, as shapes and canvases of components do.
class TPenHolder : public TComponent {
  ORV_CLASS(TPenHolder, TComponent)
 public:
  explicit TPenHolder(TComponent* owner) : TComponent(owner) {}
  ~TPenHolder() override {
    FPen->Free();
    FBrush->Free();
  }
  TPen* GetPen() const { return FPen; }
  TBrush* GetBrush() const { return FBrush; }

 private:
  TPen* FPen = new TPen;
  TBrush* FBrush = new TBrush;
};

}  // namespace

ORV_PUBLISH(TPenHolder) {
  p.Property("Pen", &TPenHolder::GetPen);
  p.Property("Brush", &TPenHolder::GetBrush);
}

namespace {

TEST_F(FormDescriptionTest, PensAndBrushesWriteWhatDiffersFromTheirDefaults) {
  Owned<TPenHolder> plain(new TPenHolder(nullptr));
  plain->SetName("Shape");
  EXPECT_EQ(orv::WriteComponentToText(plain.get()), "object Shape: TPenHolder\nend\n");

  Owned<TPenHolder> source(new TPenHolder(nullptr));
  source->SetName("Shape");
  source->GetPen()->SetColor(clNavy);
  source->GetPen()->SetWidth(3);
  source->GetPen()->SetStyle(psDot);
  source->GetPen()->SetMode(pmXor);
  source->GetBrush()->SetColor(clBtnFace);
  source->GetBrush()->SetStyle(bsDiagCross);
  const std::string text = orv::WriteComponentToText(source.get());
  EXPECT_EQ(text,
            "object Shape: TPenHolder\n"
            "  Pen.Color = clNavy\n"
            "  Pen.Mode = pmXor\n"
            "  Pen.Style = psDot\n"
            "  Pen.Width = 3\n"
            "  Brush.Color = clBtnFace\n"
            "  Brush.Style = bsDiagCross\n"
            "end\n");
  Owned<TPenHolder> copy(new TPenHolder(nullptr));
  orv::ReadComponentFromText(copy.get(), text);
  EXPECT_EQ(copy->GetPen()->GetColor(), clNavy);
  EXPECT_EQ(copy->GetPen()->GetWidth(), 3);
  EXPECT_EQ(copy->GetPen()->GetStyle(), psDot);
  EXPECT_EQ(copy->GetPen()->GetMode(), pmXor);
  EXPECT_EQ(copy->GetBrush()->GetColor(), clBtnFace);
  EXPECT_EQ(copy->GetBrush()->GetStyle(), bsDiagCross);
}

}  // namespace
