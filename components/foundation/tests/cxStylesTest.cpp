#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/foundation/cxStyles.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

namespace {

using ComponentPtr = std::unique_ptr<TComponent, orv::FreeDeleter>;

// Styles of a view with fixed defaults: clWindow on clWindowText in the view's font.
class TTestStyles : public TcxStyles {
  ORV_CLASS(TTestStyles, TcxStyles)
 public:
  explicit TTestStyles(TPersistent* owner) : TcxStyles(owner) {}
  void GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) override {
    inherited::GetDefaultStyleParams(index, data, params);
    params.Color = clWindow;
    params.TextColor = clWindowText;
    params.Font = ViewFont;
  }
  void StyleChanged(Integer index) override { Changed.push_back(index); }
  using TcxStyles::SetValue;
  TFont* ViewFont = nullptr;
  std::vector<Integer> Changed;
};
using StylesPtr = std::unique_ptr<TTestStyles, orv::FreeDeleter>;

class TTestStyleSheet : public TcxCustomStyleSheet {
  ORV_CLASS(TTestStyleSheet, TcxCustomStyleSheet)
 public:
  explicit TTestStyleSheet(TComponent* owner) : TcxCustomStyleSheet(owner) {}
  TcxCustomStylesClass StylesClass() const override { return TTestStyles::StaticClass(); }
  TTestStyles* Styles() const { return static_cast<TTestStyles*>(GetStylesValue()); }
};

class TObserver : public TObject, public IcxStyleObserver {
  ORV_CLASS(TObserver, TObject)
 public:
  void StyleModified(TcxCustomStyle* style) override { ++Modified; }
  void StyleDestroying(TcxCustomStyle* style) override {
    ++Destroying;
    style->DetachListener(this);
  }
  Integer Modified = 0, Destroying = 0;
};

TEST(TcxStyle, ValuesSetAndClearTheirFlagsAndNotify) {
  ComponentPtr form(new TComponent(nullptr));
  auto* style = new TcxStyle(form.get());
  std::unique_ptr<TObserver, orv::FreeDeleter> observer(new TObserver);
  style->AttachListener(observer.get());
  style->AttachListener(observer.get());
  EXPECT_EQ(style->GetListenerCount(), 1);
  style->SetColor(clRed);
  EXPECT_TRUE(style->GetAssignedValues().Contains(svColor));
  style->SetColor(clDefault);
  EXPECT_FALSE(style->GetAssignedValues().Contains(svColor));
  EXPECT_EQ(observer->Modified, 2);
  style->SetColor(clDefault);  // unchanged: no notice
  EXPECT_EQ(observer->Modified, 2);
  style->SetTextColor(clBlue);
  style->GetFont()->SetHeight(-20);
  EXPECT_EQ(style->GetAssignedValues(), (TcxStyleValues{svFont, svTextColor}));
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  bitmap->SetSize(4, 4);
  style->SetBitmap(bitmap.get());
  EXPECT_TRUE(style->GetAssignedValues().Contains(svBitmap));
  style->SetBitmap(nullptr);
  EXPECT_FALSE(style->GetAssignedValues().Contains(svBitmap));
  // Assign: the source's set wins over the flags the copies raised.
  auto* copy = new TcxStyle(form.get());
  style->SetAssignedValues({svTextColor});
  copy->Assign(style);
  EXPECT_EQ(copy->GetAssignedValues(), TcxStyleValues{svTextColor});
  EXPECT_EQ(copy->GetTextColor(), clBlue);
  EXPECT_EQ(copy->GetFont()->GetHeight(), -20);
  copy->ResetValues();
  EXPECT_TRUE(copy->GetAssignedValues().Empty());
  EXPECT_EQ(copy->GetTextColor(), clDefault);
  style->Free();
  EXPECT_EQ(observer->Destroying, 1);
}

TEST(TcxStyles, ResolveMergesExplicitStyleIndexStyleAndDefaults) {
  ComponentPtr form(new TComponent(nullptr));
  std::unique_ptr<TFont, orv::FreeDeleter> viewFont(new TFont);
  StylesPtr styles(new TTestStyles(nullptr));
  styles->ViewFont = viewFont.get();
  auto* content = new TcxStyle(form.get());
  content->SetTextColor(clRed);
  styles->SetStyleValue(0, content);
  EXPECT_EQ(styles->GetStyleValue(0), content);
  EXPECT_EQ(styles->Changed, std::vector<Integer>{0});

  // Only the text colour is the style's; colour and font come from the defaults.
  TcxViewParams params;
  styles->ResolveStyleParams(0, nullptr, nullptr, params);
  EXPECT_EQ(params.TextColor, clRed);
  EXPECT_EQ(params.Color, clWindow);
  EXPECT_EQ(params.Font, viewFont.get());
  EXPECT_EQ(params.Bitmap, nullptr);
  EXPECT_EQ(styles->GetMaxDefaultViewParamsIndex(), 0);

  // An explicit style's assigned values come first.
  auto* hot = new TcxStyle(form.get());
  hot->SetColor(clYellow);
  hot->SetTextColor(clBlue);
  styles->ResolveStyleParams(0, nullptr, hot, params);
  EXPECT_EQ(params.Color, clYellow);
  EXPECT_EQ(params.TextColor, clBlue);
  EXPECT_EQ(params.Font, viewFont.get());

  // A style's change reaches the element of every index that uses it.
  styles->SetStyleValue(3, content);
  styles->Changed.clear();
  content->SetColor(clGreen);
  EXPECT_EQ(styles->Changed, (std::vector<Integer>{0, 3}));
  // The view's font changes: indexes whose style leaves the font to the defaults repaint.
  styles->Changed.clear();
  styles->ControlFontChanged(nullptr, viewFont.get());
  EXPECT_EQ(styles->Changed, std::vector<Integer>{0});
}

