// The GDI+ binding against stand-in libraries, and the units loader.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "components/foundation/dxGDIPlusApi.h"
#include "platform/runtime/Exceptions.h"

namespace {

// A stand-in library: which names it lacks, what its start-up answers, what was called.
struct TFakeLibrary {
  Boolean Present = true;
  std::string Missing;
  GpStatus StartupStatus = GpOk;
  GpStatus HookStatus = GpOk;
  int Loads = 0, Frees = 0, Startups = 0, Shutdowns = 0, Hooks = 0, Unhooks = 0;
};
TFakeLibrary gLibrary;
HMODULE const kModule = reinterpret_cast<HMODULE>(std::uintptr_t(0x1000));

void Dummy() {}
GpStatus Hook(NativeUInt* token) {
  ++gLibrary.Hooks;
  *token = 7;
  return gLibrary.HookStatus;
}
void Unhook(NativeUInt token) {
  EXPECT_EQ(token, 7u);
  ++gLibrary.Unhooks;
}
GpStatus Startup(NativeUInt* token, const TdxGdiPlusStartupInput* input,
                 TdxGdiPlusStartupOutput* output) {
  ++gLibrary.Startups;
  EXPECT_EQ(input->GdiplusVersion, 1u);
  EXPECT_TRUE(input->SuppressBackgroundThread);
  EXPECT_FALSE(input->SuppressExternalCodecs);
  *token = 42;
  output->NotificationHook = Hook;
  output->NotificationUnhook = Unhook;
  return gLibrary.StartupStatus;
}
void Shutdown(NativeUInt token) {
  EXPECT_EQ(token, 42u);
  ++gLibrary.Shutdowns;
}

const TdxImageCodecInfo kEncoders[2] = {
    {{1}, {}, u"BMP", nullptr, nullptr, u"*.BMP", u"image/bmp", 0, 0, 0, 0, nullptr, nullptr},
    {{2, 3}, {}, u"PNG", nullptr, nullptr, u"*.PNG", u"image/png", 0, 0, 0, 0, nullptr, nullptr}};
GpStatus EncodersSize(Cardinal* count, Cardinal* size) {
  *count = 2;
  *size = sizeof(kEncoders);
  return GpOk;
}
GpStatus Encoders(Cardinal count, Cardinal size, TdxImageCodecInfo* encoders) {
  std::memcpy(encoders, kEncoders, size);
  return GpOk;
}

HMODULE Load(const char* name) {
  EXPECT_STREQ(name, "gdiplus.dll");
  ++gLibrary.Loads;
  return gLibrary.Present ? kModule : nullptr;
}
FARPROC GetProc(HMODULE module, const char* name) {
  EXPECT_EQ(module, kModule);
  const std::string n = name;
  if (n == gLibrary.Missing) return nullptr;
  if (n == "GdiplusStartup") return reinterpret_cast<FARPROC>(Startup);
  if (n == "GdiplusShutdown") return reinterpret_cast<FARPROC>(Shutdown);
  if (n == "GdipGetImageEncodersSize") return reinterpret_cast<FARPROC>(EncodersSize);
  if (n == "GdipGetImageEncoders") return reinterpret_cast<FARPROC>(Encoders);
  return Dummy;
}
BOOL Free(HMODULE module) {
  ++gLibrary.Frees;
  return TRUE;
}

class GdiPlusBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UnloadGdiPlus();
    gLibrary = {};
    orv::SetGdiPlusLibraryAccess({Load, GetProc, Free});
  }
  void TearDown() override {
    UnloadGdiPlus();
    orv::SetGdiPlusLibraryAccess({});
  }
};

TEST(GdiPlusBinding, AbsentOnThisPlatform) {
  EXPECT_FALSE(IsGdiPlusAvailable());
  EXPECT_FALSE(IsGdiPlusAvailable());
  EXPECT_EQ(GdipFunction("GdipAlloc"), nullptr);
  TdxClsid clsid{};
  EXPECT_EQ(GetEncoderClsid("image/png", clsid), 1);
  EnsurePngEncoderClsid();
  EXPECT_EQ(GetPngEncoderClsid(), TdxClsid{});
  EXPECT_EQ(std::string(GdipFunctionName(0)), "GdipAlloc");
  EXPECT_EQ(std::string(GdipFunctionName(dxGdipFunctionCount - 1)), "GdipCloneBitmapAreaI");
  EXPECT_EQ(GdipFunctionName(dxGdipFunctionCount), nullptr);
}

TEST_F(GdiPlusBindingTest, EveryRequestLoadsAgainWhileTheLibraryIsMissing) {
  gLibrary.Present = false;
  EXPECT_FALSE(IsGdiPlusAvailable());
  EXPECT_FALSE(IsGdiPlusAvailable());
  EXPECT_EQ(gLibrary.Loads, 2);
  EXPECT_EQ(gLibrary.Startups, 0);
}

