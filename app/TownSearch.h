// The two searches of the main window as text and data: the filter texts that the coordinate
// search and the name search build from the values their editors hold, the way a search hands
// its text to the town table, the hemisphere sign toggles and the pick lists of the name search.
//
// A filter is built piece by piece; each piece is appended to the table's Filter as it comes,
// and the filter takes effect when Filtered is switched on at the end:
//
//   east 30, north 50, tolerances 5 and 5:
//     (lon >= 25) and (lon <= 35) and(lat >= 45) and (lat <= 55)
//   east 2, north 3, tolerances 5 and 5 (the window crosses the meridian 0/360):
//     (((lon >= 357) and (lon <= 360)) or ((lon <= 7) and (lon >= 0))) and(lat + 2 >= 0) and (lat <= 8)
//   country Россия, town Москва:
//     (country = 'Россия*') and (city = 'Москва*')
//
// In the filter language AND, OR and the comparisons share one precedence level, hence the
// parentheses; no number written carries a sign (a negative bound is written as its negation
// after "+" or "-").
#pragma once

#include <vector>

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Strings.h"

class TDM;
class TDsDbfTable;

// n brought into 0..360: unchanged within it, the remainder of a division by 360 above it (720
// gives 0, 370 gives 10), plus the smallest multiple of 360 that makes it 0 or more below it
// (-10 gives 350, -360 gives 0).
Integer WrapDegrees(Int64 n);

namespace orv {

// What the coordinate search reads of the main window.
struct TCoordinateSearch {
  bool Geographic = true;         // cxRadioButton1 checked; else ecliptic coordinates
  AnsiString Longitude;           // cxCalcEdit1's text: whole degrees ("" counts as 0)
  AnsiString Latitude;            // cxCalcEdit2's text
  AnsiString LongitudeTolerance;  // cxSpinEdit1's text ("" counts as 1)
  AnsiString LatitudeTolerance;   // cxSpinEdit2's text
  AnsiString LongitudeSign;       // cxLabel5's caption: "З" west, else east ("В")
  AnsiString LatitudeSign;        // cxLabel6's caption: "Ю" south, else north ("С")
};

// The pieces of the coordinate filter. In geographic mode the directions come from the signs,
// so a negative longitude or latitude counts as 0; in ecliptic mode both are signed. A text
// that is no whole number raises EConvertError ("'12,5' is not a valid integer value"), before
// anything has been built.
std::vector<AnsiString> CoordinateFilterPieces(const TCoordinateSearch& search);

// The pieces of the name filter: a country and a town count when picked from their lists
// (item index above 0; item 0 is "*" and -1 a typed text that is no entry). No pieces: the
// search shows every town.
std::vector<AnsiString> NameFilterPieces(Integer countryIndex, const AnsiString& country,
                                         Integer cityIndex, const AnsiString& city);

// Hands a search to the table inside a header-write batch: unfiltered, Filter emptied, the
// pieces appended one by one, then filtered when the text is not empty. When the table refuses
// the text, its previous filter is put back and the error passes on. The data-aware controls
// hear one data-set change, when the filter is complete (or put back), not one per piece.
void ApplyTownFilter(TDsDbfTable* table, const std::vector<AnsiString>& pieces);

// A hemisphere toggle after a click: its caption and text colour.
struct TSignToggle {
  AnsiString Caption;
  TColor TextColor;
};
// "В" (east, blue) becomes "З" (west, red); any other caption becomes "В".
TSignToggle ToggleLongitudeSign(const AnsiString& caption);
// "С" (north, blue) becomes "Ю" (south, red); any other caption becomes "С".
TSignToggle ToggleLatitudeSign(const AnsiString& caption);

// The pick lists of the name search, added after what the lists hold (their "*"): each country
// once, every town, both sorted without regard to case, from a sorted in-memory copy of the
// second table over the town file. The town table is moved to its first record first.
void FillTownPickLists(TDM* dm, TStrings& countries, TStrings& cities);

}  // namespace orv
