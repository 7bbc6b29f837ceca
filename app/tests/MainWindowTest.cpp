// The main window driven as a user drives it, on the headless desktop with the bundled town
// table: start-up, the two searches, the sign toggles, the clear buttons, the export and the
// copy, and how the window looks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/Program.h"
#include "app/StatusLine.h"
#include "app/UMain.h"
#include "app/UStart.h"
#include "app/fMsgF1DE.h"
#include "app/tests/AppTestSupport.h"
#include "components/bars/dxStatusBar.h"
#include "components/editors-more/cxCalc.h"
#include "components/editors-more/cxGroupBox.h"
#include "components/editors-more/cxLabel.h"
#include "components/editors-more/cxProgressBar.h"
#include "components/editors-more/cxRadioGroup.h"
#include "components/editors-more/cxSpinEdit.h"
#include "components/editors/cxButtons.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/grid/cxGrid.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

using namespace apptest;

namespace {

::testing::AssertionResult MainGolden(TWinControl* c, const std::string& name) {
  const orv::TImageCheck check = orv::MatchGoldenImage(
      orv::headless::CaptureWindow(c->GetHandle()), std::string(ORV_SOURCE_DIR) + "/app/tests/golden/" + name);
  if (check) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << check.Message;
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::test::ResetHeadlessDesktop();
    Boxes = std::make_unique<MessageBoxes>();
    ASSERT_TRUE(orv::StartProgramData());
    orv::CreateProgramWindows();
    Run();
    ASSERT_NE(FMain, nullptr);
  }
  void TearDown() override {
    orv::SetFileDialogHandler(nullptr);
    orv::ShutDownProgram();
    Boxes.reset();
    orv::headless::Reset();
  }
  static void Run() { Application->ProcessMessages(); }
  static void Click(TControl* c, int x = -1, int y = -1) {
    const TPoint p = c->ClientToScreen(Point(x < 0 ? c->GetWidth() / 2 : x, y < 0 ? c->GetHeight() / 2 : y));
    orv::headless::AdvanceTime(1000);  // no double click with the click before
    orv::headless::Click(p.X, p.Y);
    Run();
  }
  static AnsiString StatusText() { return FMain->dxStatusBar->GetPanels()->GetItem(0)->GetText(); }

  std::unique_ptr<MessageBoxes> Boxes;
};

TEST_F(MainWindow, LooksAsDesigned) {
  EXPECT_TRUE(MainGolden(FMain, "main.png"));
}


// The towns of the bundled table as the file holds them.
const std::vector<RawTown>& BundledTowns() {
  static const std::vector<RawTown> towns = ReadRawTowns(BundledTable());
  return towns;
}

// Replaces an editor's text as a user does: a click into it, the old text selected, the new
// one typed.
void TypeHere(const AnsiString& text);
void TypeInto(TWinControl* edit, const AnsiString& text) {
  const TPoint p = edit->ClientToScreen(Point(8, edit->GetHeight() / 2));
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(p.X, p.Y);
  Application->ProcessMessages();
  TypeHere(text);
}
// Replaces the focused editor's text.
void TypeHere(const AnsiString& text) {
  orv::headless::PressKey(VK_HOME);
  orv::headless::PressKey(VK_END, true);
  if (text.empty())
    orv::headless::PressKey(VK_DELETE);
  else
    orv::headless::TypeText(text);
  Application->ProcessMessages();
}

// Types a country into its list and, after Tab, a town into the next one, leaving it by Tab.
void PickCountryAndTown(const AnsiString& country, const AnsiString& town) {
  TypeInto(FMain->cxComboBox1, country);
  orv::headless::PressKey(VK_TAB);
  Application->ProcessMessages();
  TypeHere(town);
  orv::headless::PressKey(VK_TAB);
  Application->ProcessMessages();
}

