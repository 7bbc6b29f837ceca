// The bar layout written to and read from an ini file, a stream and the settings tree: a layout
// of docked rows, a floating toolbar, a hidden bar, hidden links, user captions and recent use
// comes back exactly; the designed layout kept after loading resets recent use; a truncated or
// damaged store brings the designed layout back and leaves the file as it was.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "components/bars/dxBar.h"
#include "platform/controls/Forms.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/IniFiles.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/Headless.h"

namespace {

using LayoutFormPtr = std::unique_ptr<TForm, orv::FreeDeleter>;

// A main menu, a toolbar in the second row, a floating toolbar and a hidden one; a menu of
// three commands, of which the last is hidden.
const char* const kLayoutForm = R"(object FLayout: TForm
  Left = 200
  Top = 150
  Caption = 'Layout'
  ClientHeight = 300
  ClientWidth = 500
  object dxBarManager1: TdxBarManager
    Categories.Strings = (
      'Default')
    Categories.ItemsVisibles = (
      2)
    Categories.Visibles = (
      True)
    Style = bmsOffice11
    UseSystemFont = True
    object dxBarManager1Bar1: TdxBar
      Caption = 'Main menu'
      DockingStyle = dsTop
      IsMainMenu = True
      ItemLinks = <
        item
          Visible = True
          ItemName = 'sbFile'
        end
        item
          Visible = True
          ItemName = 'bHelp'
        end>
      MultiLine = True
      OneOnRow = True
      Row = 0
      Visible = True
      WholeRow = True
    end
    object dxBarManager1Bar2: TdxBar
      Caption = 'Standard'
      DockingStyle = dsTop
      ItemLinks = <
        item
          Visible = True
          ItemName = 'bNew'
        end
        item
          Visible = True
          ItemName = 'bOpen'
        end
        item
          BeginGroup = True
          Visible = True
          ItemName = 'bSave'
        end>
      Row = 1
      Visible = True
    end
    object dxBarManager1Bar3: TdxBar
      Caption = 'Tools'
      DockingStyle = dsNone
      FloatLeft = 320
      FloatTop = 240
      FloatClientWidth = 90
      FloatClientHeight = 24
      ItemLinks = <
        item
          Visible = True
          ItemName = 'bFind'
        end
        item
          Visible = True
          ItemName = 'bHelp'
        end>
      Visible = True
    end
    object dxBarManager1Bar4: TdxBar
      Caption = 'Hidden'
      DockingStyle = dsBottom
      ItemLinks = <
        item
          Visible = True
          ItemName = 'bFind'
        end>
      Visible = False
    end
    object sbFile: TdxBarSubItem
      Caption = '&File'
      Category = 0
      ItemLinks = <
        item
          Visible = True
          ItemName = 'bNew'
        end
        item
          Visible = True
          ItemName = 'bOpen'
        end
        item
          BeginGroup = True
          Visible = True
          ItemName = 'bSave'
        end>
    end
    object bNew: TdxBarButton
      Caption = '&New'
      Category = 0
    end
    object bOpen: TdxBarButton
      Caption = '&Open'
      Category = 0
    end
    object bSave: TdxBarButton
      Caption = '&Save'
      Category = 0
    end
    object bFind: TdxBarButton
      Caption = '&Find'
      Category = 0
    end
    object bHelp: TdxBarButton
      Caption = '&Help'
      Category = 0
    end
  end
end
)";

// Everything the layout keeps, as one text to compare.
std::string DescribeLinks(TdxBarItemLinks* links) {
  std::ostringstream out;
  for (Integer i = 0; i < links->GetCount(); ++i) {
    TdxBarItemLink* link = links->GetItem(i);
    out << "  " << (link->GetItem() ? link->GetItem()->GetName() : "?") << " group=" << link->GetBeginGroupValue()
        << " visible=" << link->GetVisible() << " define=" << link->GetUserDefine().Bits() << " caption='"
        << link->GetUserCaption() << "' paint=" << link->GetUserPaintStyle() << " position=" << link->GetPosition()
        << " levels=" << link->GetViewLevels().Bits() << " uses=" << link->GetUseCount()
        << " recent=" << link->GetRecentIndex() << "\n";
  }
  return out.str();
}

