#include "platform/runtime/IniFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/SysUtils.h"

namespace {

AnsiString IniKey(const AnsiString& s) { return LowerCase(s); }

Boolean TryParseInteger(const AnsiString& text, Integer& value) {
  const AnsiString s = Trim(text);
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    Int64 v = 0;
    for (size_t i = 2; i < s.size(); ++i) {
      const char c = s[i];
      Integer digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        return false;
      v = v * 16 + digit;
      if (v > 0xFFFFFFFFLL) return false;
    }
    value = Integer(uint32_t(v));
    return true;
  }
  return TryStrToInt(s, value);
}

Integer HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

// ---- TCustomIniFile

Integer TCustomIniFile::ReadInteger(const AnsiString& section, const AnsiString& ident, Integer defaultValue) {
  const AnsiString text = ReadString(section, ident, AnsiString());
  Integer value = 0;
  return TryParseInteger(text, value) ? value : defaultValue;
}

void TCustomIniFile::WriteInteger(const AnsiString& section, const AnsiString& ident, Integer value) {
  WriteString(section, ident, IntToStr(value));
}

Boolean TCustomIniFile::ReadBool(const AnsiString& section, const AnsiString& ident, Boolean defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& section, const AnsiString& ident, Boolean value) {
  WriteString(section, ident, value ? "1" : "0");
}

Integer TCustomIniFile::ReadBinaryStream(const AnsiString& section, const AnsiString& name, TStream* value) {
  const AnsiString text = ReadString(section, name, AnsiString());
  if (text.empty() || text.size() % 2 != 0) return 0;
  std::vector<Byte> bytes(text.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const Integer high = HexDigit(text[2 * i]), low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return 0;
    bytes[i] = Byte(high * 16 + low);
  }
  if (value && !bytes.empty()) value->WriteBuffer(bytes.data(), Integer(bytes.size()));
  return Integer(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const AnsiString& section, const AnsiString& name, TStream* value) {
  static const char digits[] = "0123456789ABCDEF";
  AnsiString text;
  Byte buffer[4096];
  for (;;) {
    const Integer n = value->Read(buffer, Integer(sizeof buffer));
    if (n <= 0) break;
    for (Integer i = 0; i < n; ++i) {
      text += digits[buffer[i] >> 4];
      text += digits[buffer[i] & 15];
    }
  }
  WriteString(section, name, text);
}

Boolean TCustomIniFile::SectionExists(const AnsiString& section) {
  TStringList list;
  ReadSection(section, &list);
  return list.GetCount() > 0;
}

Boolean TCustomIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) {
  TStringList list;
  ReadSection(section, &list);
  return list.IndexOf(ident) >= 0;
}

// ---- TMemIniFile

struct TMemIniFile::TData {
  struct TSection {
    AnsiString Name;
    std::vector<std::pair<AnsiString, AnsiString>> Values;
    std::unordered_map<AnsiString, size_t> Index;  // lower-cased name -> position in Values
  };
  // Erased sections leave a null slot behind, so that the positions in the index stay valid;
  // Compact drops them when there are many.
  std::vector<std::unique_ptr<TSection>> Sections;
  std::unordered_map<AnsiString, size_t> Index;  // lower-cased name -> position in Sections
  size_t Erased = 0;

  TSection* Find(const AnsiString& name) {
    auto it = Index.find(IniKey(name));
    return it == Index.end() ? nullptr : Sections[it->second].get();
  }
  TSection* FindOrAdd(const AnsiString& name) {
    if (TSection* found = Find(name)) return found;
    Index.emplace(IniKey(name), Sections.size());
    Sections.push_back(std::make_unique<TSection>());
    Sections.back()->Name = name;
    return Sections.back().get();
  }
  static void Put(TSection* section, const AnsiString& ident, const AnsiString& value) {
    const AnsiString key = IniKey(ident);
    auto it = section->Index.find(key);
    if (it != section->Index.end()) {
      section->Values[it->second].second = value;
      return;
    }
    section->Index.emplace(key, section->Values.size());
    section->Values.emplace_back(ident, value);
  }
  void Erase(const AnsiString& name) {
    auto it = Index.find(IniKey(name));
    if (it == Index.end()) return;
    Sections[it->second].reset();
    Index.erase(it);
    if (++Erased > 64 && Erased > Sections.size() / 2) Compact();
  }
  void Compact() {
    std::vector<std::unique_ptr<TSection>> kept;
    Index.clear();
    for (auto& section : Sections)
      if (section) {
        Index.emplace(IniKey(section->Name), kept.size());
        kept.push_back(std::move(section));
      }
    Sections = std::move(kept);
    Erased = 0;
  }
  void Clear() {
    Sections.clear();
    Index.clear();
    Erased = 0;
  }
};

TMemIniFile::TMemIniFile(const AnsiString& fileName) : TCustomIniFile(fileName), FData(std::make_unique<TData>()) {
  if (fileName.empty() || !FileExists(fileName)) return;
  TStringList lines;
  try {
    lines.LoadFromFile(fileName);
  } catch (const EFOpenError&) {
    throw;
  } catch (const EStreamError& e) {
    throw EFOpenError(e.GetMessage());
  }
  SetStrings(&lines);
}

TMemIniFile::~TMemIniFile() = default;

AnsiString TMemIniFile::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& defaultValue) {
  TData::TSection* found = FData->Find(section);
  if (!found) return defaultValue;
  auto it = found->Index.find(IniKey(ident));
  return it == found->Index.end() ? defaultValue : found->Values[it->second].second;
}

