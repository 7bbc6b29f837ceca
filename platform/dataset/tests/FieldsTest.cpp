// Field definitions, field kinds, native buffer formats, conversions and texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/dataset/DataSet.h"
#include "platform/dataset/tests/ArrayDataSet.h"
#include "platform/dataset/tests/TestLinks.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Locale.h"

using orvtest::Owner;
using orvtest::TArrayDataSet;

namespace {

// One record with a field of each kind, opened and put into edit state.
struct AllKinds {
  Owner o;
  TArrayDataSet* ds = new TArrayDataSet(o.Root);
  AllKinds() {
    TFieldDefs& defs = ds->GetFieldDefs();
    defs.Add("S", ftString, 8);
    defs.Add("SI", ftSmallint);
    defs.Add("I", ftInteger);
    defs.Add("W", ftWord);
    defs.Add("B", ftBoolean);
    defs.Add("F", ftFloat);
    defs.Add("C", ftCurrency);
    defs.Add("D", ftDate);
    defs.Add("T", ftTime);
    defs.Add("DT", ftDateTime);
    defs.Add("A", ftAutoInc);
    defs.Add("L", ftLargeint);
    defs.Add("M", ftMemo);
    defs.Add("BL", ftBlob);
    defs.Add("BCD", ftBCD, 2);
    ds->AddRow({});
    ds->Open();
    ds->Edit();
  }
  TField* F(const char* name) { return ds->FieldByName(name); }
};

template <class T>
T Native(TField* field) {
  T value{};
  EXPECT_EQ(field->GetDataSize(), static_cast<Integer>(sizeof(T))) << field->GetFieldName();
  EXPECT_TRUE(field->GetData(&value)) << field->GetFieldName();
  return value;
}

}  // namespace

static_assert(ftUnknown == 0 && ftString == 1 && ftAutoInc == 14 && ftBlob == 15 &&
              ftTypedBinary == 21 && ftCursor == 22 && ftFMTBcd == 37);

TEST(FieldDefs, AddFindAttributesAndUpdate) {
  Owner o;
  auto* ds = new TArrayDataSet(o.Root);
  TFieldDefs& defs = ds->GetFieldDefs();
  TFieldDef* id = defs.Add("ID", ftAutoInc, 0, true);
  TFieldDef* name = defs.Add("Name", ftString, 30);
  name->SetPrecision(4);
  name->SetAttributes(faReadonly | faFixed);
  EXPECT_EQ(id->GetFieldNo(), 1);
  EXPECT_EQ(name->GetFieldNo(), 2);
  EXPECT_TRUE(id->GetRequired());
  EXPECT_EQ(defs.IndexOf("NAME"), 1);
  EXPECT_EQ(defs.Find("name"), name);
  EXPECT_EQ(defs.FindDef("none"), nullptr);
  EXPECT_EQ(name->GetPrecision(), 4);
  EXPECT_EQ(name->GetAttributes(), faReadonly | faFixed);
  EXPECT_THROW(defs.Find("none"), EDatabaseError);
  EXPECT_THROW(defs.Add("id", ftInteger), EDatabaseError);  // duplicate, whatever the case
  EXPECT_THROW(defs.Add("", ftInteger), EDatabaseError);

  // Update asks the dataset once, until something changes again.
  EXPECT_FALSE(defs.GetUpdated());
  defs.Update();
  defs.Update();
  EXPECT_EQ(ds->InitFieldDefsCalls, 1);
  name->SetSize(31);
  defs.Update();
  EXPECT_EQ(ds->InitFieldDefsCalls, 2);

  auto* copy = new TArrayDataSet(o.Root);
  copy->GetFieldDefs().Assign(defs);
  ASSERT_EQ(copy->GetFieldDefs().GetCount(), 2);
  EXPECT_EQ(copy->GetFieldDefs()[1]->GetSize(), 31);
  EXPECT_EQ(copy->GetFieldDefs()[1]->GetAttributes(), faReadonly | faFixed);
  defs.Delete(0);
  EXPECT_EQ(defs.GetCount(), 1);
}