// A floating toolbar's window sizes itself to its links and writes its client height back to
// the bar; a window made while the manager's update is locked (as when a layout is read) takes
// no height yet, so that height is the window's business and not compared.
bool FloatsWithWindow(TdxBar* bar) { return bar->GetDockingStyle() == dsNone && bar->GetControl(); }

// The saved text with the client heights of floating bars left out (see FloatsWithWindow).
std::string WithoutFloatHeights(std::string text) {
  for (size_t at = text.find("FloatClientHeight="); at != std::string::npos; at = text.find("FloatClientHeight=", at + 1))
    text.erase(at + 18, text.find('\r', at) - (at + 18));
  return text;
}

std::string Describe(TdxBarManager* manager) {
  // Bar windows take their places from posted messages.
  orv::headless::ProcessMessages();
  std::ostringstream out;
  out << "large=" << manager->GetLargeIcons() << " hint=" << manager->GetShowHint()
      << " shortcuts=" << manager->GetShowShortCutInHint() << " animations=" << manager->GetMenuAnimations()
      << " recentFirst=" << manager->GetMenusShowRecentItemsFirst()
      << " fullAfterDelay=" << manager->GetShowFullMenusAfterDelay() << "\n";
  for (Integer i = 0; i < manager->GetBarCount(); ++i) {
    TdxBar* bar = manager->GetBar(i);
    out << "bar '" << bar->GetCaption() << "' dock=" << bar->GetDockingStyle() << " row=" << bar->GetRow()
        << " oneOnRow=" << bar->GetOneOnRow() << " docked=" << bar->GetDockedDockingStyle() << ":"
        << bar->GetDockedLeft() << "," << bar->GetDockedTop() << " float=" << bar->GetFloatLeft() << ","
        << bar->GetFloatTop() << " " << bar->GetFloatClientWidth() << "x"
        << (FloatsWithWindow(bar) ? std::string("(window)") : std::to_string(bar->GetFloatClientHeight()))
        << " visible=" << bar->GetVisible() << "\n"
        << DescribeLinks(bar->GetLinks());
  }
  for (Integer i = 0; i < manager->GetItemCount(); ++i)
    if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(manager->GetItem(i)))
      out << "menu " << subItem->GetName() << "\n" << DescribeLinks(subItem->GetLinks());
  return out.str();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

class BarLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    char pattern[] = "/tmp/orv-bar-layout-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    Folder = pattern;
    Form = Load();
    Manager = GetBarManagerOwnedBy(Form.get());
    ASSERT_NE(Manager, nullptr);
    Designed = Describe(Manager);
  }
  void TearDown() override {
    Form.reset();
    Other.reset();
    std::system(("rm -rf '" + Folder + "'").c_str());
    orv::headless::Reset();
  }

  LayoutFormPtr Load(const std::string& extra = std::string()) {
    LayoutFormPtr form(new TForm(nullptr));
    std::string text = kLayoutForm;
    if (!extra.empty()) text.insert(text.find("    Style = bmsOffice11"), extra);
    orv::ReadComponentFromText(form.get(), text);
    return form;
  }

  TdxBarItem* Item(TdxBarManager* manager, const char* name) { return manager->GetItemByName(name); }

  // Moves, floats, hides and uses things, so that the layout differs from the designed one in
  // every value the layout keeps.
  void Customize(TdxBarManager* manager) {
    manager->SetLargeIcons(true);
    manager->SetShowHint(false);
    manager->SetMenuAnimations(maSlide);
    manager->SetShowFullMenusAfterDelay(false);
    TdxBar* standard = manager->GetBar(1);
    standard->SetRow(2);
    standard->SetOneOnRow(true);
    standard->SetDockedLeft(40);
    TdxBar* tools = manager->GetBar(2);
    tools->SetFloatLeft(410);
    tools->SetFloatTop(95);
    tools->SetFloatClientWidth(120);
    tools->SetDockingStyle(dsLeft);
    tools->SetDockingStyle(dsNone);
    manager->GetBar(3)->SetVisible(true);
    manager->GetBar(0)->SetVisible(true);
    // The toolbar: a user caption, a hidden link, a link dropped and one added.
    TdxBarItemLinks* links = standard->GetLinks();
    links->GetItem(0)->SetUserCaption("Создать"_a);
    links->GetItem(0)->SetUserDefine(TdxBarUserDefines{udCaption, udPaintStyle});
    links->GetItem(0)->SetUserPaintStyle(psCaptionGlyph);
    links->GetItem(1)->SetVisible(false);
    links->GetItem(2)->SetPosition(ipContinuesRow);
    links->AddItem(Item(manager, "bFind"))->SetBeginGroup(true);
    // Recent use in the menu: Save three times, New once.
    TdxBarItemLinks* menu = static_cast<TCustomdxBarSubItem*>(Item(manager, "sbFile"))->GetLinks();
    for (int i = 0; i < 3; ++i) menu->GetItem(2)->MarkUsed();
    menu->GetItem(0)->MarkUsed();
  }

  std::string Path(const char* name) const { return Folder + "/" + name; }

  std::string Folder;
  LayoutFormPtr Form, Other;
  TdxBarManager* Manager = nullptr;
  std::string Designed;
};

