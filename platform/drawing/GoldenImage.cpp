#include "platform/drawing/GoldenImage.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

namespace orv {

namespace {

struct TFileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

}  // namespace

bool WritePng(const TSurface& surface, const std::string& path, bool withAlpha) {
  TFile file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  const int channels = withAlpha ? 4 : 3;
  std::vector<png_byte> row(std::size_t(std::max(surface.Width(), 1)) * std::size_t(channels));
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, png_uint_32(surface.Width()), png_uint_32(surface.Height()), 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < surface.Height(); ++y) {
    const TPixel* in = surface.Row(y);
    for (int x = 0; x < surface.Width(); ++x) {
      png_byte* o = row.data() + std::size_t(x) * std::size_t(channels);
      o[0] = png_byte(in[x] >> 16);
      o[1] = png_byte(in[x] >> 8);
      o[2] = png_byte(in[x]);
      if (withAlpha) o[3] = png_byte(in[x] >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ReadPng(const std::string& path, TSurface& out) {
  TFile file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return false;
  }
  png_init_io(png, file.get());
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const int w = int(png_get_image_width(png, info)), h = int(png_get_image_height(png, info));
  const int channels = png_get_channels(png, info);
  if (channels != 3 && channels != 4) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  TSurface s(w, h);
  row.resize(png_get_rowbytes(png, info));
  for (int y = 0; y < h; ++y) {
    png_read_row(png, row.data(), nullptr);
    TPixel* o = s.Row(y);
    for (int x = 0; x < w; ++x) {
      const png_byte* p = row.data() + std::size_t(x) * std::size_t(channels);
      o[x] = MakePixel(p[0], p[1], p[2], channels == 4 ? p[3] : 0);
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  out = std::move(s);
  return true;
}

namespace {

std::filesystem::path OutputDir() {
  const char* env = std::getenv("ORV_GOLDEN_OUT");
  std::filesystem::path dir = env && *env ? std::filesystem::path(env)
                                          : std::filesystem::temp_directory_path() / "orv-golden";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return dir;
}

}  // namespace

TImageCheck MatchGoldenImage(const TSurface& actual, const std::string& goldenPath,
                             TGoldenOptions options) {
  const TPixel mask = options.CompareAlpha ? 0xFFFFFFFF : 0x00FFFFFF;
  const std::filesystem::path golden(goldenPath);
  const std::string stem = golden.stem().string();
  const std::filesystem::path actualPath = OutputDir() / (stem + ".actual.png");
  TSurface expected;
  if (!ReadPng(goldenPath, expected)) {
    const char* update = std::getenv("ORV_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
      std::error_code ec;
      std::filesystem::create_directories(golden.parent_path(), ec);
      if (WritePng(actual, goldenPath, options.CompareAlpha))
        return {true, "golden written: " + goldenPath};
    }
    WritePng(actual, actualPath.string(), options.CompareAlpha);
    return {false, "no golden image " + goldenPath + "; actual image: " + actualPath.string() +
                       " (run with ORV_UPDATE_GOLDEN=1 to create it)"};
  }
  std::ostringstream why;
  int differing = 0;
  if (expected.Width() != actual.Width() || expected.Height() != actual.Height()) {
    why << "size " << actual.Width() << "x" << actual.Height() << ", golden "
        << expected.Width() << "x" << expected.Height();
    differing = -1;
  } else {
    for (int y = 0; y < actual.Height(); ++y)
      for (int x = 0; x < actual.Width(); ++x)
        if ((actual.Pixel(x, y) & mask) != (expected.Pixel(x, y) & mask)) {
          if (differing == 0)
            why << "first difference at (" << x << ", " << y << "): 0x" << std::hex
                << (actual.Pixel(x, y) & mask) << ", golden 0x" << (expected.Pixel(x, y) & mask)
                << std::dec;
          ++differing;
        }
    if (differing == 0) return {true, {}};
    why << "; " << differing << " pixels differ";
  }
  WritePng(actual, actualPath.string(), options.CompareAlpha);
  std::string message = goldenPath + ": " + why.str() + "; actual image: " + actualPath.string();
  if (differing > 0) {
    TSurface diff(actual.Width(), actual.Height());
    for (int y = 0; y < actual.Height(); ++y)
      for (int x = 0; x < actual.Width(); ++x) {
        const TPixel a = actual.Pixel(x, y);
        if ((a & mask) != (expected.Pixel(x, y) & mask)) {
          diff.SetPixel(x, y, MakePixel(255, 0, 0, 255));
        } else {
          const int grey = (int((a >> 16) & 0xFF) + int((a >> 8) & 0xFF) + int(a & 0xFF)) / 6 + 128;
          diff.SetPixel(x, y, MakePixel(grey, grey, grey, 255));
        }
      }
    const std::filesystem::path diffPath = OutputDir() / (stem + ".diff.png");
    WritePng(diff, diffPath.string(), false);
    message += ", difference: " + diffPath.string();
  }
  return {false, message};
}

std::string ToAsciiArt(const TSurface& surface, const TRect& area,
                       std::initializer_list<TArtColor> legend) {
  std::string out;
  for (int y = area.Top; y < area.Bottom; ++y) {
    out += '\n';
    for (int x = area.Left; x < area.Right; ++x) {
      char c = '?';
      if (x >= 0 && y >= 0 && x < surface.Width() && y < surface.Height()) {
        const std::uint32_t color = PixelToColor(surface.Pixel(x, y));
        for (const TArtColor& l : legend)
          if (l.Color == color) {
            c = l.Symbol;
            break;
          }
      } else {
        c = ' ';
      }
      out += c;
    }
  }
  return out;
}

TImageCheck MatchAsciiArt(const TSurface& surface, const TRect& area, std::string_view art,
                          std::initializer_list<TArtColor> legend) {
  std::vector<std::string> rows;
  std::size_t pos = 0;
  while (pos <= art.size()) {
    std::size_t end = art.find('\n', pos);
    if (end == std::string_view::npos) end = art.size();
    std::string_view line = art.substr(pos, end - pos);
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first != std::string_view::npos) {
      line.remove_prefix(first);
      const std::size_t last = line.find_last_not_of(" \t\r");
      rows.emplace_back(line.substr(0, last + 1));
    }
    pos = end + 1;
  }
  std::ostringstream why;
  bool ok = int(rows.size()) == area.Height();
  for (std::size_t i = 0; ok && i < rows.size(); ++i) ok = int(rows[i].size()) == area.Width();
  if (!ok) {
    why << "the art is not " << area.Width() << "x" << area.Height();
  } else {
    for (int y = 0; y < area.Height() && ok; ++y)
      for (int x = 0; x < area.Width(); ++x) {
        const char sym = rows[std::size_t(y)][std::size_t(x)];
        if (sym == '?') continue;
        const TArtColor* want = nullptr;
        for (const TArtColor& l : legend)
          if (l.Symbol == sym) want = &l;
        const int sx = area.Left + x, sy = area.Top + y;
        const bool inside = sx >= 0 && sy >= 0 && sx < surface.Width() && sy < surface.Height();
        if (!want || !inside || PixelToColor(surface.Pixel(sx, sy)) != want->Color) {
          why << "first difference at (" << sx << ", " << sy << ")";
          if (inside)
            why << ": colour 0x" << std::hex << PixelToColor(surface.Pixel(sx, sy)) << std::dec;
          ok = false;
          break;
        }
      }
  }
  if (ok) return {true, {}};
  std::string expected;
  for (const std::string& r : rows) expected += "\n" + r;
  return {false, why.str() + "\nexpected:" + expected + "\nactual:" +
                     ToAsciiArt(surface, area, legend)};
}

}  // namespace orv
