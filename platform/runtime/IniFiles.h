// Settings stores of named sections holding named values: TCustomIniFile (the interface),
// TMemIniFile (the whole file kept in memory, written back by UpdateFile) and TRegistryIniFile
// (the user's settings tree, which on this system is an ini file under the configuration folder).
//
// Sections and value names are found without regard to ASCII letter case and keep the case they
// were first written with. Integers are decimal text (a "0x" prefix reads as hexadecimal),
// Booleans "1" and "0" (any integer reads, 0 is False), binary values two hexadecimal digits per
// byte. A value that is not of the kind asked for reads as the default.
//
// The text form: "[Section]" lines, "Name=Value" lines (the name trimmed, the value as it stands
// after the first "="), lines starting with ";" ignored, lines before the first section and lines
// without "=" ignored; CR LF after every line, an empty line after each section.
#pragma once

#include <memory>

#include "platform/runtime/Object.h"

class TStream;
class TStrings;

class TCustomIniFile : public TObject {
  ORV_CLASS(TCustomIniFile, TObject)
 public:
  explicit TCustomIniFile(const AnsiString& fileName) : FFileName(fileName) {}

  const AnsiString& GetFileName() const { return FFileName; }

  virtual AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& defaultValue) = 0;
  virtual void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) = 0;
  virtual Integer ReadInteger(const AnsiString& section, const AnsiString& ident, Integer defaultValue);
  virtual void WriteInteger(const AnsiString& section, const AnsiString& ident, Integer value);
  virtual Boolean ReadBool(const AnsiString& section, const AnsiString& ident, Boolean defaultValue);
  virtual void WriteBool(const AnsiString& section, const AnsiString& ident, Boolean value);
  // Writes the bytes of the value at the stream's position; the number of bytes (0 when the
  // value is missing or not hexadecimal digits).
  virtual Integer ReadBinaryStream(const AnsiString& section, const AnsiString& name, TStream* value);
  // The stream's bytes from its position to its end.
  virtual void WriteBinaryStream(const AnsiString& section, const AnsiString& name, TStream* value);

  // The section names in file order.
  virtual void ReadSections(TStrings* strings) = 0;
  // The value names of a section in order.
  virtual void ReadSection(const AnsiString& section, TStrings* strings) = 0;
  virtual void EraseSection(const AnsiString& section) = 0;
  virtual void DeleteKey(const AnsiString& section, const AnsiString& ident) = 0;
  virtual void UpdateFile() = 0;
  Boolean SectionExists(const AnsiString& section);
  virtual Boolean ValueExists(const AnsiString& section, const AnsiString& ident);

 private:
  AnsiString FFileName;
};

// The whole store in memory. Created on a file name, it reads the file when it exists (a file
// that cannot be read raises EFOpenError); with an empty name it is only in memory.
class TMemIniFile : public TCustomIniFile {
  ORV_CLASS(TMemIniFile, TCustomIniFile)
 public:
  explicit TMemIniFile(const AnsiString& fileName);
  ~TMemIniFile() override;

  AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& defaultValue) override;
  void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override;
  void ReadSections(TStrings* strings) override;
  void ReadSection(const AnsiString& section, TStrings* strings) override;
  void EraseSection(const AnsiString& section) override;
  void DeleteKey(const AnsiString& section, const AnsiString& ident) override;
  Boolean ValueExists(const AnsiString& section, const AnsiString& ident) override;
  // Writes the text form to the file: into a new file beside it that then replaces the old one,
  // so that a failure on the way leaves the old file whole. Raises EFCreateError or EWriteError.
  // Nothing without a file name.
  void UpdateFile() override;

  void Clear();
  // The text form, and the store made again from a text.
  AnsiString GetText() const;
  void SetText(const AnsiString& text);
  void GetStrings(TStrings* list) const;
  void SetStrings(TStrings* list);

 private:
  struct TData;
  std::unique_ptr<TData> FData;
};

// The user's settings tree. A key path ("\Software\Firm\App\") names the file
// <configuration folder>/Firm/App.ini (a leading "Software" folder is left out), the
// configuration folder being $XDG_CONFIG_HOME, or ~/.config without it. Sections are key paths
// below the root, as the caller writes them. UpdateFile writes the file, making its folders.
class TRegistryIniFile : public TMemIniFile {
  ORV_CLASS(TRegistryIniFile, TMemIniFile)
 public:
  explicit TRegistryIniFile(const AnsiString& keyPath);
  void UpdateFile() override;
};

namespace orv {
// The user's configuration folder with a trailing "/" ($XDG_CONFIG_HOME when set to an absolute
// path, else $HOME/.config/).
AnsiString UserConfigDirectory();
// The file that holds the settings of a key path (see TRegistryIniFile).
AnsiString RegistryKeyFileName(const AnsiString& keyPath);
}  // namespace orv
