#include "platform/controls/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>

#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Streams.h"

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. Ours jumps back to
// the call that started the work; every such call keeps its C++ objects outside the jump's reach
// (in the caller) and only plain libjpeg structures between setjmp and the jump.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
};

void ErrorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<TJpegError*>(info->err)->Jump, 1); }
// Warnings (a truncated file, say) are not shown anywhere.
void OutputMessage(j_common_ptr) {}

struct TDecoded {
  Integer Width = 0;
  Integer Height = 0;
  std::vector<Byte> Rgb;  // top-down rows of red, green, blue
};

// Reads the header only (`headerOnly`) or decodes the whole picture at 1 / `denominator` size.
bool Decode(const Byte* data, std::size_t size, bool headerOnly, unsigned denominator, bool gray,
            bool fast, TDecoded& out, long* warnings = nullptr) {
  jpeg_decompress_struct info;
  TJpegError error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = ErrorExit;
  error.Manager.output_message = OutputMessage;
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  if (headerOnly) {
    out.Width = Integer(info.image_width);
    out.Height = Integer(info.image_height);
    jpeg_destroy_decompress(&info);
    return out.Width > 0 && out.Height > 0;
  }
  info.scale_num = 1;
  info.scale_denom = denominator;
  info.out_color_space = cmyk ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_RGB;
  if (fast) {
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
  }
  jpeg_start_decompress(&info);
  out.Width = Integer(info.output_width);
  out.Height = Integer(info.output_height);
  const int components = info.output_components;
  out.Rgb.assign(std::size_t(out.Width) * std::size_t(out.Height) * 3, 0);
  std::vector<Byte>& rgb = out.Rgb;
  // One row in libjpeg's own memory pool, so the jump cannot leak it.
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                             info.output_width * JDIMENSION(components), 1);
  while (info.output_scanline < info.output_height) {
    const JDIMENSION y = info.output_scanline;
    jpeg_read_scanlines(&info, row, 1);
    Byte* dst = rgb.data() + std::size_t(y) * std::size_t(out.Width) * 3;
    const Byte* src = row[0];
    for (Integer x = 0; x < out.Width; ++x, dst += 3) {
      if (components == 1) {
        dst[0] = dst[1] = dst[2] = src[x];
      } else if (components == 4) {
        // Adobe writes CMYK inverted: each channel times the (inverted) black.
        const unsigned k = src[4 * x + 3];
        dst[0] = Byte(src[4 * x] * k / 255);
        dst[1] = Byte(src[4 * x + 1] * k / 255);
        dst[2] = Byte(src[4 * x + 2] * k / 255);
      } else {
        std::memcpy(dst, src + 3 * x, 3);
      }
    }
  }
  jpeg_finish_decompress(&info);
  if (warnings) *warnings = info.err->num_warnings;
  jpeg_destroy_decompress(&info);
  if (gray && !cmyk) return true;
  if (gray)
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
      rgb[i] = rgb[i + 1] = rgb[i + 2] = Byte((rgb[i] * 299 + rgb[i + 1] * 587 + rgb[i + 2] * 114) / 1000);
  return true;
}

struct TEncoded {
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  ~TEncoded() { std::free(Buffer); }
};

