// The program's own data file, DB/ORVANE.DBF, read by an independent reader (Debian's
// python3-dbfread) and by the engine: a user who opens the file in another tool must see every
// value the program shows. Every field of every record is compared.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "dbf/DsDbfApi.h"
#include "platform/runtime/AnsiString.h"

namespace {

// The reader's view: a line of field names and type letters, then one line per active record
// with each value, tab-separated. Texts go out in Windows-1251 (the engine's text), numbers as
// Python's shortest exact form, a null as "<null>".
const char* const kBundledDbfreadDump = R"PY(
import sys
from dbfread import DBF
t = DBF(sys.argv[1], encoding='cp866', load=False)
out = sys.stdout.buffer
out.write(('\t'.join('%s:%s' % (f.name, f.type) for f in t.fields) + '\n').encode('ascii'))
for r in t:
    cells = []
    for f in t.fields:
        v = r[f.name]
        if v is None:
            cells.append(b'<null>')
        elif isinstance(v, str):
            cells.append(v.encode('cp1251'))
        else:
            cells.append(repr(v).encode('ascii'))
    out.write(b'\t'.join(cells) + b'\n')
)PY";

std::string RunBundledReaderCommand(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    status = -1;
    return out;
  }
  char buffer[65536];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  status = pclose(pipe);
  return out;
}

std::vector<std::string> SplitBundledCells(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    cells.push_back(line.substr(start, tab - start));
  cells.push_back(line.substr(start));
  return cells;
}

// The engine's value of a field in the reader's form; `reader` is the reader's cell, used to
// compare numbers as numbers (both sides parse the same digits to the nearest double).
bool BundledCellMatches(const TDsCustomField& field, const std::string& reader, std::string& engine) {
  if (field.IsNull()) {
    engine = "<null>";
    return reader == engine;
  }
  switch (field.GetFieldType()) {
    case ftString:
      engine = field.AsString();
      return reader == engine;
    case ftInteger:
    case ftAutoInc:
      engine = std::to_string(field.AsInteger());
      return reader == engine;
    case ftFloat: {
      const double value = field.AsFloat();
      char text[64];
      std::snprintf(text, sizeof text, "%.17g", value);
      engine = text;
      char* end = nullptr;
      const double theirs = std::strtod(reader.c_str(), &end);
      return end && *end == 0 && !reader.empty() && theirs == value;
    }
    default:
      engine = "(a field type the bundled table does not use)";
      return false;
  }
}

TEST(BundledTownTable, EveryRecordReadsTheSameThroughAnIndependentReaderAndTheEngine) {
  const std::string path = std::string(ORV_SOURCE_DIR) + "/DB/ORVANE.DBF";
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  const char* python = "/usr/bin/python3";
  int status = 0;
  RunBundledReaderCommand(std::string(python) + " -c 'import dbfread' 2>/dev/null", status);
  if (!std::filesystem::exists(python) || status != 0)
    GTEST_SKIP() << "python3-dbfread is not installed (scripts/setup installs it); the bundled "
                    "table was not compared with an independent reader";

  const std::filesystem::path script =
      std::filesystem::temp_directory_path() / ("orv_bundled_dump_" + std::to_string(getpid()) + ".py");
  {
    FILE* out = std::fopen(script.c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fputs(kBundledDbfreadDump, out);
    std::fclose(out);
  }
  const std::string dump = RunBundledReaderCommand(std::string(python) + " " + script.string() + " '" + path + "'", status);
  std::filesystem::remove(script);
  ASSERT_EQ(status, 0) << dump;
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < dump.size(); start = end + 1) {
    end = dump.find('\n', start);
    if (end == std::string::npos) end = dump.size();
    lines.push_back(dump.substr(start, end - start));
  }
  ASSERT_GT(lines.size(), 1u);

  orv::TDsOpenParams params;
  params.CodePage = dBASE_RUS_cp866;
  TDbfHandle table(path, &params, false, true);
  ASSERT_EQ(table.GetStatus(), dsErrNone);
  const TDsCustomHeader& header = *table.GetHeader();

  // The same fields in the same order.
  const std::vector<std::string> names = SplitBundledCells(lines[0]);
  ASSERT_EQ(Integer(names.size()), header.GetFieldCount());
  for (Integer i = 0; i < header.GetFieldCount(); ++i) {
    const auto& field = static_cast<const TDbfField&>(*header.GetField(i));
    EXPECT_EQ(names[std::size_t(i)], field.GetName() + ":" + field.GetTypeLetter());
  }

  // Every record, every field; the first few differences are reported.
  std::vector<Byte> record(std::size_t(table.GetRecordSize()));
  std::size_t row = 1;
  int differences = 0;
  table.First();
  while (table.GetNext(record.data()) == dsErrNone) {
    ASSERT_LT(row, lines.size()) << "the engine reads more records than the reader";
    const std::vector<std::string> cells = SplitBundledCells(lines[row]);
    ASSERT_EQ(Integer(cells.size()), header.GetFieldCount()) << "record " << row;
    for (Integer i = 0; i < header.GetFieldCount(); ++i) {
      std::string engine;
      if (BundledCellMatches(*header.GetField(i), cells[std::size_t(i)], engine)) continue;
      if (++differences <= 10)
        ADD_FAILURE() << "record " << row << ", field " << header.GetField(i)->GetName() << ": the reader gives "
                      << orv::AnsiToUtf8(cells[std::size_t(i)]) << ", the engine " << orv::AnsiToUtf8(engine);
    }
    ++row;
  }
  EXPECT_EQ(row, lines.size()) << "the reader reads more records than the engine";
  EXPECT_EQ(differences, 0);
  EXPECT_GT(row, 10000u);
}

}  // namespace
