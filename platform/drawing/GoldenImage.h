// Golden-image checks for drawing tests: a rendered surface compared with a committed PNG, or a
// small area with an expectation written as ASCII art.
//
//   EXPECT_TRUE(orv::MatchGoldenImage(surface, ORV_SOURCE_DIR "/components/grid/tests/golden/row.png"));
//   EXPECT_TRUE(orv::MatchAsciiArt(surface, {0, 0, 4, 2}, R"(
//       ##..
//       #..#)", {{'#', 0x000000}, {'.', 0xFFFFFF}}));
//
// On a mismatch the actual image and a difference image (differing pixels red, the rest dimmed)
// are written to $ORV_GOLDEN_OUT, or to the temporary directory's "orv-golden" folder, and the
// message names them. A missing golden fails the same way; with ORV_UPDATE_GOLDEN=1 in the
// environment the golden is written instead (review every new golden by eye).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/drawing/Surface.h"

namespace orv {

struct TImageCheck {
  bool Ok = false;
  std::string Message;
  explicit operator bool() const { return Ok; }
};

// A PNG with 8-bit red, green, blue and, when asked, the alpha byte as it is.
bool WritePng(const TSurface& surface, const std::string& path, bool withAlpha);
// Reads any 8-bit PNG; an image without alpha gets alpha 0.
bool ReadPng(const std::string& path, TSurface& out);

struct TGoldenOptions {
  bool CompareAlpha = false;  // compare and store the alpha byte too
};

TImageCheck MatchGoldenImage(const TSurface& actual, const std::string& goldenPath,
                             TGoldenOptions options = {});

// One symbol of an ASCII-art expectation and the colour (red in the low byte) it stands for.
// '?' in the art matches any pixel. Rows may be indented; blank lines are ignored.
struct TArtColor {
  char Symbol;
  std::uint32_t Color;
};
TImageCheck MatchAsciiArt(const TSurface& surface, const TRect& area, std::string_view art,
                          std::initializer_list<TArtColor> legend);
// The area as ASCII art with the legend's symbols ('?' for other colours).
std::string ToAsciiArt(const TSurface& surface, const TRect& area,
                       std::initializer_list<TArtColor> legend);

}  // namespace orv
