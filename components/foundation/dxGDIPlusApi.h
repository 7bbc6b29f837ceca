// The run-time binding of the platform's GDI+ library, and the units loader that starts and
// ends the units that depend on it.
//
// The library is optional: it is loaded and its flat functions are bound by name when first
// asked for, all or none, and every user asks IsGdiPlusAvailable first. The platform here has
// no GDI+ (its library cannot be loaded), so the binding answers "not available" and the image
// classes (dxGDIPlusClasses) do their work on the platform's own bitmaps instead.
#pragma once

#include <array>
#include <vector>

#include "components/foundation/dxCore.h"
#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"
#include "platform/windowing/WinTypes.h"

// ---- Flat-API types ---------------------------------------------------------------------------

// A class identifier (16 bytes).
using TdxClsid = std::array<Byte, 16>;

using GpStatus = Integer;  // 0 is Ok
inline constexpr GpStatus GpOk = 0;
struct GpGraphics;
struct GpImage;

struct TdxGdiPlusStartupInput {
  Cardinal GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = TRUE;
  BOOL SuppressExternalCodecs = FALSE;
};

using TdxGdiPlusNotificationHook = GpStatus (*)(NativeUInt* token);
using TdxGdiPlusNotificationUnhook = void (*)(NativeUInt token);

struct TdxGdiPlusStartupOutput {
  TdxGdiPlusNotificationHook NotificationHook = nullptr;
  TdxGdiPlusNotificationUnhook NotificationUnhook = nullptr;
};

// One image encoder's description as the library lists it.
struct TdxImageCodecInfo {
  TdxClsid Clsid;
  TdxClsid FormatID;
  const char16_t* CodecName;
  const char16_t* DllName;
  const char16_t* FormatDescription;
  const char16_t* FilenameExtension;
  const char16_t* MimeType;
  Cardinal Flags;
  Cardinal Version;
  Cardinal SigCount;
  Cardinal SigSize;
  const Byte* SigPattern;
  const Byte* SigMask;
};

// ---- Binding ------------------------------------------------------------------------------------

// The bound functions, in binding order (93 names).
inline constexpr Integer dxGdipFunctionCount = 93;
const char* GdipFunctionName(Integer index);
// The bound entry of a function (nullptr when unbound or unknown).
FARPROC GdipFunction(const char* name);

// The availability flag, loading the library first while it is off (every request while it is
// off tries again).
Boolean IsGdiPlusAvailable();
// Loads the library, binds the functions and starts GDI+; nothing when already available.
void LoadGdiPlusLibrary();
// Ends GDI+ and frees the library.
void UnloadGdiPlus();
// The next request loads again.
void ResetGdiPlusAvailability();
// Any status other than Ok raises EAssertionFailed "Invalid operation in GDI+".
void CheckGdiPlusStatus(GpStatus status);
Boolean IsRectVisibleOnGraphics(GpGraphics* graphics, const TRect& rect);
// 0 when an encoder of that MIME type (ASCII case ignored) exists and `clsid` holds its class
// id; otherwise 1.
Integer GetEncoderClsid(const AnsiString& mimeType, TdxClsid& clsid);
// Looks the PNG encoder up while its class id is still all zero.
void EnsurePngEncoderClsid();
const TdxClsid& GetPngEncoderClsid();

inline constexpr TResStringRec cxSGdiPlusInvalidOperation{"Invalid operation in GDI+"_a};

namespace orv {
// Where the binding finds the library; tests put a stand-in in place (nullptr members take the
// window system's LoadLibrary, GetProcAddress and FreeLibrary).
struct TGdiPlusLibraryAccess {
  HMODULE (*Load)(const char* name) = nullptr;
  FARPROC (*GetProc)(HMODULE module, const char* name) = nullptr;
  BOOL (*Free)(HMODULE module) = nullptr;
};
void SetGdiPlusLibraryAccess(const TGdiPlusLibraryAccess& access);
}  // namespace orv

// ---- Base of objects in GDI+ memory ---------------------------------------------------------------

// The base of the image objects. With the library they would live in its memory; here they are
// ordinary objects.
class TdxGPBase : public TObject {
  ORV_CLASS(TdxGPBase, TObject)
 public:
  TdxGPBase() = default;
};

// ---- Units loader -------------------------------------------------------------------------------

using TdxUnitProcedure = void (*)();

// Runs the start-up procedures of the units that need GDI+ (at once in a program) and their
// shut-down procedures in reverse order.
class TdxUnitsLoader : public TObject {
  ORV_CLASS(TdxUnitsLoader, TObject)
 public:
  TdxUnitsLoader() = default;
  ~TdxUnitsLoader() override;

  // Calls `initialization` at once (a program has no deferred start) and appends
  // `finalization` to the shut-down list; nullptr procedures are skipped.
  void AddUnit(TdxUnitProcedure initialization, TdxUnitProcedure finalization);
  // Takes the procedure out of the shut-down list and, when it was there, calls it.
  void RemoveUnit(TdxUnitProcedure finalization);
  // When something started: calls the shut-down procedures last first, then forgets them.
  void Finalize();

  Boolean GetInitialized() const { return FInitialized; }
  Integer GetFinalizationCount() const { return Integer(FFinalizations.size()); }

 private:
  std::vector<TdxUnitProcedure> FFinalizations;
  Boolean FInitialized = false;
};

// The loader, created on first use and freed at exit.
TdxUnitsLoader* GetUnitsLoader();
