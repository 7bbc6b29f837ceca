// The criteria binary stream: golden bytes, round trips in every version, resolution of items
// by name and ID, and readers that refuse hostile bytes without over-reading or over-allocating.
#include <gtest/gtest.h>

#include <random>

#include "components/data/tests/cxFilterTestFixture.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"

using namespace orv::test;

namespace {

std::vector<Byte> Bytes(TMemoryStream& stream) {
  const Byte* data = static_cast<const Byte*>(stream.GetMemory());
  return std::vector<Byte>(data, data + stream.GetSize());
}

std::vector<Byte> Written(TcxFilterCriteria* criteria, Byte versionCap = 0) {
  TMemoryStream stream;
  criteria->WriteBinaryData(&stream, versionCap);
  return Bytes(stream);
}

void ReadInto(TcxFilterCriteria* criteria, const std::vector<Byte>& bytes) {
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), Integer(bytes.size()));
  stream.SetPosition(0);
  criteria->ReadBinaryData(&stream);
}

// Fields with IDs 3 (Price), 4 (City), 5 (Date) and 6 (unnamed).
TestCriteriaPtr MakeCriteria(Byte version) {
  auto criteria = MakeTestCriteria();
  criteria->SetStreamVersion(version);
  criteria->AddField("Price", "Цена"_a, "PRICE", 3);
  criteria->AddField("City", "Город"_a, "CITY", 4);
  criteria->AddField("Date", "Дата"_a, "DATE", 5);
  criteria->AddField("", "Без имени"_a, "NONAME", 6);
  return criteria;
}

const std::vector<Byte> kGoldenVersion3 = {
    0xFE, 0xFF, 0xFF, 0xFF,                    // version 3
    0x00,                                      // root: AND
    0x01, 0x00, 0x00, 0x00,                    // one child
    0x00,                                      // a condition
    0x44, 0x58, 0x41, 0x46, 0x4D, 0x54,        // "DXAFMT"
    0x00,                                      // equal
    0x01, 0x00, 0x00, 0x00, 0x35,              // display value "5"
    0x03, 0x00, 0x00, 0x00,                    // item ID 3
    0x05, 0x00, 0x00, 0x00, 0x50, 0x72, 0x69, 0x63, 0x65,  // item name "Price"
    0x02, 0x05,                                // the value 5
};

TEST(cxFilterStream, GoldenBytes) {
  auto criteria = MakeCriteria(3);
  criteria->AddItem(nullptr, criteria->Field(0), focEqual, 5, "5");
  EXPECT_EQ(Written(criteria.get()), kGoldenVersion3);
  EXPECT_EQ(criteria->GetWriteVersion(), 3);

  // Capped at 2: version ID -1 and no item names.
  std::vector<Byte> version2 = kGoldenVersion3;
  version2[0] = 0xFF;
  version2.erase(version2.begin() + 26, version2.begin() + 35);
  EXPECT_EQ(Written(criteria.get(), 2), version2);
  EXPECT_EQ(criteria->GetWriteVersion(), 2);

  auto copy = MakeCriteria(3);
  ReadInto(copy.get(), kGoldenVersion3);
  EXPECT_EQ(copy->GetReadVersion(), 3);
  EXPECT_EQ(copy->GetFilterText(), "(PRICE = 5)");
  ReadInto(copy.get(), version2);
  EXPECT_EQ(copy->GetReadVersion(), 2);
  EXPECT_EQ(copy->GetFilterText(), "(PRICE = 5)");
}

// A tree with every operator code, values of every stream kind and nested NOT groups.
void FillEverything(TTestFilterCriteria* criteria) {
  TcxFilterCriteriaItemList* root = criteria->GetRoot();
  root->SetBoolOperator(fbcOr);
  const Variant values[] = {5, -129, 70000, Variant(Int64(1) << 40), 2.5, Variant(1.5f), Variant(Currency::FromDouble(12.34)),
                            "Москва"_a, AnsiString(300, 'x'), true, false, Variant::FromDate(45000.25), Null(),
                            Variant(), MakeVariantPair(1, "z"), VarArrayOf({1, VarArrayOf({2, 3})})};
  Integer n = 0;
  TcxFilterCriteriaItemList* groups[] = {root, root->AddGroup(fbcNotAnd), nullptr, nullptr};
  groups[2] = groups[1]->AddGroup(fbcNotOr);
  groups[3] = groups[2]->AddGroup(fbcAnd);
  for (Integer code = 0; code < kFilterOperatorCodeCount; ++code) {
    for (const Variant& value : values) {
      if (++n % 7 != 0) continue;  // a spread of pairs, not all of them
      criteria->AddItem(groups[n % 4], criteria->Field(n % 4), TcxFilterOperatorCode(code), value,
                        "shown " + IntToStr(n));
    }
  }
  criteria->AddItem(groups[3], criteria->Field(1), focEqual, "'quoted'", "");
}