TEST_F(MainWindow, StartsWithTheTitleTheHiddenAboutBoxAndFilledPickLists) {
  EXPECT_EQ(Application->GetTitle(), "Орване"_a);
  EXPECT_EQ(FMain->GetCaption(), "Орване"_a);
  EXPECT_EQ(Application->GetMainForm(), FMain);
  EXPECT_TRUE(IsWindowVisible(FMain->GetHandle()));
  EXPECT_EQ(FMain->GetWidth(), 660);
  EXPECT_EQ(FMain->GetHeight(), 472);
  ASSERT_NE(frmMsgF1DE, nullptr);
  EXPECT_FALSE(frmMsgF1DE->GetVisible());
  EXPECT_EQ(FStart, nullptr);  // the splash window came and went
  EXPECT_TRUE(Boxes->Shown.empty());

  // Countries once each and every town, both after "*" and sorted without regard to case.
  const std::vector<RawTown>& towns = BundledTowns();
  std::vector<AnsiString> countries, cities;
  for (const RawTown& t : towns) {
    countries.push_back(t.Country);
    cities.push_back(t.City);
  }
  auto byText = [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; };
  std::stable_sort(countries.begin(), countries.end(), byText);
  countries.erase(std::unique(countries.begin(), countries.end()), countries.end());
  TStrings* countryItems = FMain->cxComboBox1->GetProperties()->GetItems();
  TStrings* cityItems = FMain->cxComboBox2->GetProperties()->GetItems();
  ASSERT_EQ(countryItems->GetCount(), Integer(countries.size()) + 1);
  ASSERT_EQ(cityItems->GetCount(), Integer(cities.size()) + 1);
  EXPECT_EQ(countryItems->Get(0), "*");
  EXPECT_EQ(cityItems->Get(0), "*");
  for (std::size_t i = 0; i < countries.size(); ++i) ASSERT_EQ(countryItems->Get(Integer(i) + 1), countries[i]) << i;
  for (Integer i = 2; i < cityItems->GetCount(); ++i)
    ASSERT_LE(AnsiCompareText(cityItems->Get(i - 1), cityItems->Get(i)), 0) << i;

  // East, north (the Cyrillic letter, not the description's Latin "C"), geographic, the count.
  EXPECT_EQ(FMain->cxLabel5->GetCaption(), "В"_a);
  EXPECT_EQ(FMain->cxLabel6->GetCaption(), "С"_a);
  EXPECT_TRUE(FMain->cxRadioButton1->GetChecked());
  EXPECT_FALSE(FMain->cxProgressBar->GetVisible());
  EXPECT_EQ(StatusText(), orv::FoundCountText(Integer(towns.size())));
  EXPECT_TRUE(FMain->aWriteToFile->GetEnabled());
  EXPECT_TRUE(FMain->aCopyToClipboard->GetEnabled());
}

TEST_F(MainWindow, ACoordinateSearchAroundMoscowFindsWhatTheFileHoldsInThatBox) {
  TypeInto(FMain->cxCalcEdit1, "37");
  TypeInto(FMain->cxCalcEdit2, "55");
  TypeInto(FMain->cxSpinEdit1, "1");
  TypeInto(FMain->cxSpinEdit2, "1");
  Click(FMain->cxButton1);
  EXPECT_EQ(DM->tblOrvane->GetFilter(), "(lon >= 36) and (lon <= 38) and(lat >= 54) and (lat <= 56)"_a);
  std::vector<Integer> expected;
  Integer moscow = 0;
  for (const RawTown& t : BundledTowns()) {
    if (t.Lon >= 36 && t.Lon <= 38 && t.Lat >= 54 && t.Lat <= 56) expected.push_back(t.Id);
    if (t.Country == "Россия"_a && t.City == "Москва"_a) moscow = t.Id;
  }
  ASSERT_NE(moscow, 0);
  EXPECT_NE(std::find(expected.begin(), expected.end(), moscow), expected.end());
  EXPECT_EQ(ShownIds(DM->tblOrvane), expected);
  EXPECT_EQ(StatusText(), orv::FoundCountText(Integer(expected.size())));
  EXPECT_TRUE(Boxes->Shown.empty());

  // West and south by the sign toggles, then back; a second click returns to blue.
  Click(FMain->cxLabel5);
  EXPECT_EQ(FMain->cxLabel5->GetCaption(), "З"_a);
  EXPECT_EQ(FMain->cxLabel5->GetStyle()->GetTextColor(), clRed);
  Click(FMain->cxLabel6);
  EXPECT_EQ(FMain->cxLabel6->GetCaption(), "Ю"_a);
  Click(FMain->cxButton1);
  EXPECT_EQ(DM->tblOrvane->GetFilter(), "(lon >= 322) and (lon <= 324) and(lat + 56 >= 0) and (lat + 54 <= 0)"_a);
  Click(FMain->cxLabel5);
  EXPECT_EQ(FMain->cxLabel5->GetCaption(), "В"_a);
  EXPECT_EQ(FMain->cxLabel5->GetStyle()->GetTextColor(), clBlue);

  // Ecliptic coordinates: the signs hide and take no part.
  Click(FMain->cxRadioButton2, 8);
  EXPECT_TRUE(FMain->cxRadioButton2->GetChecked());
  EXPECT_FALSE(FMain->cxLabel5->GetVisible());
  EXPECT_FALSE(FMain->cxLabel6->GetVisible());
  Click(FMain->cxButton1);
  EXPECT_EQ(DM->tblOrvane->GetFilter(), "(EclLon >= 36) and (EclLon <= 38) and(EclLat - 54 >= 0) and (EclLat - 56 <= 0)"_a);
  Click(FMain->cxRadioButton1, 8);
  EXPECT_TRUE(FMain->cxLabel5->GetVisible());
}

