#include "app/AppImages.h"

#include <cmath>
#include <cstring>

#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"

namespace orv {

namespace {

struct TInk {
  char Symbol;
  TColor Color;
};

// The colours of the small images; '.' is the transparent background.
constexpr TColor kMask = clFuchsia;
const TInk kInks[] = {
    {'.', kMask},
    {'K', TColor(0x000000)},  // black
    {'N', TColor(0x800000)},  // navy (the colours are 0x00BBGGRR)
    {'B', TColor(0xD07830)},  // blue
    {'L', TColor(0xF0C890)},  // light blue
    {'W', TColor(0xFFFFFF)},  // white
    {'G', TColor(0xC0C0C0)},  // grey
    {'D', TColor(0x808080)},  // dark grey
    {'Y', TColor(0x40D0F0)},  // yellow
    {'O', TColor(0x205090)},  // brown
    {'g', TColor(0x30A030)},  // green
    {'R', TColor(0x2020D0)},  // red
};

TColor InkOf(char c) {
  for (const TInk& ink : kInks)
    if (ink.Symbol == c) return ink.Color;
  return kMask;
}

// The 16 x 16 images, one row of 16 symbols per line.
const char* const kImages[piCount][16] = {
    {// information: "i" on a blue disc
     "................", ".....NNNNNN.....", "...NNBBBBBBNN...", "..NBBBBWWBBBBN..",
     "..NBBBBWWBBBBN..", ".NBBBBBBBBBBBBN.", ".NBBBBWWWBBBBBN.", ".NBBBBBWWBBBBBN.",
     ".NBBBBBWWBBBBBN.", ".NBBBBBWWBBBBBN.", "..NBBBBWWBBBBN..", "..NBBBWWWWBBBN..",
     "...NNBBBBBBNN...", ".....NNNNNN.....", "................", "................"},
    {// about: "?" on a blue disc
     "................", ".....NNNNNN.....", "...NNBBBBBBNN...", "..NBBBWWWWBBBN..",
     "..NBBWWBBWWBBN..", ".NBBBBBBBWWBBBN.", ".NBBBBBBWWBBBBN.", ".NBBBBBWWBBBBBN.",
     ".NBBBBBWWBBBBBN.", ".NBBBBBBBBBBBBN.", "..NBBBBWWBBBBN..", "..NBBBBWWBBBBN..",
     "...NNBBBBBBNN...", ".....NNNNNN.....", "................", "................"},
    {// exit: a door and a green arrow leaving it
     "................", "..KKKKKKKK......", "..KOOOOOOK......", "..KOOOOOOK......",
     "..KOOOOOOK...g..", "..KOOOOOOK...gg.", "..KOOOOOgggggggg", "..KOOOOOgggggggg",
     "..KOOYOOOK...gg.", "..KOOOOOOK...g..", "..KOOOOOOK......", "..KOOOOOOK......",
     "..KOOOOOOK......", "..KKKKKKKK......", "................", "................"},
    {// write to a file: a diskette
     "................", ".NNNNNNNNNNNNN..", ".NBBGGGGGGGBBBN.", ".NBBGGGGDDGBBBN.",
     ".NBBGGGGDDGBBBN.", ".NBBGGGGGGGBBBN.", ".NBBBBBBBBBBBBN.", ".NBWWWWWWWWWWBN.",
     ".NBWDDDDDDDDWBN.", ".NBWWWWWWWWWWBN.", ".NBWDDDDDDDDWBN.", ".NBWWWWWWWWWWBN.",
     ".NBWWWWWWWWWWBN.", ".NNNNNNNNNNNNNN.", "................", "................"},
    {// the program: a small globe
     "................", ".....NNNNNN.....", "...NNLBLLBLNN...", "..NLLBLLLLBLLN..",
     "..NBBBBBBBBBBN..", ".NLLBLLLLLLBLLN.", ".NLBLLLLLLLLBLN.", ".NBBBBBBBBBBBBN.",
     ".NLBLLLLLLLLBLN.", ".NLLBLLLLLLBLLN.", "..NBBBBBBBBBBN..", "..NLLBLLLLBLLN..",
     "...NNLBLLBLNN...", ".....NNNNNN.....", "................", "................"},
    {// copy: two sheets
     "................", ".DDDDDDDD.......", ".DWWWWWWD.......", ".DWKKKKWD.......",
     ".DWWWWWDDDDDDDD.", ".DWKKKKDWWWWWWD.", ".DWWWWWDWKKKKWD.", ".DWKKKKDWWWWWWD.",
     ".DWWWWWDWKKKKWD.", ".DDDDDDDWWWWWWD.", ".......DWKKKKWD.", ".......DWWWWWWD.",
     ".......DWKKKKWD.", ".......DWWWWWWD.", ".......DDDDDDDD.", "................"},
};

void PrepareBitmap(TBitmap* bitmap, Integer size) {
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(size, size);
}

}  // namespace

void DrawProgramPicture(TBitmap* bitmap) {
  constexpr Integer kSize = 32;
  PrepareBitmap(bitmap, kSize);
  TCanvas* canvas = bitmap->GetCanvas();
  // A globe of radius 14.5 round the picture's centre: the sea, three meridians, two parallels
  // and the equator in a darker blue, a navy rim, and a red mark on the place found.
  const double centre = (kSize - 1) / 2.0, radius = 14.5;
  for (Integer y = 0; y < kSize; ++y) {
    for (Integer x = 0; x < kSize; ++x) {
      const double dx = x - centre, dy = y - centre, r = std::sqrt(dx * dx + dy * dy);
      TColor color = clWhite;
      if (r <= radius) {
        color = TColor(0xF0C890);
        const double half = std::sqrt(std::max(0.0, radius * radius - dy * dy));
        bool grid = std::abs(dy) < 0.6 || std::abs(std::abs(dy) - 8) < 0.5;
        for (double k : {0.0, 0.55, -0.55})
          if (std::abs(dx - k * half) < 0.6) grid = true;
        if (grid) color = TColor(0xC06020);
        if (r > radius - 1.2) color = TColor(0x800000);
      }
      canvas->SetPixels(x, y, color);
    }
  }
  for (Integer y = 9; y <= 12; ++y)
    for (Integer x = 19; x <= 22; ++x)
      if ((x - 20.5) * (x - 20.5) + (y - 10.5) * (y - 10.5) <= 3.0) canvas->SetPixels(x, y, TColor(0x2020D0));
}

void AddProgramImages(TCustomImageList* images) {
  for (const auto& rows : kImages) {
    TBitmap bitmap;
    PrepareBitmap(&bitmap, 16);
    TCanvas* canvas = bitmap.GetCanvas();
    for (Integer y = 0; y < 16; ++y)
      for (Integer x = 0; x < 16; ++x) canvas->SetPixels(x, y, InkOf(rows[y][x]));
    images->AddMasked(&bitmap, kMask);
  }
}

}  // namespace orv