TEST(cxFilterStream, RoundTripsInEveryVersion) {
  for (Byte version : {Byte(1), Byte(2), Byte(3)}) {
    auto source = MakeCriteria(version);
    FillEverything(source.get());
    if (version == 1) source->GetRoot()->SetBoolOperator(fbcAnd);  // the oldest form keeps no root operator
    const std::vector<Byte> bytes = Written(source.get());
    auto copy = MakeCriteria(version);
    copy->WatchChanges();
    ReadInto(copy.get(), bytes);
    EXPECT_EQ(copy->ChangeCount, 1) << int(version);
    EXPECT_EQ(copy->GetReadVersion(), version);
    EXPECT_EQ(Written(copy.get()), bytes) << int(version);
    EXPECT_TRUE(copy->HasSameItems(source.get(), false));
    EXPECT_EQ(copy->GetFilterCaption(), source->GetFilterCaption());
    // Reading again replaces what was there.
    ReadInto(copy.get(), bytes);
    EXPECT_EQ(Written(copy.get()), bytes) << int(version);
  }
}

TEST(cxFilterStream, OlderFormsAndEmptyStreams) {
  auto criteria = MakeCriteria(3);
  criteria->AddItem(nullptr, criteria->Field(0), focEqual, 1, "1");
  criteria->GetRoot()->SetBoolOperator(fbcOr);
  ReadInto(criteria.get(), {0, 0, 0, 0});  // version 1 without children
  EXPECT_TRUE(criteria->IsEmptyCriteria());
  EXPECT_EQ(criteria->GetRoot()->GetBoolOperator(), fbcAnd);
  EXPECT_EQ(criteria->GetReadVersion(), 1);

  // Version 1 with one condition written before signatures existed.
  const std::vector<Byte> old = {0x01, 0, 0, 0,  // one root child
                                 0x00,           // a condition
                                 0x04,           // greater
                                 0x01, 0, 0, 0, '7', 0x04, 0, 0, 0,  // display "7", item ID 4
                                 0x02, 0x07};    // the value 7
  ReadInto(criteria.get(), old);
  EXPECT_EQ(criteria->GetFilterText(), "(CITY > 7)");

  // A condition in the UTF-16 form.
  const std::vector<Byte> wide = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x01, 0, 0, 0, 0x00,
                                  'D', 'X', 'U', 'F', 'M', 'T', 0x00,
                                  0x02, 0, 0, 0, 0x1C, 0x04, 0x1E, 0x04,  // display "МО"
                                  0x03, 0, 0, 0, 0x06, 0x01, 'x'};
  ReadInto(criteria.get(), wide);
  auto* item = static_cast<TcxFilterCriteriaItem*>(criteria->GetRoot()->GetItem(0));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetDisplayValue(), "МО"_a);
  EXPECT_EQ(criteria->GetFilterText(), "(PRICE = 'x')");
}

TEST(cxFilterStream, ItemsResolveByNameThenByID) {
  auto source = MakeCriteria(3);
  source->AddItem(nullptr, source->Field(0), focEqual, 1, "1");  // Price, ID 3
  source->AddItem(nullptr, source->Field(3), focEqual, 2, "2");  // unnamed, ID 6
  const std::vector<Byte> bytes = Written(source.get());

  // Same names, other IDs: matched by name.
  auto renumbered = MakeTestCriteria();
  renumbered->AddField("Price", "P", "P2", 30);
  renumbered->AddField("", "N", "N2", 6);
  ReadInto(renumbered.get(), bytes);
  EXPECT_EQ(renumbered->GetFilterText(), "(P2 = 1) AND (N2 = 2)");

  // The name Price is unknown: its ID finds an unnamed item (kept) or a named one (refused).
  // A condition written without a name is resolved by its ID alone.
  auto byID = MakeTestCriteria();
  byID->AddField("", "P", "UNNAMED3", 3);
  byID->AddField("Other", "N", "OTHER6", 6);
  ReadInto(byID.get(), bytes);
  EXPECT_EQ(byID->GetFilterText(), "(UNNAMED3 = 1) AND (OTHER6 = 2)");
  auto named = MakeTestCriteria();
  named->AddField("Other", "P", "OTHER3", 3);
  ReadInto(named.get(), bytes);
  EXPECT_TRUE(named->IsEmptyCriteria());

  // Version 2 never reads names: IDs only, names or not.
  auto version2 = MakeTestCriteria();
  version2->AddField("Other", "P", "OTHER3", 3);
  ReadInto(version2.get(), Written(source.get(), 2));
  EXPECT_EQ(version2->GetFilterText(), "(OTHER3 = 1)");

  // Nothing resolves: conditions and the groups they leave empty are dropped silently.
  auto nothing = MakeTestCriteria();
  TcxFilterCriteriaItemList* group = source->GetRoot()->AddGroup(fbcNotOr);
  source->AddItem(group, source->Field(1), focLess, 5, "5");
  ReadInto(nothing.get(), Written(source.get()));
  EXPECT_TRUE(nothing->IsEmptyCriteria());
}

