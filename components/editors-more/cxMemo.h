// The memo editor: the multi-line text editor. Its inner control is a multi-line edit with word
// wrap, Enter and Tab taken as input by the memo's rules, optional scroll bars and a height
// fitted to a number of visible lines; the edit value is the whole text with CR LF breaks.
#pragma once

#include "components/editors/cxTextEdit.h"

class TcxCustomMemoProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TcxCustomMemoProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxCustomMemoProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  Boolean IsTabKeyConsumed() override { return FWantTabs; }
  Boolean IsMultiLine() override { return true; }
  // The one-line form: the first line, at most 250 characters.
  void EditValueToDisplayText(const Variant& value, AnsiString& text) override;
  Integer GetValueExchangeMode(Boolean focused) override;

  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  Integer GetVisibleLineCount() const { return FVisibleLineCount; }
  // Negative values become 0 (no fitting).
  void SetVisibleLineCount(Integer value);
  Boolean GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(Boolean value);
  Boolean GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(Boolean value);
  Boolean GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(Boolean value);

 private:
  TScrollStyle FScrollBars = ssNone;
  Integer FVisibleLineCount = 0;
  Boolean FWantReturns = true;
  Boolean FWantTabs = false;
  Boolean FWordWrap = true;
};

class TcxMemoProperties : public TcxCustomMemoProperties {
  ORV_CLASS(TcxMemoProperties, TcxCustomMemoProperties)
 public:
  explicit TcxMemoProperties(TPersistent* owner) : TcxCustomMemoProperties(owner) {}
};

class TcxCustomMemoViewData : public TcxCustomTextEditViewData {
  ORV_CLASS(TcxCustomMemoViewData, TcxCustomTextEditViewData)
 public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  Cardinal GetDrawTextFlags() override;
  TRect GetTextAreaMargins() override;
  Integer GetLineCountLimit() override;
  // Room for VisibleLineCount lines, and for a horizontal scroll bar.
  void CalculateEditSize(TcxCanvas* canvas, Boolean isInplace, const Variant& value, TcxCustomEditViewInfo* viewInfo,
                         TSize& frameSize, TSize& minContentSize, const TcxEditSizeProperties& sizeLimits) override;
};

class TcxCustomMemo;

// The multi-line inner edit: Enter and Tab by the memo's rules, pasted line breaks normalised.
class TcxCustomInnerMemo : public TcxCustomInnerTextEdit {
  ORV_CLASS(TcxCustomInnerMemo, TcxCustomInnerTextEdit)
 public:
  explicit TcxCustomInnerMemo(TComponent* owner);
  ~TcxCustomInnerMemo() override;
  void Dispatch(TMessage& message) override;
  Boolean GetMultiLine() override { return true; }

  // The lines as the memo shows them (a wrapped line is several lines).
  TStrings* GetLines() const { return FLines; }
  // Column and line of the caret.
  TPoint GetCaretPos();
  void SetCaretPos(TPoint value);
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  Boolean GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(Boolean value) { FWantReturns = value; }
  Boolean GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(Boolean value) { FWantTabs = value; }
  Boolean GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(Boolean value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  Boolean PassesUnchangedKeyToOwner(Word key) override { return key != VK_UP && key != VK_DOWN; }

 private:
  TcxCustomMemo* Memo() const;
  // The non-client area without the native scroll bars the editor's own ones cover.
  void PaintNonClient(TMessage& message);
  Boolean FEscapePressed = false;
  Boolean FCtrlHeld = false;
  TStrings* FLines;
  TScrollStyle FScrollBars = ssNone;
  Boolean FWantReturns = true;
  Boolean FWantTabs = false;
  Boolean FWordWrap = true;
};

class TcxCustomMemo : public TcxCustomTextEdit {
  ORV_CLASS(TcxCustomMemo, TcxCustomTextEdit)
 public:
  explicit TcxCustomMemo(TComponent* owner) : TcxCustomTextEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  TClass GetInnerEditClass() override;
  Boolean InnerEditDisplaysText() override { return true; }
  Boolean CanAutoSize() override;
  Boolean IsValueChangingKey(Word key, TShiftState shift) override;
  Boolean PassesActivationKey(char key) override { return key != '\r'; }
  Boolean WantsTabKey() override { return inherited::WantsTabKey() || MemoProperties()->GetWantTabs(); }
  Boolean HasEditableText() override { return CanEditPlainText(); }
  void HandlePropertiesChange(TObject* sender) override;
  void AdjustInnerEditPosition() override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void SetSelectedText(const AnsiString& text) override;
  void PasteFromClipboard() override;
  void HandleInnerEditChange(TObject* sender) override;

  // ---- New virtual operations ----
  virtual Boolean IsMemoInputKey(Word key, TShiftState shift, Boolean tabAllowed);

  TcxCustomInnerMemo* GetInnerMemo() { return dynamic_cast<TcxCustomInnerMemo*>(GetInnerEdit()); }
  TStrings* GetLines();
  void SetLines(TStrings* value) { GetLines()->Assign(value); }
  TcxCustomMemoProperties* MemoProperties() {
    return static_cast<TcxCustomMemoProperties*>(GetEffectiveProperties());
  }

  Integer GetLastScrollPos() const { return FLastScrollPos; }
  // The editor's own scroll bars stand over the inner memo's native ones.
  Boolean HasOwnScrollBars() { return NeedsScrollBars(); }

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
  // Lines read from a form description give the edit value.
  void ReadState(TReader* reader) override;
  // The editor draws its own scroll bars over the inner memo's native ones once ScrollBars has
  // been given to the inner memo.
  Boolean NeedsScrollBars() override;
  Boolean CanScrollWithoutScrollBars(TcxDirection direction) override {
    return direction == dirUp || direction == dirDown;
  }
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;

 private:
  Boolean FPlacingInner = false;
  Boolean FScrollBarsApplied = false;
  Integer FLastScrollPos = 0;
};

class TcxMemo : public TcxCustomMemo {
  ORV_CLASS(TcxMemo, TcxCustomMemo)
 public:
  using TcxCustomMemo::TcxCustomMemo;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxMemoProperties* GetProperties() { return static_cast<TcxMemoProperties*>(TcxCustomMemo::GetProperties()); }
  void SetProperties(TcxMemoProperties* value) { GetProperties()->Assign(value); }
};

// Memo values in the filter control: "like" and "not like", blanks and non-blanks only.
class TcxFilterMemoHelper : public TcxFilterTextEditHelper {
  ORV_CLASS(TcxFilterMemoHelper, TcxFilterTextEditHelper)
 public:
  TcxFilterMemoHelper() = default;
  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override;
};
