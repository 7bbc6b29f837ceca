// Styles: named visual settings (background bitmap, background colour, font, text colour) that
// a form defines once in a style repository and attaches to many visual elements; styles
// objects map element indexes to styles, fall back to style sheets and merge a style with an
// element's default parameters.
//
// This header names the graphics classes only by declaration, so that painters can include it
// beside the component canvas; the few graphics services the painters need (a font's handle,
// tiling a bitmap) are the functions in namespace orv below.
#pragma once

#include <vector>

#include "components/foundation/cxClasses.h"
#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Sets.h"
#include "platform/runtime/Types.h"

class TFont;
class TBitmap;
class TcxCustomStyle;
class TcxStyle;
class TcxCustomStyles;
class TcxCustomStyleSheet;
class TcxStyleRepository;

// The parameters an element is drawn with; clDefault colours and nil objects mean "none".
struct TcxViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clDefault;
  TFont* Font = nullptr;
  TColor TextColor = clDefault;
};
using TcxStyleParams = TcxViewParams;

namespace orv {
// The font's handle (nullptr for no font).
HFONT FontHandle(TFont* font);
TColor FontColor(TFont* font);
Boolean IsBitmapEmpty(TBitmap* bitmap);
// Tiles the bitmap over the rectangle of the DC, the tiles aligned to the DC's origin.
void TileBitmap(HDC dc, const TRect& rect, TBitmap* bitmap);
}  // namespace orv

enum TcxStyleValue { svBitmap, svColor, svFont, svTextColor };
using TcxStyleValues = orv::Set<TcxStyleValue>;

// Told when a style it uses changes or goes away (it detaches itself in StyleDestroying).
class IcxStyleObserver : public virtual IInterface {
 public:
  virtual void StyleModified(TcxCustomStyle* style) = 0;
  virtual void StyleDestroying(TcxCustomStyle* style) = 0;
};

// The base control's font listeners: told when the control's font changes.
class IcxControlFontListener : public virtual IInterface {
 public:
  virtual void ControlFontChanged(TObject* sender, TFont* font) = 0;
};

// ---- Styles ---------------------------------------------------------------------------------

class TcxCustomStyle : public TComponent {
  ORV_CLASS(TcxCustomStyle, TComponent)
 public:
  explicit TcxCustomStyle(TComponent* owner);
  void BeforeDestruction() override;

  // Every observer, from the last to the first, hears StyleModified.
  virtual void NotifyListeners();
  // Adds an observer once.
  virtual void AttachListener(IcxStyleObserver* listener);
  virtual void DetachListener(IcxStyleObserver* listener);
  virtual void ResetValues() {}
  Integer GetListenerCount() const { return Integer(FListeners.size()); }

  TcxStyleRepository* GetStyleRepository() const { return FStyleRepository; }
  // Moves the style from its repository's list to the new one's.
  void SetStyleRepository(TcxStyleRepository* value);

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  // A style read as a child of a repository joins it (SetParentComponent waits while loading).
  void ReadState(TReader* reader) override;

  // The bars: the listener names of their item styles data.
  void AddListener(IcxStyleObserver* listener) { AttachListener(listener); }
  void RemoveListener(IcxStyleObserver* listener) { DetachListener(listener); }

 private:
  std::vector<IcxStyleObserver*> FListeners;
  TcxStyleRepository* FStyleRepository = nullptr;
};

using TcxCustomStyleClass = orv::ClassOf<TcxCustomStyle>;

class TcxStyle : public TcxCustomStyle {
  ORV_CLASS(TcxStyle, TcxCustomStyle)
 public:
  explicit TcxStyle(TComponent* owner);
  ~TcxStyle() override;

  void Assign(TPersistent* source) override;
  void ResetValues() override;
  void ReadState(TReader* reader) override;

  TcxStyleValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxStyleValues value);
  TBitmap* GetBitmap() const { return FBitmap; }
  // Copies the bitmap; an empty one clears svBitmap.
  void SetBitmap(TBitmap* value);
  TColor GetColor() const { return FColor; }
  // clDefault clears svColor, any other colour sets it.
  void SetColor(TColor value);
  TFont* GetFont() const { return FFont; }
  // Copies the font and sets svFont.
  void SetFont(TFont* value);
  TColor GetTextColor() const { return FTextColor; }
  void SetTextColor(TColor value);

 private:
  void BitmapChanged(TObject* sender);
  void FontChanged(TObject* sender);
  TcxStyleValues FAssignedValues;
  TBitmap* FBitmap;
  TColor FColor = clDefault;
  TFont* FFont;
  TColor FTextColor = clDefault;
};