TEST_F(GdiPlusBindingTest, AllOrNone) {
  // The last function missing: every earlier one is bound, but the library counts as missing
  // and is not started.
  gLibrary.Missing = "GdipCloneBitmapAreaI";
  EXPECT_FALSE(IsGdiPlusAvailable());
  EXPECT_NE(GdipFunction("GdipGetSmoothingMode"), nullptr);
  EXPECT_EQ(GdipFunction("GdipCloneBitmapAreaI"), nullptr);
  EXPECT_EQ(gLibrary.Startups, 0);
  // One in the middle: everything after it stays empty.
  UnloadGdiPlus();
  gLibrary.Missing = "GdipDrawLineI";
  EXPECT_FALSE(IsGdiPlusAvailable());
  EXPECT_NE(GdipFunction("GdipGraphicsClear"), nullptr);
  EXPECT_EQ(GdipFunction("GdipFillRectangleI"), nullptr);
}

TEST_F(GdiPlusBindingTest, StartedAndShutDown) {
  ASSERT_TRUE(IsGdiPlusAvailable());
  EXPECT_EQ(gLibrary.Startups, 1);
  EXPECT_EQ(gLibrary.Hooks, 1);
  EXPECT_TRUE(IsGdiPlusAvailable());
  EXPECT_EQ(gLibrary.Loads, 1);
  TdxClsid clsid{};
  EXPECT_EQ(GetEncoderClsid("IMAGE/PNG", clsid), 0);
  EXPECT_EQ(clsid, kEncoders[1].Clsid);
  EXPECT_EQ(GetEncoderClsid("image/gif", clsid), 1);
  EXPECT_EQ(GetEncoderClsid("image/pn", clsid), 1);
  UnloadGdiPlus();
  EXPECT_EQ(gLibrary.Unhooks, 1);
  EXPECT_EQ(gLibrary.Shutdowns, 1);
  EXPECT_EQ(gLibrary.Frees, 1);
  EXPECT_EQ(GdipFunction("GdipAlloc"), nullptr);
  // A reset only forgets the flag: the next request starts the library again.
  ASSERT_TRUE(IsGdiPlusAvailable());
  ResetGdiPlusAvailability();
  EXPECT_TRUE(IsGdiPlusAvailable());
  EXPECT_EQ(gLibrary.Startups, 3);
}

TEST_F(GdiPlusBindingTest, FailedStartUpLeavesItOff) {
  gLibrary.StartupStatus = 2;
  EXPECT_FALSE(IsGdiPlusAvailable());
  gLibrary.StartupStatus = GpOk;
  gLibrary.HookStatus = 3;
  UnloadGdiPlus();
  EXPECT_FALSE(IsGdiPlusAvailable());
  EXPECT_EQ(gLibrary.Hooks, 1);
  UnloadGdiPlus();
  EXPECT_EQ(gLibrary.Unhooks, 0);  // nothing started, nothing to end
  EXPECT_EQ(gLibrary.Shutdowns, 0);
}

TEST(GdiPlusBinding, StatusCheck) {
  EXPECT_NO_THROW(CheckGdiPlusStatus(GpOk));
  try {
    CheckGdiPlusStatus(2);
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.GetMessage(), "Invalid operation in GDI+");
  }
  // Without the library no graphics can be asked.
  EXPECT_THROW(IsRectVisibleOnGraphics(nullptr, {0, 0, 1, 1}), EAssertionFailed);
}

std::vector<std::string> gHookCalls;
void InitA() { gHookCalls.push_back("init A"); }
void FinA() { gHookCalls.push_back("fin A"); }
void FinB() { gHookCalls.push_back("fin B"); }
void FinC() { gHookCalls.push_back("fin C"); }

TEST(UnitsLoader, StartsAtOnceAndEndsLastFirst) {
  gHookCalls.clear();
  TdxUnitsLoader* loader = new TdxUnitsLoader;
  loader->AddUnit(InitA, FinA);
  EXPECT_EQ(gHookCalls, (std::vector<std::string>{"init A"}));
  EXPECT_TRUE(loader->GetInitialized());
  loader->AddUnit(nullptr, FinB);
  loader->AddUnit(nullptr, FinC);
  loader->RemoveUnit(FinB);
  loader->RemoveUnit(FinB);  // no longer there: nothing
  EXPECT_EQ(gHookCalls, (std::vector<std::string>{"init A", "fin B"}));
  loader->Free();  // finalizes
  EXPECT_EQ(gHookCalls, (std::vector<std::string>{"init A", "fin B", "fin C", "fin A"}));

  // Without a start-up procedure nothing ends.
  gHookCalls.clear();
  TdxUnitsLoader* idle = new TdxUnitsLoader;
  idle->AddUnit(nullptr, FinA);
  idle->Finalize();
  EXPECT_TRUE(gHookCalls.empty());
  EXPECT_EQ(idle->GetFinalizationCount(), 0);
  idle->Free();
  EXPECT_NE(GetUnitsLoader(), nullptr);
  EXPECT_TRUE(GetUnitsLoader()->GetInitialized());
}

}  // namespace
