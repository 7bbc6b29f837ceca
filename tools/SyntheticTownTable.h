// Synthetic town tables for benchmarks: the layout of the bundled table, made-up Russian-looking
// country and town names of realistic lengths, and towns clustered around their countries with
// the latitude spread of real settlements. The same seed gives the same towns on every machine.
//
//   orv::WriteSyntheticTownTable("/tmp/towns.dbf", 1000000, 42);
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/TownTable.h"

namespace orv {

// Makes town after town; IDs run 1, 2, 3, ...
class SyntheticTownGenerator {
 public:
  explicit SyntheticTownGenerator(std::uint64_t seed);

  TownRecord Next();

 private:
  struct Country {
    AnsiString Name;
    double Lat;
    double Lon;
    double Spread;  // standard deviation of its towns around the centre, degrees
    double Weight;  // cumulative share of the towns
  };

  std::uint64_t NextBits();
  double NextUnit();      // 0 <= value < 1
  double NextGaussian();  // mean 0, deviation 1
  AnsiString MakeName(int minLength, int maxLength, bool allowParts);

  std::uint64_t FState;
  std::vector<Country> FCountries;
  Integer FNextId = 1;
};

// Writes a table of `count` synthetic towns (at most 2^31 - 1) to the path.
void WriteSyntheticTownTable(const std::string& path, std::size_t count, std::uint64_t seed);

}  // namespace orv