TEST_F(BarLayoutTest, ACustomizedLayoutComesBackFromAnIniFileAndAStream) {
  Customize(Manager);
  const std::string customized = Describe(Manager);
  ASSERT_NE(customized, Designed);
  const std::string file = Path("layout.ini");
  Manager->SaveToIniFile(file.c_str());
  TMemoryStream stream;
  Manager->SaveToStream(&stream);
  EXPECT_EQ(std::string(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize())), ReadFile(file));

  // A second window of the same design (the first goes, so that it takes the same name) reads
  // the file ...
  Form.reset();
  Other = Load();
  TdxBarManager* other = GetBarManagerOwnedBy(Other.get());
  ASSERT_EQ(Describe(other), Designed);
  EXPECT_TRUE(other->LoadFromIniFile(file.c_str()));
  EXPECT_EQ(Describe(other), customized);
  // ... and writes it back byte for byte.
  const std::string again = Path("again.ini");
  other->SaveToIniFile(again.c_str());
  EXPECT_EQ(WithoutFloatHeights(ReadFile(again)), WithoutFloatHeights(ReadFile(file)));

  // The stream, read into a fresh design.
  Other.reset();
  Other = Load();
  other = GetBarManagerOwnedBy(Other.get());
  stream.SetPosition(0);
  EXPECT_TRUE(other->LoadFromStream(&stream));
  EXPECT_EQ(Describe(other), customized);
}

TEST_F(BarLayoutTest, SectionsAreNamedByFormAndManagerAndSavingReplacesOnlyThem) {
  const std::string file = Path("layout.ini");
  WriteFile(file, "[Other]\r\nKey=1\r\n\r\n[FLayout.dxBarManager1.Bar7]\r\nCaption=Stale\r\n\r\n");
  Manager->SaveToIniFile(file.c_str());
  TMemIniFile ini(file.c_str());
  TStringList sections;
  ini.ReadSections(&sections);
  ASSERT_GE(sections.GetCount(), 6);
  EXPECT_EQ(sections.Get(0), "Other");
  EXPECT_EQ(sections.Get(1), "FLayout.dxBarManager1.Main");
  EXPECT_EQ(sections.Get(2), "FLayout.dxBarManager1.Items");
  EXPECT_EQ(sections.Get(3), "FLayout.dxBarManager1.Bar0");
  EXPECT_EQ(sections.Get(4), "FLayout.dxBarManager1.Bar0.ItemLink0");
  EXPECT_EQ(sections.IndexOf("FLayout.dxBarManager1.Bar7"), -1);
  EXPECT_GE(sections.IndexOf("FLayout.dxBarManager1.SubItem_sbFile.ItemLink2"), 0);
  EXPECT_EQ(ini.ReadInteger("Other", "Key", 0), 1);
  EXPECT_EQ(ini.ReadInteger("FLayout.dxBarManager1.Main", "Version", 0), 46);
  EXPECT_EQ(ini.ReadInteger("FLayout.dxBarManager1.Main", "BarCount", 0), 4);
  EXPECT_EQ(ini.ReadString("FLayout.dxBarManager1.Bar2", "Caption", ""), "Tools");
  EXPECT_EQ(ini.ReadInteger("FLayout.dxBarManager1.Bar2", "ItemLinkCount", 0), 2);
  EXPECT_EQ(ini.ReadString("FLayout.dxBarManager1.Bar1.ItemLink2", "ItemName", ""), "bSave");
  EXPECT_TRUE(ini.ReadBool("FLayout.dxBarManager1.Items", "bHelp", false));
  // Only the snapshot keeps which links were designed as recently used.
  EXPECT_FALSE(ini.ValueExists("FLayout.dxBarManager1.Bar1.ItemLink0", "MostRecentlyUsed"));
  EXPECT_TRUE(Manager->GetSnapshot()->ValueExists("FLayout.dxBarManager1.Bar1.ItemLink0", "MostRecentlyUsed"));

  // The classic style keeps no recent use.
  Manager->SetStyle(bmsStandard);
  Manager->SaveToIniFile(file.c_str());
  TMemIniFile classic(file.c_str());
  EXPECT_FALSE(classic.ValueExists("FLayout.dxBarManager1.Main", "MenusShowRecentItemsFirst"));
  EXPECT_FALSE(classic.ValueExists("FLayout.dxBarManager1.SubItem_sbFile.ItemLink0", "UseCount"));
  EXPECT_FALSE(classic.ValueExists("FLayout.dxBarManager1.SubItem_sbFile.ItemLink0", "RecentIndex"));
}

