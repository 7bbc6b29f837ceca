// The export file, byte for byte, for small tables of chosen towns; its progress, its failure
// box, the table reopened on the town that was current; and the status line's texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "app/StatusLine.h"
#include "app/TownExport.h"
#include "app/TownSearch.h"
#include "app/tests/AppTestSupport.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/FieldDefs.h"
#include "platform/runtime/Exceptions.h"
#include "tools/TownTable.h"

using namespace apptest;

namespace {

constexpr std::chrono::year_month_day kDate{std::chrono::year{2006}, std::chrono::month{12},
                                            std::chrono::day{23}};

std::string Bytes(const AnsiString& text) { return std::string(text); }

class TownExport : public ::testing::Test {
 protected:
  // A data module over a table of the given towns.
  void Open(const std::vector<orv::TownRecord>& towns) {
    orv::WriteTownTable(Temp.File("ORVANE.DBF"), towns, kDate);
    Module = StartDataModule(Temp.Dir());
    ASSERT_TRUE(Module->DataReady);
    Table = Module->tblOrvane;
  }
  std::string Export() {
    orv::WriteTownExport(Table, Temp.Dir() + "Орване.txt"_a);
    const std::vector<char> bytes = ReadBytes(Temp.File(orv::AnsiToUtf8("Орване.txt"_a)));
    return std::string(bytes.begin(), bytes.end());
  }

