// links: dbf
// The filter language: any text is tokenized, checked and evaluated against a record with a field
// of each kind the language reads; options come from the first byte.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "dbf/DsDbParser.h"
#include "platform/runtime/Exceptions.h"

namespace {

struct TField {
  const char* Name;
  TFieldType Type;
  double Float;
  Integer Int;
  const char* Text;  // Windows-1251
};

const TField kFields[] = {
    {"LAT", ftFloat, 55.75, 0, nullptr},         {"LON", ftFloat, 37.61, 0, nullptr},
    {"ID", ftInteger, 0, 5, nullptr},            {"SMALL", ftSmallint, 0, -7, nullptr},
    {"COUNTRY", ftString, 0, 0, "\xD0\xEE\xF1\xF1\xE8\xFF"},
    {"CITY", ftString, 0, 0, "\xCC\xEE\xF1\xEA\xE2\xE0"},
    {"FLAG", ftBoolean, 0, 1, nullptr},          {"D", ftDate, 40000, 0, nullptr},
    {"T", ftTime, 0.25, 0, nullptr},             {"DT", ftDateTime, 40000.5, 0, nullptr},
    {"EMPTY", ftString, 0, 0, nullptr},
};

// The same record as bytes (blank-padded texts of 10 characters, right-aligned numbers), for the
// filter's record test; fields not listed are read only through GetFilterFieldData.
struct TLaidOut {
  const char* Name;
  Integer Offset;
  bool Number;
};
const TLaidOut kLayouts[] = {{"LAT", 0, true},      {"LON", 10, true},  {"COUNTRY", 20, false},
                             {"CITY", 30, false},   {"EMPTY", 40, false}};
const char kRecordBytes[] = "     55.75     37.61\xD0\xEE\xF1\xF1\xE8\xFF    \xCC\xEE\xF1\xEA\xE2\xE0              ";
constexpr Integer kRecordSize = 50;
static_assert(sizeof kRecordBytes == kRecordSize + 1);

class TRecord : public orv::IDbFilterSource {
 public:
  bool GetFilterFieldLayout(Integer field, orv::TDbFieldLayout& layout) const override {
    for (const TLaidOut& l : kLayouts)
      if (std::strcmp(l.Name, kFields[field].Name) == 0) {
        layout.Offset = l.Offset;
        layout.Length = 10;
        layout.Number = l.Number;
        layout.Table = nullptr;
        return true;
      }
    return false;
  }
  Integer FindFilterField(std::string_view name) const override {
    for (std::size_t i = 0; i < std::size(kFields); ++i) {
      const std::string_view field = kFields[i].Name;
      if (field.size() == name.size() &&
          std::equal(field.begin(), field.end(), name.begin(), [](char a, char b) {
            return a == std::toupper(static_cast<unsigned char>(b));
          }))
        return Integer(i);
    }
    return -1;
  }
  TFieldType GetFilterFieldType(Integer field) const override { return kFields[field].Type; }
  bool GetFilterFieldData(Integer field, orv::TDbFieldData& data) const override {
    const TField& f = kFields[field];
    if (f.Type == ftString) {
      if (!f.Text) return false;
      const std::size_t n = std::strlen(f.Text);
      if (data.Text) {
        std::memcpy(data.Text, f.Text, n);
        data.TextLength = Integer(n);
      }
      return true;
    }
    data.AsFloat = f.Float;
    data.AsInteger = f.Int;
    data.AsBoolean = f.Int != 0;
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  TRecord record;
  TDsDbParser parser(&record);
  try {
    parser.SetOptions(data[0]);
    parser.SetText(AnsiString(reinterpret_cast<const char*>(data) + 1, size - 1));
    if (!parser.Tokenize()) return 0;
    parser.Check();
    parser.Evaluate();
    const bool accepted = parser.Accept();
    // The record test may only reject what the evaluation rejects.
    if (accepted && parser.SkipRejected(reinterpret_cast<const Byte*>(kRecordBytes), 1, kRecordSize) != 0)
      __builtin_trap();
  } catch (const Exception&) {
    // A text the language refuses is an answer, not a fault.
  }
  return 0;
}
