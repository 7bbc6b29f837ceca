// The memo tables of the fixtures (fixtures/make_fixtures.py): the same four rows in a dBASE III
// table written by python3-dbf (memo3), a dBASE IV table written by Perl's XBase (memo4) and a
// FoxPro table with 64-byte blocks and a picture field written by python3-dbf (memofp); all in
// cp866. Also builders of small memo files for the edge cases.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "dbf/DsDbUtils.h"
#include "dbf/DsDbfApi.h"
#include "platform/runtime/AnsiString.h"

namespace dbftest {

struct TMemoRow {
  AnsiString Name;  // Windows-1251
  AnsiString Note;
};

// A Cyrillic memo, an empty one, one over several blocks in every format, a short last one.
// A plain function rather than an initialising lambda: clang 14 crashes when it tries to evaluate
// such a lambda as a constant and prints a "..."_a literal in its notes.
inline std::vector<TMemoRow> MakeMemoRows() {
  AnsiString longMemo;
  for (int i = 1; i <= 30; ++i) {
    if (i > 1) longMemo += "\r\n";
    longMemo += "Строка "_a + std::to_string(i) + ": съешь же ещё этих мягких французских булок"_a;
  }
  return std::vector<TMemoRow>{{"Ёлки"_a, "Первая заметка\r\nвторая строка"_a},
                               {"Пусто"_a, ""},
                               {"Длинная"_a, longMemo},
                               {"Хвост"_a, "конец"_a}};
}

inline const std::vector<TMemoRow>& MemoRows() {
  static const std::vector<TMemoRow> rows = MakeMemoRows();
  return rows;
}

// The picture field of the FoxPro table's first row: every byte value.
inline AnsiString MemoPicture() {
  AnsiString bytes;
  for (int b = 0; b < 256; ++b) bytes += char(b);
  return bytes;
}

struct TMemoFixture {
  const char* Table;
  const char* Memo;
  TDbfLevel Level;
  Integer BlockSize;
};

inline const std::vector<TMemoFixture>& MemoFixtures() {
  static const std::vector<TMemoFixture> fixtures = {
      {"memo3.dbf", "memo3.dbt", dlDBaseIII, 512},
      {"memo4.dbf", "memo4.dbt", dlDBaseIV, 512},
      {"memofp.dbf", "memofp.fpt", dlFoxPro, 64},
  };
  return fixtures;
}

// A memo file header of 512 bytes with the block size where the level keeps it.
inline std::vector<Byte> MemoHeader(TDbfLevel level, Word blockSize) {
  std::vector<Byte> bytes(512, 0);
  if (level == dlFoxPro) {
    bytes[6] = Byte(blockSize >> 8);
    bytes[7] = Byte(blockSize);
  } else if (level != dlDBaseIII) {
    DsPutLittleEndian16(&bytes[20], blockSize);
  }
  return bytes;
}

// Writes `bytes` at `offset`, growing the file as needed.
inline void PutBytes(std::vector<Byte>& file, std::size_t offset, const std::string& bytes) {
  if (file.size() < offset + bytes.size()) file.resize(offset + bytes.size(), 0);
  std::copy(bytes.begin(), bytes.end(), file.begin() + std::ptrdiff_t(offset));
}

// A dBASE IV block: the mark FF FF 08 00, the length word (content + 8 unless given), content.
inline std::string DBaseIVBlock(const std::string& content, Int64 lengthWord = -1) {
  Byte word[4];
  DsPutLittleEndian32(word, LongWord(lengthWord < 0 ? Int64(content.size()) + 8 : lengthWord));
  return std::string("\xFF\xFF\x08\x00", 4) + std::string(word, word + 4) + content;
}

// A FoxPro block: type 1 (memo), the length big-endian (the content's unless given), content.
inline std::string FoxProBlock(const std::string& content, Int64 length = -1) {
  Byte word[4];
  DsPutBigEndian32(word, LongWord(length < 0 ? Int64(content.size()) : length));
  return std::string("\x00\x00\x00\x01", 4) + std::string(word, word + 4) + content;
}

}  // namespace dbftest
