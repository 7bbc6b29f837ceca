// Basic scalar and geometric types shared by every layer of the system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Text inside the system is 8-bit Windows-1251, held as bytes. See AnsiString.h for literals
// and conversions at the edges.
using AnsiString = std::string;
// UTF-16 text, used only where the design speaks of wide strings (variants, streams).
using WideString = std::u16string;

using Byte = std::uint8_t;
using ShortInt = std::int8_t;
using Word = std::uint16_t;
using SmallInt = std::int16_t;
using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using LongInt = std::int32_t;
using LongWord = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
// Pointer-sized integers: every "4-byte slot" of the design that holds an object or a pointer
// is pointer-sized here.
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;
using Boolean = bool;
using Single = float;
using Double = double;
using Extended = long double;

// Horizontal alignment of text, shared by fields and controls.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

// A rectangle that excludes its right and bottom edge.
struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;

  constexpr Integer Width() const { return Right - Left; }
  constexpr Integer Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(Integer x, Integer y) { return {x, y}; }
constexpr TRect Rect(Integer left, Integer top, Integer right, Integer bottom) {
  return {left, top, right, bottom};
}
constexpr TRect Bounds(Integer left, Integer top, Integer width, Integer height) {
  return {left, top, left + width, top + height};
}
