#include "app/TownExport.h"

#include "platform/controls/Forms.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Variants.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FileSystem.h"
#include "platform/windowing/WinTypes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace orv {

namespace {

// The rules above and below the header; a town's line is 105 characters.
constexpr Integer kRuleWidth = 103;
constexpr Integer kTownLineWidth = 105;

// The text left-justified in at least `width` characters.
void AppendPadded(AnsiString& line, const AnsiString& text, std::size_t width) {
  line += text;
  if (text.size() < width) line.append(width - text.size(), ' ');
}

// The six fields of a town's line, looked up once per export (names match without regard to
// case), with their widths.
class TExportFields {
 public:
  explicit TExportFields(TDataSet* table) {
    for (std::size_t i = 0; i < kCount; ++i) FFields[i] = table->FieldByName(kNames[i]);
  }
  AnsiString Line() const {
    AnsiString line;
    line.reserve(kTownLineWidth);
    for (std::size_t i = 0; i < kCount; ++i) AppendPadded(line, FFields[i]->GetAsString(), kWidths[i]);
    return line;
  }

 private:
  static constexpr std::size_t kCount = 6;
  static constexpr const char* kNames[kCount] = {"country", "city", "g_dolg", "g_shir", "e_dolg", "e_shir"};
  static constexpr std::size_t kWidths[kCount] = {25, 40, 10, 10, 10, 10};
  TField* FFields[kCount];
};

}  // namespace

AnsiString TownExportLine(TDataSet* table) { return TExportFields(table).Line(); }

void AddTownExportLines(TDataSet* table, TStrings& lines, TExportProgressEvent progress) {
  const AnsiString dashes(kRuleWidth, '-');
  AnsiString header;
  AppendPadded(header, "Страна"_a, 25);
  AppendPadded(header, "Город"_a, 40);
  AppendPadded(header, "Г.Долгота"_a, 10);
  AppendPadded(header, "Г.Широта"_a, 10);
  AppendPadded(header, "Э.Долгота"_a, 10);
  header += "Э.Широта"_a;
  const TExportFields fields(table);
  table->First();
  lines.Add(dashes);
  lines.Add(header);
  lines.Add(dashes);
  // To the table's end rather than a count taken beforehand: a count that ran past the last
  // town would write it again.
  for (Integer index = 1; !table->GetEOF(); ++index) {
    if (progress) progress(index);
    lines.Add(fields.Line());
    table->Next();
  }
}

namespace {

[[noreturn]] void CannotCreate(const AnsiString& fileName, int error) {
  throw EFCreateError("Cannot create file \"" + fileName + "\". " + Utf8ToAnsi(std::strerror(error)));
}

// Writes all of `bytes` to the descriptor; false with errno set on a failure.
bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += std::size_t(n);
  }
  return true;
}

}  // namespace

void ReplaceFileContents(const AnsiString& fileName, const std::string& bytes) {
  const std::string target = ResolveFileName(fileName);
  // The file keeps its permissions; a new one gets those of a newly created file.
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  // A file without any write permission is read-only even to a user whom the system would let
  // write it anyway.
  if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
    CannotCreate(fileName, S_ISREG(old.st_mode) ? EACCES : EISDIR);
  mode_t mode = 0666;
  if (exists) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = folder + "." + name + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) CannotCreate(fileName, errno);
  const bool written = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  const int writeError = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(temp.c_str());
    throw EWriteError("Stream write error: \"" + fileName + "\". " +
                      Utf8ToAnsi(std::strerror(written ? errno : writeError)));
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    CannotCreate(fileName, error);
  }
}

void WriteTownExport(TDataSet* table, const AnsiString& fileName, TExportProgressEvent progress) {
  TStringList lines;
  AddTownExportLines(table, lines, progress);
  ReplaceFileContents(fileName, std::string(lines.GetText()));
}

void ReopenTownTable(TDataSet* table, Integer savedId) {
  table->Close();
  table->Open();
  if (savedId > 0)
    table->Locate("ID", Variant(savedId), TLocateOptions{loCaseInsensitive});
  else
    table->First();
}

void ShowExportFileError() { Application->MessageBox("Невозможно записать файл"_a, "Ошибка"_a, MB_ICONERROR); }

}  // namespace orv
