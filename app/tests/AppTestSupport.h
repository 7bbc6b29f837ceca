// Helpers of the program's tests: temporary data folders, a data module started on a chosen
// folder, message boxes recorded instead of shown, and direct reads of a town table.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/UDM.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/CodePages.h"
#include "platform/windowing/Backend.h"
#include "tools/tests/ToolsTestSupport.h"

namespace apptest {

inline std::string BundledTable() { return std::string(ORV_SOURCE_DIR) + "/DB/ORVANE.DBF"; }

inline std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

// A fresh folder, removed with everything in it at the end of the scope.
class TempDir : public orv::test::TempDir {
 public:
  // The folder with a trailing separator, as the system holds names.
  AnsiString Dir() const { return orv::Utf8ToAnsi(File("")); }
};

// The program's data module started on a folder of the test's choice instead of the one beside
// the program.
class TTestDM : public TDM {
  ORV_CLASS(TTestDM, TDM)
 public:
  explicit TTestDM(TComponent* owner) : TDM(owner) {}
  // The folder the next module connects to.
  static AnsiString& Folder() {
    static AnsiString folder;
    return folder;
  }

 protected:
  AnsiString DataFolder() const override { return Folder(); }
};

struct FreeDM {
  void operator()(TDM* dm) const {
    if (DM == dm) DM = nullptr;
    dm->Free();
  }
};
using DMPtr = std::unique_ptr<TDM, FreeDM>;

// Creates the data module as the program does (TApplication::CreateForm into DM), on `folder`.
inline DMPtr StartDataModule(const AnsiString& folder) {
  TTestDM::Folder() = folder;
  Application->CreateForm(TTestDM::StaticClass(),
                          [](TComponent* c) { DM = static_cast<TDM*>(c); });
  return DMPtr(DM);
}

// Message boxes recorded and answered with OK while the object lives.
struct MessageBoxes {
  struct Box {
    AnsiString Text;
    AnsiString Caption;
    UINT Type;
  };
  MessageBoxes() {
    orv::SetMessageBoxHandler([this](HWND, const AnsiString& text, const AnsiString& caption, UINT type) {
      Shown.push_back({text, caption, type});
      return IDOK;
    });
  }
  ~MessageBoxes() { orv::SetMessageBoxHandler(nullptr); }
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;
  std::vector<Box> Shown;
};

// The IDs of the records the table shows, from its first record on.
inline std::vector<Integer> ShownIds(TDataSet* table) {
  std::vector<Integer> ids;
  TField* id = table->FieldByName("ID");
  for (table->First(); !table->GetEOF(); table->Next()) ids.push_back(id->GetAsInteger());
  return ids;
}

}  // namespace apptest

namespace apptest {

// A town as the file stores it, read straight from the bytes (not through the table engine).
struct RawTown {
  Integer Id = 0;
  AnsiString Country, City;  // Windows-1251, trailing blanks removed
  double Lon = 0, Lat = 0, EclLon = 0, EclLat = 0;
  bool HasLon = false, HasLat = false, HasEclLon = false, HasEclLat = false;
};

// The records of a town table that are not marked deleted, in file order.
inline std::vector<RawTown> ReadRawTowns(const std::string& path) {
  const std::vector<char> bytes = ReadBytes(path);
  auto u8 = [&](std::size_t i) { return static_cast<unsigned char>(bytes.at(i)); };
  const std::size_t count = u8(4) | u8(5) << 8 | u8(6) << 16 | std::size_t(u8(7)) << 24;
  const std::size_t headerSize = u8(8) | u8(9) << 8, recordSize = u8(10) | u8(11) << 8;
  struct Field {
    std::string Name;
    std::size_t Offset, Length;
  };
  std::vector<Field> fields;
  for (std::size_t d = 32, offset = 1; u8(d) != 0x0D; d += 32) {
    const std::size_t length = u8(d + 16);
    fields.push_back({std::string(&bytes[d], ::strnlen(&bytes[d], 11)), offset, length});
    offset += length;
  }
  auto field = [&](const char* name) {
    for (const Field& f : fields)
      if (f.Name == name) return f;
    throw std::runtime_error(std::string("no field ") + name);
  };
  const Field id = field("ID"), country = field("COUNTRY"), city = field("CITY"), lon = field("LON"),
              lat = field("LAT"), eclLon = field("ECLLON"), eclLat = field("ECLLAT");
  std::vector<RawTown> towns;
  for (std::size_t r = 0; r < count; ++r) {
    const std::size_t at = headerSize + r * recordSize;
    if (bytes.at(at) == '*') continue;
    RawTown t;
    t.Id = std::stoi(std::string(&bytes[at + id.Offset], id.Length));  // digits, blank-padded
    auto text = [&](const Field& f) {
      std::string s(&bytes[at + f.Offset], f.Length);
      s.erase(s.find_last_not_of(' ') + 1);
      return orv::Cp866ToAnsi(s);
    };
    auto number = [&](const Field& f, double& value, bool& has) {
      const std::string s(&bytes[at + f.Offset], f.Length);
      has = s.find_first_not_of(' ') != std::string::npos;
      value = has ? std::stod(s) : 0;
    };
    t.Country = text(country);
    t.City = text(city);
    number(lon, t.Lon, t.HasLon);
    number(lat, t.Lat, t.HasLat);
    number(eclLon, t.EclLon, t.HasEclLon);
    number(eclLat, t.EclLat, t.HasEclLat);
    towns.push_back(t);
  }
  return towns;
}

}  // namespace apptest
