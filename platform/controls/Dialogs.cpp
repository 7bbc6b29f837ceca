#include "platform/controls/Dialogs.h"
#include "platform/controls/ControlProperties.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

orv::TFileDialogHandler gFileDialogHandler;

bool IsDelimiter(char c) { return c == '/' || c == '\\'; }

AnsiString WithDelimiter(const AnsiString& dir) {
  if (!dir.empty() && IsDelimiter(dir.back())) return dir;
  return dir + "/";
}

// The parent folder of a folder name that ends with a delimiter ("" at the root).
AnsiString ParentFolder(const AnsiString& dir) {
  AnsiString d = dir;
  while (d.size() > 1 && IsDelimiter(d.back())) d.pop_back();
  const std::size_t at = d.find_last_of("/\\");
  if (at == AnsiString::npos) return AnsiString();
  return d.substr(0, at + 1);
}

bool IsAbsolute(const AnsiString& name) { return !name.empty() && IsDelimiter(name[0]); }

bool FolderExists(const AnsiString& dir) {
  std::error_code ec;
  return std::filesystem::is_directory(orv::ResolveFileName(dir), ec);
}

struct TFilterPart {
  AnsiString Description;
  std::vector<AnsiString> Masks;
};

std::vector<TFilterPart> ParseFilter(const AnsiString& filter) {
  std::vector<TFilterPart> parts;
  std::vector<AnsiString> pieces;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const std::size_t bar = filter.find('|', start);
    pieces.push_back(filter.substr(start, bar == AnsiString::npos ? AnsiString::npos : bar - start));
    if (bar == AnsiString::npos) break;
    start = bar + 1;
  }
  for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
    TFilterPart part;
    part.Description = pieces[i];
    std::size_t s = 0;
    const AnsiString& masks = pieces[i + 1];
    while (s <= masks.size()) {
      const std::size_t semi = masks.find(';', s);
      AnsiString mask = Trim(masks.substr(s, semi == AnsiString::npos ? AnsiString::npos : semi - s));
      if (!mask.empty()) part.Masks.push_back(mask);
      if (semi == AnsiString::npos) break;
      s = semi + 1;
    }
    parts.push_back(part);
  }
  return parts;
}

// The dialog form: a folder, its folders and matching files, a file name and a file type.
class TFileDialogForm : public TForm {
  ORV_CLASS(TFileDialogForm, TForm)
 public:
  TFileDialogForm(TComponent* owner, TOpenDialog* dialog, bool save)
      : TForm(owner), FDialog(dialog), FSave(save), FFilters(ParseFilter(dialog->GetFilter())) {
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetCaption(!dialog->GetTitle().empty() ? dialog->GetTitle()
                                           : save ? AnsiString("Сохранить как"_a) : AnsiString("Открыть"_a));
    SetClientWidth(420);
    SetClientHeight(270);
    FFolderLabel = Make<TLabel>("FolderLabel", 8, 8, 404, 16);
    FFolderLabel->SetAutoSize(false);
    FFileList = Make<TListBox>("FileList", 8, 28, 404, 156);
    FFileList->SetOnClick(TNotifyEvent(this, &TFileDialogForm::FileListClick));
    FFileList->SetOnDblClick(TNotifyEvent(this, &TFileDialogForm::FileListDblClick));
    Make<TLabel>("NameLabel", 8, 198, 80, 16)->SetCaption("&Имя файла:"_a);
    FFileNameEdit = Make<TEdit>("FileNameEdit", 90, 195, 236, 21);
    Make<TLabel>("TypeLabel", 8, 226, 80, 16)->SetCaption("&Тип файла:"_a);
    FFilterList = Make<TListBox>("FilterList", 90, 223, 236, 40);
    FFilterList->SetOnClick(TNotifyEvent(this, &TFileDialogForm::FilterListClick));
    FOkButton = Make<TButton>("OkButton", 334, 194, 78, 25);
    FOkButton->SetCaption(save ? AnsiString("&Сохранить"_a) : AnsiString("&Открыть"_a));
    FOkButton->SetDefault(true);
    FOkButton->SetOnClick(TNotifyEvent(this, &TFileDialogForm::OkClick));
    FCancelButton = Make<TButton>("CancelButton", 334, 224, 78, 25);
    FCancelButton->SetCaption("Отмена"_a);
    FCancelButton->SetCancel(true);
    FCancelButton->SetModalResult(mrCancel);
    for (const TFilterPart& f : FFilters) FFilterList->GetItems()->Add(f.Description);
    FFilterIndex = std::clamp(dialog->GetFilterIndex(), 1, std::max<Integer>(1, Integer(FFilters.size()))) - 1;
    if (!FFilters.empty()) FFilterList->SetItemIndex(FFilterIndex);
    // The start folder: the file name's, the initial folder, or the current one.
    AnsiString name = dialog->GetFileName();
    AnsiString dir = dialog->GetInitialDir();
    if (!ExtractFilePath(name).empty()) {
      dir = ExtractFilePath(name);
      name = ExtractFileName(name);
    }
    if (dir.empty() || !FolderExists(dir)) {
      std::error_code ec;
      dir = orv::Utf8ToAnsi(std::filesystem::current_path(ec).string());
    }
    FFileNameEdit->SetText(name);
    SetActiveControl(FFileNameEdit);
    Navigate(WithDelimiter(dir));
  }