TEST_F(BarLayoutTest, TheSettingsTreeIsAnIniFileInTheUserConfigurationFolder) {
  const char* previous = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = previous ? previous : "";
  setenv("XDG_CONFIG_HOME", (Folder + "/config").c_str(), 1);
  Customize(Manager);
  const std::string customized = Describe(Manager);
  Manager->SaveToRegistry("Software\\Firm\\App");
  Form.reset();
  const std::string file = Folder + "/config/Firm/App.ini";
  TMemIniFile tree(file.c_str());
  EXPECT_EQ(tree.ReadInteger("\\Software\\Firm\\App\\", "BarCount", 0), 4);
  EXPECT_EQ(tree.ReadString("\\Software\\Firm\\App\\Bar1\\ItemLink0", "ItemName", ""), "bNew");
  EXPECT_EQ(tree.ReadString("\\Software\\Firm\\App\\Bar1\\ItemLink0", "UserCaption", ""), "Создать"_a);

  Other = Load();
  TdxBarManager* other = GetBarManagerOwnedBy(Other.get());
  EXPECT_TRUE(other->LoadFromRegistry("\\Software\\Firm\\App\\"));
  EXPECT_EQ(Describe(other), customized);
  // A path nothing was saved under is no layout: nothing changes.
  Other.reset();
  Other = Load();
  other = GetBarManagerOwnedBy(Other.get());
  EXPECT_FALSE(other->LoadFromRegistry("Software\\Firm\\Elsewhere"));
  EXPECT_EQ(Describe(other), Designed);
  if (previous)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

TEST_F(BarLayoutTest, ItemsTheLayoutDidNotKnowKeepTheirDesignedPlaceAndLostItemsDrop) {
  // The layout of a version of the program without Open (which its design places after New).
  Manager->GetBar(1)->GetLinks()->GetItem(1)->Free();
  static_cast<TCustomdxBarSubItem*>(Manager->GetItemByName("sbFile"))->GetLinks()->GetItem(1)->Free();
  const std::string file = Path("layout.ini");
  Manager->SaveToIniFile(file.c_str());
  // The program gained Open after the layout was saved, and lost a command the layout names.
  TMemIniFile ini(file.c_str());
  ini.EraseSection("FLayout.dxBarManager1.Items");
  ini.WriteInteger("FLayout.dxBarManager1.Items", "ItemCount", 4);
  for (const char* name : {"sbFile", "bNew", "bSave", "bFind", "bHelp"}) ini.WriteBool("FLayout.dxBarManager1.Items", name, true);
  ini.WriteString("FLayout.dxBarManager1.Bar2.ItemLink1", "ItemName", "bGone");
  ini.UpdateFile();
  Form.reset();

  Other = Load();
  TdxBarManager* other = GetBarManagerOwnedBy(Other.get());
  EXPECT_TRUE(other->LoadFromIniFile(file.c_str()));
  auto names = [](TdxBarItemLinks* links) {
    std::string s;
    for (Integer i = 0; i < links->GetCount(); ++i) s += links->GetItem(i)->GetItem()->GetName() + " ";
    return s;
  };
  // bOpen was not among the stored items: it keeps its place after bNew.
  EXPECT_EQ(names(other->GetBar(1)->GetLinks()), "bNew bOpen bSave ");
  EXPECT_EQ(names(static_cast<TCustomdxBarSubItem*>(other->GetItemByName("sbFile"))->GetLinks()), "bNew bOpen bSave ");
  // The link to a command that is gone disappears.
  EXPECT_EQ(names(other->GetBar(2)->GetLinks()), "bFind ");
}

TEST_F(BarLayoutTest, AOneDigitUserDefineOfAnIniFileIsADecimalSet) {
  const std::string file = Path("layout.ini");
  Manager->SaveToIniFile(file.c_str());
  TMemIniFile ini(file.c_str());
  ini.WriteString("FLayout.dxBarManager1.Bar1.ItemLink1", "UserDefine", "5");
  ini.WriteString("FLayout.dxBarManager1.Bar1.ItemLink1", "UserCaption", "Открыть"_a);
  ini.WriteInteger("FLayout.dxBarManager1.Bar1.ItemLink1", "UserPaintStyle", 1);
  ini.UpdateFile();
  ASSERT_TRUE(Manager->LoadFromIniFile(file.c_str()));
  TdxBarItemLink* link = Manager->GetBar(1)->GetLinks()->GetItem(1);
  EXPECT_EQ(link->GetUserDefine(), (TdxBarUserDefines{udCaption, udPaintStyle}));
  EXPECT_EQ(link->GetCaption(), "Открыть"_a);
  EXPECT_EQ(link->GetPaintStyle(), psCaption);
}

TEST_F(BarLayoutTest, ResettingUsageDataBringsBackTheDesignedRecentUse) {
  TdxBarItemLinks* menu = static_cast<TCustomdxBarSubItem*>(Manager->GetItemByName("sbFile"))->GetLinks();
  TdxBarItemLinks* toolbar = Manager->GetBar(1)->GetLinks();
  for (int i = 0; i < 5; ++i) menu->GetItem(2)->MarkUsed();
  toolbar->GetItem(2)->MarkUsed();
  ASSERT_NE(Describe(Manager), Designed);
  Manager->ResetUsageData();
  EXPECT_EQ(Describe(Manager), Designed);
  EXPECT_EQ(menu->GetItem(0)->GetRecentIndex(), 0);
  EXPECT_EQ(menu->GetItem(2)->GetUseCount(), Manager->GetRecentUseThreshold());
}

TEST_F(BarLayoutTest, ALayoutReadWhenLoadingEndsAndWrittenWhenTheWindowGoes) {
  const std::string file = Path("stored.ini");
  const std::string options = "    IniFileName = '" + file + "'\n    StoreInIniFile = True\n";
  // No file yet: the designed layout.
  Form.reset();
  Form = Load(options);
  Manager = GetBarManagerOwnedBy(Form.get());
  EXPECT_EQ(Describe(Manager), Designed);
  Form->HandleNeeded();
  Customize(Manager);
  const std::string customized = Describe(Manager);
  Form.reset();
  ASSERT_TRUE(FileExists(file.c_str()));
  Form = Load(options);
  Manager = GetBarManagerOwnedBy(Form.get());
  EXPECT_EQ(Describe(Manager), customized);
  // The snapshot still holds the design: the usage reset goes back to it.
  Manager->ResetUsageData();
  TdxBarItemLinks* menu = static_cast<TCustomdxBarSubItem*>(Manager->GetItemByName("sbFile"))->GetLinks();
  EXPECT_EQ(menu->GetItem(0)->GetRecentIndex(), 0);
  EXPECT_EQ(menu->GetItem(2)->GetUseCount(), Manager->GetRecentUseThreshold());
}

// Cut points of a saved layout: every line start, inside every name and right after every "=".
std::vector<size_t> CutPoints(const std::string& text) {
  std::vector<size_t> cuts;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == 0 || text[i - 1] == '\n') {
      cuts.push_back(i);
      if (i + 3 < text.size()) cuts.push_back(i + 3);
    }
    if (text[i] == '=') cuts.push_back(i + 1);
  }
  return cuts;
}

