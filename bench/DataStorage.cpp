// links: components_data tools
// Loading a million town records (11 fields: ID, country, town, four coordinate texts, four
// coordinates) into the data storage as a reload does it: one record appended and filled through
// a value reader per source record, each value handed over as a variant. The baseline appends the
// same values to a plain vector of structs in the same run. Both report time per record and the
// heap bytes the loaded records hold per record.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <vector>

#include "components/data/cxDataStorage.h"
#include "tools/SyntheticTownTable.h"
#include "tools/TownTable.h"

namespace {

constexpr std::size_t kTowns = 1000000;

struct TTownRow {
  Integer Id;
  AnsiString Country, City, GeoLon, GeoLat, EclLonText, EclLatText;
  double Lon, Lat, EclLon, EclLat;
};

const std::vector<TTownRow>& Towns() {
  static const std::vector<TTownRow> towns = [] {
    std::vector<TTownRow> rows;
    rows.reserve(kTowns);
    orv::SyntheticTownGenerator generator(1);
    for (std::size_t i = 0; i < kTowns; ++i) {
      const orv::TownRecord town = generator.Next();
      const double lon = orv::NormalizeLongitude(town.Lon);
      const orv::EclipticPoint ecliptic = orv::GeographicToEcliptic(town.Lon, town.Lat);
      rows.push_back({town.Id, town.Country, town.City, orv::FormatGeographicLongitude(town.Lon),
                      orv::FormatGeographicLatitude(town.Lat), orv::FormatEclipticLongitude(ecliptic.Lon),
                      orv::FormatEclipticLatitude(ecliptic.Lat), lon, town.Lat, ecliptic.Lon, ecliptic.Lat});
    }
    return rows;
  }();
  return towns;
}

// Heap bytes in use, small blocks and mapped ones.
std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Hands one row's fields to the storage, by the position of the definition.
class TTownReader : public TcxValueDefReader {
 public:
  explicit TTownReader(const std::vector<TcxValueDef*>& defs) : FDefs(defs) {}
  const TTownRow* Row = nullptr;

  Variant ProvideValue(TcxValueDef* def) override {
    switch (FieldOf(def)) {
      case 0: return Variant(Row->Id);
      case 1: return Variant(Row->Country);
      case 2: return Variant(Row->City);
      case 3: return Variant(Row->GeoLon);
      case 4: return Variant(Row->GeoLat);
      case 5: return Variant(Row->EclLonText);
      case 6: return Variant(Row->EclLatText);
      case 7: return Variant(Row->Lon);
      case 8: return Variant(Row->Lat);
      case 9: return Variant(Row->EclLon);
      default: return Variant(Row->EclLat);
    }
  }

 private:
  std::size_t FieldOf(TcxValueDef* def) const {
    std::size_t i = 0;
    while (FDefs[i] != def) ++i;
    return i;
  }
  const std::vector<TcxValueDef*>& FDefs;
};

void Report(benchmark::State& state, std::size_t bytes) {
  state.counters["records"] = double(kTowns);
  state.counters["time_per_record"] =
      benchmark::Counter(double(kTowns) * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["bytes_per_record"] = double(bytes) / double(kTowns);
}

void BM_LoadTownsIntoStorage(benchmark::State& state) {
  const auto& towns = Towns();
  std::size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::size_t before = HeapInUse();
    state.ResumeTiming();
    std::unique_ptr<TcxDataStorage, orv::FreeDeleter> storage(new TcxDataStorage);
    TcxValueDefs* defs = storage->GetValueDefs();
    std::vector<TcxValueDef*> fields;
    fields.push_back(defs->AddValueDef(TcxIntegerValueType::StaticClass(), true, false, nullptr));
    for (int i = 0; i < 6; ++i) fields.push_back(defs->AddValueDef(TcxStringValueType::StaticClass(), true, false, nullptr));
    for (int i = 0; i < 4; ++i) fields.push_back(defs->AddValueDef(TcxFloatValueType::StaticClass(), true, false, nullptr));
    std::unique_ptr<TTownReader, orv::FreeDeleter> reader(new TTownReader(fields));
    for (const TTownRow& row : towns) {
      reader->Row = &row;
      storage->FillRecord(storage->AddRecord(), reader.get());
    }
    benchmark::DoNotOptimize(storage->GetStoredRecordCount());
    state.PauseTiming();
    bytes = HeapInUse() - before;
    storage.reset();
    state.ResumeTiming();
  }
  Report(state, bytes);
}
BENCHMARK(BM_LoadTownsIntoStorage)->Unit(benchmark::kMillisecond)->Iterations(3);

// Baseline: the same rows appended to a vector of structs (the strings copied).
void BM_LoadTownsIntoVectorOfStructs(benchmark::State& state) {
  const auto& towns = Towns();
  std::size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::size_t before = HeapInUse();
    state.ResumeTiming();
    std::vector<TTownRow> rows;
    for (const TTownRow& row : towns) rows.push_back(row);
    benchmark::DoNotOptimize(rows.data());
    state.PauseTiming();
    bytes = HeapInUse() - before;
    rows = std::vector<TTownRow>();
    state.ResumeTiming();
  }
  Report(state, bytes);
}
BENCHMARK(BM_LoadTownsIntoVectorOfStructs)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