TEST_F(MainWindow, AToleranceWindowAcrossTheZeroMeridianFindsTownsOnBothSides) {
  TypeInto(FMain->cxCalcEdit1, "0");
  TypeInto(FMain->cxCalcEdit2, "51");
  TypeInto(FMain->cxSpinEdit1, "2");
  TypeInto(FMain->cxSpinEdit2, "1");
  Click(FMain->cxButton1);
  std::vector<Integer> expected;
  bool east = false, west = false;
  for (const RawTown& t : BundledTowns())
    if ((t.Lon >= 358 || t.Lon <= 2) && t.Lat >= 50 && t.Lat <= 52) {
      expected.push_back(t.Id);
      (t.Lon <= 2 ? east : west) = true;
    }
  ASSERT_TRUE(east && west);  // London's towns lie on both sides
  EXPECT_EQ(ShownIds(DM->tblOrvane), expected);
  EXPECT_EQ(StatusText(), orv::FoundCountText(Integer(expected.size())));
}

TEST_F(MainWindow, TolerancesStayAtLeastOneAndEmptyValuesCountAsTheirDefaults) {
  TypeInto(FMain->cxSpinEdit1, "0");
  EXPECT_EQ(FMain->cxSpinEdit1->GetText(), "1");
  TypeInto(FMain->cxSpinEdit2, "");
  EXPECT_EQ(FMain->cxSpinEdit2->GetText(), "");
  TypeInto(FMain->cxCalcEdit1, "");
  Click(FMain->cxButton1);
  // The empty editors were given their defaults, 0 and 1.
  EXPECT_EQ(FMain->cxCalcEdit1->GetText(), "0");
  EXPECT_EQ(FMain->cxSpinEdit2->GetText(), "1");
  EXPECT_EQ(DM->tblOrvane->GetFilter(),
            "(((lon >= 359) and (lon <= 360)) or ((lon <= 1) and (lon >= 0))) and(lat + 1 >= 0) and (lat <= 1)"_a);
}

TEST_F(MainWindow, ANameSearchAndTheClearButtons) {
  PickCountryAndTown("Россия"_a, "Москва"_a);
  ASSERT_GT(FMain->cxComboBox1->GetItemIndex(), 0);
  ASSERT_GT(FMain->cxComboBox2->GetItemIndex(), 0);
  Click(FMain->cxButton2);
  EXPECT_EQ(DM->tblOrvane->GetFilter(), "(country = 'Россия*') and (city = 'Москва*')"_a);
  std::vector<Integer> expected;
  for (const RawTown& t : BundledTowns())
    if (t.Country.starts_with("Россия"_a) && t.City.starts_with("Москва"_a)) expected.push_back(t.Id);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ShownIds(DM->tblOrvane), expected);
  EXPECT_EQ(StatusText(), orv::FoundCountText(Integer(expected.size())));

  // The crosses clear the texts; the search then takes "*" and shows every town.
  Click(FMain->cxButton3);
  EXPECT_EQ(FMain->cxComboBox1->GetText(), "");
  Click(FMain->cxButton4);
  EXPECT_EQ(FMain->cxComboBox2->GetText(), "");
  Click(FMain->cxButton2);
  EXPECT_EQ(FMain->cxComboBox1->GetText(), "*");
  EXPECT_FALSE(DM->tblOrvane->GetFiltered());
  EXPECT_EQ(StatusText(), orv::FoundCountText(Integer(BundledTowns().size())));

  // A search that finds nothing disables the export and the copy.
  TypeInto(FMain->cxCalcEdit1, "0");
  TypeInto(FMain->cxCalcEdit2, "89");
  TypeInto(FMain->cxSpinEdit1, "1");
  TypeInto(FMain->cxSpinEdit2, "1");
  Click(FMain->cxButton1);
  EXPECT_EQ(StatusText(), orv::FoundCountText(0));
  EXPECT_FALSE(FMain->aWriteToFile->GetEnabled());
  EXPECT_FALSE(FMain->cxButton6->GetEnabled());
  EXPECT_FALSE(FMain->aCopyToClipboard->GetEnabled());
}