TEST_F(BarLayoutTest, ATruncatedFileOrStreamRestoresTheDesignAndTheFileStays) {
  Customize(Manager);
  const std::string customized = Describe(Manager);
  const std::string full = Path("full.ini");
  Manager->SaveToIniFile(full.c_str());
  const std::string text = ReadFile(full);
  const std::string cut = Path("cut.ini");
  int restored = 0;
  for (size_t length : CutPoints(text)) {
    if (length >= text.size() - 2) continue;
    WriteFile(cut, text.substr(0, length));
    // Customized first, so that restoring the design shows.
    Manager->LoadFromIniFile(full.c_str());
    ASSERT_EQ(Describe(Manager), customized);
    const Boolean read = Manager->LoadFromIniFile(cut.c_str());
    const std::string now = Describe(Manager);
    if (read) {
      // The cut fell among the menus' sections: the menus keep what they have.
      EXPECT_EQ(now, customized) << "cut at " << length;
    } else {
      EXPECT_EQ(now, Designed) << "cut at " << length;
      ++restored;
    }
    EXPECT_EQ(ReadFile(cut), text.substr(0, length)) << "the damaged file is kept";
    TStringStream stream(text.substr(0, length));
    Manager->LoadFromIniFile(full.c_str());
    EXPECT_EQ(Manager->LoadFromStream(&stream), read) << "cut at " << length;
    EXPECT_EQ(Describe(Manager), read ? customized : Designed) << "cut at " << length;
  }
  EXPECT_GT(restored, 100);
}

