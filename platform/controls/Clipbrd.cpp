#include "platform/controls/Clipbrd.h"

#include <cstring>

#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/User.h"

namespace {

TClipboard* gClipboard = nullptr;

}  // namespace

TClipboard* Clipboard() {
  if (!gClipboard) gClipboard = new TClipboard;
  return gClipboard;
}

TClipboard* SetClipboard(TClipboard* newClipboard) {
  TClipboard* old = gClipboard;
  gClipboard = newClipboard;
  return old;
}

TClipboard::~TClipboard() {
  if (FOpenRefCount > 0) CloseClipboard();
}

void TClipboard::Open() {
  if (FOpenRefCount == 0) {
    if (!OpenClipboard(Application ? Application->GetHandle() : nullptr))
      throw Exception("Cannot open clipboard");
    FEmptied = false;
  }
  ++FOpenRefCount;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0) return;
  if (--FOpenRefCount == 0) CloseClipboard();
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  FEmptied = true;
  Close();
}

bool TClipboard::HasFormat(Word format) {
  if (IsClipboardFormatAvailable(format)) return true;
  return format == CF_BITMAP && IsClipboardFormatAvailable(CF_DIB);
}

void TClipboard::Assign(TPersistent* source) {
  TGraphic* graphic = dynamic_cast<TGraphic*>(source);
  if (auto* picture = dynamic_cast<TPicture*>(source)) graphic = picture->GetGraphic();
  if (!graphic) {
    inherited::Assign(source);
    return;
  }
  Word format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  graphic->SaveToClipboardFormat(format, data, palette);
  SetAsHandle(format, data);
}

void TClipboard::AssignTo(TPersistent* dest) {
  auto* picture = dynamic_cast<TPicture*>(dest);
  auto* graphic = dynamic_cast<TGraphic*>(dest);
  if (!picture && !graphic) {
    inherited::AssignTo(dest);
    return;
  }
  Open();
  try {
    HANDLE data = GetClipboardData(CF_DIB);
    if (!data) throw EInvalidGraphic("The clipboard holds no picture");
    if (picture)
      picture->LoadFromClipboardFormat(Word(CF_DIB), data, nullptr);
    else
      graphic->LoadFromClipboardFormat(Word(CF_DIB), data, nullptr);
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

Integer TClipboard::GetFormatCount() { return CountClipboardFormats(); }

Word TClipboard::GetFormats(Integer index) {
  Open();
  UINT format = 0;
  for (Integer i = 0; i <= index; ++i) {
    format = EnumClipboardFormats(format);
    if (!format) break;
  }
  Close();
  return Word(format);
}

void TClipboard::SetBuffer(Word format, const void* buffer, std::size_t size) {
  Open();
  try {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!memory) throw EOutOfMemory("Out of memory");
    std::memcpy(GlobalLock(memory), buffer, size);
    GlobalUnlock(memory);
    if (!FEmptied) {
      EmptyClipboard();
      FEmptied = true;
    }
    SetClipboardData(format, memory);
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

AnsiString TClipboard::GetAsText() {
  AnsiString result;
  Open();
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      result = p;
      GlobalUnlock(data);
    }
  }
  Close();
  return result;
}

void TClipboard::SetAsText(const AnsiString& value) { SetBuffer(CF_TEXT, value.c_str(), value.size() + 1); }

Integer TClipboard::GetTextBuf(char* buffer, Integer bufSize) {
  if (!buffer || bufSize <= 0) return 0;
  const AnsiString text = GetAsText();
  const Integer n = std::min<Integer>(Integer(text.size()), bufSize - 1);
  std::memcpy(buffer, text.data(), std::size_t(n));
  buffer[n] = 0;
  return n;
}

void TClipboard::SetTextBuf(const char* buffer) { SetAsText(buffer ? buffer : ""); }

HANDLE TClipboard::GetAsHandle(Word format) {
  Open();
  HANDLE h = GetClipboardData(format);
  Close();
  return h;
}

void TClipboard::SetAsHandle(Word format, HANDLE value) {
  Open();
  if (!FEmptied) {
    EmptyClipboard();
    FEmptied = true;
  }
  SetClipboardData(format, value);
  Close();
}
