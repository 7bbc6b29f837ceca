// Helpers of the fuzz targets: a read-only file in memory and the split of one input into parts.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "dbf/DsDbApi.h"

namespace fuzz {

// A file held in memory that refuses writes.
class TInputFile : public orv::IDsFile {
 public:
  explicit TInputFile(std::vector<Byte> bytes) : FBytes(std::move(bytes)) {}
  bool Seek(Int64 position) override {
    if (position < 0) return false;
    FPosition = position;
    return true;
  }
  Integer Read(void* buffer, Integer count) override {
    const Int64 size = static_cast<Int64>(FBytes.size());
    const Int64 n = FPosition >= size ? 0 : std::min<Int64>(count, size - FPosition);
    if (n > 0) std::memcpy(buffer, FBytes.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return static_cast<Integer>(n);
  }
  Integer Write(const void*, Integer) override { return -1; }
  Int64 GetSize() override { return static_cast<Int64>(FBytes.size()); }

 private:
  std::vector<Byte> FBytes;
  Int64 FPosition = 0;
};

// Splits an input at its first "\n--\n": the part before, and the part after (empty without one).
// Keeps inputs of several files readable in a corpus.
inline std::pair<std::string_view, std::string_view> SplitInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t at = all.find("\n--\n");
  if (at == std::string_view::npos) return {all, {}};
  return {all.substr(0, at), all.substr(at + 4)};
}

inline std::vector<Byte> Bytes(std::string_view s) { return std::vector<Byte>(s.begin(), s.end()); }

}  // namespace fuzz
