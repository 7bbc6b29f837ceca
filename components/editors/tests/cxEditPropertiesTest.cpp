// Editor properties, styles, repository items and the shared routines, without windows: change
// propagation and batching, buttons, alignment with a data-defaults provider, assigned values,
// the edit style values and their controller, repository listeners and names, the stored-value
// conversions and the painting utilities' pixels.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditUtils.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Streams.h"
#include "platform/windowing/User.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

// Counts the change notices of a properties object.
class TChangeCounter : public TObject {
 public:
  void Changed(TObject*) { ++Count; }
  int Count = 0;
};

class TRightProvider : public TcxCustomEditDefaultValuesProvider {
  ORV_CLASS(TRightProvider, TcxCustomEditDefaultValuesProvider)
 public:
  explicit TRightProvider(TPersistent* owner) : TcxCustomEditDefaultValuesProvider(owner) {}
  TAlignment DefaultAlignment() override { return taRightJustify; }
  Double DefaultMaxValue() override { return 99; }
};

Owned<TcxCustomEditProperties> MakeProperties(TChangeCounter& counter) {
  Owned<TcxCustomEditProperties> p(new TcxCustomEditProperties(nullptr));
  p->SetOnPropertiesChanged(TNotifyEvent(&counter, &TChangeCounter::Changed));
  return p;
}

TEST(cxEditProperties, ChangesNotifyOnceAndBatchInsideAnUpdate) {
  TChangeCounter counter;
  auto p = MakeProperties(counter);
  p->SetAutoSelect(false);
  p->SetAutoSelect(false);  // no real change
  EXPECT_EQ(counter.Count, 1);

  p->BeginUpdate();
  p->SetBeepOnError(true);
  p->SetImmediatePost(true);
  p->SetClearKey(ShortCut(VK_DELETE, false, true, false));
  EXPECT_EQ(counter.Count, 1);
  p->EndUpdate(true);
  EXPECT_EQ(counter.Count, 2);

  // Without notify the pending change is forgotten at the next BeginUpdate.
  p->BeginUpdate();
  p->SetValidateOnEnter(true);
  p->EndUpdate(false);
  p->BeginUpdate();
  p->EndUpdate(true);
  EXPECT_EQ(counter.Count, 2);

  // The change lock only collects.
  p->SetChangeLock(true);
  p->SetTransparent(true);
  EXPECT_EQ(counter.Count, 2);
  EXPECT_TRUE(p->IsChangePending());
  p->SetChangeLock(false);
  p->BeginUpdate();
  p->SetTransparent(false);
  p->EndUpdate(true);
  EXPECT_EQ(counter.Count, 3);
  EXPECT_EQ(p->GetNotifyLockCount(), 0);
}

TEST(cxEditProperties, ButtonsDefaultWidthAndCaption) {
  TChangeCounter counter;
  auto p = MakeProperties(counter);
  TcxEditButton* first = p->GetButtons()->Add();
  TcxEditButton* second = p->GetButtons()->Add();
  EXPECT_EQ(first->GetKind(), bkDown);
  EXPECT_TRUE(first->GetVisible());
  first->SetDefault(true);
  second->SetDefault(true);
  EXPECT_FALSE(first->GetDefault());
  EXPECT_TRUE(second->GetDefault());

  second->SetWidth(20);
  second->SetWidth(-5);
  EXPECT_EQ(second->GetWidth(), 20);
  second->SetWidth(0);
  EXPECT_EQ(second->GetWidth(), 0);

  second->SetCaption("&Open && save&");
  EXPECT_EQ(second->GetVisibleCaption(), "Open & save_");
  second->SetVisible(false);
  EXPECT_EQ(p->GetButtons()->GetVisibleCount(), 1);
  EXPECT_GT(counter.Count, 0);
  EXPECT_EQ(p->GetCapabilities(), cxEditCapabilityButtons);
}

