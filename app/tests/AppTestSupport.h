// Helpers of the program's tests: temporary data folders, a data module started on a chosen
// folder, message boxes recorded instead of shown, and direct reads of a town table.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/UDM.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Backend.h"

namespace apptest {

inline std::string BundledTable() { return std::string(ORV_SOURCE_DIR) + "/DB/ORVANE.DBF"; }

inline std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

// A fresh folder, removed with everything in it at the end of the scope.
class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    FPath = std::filesystem::temp_directory_path() /
            ("orv-app-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(FPath);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder with a trailing separator, as the system holds names.
  AnsiString Dir() const { return orv::Utf8ToAnsi(FPath.string()) + "/"; }
  std::string File(const std::string& name) const { return (FPath / name).string(); }

 private:
  std::filesystem::path FPath;
};

// The program's data module started on a folder of the test's choice instead of the one beside
// the program.
class TTestDM : public TDM {
  ORV_CLASS(TTestDM, TDM)
 public:
  explicit TTestDM(TComponent* owner) : TDM(owner) {}
  // The folder the next module connects to.
  static AnsiString& Folder() {
    static AnsiString folder;
    return folder;
  }

 protected:
  AnsiString DataFolder() const override { return Folder(); }
};

struct FreeDM {
  void operator()(TDM* dm) const {
    if (DM == dm) DM = nullptr;
    dm->Free();
  }
};
using DMPtr = std::unique_ptr<TDM, FreeDM>;

// Creates the data module as the program does (TApplication::CreateForm into DM), on `folder`.
inline DMPtr StartDataModule(const AnsiString& folder) {
  TTestDM::Folder() = folder;
  Application->CreateForm(TTestDM::StaticClass(),
                          [](TComponent* c) { DM = static_cast<TDM*>(c); });
  return DMPtr(DM);
}

// Message boxes recorded and answered with OK while the object lives.
struct MessageBoxes {
  struct Box {
    AnsiString Text;
    AnsiString Caption;
    UINT Type;
  };
  MessageBoxes() {
    orv::SetMessageBoxHandler([this](HWND, const AnsiString& text, const AnsiString& caption, UINT type) {
      Shown.push_back({text, caption, type});
      return IDOK;
    });
  }
  ~MessageBoxes() { orv::SetMessageBoxHandler(nullptr); }
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;
  std::vector<Box> Shown;
};

// The IDs of the records the table shows, from its first record on.
inline std::vector<Integer> ShownIds(TDataSet* table) {
  std::vector<Integer> ids;
  TField* id = table->FieldByName("ID");
  for (table->First(); !table->GetEOF(); table->Next()) ids.push_back(id->GetAsInteger());
  return ids;
}

}  // namespace apptest
