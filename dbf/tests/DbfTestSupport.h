// Helpers of the table engine's tests: a file in memory and a builder of .DBF images.
#pragma once

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dbf/DsDbApi.h"

namespace dbftest {

// A file held in memory; writes past the end grow it.
class TMemoryFile : public orv::IDsFile {
 public:
  TMemoryFile() = default;
  explicit TMemoryFile(std::vector<Byte> bytes) : Bytes(std::move(bytes)) {}

  bool Seek(Int64 position) override {
    if (position < 0) return false;
    FPosition = position;
    return true;
  }
  Integer Read(void* buffer, Integer count) override {
    if (FailReads) return -1;
    const Int64 size = static_cast<Int64>(Bytes.size());
    const Int64 n = FPosition >= size ? 0 : std::min<Int64>(count, size - FPosition);
    if (n > 0) std::memcpy(buffer, Bytes.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return static_cast<Integer>(n);
  }
  Integer Write(const void* buffer, Integer count) override {
    if (FailWrites) return -1;
    if (FPosition + count > static_cast<Int64>(Bytes.size())) Bytes.resize(static_cast<std::size_t>(FPosition + count));
    std::memcpy(Bytes.data() + FPosition, buffer, static_cast<std::size_t>(count));
    FPosition += count;
    return count;
  }
  Int64 GetSize() override { return static_cast<Int64>(Bytes.size()); }

  std::vector<Byte> Bytes;
  bool FailReads = false;
  bool FailWrites = false;

 private:
  Int64 FPosition = 0;
};

struct TFieldSpec {
  std::string Name;
  char Letter;
  Integer Length;
  Integer Decimals = 0;
};

// A .DBF image: prefix, descriptors of the level's size, the 0x0D end, records and 0x1A.
// Records are given as their raw bytes after the deletion byte.
inline std::vector<Byte> BuildDbf(Byte version, Byte languageDriver, const std::vector<TFieldSpec>& fields,
                                  const std::vector<std::string>& records = {},
                                  const std::vector<bool>& deleted = {}) {
  const bool wide = version == 0x04 || version == 0x8C;
  const Integer prefix = wide ? 68 : 32;
  const Integer step = wide ? 48 : 32;
  Integer recordSize = 1;
  for (const auto& f : fields) recordSize += f.Length;
  const Integer headerSize = prefix + Integer(fields.size()) * step + 1;
  std::vector<Byte> out(static_cast<std::size_t>(headerSize), 0);
  out[0] = version;
  out[1] = 124;  // 2024-05-17
  out[2] = 5;
  out[3] = 17;
  const auto count = static_cast<LongWord>(records.size());
  std::memcpy(&out[4], &count, 4);
  out[8] = Byte(headerSize);
  out[9] = Byte(headerSize >> 8);
  out[10] = Byte(recordSize);
  out[11] = Byte(recordSize >> 8);
  out[29] = languageDriver;
  Integer at = prefix;
  for (const auto& f : fields) {
    std::memcpy(&out[std::size_t(at)], f.Name.data(), f.Name.size());
    out[std::size_t(at + (wide ? 32 : 11))] = Byte(f.Letter);
    out[std::size_t(at + (wide ? 33 : 16))] = Byte(f.Length);
    out[std::size_t(at + (wide ? 34 : 17))] = Byte(f.Decimals);
    at += step;
  }
  out[std::size_t(at)] = 0x0D;
  for (std::size_t r = 0; r < records.size(); ++r) {
    std::string record = records[r];
    record.resize(static_cast<std::size_t>(recordSize - 1), ' ');
    out.push_back(r < deleted.size() && deleted[r] ? '*' : ' ');
    out.insert(out.end(), record.begin(), record.end());
  }
  out.push_back(0x1A);
  return out;
}

inline std::vector<Byte> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<Byte>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A temporary folder, removed with everything in it when the object goes.
class TTempDir {
 public:
  TTempDir() {
    char pattern[] = "/tmp/dbf-test-XXXXXX";
    if (mkdtemp(pattern)) Dir = pattern;
  }
  ~TTempDir() {
    if (!Dir.empty()) std::filesystem::remove_all(Dir);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  std::string Path(const std::string& name) const { return Dir + "/" + name; }
  // Writes a file into the folder; its path.
  std::string Write(const std::string& name, const std::vector<Byte>& bytes) const {
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  std::string Dir;
};

inline std::string FixturePath(const std::string& name) {
  return std::string(ORV_SOURCE_DIR) + "/dbf/tests/fixtures/" + name;
}

}  // namespace dbftest
