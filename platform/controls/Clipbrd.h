// The clipboard object of the class library over the window system's clipboard (text is
// Windows-1251 here and reaches the desktop as UTF-8).
#pragma once

#include "platform/runtime/Persistent.h"
#include "platform/windowing/WinTypes.h"

class TClipboard : public TPersistent {
  ORV_CLASS(TClipboard, TPersistent)
 public:
  TClipboard() = default;
  ~TClipboard() override;

  // A picture or graphic goes on the clipboard as a bitmap (CF_DIB).
  void Assign(TPersistent* source) override;

  // Open and Close nest; the clipboard stays open until the last Close.
  void Open();
  void Close();
  // Empties the clipboard (opening it for the moment when it is closed).
  void Clear();
  // CF_BITMAP counts as there when a CF_DIB is (the clipboard makes one from the other).
  bool HasFormat(Word format);
  Integer GetFormatCount();
  Word GetFormats(Integer index);
  AnsiString GetAsText();
  void SetAsText(const AnsiString& value);
  Integer GetTextBuf(char* buffer, Integer bufSize);
  void SetTextBuf(const char* buffer);
  HANDLE GetAsHandle(Word format);
  // The clipboard takes the memory block.
  void SetAsHandle(Word format, HANDLE value);

 protected:
  // Pastes the clipboard's bitmap into a picture or bitmap.
  void AssignTo(TPersistent* dest) override;

 private:
  void SetBuffer(Word format, const void* buffer, std::size_t size);

  Integer FOpenRefCount = 0;
  bool FEmptied = false;
};

// The one clipboard object (made on first use).
TClipboard* Clipboard();
// Replaces it; answers the old one (which the caller now owns).
TClipboard* SetClipboard(TClipboard* newClipboard);
