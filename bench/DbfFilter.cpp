// links: dbf
// One evaluation of the town search's filters on a record, against the same condition written
// directly in C++ over the same decoded values (the baseline):
//   - Synthetic*: values held in memory and read through the filter's field interface, so the
//     difference is the cost of the language itself;
//   - Table*: records of the bundled town table decoded by the field codec, as the table
//     handle evaluates its filter; the baseline decodes the same fields with the codec.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dbf/DsCP.h"
#include "dbf/DsDbParser.h"
#include "dbf/DsDbfApi.h"
#include "platform/runtime/AnsiString.h"

namespace {

struct TTown {
  double Lon, Lat;
  AnsiString Country, City;
};

class TTownSource : public orv::IDbFilterSource {
 public:
  enum { fCountry, fCity, fLon, fLat };
  const TTown* Current = nullptr;

  Integer FindFilterField(std::string_view name) const override {
    static const char* const names[] = {"COUNTRY", "CITY", "LON", "LAT"};
    for (Integer i = 0; i < 4; ++i)
      if (name.size() == std::strlen(names[i]) && strncasecmp(name.data(), names[i], name.size()) == 0)
        return i;
    return -1;
  }
  TFieldType GetFilterFieldType(Integer field) const override {
    return field < fLon ? ftString : ftFloat;
  }
  bool GetFilterFieldData(Integer field, orv::TDbFieldData& data) const override {
    switch (field) {
      case fLon: data.AsFloat = Current->Lon; return true;
      case fLat: data.AsFloat = Current->Lat; return true;
      default: {
        const AnsiString& s = field == fCountry ? Current->Country : Current->City;
        std::memcpy(data.Text, s.data(), s.size());
        data.TextLength = static_cast<Integer>(s.size());
        return true;
      }
    }
  }
};

const std::vector<TTown>& Towns() {
  static const std::vector<TTown> towns = [] {
    const AnsiString countries[] = {"Россия"_a, "Российская Федерация"_a, "Украина"_a, "Франция"_a};
    const AnsiString cities[] = {"Москва"_a, "Московский"_a, "Омск"_a, "Париж"_a, "Киев"_a};
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> lon(0, 360), lat(-90, 90);
    std::vector<TTown> v;
    for (int i = 0; i < 4096; ++i)
      v.push_back({lon(rng), lat(rng), countries[rng() % 4], cities[rng() % 5]});
    return v;
  }();
  return towns;
}

// Decodes the record's fields through the interface, as the filter does.
double ReadFloat(const orv::IDbFilterSource* s, Integer field) {
  orv::TDbFieldData d;
  s->GetFilterFieldData(field, d);
  return d.AsFloat;
}

std::string_view ReadText(const orv::IDbFilterSource* s, Integer field, char* buffer) {
  orv::TDbFieldData d;
  d.Text = buffer;
  s->GetFilterFieldData(field, d);
  return {buffer, std::size_t(d.TextLength)};
}

// The wrap-around example: east 2, north 3, tolerances 5 and 5.
const char kCoordinateFilter[] =
    "(((lon >= 357) and (lon <= 360)) or ((lon <= 7) and (lon >= 0))) and(lat + 2 >= 0) and "
    "(lat <= 8)";

const char* const kNameFilter = "(country = 'Росси*') and (city = 'Москва*')"_a.c_str();

void BM_SyntheticCoordinatePredicate(benchmark::State& state) {
  TTownSource source;
  const auto& towns = Towns();
  std::size_t i = 0;
  for (auto _ : state) {
    source.Current = &towns[i++ & 4095];
    const orv::IDbFilterSource* s = &source;
    benchmark::DoNotOptimize(s);
    const double lon = ReadFloat(s, TTownSource::fLon), lat = ReadFloat(s, TTownSource::fLat);
    bool ok = ((lon >= 357 && lon <= 360) || (lon <= 7 && lon >= 0)) && lat + 2 >= 0 && lat <= 8;
    benchmark::DoNotOptimize(ok);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SyntheticCoordinatePredicate);

// The filter over the same values as the predicates above.
void BM_SyntheticFilter(benchmark::State& state, const char* text) {
  TTownSource source;
  TDsDbParser parser(&source);
  parser.SetText(text);
  parser.Check();
  const auto& towns = Towns();
  std::size_t i = 0;
  for (auto _ : state) {
    source.Current = &towns[i++ & 4095];
    bool ok = parser.Accept();
    benchmark::DoNotOptimize(ok);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_SyntheticFilter, Coordinate, kCoordinateFilter);
BENCHMARK_CAPTURE(BM_SyntheticFilter, Name, kNameFilter);

void BM_SyntheticNamePredicate(benchmark::State& state) {
  TTownSource source;
  const auto& towns = Towns();
  const std::string country = "Росси"_a, city = "Москва"_a;
  char a[256], b[256];
  std::size_t i = 0;
  for (auto _ : state) {
    source.Current = &towns[i++ & 4095];
    const orv::IDbFilterSource* s = &source;
    benchmark::DoNotOptimize(s);
    bool ok = ReadText(s, TTownSource::fCountry, a).starts_with(country) &&
              ReadText(s, TTownSource::fCity, b).starts_with(city);
    benchmark::DoNotOptimize(ok);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SyntheticNamePredicate);


// The bundled town table, read whole into memory.
class TMemoryFile : public orv::IDsFile {
 public:
  std::vector<Byte> Bytes;
  bool Seek(Int64 position) override {
    FPosition = position;
    return position >= 0;
  }
  Integer Read(void* buffer, Integer count) override {
    const Int64 n = std::max<Int64>(0, std::min<Int64>(count, Int64(Bytes.size()) - FPosition));
    if (n > 0) std::memcpy(buffer, Bytes.data() + FPosition, std::size_t(n));
    FPosition += n;
    return Integer(n);
  }
  Integer Write(const void*, Integer) override { return -1; }

 private:
  Int64 FPosition = 0;
};

struct TTownTable {
  TMemoryFile File;
  TDsCustomHandle Handle;
  TDbfHeader* Header = nullptr;
  Integer Count = 0;

  TTownTable() {
    std::ifstream in(std::string(ORV_SOURCE_DIR) + "/DB/ORVANE.DBF", std::ios::binary);
    File.Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    Handle.SetCodePage(dBASE_RUS_cp866);
    auto header = std::make_unique<TDbfHeader>(&Handle, &File);
    if (header->Read() == 0) Count = header->GetRecordCount();
    Header = header.get();
    Handle.SetHeader(std::move(header));
  }
  void Select(std::size_t i) {
    Handle.SetCurrentRecord(File.Bytes.data() + Header->GetHeaderSize() +
                            std::size_t(i % std::size_t(Count)) * std::size_t(Header->GetRecordSize()));
  }
};

TTownTable& Table(benchmark::State& state) {
  static TTownTable table;
  if (table.Count == 0) state.SkipWithError("no town table");
  return table;
}

double Decode(const TDsCustomField* field, bool& isNull) {
  double value = 0;
  field->GetData(nullptr, &value, isNull);
  return value;
}

void BM_TableCoordinatePredicate(benchmark::State& state) {
  TTownTable& table = Table(state);
  const TDsCustomField* lonField = table.Header->FindField("LON");
  const TDsCustomField* latField = table.Header->FindField("LAT");
  std::size_t i = 0;
  for (auto _ : state) {
    table.Select(i++);
    bool lonNull = true, latNull = true;
    const double lon = Decode(lonField, lonNull), lat = Decode(latField, latNull);
    bool ok = !lonNull && !latNull && ((lon >= 357 && lon <= 360) || (lon <= 7 && lon >= 0)) &&
              lat + 2 >= 0 && lat <= 8;
    benchmark::DoNotOptimize(ok);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TableCoordinatePredicate);

// The filter as the table handle evaluates it on its current record.
void BM_TableFilter(benchmark::State& state, const char* text) {
  TTownTable& table = Table(state);
  TDsDbParser parser(&table.Handle);
  parser.SetText(text);
  parser.Check();
  std::size_t i = 0;
  for (auto _ : state) {
    table.Select(i++);
    bool ok = parser.Accept();
    benchmark::DoNotOptimize(ok);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_TableFilter, Coordinate, kCoordinateFilter);
BENCHMARK_CAPTURE(BM_TableFilter, Name, kNameFilter);

void BM_TableNamePredicate(benchmark::State& state) {
  TTownTable& table = Table(state);
  const TDsCustomField* countryField = table.Header->FindField("COUNTRY");
  const TDsCustomField* cityField = table.Header->FindField("CITY");
  const std::string country = "Росси"_a, city = "Москва"_a;
  char a[256], b[256];
  std::size_t i = 0;
  for (auto _ : state) {
    table.Select(i++);
    bool countryNull = true, cityNull = true;
    countryField->GetData(nullptr, a, countryNull);
    cityField->GetData(nullptr, b, cityNull);
    bool ok = !countryNull && !cityNull && std::string_view(a).starts_with(country) &&
              std::string_view(b).starts_with(city);
    benchmark::DoNotOptimize(ok);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TableNamePredicate);


}  // namespace