TEST(TcxStyles, FreeingAStyleRemovesEveryItemThatUsesIt) {
  ComponentPtr form(new TComponent(nullptr));
  StylesPtr styles(new TTestStyles(nullptr));
  auto* style = new TcxStyle(form.get());
  for (Integer index : {5, 1, 3}) styles->SetStyleValue(index, style);
  ASSERT_EQ(styles->ItemCount(), 3);
  EXPECT_EQ(styles->ItemAt(0)->Index, 1);  // kept sorted by index
  EXPECT_EQ(styles->ItemAt(2)->Index, 5);
  styles->Changed.clear();
  style->Free();
  EXPECT_EQ(styles->ItemCount(), 0);
  EXPECT_EQ(styles->Changed, (std::vector<Integer>{5, 3, 1}));
  EXPECT_EQ(styles->GetStyleValue(3), nullptr);
}

TEST(TcxStyleSheet, SheetsSupplyStylesAndRefuseWrongClassesAndCycles) {
  ComponentPtr form(new TComponent(nullptr));
  auto* repository = new TcxStyleRepository(form.get());
  auto* red = static_cast<TcxStyle*>(repository->CreateStyle(TcxStyle::StaticClass()));
  auto* blue = static_cast<TcxStyle*>(repository->CreateStyle(TcxStyle::StaticClass()));
  auto* sheetA = static_cast<TTestStyleSheet*>(repository->CreateSheet(TTestStyleSheet::StaticClass()));
  auto* sheetB = static_cast<TTestStyleSheet*>(repository->CreateSheet(TTestStyleSheet::StaticClass()));
  EXPECT_EQ(repository->GetCount(), 2);
  EXPECT_EQ(repository->GetStyleSheetCount(), 2);
  EXPECT_EQ(red->GetParentComponent(), repository);
  sheetA->Styles()->SetStyleValue(1, red);
  sheetB->Styles()->SetStyleValue(2, blue);

  StylesPtr styles(new TTestStyles(nullptr));
  styles->SetStyleSheet(sheetA);
  EXPECT_EQ(styles->GetStyleSheet(), sheetA);
  EXPECT_EQ(styles->GetStyleValue(1), red);
  EXPECT_EQ(styles->Changed, std::vector<Integer>{1});
  // A change of the sheet's style reaches the user through the sheet.
  styles->Changed.clear();
  red->SetColor(clRed);
  EXPECT_EQ(styles->Changed, std::vector<Integer>{1});

  // Another class of styles is refused, and so is a cycle of sheets.
  std::unique_ptr<TcxStyles, orv::FreeDeleter> plain(new TcxStyles(nullptr));
  plain->SetStyleSheet(sheetA);
  EXPECT_EQ(plain->GetStyleSheet(), nullptr);
  sheetA->Styles()->SetStyleSheet(sheetB);
  EXPECT_EQ(sheetA->Styles()->GetStyleSheet(), sheetB);
  sheetB->Styles()->SetStyleSheet(sheetA);
  EXPECT_EQ(sheetB->Styles()->GetStyleSheet(), nullptr);
  sheetA->Styles()->SetStyleSheet(sheetA);
  EXPECT_EQ(sheetA->Styles()->GetStyleSheet(), sheetB);
  EXPECT_EQ(styles->GetStyleValue(2), blue);  // through the sheet's sheet

  // Switching sheets notifies every index of the old chain and of the new one.
  styles->Changed.clear();
  styles->SetStyleSheet(sheetB);
  EXPECT_EQ(styles->Changed, (std::vector<Integer>{1, 2, 2}));
  // A freed sheet lets its users go.
  sheetB->Free();
  EXPECT_EQ(styles->GetStyleSheet(), nullptr);
  EXPECT_EQ(sheetA->Styles()->GetStyleSheet(), nullptr);
  EXPECT_EQ(repository->GetStyleSheetCount(), 1);
}

TEST(TcxStyleSheet, CaptionFollowsTheNameUntilSetToSomethingElse) {
  ComponentPtr form(new TComponent(nullptr));
  auto* sheet = new TTestStyleSheet(form.get());
  sheet->SetName("Sheet1");
  EXPECT_EQ(sheet->GetCaption(), "Sheet1");
  sheet->SetCaption("SHEET1");
  sheet->SetName("Sheet2");
  EXPECT_EQ(sheet->GetCaption(), "Sheet2");
  sheet->SetCaption("Мой стиль"_a);
  sheet->SetName("Sheet3");
  EXPECT_EQ(sheet->GetCaption(), "Мой стиль"_a);
}