TEST(Fields, DefaultFieldsFollowTheDefinitions) {
  AllKinds k;
  struct Case {
    const char* name;
    const char* className;
    TFieldType type;
  };
  const Case cases[] = {
      {"S", "TStringField", ftString},     {"SI", "TSmallintField", ftSmallint},
      {"I", "TIntegerField", ftInteger},   {"W", "TWordField", ftWord},
      {"B", "TBooleanField", ftBoolean},   {"F", "TFloatField", ftFloat},
      {"C", "TCurrencyField", ftCurrency}, {"D", "TDateField", ftDate},
      {"T", "TTimeField", ftTime},         {"DT", "TDateTimeField", ftDateTime},
      {"A", "TAutoIncField", ftAutoInc},   {"L", "TLargeintField", ftLargeint},
      {"M", "TMemoField", ftMemo},         {"BL", "TBlobField", ftBlob},
      {"BCD", "TBCDField", ftBCD},
  };
  for (const Case& c : cases) {
    TField* f = k.F(c.name);
    EXPECT_EQ(f->ClassName(), c.className);
    EXPECT_EQ(f->GetDataType(), c.type) << c.name;
    EXPECT_EQ(f->GetFieldKind(), fkData);
    EXPECT_EQ(f->GetOwner(), k.ds);
  }
  EXPECT_EQ(k.F("S")->GetSize(), 8);
  EXPECT_EQ(k.F("S")->GetAlignment(), taLeftJustify);
  EXPECT_EQ(k.F("I")->GetAlignment(), taRightJustify);
  EXPECT_EQ(k.F("I")->GetIndex(), 2);
}

// The native formats that GetFieldData and SetFieldData exchange.
TEST(Fields, NativeBufferFormats) {
  AllKinds k;
  k.F("S")->SetAsString("Омск"_a);
  char text[9] = {};
  ASSERT_TRUE(k.F("S")->GetData(text));
  EXPECT_EQ(std::string(text), "Омск"_a);
  EXPECT_EQ(k.F("S")->GetDataSize(), 9);  // zero-terminated 8-bit text

  k.F("SI")->SetAsInteger(-300);
  EXPECT_EQ(Native<SmallInt>(k.F("SI")), -300);
  k.F("I")->SetAsInteger(-70000);
  EXPECT_EQ(Native<Integer>(k.F("I")), -70000);
  k.F("W")->SetAsInteger(65535);
  EXPECT_EQ(Native<Word>(k.F("W")), 65535);
  k.F("L")->SetAsLargeInt(Int64{1} << 40);
  EXPECT_EQ(Native<Int64>(k.F("L")), Int64{1} << 40);
  k.F("B")->SetAsBoolean(true);
  EXPECT_NE(Native<Word>(k.F("B")), 0);
  k.F("B")->SetAsBoolean(false);
  EXPECT_EQ(Native<Word>(k.F("B")), 0);
  k.F("F")->SetAsFloat(2.5);
  EXPECT_EQ(Native<double>(k.F("F")), 2.5);

  const TDateTime when = EncodeDate(2024, 3, 1) + EncodeTime(13, 45, 10, 250);
  const TTimeStamp stamp = DateTimeToTimeStamp(when);
  k.F("D")->SetAsDateTime(when);
  EXPECT_EQ(Native<Integer>(k.F("D")), stamp.Date);  // day number of the time stamp
  EXPECT_EQ(k.F("D")->GetAsDateTime(), EncodeDate(2024, 3, 1));
  k.F("T")->SetAsDateTime(when);
  EXPECT_EQ(Native<Integer>(k.F("T")), stamp.Time);  // milliseconds since midnight
  EXPECT_NEAR(k.F("T")->GetAsDateTime(), EncodeTime(13, 45, 10, 250), 1e-9);
  k.F("DT")->SetAsDateTime(when);
  EXPECT_EQ(Native<double>(k.F("DT")), TimeStampToMSecs(stamp));  // milliseconds of the stamp
  EXPECT_NEAR(k.F("DT")->GetAsDateTime(), when, 1e-9);

  // Null is the absence of data, whatever the type.
  k.F("I")->Clear();
  EXPECT_TRUE(k.F("I")->GetIsNull());
  EXPECT_FALSE(k.F("I")->GetData(nullptr));
}

