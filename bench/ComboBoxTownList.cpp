// links: components_editors dbf
// The town pick list of the name search: a combo box holding the bundled table's ~11,400 towns,
// on the headless window system. Measured: opening its list (F4 until the list shows, the first
// opening filling the list included in its own case) and each keystroke of a typed prefix while
// the list is open (the incremental search, the list following, the text shown); against a
// linear scan of the items for the first one the prefix starts, without regard to case.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "components/editors/cxDropDownEdit.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "platform/controls/Forms.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

// The towns of the bundled table, sorted without regard to case as the program lists them.
const std::vector<AnsiString>& TownNames() {
  static const std::vector<AnsiString> names = [] {
    std::vector<AnsiString> result;
    Owned<TComponent> owner(new TComponent(nullptr));
    auto* database = new TDsDatabase(owner.get());
    database->SetDatabaseName(std::string(ORV_SOURCE_DIR) + "/DB/");
    auto* table = new TDsDbfTable(owner.get());
    table->SetDatabase(database);
    table->SetCodePage(dBASE_RUS_cp866);
    table->SetTableName("ORVANE.DBF");
    table->Open();
    TField* city = table->FieldByName("CITY");
    for (table->First(); !table->GetEOF(); table->Next()) result.push_back(TrimRight(city->GetAsString()));
    table->Close();
    std::stable_sort(result.begin(), result.end(),
                     [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; });
    return result;
  }();
  return names;
}

struct TPickList {
  TPickList() {
    orv::headless::Reset();
    Application->ResetTerminated();
    Form.reset(new TForm(nullptr));
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 40, 500, 600);
    Form->AfterConstruction();
    Combo = new TcxComboBox(Form.get());
    Combo->SetParent(Form.get());
    Combo->SetBounds(80, 60, 202, 21);
    Combo->GetProperties()->SetDropDownRows(25);
    TStrings* items = Combo->GetProperties()->GetItems();
    items->BeginUpdate();
    items->Add("*");
    for (const AnsiString& name : TownNames()) items->Add(name);
    items->EndUpdate();
    Form->Show();
    Run();
    Combo->SetFocus();
    Run();
  }
  ~TPickList() {
    Form.reset();
    orv::headless::Reset();
  }
  static void Run() { Application->ProcessMessages(); }
  void Open() {
    orv::headless::PressKey(VK_F4);
    Run();
  }
  void Close() {
    orv::headless::PressKey(VK_ESCAPE);
    Run();
  }
  Owned<TForm> Form;
  TcxComboBox* Combo = nullptr;
};

const AnsiString& Prefix() {
  static const AnsiString prefix = "Мос"_a;
  return prefix;
}

void BM_OpenTownListFirstTime(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto pickList = std::make_unique<TPickList>();
    state.ResumeTiming();
    pickList->Open();
    state.PauseTiming();
    if (!pickList->Combo->HasOpenPopup()) state.SkipWithError("the list did not open");
    pickList.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenTownListFirstTime)->Unit(benchmark::kMillisecond);

void BM_OpenTownList(benchmark::State& state) {
  TPickList pickList;
  pickList.Open();
  pickList.Close();
  for (auto _ : state) {
    pickList.Open();
    state.PauseTiming();
    if (!pickList.Combo->HasOpenPopup()) state.SkipWithError("the list did not open");
    pickList.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenTownList)->Unit(benchmark::kMillisecond);

// Each iteration is one keystroke of the prefix typed into the open list.
void BM_TypePrefixKeystroke(benchmark::State& state) {
  TPickList pickList;
  std::size_t typed = Prefix().size();
  for (auto _ : state) {
    if (typed == Prefix().size()) {
      state.PauseTiming();
      pickList.Combo->SetTextProperty(AnsiString());
      pickList.Open();
      typed = 0;
      state.ResumeTiming();
    }
    orv::headless::TypeText(Prefix().substr(typed, 1));
    TPickList::Run();
    ++typed;
  }
  if (pickList.Combo->GetItemIndexProperty() < 0) state.SkipWithError("the prefix found nothing");
}
BENCHMARK(BM_TypePrefixKeystroke)->Unit(benchmark::kMillisecond);

// The baseline: a linear scan of the items for the first one the prefix starts.
void BM_LinearScanForPrefix(benchmark::State& state) {
  TStringList items;
  items.Add("*");
  for (const AnsiString& name : TownNames()) items.Add(name);
  const AnsiString upper = AnsiUpperCase(Prefix());
  for (auto _ : state) {
    Integer found = -1;
    for (Integer i = 0; i < items.GetCount(); ++i) {
      const AnsiString item = items.Get(i);
      if (item.size() >= upper.size() && AnsiUpperCase(item.substr(0, upper.size())) == upper) {
        found = i;
        break;
      }
    }
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_LinearScanForPrefix)->Unit(benchmark::kMillisecond);

}  // namespace