TEST_F(MainWindow, ACoordinateThatIsNoWholeNumberGivesTheProgramsBoxAndChangesNothing) {
  Click(FMain->cxButton1);  // the default search: a result to keep
  const AnsiString filter = DM->tblOrvane->GetFilter();
  const AnsiString status = StatusText();
  TypeInto(FMain->cxCalcEdit1, "12,5");
  Click(FMain->cxButton1);
  ASSERT_EQ(Boxes->Shown.size(), 1u);
  EXPECT_EQ(Boxes->Shown[0].Text, "Ошибка при работе программы"_a);
  EXPECT_EQ(Boxes->Shown[0].Caption, "Ошибка"_a);
  EXPECT_EQ(DM->tblOrvane->GetFilter(), filter);
  EXPECT_EQ(StatusText(), status);
  EXPECT_TRUE(FMain->cxButton1->GetEnabled());
}

TEST_F(MainWindow, ASearchTheTableRefusesKeepsTheLastResultAndSaysWhy) {
  PickCountryAndTown("Россия"_a, "Москва"_a);
  Click(FMain->cxButton2);
  const std::vector<Integer> moscow = ShownIds(DM->tblOrvane);
  const AnsiString status = StatusText();
  ASSERT_FALSE(moscow.empty());
  // A bound past the engine's integers: the table refuses the filter text.
  TypeInto(FMain->cxCalcEdit2, "2147483647");
  Click(FMain->cxButton1);
  ASSERT_EQ(Boxes->Shown.size(), 1u);
  EXPECT_TRUE(Boxes->Shown[0].Text.starts_with("Ошибка при работе программы\n\r"_a)) << Boxes->Shown[0].Text;
  EXPECT_GT(Boxes->Shown[0].Text.size(), std::string("Ошибка при работе программы\n\r"_a).size());
  EXPECT_EQ(DM->tblOrvane->GetFilter(), "(country = 'Россия*') and (city = 'Москва*')"_a);
  EXPECT_EQ(ShownIds(DM->tblOrvane), moscow);
  EXPECT_EQ(StatusText(), status);
  EXPECT_TRUE(FMain->grdOrvane->GetEnabled());
}

TEST_F(MainWindow, TheCloseBoxEndsTheMessageLoop) {
  // The close box of the caption, at the window's top right corner.
  const TRect bounds = FMain->GetBoundsRect();
  bool clicked = false;
  orv::headless::SetIdleHandler([&] {
    if (clicked) return false;
    clicked = true;
    orv::headless::Click(bounds.Right - 14, bounds.Top + 12);
    return true;
  });
  Application->Run();
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(Application->GetTerminated());
  EXPECT_TRUE(Boxes->Shown.empty());
}

TEST_F(MainWindow, ResizingMovesTheButtonPanelAndWidensTheCountPanel) {
  const Integer left = FMain->cxGroupBox6->GetLeft();
  const Integer width = FMain->dxStatusBar->GetPanels()->GetItem(0)->GetWidth();
  EXPECT_EQ(left, 660 - 324);
  FMain->SetWidth(FMain->GetWidth() + 100);
  Run();
  EXPECT_EQ(FMain->cxGroupBox6->GetLeft(), left + 100);
  EXPECT_EQ(FMain->dxStatusBar->GetPanels()->GetItem(0)->GetWidth(), width + 100);
}

// Records, while an export writes, what the window shows (through a message posted before it).
struct TExportObserver {
  static LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER + 1) {
      Seen.push_back({FMain->cxProgressBar->GetVisible(), FMain->dxStatusBar->GetPanels()->GetItem(0)->GetText(),
                      FMain->cxButton1->GetEnabled() || FMain->cxButton2->GetEnabled() ||
                          FMain->aWriteToFile->GetEnabled() || FMain->aCopyToClipboard->GetEnabled()});
      return 0;
    }
    return DefWindowProc(w, m, wp, lp);
  }
  struct TSeen {
    bool ProgressShown;
    AnsiString Status;
    bool AnythingEnabled;
  };
  static inline std::vector<TSeen> Seen;
  TExportObserver() {
    Seen.clear();
    WNDCLASS wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "OrvExportObserver";
    RegisterClass(&wc);
    Window = CreateWindowEx(0, "OrvExportObserver", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  }
  ~TExportObserver() { DestroyWindow(Window); }
  void Ask() { PostMessage(Window, WM_USER + 1, 0, 0); }
  HWND Window;
};