TEST(Fields, ConversionsBetweenKinds) {
  AllKinds k;
  k.F("I")->SetAsString("42");
  EXPECT_EQ(k.F("I")->GetAsInteger(), 42);
  EXPECT_EQ(k.F("I")->GetAsFloat(), 42.0);
  EXPECT_EQ(k.F("I")->GetAsString(), "42");
  EXPECT_EQ(k.F("I")->GetValue().AsInteger(), 42);
  k.F("I")->SetValue(Variant(7.6));
  EXPECT_EQ(k.F("I")->GetAsInteger(), 8);
  k.F("I")->SetValue(Null());
  EXPECT_TRUE(k.F("I")->GetIsNull());
  EXPECT_TRUE(VarIsNull(k.F("I")->GetValue()));
  EXPECT_EQ(k.F("I")->GetAsString(), "");

  k.F("S")->SetAsInteger(12);
  EXPECT_EQ(k.F("S")->GetAsInteger(), 12);
  k.F("S")->SetAsString("much too long");
  EXPECT_EQ(k.F("S")->GetAsString(), "much too");  // cut to Size

  k.F("B")->SetAsString("t");
  EXPECT_TRUE(k.F("B")->GetAsBoolean());
  EXPECT_EQ(k.F("B")->GetAsString(), "True");
  k.F("B")->SetAsString("FALSE");
  EXPECT_FALSE(k.F("B")->GetAsBoolean());
  k.F("B")->SetValue(true);
  EXPECT_TRUE(k.F("B")->GetValue().AsBoolean());

  k.F("F")->SetValue(Variant(3));
  EXPECT_EQ(k.F("F")->GetAsFloat(), 3.0);
  k.F("BCD")->SetAsFloat(12.5);
  EXPECT_EQ(k.F("BCD")->GetAsFloat(), 12.5);
  EXPECT_EQ(k.F("BCD")->GetDataSize(), 34);

  k.F("DT")->SetValue(VarFromDateTime(EncodeDate(2000, 1, 2)));
  EXPECT_EQ(k.F("DT")->GetAsDateTime(), EncodeDate(2000, 1, 2));
  EXPECT_EQ(VarType(k.F("DT")->GetValue()), varDate);

  k.F("M")->SetAsString("memo text");
  EXPECT_EQ(k.F("M")->GetValue().AsString(), "memo text");
}

TEST(Fields, BadValuesAndRangesAreRefusedWithTheFieldsName) {
  AllKinds k;
  struct Case {
    const char* field;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"I", "abc", "'abc' is not a valid integer value for field 'I'"},
      {"F", "1,2,3", "'1,2,3' is not a valid floating point value for field 'F'"},
      {"B", "maybe", "'maybe' is not a valid boolean value for field 'B'"},
      {"D", "32.13.2020", "'32.13.2020' is not a valid date and time for field 'D'"},
      {"SI", "40000", "40000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767"},
      {"W", "-1", "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535"},
  };
  for (const Case& c : cases) {
    try {
      k.F(c.field)->SetAsString(c.text);
      ADD_FAILURE() << c.field;
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.GetMessage(), c.message);
    }
  }
  auto* i = static_cast<TIntegerField*>(k.F("I"));
  i->SetMinValue(1);
  i->SetMaxValue(10);
  EXPECT_THROW(i->SetAsInteger(11), EDatabaseError);
  i->SetAsInteger(10);
  EXPECT_THROW(k.F("S")->GetAsDateTime(), EConvertError);
  EXPECT_THROW(k.F("BL")->GetAsInteger(), EDatabaseError);  // no such access for blobs
}