TEST(cxEditProperties, AlignmentShowsTheProvidersDefaultUntilAssigned) {
  TChangeCounter counter;
  auto p = MakeProperties(counter);
  Owned<TRightProvider> provider(new TRightProvider(nullptr));
  p->SetDefaultValuesProvider(provider.get());
  EXPECT_EQ(p->GetAlignment()->GetHorz(), taRightJustify);
  EXPECT_FALSE(p->IsAlignmentStored());
  EXPECT_DOUBLE_EQ(p->GetMaxValue(), 99);

  p->GetAlignment()->SetHorz(taLeftJustify);
  EXPECT_TRUE(p->IsAlignmentStored());
  EXPECT_EQ(p->GetAlignment()->GetHorz(), taLeftJustify);

  // A provider that goes leaves every properties object that used it.
  provider.reset();
  EXPECT_EQ(p->GetDefaultValuesProvider(), nullptr);
  EXPECT_DOUBLE_EQ(p->GetMaxValue(), 0);
}

TEST(cxEditProperties, AssignCopiesValuesAndClearsUnassignedLimits) {
  TChangeCounter counter;
  auto target = MakeProperties(counter);
  Owned<TcxCustomEditProperties> source(new TcxCustomEditProperties(nullptr));
  target->SetMaxValue(10);
  target->SetReadOnly(true);
  source->SetMinValue(-3);
  source->SetBeepOnError(true);
  source->GetButtons()->Add()->SetKind(bkEllipsis);
  TChangeCounter changes;
  source->SetOnChange(TNotifyEvent(&changes, &TChangeCounter::Changed));
  const int before = counter.Count;
  target->Assign(source.get());
  EXPECT_EQ(counter.Count, before + 1);
  EXPECT_FALSE(target->GetAssignedValues()->GetMaxValue());
  EXPECT_FALSE(target->GetAssignedValues()->GetReadOnly());
  EXPECT_FALSE(target->GetReadOnly());
  EXPECT_TRUE(target->GetAssignedValues()->GetMinValue());
  EXPECT_DOUBLE_EQ(target->GetMinValue(), -3);
  EXPECT_TRUE(target->GetBeepOnError());
  ASSERT_EQ(target->GetButtons()->GetCount(), 1);
  EXPECT_EQ(target->GetButtons()->GetItem(0)->GetKind(), bkEllipsis);
  EXPECT_TRUE(target->GetOnChange() == source->GetOnChange());
}

TEST(cxEditProperties, ValidationFillsTheDefaultText) {
  class TValidating : public TcxCustomEditProperties {
   public:
    TValidating() : TcxCustomEditProperties(nullptr) {}
    Boolean SupportsValidation() override { return true; }
  };
  Owned<TValidating> p(new TValidating);
  Variant value{AnsiString("x")};
  AnsiString text;
  Boolean error = false;
  p->CheckDisplayValue(value, text, nullptr, error);
  EXPECT_EQ(text, "Invalid input value. Use escape key to abandon changes");
  EXPECT_FALSE(error);
}

// ---- Styles -------------------------------------------------------------------------------------

class EditStyleTest : public ::testing::Test {
 protected:
  void SetUp() override { Styles.reset(new TcxContainerStyles(nullptr, TcxEditStyle::StaticClass())); }
  TcxCustomEditStyle* Style(Integer state) {
    return static_cast<TcxCustomEditStyle*>(Styles->GetStyleByState(state));
  }
  Owned<TcxContainerStyles> Styles;
};

TEST_F(EditStyleTest, RootValuesGoToTheBaseStyleAndButtonStyleStaysOnItsState) {
  Style(csFocusedStyle)->SetGradient(true);
  EXPECT_TRUE(Style(csNormalStyle)->GetGradient());
  EXPECT_TRUE(Style(csFocusedStyle)->GetGradient());
  Style(csFocusedStyle)->SetButtonStyle(btsFlat);
  EXPECT_EQ(Style(csFocusedStyle)->GetButtonStyle(), btsFlat);
  EXPECT_EQ(Style(csNormalStyle)->GetButtonStyle(), btsDefault);
  // A state style without its own value falls back on the base style's.
  Style(csNormalStyle)->SetButtonStyle(bts3D);
  EXPECT_EQ(Style(csHotStyle)->GetButtonStyle(), bts3D);
  EXPECT_EQ(Style(csNormalStyle)->GetGradientDirection(), dirDown);
  EXPECT_TRUE(Style(csNormalStyle)->GetShowPopupCloseButton());

  AnsiString name;
  EXPECT_EQ(Style(csNormalStyle)->GetValueCount(), 16);
  EXPECT_TRUE(Style(csNormalStyle)->GetValueName(13, name));
  EXPECT_EQ(name, "GradientButtons");
  EXPECT_FALSE(Style(csNormalStyle)->GetValueName(16, name));
  Cardinal bits = 0;
  for (int i = 0; i < 16; ++i)
    if (Style(csNormalStyle)->GetUnpublishedExtendedValues().Contains(TcxContainerStyleValue(i))) bits |= 1u << i;
  EXPECT_EQ(bits, 64120u);
}

