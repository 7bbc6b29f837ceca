// Temporary files and the independent reader for the tools' tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <sys/wait.h>
#include <unistd.h>

namespace orv::test {

// A file name in a fresh per-test folder, removed with its folder at the end of the scope.
class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    FPath = std::filesystem::temp_directory_path() /
            ("orv-tools-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(FPath);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  std::string File(const std::string& name) const { return (FPath / name).string(); }

 private:
  std::filesystem::path FPath;
};

inline const char* kPython = "/usr/bin/python3";

// Whether Debian's python3 with its dbfread module is there to cross-check tables.
inline bool HaveDbfRead() {
  const std::string command = std::string(kPython) + " -c 'import dbfread' >/dev/null 2>&1";
  return std::filesystem::exists(kPython) && std::system(command.c_str()) == 0;
}

// Runs the table checker; returns its exit code and puts its output into `output`.
inline int CheckTownTable(const std::string& arguments, std::string& output) {
  const std::string command = std::string(kPython) + " " + ORV_SOURCE_DIR +
                              "/tools/tests/check_town_table.py " + arguments + " 2>&1";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline const char* kNoDbfRead =
    "/usr/bin/python3 with the dbfread module is missing (scripts/setup installs python3-dbfread)";

}  // namespace orv::test