TEST(Fields, DisplayAndEditTextsWithFormatsAndHandlers) {
  AllKinds k;
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  auto* f = static_cast<TFloatField*>(k.F("F"));
  f->SetAsFloat(1234.5);
  EXPECT_EQ(f->GetDisplayText(), "1234.5");
  f->SetDisplayFormat("0.00");
  EXPECT_EQ(f->GetDisplayText(), "1234.50");
  EXPECT_EQ(f->GetEditText(), "1234.50");
  f->SetEditFormat("0.0");
  EXPECT_EQ(f->GetEditText(), "1234.5");
  f->SetDisplayFormat("");
  f->SetCurrency(true);
  EXPECT_EQ(f->GetDisplayText(), FloatToStrF(1234.5, ffCurrency, 15, FormatSettings.CurrencyDecimals));

  auto* d = static_cast<TDateTimeField*>(k.F("D"));
  d->SetAsDateTime(EncodeDate(2024, 3, 1));
  EXPECT_EQ(d->GetDisplayText(), DateToStr(EncodeDate(2024, 3, 1)));
  d->SetDisplayFormat("yyyy-mm-dd");
  EXPECT_EQ(d->GetDisplayText(), "2024-03-01");
  EXPECT_EQ(d->GetEditText(), DateToStr(EncodeDate(2024, 3, 1)));
  d->Clear();
  EXPECT_EQ(d->GetDisplayText(), "");

  auto* b = static_cast<TBooleanField*>(k.F("B"));
  b->SetDisplayValues("Да;Нет"_a);
  b->SetAsString("н"_a);
  EXPECT_EQ(b->GetDisplayText(), "Нет"_a);

  struct Handlers {
    void Get(TField* sender, AnsiString& text, bool displayText) {
      text = (displayText ? "<" : "[") + sender->GetAsString() + (displayText ? ">" : "]");
    }
    void Set(TField* sender, const AnsiString& text) { sender->SetAsString(text + "!"); }
  } h;
  TField* s = k.F("S");
  s->SetOnGetText(TFieldGetTextEvent(&h, &Handlers::Get));
  s->SetOnSetText(TFieldSetTextEvent(&h, &Handlers::Set));
  s->SetText("ab");
  EXPECT_EQ(s->GetAsString(), "ab!");
  EXPECT_EQ(s->GetDisplayText(), "<ab!>");
  EXPECT_EQ(s->GetEditText(), "[ab!]");
}

TEST(Fields, ReadOnlyFieldsAndValidation) {
  AllKinds k;
  TField* s = k.F("S");
  s->SetReadOnly(true);
  EXPECT_FALSE(s->GetCanModify());
  EXPECT_THROW(s->SetAsString("x"), EDatabaseError);
  s->SetReadOnly(false);
  EXPECT_TRUE(s->GetCanModify());

  struct Validator {
    AnsiString seen;
    void Check(TField* sender) {
      seen = sender->GetAsString();  // the value being stored
      if (seen == "bad") throw EDatabaseError("rejected");
    }
  } v;
  s->SetOnValidate(TFieldNotifyEvent(&v, &Validator::Check));
  s->SetAsString("good");
  EXPECT_EQ(v.seen, "good");
  EXPECT_THROW(s->SetAsString("bad"), EDatabaseError);
  EXPECT_EQ(s->GetAsString(), "good");

  struct Changes {
    int count = 0;
    void Changed(TField*) { ++count; }
  } c;
  s->SetOnChange(TFieldNotifyEvent(&c, &Changes::Changed));
  s->SetAsString("other");
  EXPECT_EQ(c.count, 1);
}

TEST(Fields, FieldsBelongToOneDataSetAndCannotMoveWhileItIsOpen) {
  Owner o;
  auto* ds = new TArrayDataSet(o.Root);
  ds->GetFieldDefs().Add("ID", ftInteger);
  auto* a = new TIntegerField(o.Root);
  a->SetFieldName("ID");
  a->SetDataSet(ds);
  auto* b = new TIntegerField(o.Root);
  b->SetFieldName("id");
  EXPECT_THROW(b->SetDataSet(ds), EDatabaseError);  // duplicate name
  ds->AddRow({5});
  ds->Open();
  EXPECT_EQ(a->GetAsInteger(), 5);
  EXPECT_THROW(a->SetDataSet(nullptr), EDatabaseError);
  EXPECT_THROW(a->SetFieldName("X"), EDatabaseError);
  // Freeing a field closes its dataset first.
  a->Free();
  EXPECT_FALSE(ds->GetActive());
  EXPECT_EQ(ds->GetFieldCount(), 0);
  // A persistent field of the wrong type does not bind.
  auto* wrong = new TStringField(o.Root);
  wrong->SetFieldName("ID");
  wrong->SetDataSet(ds);
  EXPECT_THROW(ds->Open(), EDatabaseError);
  EXPECT_FALSE(ds->GetActive());
}