TEST_F(EditStyleTest, ControllerValuesAreAssignedValuesOfTheFollowingStyle) {
  Owned<TcxEditStyleController> controller(new TcxEditStyleController(nullptr));
  controller->GetStyle()->SetButtonTransparency(ebtAlways);
  Style(csNormalStyle)->SetStyleController(controller.get());
  EXPECT_EQ(Style(csNormalStyle)->GetButtonTransparency(), ebtAlways);
  EXPECT_TRUE(Style(csNormalStyle)->IsValueAssigned(svButtonTransparency));
  EXPECT_FALSE(Style(csNormalStyle)->IsOwnValueAssigned(svButtonTransparency));
  EXPECT_FALSE(Style(csNormalStyle)->IsValueAssigned(svPopupBorderStyle));
  Style(csNormalStyle)->SetButtonTransparency(ebtInactive);
  EXPECT_EQ(Style(csNormalStyle)->GetButtonTransparency(), ebtInactive);
  Style(csNormalStyle)->SetStyleController(nullptr);
}

// ---- Repository ---------------------------------------------------------------------------------

class TEditRepositoryTestItem : public TcxEditRepositoryItem {
  ORV_CLASS(TEditRepositoryTestItem, TcxEditRepositoryItem)
 public:
  explicit TEditRepositoryTestItem(TComponent* owner) : TcxEditRepositoryItem(owner) {}
};

class TListener : public TObject, public IcxEditRepositoryItemListener {
 public:
  TListener(std::vector<int>& log, int id) : Log(log), Id(id) {}
  void ItemRemoved(TcxEditRepositoryItem*) override { Log.push_back(-Id); }
  void PropertiesChanged(TcxEditRepositoryItem*) override { Log.push_back(Id); }
  std::vector<int>& Log;
  int Id;
};

TEST(cxEditRepository, ItemsAreNamedListedAndTellTheirListenersInReverse) {
  Owned<TcxEditRepository> repository(new TcxEditRepository(nullptr));
  repository->SetName("Repository1");
  TcxEditRepositoryItem* item = repository->CreateItem(TEditRepositoryTestItem::StaticClass());
  ASSERT_EQ(repository->GetCount(), 1);
  EXPECT_EQ(repository->GetItem(0), item);
  AnsiString name;
  item->GetDefaultItemName(name);
  EXPECT_EQ(name, "Repository1");  // the class name has no repository prefix

  std::vector<int> log;
  TListener a(log, 1), b(log, 2);
  item->AddListener(&a);
  item->AddListener(&b);
  item->AddListener(&a);
  EXPECT_EQ(item->GetListenerCount(), 2);
  item->GetProperties()->SetBeepOnError(true);
  EXPECT_EQ(log, (std::vector<int>{2, 1}));
  log.clear();
  repository.reset();
  EXPECT_EQ(log, (std::vector<int>{-2, -1}));
}

TEST(cxEditRepository, OwnPropertiesReplaceCompatibleItemProperties) {
  Owned<TcxEditRepositoryItem> item(new TcxEditRepositoryItem(nullptr));
  Owned<TcxCustomEditProperties> own(new TcxCustomEditProperties(nullptr));
  TcxCustomEditProperties* properties = item->GetProperties();
  EXPECT_TRUE(UseOwnPropertiesIfCompatible(own.get(), item.get(), properties));
  EXPECT_EQ(properties, own.get());
  properties = own.get();
  EXPECT_FALSE(UseOwnPropertiesIfCompatible(own.get(), item.get(), properties));
  EXPECT_FALSE(UseOwnPropertiesIfCompatible(nullptr, item.get(), properties));
}