TEST_F(BarLayoutTest, DamagedValuesRestoreTheDesign) {
  Customize(Manager);
  const std::string customized = Describe(Manager);
  const std::string file = Path("layout.ini");
  Manager->SaveToIniFile(file.c_str());
  const std::string text = ReadFile(file);
  struct {
    const char* what;
    std::string from, to;
  } damages[] = {
      {"a count that is no number", "BarCount=4", "BarCount=4x"},
      {"a docking style out of range", "DockingStyle=0", "DockingStyle=9"},
      {"a bar count beyond the bars stored", "BarCount=4", "BarCount=5"},
      {"a link count beyond the links stored", "ItemLinkCount=2", "ItemLinkCount=2000000000"},
      {"a lost section header", "[FLayout.dxBarManager1.Bar1.ItemLink2]", "[FLayout.dxBarManager1.Bar1.ItemLink2"},
      {"a set byte that is no hex", "UserDefine=05", "UserDefine=0Z"},
      {"a negative use count", "UseCount=", "UseCount=-"},
  };
  for (auto& d : damages) {
    const size_t at = text.find(d.from);
    ASSERT_NE(at, std::string::npos) << d.what;
    std::string damaged = text;
    damaged.replace(at, d.from.size(), d.to);
    WriteFile(file, damaged);
    Manager->LoadFromIniFile(Path("none.ini").c_str());  // no file: nothing changes
    ASSERT_EQ(Describe(Manager), customized) << d.what;
    EXPECT_FALSE(Manager->LoadFromIniFile(file.c_str())) << d.what;
    EXPECT_EQ(Describe(Manager), Designed) << d.what;
    EXPECT_EQ(ReadFile(file), damaged) << d.what;
    WriteFile(file, text);
    ASSERT_TRUE(Manager->LoadFromIniFile(file.c_str()));
  }
  // Bytes that are no ini text at all.
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise += char((i * 7919) % 251);
  TStringStream stream(noise);
  EXPECT_FALSE(Manager->LoadFromStream(&stream));
  EXPECT_EQ(Describe(Manager), Designed);
}

TEST_F(BarLayoutTest, ASaveThatCannotBeFinishedLeavesTheOldFileWhole) {
  const std::string file = Path("layout.ini");
  Manager->SaveToIniFile(file.c_str());
  const std::string before = ReadFile(file);
  // The new text cannot be written beside the file: the old file stays as it was.
  ASSERT_EQ(mkdir((file + ".new").c_str(), 0700), 0);
  Customize(Manager);
  EXPECT_THROW(Manager->SaveToIniFile(file.c_str()), EFCreateError);
  EXPECT_EQ(ReadFile(file), before);
  rmdir((file + ".new").c_str());
  Manager->SaveToIniFile(file.c_str());
  EXPECT_NE(ReadFile(file), before);
  EXPECT_FALSE(FileExists((file + ".new").c_str()));
}

}  // namespace
