// Forms, data modules, fonts and the standard controls in form descriptions: values written and
// read back into fresh objects, defaults left out, names of enumerations, sets, colours, cursors
// and charsets, events bound to the form's published methods, and the reader's errors.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Headless.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

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
  for (const auto& b : bad) {
    SCOPED_TRACE(b.Line);
    Owned<TForm> target(new TForm(nullptr));
    try {
      orv::ReadComponentFromText(target.get(), std::string("object Bad: TForm\n") + b.Line + "end\n");
      ADD_FAILURE() << "read without error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.GetMessage(), std::string("Error reading form TForm, component Bad, ") + b.Message);
    }
  }
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

}  // namespace