// ---- Stored-value conversions -------------------------------------------------------------------

TEST(cxEditUtils, StreamsTravelAsHexText) {
  TMemoryStream stream;
  const unsigned char bytes[] = {0x00, 0xAB, 0x10};
  stream.WriteBuffer(bytes, 3);
  AnsiString text;
  StreamToHexString(&stream, text);
  EXPECT_EQ(text, "Hex:00AB10");
  EXPECT_EQ(stream.GetPosition(), 3);

  struct TCase {
    const char* Text;
    std::vector<unsigned char> Bytes;
  };
  const TCase cases[] = {{"Hex:00ab10", {0x00, 0xAB, 0x10}}, {"Hex:A", {}}, {"Hex:ABC", {0xAB}}, {"", {}}};
  for (const TCase& c : cases) {
    TMemoryStream out;
    HexStringToStream(c.Text, &out);
    ASSERT_EQ(out.GetSize(), Int64(c.Bytes.size())) << c.Text;
    out.SetPosition(0);
    std::vector<unsigned char> read(c.Bytes.size());
    if (!read.empty()) out.ReadBuffer(read.data(), Integer(read.size()));
    EXPECT_EQ(read, c.Bytes) << c.Text;
  }
  TMemoryStream empty;
  StreamToHexString(&empty, text);
  EXPECT_EQ(text, "");
  StreamToHexString(nullptr, text);
  EXPECT_EQ(text, "");
  HexStringToStream("Hex:00", nullptr);
}

TEST(cxEditUtils, BooleansReadFromTheTwoWordsOnly) {
  EXPECT_TRUE(StringToBoolean("true"));
  EXPECT_TRUE(StringToBoolean("True"));
  EXPECT_TRUE(StringToBoolean("TRUE"));
  EXPECT_FALSE(StringToBoolean("false"));
  EXPECT_THROW(StringToBoolean("yes"), EPropertyConvertError);
  EXPECT_THROW(StringToBoolean(""), EPropertyConvertError);
}

// ---- Painting utilities -------------------------------------------------------------------------

class PaintUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HDC screen = orv::CreateScreenDC();
    Dc = CreateCompatibleDC(screen);
    Bitmap = CreateCompatibleBitmap(screen, 20, 20);
    DeleteDC(screen);
    Old = SelectObject(Dc, Bitmap);
    Surface().Fill(orv::ColorToPixel(0xFFFFFF));
    Canvas.reset(new TcxCanvas(Dc));
  }
  void TearDown() override {
    Canvas.reset();
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
  }
  orv::TSurface& Surface() { return *orv::GetBitmapSurface(Bitmap); }
  ::testing::AssertionResult Art(const TRect& area, std::string_view art) {
    const orv::TImageCheck c = orv::MatchAsciiArt(Surface(), area, art, {{'#', 0x000000}, {'.', 0xFFFFFF}});
    if (c) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.Message;
  }
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  Owned<TcxCanvas> Canvas;
};

TEST_F(PaintUtilsTest, ArrowsAreCentredStrips) {
  DrawEditArrow(Canvas.get(), 3, TRect{0, 0, 20, 20}, cxEditArrowUp, false, false, clBlack);
  EXPECT_TRUE(Art(TRect{6, 7, 13, 12},
                  ".......\n"
                  "...#...\n"
                  "..###..\n"
                  ".#####.\n"
                  "......."));
  Surface().Fill(orv::ColorToPixel(0xFFFFFF));
  DrawEditArrow(Canvas.get(), 3, TRect{0, 0, 20, 20}, cxEditArrowDown, true, false, clBlack);
  EXPECT_TRUE(Art(TRect{7, 7, 12, 13},
                  "#####\n"
                  ".###.\n"
                  "..#..\n"
                  "#####\n"
                  ".###.\n"
                  "..#.."));
  EXPECT_EQ(CalculateArrowSize(TSize{17, 30}, cxEditArrowUp), (TSize{9, 5}));
  EXPECT_EQ(CalculateArrowSize(TSize{17, 30}, cxEditArrowLeft), (TSize{5, 9}));
  EXPECT_EQ(CalculateArrowSize(TSize{6, 6}, cxEditArrowUp), (TSize{3, 2}));
}