bool Encode(const Byte* rgb, Integer width, Integer height, int quality, bool gray,
            bool progressive, TEncoded& out) {
  jpeg_compress_struct info;
  TJpegError error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = ErrorExit;
  error.Manager.output_message = OutputMessage;
  if (setjmp(error.Jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &out.Buffer, &out.Size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (gray) jpeg_set_colorspace(&info, JCS_GRAYSCALE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + std::size_t(info.next_scanline) * std::size_t(width) * 3);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

TJPEGImage::TJPEGImage() : FData(new TMemoryStream) {}

TJPEGImage::~TJPEGImage() {
  FreeBitmap();
  FData->Free();
}

void TJPEGImage::FreeBitmap() { FreeAndNil(FBitmap); }

bool TJPEGImage::GetEmpty() const { return FData->GetSize() == 0 && !FBitmap; }

Integer TJPEGImage::GetWidth() const {
  if (FBitmap) return FBitmap->GetWidth();
  return (FWidth + (1 << FScale) - 1) >> FScale;
}

Integer TJPEGImage::GetHeight() const {
  if (FBitmap) return FBitmap->GetHeight();
  return (FHeight + (1 << FScale) - 1) >> FScale;
}

void TJPEGImage::SetWidth(Integer) { throw EJPEG("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(Integer) { throw EJPEG("Cannot change the size of a JPEG image"); }

void TJPEGImage::ReadHeader() {
  TDecoded header;
  if (FData->GetSize() > 0 &&
      Decode(static_cast<const Byte*>(FData->GetMemory()), std::size_t(FData->GetSize()), true, 1,
             false, false, header)) {
    FWidth = header.Width;
    FHeight = header.Height;
  } else {
    // Not a JPEG stream: an empty picture.
    FData->Clear();
    FWidth = FHeight = 0;
  }
}

void TJPEGImage::LoadFromStream(TStream* stream) {
  FreeBitmap();
  FData->Clear();
  const Int64 rest = stream->GetSize() - stream->GetPosition();
  if (rest > 0) FData->CopyFrom(stream, rest);
  ReadHeader();
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream* stream) {
  JPEGNeeded();
  if (FData->GetSize() > 0) stream->WriteBuffer(FData->GetMemory(), Integer(FData->GetSize()));
}

bool TJPEGImage::IsIntact() const {
  if (FData->GetSize() == 0) return FBitmap != nullptr;
  TDecoded pic;
  long warnings = 0;
  // An eighth of the size is enough: every byte of the data is still read.
  return Decode(static_cast<const Byte*>(FData->GetMemory()), std::size_t(FData->GetSize()), false, 8, false,
                true, pic, &warnings) &&
         warnings == 0;
}

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData->GetSize() == 0) return;
  TDecoded pic;
  if (!Decode(static_cast<const Byte*>(FData->GetMemory()), std::size_t(FData->GetSize()), false,
              1u << FScale, FGrayscale, FPerformance == jpBestSpeed, pic)) {
    // Corrupt data: nothing to show.
    FData->Clear();
    FWidth = FHeight = 0;
    return;
  }
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(pic.Width, pic.Height);
  for (Integer y = 0; y < pic.Height; ++y) {
    auto* dst = static_cast<Byte*>(bitmap->ScanLine(y));
    const Byte* src = pic.Rgb.data() + std::size_t(y) * std::size_t(pic.Width) * 3;
    for (Integer x = 0; x < pic.Width; ++x) {
      dst[3 * x] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x];
    }
  }
  if (FPixelFormat == jf8Bit) bitmap->SetPixelFormat(pf8bit);
  FBitmap = bitmap.release();
}

void TJPEGImage::Compress() {
  if (!FBitmap) return;
  const Integer w = FBitmap->GetWidth(), h = FBitmap->GetHeight();
  std::vector<Byte> rgb(std::size_t(w) * std::size_t(h) * 3);
  std::unique_ptr<TBitmap, orv::FreeDeleter> copy(new TBitmap);
  copy->Assign(FBitmap);
  copy->SetPixelFormat(pf24bit);
  for (Integer y = 0; y < h; ++y) {
    const auto* src = static_cast<const Byte*>(copy->ScanLine(y));
    Byte* dst = rgb.data() + std::size_t(y) * std::size_t(w) * 3;
    for (Integer x = 0; x < w; ++x) {
      dst[3 * x] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x];
    }
  }
  TEncoded encoded;
  FData->Clear();
  if (w > 0 && h > 0 && Encode(rgb.data(), w, h, FQuality, FGrayscale, FProgressive, encoded)) {
    FData->WriteBuffer(encoded.Buffer, Integer(encoded.Size));
    FWidth = w;
    FHeight = h;
  }
}

void TJPEGImage::JPEGNeeded() {
  if (FData->GetSize() == 0 && FBitmap) Compress();
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& rect) {
  DIBNeeded();
  if (FBitmap) canvas->StretchDraw(rect, FBitmap);
}

void TJPEGImage::Assign(TPersistent* source) {
  if (auto* j = dynamic_cast<TJPEGImage*>(source)) {
    if (j == this) return;
    FreeBitmap();
    FData->Clear();
    if (j->FData->GetSize()) FData->WriteBuffer(j->FData->GetMemory(), Integer(j->FData->GetSize()));
    FWidth = j->FWidth;
    FHeight = j->FHeight;
    FQuality = j->FQuality;
    FGrayscale = j->FGrayscale;
    FScale = j->FScale;
    if (j->FBitmap && !FData->GetSize()) {
      FBitmap = new TBitmap;
      FBitmap->Assign(j->FBitmap);
    }
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    FreeBitmap();
    FData->Clear();
    FBitmap = new TBitmap;
    FBitmap->Assign(b);
    FBitmap->SetTransparent(false);
    FWidth = b->GetWidth();
    FHeight = b->GetHeight();
    FScale = jsFullSize;
    Changed(this);
    return;
  }
  inherited::Assign(source);
}

void TJPEGImage::AssignTo(TPersistent* dest) {
  if (auto* b = dynamic_cast<TBitmap*>(dest)) {
    DIBNeeded();
    b->Assign(FBitmap);
    return;
  }
  inherited::AssignTo(dest);
}

void TJPEGImage::SetCompressionQuality(Integer value) {
  FQuality = value < 1 ? 1 : value > 100 ? 100 : value;
}

void TJPEGImage::SetGrayscale(bool value) {
  if (FGrayscale == value) return;
  JPEGNeeded();
  FGrayscale = value;
  if (FData->GetSize()) FreeBitmap();
  Changed(this);
}

void TJPEGImage::SetPerformance(TJPEGPerformance value) {
  if (FPerformance == value) return;
  FPerformance = value;
}

void TJPEGImage::SetScale(TJPEGScale value) {
  if (FScale == value) return;
  JPEGNeeded();
  FScale = value;
  if (FData->GetSize()) FreeBitmap();
  Changed(this);
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat value) {
  if (FPixelFormat == value) return;
  JPEGNeeded();
  FPixelFormat = value;
  if (FData->GetSize()) FreeBitmap();
  Changed(this);
}
