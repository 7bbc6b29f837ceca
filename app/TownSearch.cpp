#include "app/TownSearch.h"

#include <algorithm>

#include "app/UDM.h"
#include "dbf/DsDbfTable.h"
#include "memdata/PickLists.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/SysUtils.h"

Integer WrapDegrees(Int64 n) {
  if (n > 360) return Integer(n % 360);
  if (n < 0) {
    const Int64 r = n % 360;  // -359..0
    return Integer(r == 0 ? 0 : r + 360);
  }
  return Integer(n);
}

namespace orv {

namespace {

Int64 WholeDegrees(const AnsiString& text, Integer empty) {
  return text.empty() ? empty : StrToInt(text);
}

AnsiString Number(Int64 value) { return IntToStr(value); }

// The longitude pieces on the field `lon` for the window of `tolerance` degrees either side of a
// centre, from a = centre - tolerance to b = centre + tolerance (any whole numbers). A window
// whose wrapped end lies below its wrapped start crosses the meridian 0/360 and is written as
// its two parts; so is one whose ends meet, which reaches round the whole circle, unless it is
// no window at all but the one meridian of a zero tolerance.
void AddLongitudePieces(std::vector<AnsiString>& pieces, const char* lon, Int64 a, Int64 b, Int64 tolerance) {
  const AnsiString f = lon;
  const Integer lo = WrapDegrees(a);
  Integer hi = WrapDegrees(b);
  // Ends 360 apart can wrap to 360 and 0 (a = 360, b = 720): the window is still the circle.
  if (tolerance >= 180 && lo > hi) hi = lo;
  if (lo < hi || (lo == hi && tolerance == 0)) {
    pieces.push_back("(" + f + " >= " + Number(lo) + ") and (" + f + " <= " + Number(hi) + ") and");
  } else {
    pieces.push_back("(((" + f + " >= " + Number(lo) + ") and (" + f + " <= 360))");
    pieces.push_back(" or ((" + f + " <= " + Number(hi) + ") and (" + f + " >= 0))) and");
  }
}

}  // namespace

std::vector<AnsiString> CoordinateFilterPieces(const TCoordinateSearch& search) {
  Int64 lon = WholeDegrees(search.Longitude, 0);
  Int64 lat = WholeDegrees(search.Latitude, 0);
  // The spinners keep their tolerances within 1..180 and 1..90; whatever arrives here, a
  // negative tolerance finds what 0 finds, and 180 or more takes every longitude.
  const Int64 lonTolerance = std::clamp<Int64>(WholeDegrees(search.LongitudeTolerance, 1), 0, 180);
  const Int64 latTolerance = std::max<Int64>(WholeDegrees(search.LatitudeTolerance, 1), 0);

  std::vector<AnsiString> pieces;
  if (search.Geographic) {
    lon = std::max<Int64>(lon, 0);
    lat = std::max<Int64>(lat, 0);
    const bool west = search.LongitudeSign == "З"_a;
    const Int64 a = west ? 360 - lon - lonTolerance : lon - lonTolerance;
    const Int64 b = west ? 360 - lon + lonTolerance : lon + lonTolerance;
    AddLongitudePieces(pieces, "lon", a, b, lonTolerance);
    if (search.LatitudeSign == "Ю"_a) {
      const Int64 top = lat + latTolerance, bottom = lat - latTolerance;  // degrees south
      pieces.push_back(top >= 0 ? "(lat + " + Number(top) + " >= 0" : "(lat - " + Number(-top) + " >= 0");
      pieces.push_back(bottom >= 0 ? ") and (lat + " + Number(bottom) + " <= 0)"
                                   : ") and (lat - " + Number(-bottom) + " <= 0)");
    } else {
      const Int64 a = lat - latTolerance, b = lat + latTolerance;
      pieces.push_back(a >= 0 ? "(lat >= " + Number(a) : "(lat + " + Number(-a) + " >= 0");
      pieces.push_back(b >= 0 ? ") and (lat <= " + Number(b) + ")" : ") and (lat + " + Number(-b) + " <= 0)");
    }
  } else {
    AddLongitudePieces(pieces, "EclLon", lon - lonTolerance, lon + lonTolerance, lonTolerance);
    const Int64 a = lat - latTolerance, b = lat + latTolerance;
    pieces.push_back(a >= 0 ? "(EclLat - " + Number(a) + " >= 0" : "(EclLat + " + Number(-a) + " >= 0");
    pieces.push_back(b >= 0 ? ") and (EclLat - " + Number(b) + " <= 0)"
                            : ") and (EclLat + " + Number(-b) + " <= 0)");
  }
  return pieces;
}

namespace {

// A name as a text constant of a prefix match. The filter language has no escapes, so an
// apostrophe (Кот-д'Ивуар) would end the constant: it becomes "?", one character of any kind.
AnsiString NamePattern(AnsiString name) {
  std::replace(name.begin(), name.end(), '\'', '?');
  return "'" + name + "*'";
}

}  // namespace

std::vector<AnsiString> NameFilterPieces(Integer countryIndex, const AnsiString& country,
                                         Integer cityIndex, const AnsiString& city) {
  std::vector<AnsiString> pieces;
  if (countryIndex > 0) pieces.push_back("(country = " + NamePattern(country) + ")");
  if (countryIndex > 0 && cityIndex > 0) pieces.push_back(" and ");
  if (cityIndex > 0) pieces.push_back("(city = " + NamePattern(city) + ")");
  return pieces;
}

void ApplyTownFilter(TDsDbfTable* table, const std::vector<AnsiString>& pieces) {
  const AnsiString oldFilter = table->GetFilter();
  const bool oldFiltered = table->GetFiltered();
  // Every piece moves the table to its first record, which tells the data-aware controls that
  // the data changed; the grid's controller would reload all the towns the half-built filter
  // lets through each time. With the controls held, they hear one change at the end and load
  // what the finished filter lets through.
  table->DisableControls();
  table->BeginBatch();
  try {
    table->SetFiltered(false);
    table->SetFilter(AnsiString());
    for (const AnsiString& piece : pieces) table->SetFilter(table->GetFilter() + piece);
    if (!table->GetFilter().empty()) table->SetFiltered(true);
  } catch (...) {
    // A refused text changes nothing the user sees: the last result stays.
    try {
      table->SetFiltered(false);
      table->SetFilter(oldFilter);
      table->SetFiltered(oldFiltered);
    } catch (...) {
    }
    try {
      table->EndBatch();
    } catch (...) {
    }
    try {
      table->EnableControls();
    } catch (...) {
    }
    throw;
  }
  try {
    table->EndBatch();
  } catch (...) {
    table->EnableControls();
    throw;
  }
  table->EnableControls();
}

TSignToggle ToggleLongitudeSign(const AnsiString& caption) {
  if (caption != "В"_a) return {"В"_a, clBlue};
  return {"З"_a, clRed};
}

TSignToggle ToggleLatitudeSign(const AnsiString& caption) {
  if (caption != "С"_a) return {"С"_a, clBlue};
  return {"Ю"_a, clRed};
}

void FillTownPickLists(TDM* dm, TStrings& countries, TStrings& cities) {
  dm->tblOrvane->First();
  FillCountryCityLists(dm->tblCountry_City, dm->mdCountry_City, countries, cities);
}

}  // namespace orv
