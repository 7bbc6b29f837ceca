#include "app/TownExport.h"

#include "platform/controls/Forms.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Variants.h"
#include "platform/windowing/WinTypes.h"

namespace orv {

namespace {

// The rules above and below the header; a town's line is 105 characters.
constexpr Integer kRuleWidth = 103;
constexpr Integer kTownLineWidth = 105;

// The text left-justified in at least `width` characters.
void AppendPadded(AnsiString& line, const AnsiString& text, std::size_t width) {
  line += text;
  if (text.size() < width) line.append(width - text.size(), ' ');
}

// The six fields of a town's line, looked up once per export (names match without regard to
// case), with their widths.
class TExportFields {
 public:
  explicit TExportFields(TDataSet* table) {
    for (std::size_t i = 0; i < kCount; ++i) FFields[i] = table->FieldByName(kNames[i]);
  }
  AnsiString Line() const {
    AnsiString line;
    line.reserve(kTownLineWidth);
    for (std::size_t i = 0; i < kCount; ++i) AppendPadded(line, FFields[i]->GetAsString(), kWidths[i]);
    return line;
  }

 private:
  static constexpr std::size_t kCount = 6;
  static constexpr const char* kNames[kCount] = {"country", "city", "g_dolg", "g_shir", "e_dolg", "e_shir"};
  static constexpr std::size_t kWidths[kCount] = {25, 40, 10, 10, 10, 10};
  TField* FFields[kCount];
};

}  // namespace

AnsiString TownExportLine(TDataSet* table) { return TExportFields(table).Line(); }

void AddTownExportLines(TDataSet* table, TStrings& lines, TExportProgressEvent progress) {
  const AnsiString dashes(kRuleWidth, '-');
  AnsiString header;
  AppendPadded(header, "Страна"_a, 25);
  AppendPadded(header, "Город"_a, 40);
  AppendPadded(header, "Г.Долгота"_a, 10);
  AppendPadded(header, "Г.Широта"_a, 10);
  AppendPadded(header, "Э.Долгота"_a, 10);
  header += "Э.Широта"_a;
  const TExportFields fields(table);
  table->First();
  lines.Add(dashes);
  lines.Add(header);
  lines.Add(dashes);
  // To the table's end rather than a count taken beforehand: a count that ran past the last
  // town would write it again.
  for (Integer index = 1; !table->GetEOF(); ++index) {
    if (progress) progress(index);
    lines.Add(fields.Line());
    table->Next();
  }
}

void WriteTownExport(TDataSet* table, const AnsiString& fileName, TExportProgressEvent progress) {
  TStringList lines;
  AddTownExportLines(table, lines, progress);
  lines.SaveToFile(fileName);
}

void ReopenTownTable(TDataSet* table, Integer savedId) {
  table->Close();
  table->Open();
  if (savedId > 0)
    table->Locate("ID", Variant(savedId), TLocateOptions{loCaseInsensitive});
  else
    table->First();
}

void ShowExportFileError() { Application->MessageBox("Невозможно записать файл"_a, "Ошибка"_a, MB_ICONERROR); }

}  // namespace orv
