// The platform's image lists (the common-controls library's HIMAGELIST): a strip of equally
// sized images, four to a row, with an optional 1-bit mask strip (1 = transparent), drawn
// masked, over a background colour, blended with a highlight or, for 32-bit images that carry
// alpha, alpha-blended.
//
// Adding an image with a mask clears the image's pixels under the mask to black, as the
// platform does, so that masked drawing is an AND of the mask and an OR of the image.
#pragma once

#include "platform/windowing/WinTypes.h"

class TStream;

struct HIMAGELIST__;
using HIMAGELIST = HIMAGELIST__*;

struct IMAGEINFO {
  HBITMAP hbmImage = nullptr;  // the list's image strip (owned by the list)
  HBITMAP hbmMask = nullptr;   // the mask strip, nullptr without ILC_MASK
  int Unused1 = 0;
  int Unused2 = 0;
  RECT rcImage;                // the image's cell in the strips
};

constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLORDDB = 0x00FE;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_BLEND = ILD_BLEND50;
constexpr UINT ILD_MASK = 0x0010;
constexpr UINT ILD_IMAGE = 0x0020;

constexpr UINT ILCF_MOVE = 0x0000;
constexpr UINT ILCF_SWAP = 0x0001;


HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
HIMAGELIST ImageList_Duplicate(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
// Grows with black images or drops images from the end.
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Changes the image size; every image is removed.
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);
UINT ImageList_GetFlags(HIMAGELIST list);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);

// Adds the images of a bitmap (as many as fit across it); the index of the first, -1 on failure.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The mask is made from the pixels of `maskColor` (CLR_DEFAULT: the top-left pixel).
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
// -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST list, int index);
inline BOOL ImageList_RemoveAll(HIMAGELIST list) { return ImageList_Remove(list, -1); }
// Within one list: ILCF_SWAP exchanges two images, ILCF_MOVE copies one over the other.
BOOL ImageList_Copy(HIMAGELIST dest, int destIndex, HIMAGELIST source, int sourceIndex, UINT flags);
BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info);

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// `width`/`height` 0: the image size (larger values clip, never stretch). `background`:
// CLR_NONE transparent, CLR_DEFAULT the list's colour; `foreground`: the blend colour of
// ILD_BLEND25/50 (CLR_DEFAULT the highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height,
                      COLORREF background, COLORREF foreground, UINT style);

// The list as a stream: a 28-byte header ("IL", version 0x101, count, capacity, growth, cx, cy,
// background colour, flags, four overlay indexes) followed by the image strip and, with
// ILC_MASK, the mask strip, each as a bitmap file.
BOOL ImageList_Write(HIMAGELIST list, TStream* stream);
HIMAGELIST ImageList_Read(TStream* stream);
