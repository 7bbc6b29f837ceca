// The dxBar unit, continued: screen tips, the rich hints of items (a header, a description and
// a footer, each with text, alignment and an optional glyph), kept in a repository component
// with their fonts and a standard footer, and the hint view info that shows one.

#pragma once

#include "components/bars/dxBar.h"
#include "components/foundation/cxClasses.h"

class TBitmap;
class TFont;
class TdxBarScreenTip;
class TdxBarScreenTipRepository;

enum TdxBarScreenTipBandType { stbHeader, stbDescription, stbFooter };
using TdxScreenTipRepositoryFonts = orv::Set<TdxBarScreenTipBandType>;
enum TdxBarScreenTipBandTextAlign { stbtaLeft, stbtaRight };

// One band of a tip: text, alignment and glyph; a change fires the change event.
class TdxBarCustomScreenTipBand : public TPersistent {
  ORV_CLASS(TdxBarCustomScreenTipBand, TPersistent)
 public:
  explicit TdxBarCustomScreenTipBand(TdxBarScreenTipBandType bandType);
  ~TdxBarCustomScreenTipBand() override;

  TdxBarScreenTipBandType GetBandType() const { return FBandType; }
  TBitmap* GetGlyph() const { return FGlyph; }
  void SetGlyph(TBitmap* value);
  const AnsiString& GetText() const { return FText; }
  void SetText(const AnsiString& value);
  TdxBarScreenTipBandTextAlign GetTextAlign() const { return FTextAlign; }
  void SetTextAlign(TdxBarScreenTipBandTextAlign value);
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

  virtual void Changed();
  virtual TFont* GetFont() = 0;
  void Assign(TPersistent* source) override;

 private:
  TdxBarScreenTipBandType FBandType;
  TBitmap* FGlyph;
  AnsiString FText;
  TdxBarScreenTipBandTextAlign FTextAlign = stbtaRight;
  TNotifyEvent FOnChange;
};

class TdxBarScreenTipBand : public TdxBarCustomScreenTipBand {
  ORV_CLASS(TdxBarScreenTipBand, TdxBarCustomScreenTipBand)
 public:
  TdxBarScreenTipBand(TdxBarScreenTip* screenTip, TdxBarScreenTipBandType bandType)
      : TdxBarCustomScreenTipBand(bandType), FScreenTip(screenTip) {}
  TFont* GetFont() override;

 private:
  TdxBarScreenTip* FScreenTip;
};

class TdxBarScreenTipFooterBand : public TdxBarCustomScreenTipBand {
  ORV_CLASS(TdxBarScreenTipFooterBand, TdxBarCustomScreenTipBand)
 public:
  explicit TdxBarScreenTipFooterBand(TdxBarScreenTipRepository* repository)
      : TdxBarCustomScreenTipBand(stbFooter), FRepository(repository) {}
  TFont* GetFont() override;

 private:
  TdxBarScreenTipRepository* FRepository;
};

class TdxBarScreenTip : public TcxComponentCollectionItem {
  ORV_CLASS(TdxBarScreenTip, TcxComponentCollectionItem)
 public:
  explicit TdxBarScreenTip(TComponent* owner);
  ~TdxBarScreenTip() override;

  TdxBarScreenTipBand* GetHeader() const { return FHeader; }
  void SetHeader(TdxBarScreenTipBand* value) { FHeader->Assign(value); }
  TdxBarScreenTipBand* GetDescription() const { return FDescription; }
  void SetDescription(TdxBarScreenTipBand* value) { FDescription->Assign(value); }
  TdxBarScreenTipBand* GetFooter() const { return FFooter; }
  void SetFooter(TdxBarScreenTipBand* value) { FFooter->Assign(value); }
  Boolean GetUseHintAsHeader() const { return FUseHintAsHeader; }
  void SetUseHintAsHeader(Boolean value) { FUseHintAsHeader = value; }
  Boolean GetUseStandardFooter() const { return FUseStandardFooter; }
  void SetUseStandardFooter(Boolean value) { FUseStandardFooter = value; }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer value) { FWidth = value; }
  // Width, else 318 with a description glyph and 210 without, scaled to the screen.
  Integer GetActualWidth();
  TdxBarScreenTipRepository* GetRepository() const;

  void Assign(TPersistent* source) override;
  void SetName(const AnsiString& newName) override;
  AnsiString GetDisplayName() override;

 protected:
  TcxComponentCollection* GetParentCollection(TComponent* parent) override;

 private:
  TdxBarScreenTipBand* FHeader;
  TdxBarScreenTipBand* FDescription;
  TdxBarScreenTipBand* FFooter;
  Boolean FUseHintAsHeader = false;
  Boolean FUseStandardFooter = false;
  Integer FWidth = 0;
};