// ---- Repository -----------------------------------------------------------------------------

class TcxStyleRepository : public TComponent {
  ORV_CLASS(TcxStyleRepository, TComponent)
 public:
  explicit TcxStyleRepository(TComponent* owner);
  void BeforeDestruction() override;

  virtual TcxCustomStyle* CreateStyle(TcxCustomStyleClass styleClass) {
    return CreateStyleOwned(styleClass, this);
  }
  virtual TcxCustomStyle* CreateStyleOwned(TcxCustomStyleClass styleClass, TComponent* owner);
  virtual TcxCustomStyleSheet* CreateSheet(orv::ClassOf<TcxCustomStyleSheet> sheetClass) {
    return CreateSheetOwned(sheetClass, this);
  }
  virtual TcxCustomStyleSheet* CreateSheetOwned(orv::ClassOf<TcxCustomStyleSheet> sheetClass,
                                                TComponent* owner);

  Integer GetCount() const { return Integer(FItems.size()); }
  TcxCustomStyle* GetItem(Integer index) const { return FItems[std::size_t(index)]; }
  Integer GetStyleSheetCount() const { return Integer(FStyleSheets.size()); }
  TcxCustomStyleSheet* GetStyleSheet(Integer index) const {
    return FStyleSheets[std::size_t(index)];
  }
  Boolean GetScalable() const { return FScalable; }
  void SetScalable(Boolean value) { FScalable = value; }
  // The "PixelsPerInch" stored with the form (0: none).
  Integer GetPixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer value) { FPixelsPerInch = value; }
  // A font height saved at the stored pixels per inch, on this screen.
  Integer ScaleFontHeight(Integer height) const;

  void GetChildren(TGetChildProc proc, TComponent* root) override;

 protected:
  // "PixelsPerInch": the screen's, written with the form; read back, it is the stored value
  // the styles' fonts are scaled from.
  void DefineProperties(TFiler* filer) override;

 private:
  friend class TcxCustomStyle;
  friend class TcxCustomStyleSheet;
  void ReadPixelsPerInch(TReader* reader);
  void WritePixelsPerInch(TWriter* writer);
  std::vector<TcxCustomStyle*> FItems;
  Integer FPixelsPerInch = 0;
  Boolean FScalable = false;
  std::vector<TcxCustomStyleSheet*> FStyleSheets;
};

// ---- Styles objects ---------------------------------------------------------------------------

class TcxCustomStylesItem : public TObject {
  ORV_CLASS(TcxCustomStylesItem, TObject)
 public:
  TcxCustomStylesItem(Integer index, TcxCustomStyle* style) : Index(index), Style(style) {}
  Integer Index;
  TcxCustomStyle* Style;
};

class TcxCustomStyles : public TcxInterfacedPersistent, public IcxStyleObserver {
  ORV_CLASS(TcxCustomStyles, TcxInterfacedPersistent)
 public:
  explicit TcxCustomStyles(TPersistent* owner);
  void BeforeDestruction() override;
  ~TcxCustomStyles() override;

  // Takes the other object's style sheet.
  void Assign(TPersistent* source) override;

  // The own item's style, else the style sheet's (through sheets of sheets).
  TcxCustomStyle* FindStyle(Integer index) const;
  TcxCustomStyleSheet* GetStyleSheet() const { return FStyleSheet; }
  // Ignored when unchanged or not acceptable (another class of styles, its own sheet, a cycle).
  void SetStyleSheet(TcxCustomStyleSheet* value);
  void ClearItems();
  void DeleteItem(Integer position);
  Integer ItemCount() const { return Integer(FItems.size()); }
  TcxCustomStylesItem* ItemAt(Integer position) const { return FItems[std::size_t(position)]; }
  TcxCustomStyleSheet* GetOwnerSheet() const { return FOwnerSheet; }

  // IcxStyleObserver.
  void StyleModified(TcxCustomStyle* style) override;
  void StyleDestroying(TcxCustomStyle* style) override;

 protected:
  // The element of the index must be drawn again; nothing here.
  virtual void StyleChanged(Integer index) {}
  virtual void NotifyChanged(Integer index);
  // The style of the index becomes `style` (nil removes the own item).
  void SetValue(Integer index, TcxCustomStyle* style);
  Boolean IsDestroying() const { return FDestroying; }

