// Helpers of the filter tests: a synthetic table (named fields of any type, one current
// record) and the town search's filter texts.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/DsDbParser.h"

namespace orv::test {

// Heap allocations between the two calls (the test binary counts them).
void StartCountingAllocations();
long StopCountingAllocations();

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

// The town search's filter texts, built the way the search builds them.
inline Integer WrapDegrees(Integer n) {
  if (n >= 0 && n <= 360) return n;
  if (n > 360) return n % 360;
  const Integer r = n % 360;
  return r == 0 ? 0 : r + 360;
}

struct TLongitudeRange {
  Integer Lo, Hi;
  bool Contains(double lon) const {
    if (Lo < Hi) return lon >= Lo && lon <= Hi;
    return (lon >= Lo && lon <= 360) || (lon <= Hi && lon >= 0);
  }
};

inline std::string LongitudePiece(const char* field, TLongitudeRange r) {
  const std::string f = field, lo = std::to_string(r.Lo), hi = std::to_string(r.Hi);
  if (r.Lo < r.Hi) return "(" + f + " >= " + lo + ") and (" + f + " <= " + hi + ") and";
  return "(((" + f + " >= " + lo + ") and (" + f + " <= 360))" + " or ((" + f + " <= " + hi +
         ") and (" + f + " >= 0))) and";
}

struct TQuery {
  bool Geographic;
  bool EastOrPositive;  // geographic: east; ecliptic: unused
  bool North;           // geographic: north; ecliptic: unused
  Integer L, B, T, U;

  TLongitudeRange Longitude() const {
    if (!Geographic) return {WrapDegrees(L - T), WrapDegrees(L + T)};
    if (EastOrPositive) return {WrapDegrees(L - T), WrapDegrees(L + T)};
    return {WrapDegrees(360 - L - T), WrapDegrees(360 - L + T)};
  }
  // The latitude band as signed degrees.
  double Lower() const { return Geographic && !North ? -(B + U) : B - U; }
  double Upper() const { return Geographic && !North ? -(B - U) : B + U; }

  std::string Text() const {
    std::string s = LongitudePiece(Geographic ? "lon" : "EclLon", Longitude());
    auto n = [](Integer v) { return std::to_string(v); };
    if (Geographic && North) {
      const Integer a = B - U, b = B + U;
      s += a >= 0 ? "(lat >= " + n(a) : "(lat + " + n(-a) + " >= 0";
      s += b >= 0 ? ") and (lat <= " + n(b) + ")" : ") and (lat + " + n(-b) + " <= 0)";
    } else if (Geographic) {
      const Integer a = B + U, b = B - U;
      s += a >= 0 ? "(lat + " + n(a) + " >= 0" : "(lat - " + n(-a) + " >= 0";
      s += b >= 0 ? ") and (lat + " + n(b) + " <= 0)" : ") and (lat - " + n(-b) + " <= 0)";
    } else {
      const Integer a = B - U, b = B + U;
      s += a >= 0 ? "(EclLat - " + n(a) + " >= 0" : "(EclLat + " + n(-a) + " >= 0";
      s += b >= 0 ? ") and (EclLat - " + n(b) + " <= 0)" : ") and (EclLat + " + n(-b) + " <= 0)";
    }
    return s;
  }
};

}  // namespace orv::test