  const AnsiString& GetChosen() const { return FChosen; }
  Integer GetChosenFilterIndex() const { return FFilterIndex + 1; }

 private:
  template <class T>
  T* Make(const char* name, Integer x, Integer y, Integer w, Integer h) {
    T* c = new T(this);
    c->SetName(name);
    c->SetParent(this);
    c->SetBounds(x, y, w, h);
    return c;
  }

  bool Matches(const AnsiString& file) const {
    if (FFilters.empty()) return true;
    for (const AnsiString& mask : FFilters[std::size_t(FFilterIndex)].Masks)
      if (orv::MatchesFileMask(file, mask)) return true;
    return false;
  }

  void Navigate(const AnsiString& dir) {
    FFolder = dir;
    FFolderLabel->SetCaption("Папка: "_a + dir);
    std::vector<AnsiString> folders, files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(orv::ResolveFileName(dir), ec), end; !ec && it != end;
         it.increment(ec)) {
      const AnsiString name = orv::Utf8ToAnsi(it->path().filename().string());
      std::error_code kind;
      if (it->is_directory(kind))
        folders.push_back(name);
      else if (Matches(name))
        files.push_back(name);
    }
    auto byName = [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    TStrings* items = FFileList->GetItems();
    items->BeginUpdate();
    items->Clear();
    if (!ParentFolder(dir).empty()) items->Add("[..]");
    for (const AnsiString& f : folders) items->Add("[" + f + "]");
    for (const AnsiString& f : files) items->Add(f);
    items->EndUpdate();
  }

  static bool IsFolderItem(const AnsiString& item) {
    return item.size() >= 2 && item.front() == '[' && item.back() == ']';
  }

  void FileListClick(TObject*) {
    const Integer i = FFileList->GetItemIndex();
    if (i < 0) return;
    const AnsiString item = FFileList->GetItems()->Get(i);
    if (!IsFolderItem(item)) FFileNameEdit->SetText(item);
  }

  void FileListDblClick(TObject*) {
    const Integer i = FFileList->GetItemIndex();
    if (i < 0) return;
    const AnsiString item = FFileList->GetItems()->Get(i);
    if (!IsFolderItem(item)) {
      FFileNameEdit->SetText(item);
      OkClick(this);
      return;
    }
    const AnsiString folder = item.substr(1, item.size() - 2);
    Navigate(folder == ".." ? ParentFolder(FFolder) : WithDelimiter(FFolder + folder));
  }