TEST_F(PaintUtilsTest, SidesAreDrawnAndTheRectangleShrinks) {
  TRect r{0, 0, 10, 10};
  DrawRectSidesAndShrink(Canvas.get(), r, cxEditSidesAll, clBlack);
  EXPECT_EQ(r, (TRect{1, 1, 9, 9}));
  EXPECT_TRUE(Art(TRect{0, 0, 11, 3},
                  "##########.\n"
                  "#........#.\n"
                  "#........#."));
  EXPECT_TRUE(Art(TRect{0, 8, 11, 11},
                  "#........#.\n"
                  "##########.\n"
                  "..........."));
}

TEST_F(PaintUtilsTest, ButtonWidthsAndTextFlags) {
  TcxEditButtonViewInfo button;
  const Integer scroll = GetSystemMetrics(SM_CYHSCROLL);
  button.RequestedWidth = 5;
  EXPECT_EQ(GetEditButtonWidth(Canvas.get(), &button), 5);
  button.RequestedWidth = 2;
  EXPECT_EQ(GetEditButtonWidth(Canvas.get(), &button), 4);
  button.RequestedWidth = 0;
  button.Kind = bkEllipsis;
  EXPECT_EQ(GetEditButtonWidth(Canvas.get(), &button), scroll);
  TBitmap glyph;
  glyph.SetWidth(10);
  glyph.SetHeight(10);
  button.Kind = bkGlyph;
  button.Glyph = &glyph;
  EXPECT_EQ(GetEditButtonWidth(Canvas.get(), &button), 14);

  EXPECT_EQ(GetEditBorderWidth(ebsFlat), 2);
  EXPECT_EQ(GetEditBorderWidth(ebsUltraFlat), 1);
  EXPECT_EQ(GetButtonVerticalInsets(Canvas.get(), bts3D, false), 4);

  EXPECT_EQ(TranslateTextFlags(4), 1);
  EXPECT_EQ(TranslateTextFlags(0x20), 0x10);
  EXPECT_EQ(TranslateTextFlags(1 | 8), 0);
  EXPECT_EQ(TranslateTextFlagsToCanvas(0x231), 0x74);
  EXPECT_TRUE(IsWhiteSpaceChar('\t'));
  EXPECT_FALSE(IsWhiteSpaceChar('\v'));
  EXPECT_TRUE(IsDecimalDigit('7'));
  EXPECT_FALSE(IsDecimalDigit('a'));
}

}  // namespace

namespace {

// An editor frame and its buttons painted from a view info, on a memory DC.
class EditPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HDC screen = orv::CreateScreenDC();
    Dc = CreateCompatibleDC(screen);
    Bitmap = CreateCompatibleBitmap(screen, 80, 24);
    DeleteDC(screen);
    Old = SelectObject(Dc, Bitmap);
    Surface().Fill(orv::ColorToPixel(0x00FF00));
    Canvas.reset(new TcxCanvas(Dc));
    Properties.reset(new TcxCustomEditProperties(nullptr));
    Style.reset(new TcxEditStyle(nullptr, false));
    Style->SetEditBorderStyle(ebsSingle);
    Style->SetTransparentBorder(false);
    Style->SetHotTrack(false);
  }
  void TearDown() override {
    ViewInfo.reset();
    Canvas.reset();
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
  }
  void Paint(const TRect& bounds) {
    Owned<TcxCustomEditViewData> viewData(Properties->CreateViewData(Style.get(), false));
    ViewInfo.reset(new TcxCustomEditViewInfo);
    viewData->CalculateViewInfo(Canvas.get(), bounds, false, ViewInfo.get());
    ViewInfo->Paint(Canvas.get());
  }
  orv::TSurface& Surface() { return *orv::GetBitmapSurface(Bitmap); }
  COLORREF At(int x, int y) { return orv::PixelToColor(Surface().Pixel(x, y)); }
  int Count(const TRect& area, TColor color) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x)
        if (At(x, y) == ColorToRGB(color)) ++n;
    return n;
  }
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  Owned<TcxCanvas> Canvas;
  Owned<TcxCustomEditProperties> Properties;
  Owned<TcxEditStyle> Style;
  Owned<TcxCustomEditViewInfo> ViewInfo;
};

