#include "components/foundation/dxGDIPlusApi.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "components/foundation/cxClasses.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/User.h"

namespace {

constexpr const char* kFunctionNames[dxGdipFunctionCount] = {
    "GdipAlloc", "GdipFree", "GdiplusStartup", "GdiplusShutdown", "GdipCloneBrush",
    "GdipDeleteBrush", "GdipGetBrushType", "GdipCreateSolidFill", "GdipSetSolidFillColor",
    "GdipGetSolidFillColor", "GdipCreateLineBrushFromRectI", "GdipGetLineRectI",
    "GdipSetLineColors", "GdipGetLineColors", "GdipSetLineWrapMode", "GdipGetLineWrapMode",
    "GdipCreateHatchBrush", "GdipGetHatchStyle", "GdipGetHatchForegroundColor",
    "GdipGetHatchBackgroundColor", "GdipCreatePen1", "GdipCreatePen2", "GdipClonePen",
    "GdipDeletePen", "GdipGetPenFillType", "GdipSetPenBrushFill", "GdipGetPenBrushFill",
    "GdipSetPenColor", "GdipGetPenColor", "GdipSetPenMode", "GdipGetPenMode", "GdipSetPenWidth",
    "GdipGetPenWidth", "GdipCreateFromHDC", "GdipDeleteGraphics", "GdipGetDC", "GdipReleaseDC",
    "GdipGraphicsClear", "GdipDrawLineI", "GdipFillRectangleI", "GdipDrawArcI", "GdipDrawBezierI",
    "GdipDrawRectangleI", "GdipDrawEllipseI", "GdipDrawPieI", "GdipDrawPolygonI",
    "GdipDrawCurve2I", "GdipDrawClosedCurve2I", "GdipFillPolygonI", "GdipFillEllipseI",
    "GdipFillPieI", "GdipFillClosedCurveI", "GdipLoadImageFromStream", "GdipCreateBitmapFromFile",
    "GdipCreateBitmapFromStream", "GdipCreateBitmapFromStreamICM", "GdipCreateHBITMAPFromBitmap",
    "GdipLoadImageFromFile", "GdipGetImageDimension", "GdipDrawImageRectI", "GdipDisposeImage",
    "GdipGetImageEncodersSize", "GdipGetImageEncoders", "GdipSaveImageToStream",
    "GdipCreateBitmapFromHBITMAP", "GdipIsVisibleRect", "GdipIsVisibleRectI",
    "GdipGetEncoderParameterListSize", "GdipGetEncoderParameterList", "GdipCreateBitmapFromGdiDib",
    "GdipCreateBitmapFromScan0", "GdipBitmapLockBits", "GdipBitmapUnlockBits",
    "GdipDrawImageRectRectI", "GdipDrawImageRectRect", "GdipDrawImagePointRect", "GdipCloneImage",
    "GdipSetInterpolationMode", "GdipGetInterpolationMode", "GdipCreateCachedBitmap",
    "GdipDeleteCachedBitmap", "GdipDrawCachedBitmap", "GdipCreateBitmapFromGraphics",
    "GdipGetImageGraphicsContext", "GdipGetImageWidth", "GdipGetImageHeight",
    "GdipSetCompositingMode", "GdipGetCompositingMode", "GdipSetCompositingQuality",
    "GdipGetCompositingQuality", "GdipSetSmoothingMode", "GdipGetSmoothingMode",
    "GdipCloneBitmapAreaI"};

using TGdiplusStartup = GpStatus (*)(NativeUInt* token, const TdxGdiPlusStartupInput* input,
                                     TdxGdiPlusStartupOutput* output);
using TGdiplusShutdown = void (*)(NativeUInt token);
using TGdipIsVisibleRectI = GpStatus (*)(GpGraphics* graphics, Integer x, Integer y,
                                         Integer width, Integer height, BOOL* result);
using TGdipGetImageEncodersSize = GpStatus (*)(Cardinal* count, Cardinal* size);
using TGdipGetImageEncoders = GpStatus (*)(Cardinal count, Cardinal size,
                                           TdxImageCodecInfo* encoders);

struct TGdiPlusBinding {
  HMODULE Module = nullptr;
  Boolean Available = false;
  FARPROC Functions[dxGdipFunctionCount] = {};
  NativeUInt StartupToken = 0;
  NativeUInt HookToken = 0;
  TdxGdiPlusStartupInput StartupInput;
  TdxGdiPlusStartupOutput StartupOutput;
  TdxClsid PngEncoderClsid{};
  orv::TGdiPlusLibraryAccess Access;
};

TGdiPlusBinding& GdiPlusBinding() {
  static TGdiPlusBinding binding;
  return binding;
}

template <class F>
F Function(Integer index) {
  return reinterpret_cast<F>(GdiPlusBinding().Functions[index]);
}

enum : Integer {
  fnGdiplusStartup = 2, fnGdiplusShutdown = 3, fnGdipGetImageEncodersSize = 61,
  fnGdipGetImageEncoders = 62, fnGdipIsVisibleRectI = 66
};

HMODULE LoadModule(const char* name) {
  const auto& access = GdiPlusBinding().Access;
  return access.Load ? access.Load(name) : LoadLibrary(name);
}

FARPROC FindProc(HMODULE module, const char* name) {
  const auto& access = GdiPlusBinding().Access;
  return access.GetProc ? access.GetProc(module, name) : GetProcAddress(module, name);
}

void FreeModule(HMODULE module) {
  const auto& access = GdiPlusBinding().Access;
  if (access.Free)
    access.Free(module);
  else
    FreeLibrary(module);
}

Boolean SameTextAscii(const char16_t* wide, const AnsiString& text) {
  if (!wide) return false;
  std::size_t i = 0;
  for (; wide[i] && i < text.size(); ++i) {
    char16_t a = wide[i];
    char16_t b = char16_t(static_cast<unsigned char>(text[i]));
    if (a >= u'A' && a <= u'Z') a = char16_t(a - u'A' + u'a');
    if (b >= u'A' && b <= u'Z') b = char16_t(b - u'A' + u'a');
    if (a != b) return false;
  }
  return wide[i] == 0 && i == text.size();
}

}  // namespace