TEST_F(MainWindow, TheExportWritesTheFoundTownsShowsItsProgressAndRestoresTheWindow) {
  TempDir temp;
  PickCountryAndTown("Россия"_a, "Москва"_a);
  Click(FMain->cxButton2);
  DM->tblOrvane->Last();
  const Integer current = DM->tblOrvane->FieldByName("ID")->GetAsInteger();
  TExportObserver observer;
  AnsiString offered;
  const AnsiString target = temp.Dir() + "Орване.txt"_a;
  orv::SetFileDialogHandler([&](TOpenDialog* dialog, bool save, AnsiString& fileName) {
    EXPECT_TRUE(save);
    offered = fileName;
    fileName = target;
    observer.Ask();  // handled by the export's first pass through the message queue
    return true;
  });
  Click(FMain->cxButton6);
  EXPECT_EQ(offered, "Орване.txt"_a);
  ASSERT_EQ(TExportObserver::Seen.size(), 1u);
  EXPECT_TRUE(TExportObserver::Seen[0].ProgressShown);
  EXPECT_EQ(TExportObserver::Seen[0].Status, orv::ExportingText(target));
  EXPECT_FALSE(TExportObserver::Seen[0].AnythingEnabled);

  // Byte for byte: the rules, the header and one line per town, Windows-1251 with CR LF.
  std::string expected;
  const std::string dashes(103, '-');
  expected += dashes + "\r\n";
  expected += std::string("Страна                   Город                                   Г.Долгота Г.Широта  Э.Долгота Э.Широта"_a) + "\r\n";
  expected += dashes + "\r\n";
  for (const RawTown& t : BundledTowns())
    if (t.Country.starts_with("Россия"_a) && t.City.starts_with("Москва"_a)) {
      DM->tblOrvane->Locate("ID", Variant(t.Id), TLocateOptions{});
      AnsiString line = t.Country + AnsiString(25 - t.Country.size(), ' ') + t.City + AnsiString(40 - t.City.size(), ' ');
      for (const char* f : {"G_DOLG", "G_SHIR", "E_DOLG", "E_SHIR"}) {
        const AnsiString text = DM->tblOrvane->FieldByName(f)->GetAsString();
        line += text + AnsiString(10 - text.size(), ' ');
      }
      expected += std::string(line) + "\r\n";
    }
  const std::vector<char> written = ReadBytes(temp.File(orv::AnsiToUtf8("Орване.txt"_a)));
  // (Compared as a whole; a difference is shown by its length and first differing byte.)
  const std::string got(written.begin(), written.end());
  EXPECT_TRUE(got == expected) << got.size() << " bytes written, " << expected.size() << " expected, first difference at "
                               << std::mismatch(got.begin(), got.end(), expected.begin(), expected.end()).first - got.begin();
  DM->tblOrvane->Locate("ID", Variant(current), TLocateOptions{});

  EXPECT_EQ(FMain->cxProgressBar->GetPosition(), 100);
  Click(FMain->cxButton6);  // the same again, to see the window afterwards
  EXPECT_FALSE(FMain->cxProgressBar->GetVisible());
  EXPECT_EQ(DM->tblOrvane->FieldByName("ID")->GetAsInteger(), current);
  EXPECT_TRUE(FMain->cxButton1->GetEnabled());
  EXPECT_TRUE(FMain->cxButton2->GetEnabled());
  EXPECT_TRUE(FMain->aWriteToFile->GetEnabled());
  EXPECT_TRUE(FMain->aCopyToClipboard->GetEnabled());
  EXPECT_TRUE(StatusText().starts_with("Всего найдено записей: "_a));
  EXPECT_TRUE(Boxes->Shown.empty());

  // A read-only file: one box, nothing written, the window enabled again.
  std::filesystem::permissions(temp.File(orv::AnsiToUtf8("Орване.txt"_a)), std::filesystem::perms(0444));
  Click(FMain->cxButton6);
  ASSERT_EQ(Boxes->Shown.size(), 1u);
  EXPECT_EQ(Boxes->Shown[0].Text, "Невозможно записать файл"_a);
  EXPECT_EQ(Boxes->Shown[0].Type & MB_ICONMASK, MB_ICONERROR);
  EXPECT_FALSE(FMain->cxProgressBar->GetVisible());
  EXPECT_TRUE(FMain->cxButton1->GetEnabled());
  EXPECT_TRUE(FMain->aWriteToFile->GetEnabled());
  EXPECT_EQ(StatusText(), orv::FoundCountText(Integer(ShownIds(DM->tblOrvane).size())));
  std::filesystem::permissions(temp.File(orv::AnsiToUtf8("Орване.txt"_a)), std::filesystem::perms(0644));

  // A cancelled dialog writes nothing and leaves the cursor where it was.
  DM->tblOrvane->First();
  DM->tblOrvane->Next();
  const Integer second = DM->tblOrvane->FieldByName("ID")->GetAsInteger();
  orv::SetFileDialogHandler([](TOpenDialog*, bool, AnsiString&) { return false; });
  Click(FMain->cxButton6);
  EXPECT_EQ(DM->tblOrvane->FieldByName("ID")->GetAsInteger(), second);
  EXPECT_EQ(Boxes->Shown.size(), 1u);
}

