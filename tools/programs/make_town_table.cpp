// make_town_table: builds the program's town table.
//
//   make_town_table [--verbose] [OUTPUT]
//       Real towns with Russian names from the installed data packages (scripts/setup --tools);
//       OUTPUT defaults to DB/ORVANE.DBF in the source tree.
//   make_town_table --synthetic COUNT [--seed N] OUTPUT
//       COUNT made-up towns of the same layout, for benchmarks.
#include <chrono>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "tools/SyntheticTownTable.h"
#include "tools/TownSources.h"
#include "tools/TownTable.h"

namespace {

int Usage(std::FILE* out, int code) {
  std::fputs(
      "usage: make_town_table [--verbose] [--cities FILE] [--geonames-mo FILE]\n"
      "                       [--iso-mo FILE] [--iso-json FILE] [OUTPUT]\n"
      "       make_town_table --synthetic COUNT [--seed N] OUTPUT\n"
      "\n"
      "The first form writes the bundled town table (default OUTPUT: DB/ORVANE.DBF of the\n"
      "source tree) from the GeoNames and iso-codes data that scripts/setup --tools installs;\n"
      "--verbose lists the towns left out. The second form writes COUNT synthetic towns.\n",
      out);
  return code;
}

template <typename T>
bool ParseNumber(const char* text, T& value) {
  const std::string_view s(text);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

// The update date of a table built from data: the day the data was last changed, so that the
// same data gives the same file.
std::chrono::year_month_day DataDate(const std::string& path) {
  const auto written = std::filesystem::last_write_time(path);
  const auto system = std::chrono::file_clock::to_sys(written);
  return std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(system));
}

int Run(int argc, char** argv) {
  orv::TownSourcePaths paths;
  std::string output = std::string(ORV_SOURCE_DIR) + "/DB/ORVANE.DBF";
  bool verbose = false;
  bool synthetic = false;
  bool outputGiven = false;
  std::size_t count = 0;
  std::uint64_t seed = 1;

  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") return Usage(stdout, 0);
    if (arg == "--verbose") verbose = true;
    else if (arg == "--synthetic" && hasValue) {
      synthetic = true;
      if (!ParseNumber(argv[++i], count)) return Usage(stderr, 2);
    } else if (arg == "--seed" && hasValue) {
      if (!ParseNumber(argv[++i], seed)) return Usage(stderr, 2);
    } else if (arg == "--cities" && hasValue) paths.Cities = argv[++i];
    else if (arg == "--geonames-mo" && hasValue) paths.GeoNamesRu = argv[++i];
    else if (arg == "--iso-mo" && hasValue) paths.IsoCountriesRu = argv[++i];
    else if (arg == "--iso-json" && hasValue) paths.IsoCountriesJson = argv[++i];
    else if (!arg.starts_with("-") && !outputGiven) {
      output = arg;
      outputGiven = true;
    } else {
      return Usage(stderr, 2);
    }
  }

  if (synthetic) {
    if (!outputGiven) return Usage(stderr, 2);
    orv::WriteSyntheticTownTable(output, count, seed);
    std::printf("%s: %zu synthetic towns (seed %llu)\n", output.c_str(), count,
                static_cast<unsigned long long>(seed));
    return 0;
  }

  const orv::TownSourceData data = orv::LoadTownSources(paths);
  orv::TownBuildReport report;
  const std::vector<orv::TownRecord> towns = orv::BuildTownRecords(data, report);
  orv::WriteTownTable(output, towns, DataDate(paths.Cities));
  std::printf("%s: %zu towns written; %zu read, %zu with a Russian name, %zu of those left out\n",
              output.c_str(), report.Written, report.Read, report.WithRussianName, report.LeftOut.size());
  if (verbose)
    for (const std::string& line : report.LeftOut) std::printf("  left out: %s\n", line.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const Exception& e) {
    std::fprintf(stderr, "make_town_table: %s\n", orv::AnsiToUtf8(e.GetMessage()).c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_town_table: %s\n", e.what());
  }
  return 1;
}