void TMemIniFile::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  TData::Put(FData->FindOrAdd(section), ident, value);
}

void TMemIniFile::ReadSections(TStrings* strings) {
  strings->BeginUpdate();
  strings->Clear();
  for (auto& section : FData->Sections)
    if (section) strings->Add(section->Name);
  strings->EndUpdate();
}

void TMemIniFile::ReadSection(const AnsiString& section, TStrings* strings) {
  strings->BeginUpdate();
  strings->Clear();
  if (TData::TSection* found = FData->Find(section))
    for (auto& value : found->Values) strings->Add(value.first);
  strings->EndUpdate();
}

void TMemIniFile::EraseSection(const AnsiString& section) { FData->Erase(section); }

void TMemIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
  TData::TSection* found = FData->Find(section);
  if (!found) return;
  auto it = found->Index.find(IniKey(ident));
  if (it == found->Index.end()) return;
  const size_t position = it->second;
  found->Values.erase(found->Values.begin() + std::ptrdiff_t(position));
  found->Index.clear();
  for (size_t i = 0; i < found->Values.size(); ++i) found->Index.emplace(IniKey(found->Values[i].first), i);
}

Boolean TMemIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) {
  TData::TSection* found = FData->Find(section);
  return found && found->Index.count(IniKey(ident)) != 0;
}

void TMemIniFile::Clear() { FData->Clear(); }

AnsiString TMemIniFile::GetText() const {
  AnsiString text;
  for (auto& section : FData->Sections) {
    if (!section) continue;
    text += "[" + section->Name + "]\r\n";
    for (auto& value : section->Values) text += value.first + "=" + value.second + "\r\n";
    text += "\r\n";
  }
  return text;
}

void TMemIniFile::SetText(const AnsiString& text) {
  TStringList lines;
  lines.SetText(text);
  SetStrings(&lines);
}

void TMemIniFile::GetStrings(TStrings* list) const {
  TStringList lines;
  lines.SetText(GetText());
  list->Assign(&lines);
}

void TMemIniFile::SetStrings(TStrings* list) {
  FData->Clear();
  TData::TSection* current = nullptr;
  for (Integer i = 0; i < list->GetCount(); ++i) {
    const AnsiString line = Trim(list->Get(i));
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[' && line.back() == ']') {
      current = FData->FindOrAdd(line.substr(1, line.size() - 2));
      continue;
    }
    if (!current) continue;
    const size_t eq = line.find('=');
    if (eq == AnsiString::npos) continue;
    const AnsiString ident = Trim(line.substr(0, eq));
    if (ident.empty()) continue;
    TData::Put(current, ident, line.substr(eq + 1));
  }
}

void TMemIniFile::UpdateFile() {
  const AnsiString& fileName = GetFileName();
  if (fileName.empty()) return;
  const AnsiString text = GetText();
  // The new text goes to a file of its own first: the old file is replaced only once the new
  // one is complete, so a full disk or a crash on the way never leaves half a file.
  const AnsiString temporary = fileName + ".new";
  const Integer handle = FileCreate(temporary);
  if (handle < 0) throw EFCreateError("Cannot create file \"" + temporary + "\". " + orv::LastFileError());
  const Boolean written =
      text.empty() || FileWrite(handle, text.data(), Integer(text.size())) == Integer(text.size());
  FileClose(handle);
  if (!written) {
    DeleteFile(temporary);
    throw EWriteError("Stream write error");
  }
  // The platform's rename refuses to replace a file; the system's replaces it in one step.
  if (std::rename(orv::ResolveFileName(temporary).c_str(), orv::ResolveFileName(fileName).c_str()) != 0) {
    const AnsiString reason = orv::Utf8ToAnsi(std::strerror(errno));
    DeleteFile(temporary);
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + reason);
  }
}

// ---- TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(const AnsiString& keyPath) : TMemIniFile(orv::RegistryKeyFileName(keyPath)) {}

void TRegistryIniFile::UpdateFile() {
  // Make the folders of the file, one level at a time.
  const AnsiString folder = ExtractFilePath(GetFileName());
  for (size_t slash = folder.find('/', 1); slash != AnsiString::npos; slash = folder.find('/', slash + 1)) {
    const AnsiString part = folder.substr(0, slash);
    if (!DirectoryExists(part)) CreateDir(part);
  }
  inherited::UpdateFile();
}

namespace {
AnsiString WithTrailingSlash(const AnsiString& path) { return !path.empty() && path.back() == '/' ? path : path + "/"; }
}  // namespace

AnsiString orv::UserConfigDirectory() {
  // An empty or relative XDG_CONFIG_HOME is to be ignored.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return WithTrailingSlash(orv::Utf8ToAnsi(config));
  const char* home = std::getenv("HOME");
  return WithTrailingSlash(orv::Utf8ToAnsi(home && home[0] ? home : "/tmp")) + ".config/";
}

AnsiString orv::RegistryKeyFileName(const AnsiString& keyPath) {
  std::vector<AnsiString> parts;
  AnsiString part;
  for (char c : keyPath + "\\") {
    if (c == '\\' || c == '/') {
      // "." and ".." would leave the configuration folder.
      if (!part.empty() && part != "." && part != "..") parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!parts.empty() && SameText(parts.front(), "Software")) parts.erase(parts.begin());
  AnsiString name = UserConfigDirectory();
  if (parts.empty()) return name + "settings.ini";
  for (size_t i = 0; i + 1 < parts.size(); ++i) name += parts[i] + "/";
  return name + parts.back() + ".ini";
}