TEST_F(MainWindow, TheCopyPutsTheFoundRowsOnTheDesktopClipboardTabSeparated) {
  PickCountryAndTown("Россия"_a, "Москва"_a);
  Click(FMain->cxButton2);
  Click(FMain->cxButton5);
  std::string expected;
  for (const RawTown& t : BundledTowns())
    if (t.Country.starts_with("Россия"_a) && t.City.starts_with("Москва"_a)) {
      DM->tblOrvane->Locate("ID", Variant(t.Id), TLocateOptions{});
      if (!expected.empty()) expected += "\r\n";
      expected += orv::AnsiToUtf8(t.Country) + "\t" + orv::AnsiToUtf8(t.City);
      for (const char* f : {"G_DOLG", "G_SHIR", "E_DOLG", "E_SHIR"})
        expected += "\t" + orv::AnsiToUtf8(DM->tblOrvane->FieldByName(f)->GetAsString());
    }
  ASSERT_FALSE(expected.empty());
  // The view's visible columns' captions come first, as the grid copies by default.
  expected = "Страна\tГород\tГ.Долгота\tГ.Широта\tЭ.Долгота\tЭ.Широта\r\n" + expected;
  EXPECT_EQ(orv::headless::DesktopClipboard(), expected);
  EXPECT_NE(orv::headless::DesktopClipboard().back(), '\n');
}

TEST_F(MainWindow, AClickIntoTheOtherComboBoxMovesTheFocusThere) {
  Click(FMain->cxComboBox1, 8);
  EXPECT_TRUE(FMain->cxComboBox1->Focused());
  Click(FMain->cxComboBox2, 8);
  EXPECT_TRUE(FMain->cxComboBox2->Focused());
  EXPECT_FALSE(FMain->cxComboBox1->Focused());
  Click(FMain->cxComboBox1, 8);
  EXPECT_TRUE(FMain->cxComboBox1->Focused());
}

TEST(ProgramStartWithoutData, AMissingOrDamagedTableGivesOneBoxAndNoWindow) {
  for (const char* damage : {"missing", "damaged"}) {
    SCOPED_TRACE(damage);
    orv::test::ResetHeadlessDesktop();
    TempDir temp;
    if (std::string(damage) == "damaged") {
      std::vector<char> bytes = ReadBytes(BundledTable());
      bytes[0] = 0x55;  // no version of the format
      WriteBytes(temp.File("ORVANE.DBF"), bytes);
    }
    TTestDM::Folder() = temp.Dir();
    MessageBoxes boxes;
    EXPECT_EQ(orv::RunProgram(TTestDM::StaticClass()), 1);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, orv::ConnectionErrorText());
    EXPECT_EQ(FMain, nullptr);
    EXPECT_EQ(frmMsgF1DE, nullptr);
    std::vector<HWND> windows;
    orv::GetTopLevelWindows(windows);
    for (HWND w : windows) EXPECT_FALSE(IsWindowVisible(w));
    orv::ShutDownProgram();
  }
  orv::headless::Reset();
}

}  // namespace
