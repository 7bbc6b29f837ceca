// The default-editor registries: sorted registrations answered by the newest version, removal
// of destroyed items, and the default editors chosen per value type and per dataset field.
#include <gtest/gtest.h>

#include "components/editors-more/cxEditDBRegisteredRepositoryItems.h"
#include "components/editors-more/cxEditDataRegisteredRepositoryItems.h"
#include "components/editors-more/cxDBEditRepository.h"
#include "components/editors-more/cxEditRepositoryItems.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/Fields.h"

namespace {

template <class T>
using RegistryOwnedPtr = std::unique_ptr<T, orv::FreeDeleter>;

}  // namespace

TEST(cxEditRegistry, NewestVersionAnswersAndTheFirstRegistrationWins) {
  RegistryOwnedPtr<TcxEditRepository> repository(new TcxEditRepository(nullptr));
  RegistryOwnedPtr<TcxEditRegisteredRepositoryItems> registry(new TcxEditRegisteredRepositoryItems);
  EXPECT_EQ(registry->ItemForDataType(5), nullptr);
  EXPECT_EQ(registry->DefaultRepositoryItem(), nullptr);
  TcxEditRepositoryItem* v1 = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
  TcxEditRepositoryItem* v3 = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
  TcxEditRepositoryItem* v2 = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
  TcxEditRepositoryItem* other = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
  registry->RegisterForDataType(5, 1, v1);
  registry->RegisterForDataType(5, 3, v3);
  registry->RegisterForDataType(5, 2, v2);
  registry->RegisterForDataType(2, 1, other);
  ASSERT_EQ(registry->EntryCount(), 4);
  EXPECT_EQ(registry->GetEntry(0).DataTypeKey, 2);
  EXPECT_EQ(registry->GetEntry(1).Version, 1);
  EXPECT_EQ(registry->GetEntry(2).Version, 2);
  EXPECT_EQ(registry->GetEntry(3).Version, 3);
  EXPECT_EQ(registry->ItemForDataType(5), v3);
  registry->RegisterForDataType(5, 3, other);
  EXPECT_EQ(registry->ItemForDataType(5), v3) << "a present (key, version) pair keeps its item";
  registry->UnregisterForDataType(7, 1);
  EXPECT_EQ(registry->EntryCount(), 4);
  registry->RegisterDefault(-1, other);
  EXPECT_EQ(registry->ItemForDataType(9), other);
  // A destroyed item leaves every array it was registered in.
  other->Free();
  EXPECT_EQ(registry->EntryCount(), 3);
  EXPECT_EQ(registry->DefaultEntryCount(), 0);
  EXPECT_EQ(registry->ItemForDataType(2), nullptr);
  v3->Free();
  EXPECT_EQ(registry->ItemForDataType(5), v2);
}

TEST(cxEditRegistry, DefaultEditorPerValueType) {
  TcxEditDataRegisteredRepositoryItems* registry = ValueTypeEditorRegistry();
  TcxEditRepositoryItem* boolean = registry->ItemForValueType(TcxBooleanValueType::StaticClass());
  ASSERT_NE(boolean, nullptr);
  EXPECT_TRUE(boolean->GetProperties()->InheritsFrom(TcxCheckBoxProperties::StaticClass()));
  TcxEditRepositoryItem* text = registry->ItemForValueType(TcxStringValueType::StaticClass());
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->GetProperties()->InheritsFrom(TcxTextEditProperties::StaticClass()));
  EXPECT_EQ(registry->ItemForValueType(TcxIntegerValueType::StaticClass()), text);
}