TEST(TcxStyleRepository, ScalesFontHeightsSavedAtAnotherResolution) {
  ComponentPtr form(new TComponent(nullptr));
  auto* repository = new TcxStyleRepository(form.get());
  HDC screen = orv::CreateScreenDC();
  const Integer screenPixels = GetDeviceCaps(screen, LOGPIXELSX);
  DeleteDC(screen);
  repository->SetPixelsPerInch(screenPixels * 2);
  EXPECT_EQ(repository->ScaleFontHeight(-22), -22);  // not scalable
  repository->SetScalable(true);
  EXPECT_EQ(repository->ScaleFontHeight(-22), -11);
  repository->SetPixelsPerInch(screenPixels);
  EXPECT_EQ(repository->ScaleFontHeight(-22), -22);
  // Freeing the repository frees its styles and sheets.
  repository->CreateStyle(TcxStyle::StaticClass());
  repository->CreateSheet(TTestStyleSheet::StaticClass());
  EXPECT_EQ(repository->GetCount(), 1);
  EXPECT_EQ(repository->GetStyleSheetCount(), 1);
  EXPECT_EQ(repository->GetComponentCount(), 2);  // the repository owns what it creates
  repository->Free();
  EXPECT_EQ(form->GetComponentCount(), 0);
}

}  // namespace

ORV_PUBLISH(TTestStyleSheet) {}

namespace {

Integer StylesTestScreenPixelsPerInch() {
  HDC screen = orv::CreateScreenDC();
  const Integer pixels = GetDeviceCaps(screen, LOGPIXELSX);
  DeleteDC(screen);
  return pixels;
}

// Replaces the first "PixelsPerInch = n" line's value.
std::string WithStoredPixelsPerInch(std::string text, Integer pixels) {
  const std::string key = "PixelsPerInch = ";
  const std::size_t at = text.find(key);
  if (at == std::string::npos) return text;
  const std::size_t end = text.find('\n', at);
  return text.replace(at + key.size(), end - at - key.size(), std::to_string(pixels));
}

TEST(TcxStyleRepository, FormDescriptionKeepsPixelsPerInchAndBuiltInAndScalesFonts) {
  const Integer screenPixels = StylesTestScreenPixelsPerInch();
  std::unique_ptr<TcxStyleRepository, orv::FreeDeleter> repository(new TcxStyleRepository(nullptr));
  repository->SetName("Repository");
  repository->SetScalable(true);
  auto* style = static_cast<TcxStyle*>(repository->CreateStyle(TcxStyle::StaticClass()));
  style->SetName("Big");
  TFont font;
  font.SetHeight(-22);
  style->SetFont(&font);
  auto* sheet = repository->CreateSheet(TTestStyleSheet::StaticClass());
  sheet->SetName("Sheet");
  sheet->SetBuiltIn(true);
  auto* plainSheet = repository->CreateSheet(TTestStyleSheet::StaticClass());
  plainSheet->SetName("Plain");

  const std::string text = orv::WriteComponentToText(repository.get());
  // The writing screen's resolution, and the flag of every sheet, false ones too.
  EXPECT_NE(text.find("PixelsPerInch = " + std::to_string(screenPixels)), std::string::npos) << text;
  EXPECT_NE(text.find("BuiltIn = True"), std::string::npos) << text;
  EXPECT_NE(text.find("BuiltIn = False"), std::string::npos) << text;

  struct Case {
    const char* what;
    Integer storedPixels;
    bool scalable;
    Integer height;
  } cases[] = {
      {"same resolution", screenPixels, true, -22},
      {"saved at twice the screen's", screenPixels * 2, true, -11},
      {"saved at half the screen's", screenPixels / 2, true, -44},
      {"not scalable", screenPixels * 2, false, -22},
  };
  for (const Case& c : cases) {
    std::string described = WithStoredPixelsPerInch(text, c.storedPixels);
    if (!c.scalable) described.replace(described.find("Scalable = True"), 15, "Scalable = False");
    std::unique_ptr<TcxStyleRepository, orv::FreeDeleter> copy(new TcxStyleRepository(nullptr));
    orv::ReadComponentFromText(copy.get(), described);
    EXPECT_EQ(copy->GetPixelsPerInch(), c.storedPixels) << c.what;
    ASSERT_EQ(copy->GetCount(), 1) << c.what << "\n" << described;
    EXPECT_EQ(static_cast<TcxStyle*>(copy->GetItem(0))->GetFont()->GetHeight(), c.height) << c.what;
    ASSERT_EQ(copy->GetStyleSheetCount(), 2) << c.what;
    EXPECT_TRUE(copy->GetStyleSheet(0)->GetBuiltIn()) << c.what;
    EXPECT_FALSE(copy->GetStyleSheet(1)->GetBuiltIn()) << c.what;
  }
}

}  // namespace
