// The dataset default-values provider: answers from an open dataset's field, base defaults for
// a closed one, references cleared when the field or data source goes, and the answers reaching
// an editor's properties.
#include <gtest/gtest.h>

#include "components/editors-more/cxDBEdit.h"
#include "components/editors/cxTextEdit.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/Locale.h"

namespace {

template <class T>
using OwnedPtr = std::unique_ptr<T, orv::FreeDeleter>;

struct TownData {
  TownData() : Root(new TComponent(nullptr)) {
    Data = new TRxMemoryData(Root.get());
    Data->GetFieldDefs().Add("CITY", ftString, 40);
    Data->GetFieldDefs().Add("LON", ftFloat);
    Data->GetFieldDefs().Add("ID", ftInteger);
    Data->Open();
    Source = new TDataSource(Root.get());
    Source->SetDataSet(Data);
  }
  OwnedPtr<TComponent> Root;
  TRxMemoryData* Data;
  TDataSource* Source;
};

}  // namespace

TEST(cxDBEditDefaults, AnswersFromTheOpenField) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  TownData towns;
  OwnedPtr<TcxCustomDBEditDefaultValuesProvider> provider(new TcxCustomDBEditDefaultValuesProvider(nullptr));
  auto* lon = static_cast<TFloatField*>(towns.Data->FieldByName("LON"));
  lon->SetDisplayFormat("0.00");
  lon->SetPrecision(3);
  lon->SetMaxValue(1.23456789);
  provider->SetField(lon);
  provider->SetDataSource(towns.Source);
  EXPECT_EQ(provider->DefaultDisplayFormat(), "0.00");
  EXPECT_FALSE(provider->UsesFieldDisplayText()) << "a numeric format goes to the editor";
  EXPECT_TRUE(provider->IsFloatValue());
  EXPECT_EQ(provider->DefaultMaxValue(), 1.23);
  EXPECT_EQ(provider->DefaultPrecision(), 3);
  EXPECT_EQ(provider->DefaultAlignment(), taRightJustify);
  provider->SetField(towns.Data->FieldByName("CITY"));
  EXPECT_EQ(provider->DefaultMaxLength(), 40);
  EXPECT_TRUE(provider->IsModifiable());
  towns.Data->FieldByName("CITY")->SetReadOnly(true);
  EXPECT_TRUE(provider->DefaultReadOnly());
  EXPECT_FALSE(provider->IsModifiable());
  EXPECT_TRUE(provider->CanEnterEditMode());
  towns.Data->Close();
  // Closing frees the dataset's own fields: the provider lets go of its field and answers the
  // base defaults.
  EXPECT_EQ(provider->GetField(), nullptr);
  EXPECT_FALSE(provider->DefaultReadOnly());
  EXPECT_EQ(provider->DefaultMaxLength(), 0);
  EXPECT_FALSE(provider->IsModifiable());
  EXPECT_EQ(provider->DefaultPrecision(), 15);
}

TEST(cxDBEditDefaults, FreedComponentsAreForgotten) {
  TownData towns;
  OwnedPtr<TcxCustomDBEditDefaultValuesProvider> provider(new TcxCustomDBEditDefaultValuesProvider(nullptr));
  provider->SetField(towns.Data->FieldByName("ID"));
  provider->SetDataSource(towns.Source);
  towns.Source->Free();
  EXPECT_EQ(provider->GetDataSource(), nullptr);
  EXPECT_NE(provider->GetField(), nullptr);
  EXPECT_FALSE(provider->CanEnterEditMode());
  towns.Data->Free();
  EXPECT_EQ(provider->GetField(), nullptr);
  EXPECT_FALSE(provider->HasActiveData());
}

TEST(cxDBEditDefaults, DisplayFormatAndReadOnlyReachTheEditorsProperties) {
  TownData towns;
  OwnedPtr<TcxCustomDBEditDefaultValuesProvider> provider(new TcxCustomDBEditDefaultValuesProvider(nullptr));
  auto* lon = static_cast<TFloatField*>(towns.Data->FieldByName("LON"));
  lon->SetDisplayFormat("0.000");
  lon->SetReadOnly(true);
  provider->SetField(lon);
  OwnedPtr<TcxTextEditProperties> properties(new TcxTextEditProperties(nullptr));
  EXPECT_FALSE(properties->GetReadOnly());
  properties->SetDefaultValuesProvider(provider.get());
  EXPECT_EQ(properties->GetDisplayFormat(), "0.000");
  EXPECT_TRUE(properties->GetReadOnly());
  properties->SetDisplayFormat("0.0");
  EXPECT_EQ(properties->GetDisplayFormat(), "0.0") << "an assigned format wins";
  properties->SetDefaultValuesProvider(nullptr);
}
