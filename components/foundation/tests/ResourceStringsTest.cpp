#include <gtest/gtest.h>

#include "components/foundation/cxClasses.h"
#include "components/foundation/dxCore.h"

namespace {

inline constexpr TResStringRec sNoData{"<No data to display>"_a};
inline constexpr TResStringRec sHint{"Click here to show/hide/move columns"_a};
inline constexpr TResStringRec sSameTextA{"OK"_a};
inline constexpr TResStringRec sSameTextB{"OK"_a};
inline constexpr TResStringRec sNeverReplaced{"Stream read error"_a};
inline constexpr TResStringRec sTwice{"Cancel"_a};

TEST(ResourceStrings, ReplacementsArePreferredOverCompiledTexts) {
  cxSetResourceString(&sNoData, "Нет данных"_a);
  cxSetResourceString(&sHint, "Управление видимостью столбцов"_a);
  cxSetResourceString(&sSameTextA, "Да"_a);
  cxSetResourceString(&sTwice, "Отмена"_a);
  cxSetResourceString(&sTwice, "Отменить"_a);

  struct Case {
    PResStringRec rec;
    AnsiString expected;
  } cases[] = {
      {&sNoData, "Нет данных"_a},
      {&sHint, "Управление видимостью столбцов"_a},
      {&sSameTextA, "Да"_a},
      // Equal compiled texts are still separate records.
      {&sSameTextB, "OK"},
      {&sNeverReplaced, "Stream read error"},
      // The second replacement of one record wins.
      {&sTwice, "Отменить"_a},
  };
  for (const auto& c : cases) EXPECT_EQ(GetLocalizedResourceString(c.rec), c.expected);
  EXPECT_EQ(LoadResString(&sNoData), "<No data to display>");
}

int gCallbackRuns = 0;
inline constexpr TResStringRec sReadError{"Stream read error"_a};
inline constexpr TResStringRec sWriteError{"Stream write error"_a};

void AddDataStrings(TdxProductResourceStrings* product) {
  ++gCallbackRuns;
  product->AddResourceString("cxSDataWriteError", &sWriteError);
  product->AddResourceString("cxSDataReadError", &sReadError);
  product->AddResourceString("CXSDATAREADERROR", &sWriteError);  // a duplicate in another case
}

TEST(ResourceStrings, RepositoryProducts) {
  TdxResourceStringsRepository repository;
  gCallbackRuns = 0;
  repository.RegisterProduct("Data", AddDataStrings);
  repository.RegisterProduct("Grid", nullptr);
  repository.RegisterProduct("Data", AddDataStrings);
  EXPECT_EQ(gCallbackRuns, 2);
  ASSERT_EQ(repository.GetProductCount(), 3);

  TdxProductResourceStrings* data = repository.GetProduct(0);
  ASSERT_EQ(data->GetResourceStringCount(), 2);
  EXPECT_EQ(data->GetResourceStringName(0), "cxSDataReadError");
  EXPECT_EQ(data->GetResourceStringRec(0), &sReadError);
  EXPECT_EQ(data->GetResourceStringName(1), "cxSDataWriteError");
  EXPECT_EQ(data->IndexOfResourceString("CXSDATAWRITEERROR"), 1);
  EXPECT_EQ(data->IndexOfResourceString("cxSDataMissing"), -1);

  EXPECT_EQ(repository.GetProductIndexByName("Grid"), 1);
  EXPECT_EQ(repository.GetProductIndexByName("grid"), -1);
  // Unregistering a twice-registered name removes the first product only.
  repository.UnregisterProduct("Data");
  ASSERT_EQ(repository.GetProductCount(), 2);
  EXPECT_EQ(repository.GetProduct(0)->GetName(), "Grid");
  EXPECT_EQ(repository.GetProduct(1)->GetName(), "Data");
  repository.UnregisterProduct("Absent");
  repository.UnregisterProduct("data");
  EXPECT_EQ(repository.GetProductCount(), 2);
}

struct Listener : orv::ITranslationListener {
  void TranslationChanged() override {}
};

TEST(ResourceStrings, ListenersAreKeptOnce) {
  TdxResourceStringsRepository repository;
  Listener a, b;
  repository.AddListener(&a);
  repository.AddListener(&a);
  repository.AddListener(&b);
  repository.AddListener(nullptr);
  EXPECT_EQ(repository.GetListenerCount(), 2);
  repository.RemoveListener(&a);
  repository.RemoveListener(&a);
  ASSERT_EQ(repository.GetListenerCount(), 1);
  EXPECT_EQ(repository.GetListener(0), &b);
}

TEST(ResourceStrings, GlobalRepositoryIsOneInstance) {
  EXPECT_EQ(GetResourceStringsRepository(), GetResourceStringsRepository());
  EXPECT_NE(GetResourceStringsRepository(), nullptr);
}

}  // namespace
