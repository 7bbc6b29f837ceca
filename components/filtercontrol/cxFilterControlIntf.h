// What a filterable component offers the filter control (the grid's table views implement it),
// apart from the control itself so that such components need not include it.
#pragma once

#include "components/data/cxDataStorage.h"
#include "platform/runtime/Object.h"

class TcxCustomEditProperties;
class TcxFilterCriteria;
class TComponent;

// Items are addressed by an index from 0 to GetCount() - 1.
class IcxFilterControl : public virtual IInterface {
 public:
  virtual AnsiString GetCaption(Integer index) = 0;
  virtual Integer GetCount() = 0;
  virtual TcxFilterCriteria* GetCriteria() = 0;
  virtual TObject* GetItemLink(Integer index) = 0;
  virtual Integer GetItemLinkID(Integer index) = 0;
  virtual AnsiString GetItemLinkName(Integer index) = 0;
  virtual AnsiString GetFieldName(Integer index) = 0;
  virtual TcxCustomEditProperties* GetProperties(Integer index) = 0;
  virtual TcxValueTypeClass GetValueType(Integer index) = 0;
};

// A filter control that a dialog can link to a component.
class IcxFilterControlDialog : public virtual IInterface {
 public:
  virtual void SetDialogLinkComponent(TComponent* component) = 0;
};