  void FilterListClick(TObject*) {
    const Integer i = FFilterList->GetItemIndex();
    if (i < 0 || i == FFilterIndex) return;
    FFilterIndex = i;
    Navigate(FFolder);
  }

  void OkClick(TObject*) {
    AnsiString name = Trim(FFileNameEdit->GetText());
    if (name.empty()) return;
    AnsiString full = IsAbsolute(name) ? name : FFolder + name;
    if (FolderExists(full)) {
      Navigate(WithDelimiter(full));
      FFileNameEdit->SetText(AnsiString());
      return;
    }
    if (!FDialog->GetDefaultExt().empty() && ExtractFileExt(full).empty()) {
      AnsiString ext = FDialog->GetDefaultExt();
      if (ext[0] != '.') ext = "." + ext;
      full += ext;
    }
    const TOpenOptions options = FDialog->GetOptions();
    if ((options.Contains(ofPathMustExist) || FSave) && !FolderExists(ExtractFilePath(full))) {
      Application->MessageBox(full + "\nПуть не существует.\nПроверьте правильность пути."_a, GetCaption(),
                              MB_OK | MB_ICONWARNING);
      return;
    }
    const bool exists = FileExists(full);
    if (options.Contains(ofFileMustExist) && !exists) {
      Application->MessageBox(full + "\nФайл не найден.\nПроверьте правильность имени файла."_a, GetCaption(),
                              MB_OK | MB_ICONWARNING);
      return;
    }
    if (FSave && exists && options.Contains(ofOverwritePrompt) &&
        Application->MessageBox(full + " уже существует.\nВы хотите заменить его?"_a, GetCaption(),
                                MB_YESNO | MB_ICONWARNING) != IDYES)
      return;
    bool canClose = true;
    if (FDialog->GetOnCanClose()) FDialog->GetOnCanClose()(FDialog, canClose);
    if (!canClose) return;
    FChosen = full;
    SetModalResult(mrOk);
  }

  TOpenDialog* FDialog;
  bool FSave;
  std::vector<TFilterPart> FFilters;
  Integer FFilterIndex = 0;
  AnsiString FFolder;
  AnsiString FChosen;
  TLabel* FFolderLabel;
  TListBox* FFileList;
  TEdit* FFileNameEdit;
  TListBox* FFilterList;
  TButton* FOkButton;
  TButton* FCancelButton;
};

}  // namespace

void orv::SetFileDialogHandler(TFileDialogHandler handler) { gFileDialogHandler = std::move(handler); }

