// links: dbf
// One evaluation of the town search's filters on a record, against the same condition written
// directly in C++ over the same decoded values (the baseline). Both read the fields through
// the filter's field interface, so the difference is the cost of the filter language itself.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "dbf/DsDbParser.h"
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

void BM_CoordinatePredicate(benchmark::State& state) {
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
BENCHMARK(BM_CoordinatePredicate);

void BM_CoordinateFilter(benchmark::State& state) {
  TTownSource source;
  TDsDbParser parser(&source);
  parser.SetText(kCoordinateFilter);
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
BENCHMARK(BM_CoordinateFilter);

void BM_NamePredicate(benchmark::State& state) {
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
BENCHMARK(BM_NamePredicate);

void BM_NameFilter(benchmark::State& state) {
  TTownSource source;
  TDsDbParser parser(&source);
  parser.SetText("(country = 'Росси*') and (city = 'Москва*')"_a);
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
BENCHMARK(BM_NameFilter);

}  // namespace