TEST_F(EditPaintTest, SingleFrameAroundTheBackgroundAndAHotFlatButton) {
  Style->SetColor(clWindow);
  Style->SetButtonStyle(btsHotFlat);
  Properties->GetButtons()->Add()->SetWidth(12);
  Paint(TRect{0, 0, 60, 20});
  ASSERT_EQ(ViewInfo->GetButtonCount(), 1);
  EXPECT_EQ(ViewInfo->GetButton(0)->Bounds, (TRect{47, 1, 59, 19}));
  EXPECT_EQ(At(0, 10), ColorToRGB(Style->GetBorderColor()));
  EXPECT_EQ(At(59, 10), ColorToRGB(Style->GetBorderColor()));
  EXPECT_EQ(At(10, 10), ColorToRGB(clWindow));
  // The right button that is first of its group: a whole clBtnShadow frame.
  EXPECT_TRUE(ViewInfo->GetButton(0)->IsFirstInGroup);
  for (int y = 1; y < 19; ++y) {
    EXPECT_EQ(At(47, y), ColorToRGB(clBtnShadow)) << y;
    EXPECT_EQ(At(58, y), ColorToRGB(clBtnShadow)) << y;
  }
  EXPECT_EQ(At(52, 1), ColorToRGB(clBtnShadow));
  // Its arrow in the text colour.
  EXPECT_GT(Count(TRect{48, 2, 58, 18}, clBtnText), 0);
}

TEST_F(EditPaintTest, DisabledEllipsisDotsAreEmbossed) {
  Style->SetButtonStyle(btsUltraFlat);
  TcxEditButton* button = Properties->GetButtons()->Add();
  button->SetKind(bkEllipsis);
  button->SetWidth(11);
  button->SetEnabled(false);
  Paint(TRect{0, 0, 60, 20});
  ASSERT_EQ(ViewInfo->GetButton(0)->State, ebsDisabled);
  const TRect content = GetInflatedRect(ViewInfo->GetButton(0)->Bounds, -2, -2);
  // Three one-pixel dots in clBtnShadow, each with a clBtnHighlight copy one pixel right and down
  // (the last copy falls outside the content and is clipped).
  EXPECT_EQ(Count(content, clBtnShadow), 3);
  EXPECT_EQ(Count(content, clBtnHighlight), 2);
  const int y = content.Top + (content.Height() - 1) / 2;
  EXPECT_EQ(At(content.Left, y), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(content.Left + 1, y + 1), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(content.Left + 3, y), ColorToRGB(clBtnShadow));
}

TEST_F(EditPaintTest, ShadowIsDrawnAroundTheFrame) {
  Style->SetShadow(true);
  Paint(TRect{0, 0, 60, 20});
  EXPECT_EQ(ViewInfo->BorderWidths, (TRect{1, 1, 4, 4}));
  EXPECT_EQ(At(0, 5), ColorToRGB(Style->GetBorderColor()));
  EXPECT_EQ(At(58, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(10, 18), ColorToRGB(clBtnShadow));
}

TEST_F(EditPaintTest, TransparentGlyphLeavesTheBackgroundUnderItsTransparentColour) {
  TBitmap glyph;
  glyph.SetWidth(4);
  glyph.SetHeight(4);
  glyph.GetCanvas()->GetBrush()->SetColor(clRed);
  glyph.GetCanvas()->FillRect(TRect{0, 0, 4, 4});
  glyph.GetCanvas()->GetBrush()->SetColor(clBlue);
  glyph.GetCanvas()->FillRect(TRect{1, 1, 3, 3});
  glyph.SetTransparentColor(clRed);
  glyph.SetTransparent(true);
  DrawTransparentGlyph(Canvas.get(), 10, 10, &glyph, clNone, true);
  EXPECT_EQ(At(10, 10), RGB(0, 255, 0));
  EXPECT_EQ(At(11, 11), ColorToRGB(clBlue));
  DrawTransparentGlyph(Canvas.get(), 20, 10, &glyph, clYellow, true);
  EXPECT_EQ(At(20, 10), ColorToRGB(clYellow));
}

}  // namespace