  TempDir Temp;
  MessageBoxes Boxes;
  DMPtr Module;
  TDsDbfTable* Table = nullptr;
};

// Three Russian towns and one of another country, in this order.
std::vector<orv::TownRecord> FourTowns() {
  return {{1, "Россия"_a, "Москва"_a, 37.6173, 55.7558},
          {2, "Россия"_a, "Мурманск"_a, 33.0827, 68.9585},
          {3, "Украина"_a, "Киев"_a, 30.5234, 50.4501},
          {4, "Россия"_a, "Омск"_a, 73.3686, 54.9885}};
}

const std::string kDashes(103, '-');
const std::string kHeader = Bytes(
    "Страна                   Город                                   Г.Долгота Г.Широта  Э.Долгота Э.Широта"_a);

TEST_F(TownExport, WritesTheHeaderAndOneFixedWidthLinePerTownInTableOrder) {
  const AnsiString country25 = "Сан-Томе и Принсипи Остр."_a;  // exactly 25 characters
  const AnsiString country24 = "Сан-Томе и Принсипи Ост."_a;   // 24
  const AnsiString city40(40, 'x');
  ASSERT_EQ(country25.size(), 25u);
  ASSERT_EQ(country24.size(), 24u);
  Open({{1, "Россия"_a, "Москва"_a, 37.6173, 55.7558},
        {2, country25, "Сан-Томе"_a, 6.7273, 0.3365},
        {3, country24, city40, 281.4875, -0.2299},
        {4, "Австралия"_a, "Сидней"_a, 151.2073, -33.8679}});

  const std::string text = Export();
  const std::string moscow = Bytes("Россия                   Москва                                  37в37     "
                                   "55с45     55°19'    38°27'    "_a);
  const std::string sydney = Bytes("Австралия                Сидней                                  151в12    "
                                   "33ю52     168°43'   -42°06'   "_a);
  auto coordinates = [](double lon, double lat) {
    const orv::EclipticPoint e = orv::GeographicToEcliptic(lon, lat);
    AnsiString s;
    for (const AnsiString& t : {orv::FormatGeographicLongitude(lon), orv::FormatGeographicLatitude(lat),
                                orv::FormatEclipticLongitude(e.Lon), orv::FormatEclipticLatitude(e.Lat)})
      s += t + AnsiString(10 - t.size(), ' ');
    return Bytes(s);
  };
  // A 25-character country runs straight into its town; a 24-character one keeps one blank.
  const std::string saoTome = Bytes(country25 + "Сан-Томе"_a + AnsiString(32, ' ')) + coordinates(6.7273, 0.3365);
  const std::string quito = Bytes(country24 + " " + city40) + coordinates(281.4875, -0.2299);
  const std::string expected = kDashes + "\r\n" + kHeader + "\r\n" + kDashes + "\r\n" + moscow + "\r\n" +
                               saoTome + "\r\n" + quito + "\r\n" + sydney + "\r\n";
  EXPECT_EQ(text, expected);
  // The rules and the header are 103 characters wide; a town's line, its last text padded to 10
  // like the others, 105.
  EXPECT_EQ(kDashes.size(), 103u);
  EXPECT_EQ(kHeader.size(), 103u);
  for (const std::string& line : {moscow, saoTome, quito, sydney}) EXPECT_EQ(line.size(), 105u);
  EXPECT_TRUE(Boxes.Shown.empty());
}

TEST(TownExportLine, ALongerTextIsWrittenWholeAndShiftsTheRestOfItsLine) {
  // Any dataset with the six text fields serves; fields here are wider than the town table's.
  std::unique_ptr<TRxMemoryData, orv::FreeDeleter> data(new TRxMemoryData(nullptr));
  for (const char* name : {"COUNTRY", "CITY", "G_DOLG", "G_SHIR", "E_DOLG", "E_SHIR"})
    data->GetFieldDefs().Add(name, ftString, 50);
  data->Open();
  data->Append();
  const AnsiString country(30, 'c'), city(41, 't'), text(11, 'g');
  data->FieldByName("COUNTRY")->SetAsString(country);
  data->FieldByName("CITY")->SetAsString(city);
  data->FieldByName("G_DOLG")->SetAsString(text);
  data->FieldByName("G_SHIR")->SetAsString("55с45"_a);
  data->FieldByName("E_DOLG")->SetAsString("");
  data->FieldByName("E_SHIR")->SetAsString("-42°06'"_a);
  data->Post();
  EXPECT_EQ(orv::TownExportLine(data.get()),
            country + city + text + "55с45     "_a + AnsiString(10, ' ') + "-42°06'   "_a);
}

TEST_F(TownExport, WritesOnlyTheFoundTownsAndReportsProgressForEach) {
  Open(FourTowns());
  orv::ApplyTownFilter(Table, orv::NameFilterPieces(1, "Россия"_a, 0, "*"));
  std::vector<Integer> progress, current;
  auto note = [&](Integer index) {
    // The window lets messages run here; the line of this record is built after the call.
    progress.push_back(index);
    current.push_back(Table->FieldByName("ID")->GetAsInteger());
  };
  TStringList lines;
  orv::AddTownExportLines(Table, lines, orv::TExportProgressEvent::Callable(note));
  EXPECT_EQ(progress, (std::vector<Integer>{1, 2, 3}));
  EXPECT_EQ(current, (std::vector<Integer>{1, 2, 4}));
  ASSERT_EQ(lines.GetCount(), 6);
  EXPECT_TRUE(lines.Get(3).starts_with("Россия                   Москва "_a));
  EXPECT_TRUE(lines.Get(4).starts_with("Россия                   Мурманск "_a));
  EXPECT_TRUE(lines.Get(5).starts_with("Россия                   Омск "_a));

  // Nothing found: the three header lines alone.
  orv::ApplyTownFilter(Table, orv::NameFilterPieces(1, "Франция"_a, 0, "*"));
  EXPECT_EQ(Export(), kDashes + "\r\n" + kHeader + "\r\n" + kDashes + "\r\n");
}

TEST_F(TownExport, AfterwardsTheTableIsReopenedOnTheTownThatWasCurrent) {
  Open(FourTowns());
  orv::ApplyTownFilter(Table, orv::NameFilterPieces(1, "Россия"_a, 0, "*"));
  Table->Next();
  const Integer saved = Table->FieldByName("ID")->GetAsInteger();
  ASSERT_EQ(saved, 2);
  Export();
  EXPECT_TRUE(Table->GetEOF());
  orv::ReopenTownTable(Table, saved);
  EXPECT_EQ(Table->FieldByName("ID")->GetAsInteger(), 2);
  EXPECT_TRUE(Table->GetFiltered());
  EXPECT_EQ(ShownIds(Table), (std::vector<Integer>{1, 2, 4}));
  // No town was current (an empty result): the first record.
  orv::ReopenTownTable(Table, 0);
  EXPECT_EQ(Table->FieldByName("ID")->GetAsInteger(), 1);
}

TEST_F(TownExport, AFileThatCannotBeCreatedRaisesAFileStreamErrorAndHasItsOwnBox) {
  Open({{1, "Россия"_a, "Москва"_a, 37.6173, 55.7558}});
  for (const AnsiString& name : {Temp.Dir() + "нет/Орване.txt"_a, Temp.Dir()}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(orv::WriteTownExport(Table, name), EFileStreamError);
  }
  EXPECT_TRUE(Boxes.Shown.empty());
  orv::ShowExportFileError();
  ASSERT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_EQ(Boxes.Shown[0].Text, "Невозможно записать файл"_a);
  EXPECT_EQ(Boxes.Shown[0].Caption, "Ошибка"_a);
  EXPECT_EQ(Boxes.Shown[0].Type & MB_ICONMASK, MB_ICONERROR);
}

// The names in the folder, sorted.
std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(TownExport, AnOlderFileIsReplacedWholeOrNotAtAllAndNothingIsLeftBeside) {
  Open(FourTowns());
  const std::string path = Temp.File(orv::AnsiToUtf8("Орване.txt"_a));
  const std::string older(20000, 'z');  // longer than the export: no tail of it may remain
  WriteBytes(path, std::vector<char>(older.begin(), older.end()));
  std::filesystem::permissions(path, std::filesystem::perms(0640));
  const std::string text = Export();
  EXPECT_EQ(text.substr(0, kDashes.size()), kDashes);
  EXPECT_EQ(text.size(), 3 * (103 + 2) + 4 * (105 + 2));
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(FolderNames(Temp.File("")), (std::vector<std::string>{"ORVANE.DBF", "Орване.txt"}));

  // An export that fails half-way (here the window's progress step) leaves the file it would
  // have replaced as it was.
  auto failAtSecond = [](Integer index) {
    if (index == 2) throw EAbort("stop");
  };
  EXPECT_THROW(orv::WriteTownExport(Table, Temp.Dir() + "Орване.txt"_a,
                                    orv::TExportProgressEvent::Callable(failAtSecond)),
               EAbort);
  EXPECT_EQ(ReadBytes(path).size(), text.size());

  // A read-only file is not replaced: the file-creation error, and the file as it was.
  WriteBytes(path, std::vector<char>(older.begin(), older.end()));
  std::filesystem::permissions(path, std::filesystem::perms(0444));
  EXPECT_THROW(orv::WriteTownExport(Table, Temp.Dir() + "Орване.txt"_a), EFCreateError);
  const std::vector<char> kept = ReadBytes(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), older);
  EXPECT_EQ(FolderNames(Temp.File("")), (std::vector<std::string>{"ORVANE.DBF", "Орване.txt"}));
  std::filesystem::permissions(path, std::filesystem::perms(0644));
}

TEST(StatusLine, TextsOfTheCountAndOfAnExportUnderWay) {
  EXPECT_EQ(orv::FoundCountText(0), "Всего найдено записей: 0"_a);
  EXPECT_EQ(orv::FoundCountText(11390), "Всего найдено записей: 11390"_a);
  EXPECT_EQ(orv::ExportingText("/home/u/Орване.txt"_a), "Идет запись в файл /home/u/Орване.txt ..."_a);
}

}  // namespace
