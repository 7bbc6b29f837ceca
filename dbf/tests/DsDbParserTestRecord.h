// A synthetic table for the filter tests: named fields of any type, one current record.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "dbf/DsDbParser.h"

namespace orv::test {

struct TFieldValue {
  bool Null = true;
  Integer I = 0;
  double F = 0;
  bool B = false;
  AnsiString S;

  static TFieldValue Int(Integer v) { TFieldValue x; x.Null = false; x.I = v; return x; }
  static TFieldValue Float(double v) { TFieldValue x; x.Null = false; x.F = v; return x; }
  static TFieldValue Bool(bool v) { TFieldValue x; x.Null = false; x.B = v; return x; }
  static TFieldValue Text(std::string_view v) { TFieldValue x; x.Null = false; x.S = AnsiString(v); return x; }
};

class TTestRecord : public IDbFilterSource {
 public:
  // Adds a field; returns its index.
  Integer Add(std::string_view name, TFieldType type, TFieldValue value = {}) {
    FNames.emplace_back(name);
    FTypes.push_back(type);
    FValues.push_back(std::move(value));
    return static_cast<Integer>(FNames.size() - 1);
  }
  TFieldValue& Value(Integer field) { return FValues[std::size_t(field)]; }
  TFieldValue& Value(std::string_view name) { return FValues[std::size_t(FindFilterField(name))]; }
  // Counts field reads, to show that evaluation reads what it needs.
  mutable int Reads = 0;

  Integer FindFilterField(std::string_view name) const override {
    for (std::size_t i = 0; i < FNames.size(); ++i)
      if (FNames[i].size() == name.size() &&
          std::equal(name.begin(), name.end(), FNames[i].begin(), [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) ==
                   std::toupper(static_cast<unsigned char>(b));
          }))
        return static_cast<Integer>(i);
    return -1;
  }
  TFieldType GetFilterFieldType(Integer field) const override { return FTypes[std::size_t(field)]; }
  bool GetFilterFieldData(Integer field, TDbFieldData& data) const override {
    ++Reads;
    const TFieldValue& v = FValues[std::size_t(field)];
    if (v.Null) return false;
    data.AsInteger = v.I;
    data.AsFloat = v.F;
    data.AsBoolean = v.B;
    if (data.Text) {
      const std::size_t n = std::min<std::size_t>(v.S.size(), DbMaxText);
      std::memcpy(data.Text, v.S.data(), n);
      data.TextLength = static_cast<Integer>(n);
    }
    return true;
  }

 private:
  std::vector<std::string> FNames;
  std::vector<TFieldType> FTypes;
  std::vector<TFieldValue> FValues;
};

}  // namespace orv::test