class TdxBarScreenTipCollection : public TcxComponentCollection {
  ORV_CLASS(TdxBarScreenTipCollection, TcxComponentCollection)
 public:
  explicit TdxBarScreenTipCollection(TdxBarScreenTipRepository* repository);
  TdxBarScreenTip* GetItem(Integer index) const { return static_cast<TdxBarScreenTip*>(GetItemAt(index)); }
  TdxBarScreenTip* Add() { return static_cast<TdxBarScreenTip*>(AddItem()); }
  Integer GetCount() const { return GetItemCount(); }

 protected:
  void NameNewItem(TcxComponentCollectionItem* item) override;
};

class TdxBarScreenTipRepository : public TComponent {
  ORV_CLASS(TdxBarScreenTipRepository, TComponent)
 public:
  explicit TdxBarScreenTipRepository(TComponent* owner);
  ~TdxBarScreenTipRepository() override;

  TdxScreenTipRepositoryFonts GetAssignedFonts() const { return FAssignedFonts; }
  void SetAssignedFonts(TdxScreenTipRepositoryFonts value) { FAssignedFonts = value; }
  TdxBarScreenTipCollection* GetItems() const { return FItems; }
  void SetItems(TdxBarScreenTipCollection* value) { FItems->Assign(value); }
  TFont* GetDescriptionFont() const { return FFonts[stbDescription]; }
  void SetDescriptionFont(TFont* value);
  TFont* GetFooterFont() const { return FFonts[stbFooter]; }
  void SetFooterFont(TFont* value);
  TFont* GetHeaderFont() const { return FFonts[stbHeader]; }
  void SetHeaderFont(TFont* value);
  TdxBarScreenTipFooterBand* GetStandardFooter() const { return FStandardFooter; }
  void SetStandardFooter(TdxBarScreenTipFooterBand* value) { FStandardFooter->Assign(value); }
  Boolean GetShowDescription() const { return FShowDescription; }
  void SetShowDescription(Boolean value) { FShowDescription = value; }

  // The font of a band type: the own one when assigned, else one that follows the hint font.
  TFont* GetFont(TdxBarScreenTipBandType bandType);
  void Assign(TPersistent* source) override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;

 protected:
  virtual TdxBarScreenTipCollection* CreateItems();

 private:
  void FontChanged(TObject* sender);
  void InitFont(TFont* font, TdxBarScreenTipBandType bandType);
  TdxScreenTipRepositoryFonts FAssignedFonts;
  TdxBarScreenTipCollection* FItems = nullptr;
  TFont* FFonts[3] = {};
  TFont* FUnassignedFont = nullptr;
  TdxBarScreenTipFooterBand* FStandardFooter = nullptr;
  Boolean FShowDescription = true;
};

// A screen tip shown by the hint window: the header in bold, the description below it and the
// footer under a separating line, in the tip's width (the hint text as header when asked, the
// repository's standard footer when asked).
class TdxBarScreenTipViewInfo : public TdxBarCustomHintViewInfo {
  ORV_CLASS(TdxBarScreenTipViewInfo, TdxBarCustomHintViewInfo)
 public:
  TdxBarScreenTipViewInfo(TdxBarManager* manager, TdxBarScreenTip* screenTip, const AnsiString& hint,
                          const AnsiString& shortCut);
  Boolean IsScreenTip() override { return true; }
  void Calculate(TCanvas* canvas) override;
  void Paint(TCanvas* canvas) override;
  void PrepareHintWindow(TdxBarHintWindow* window) override;
  AnsiString GetHeaderText() const;

 private:
  struct TBand {
    TdxBarCustomScreenTipBand* Band = nullptr;
    AnsiString Text;
    TRect Bounds;
  };
  void AddBand(TdxBarCustomScreenTipBand* band, const AnsiString& text);
  TdxBarScreenTip* FScreenTip;
  AnsiString FHint;
  AnsiString FShortCut;
  std::vector<TBand> FBands;
  Integer FFooterLine = -1;
};
