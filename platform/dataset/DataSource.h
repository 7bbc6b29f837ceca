// TDataSource connects a dataset to its data links (grids, editors, data controllers);
// TDataLink is the base of every such link.
//
// A data source passes each data event of its dataset to its links, the non-visual links
// (VisualControl false) before the visual ones. A link sees `BufferCount` consecutive records of
// the dataset's ring, the active record among them; it turns the dataset's events into the
// virtual notifications below.
#pragma once

#include <vector>

#include "platform/dataset/DataSet.h"

using TDataChangeEvent = orv::Event<void(TObject* sender, TField* field)>;

class TDataSource : public TComponent {
  ORV_CLASS(TDataSource, TComponent)
 public:
  explicit TDataSource(TComponent* owner);
  void BeforeDestruction() override;

  TDataSet* GetDataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool value);
  // Whether a link's Edit may put a browsing dataset into edit state.
  bool GetAutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool value) { FAutoEdit = value; }
  // The dataset's state as the links saw it last (inactive when disabled or without dataset).
  TDataSetState GetState() const { return FState; }
  // Puts a browsing dataset into edit state when AutoEdit allows it.
  void Edit();
  bool IsLinkedTo(TDataSet* dataSet) const;

  Integer GetDataLinkCount() const { return static_cast<Integer>(FDataLinks.size()); }
  TDataLink* GetDataLink(Integer index) const { return FDataLinks[index]; }

  TNotifyEvent GetOnStateChange() const { return FOnStateChange; }
  void SetOnStateChange(TNotifyEvent value) { FOnStateChange = value; }
  TDataChangeEvent GetOnDataChange() const { return FOnDataChange; }
  void SetOnDataChange(TDataChangeEvent value) { FOnDataChange = value; }
  TNotifyEvent GetOnUpdateData() const { return FOnUpdateData; }
  void SetOnUpdateData(TNotifyEvent value) { FOnUpdateData = value; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TDataSet;
  friend class TDataLink;

  void DataEvent(TDataEvent event, NativeInt info);
  void NotifyDataLinks(TDataEvent event, NativeInt info);
  void AddDataLink(TDataLink* link);
  void RemoveDataLink(TDataLink* link);
  void UpdateState();

  TDataSet* FDataSet = nullptr;
  std::vector<TDataLink*> FDataLinks;
  TDataSetState FState = dsInactive;
  bool FEnabled = true;
  bool FAutoEdit = true;
  TNotifyEvent FOnStateChange;
  TDataChangeEvent FOnDataChange;
  TNotifyEvent FOnUpdateData;
};

class TDataLink : public TPersistent {
  ORV_CLASS(TDataLink, TPersistent)
 public:
  TDataLink();
  // Leaves its data source.
  void BeforeDestruction() override;

  TDataSource* GetDataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* value);
  // A fixed data source cannot be changed (raises "DataSource cannot be changed").
  bool GetDataSourceFixed() const { return FDataSourceFixed; }
  void SetDataSourceFixed(bool value) { FDataSourceFixed = value; }
  TDataSet* GetDataSet() const;
  // The data source is enabled and its dataset is open.
  bool GetActive() const { return FActive; }
  // The dataset is in edit, insert or set-key state (and the link is not read-only).
  bool GetEditing() const { return FEditing; }
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // Links of controls (true) hear of data events after the other links.
  bool GetVisualControl() const { return FVisualControl; }
  void SetVisualControl(bool value) { FVisualControl = value; }

  // How many records the link shows; the dataset keeps at least the largest BufferCount of its
  // links in its ring.
  Integer GetBufferCount() const { return FBufferCount; }
  virtual void SetBufferCount(Integer value);
  // Records the link's rows hold (at most BufferCount).
  Integer GetRecordCount() const;
  // The row of the dataset's active record among the link's rows.
  Integer GetActiveRecord() const;
  // Makes row `value` the dataset's active record for reading its fields; no notification.
  // Set it back when done.
  void SetActiveRecord(Integer value);

  // Puts the dataset into edit state through the data source; whether it is editing now.
  bool Edit();
  // Asks the link to write its control's value (UpdateData), guarded against re-entry.
  void UpdateRecord();
  virtual bool ExecuteAction(TObject* action) { return false; }
  virtual bool UpdateAction(TObject* action) { return false; }

 protected:
  // The dataset opened or closed (see GetActive).
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  // Every event of the data source; the base dispatches to the notifications below.
  virtual void DataEvent(TDataEvent event, NativeInt info);
  // The records changed as a whole (opened, First, Last, Resync, filter ...).
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  // The link's rows moved by `distance` records (negative: backwards); with BufferCount 1 this
  // is the number of records the cursor moved.
  virtual void DataSetScrolled(Integer distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  // A control should take the focus for `field`; a handler that does clears `field`, and the
  // links after it are not asked.
  virtual void FocusControl(TField*& field) {}
  virtual void LayoutChanged() { DataSetChanged(); }
  // The active record's values changed (`field` nullptr: several).
  virtual void RecordChanged(TField* field) {}
  // Write the control's pending value into the field.
  virtual void UpdateData() {}

 private:
  friend class TDataSource;
  friend class TDataSet;

  void SetActive(bool value);
  void SetEditing(bool value);
  void UpdateState();
  // Keeps the link's first row such that the active record lies within its rows.
  void UpdateRange();
  // The dataset's ring, or nullptr while the link is inactive.
  TDataSet* ActiveDataSet() const;

  TDataSource* FDataSource = nullptr;
  Integer FFirstRecord = 0;
  Integer FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FUpdating = false;
  bool FVisualControl = false;
  bool FDataSourceFixed = false;
};
