#include "tools/SyntheticTownTable.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/Exceptions.h"

namespace orv {

namespace {

constexpr int kCountryCount = 180;

// Letters weighted roughly as they occur in Russian place names (repeats raise the weight).
constexpr AnsiLiteral kVowels = "ааааооооеееииуяыаое"_a;
constexpr AnsiLiteral kOnsets = "ннрррсссттввкккллммдпбгзжшчх"_a;
constexpr AnsiLiteral kCodas = "нннррвлллсскмтй"_a;
// Pieces that real names are built with.
constexpr AnsiLiteral kPrefixes[] = {"Ново"_a, "Старо"_a, "Усть-"_a, "Верхне"_a, "Нижне"_a, "Сан-"_a, "Санта-"_a, "Порт-"_a};
constexpr AnsiLiteral kLinks[] = {"-на-"_a, "-де-"_a, " "_a, "-"_a};
constexpr AnsiLiteral kCountryWords[] = {"Республика "_a, "Острова "_a, "Новая "_a, "Северная "_a, "Южная "_a};

std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

SyntheticTownGenerator::SyntheticTownGenerator(std::uint64_t seed) : FState(seed) {
  double total = 0;
  for (int i = 0; i < kCountryCount; ++i) {
    Country c;
    c.Name = NextUnit() < 0.12
                 ? AnsiString(kCountryWords[NextBits() % std::size(kCountryWords)]) + MakeName(4, 12, false)
                 : MakeName(4, kTownCountryLength, false);
    if (c.Name.size() > static_cast<std::size_t>(kTownCountryLength)) c.Name.resize(kTownCountryLength);
    // Settlements crowd the northern temperate band, fewer lie in the tropics and the south.
    const double band = NextUnit();
    const double lat = band < 0.7 ? 35 + 14 * NextGaussian() : band < 0.9 ? 5 + 12 * NextGaussian() : -25 + 12 * NextGaussian();
    c.Lat = std::clamp(lat, -55.0, 70.0);
    c.Lon = 360 * NextUnit();
    c.Spread = 1 + 6 * NextUnit();
    total += 1 / std::pow(i + 1.0, 0.8);  // a few large countries, many small ones
    c.Weight = total;
    FCountries.push_back(std::move(c));
  }
  for (Country& c : FCountries) c.Weight /= total;
}

std::uint64_t SyntheticTownGenerator::NextBits() { return SplitMix(FState); }

double SyntheticTownGenerator::NextUnit() { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }

double SyntheticTownGenerator::NextGaussian() {
  const double u = 1 - NextUnit();  // in (0, 1]
  const double v = NextUnit();
  return std::sqrt(-2 * std::log(u)) * std::cos(2 * 3.14159265358979323846 * v);
}

AnsiString SyntheticTownGenerator::MakeName(int minLength, int maxLength, bool allowParts) {
  // Lengths spread like real names: a median near 8 letters (7 for countries), a long tail.
  const double median = allowParts ? 8.0 : 7.0;
  const int target = std::clamp(static_cast<int>(std::lround(std::exp(std::log(median) + 0.35 * NextGaussian()))),
                                minLength, maxLength);
  AnsiString name;
  if (allowParts && NextUnit() < 0.06) name = kPrefixes[NextBits() % std::size(kPrefixes)];
  bool capital = true;
  std::size_t partStart = name.size();
  while (static_cast<int>(name.size()) < target) {
    if (allowParts && name.size() - partStart >= 4 && NextUnit() < 0.04 &&
        static_cast<int>(name.size()) + 6 < maxLength) {
      const AnsiLiteral link = kLinks[NextBits() % std::size(kLinks)];
      name += link;
      partStart = name.size();
      capital = true;  // "Ростов-на-Дону": the part after a link starts with a capital
      continue;
    }
    AnsiString syllable;
    syllable += kOnsets[NextBits() % kOnsets.size()];
    syllable += kVowels[NextBits() % kVowels.size()];
    if (NextUnit() < 0.25) syllable += kCodas[NextBits() % kCodas.size()];
    if (capital && !syllable.empty()) {
      syllable[0] = AnsiUpperChar(syllable[0]);
      capital = false;
    }
    name += syllable;
  }
  if (static_cast<int>(name.size()) > maxLength) name.resize(maxLength);
  while (!name.empty() && (name.back() == ' ' || name.back() == '-')) name.pop_back();
  return name;
}

TownRecord SyntheticTownGenerator::Next() {
  if (FNextId == INT32_MAX) throw ERangeError("Too many synthetic towns"_a);
  const double pick = NextUnit();
  const auto country = std::lower_bound(FCountries.begin(), FCountries.end(), pick,
                                        [](const Country& c, double value) { return c.Weight < value; });
  const Country& c = country == FCountries.end() ? FCountries.back() : *country;

  TownRecord town;
  town.Id = FNextId++;
  town.Country = c.Name;
  town.City = MakeName(3, kTownCityLength, true);
  town.Lat = std::clamp(c.Lat + c.Spread * NextGaussian(), -89.5, 89.5);
  // Degrees of longitude shrink towards the poles: widen the spread to keep the towns' true spread.
  const double widen = 1 / std::max(0.2, std::cos(town.Lat * 3.14159265358979323846 / 180));
  town.Lon = NormalizeLongitude(c.Lon + c.Spread * widen * NextGaussian());
  return town;
}

void WriteSyntheticTownTable(const std::string& path, std::size_t count, std::uint64_t seed) {
  if (count >= static_cast<std::size_t>(INT32_MAX)) throw ERangeError("Too many synthetic towns"_a);
  SyntheticTownGenerator generator(seed);
  TownTableWriter writer(path, TodayDate());
  for (std::size_t i = 0; i < count; ++i) writer.Add(generator.Next());
  writer.Close();
}

}  // namespace orv
