// The component library's graphics unit: drawing helpers over the platform's device contexts,
// brushes and bitmaps. Each service lives in its own section.
#pragma once

#include <vector>

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"

class TCanvas;
class TcxCanvas;

// ==== Solid brush cache ======================================================================
//
// Editors fill many small areas with the same few colours on every paint: the cache keeps up to
// 128 solid brushes keyed by colour, and hands out the platform's own brushes for system
// colours. A caller uses the handle at once and never deletes it; an evicted brush is deleted.

class TcxSolidBrushCache : public TObject {
  ORV_CLASS(TcxSolidBrushCache, TObject)
 public:
  explicit TcxSolidBrushCache(Integer capacity = 128);
  ~TcxSolidBrushCache() override;

  // The brush of a colour: a system colour's brush from the platform, else a cached brush
  // (created on a miss, evicting the least-used entry when the cache is full).
  HBRUSH GetBrush(TColor color);
  // Deletes every cached brush.
  void Clear();
  // The system colours changed: cached brushes of resolved colours are stale.
  virtual void SystemPaletteChanged() { Clear(); }

  Integer GetCapacity() const { return FCapacity; }
  Integer GetCount() const { return Integer(FColors.size()); }
  // Cached entries in ascending order of colour (as unsigned numbers), with their hit counts.
  TColor GetColor(Integer index) const { return TColor(FColors[std::size_t(index)]); }
  Cardinal GetUseCount(Integer index) const { return FUseCounts[std::size_t(index)]; }

 private:
  Integer FCapacity;
  std::vector<Cardinal> FColors;
  std::vector<HBRUSH> FBrushes;
  std::vector<Cardinal> FUseCounts;
};

// The process's cache, created on first use and freed at exit.
TcxSolidBrushCache* GetSolidBrushCache();
HBRUSH GetCachedSolidBrush(TColor color);
// The same; the canvas is not used.
inline HBRUSH GetCachedSolidBrushForCanvas(TCanvas* canvas, TColor color) { return GetCachedSolidBrush(color); }
inline HBRUSH GetCachedSolidBrushForCxCanvas(TcxCanvas* canvas, TColor color) { return GetCachedSolidBrush(color); }
