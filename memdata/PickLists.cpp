#include "memdata/PickLists.h"

namespace orv {

namespace {

// Runs `body` between BeginUpdate and EndUpdate of `list`, so that its users hear one change.
template <class Body>
void Updating(TStrings& list, Body body) {
  list.BeginUpdate();
  try {
    body();
  } catch (...) {
    list.EndUpdate();
    throw;
  }
  list.EndUpdate();
}

}  // namespace

void FillCountryCityLists(TDataSet* source, TRxMemoryData* memory, TStrings& countries,
                          TStrings& cities) {
  source->SetActive(true);
  memory->SetActive(false);
  memory->LoadRecordsFrom(source, 0, lmCopy);
  memory->SetActive(true);
  source->SetActive(false);

  memory->SortByFields("COUNTRY", true, false);
  memory->First();
  TField* country = memory->FieldByName("COUNTRY");
  Updating(countries, [&] {
    AnsiString previous;
    const Integer count = memory->GetRecordCount();
    for (Integer i = 0; i < count; ++i) {
      // Texts that differ in case only are different countries here.
      const AnsiString text = country->GetAsString();
      if (text != previous) {
        countries.Add(text);
        previous = text;
      }
      memory->Next();
    }
  });

  memory->SortByFields("CITY", true, false);
  memory->First();
  TField* city = memory->FieldByName("CITY");
  Updating(cities, [&] {
    while (!memory->GetEOF()) {
      cities.Add(city->GetAsString());
      memory->Next();
    }
  });

  memory->SetActive(false);
}

}  // namespace orv