bool orv::MatchesFileMask(const AnsiString& name, const AnsiString& mask) {
  // Wildcards: "*" any run, "?" any one character; "*.*" matches a name without a dot too.
  if (mask == "*.*" || mask == "*") return true;
  std::size_t n = 0, m = 0, starN = AnsiString::npos, starM = AnsiString::npos;
  auto same = [](char a, char b) { return UpperCase(AnsiString(1, a)) == UpperCase(AnsiString(1, b)); };
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || same(mask[m], name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (starM != AnsiString::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

// ---- TOpenDialog ------------------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), FFiles(new TStringList) {}

TOpenDialog::~TOpenDialog() { FFiles->Free(); }

bool TOpenDialog::Execute() { return DoExecute(); }

bool TOpenDialog::DoExecute() {
  FFiles->Clear();
  if (gFileDialogHandler) {
    AnsiString name = FFileName;
    if (!gFileDialogHandler(this, IsSaveDialog(), name)) return false;
    FFileName = name;
    FFiles->Add(name);
    return true;
  }
  std::unique_ptr<TFileDialogForm, orv::FreeDeleter> form(new TFileDialogForm(nullptr, this, IsSaveDialog()));
  form->AfterConstruction();
  DoShow();
  const Integer result = form->ShowModal();
  DoClose();
  if (result != mrOk) return false;
  FFileName = form->GetChosen();
  FFilterIndex = form->GetChosenFilterIndex();
  FFiles->Add(FFileName);
  return true;
}

// ---- Message dialog ---------------------------------------------------------------------------

namespace {

struct TButtonSpec {
  const char* Caption;
  TModalResult Result;
};

const TButtonSpec& ButtonSpec(TMsgDlgBtn b) {
  static const TButtonSpec kSpecs[] = {
      {"&Да", mrYes},           {"&Нет", mrNo},           {"OK", mrOk},
      {"Отмена", mrCancel},     {"&Прервать", mrAbort},   {"&Повтор", mrRetry},
      {"&Пропустить", mrIgnore}, {"&Все", mrAll},          {"Н&ет для всех", mrNoToAll},
      {"Д&а для всех", mrYesToAll}, {"&Справка", mrNone},
  };
  return kSpecs[b];
}

// The dialog's icon, drawn in the classic colours.
void DrawIcon(TCanvas* c, TMsgDlgType type) {
  c->GetBrush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, 32, 32));
  c->GetPen()->SetColor(clBlack);
  c->GetFont()->SetName("Arial");
  c->GetFont()->SetHeight(-22);
  c->GetFont()->SetStyle({fsBold});
  auto centred = [&](const char* text, TColor color) {
    c->GetFont()->SetColor(color);
    c->GetBrush()->SetStyle(bsClear);
    const TSize size = c->TextExtent(text);
    c->TextOut((32 - size.cx) / 2, (32 - size.cy) / 2, text);
  };
  switch (type) {
    case mtError:
      c->GetBrush()->SetColor(clRed);
      c->Ellipse(1, 1, 31, 31);
      centred("X", clWhite);
      break;
    case mtWarning:
      c->GetBrush()->SetColor(clYellow);
      c->Polygon({{16, 1}, {31, 30}, {1, 30}});
      centred("!", clBlack);
      break;
    case mtInformation:
      c->GetBrush()->SetColor(clWhite);
      c->Ellipse(1, 1, 31, 31);
      centred("i", clBlue);
      break;
    case mtConfirmation:
      c->GetBrush()->SetColor(clWhite);
      c->Ellipse(1, 1, 31, 31);
      centred("?", clBlue);
      break;
    case mtCustom: break;
  }
}

}  // namespace

TForm* CreateMessageDialog(const AnsiString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons) {
  static const char* const kCaptions[] = {"Предупреждение", "Ошибка", "Информация", "Подтверждение"};
  auto* form = new TForm(nullptr);
  try {
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetCaption(dlgType == mtCustom ? Application->GetTitle() : orv::Utf8ToAnsi(kCaptions[dlgType]));
    // The text's size decides the form's.
    RECT textRect{0, 0, std::max(200, Screen->GetWidth() / 2), 0};
    {
      HDC dc = GetDC(nullptr);
      HGDIOBJ old = SelectObject(dc, form->GetFont()->GetHandle());
      DrawText(dc, msg.c_str(), int(msg.size()), &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      SelectObject(dc, old);
      ReleaseDC(nullptr, dc);
    }
    const bool icon = dlgType != mtCustom;
    const Integer textLeft = icon ? 16 + 32 + 16 : 16;
    std::vector<TMsgDlgBtn> kinds;
    for (int b = mbYes; b <= mbHelp; ++b)
      if (buttons.Contains(TMsgDlgBtn(b))) kinds.push_back(TMsgDlgBtn(b));
    constexpr Integer kButtonWidth = 75, kButtonHeight = 25, kGap = 8;
    const Integer buttonsWidth = Integer(kinds.size()) * kButtonWidth + std::max<Integer>(0, Integer(kinds.size()) - 1) * kGap;
    const Integer width = std::max<Integer>(textLeft + textRect.Right + 16, buttonsWidth + 32);
    const Integer textBottom = std::max<Integer>(16 + textRect.Bottom, icon ? 16 + 32 : 0);
    form->SetClientWidth(width);
    form->SetClientHeight(textBottom + 16 + kButtonHeight + 12);
    if (icon) {
      auto* image = new TImage(form);
      image->SetName("Image");
      image->SetParent(form);
      image->SetBounds(16, 16, 32, 32);
      TBitmap* bitmap = image->GetPicture()->GetBitmap();
      bitmap->SetSize(32, 32);
      DrawIcon(bitmap->GetCanvas(), dlgType);
    }
    auto* label = new TLabel(form);
    label->SetName("Message");
    label->SetParent(form);
    label->SetWordWrap(true);
    label->SetAutoSize(false);
    label->SetShowAccelChar(false);
    label->SetBounds(textLeft, 16, textRect.Right, textRect.Bottom);
    label->SetCaption(msg);
    Integer x = (width - buttonsWidth) / 2;
    bool first = true;
    for (TMsgDlgBtn kind : kinds) {
      const TButtonSpec& spec = ButtonSpec(kind);
      auto* button = new TButton(form);
      static const char* const kNames[] = {"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help"};
      button->SetName(kNames[kind]);
      button->SetParent(form);
      button->SetBounds(x, textBottom + 16, kButtonWidth, kButtonHeight);
      button->SetCaption(orv::Utf8ToAnsi(spec.Caption));
      button->SetModalResult(spec.Result);
      if (first) {
        button->SetDefault(true);
        form->SetActiveControl(button);
        first = false;
      }
      if (kind == mbCancel || (kind == mbNo && !buttons.Contains(mbCancel))) button->SetCancel(true);
      x += kButtonWidth + kGap;
    }
  } catch (...) {
    form->Free();
    throw;
  }
  return form;
}

Integer MessageDlg(const AnsiString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, LongInt helpCtx) {
  std::unique_ptr<TForm, orv::FreeDeleter> form(CreateMessageDialog(msg, dlgType, buttons));
  form->SetHelpContext(helpCtx);
  form->AfterConstruction();
  return form->ShowModal();
}

void ShowMessage(const AnsiString& msg) {
  std::unique_ptr<TForm, orv::FreeDeleter> form(CreateMessageDialog(msg, mtCustom, {mbOK}));
  form->AfterConstruction();
  form->ShowModal();
}

// ---- Form descriptions ------------------------------------------------------------------------

namespace {

const orv::EnumNames<TOpenOption> kOpenOptionNames(
    "TOpenOption", {"ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp",
                    "ofNoValidate", "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist",
                    "ofFileMustExist", "ofCreatePrompt", "ofShareAware", "ofNoReadOnlyReturn",
                    "ofNoTestFileCreate", "ofNoNetworkButton", "ofNoLongNames", "ofOldStyleDialog",
                    "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing", "ofDontAddToRecent",
                    "ofForceShowHidden"});

}  // namespace

ORV_PUBLISH(TCommonDialog) {
  using T = TCommonDialog;
  p.Property("HelpContext", &T::GetHelpContext, &T::SetHelpContext).Default(0);
  p.Property("OnClose", &T::GetOnClose, &T::SetOnClose);
  p.Property("OnShow", &T::GetOnShow, &T::SetOnShow);
}

ORV_PUBLISH(TOpenDialog) {
  using T = TOpenDialog;
  p.Property("DefaultExt", &T::GetDefaultExt, &T::SetDefaultExt);
  p.Property("FileName", &T::GetFileName, &T::SetFileName);
  p.Property("Filter", &T::GetFilter, &T::SetFilter);
  p.Property("FilterIndex", &T::GetFilterIndex, &T::SetFilterIndex).Default(1);
  p.Property("InitialDir", &T::GetInitialDir, &T::SetInitialDir);
  p.Property("Options", &T::GetOptions, &T::SetOptions).Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
  p.Property("Title", &T::GetTitle, &T::SetTitle);
  p.Property("OnCanClose", &T::GetOnCanClose, &T::SetOnCanClose);
}

ORV_PUBLISH(TSaveDialog) {}
