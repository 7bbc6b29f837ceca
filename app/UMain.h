// The main window: two search panels above the found towns, the export and copy buttons and a
// status bar with the count (and, while an export writes, its progress). Its components come
// from the form description "TFMain"; the handlers below are the ones that description names.
#pragma once

#include <vector>

#include "platform/controls/Forms.h"

class TAction;
class TActionList;
class TApplicationEvents;
class TDataSource;
class TImageList;
class TSaveDialog;
class TcxButton;
class TcxCalcEdit;
class TcxComboBox;
class TcxGrid;
class TcxGridDBColumn;
class TcxGridDBTableView;
class TcxGridLevel;
class TcxGroupBox;
class TcxLabel;
class TcxProgressBar;
class TcxRadioButton;
class TcxSpinEdit;
class TcxStyle;
class TcxStyleRepository;
class TcxTabControl;
class TdxBarButton;
class TdxBarManager;
class TdxBarSubItem;
class TdxStatusBar;
class TdxStatusBarContainerControl;

class TFMain : public TForm {
  ORV_CLASS(TFMain, TForm)
 public:
  explicit TFMain(TComponent* owner) : TForm(owner) {}

  // ---- Components, set by the form description ----
  TcxTabControl* cxTabControl1 = nullptr;
  TcxGroupBox* cxGroupBox1 = nullptr;
  TcxGroupBox* cxGroupBox3 = nullptr;
  TcxRadioButton* cxRadioButton1 = nullptr;
  TcxRadioButton* cxRadioButton2 = nullptr;
  TcxLabel* cxLabel3 = nullptr;
  TcxLabel* cxLabel4 = nullptr;
  TcxCalcEdit* cxCalcEdit1 = nullptr;
  TcxCalcEdit* cxCalcEdit2 = nullptr;
  TcxLabel* cxLabel5 = nullptr;
  TcxLabel* cxLabel6 = nullptr;
  TcxLabel* cxLabel7 = nullptr;
  TcxLabel* cxLabel8 = nullptr;
  TcxSpinEdit* cxSpinEdit1 = nullptr;
  TcxSpinEdit* cxSpinEdit2 = nullptr;
  TcxLabel* cxLabel1 = nullptr;
  TcxLabel* cxLabel2 = nullptr;
  TcxButton* cxButton1 = nullptr;
  TcxGroupBox* cxGroupBox4 = nullptr;
  TcxLabel* cxLabel9 = nullptr;
  TcxLabel* cxLabel10 = nullptr;
  TcxComboBox* cxComboBox1 = nullptr;
  TcxComboBox* cxComboBox2 = nullptr;
  TcxGroupBox* cxGroupBox5 = nullptr;
  TcxButton* cxButton3 = nullptr;
  TcxButton* cxButton4 = nullptr;
  TcxButton* cxButton2 = nullptr;
  TcxGrid* grdOrvane = nullptr;
  TcxGridDBTableView* grdOrvaneDBTableView1 = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1COUNTRY = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1CITY = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1G_DOLG = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1G_SHIR = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1E_DOLG = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1E_SHIR = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1LON = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1LAT = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1ECLLON = nullptr;
  TcxGridDBColumn* grdOrvaneDBTableView1ECLLAT = nullptr;
  TcxGridLevel* grdOrvaneLevel1 = nullptr;
  TcxGroupBox* cxGroupBox2 = nullptr;
  TcxGroupBox* cxGroupBox6 = nullptr;
  TcxButton* cxButton5 = nullptr;
  TcxButton* cxButton6 = nullptr;
  TdxStatusBar* dxStatusBar = nullptr;
  TdxStatusBarContainerControl* dxStatusBarContainer1 = nullptr;
  TcxProgressBar* cxProgressBar = nullptr;
  TDataSource* dsOrvane = nullptr;
  TActionList* ActionList = nullptr;
  TAction* aWriteToFile = nullptr;
  TAction* aCopyToClipboard = nullptr;
  TSaveDialog* SaveDialog = nullptr;
  TApplicationEvents* ApplicationEvents = nullptr;
  TcxStyleRepository* cxStyleRepository1 = nullptr;
  TcxStyle* cxStyle1 = nullptr;
  TcxStyle* cxStyle2 = nullptr;
  TcxStyle* cxStyle3 = nullptr;
  TcxStyle* cxStyle4 = nullptr;
  TImageList* ImageList1 = nullptr;
  // The main menu: "Программа" ("Результат поиска" with the export and the copy, "Выход") and
  // "Сведения" ("О программе").
  TdxBarManager* dxBarManager1 = nullptr;
  TdxBarSubItem* dxBarSubItem1 = nullptr;
  TdxBarSubItem* dxBarSubItem2 = nullptr;
  TdxBarSubItem* dxBarSubItem3 = nullptr;
  TdxBarButton* dxBarButton1 = nullptr;
  TdxBarButton* dxBarButton2 = nullptr;
  TdxBarButton* dxBarButton3 = nullptr;
  TdxBarButton* dxBarButton4 = nullptr;

  // ---- Handlers ----
  // The grid's texts for an empty view and for its column chooser, in Russian.
  void FormCreate(TObject* sender);
  // Every showing (the window shows once): the splash window while the pick lists fill.
  void FormShow(TObject* sender);
  void FormResize(TObject* sender);
  // The hemisphere signs: "В" east (blue) and "З" west (red); "С" north and "Ю" south.
  void cxLabel5Click(TObject* sender);
  void cxLabel6Click(TObject* sender);
  // A tolerance typed below 1 becomes 1; an empty text stays (the search takes it as 1).
  void cxSpinEdit1PropertiesChange(TObject* sender);
  void cxSpinEdit2PropertiesChange(TObject* sender);
  // The clear buttons empty their pick list's text (the search then takes "*").
  void cxButton3Click(TObject* sender);
  void cxButton4Click(TObject* sender);
  // Both radio buttons: the signs show only for geographic coordinates.
  void cxRadioButton1Click(TObject* sender);
  // The coordinate search and the name search.
  void cxButton1Click(TObject* sender);
  void cxButton2Click(TObject* sender);
  // The export of the found towns through the save dialog, and the copy of the grid's rows.
  void aWriteToFileExecute(TObject* sender);
  void aCopyToClipboardExecute(TObject* sender);
  // Every exception that reaches the message loop: one box, the window stays usable.
  void ApplicationEventsException(TObject* sender, Exception& e);
  // The menu's "Выход" and "О программе".
  void dxBarButton4Click(TObject* sender);
  void dxBarButton1Click(TObject* sender);

  // Fills the country and town pick lists from the town table and sets the window's start
  // state (east and north, geographic, the progress bar hidden, the count shown).
  void FillPickLists();
  // The status line's count of the found towns (the grid's records); the export and copy are
  // enabled only when something was found.
  void ShowFoundCount();

 private:
  // Hands the filter pieces to the town table; a text the table refuses leaves the previous
  // result and says why in the program's error box.
  void RunSearch(const std::vector<AnsiString>& pieces);
  // Enables or disables the grid, the two searches and the two actions (during an export).
  void SetSearchEnabled(bool enabled);
  Integer FoundCount();
};

// The main window, set by TApplication::CreateForm.
extern TFMain* FMain;