void orv::SetGdiPlusLibraryAccess(const TGdiPlusLibraryAccess& access) { GdiPlusBinding().Access = access; }

const char* GdipFunctionName(Integer index) {
  return index >= 0 && index < dxGdipFunctionCount ? kFunctionNames[index] : nullptr;
}

FARPROC GdipFunction(const char* name) {
  for (Integer i = 0; i < dxGdipFunctionCount; ++i)
    if (std::string_view(kFunctionNames[i]) == name) return GdiPlusBinding().Functions[i];
  return nullptr;
}

void LoadGdiPlusLibrary() {
  TGdiPlusBinding& b = GdiPlusBinding();
  if (b.Available) return;
  // The platform's loader shows no error boxes for a missing library.
  if (!b.Module) b.Module = LoadModule("gdiplus.dll");
  b.Available = b.Module != nullptr;
  if (!b.Available) return;
  // All or none: after the first missing function every later pointer stays empty.
  for (Integer i = 0; i < dxGdipFunctionCount; ++i) {
    b.Functions[i] = b.Available ? FindProc(b.Module, kFunctionNames[i]) : nullptr;
    b.Available = b.Functions[i] != nullptr;
  }
  if (!b.Available) return;
  b.StartupOutput = {};
  if (Function<TGdiplusStartup>(fnGdiplusStartup)(&b.StartupToken, &b.StartupInput,
                                                  &b.StartupOutput) != GpOk ||
      (b.StartupOutput.NotificationHook &&
       b.StartupOutput.NotificationHook(&b.HookToken) != GpOk)) {
    b.Available = false;
    b.StartupOutput = {};
  }
}

Boolean IsGdiPlusAvailable() {
  if (!GdiPlusBinding().Available) LoadGdiPlusLibrary();
  return GdiPlusBinding().Available;
}