 private:
  friend class TcxCustomStyleSheet;
  // Position of the own item of the index, or where it would go (found false).
  Integer Find(Integer index, Boolean& found) const;
  Boolean IsSheetAcceptable(TcxCustomStyleSheet* sheet) const;
  void CollectSheetIndexes(TcxCustomStyleSheet* sheet, std::vector<Integer>& indexes) const;

  Boolean FDestroying = false;
  std::vector<TcxCustomStylesItem*> FItems;
  TcxCustomStyleSheet* FStyleSheet = nullptr;
  TcxCustomStyleSheet* FOwnerSheet = nullptr;
};

using TcxCustomStylesClass = orv::ClassOf<TcxCustomStyles>;

class TcxStyles : public TcxCustomStyles, public IcxControlFontListener {
  ORV_CLASS(TcxStyles, TcxCustomStyles)
 public:
  explicit TcxStyles(TPersistent* owner) : TcxCustomStyles(owner) {}

  // The parameters an element of the index is drawn with: the explicit style's assigned values,
  // then the index's style's, then the defaults for what is still missing.
  void ResolveStyleParams(Integer index, TObject* data, TcxStyle* style, TcxViewParams& params);
  TcxStyle* GetStyleValue(Integer index) const;
  void SetStyleValue(Integer index, TcxStyle* value) { SetValue(index, value); }
  // The style's bitmap when it assigns a non-empty one.
  TBitmap* GetStyleBitmap(Integer index) const;
  void ControlFontChanged(TObject* sender, TFont* font) override;

  Boolean GetUseBitmap() const { return FUseBitmap; }
  void SetUseBitmap(Boolean value) { FUseBitmap = value; }
  Integer GetMaxDefaultViewParamsIndex() const { return FMaxDefaultViewParamsIndex; }

 protected:
  // The element's own defaults; the base sets no bitmap and records the highest index asked.
  virtual void GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params);
  // The index's style does not assign a font.
  virtual Boolean IsFontUnassigned(Integer index) const;

 private:
  Integer FMaxDefaultViewParamsIndex = -1;
  Boolean FUseBitmap = false;
};

// ---- Style sheets ---------------------------------------------------------------------------

class TcxCustomStyleSheet : public TcxComponent {
  ORV_CLASS(TcxCustomStyleSheet, TcxComponent)
 public:
  explicit TcxCustomStyleSheet(TComponent* owner);
  void BeforeDestruction() override;

  // The class of the sheet's own styles object; sheets of views return their styles classes.
  virtual TcxCustomStylesClass StylesClass() const { return TcxCustomStyles::StaticClass(); }

  // The stored caption, or the name when none is stored.
  AnsiString GetCaption() const { return FCaption.empty() ? GetName() : FCaption; }
  // A caption equal to the name (ignoring case) is not stored, so that it follows renames.
  void SetCaption(const AnsiString& value);
  Boolean GetBuiltIn() const { return FBuiltIn; }
  void SetBuiltIn(Boolean value) { FBuiltIn = value; }
  // The sheet's own styles object, made on first use with the class of StylesClass.
  TcxCustomStyles* GetStylesValue() const;
  void SetStylesValue(TcxCustomStyles* value) { GetStylesValue()->Assign(value); }
  TcxStyleRepository* GetStyleRepository() const { return FStyleRepository; }
  void SetStyleRepository(TcxStyleRepository* value);
  Integer GetUserCount() const { return Integer(FUsers.size()); }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  // A sheet read as a child of a repository joins it.
  void ReadState(TReader* reader) override;

 protected:
  // A style of the sheet changed: every styles object that uses the sheet is told.
  virtual void StyleIndexChanged(Integer index);
  void CollectFakeComponentLinks(TList* list) override;
  // "BuiltIn", always written.
  void DefineProperties(TFiler* filer) override;

 private:
  friend class TcxCustomStyles;
  void ReadBuiltIn(TReader* reader);
  void WriteBuiltIn(TWriter* writer);
  Boolean FBuiltIn = false;
  AnsiString FCaption;
  mutable TcxCustomStyles* FStyles = nullptr;
  std::vector<TcxCustomStyles*> FUsers;
  TcxStyleRepository* FStyleRepository = nullptr;
};

using TcxCustomStyleSheetClass = orv::ClassOf<TcxCustomStyleSheet>;