TEST(cxFilterStream, NestingIsBounded) {
  auto deep = [](Integer levels) {
    auto criteria = MakeCriteria(3);
    TcxFilterCriteriaItemList* group = criteria->GetRoot();
    for (Integer i = 0; i < levels; ++i) group = group->AddGroup(TcxFilterBoolCode(i % 4));
    criteria->AddItem(group, criteria->Field(0), focEqual, 1, "1");
    return Written(criteria.get());
  };
  auto criteria = MakeCriteria(3);
  ReadInto(criteria.get(), deep(kMaxFilterNesting));
  EXPECT_FALSE(criteria->IsEmptyCriteria());
  EXPECT_THROW(ReadInto(criteria.get(), deep(kMaxFilterNesting + 1)), EReadError);
}

TEST(cxFilterStream, BrokenStreamsAreRefused) {
  auto criteria = MakeCriteria(3);
  const std::vector<Byte>& g = kGoldenVersion3;
  auto with = [&](std::size_t at, std::vector<Byte> replacement) {
    std::vector<Byte> bytes = g;
    EXPECT_LE(at + replacement.size(), bytes.size());
    bytes.erase(bytes.begin() + at, bytes.begin() + at + replacement.size());
    bytes.insert(bytes.begin() + at, replacement.begin(), replacement.end());
    return bytes;
  };
  std::vector<std::vector<Byte>> broken = {
      {},                                           // no version
      {0xFD, 0xFF, 0xFF, 0xFF},                     // an unknown negative version
      {0xFF, 0xFF, 0xFF, 0x7F},                     // two thousand million root children
      with(4, {0x04}),                              // boolean operator 4
      with(5, {0xFF, 0xFF, 0xFF, 0x7F}),            // child count beyond the bytes left
      with(5, {0xFF, 0xFF, 0xFF, 0xFF}),            // a negative child count
      with(16, {36}),                               // operator code 36
      with(16, {0xFF}),                             // operator code 255
      with(17, {0xFF, 0xFF, 0xFF, 0x7F}),           // display value longer than the stream
      with(26, {0xF0, 0xFF, 0xFF, 0xFF}),           // a negative name length
      with(35, {0x07}),                             // an invalid variant type
      with(35, {0x11, 0}),                          // a date (then cut short)
      std::vector<Byte>(g.begin(), g.end() - 1),    // cut in the value
      std::vector<Byte>(g.begin(), g.begin() + 20), // cut in the display value
  };
  // A date the platform cannot hold (NaN) could never be written back.
  std::vector<Byte> nanDate(g.begin(), g.end() - 2);
  nanDate.insert(nanDate.end(), {0x11, 0, 0, 0, 0, 0, 0, 0xF8, 0x7F});
  broken.push_back(nanDate);
  for (std::size_t i = 0; i < broken.size(); ++i) {
    EXPECT_THROW(ReadInto(criteria.get(), broken[i]), EReadError) << i;
    // Nothing half-read stays behind.
    EXPECT_TRUE(criteria->IsEmptyCriteria()) << i;
  }

  // A complete first child is kept when a later one is broken.
  auto source = MakeCriteria(3);
  source->AddItem(nullptr, source->Field(0), focEqual, 1, "1");
  source->AddItem(nullptr, source->Field(1), focEqual, 2, "2");
  std::vector<Byte> bytes = Written(source.get());
  bytes.resize(bytes.size() - 2);
  criteria->WatchChanges();
  EXPECT_THROW(ReadInto(criteria.get(), bytes), EReadError);
  EXPECT_EQ(criteria->GetFilterText(), "(PRICE = 1)");
  EXPECT_EQ(criteria->ChangeCount, 1);
}

TEST(cxFilterStream, RandomMutationsNeverCrashOrOverAllocate) {
  auto source = MakeCriteria(3);
  FillEverything(source.get());
  const std::vector<Byte> valid = Written(source.get());
  std::mt19937 random(20240313);
  auto criteria = MakeCriteria(3);
  Integer refused = 0, read = 0;
  for (int round = 0; round < 500; ++round) {
    std::vector<Byte> bytes = valid;
    const int edits = 1 + int(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = random() % bytes.size();
      switch (random() % 5) {
        case 0: bytes[at] = Byte(random()); break;
        case 1: bytes[at] ^= Byte(1u << (random() % 8)); break;
        case 2: bytes.resize(at + 1); break;
        case 3:  // a huge little-endian count or length
          for (std::size_t k = at; k < std::min(bytes.size(), at + 4); ++k) bytes[k] = k + 1 == at + 4 ? 0x7F : 0xFF;
          break;
        default: bytes.insert(bytes.begin() + long(at), Byte(random())); break;
      }
    }
    try {
      ReadInto(criteria.get(), bytes);
      ++read;
    } catch (const EReadError&) {
      ++refused;
    }
    // Whatever was read is a whole tree that writes and reads back to itself.
    const std::vector<Byte> again = Written(criteria.get());
    auto copy = MakeCriteria(3);
    ReadInto(copy.get(), again);
    ASSERT_EQ(Written(copy.get()), again) << round;
  }
  EXPECT_GT(refused, 50);
  EXPECT_GT(read, 5);
}

}  // namespace