TEST(cxEditRegistry, DefaultEditorPerFieldType) {
  RegistryOwnedPtr<TComponent> root(new TComponent(nullptr));
  auto* data = new TRxMemoryData(root.get());
  data->GetFieldDefs().Add("FLAG", ftBoolean);
  data->GetFieldDefs().Add("LON", ftFloat);
  data->GetFieldDefs().Add("CITY", ftString, 40);
  data->Open();
  TcxEditDBRegisteredRepositoryItems* registry = FieldTypeEditorRegistry();
  TcxEditRepositoryItem* fallback = registry->ItemForField(nullptr);
  ASSERT_NE(fallback, nullptr);
  EXPECT_TRUE(fallback->GetProperties()->InheritsFrom(TcxMaskEditProperties::StaticClass()))
      << "dataset fields without an editor of their own take the masked text editor";
  TcxEditRepositoryItem* flag = registry->ItemForField(data->FieldByName("FLAG"));
  ASSERT_NE(flag, nullptr);
  EXPECT_TRUE(flag->GetProperties()->InheritsFrom(TcxCheckBoxProperties::StaticClass()));
  EXPECT_EQ(registry->ItemForField(data->FieldByName("CITY")), fallback);
  auto* lon = static_cast<TFloatField*>(data->FieldByName("LON"));
  EXPECT_EQ(registry->ItemForField(lon), fallback);
  lon->SetCurrency(true);
  EXPECT_TRUE(IsCurrencyField(lon));
  EXPECT_EQ(registry->ItemForField(lon), registry->CurrencyItem());
}

TEST(cxEditRegistry, DefaultEditorKindPerFieldDataType) {
  TcxEditDBRegisteredRepositoryItems* registry = FieldTypeEditorRegistry();
  struct Case {
    TFieldType type;
    TClass properties;
  } cases[] = {
      {ftString, TcxMaskEditProperties::StaticClass()},
      {ftInteger, TcxMaskEditProperties::StaticClass()},
      {ftBoolean, TcxCheckBoxProperties::StaticClass()},
      {ftDate, TcxDateEditProperties::StaticClass()},
      {ftDateTime, TcxDateEditProperties::StaticClass()},
      {ftTimeStamp, TcxDateEditProperties::StaticClass()},
      {ftTime, TcxTimeEditProperties::StaticClass()},
      {ftMemo, TcxMemoProperties::StaticClass()},
      {ftOraClob, TcxMemoProperties::StaticClass()},
      {ftFmtMemo, TcxBlobEditProperties::StaticClass()},
      {ftBlob, TcxBlobEditProperties::StaticClass()},
      {ftBytes, TcxBlobEditProperties::StaticClass()},
      {ftVarBytes, TcxBlobEditProperties::StaticClass()},
      {ftParadoxOle, TcxBlobEditProperties::StaticClass()},
      {ftDBaseOle, TcxBlobEditProperties::StaticClass()},
      {ftTypedBinary, TcxBlobEditProperties::StaticClass()},
      {ftGraphic, TcxImageProperties::StaticClass()},
      {ftGuid, TcxMaskEditProperties::StaticClass()},
  };
  for (const Case& c : cases) {
    TcxEditRepositoryItem* item = registry->ItemForFieldType(c.type);
    ASSERT_NE(item, nullptr) << int(c.type);
    EXPECT_EQ(item->GetProperties()->ClassType(), c.properties) << int(c.type);
  }
  // Lookup fields of any data type get the lookup combo box, as a plain list.
  TcxEditRepositoryItem* lookup = registry->LookupItem();
  ASSERT_NE(lookup, nullptr);
  auto* p = dynamic_cast<TcxLookupComboBoxProperties*>(lookup->GetProperties());
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->GetListOptions()->GetShowHeader());
  EXPECT_EQ(p->GetListOptions()->GetGridLines(), TcxLookupGridLines::glNone);
  EXPECT_EQ(p->GetDropDownListStyle(), lsEditFixedList);
  RegistryOwnedPtr<TComponent> root(new TComponent(nullptr));
  auto* data = new TRxMemoryData(root.get());
  data->GetFieldDefs().Add("PICTURE", ftGraphic);
  data->GetFieldDefs().Add("NOTES", ftMemo);
  data->Open();
  EXPECT_TRUE(registry->ItemForField(data->FieldByName("PICTURE"))->GetProperties()->InheritsFrom(
      TcxImageProperties::StaticClass()));
  EXPECT_TRUE(registry->ItemForField(data->FieldByName("NOTES"))->GetProperties()->InheritsFrom(
      TcxMemoProperties::StaticClass()));
}
