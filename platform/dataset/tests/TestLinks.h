// Helpers shared by the dataset tests: an owner that frees its components, and a data link
// that records what it hears.
#pragma once

#include <string>
#include <vector>

#include "platform/dataset/DataSource.h"

namespace orvtest {

struct Owner {
  TComponent* Root = new TComponent(nullptr);
  ~Owner() { Root->Free(); }
};

class TLogLink : public TDataLink {
 public:
  TLogLink(std::vector<std::string>* log, std::string name, bool visual = false)
      : FLog(log), FName(std::move(name)) {
    SetVisualControl(visual);
  }
  Integer Scrolled = 0;
  Integer Changes = 0;
  TField* Focused = nullptr;
  bool TakeFocus = false;
  TField* Pending = nullptr;  // written by UpdateData
  AnsiString PendingText;

 protected:
  void ActiveChanged() override { Add(GetActive() ? "active" : "inactive"); }
  void DataSetChanged() override {
    ++Changes;
    Add("changed");
  }
  void DataSetScrolled(Integer distance) override {
    Scrolled += distance;
    Add("scrolled " + std::to_string(distance));
  }
  void LayoutChanged() override { Add("layout"); }
  void RecordChanged(TField* field) override {
    Add(field ? "record " + field->GetFieldName() : "record");
  }
  void EditingChanged() override { Add(GetEditing() ? "editing" : "browsing"); }
  void UpdateData() override {
    Add("update");
    if (Pending) Pending->SetAsString(PendingText);
  }
  void FocusControl(TField*& field) override {
    Add("focus " + field->GetFieldName());
    Focused = field;
    if (TakeFocus) field = nullptr;
  }

 private:
  void Add(const std::string& s) {
    if (FLog) FLog->push_back(FName + ": " + s);
  }
  std::vector<std::string>* FLog;
  std::string FName;
};

template <class L>
void FreeLink(L*& link) {
  TDataLink* l = link;
  link = nullptr;
  l->Free();
}

}  // namespace orvtest
