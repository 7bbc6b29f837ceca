#include <gtest/gtest.h>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxControls.h"

namespace {

// Object links only compare addresses; any storage stands in for an object here.
TObject* Fake(int& storage) { return reinterpret_cast<TObject*>(&storage); }

TEST(ObjectLinks, NilObjectAndNilLink) {
  EXPECT_EQ(CreateObjectLink(nullptr), nullptr);
  EXPECT_EQ(orv::ObjectLinkReferenceCount(), 0);
  TcxObjectLink* link = nullptr;
  ReleaseObjectLink(link);
  InvalidateObjectLinks(nullptr);
  int a = 0;
  InvalidateObjectLinks(Fake(a));  // no controller: nothing happens
  EXPECT_EQ(orv::ObjectLinkReferenceCount(), 0);
}

TEST(ObjectLinks, LinksReadEmptyAfterTheirObjectDies) {
  int a = 0, b = 0;
  TcxObjectLink* a1 = CreateObjectLink(Fake(a));
  TcxObjectLink* a2 = CreateObjectLink(Fake(a));
  TcxObjectLink* b1 = CreateObjectLink(Fake(b));
  EXPECT_EQ(orv::ObjectLinkReferenceCount(), 3);
  InvalidateObjectLinks(Fake(a));
  EXPECT_EQ(a1->Ref, nullptr);
  EXPECT_EQ(a2->Ref, nullptr);
  EXPECT_EQ(b1->Ref, Fake(b));
  InvalidateObjectLinks(Fake(a));  // a second time finds nothing
  ReleaseObjectLink(a1);
  EXPECT_EQ(a1, nullptr);
  ReleaseObjectLink(a2);
  EXPECT_EQ(orv::ObjectLinkReferenceCount(), 1);
  ReleaseObjectLink(b1);
  EXPECT_EQ(orv::ObjectLinkReferenceCount(), 0);
}

TEST(ObjectLinks, ReleasingALiveLinkLeavesTheOthers) {
  int a = 0;
  // Release from the head, the middle and the tail of one object's chain.
  for (int victim = 0; victim < 3; ++victim) {
    TcxObjectLink* links[3];
    for (auto& link : links) link = CreateObjectLink(Fake(a));
    ReleaseObjectLink(links[victim]);
    InvalidateObjectLinks(Fake(a));
    for (int i = 0; i < 3; ++i) {
      if (i == victim) continue;
      EXPECT_EQ(links[i]->Ref, nullptr);
      ReleaseObjectLink(links[i]);
    }
    EXPECT_EQ(orv::ObjectLinkReferenceCount(), 0);
  }
}

TEST(ObjectLinks, ControllerComesBackAfterTheLastRelease) {
  int a = 0;
  TcxObjectLink* link = CreateObjectLink(Fake(a));
  ReleaseObjectLink(link);
  EXPECT_EQ(orv::ObjectLinkReferenceCount(), 0);
  link = CreateObjectLink(Fake(a));
  EXPECT_EQ(link->Ref, Fake(a));
  InvalidateObjectLinks(Fake(a));
  EXPECT_EQ(link->Ref, nullptr);
  ReleaseObjectLink(link);
}

// The window classes whose message handlers check, through a link, that a handler did not free
// them: their links must read empty once they are freed, or the check never sees it.
TEST(ObjectLinks, FoundationWindowsEmptyTheirLinksWhenFreed) {
  struct TCase {
    const char* name;
    TObject* (*make)();
  };
  const TCase cases[] = {
      {"inner list box", []() -> TObject* { return new TcxCustomInnerListBox(nullptr); }},
      {"container", []() -> TObject* { return new TcxContainer(nullptr); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TObject* object = c.make();
    TcxObjectLink* link = CreateObjectLink(object);
    ASSERT_EQ(link->Ref, object);
    orv::Free(object);
    EXPECT_EQ(link->Ref, nullptr);
    ReleaseObjectLink(link);
  }
  EXPECT_EQ(orv::ObjectLinkReferenceCount(), 0);
}

}  // namespace