void UnloadGdiPlus() {
  TGdiPlusBinding& b = GdiPlusBinding();
  if (b.Available) {
    if (b.StartupOutput.NotificationUnhook) b.StartupOutput.NotificationUnhook(b.HookToken);
    Function<TGdiplusShutdown>(fnGdiplusShutdown)(b.StartupToken);
  }
  if (b.Module) FreeModule(b.Module);
  b.Module = nullptr;
  std::fill(std::begin(b.Functions), std::end(b.Functions), nullptr);
  b.StartupOutput = {};
  b.Available = false;
}

void ResetGdiPlusAvailability() { GdiPlusBinding().Available = false; }

void CheckGdiPlusStatus(GpStatus status) {
  if (status != GpOk) throw EAssertionFailed(GetLocalizedResourceString(&cxSGdiPlusInvalidOperation));
}

Boolean IsRectVisibleOnGraphics(GpGraphics* graphics, const TRect& rect) {
  BOOL result = FALSE;
  CheckGdiPlusStatus(IsGdiPlusAvailable()
                         ? Function<TGdipIsVisibleRectI>(fnGdipIsVisibleRectI)(
                               graphics, rect.Left, rect.Top, rect.Width(), rect.Height(), &result)
                         : 1);
  return result != FALSE;
}

Integer GetEncoderClsid(const AnsiString& mimeType, TdxClsid& clsid) {
  if (!IsGdiPlusAvailable()) return 1;
  Cardinal count = 0, size = 0;
  if (Function<TGdipGetImageEncodersSize>(fnGdipGetImageEncodersSize)(&count, &size) != GpOk ||
      size == 0)
    return 1;
  std::vector<std::max_align_t> buffer((size + sizeof(std::max_align_t) - 1) /
                                       sizeof(std::max_align_t));
  auto* encoders = reinterpret_cast<TdxImageCodecInfo*>(buffer.data());
  if (Function<TGdipGetImageEncoders>(fnGdipGetImageEncoders)(count, size, encoders) != GpOk)
    return 1;
  const Cardinal fits = Cardinal(size / sizeof(TdxImageCodecInfo));
  for (Cardinal i = 0; i < count && i < fits; ++i)
    if (SameTextAscii(encoders[i].MimeType, mimeType)) {
      clsid = encoders[i].Clsid;
      return 0;
    }
  return 1;
}

void EnsurePngEncoderClsid() {
  TdxClsid& clsid = GdiPlusBinding().PngEncoderClsid;
  if (clsid == TdxClsid{}) GetEncoderClsid("image/png", clsid);
}

const TdxClsid& GetPngEncoderClsid() { return GdiPlusBinding().PngEncoderClsid; }

// ---- Units loader -------------------------------------------------------------------------------

TdxUnitsLoader::~TdxUnitsLoader() { Finalize(); }

void TdxUnitsLoader::AddUnit(TdxUnitProcedure initialization, TdxUnitProcedure finalization) {
  if (initialization) {
    initialization();
    FInitialized = true;
  }
  if (finalization) FFinalizations.push_back(finalization);
}

void TdxUnitsLoader::RemoveUnit(TdxUnitProcedure finalization) {
  const auto it = std::find(FFinalizations.begin(), FFinalizations.end(), finalization);
  if (it == FFinalizations.end()) return;
  FFinalizations.erase(it);
  if (finalization) finalization();
}

void TdxUnitsLoader::Finalize() {
  if (FInitialized)
    // A procedure may remove others while the list is walked: take it over first.
    for (std::vector<TdxUnitProcedure> list = std::move(FFinalizations); !list.empty();) {
      const TdxUnitProcedure procedure = list.back();
      list.pop_back();
      if (procedure) procedure();
    }
  FInitialized = false;
  FFinalizations.clear();
}

namespace {

// The binding unit's own pair: start with the library unbound, end by unloading it.
struct TGdiPlusUnit {
  TdxUnitsLoader* Loader;
  TGdiPlusUnit() : Loader(new TdxUnitsLoader) {
    Loader->AddUnit(ResetGdiPlusAvailability, UnloadGdiPlus);
  }
  ~TGdiPlusUnit() { FreeAndNil(Loader); }
};

}  // namespace

TdxUnitsLoader* GetUnitsLoader() {
  static TGdiPlusUnit unit;
  return unit.Loader;
}
