#include "app/UMain.h"

#include "app/AppImages.h"
#include "app/StatusLine.h"
#include "app/TownExport.h"
#include "app/TownSearch.h"
#include "app/UDM.h"
#include "app/UStart.h"
#include "app/fMsgF1DE.h"
#include "components/bars/dxBar.h"
#include "components/bars/dxStatusBar.h"
#include "components/editors-more/cxCalc.h"
#include "components/editors-more/cxGroupBox.h"
#include "components/editors-more/cxLabel.h"
#include "components/editors-more/cxProgressBar.h"
#include "components/editors-more/cxRadioGroup.h"
#include "components/editors-more/cxSpinEdit.h"
#include "components/editors/cxButtons.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxStyles.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridDBTableView.h"
#include "components/grid/cxGridLevel.h"
#include "components/grid/cxGridStrs.h"
#include "components/pagecontrol/cxPC.h"
#include "dbf/DsDbfTable.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/AppEvnts.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ImgList.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Fields.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Variants.h"
#include "platform/windowing/WinTypes.h"

TFMain* FMain = nullptr;

namespace {

// The two "П О И С К" buttons' caption: the letters spread with four blanks between them.
#define ORV_SEARCH_CAPTION "'П    О    И    С    К'"
// The clear buttons' cross: byte 0xB4, the multiplication sign of the symbol font. Descriptions
// hold Windows-1251 text, where that byte is the letter "ґ" (U+0491).
#define ORV_CROSS_CAPTION "#1169"

const char* const kMainFormText =
    "object FMain: TFMain\n"
    "  Left = 240\n"
    "  Top = 150\n"
    "  ActiveControl = cxRadioButton1\n"
    "  Caption = 'Орване'\n"
    "  ClientHeight = 445\n"
    "  ClientWidth = 652\n"
    "  Color = clBtnFace\n"
    "  Constraints.MinHeight = 472\n"
    "  Constraints.MinWidth = 660\n"
    "  Font.Charset = DEFAULT_CHARSET\n"
    "  Font.Color = clWindowText\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  Font.Style = []\n"
    "  OldCreateOrder = False\n"
    "  Position = poScreenCenter\n"
    "  Visible = True\n"
    "  OnCreate = FormCreate\n"
    "  OnResize = FormResize\n"
    "  OnShow = FormShow\n"
    "  PixelsPerInch = 96\n"
    "  object dxBarManager1: TdxBarManager\n"
    "    Font.Charset = DEFAULT_CHARSET\n"
    "    Font.Color = clWindowText\n"
    "    Font.Height = -12\n"
    "    Font.Name = 'Segoe UI'\n"
    "    Font.Style = []\n"
    "    Categories.Strings = (\n"
    "      'Default')\n"
    "    Categories.ItemsVisibles = (\n"
    "      2)\n"
    "    Categories.Visibles = (\n"
    "      True)\n"
    "    ImageOptions.Images = ImageList1\n"
    "    MenuAnimations = maFade\n"
    "    MenusShowRecentItemsFirst = False\n"
    "    ShowShortCutInHint = True\n"
    "    Style = bmsOffice11\n"
    "    UseSystemFont = True\n"
    "    Left = 16\n"
    "    Top = 24\n"
    "    DockControlHeights = (\n"
    "      0\n"
    "      0\n"
    "      26\n"
    "      0)\n"
    "    object dxBarManager1Bar1: TdxBar\n"
    "      Caption = 'Главное меню'\n"
    "      DockedDockingStyle = dsTop\n"
    "      DockedLeft = 0\n"
    "      DockedTop = 0\n"
    "      DockingStyle = dsTop\n"
    "      FloatLeft = 246\n"
    "      FloatTop = 124\n"
    "      FloatClientWidth = 0\n"
    "      FloatClientHeight = 0\n"
    "      IsMainMenu = True\n"
    "      ItemLinks = <\n"
    "        item\n"
    "          Visible = True\n"
    "          ItemName = 'dxBarSubItem1'\n"
    "        end\n"
    "        item\n"
    "          BeginGroup = True\n"
    "          Visible = True\n"
    "          ItemName = 'dxBarSubItem2'\n"
    "        end>\n"
    "      MultiLine = True\n"
    "      OneOnRow = True\n"
    "      Row = 0\n"
    "      UseOwnFont = False\n"
    "      Visible = True\n"
    "      WholeRow = True\n"
    "    end\n"
    "    object dxBarSubItem1: TdxBarSubItem\n"
    "      Caption = 'Программа'\n"
    "      Category = 0\n"
    "      Visible = ivAlways\n"
    "      ImageIndex = 4\n"
    "      ItemLinks = <\n"
    "        item\n"
    "          Visible = True\n"
    "          ItemName = 'dxBarSubItem3'\n"
    "        end\n"
    "        item\n"
    "          BeginGroup = True\n"
    "          Visible = True\n"
    "          ItemName = 'dxBarButton4'\n"
    "        end>\n"
    "    end\n"
    "    object dxBarSubItem3: TdxBarSubItem\n"
    "      Caption = 'Результат поиска'\n"
    "      Category = 0\n"
    "      Visible = ivAlways\n"
    "      ItemLinks = <\n"
    "        item\n"
    "          Visible = True\n"
    "          ItemName = 'dxBarButton3'\n"
    "        end\n"
    "        item\n"
    "          Visible = True\n"
    "          ItemName = 'dxBarButton2'\n"
    "        end>\n"
    "    end\n"
    "    object dxBarButton3: TdxBarButton\n"
    "      Action = aWriteToFile\n"
    "      Category = 0\n"
    "      ShortCut = 113\n"
    "    end\n"
    "    object dxBarButton2: TdxBarButton\n"
    "      Action = aCopyToClipboard\n"
    "      Category = 0\n"
    "      ShortCut = 16451\n"
    "    end\n"
    "    object dxBarButton4: TdxBarButton\n"
    "      Caption = 'Выход'\n"
    "      Category = 0\n"
    "      Hint = 'Выход'\n"
    "      Visible = ivAlways\n"
    "      ImageIndex = 2\n"
    "      ShortCut = 121\n"
    "      OnClick = dxBarButton4Click\n"
    "    end\n"
    "    object dxBarSubItem2: TdxBarSubItem\n"
    "      Caption = 'Сведения'\n"
    "      Category = 0\n"
    "      Visible = ivAlways\n"
    "      ImageIndex = 0\n"
    "      ItemLinks = <\n"
    "        item\n"
    "          Visible = True\n"
    "          ItemName = 'dxBarButton1'\n"
    "        end>\n"
    "    end\n"
    "    object dxBarButton1: TdxBarButton\n"
    "      Caption = 'О программе'\n"
    "      Category = 0\n"
    "      Hint = 'О программе'\n"
    "      Visible = ivAlways\n"
    "      ImageIndex = 1\n"
    "      ShortCut = 112\n"
    "      OnClick = dxBarButton1Click\n"
    "    end\n"
    "  end\n"
    "  object dxStatusBar: TdxStatusBar\n"
    "    Left = 0\n"
    "    Top = 421\n"
    "    Width = 652\n"
    "    Height = 24\n"
    "    Panels = <\n"
    "      item\n"
    "        PanelStyleClassName = 'TdxStatusBarTextPanelStyle'\n"
    "        Width = 499\n"
    "      end\n"
    "      item\n"
    "        PanelStyleClassName = 'TdxStatusBarContainerPanelStyle'\n"
    "        PanelStyle.Container = dxStatusBarContainer1\n"
    "      end>\n"
    "    PaintStyle = stpsOffice11\n"
    "    Font.Charset = DEFAULT_CHARSET\n"
    "    Font.Color = clWindowText\n"
    "    Font.Height = -11\n"
    "    Font.Name = 'MS Sans Serif'\n"
    "    Font.Style = []\n"
    "    object dxStatusBarContainer1: TdxStatusBarContainerControl\n"
    "      Left = 511\n"
    "      Top = 4\n"
    "      Width = 122\n"
    "      Height = 18\n"
    "      object cxProgressBar: TcxProgressBar\n"
    "        Left = 0\n"
    "        Top = 0\n"
    "        Align = alLeft\n"
    "        Style.TextStyle = [fsBold]\n"
    "        TabOrder = 0\n"
    "        Width = 122\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "  object cxTabControl1: TcxTabControl\n"
    "    Left = 0\n"
    "    Top = 26\n"
    "    Width = 652\n"
    "    Height = 395\n"
    "    Align = alClient\n"
    "    LookAndFeel.Kind = lfOffice11\n"
    "    Style = 8\n"
    "    TabOrder = 0\n"
    "    object cxGroupBox1: TcxGroupBox\n"
    "      Left = 2\n"
    "      Top = 2\n"
    "      Align = alTop\n"
    "      PanelStyle.Active = True\n"
    "      Style.BorderStyle = ebsNone\n"
    "      Style.LookAndFeel.Kind = lfOffice11\n"
    "      TabOrder = 0\n"
    "      Transparent = True\n"
    "      Height = 129\n"
    "      Width = 648\n"
    "      object cxGroupBox3: TcxGroupBox\n"
    "        Left = 8\n"
    "        Top = 8\n"
    "        Caption = ' Координаты '\n"
    "        Style.BorderStyle = ebsUltraFlat\n"
    "        Style.LookAndFeel.Kind = lfOffice11\n"
    "        TabOrder = 0\n"
    "        Transparent = True\n"
    "        Height = 110\n"
    "        Width = 321\n"
    "        object cxRadioButton1: TcxRadioButton\n"
    "          Left = 12\n"
    "          Top = 17\n"
    "          Width = 113\n"
    "          Height = 17\n"
    "          Caption = 'Географические'\n"
    "          Checked = True\n"
    "          TabOrder = 0\n"
    "          TabStop = True\n"
    "          OnClick = cxRadioButton1Click\n"
    "          LookAndFeel.Kind = lfOffice11\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxRadioButton2: TcxRadioButton\n"
    "          Left = 170\n"
    "          Top = 17\n"
    "          Width = 113\n"
    "          Height = 17\n"
    "          Caption = 'Эклиптические'\n"
    "          TabOrder = 1\n"
    "          OnClick = cxRadioButton1Click\n"
    "          LookAndFeel.Kind = lfOffice11\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxLabel3: TcxLabel\n"
    "          Left = 12\n"
    "          Top = 39\n"
    "          Caption = 'Долгота:'\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxCalcEdit1: TcxCalcEdit\n"
    "          Left = 64\n"
    "          Top = 37\n"
    "          EditValue = 0.000000000000000000\n"
    "          Properties.Precision = 15\n"
    "          Style.LookAndFeel.Kind = lfOffice11\n"
    "          TabOrder = 2\n"
    "          Width = 57\n"
    "        end\n"
    "        object cxLabel5: TcxLabel\n"
    "          Left = 124\n"
    "          Top = 37\n"
    "          AutoSize = False\n"
    "          Caption = 'В'\n"
    "          ParentFont = False\n"
    "          Style.Font.Charset = DEFAULT_CHARSET\n"
    "          Style.Font.Color = clWindowText\n"
    "          Style.Font.Height = -11\n"
    "          Style.Font.Name = 'MS Sans Serif'\n"
    "          Style.Font.Style = [fsBold]\n"
    "          Style.TextColor = 16711680\n"
    "          Transparent = True\n"
    "          OnClick = cxLabel5Click\n"
    "          Height = 21\n"
    "          Width = 27\n"
    "        end\n"
    "        object cxLabel7: TcxLabel\n"
    "          Left = 152\n"
    "          Top = 38\n"
    "          Caption = '±'\n"
    "          ParentFont = False\n"
    "          Style.Font.Charset = DEFAULT_CHARSET\n"
    "          Style.Font.Color = clWindowText\n"
    "          Style.Font.Height = -13\n"
    "          Style.Font.Name = 'Arial'\n"
    "          Style.Font.Style = []\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxSpinEdit1: TcxSpinEdit\n"
    "          Left = 168\n"
    "          Top = 37\n"
    "          Properties.MaxValue = 180.000000000000000000\n"
    "          Properties.MinValue = 1.000000000000000000\n"
    "          Properties.OnChange = cxSpinEdit1PropertiesChange\n"
    "          Style.LookAndFeel.Kind = lfOffice11\n"
    "          TabOrder = 3\n"
    "          Value = 1\n"
    "          Width = 41\n"
    "        end\n"
    "        object cxLabel1: TcxLabel\n"
    "          Left = 210\n"
    "          Top = 34\n"
    "          Caption = '°'\n"
    "          ParentFont = False\n"
    "          Style.Font.Charset = DEFAULT_CHARSET\n"
    "          Style.Font.Color = clWindowText\n"
    "          Style.Font.Height = -15\n"
    "          Style.Font.Name = 'Arial'\n"
    "          Style.Font.Style = []\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxLabel4: TcxLabel\n"
    "          Left = 12\n"
    "          Top = 63\n"
    "          Caption = 'Широта:'\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxCalcEdit2: TcxCalcEdit\n"
    "          Left = 64\n"
    "          Top = 61\n"
    "          EditValue = 0.000000000000000000\n"
    "          Properties.Precision = 15\n"
    "          Style.LookAndFeel.Kind = lfOffice11\n"
    "          TabOrder = 4\n"
    "          Width = 57\n"
    "        end\n"
    "        object cxLabel6: TcxLabel\n"
    "          Left = 124\n"
    "          Top = 61\n"
    "          AutoSize = False\n"
    "          Caption = 'C'\n"
    "          ParentFont = False\n"
    "          Style.Font.Charset = DEFAULT_CHARSET\n"
    "          Style.Font.Color = clWindowText\n"
    "          Style.Font.Height = -11\n"
    "          Style.Font.Name = 'MS Sans Serif'\n"
    "          Style.Font.Style = [fsBold]\n"
    "          Style.TextColor = 16711680\n"
    "          Transparent = True\n"
    "          OnClick = cxLabel6Click\n"
    "          Height = 21\n"
    "          Width = 27\n"
    "        end\n"
    "        object cxLabel8: TcxLabel\n"
    "          Left = 152\n"
    "          Top = 62\n"
    "          Caption = '±'\n"
    "          ParentFont = False\n"
    "          Style.Font.Charset = DEFAULT_CHARSET\n"
    "          Style.Font.Color = clWindowText\n"
    "          Style.Font.Height = -13\n"
    "          Style.Font.Name = 'Arial'\n"
    "          Style.Font.Style = []\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxSpinEdit2: TcxSpinEdit\n"
    "          Left = 168\n"
    "          Top = 61\n"
    "          Properties.MaxValue = 90.000000000000000000\n"
    "          Properties.MinValue = 1.000000000000000000\n"
    "          Properties.OnChange = cxSpinEdit2PropertiesChange\n"
    "          Style.LookAndFeel.Kind = lfOffice11\n"
    "          TabOrder = 5\n"
    "          Value = 1\n"
    "          Width = 41\n"
    "        end\n"
    "        object cxLabel2: TcxLabel\n"
    "          Left = 210\n"
    "          Top = 58\n"
    "          Caption = '°'\n"
    "          ParentFont = False\n"
    "          Style.Font.Charset = DEFAULT_CHARSET\n"
    "          Style.Font.Color = clWindowText\n"
    "          Style.Font.Height = -15\n"
    "          Style.Font.Name = 'Arial'\n"
    "          Style.Font.Style = []\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxButton1: TcxButton\n"
    "          Left = 11\n"
    "          Top = 85\n"
    "          Width = 299\n"
    "          Height = 20\n"
    "          Caption = " ORV_SEARCH_CAPTION "\n"
    "          TabOrder = 6\n"
    "          OnClick = cxButton1Click\n"
    "          Font.Charset = DEFAULT_CHARSET\n"
    "          Font.Color = clWindowText\n"
    "          Font.Height = -11\n"
    "          Font.Name = 'Arial'\n"
    "          Font.Style = []\n"
    "          LookAndFeel.Kind = lfOffice11\n"
    "          ParentFont = False\n"
    "        end\n"
    "      end\n"
    "      object cxGroupBox4: TcxGroupBox\n"
    "        Left = 338\n"
    "        Top = 8\n"
    "        Anchors = [akLeft, akTop, akRight]\n"
    "        Caption = ' Страны и Орване '\n"
    "        Style.BorderStyle = ebsUltraFlat\n"
    "        Style.LookAndFeel.Kind = lfOffice11\n"
    "        TabOrder = 1\n"
    "        Transparent = True\n"
    "        Height = 110\n"
    "        Width = 297\n"
    "        object cxLabel9: TcxLabel\n"
    "          Left = 10\n"
    "          Top = 23\n"
    "          Caption = 'Страна:'\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxLabel10: TcxLabel\n"
    "          Left = 10\n"
    "          Top = 53\n"
    "          Caption = 'Город:'\n"
    "          Transparent = True\n"
    "        end\n"
    "        object cxComboBox1: TcxComboBox\n"
    "          Left = 56\n"
    "          Top = 21\n"
    "          Anchors = [akLeft, akTop, akRight]\n"
    "          Properties.DropDownRows = 27\n"
    "          Properties.Items.Strings = (\n"
    "            '*')\n"
    "          Style.LookAndFeel.Kind = lfOffice11\n"
    "          TabOrder = 0\n"
    "          Text = '*'\n"
    "          Width = 205\n"
    "        end\n"
    "        object cxComboBox2: TcxComboBox\n"
    "          Left = 56\n"
    "          Top = 51\n"
    "          Anchors = [akLeft, akTop, akRight]\n"
    "          Properties.DropDownRows = 25\n"
    "          Properties.Items.Strings = (\n"
    "            '*')\n"
    "          Style.LookAndFeel.Kind = lfOffice11\n"
    "          TabOrder = 1\n"
    "          Text = '*'\n"
    "          Width = 205\n"
    "        end\n"
    "        object cxGroupBox5: TcxGroupBox\n"
    "          Left = 265\n"
    "          Top = 13\n"
    "          Anchors = [akTop, akRight]\n"
    "          PanelStyle.Active = True\n"
    "          Style.BorderStyle = ebsNone\n"
    "          TabOrder = 3\n"
    "          Transparent = True\n"
    "          Height = 66\n"
    "          Width = 30\n"
    "          object cxButton3: TcxButton\n"
    "            Left = 4\n"
    "            Top = 9\n"
    "            Width = 20\n"
    "            Height = 20\n"
    "            Caption = " ORV_CROSS_CAPTION "\n"
    "            TabOrder = 0\n"
    "            TabStop = False\n"
    "            OnClick = cxButton3Click\n"
    "            Font.Charset = SYMBOL_CHARSET\n"
    "            Font.Color = clWindowText\n"
    "            Font.Height = -16\n"
    "            Font.Name = 'Symbol'\n"
    "            Font.Style = [fsBold]\n"
    "            LookAndFeel.Kind = lfOffice11\n"
    "            ParentFont = False\n"
    "          end\n"
    "          object cxButton4: TcxButton\n"
    "            Left = 4\n"
    "            Top = 39\n"
    "            Width = 20\n"
    "            Height = 20\n"
    "            Caption = " ORV_CROSS_CAPTION "\n"
    "            TabOrder = 1\n"
    "            TabStop = False\n"
    "            OnClick = cxButton4Click\n"
    "            Font.Charset = SYMBOL_CHARSET\n"
    "            Font.Color = clWindowText\n"
    "            Font.Height = -16\n"
    "            Font.Name = 'Symbol'\n"
    "            Font.Style = [fsBold]\n"
    "            LookAndFeel.Kind = lfOffice11\n"
    "            ParentFont = False\n"
    "          end\n"
    "        end\n"
    "        object cxButton2: TcxButton\n"
    "          Left = 10\n"
    "          Top = 85\n"
    "          Width = 275\n"
    "          Height = 20\n"
    "          Anchors = [akLeft, akTop, akRight]\n"
    "          Caption = " ORV_SEARCH_CAPTION "\n"
    "          TabOrder = 2\n"
    "          OnClick = cxButton2Click\n"
    "          Font.Charset = DEFAULT_CHARSET\n"
    "          Font.Color = clWindowText\n"
    "          Font.Height = -11\n"
    "          Font.Name = 'Arial'\n"
    "          Font.Style = []\n"
    "          LookAndFeel.Kind = lfOffice11\n"
    "          ParentFont = False\n"
    "        end\n"
    "      end\n"
    "    end\n"
    "    object cxGroupBox2: TcxGroupBox\n"
    "      Left = 2\n"
    "      Top = 379\n"
    "      Align = alBottom\n"
    "      PanelStyle.Active = True\n"
    "      Style.BorderStyle = ebsNone\n"
    "      TabOrder = 2\n"
    "      Transparent = True\n"
    "      Height = 40\n"
    "      Width = 648\n"
    "      object cxGroupBox6: TcxGroupBox\n"
    "        Left = 336\n"
    "        Top = 3\n"
    "        PanelStyle.Active = True\n"
    "        Style.BorderStyle = ebsNone\n"
    "        TabOrder = 0\n"
    "        Transparent = True\n"
    "        Height = 33\n"
    "        Width = 316\n"
    "        object cxButton5: TcxButton\n"
    "          Left = 15\n"
    "          Top = 7\n"
    "          Width = 141\n"
    "          Height = 26\n"
    "          Action = aCopyToClipboard\n"
    "          ShowHint = False\n"
    "          TabOrder = 0\n"
    "          LookAndFeel.Kind = lfOffice11\n"
    "        end\n"
    "        object cxButton6: TcxButton\n"
    "          Left = 161\n"
    "          Top = 7\n"
    "          Width = 141\n"
    "          Height = 26\n"
    "          Action = aWriteToFile\n"
    "          ShowHint = False\n"
    "          TabOrder = 1\n"
    "          LookAndFeel.Kind = lfOffice11\n"
    "        end\n"
    "      end\n"
    "    end\n"
    "    object grdOrvane: TcxGrid\n"
    "      Left = 2\n"
    "      Top = 131\n"
    "      Width = 648\n"
    "      Height = 248\n"
    "      Align = alClient\n"
    "      TabOrder = 1\n"
    "      LookAndFeel.Kind = lfOffice11\n"
    "      LookAndFeel.NativeStyle = False\n"
    "      object grdOrvaneDBTableView1: TcxGridDBTableView\n"
    "        DataController.DataSource = dsOrvane\n"
    "        DataController.Options = [dcoAnsiSort, dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding]\n"
    "        FilterBox.Visible = fvNever\n"
    "        OptionsCustomize.ColumnFiltering = False\n"
    "        OptionsCustomize.ColumnGrouping = False\n"
    "        OptionsCustomize.ColumnMoving = False\n"
    "        OptionsCustomize.ColumnsQuickCustomization = True\n"
    "        OptionsData.Deleting = False\n"
    "        OptionsData.DeletingConfirmation = False\n"
    "        OptionsData.Editing = False\n"
    "        OptionsData.Inserting = False\n"
    "        OptionsSelection.CellSelect = False\n"
    "        OptionsView.CellEndEllipsis = True\n"
    "        OptionsView.ColumnAutoWidth = True\n"
    "        OptionsView.GridLines = glVertical\n"
    "        OptionsView.GroupByBox = False\n"
    "        OptionsView.GroupRowStyle = grsOffice11\n"
    "        OptionsView.HeaderEndEllipsis = True\n"
    "        OptionsView.Indicator = True\n"
    "        OptionsView.IndicatorWidth = 15\n"
    "        Styles.Background = cxStyle4\n"
    "        Styles.ContentEven = cxStyle2\n"
    "        Styles.ContentOdd = cxStyle1\n"
    "        Styles.Selection = cxStyle3\n"
    "        object grdOrvaneDBTableView1COUNTRY: TcxGridDBColumn\n"
    "          Caption = 'Страна'\n"
    "          DataBinding.FieldName = 'COUNTRY'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Width = 150\n"
    "        end\n"
    "        object grdOrvaneDBTableView1CITY: TcxGridDBColumn\n"
    "          Caption = 'Город'\n"
    "          DataBinding.FieldName = 'CITY'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Width = 245\n"
    "        end\n"
    "        object grdOrvaneDBTableView1G_DOLG: TcxGridDBColumn\n"
    "          Caption = 'Г.Долгота'\n"
    "          DataBinding.FieldName = 'G_DOLG'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Options.Sorting = False\n"
    "          Width = 66\n"
    "        end\n"
    "        object grdOrvaneDBTableView1G_SHIR: TcxGridDBColumn\n"
    "          Caption = 'Г.Широта'\n"
    "          DataBinding.FieldName = 'G_SHIR'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Options.Sorting = False\n"
    "          Width = 61\n"
    "        end\n"
    "        object grdOrvaneDBTableView1E_DOLG: TcxGridDBColumn\n"
    "          Caption = 'Э.Долгота'\n"
    "          DataBinding.FieldName = 'E_DOLG'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Options.Sorting = False\n"
    "          Width = 65\n"
    "        end\n"
    "        object grdOrvaneDBTableView1E_SHIR: TcxGridDBColumn\n"
    "          Caption = 'Э.Широта'\n"
    "          DataBinding.FieldName = 'E_SHIR'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Options.Sorting = False\n"
    "          Width = 63\n"
    "        end\n"
    "        object grdOrvaneDBTableView1LON: TcxGridDBColumn\n"
    "          Caption = 'Г.Долг, град.'\n"
    "          DataBinding.FieldName = 'LON'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Options.Sorting = False\n"
    "          Visible = False\n"
    "        end\n"
    "        object grdOrvaneDBTableView1LAT: TcxGridDBColumn\n"
    "          Caption = 'Г.Шир, град.'\n"
    "          DataBinding.FieldName = 'LAT'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Options.Sorting = False\n"
    "          Visible = False\n"
    "        end\n"
    "        object grdOrvaneDBTableView1ECLLON: TcxGridDBColumn\n"
    "          Caption = 'Э.Долг, град.'\n"
    "          DataBinding.FieldName = 'ECLLON'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Options.Sorting = False\n"
    "          Visible = False\n"
    "        end\n"
    "        object grdOrvaneDBTableView1ECLLAT: TcxGridDBColumn\n"
    "          Caption = 'Э.Шир, град.'\n"
    "          DataBinding.FieldName = 'ECLLAT'\n"
    "          HeaderAlignmentHorz = taCenter\n"
    "          HeaderAlignmentVert = vaCenter\n"
    "          Options.Editing = False\n"
    "          Options.Filtering = False\n"
    "          Options.Grouping = False\n"
    "          Options.Moving = False\n"
    "          Options.Sorting = False\n"
    "          Visible = False\n"
    "        end\n"
    "      end\n"
    "      object grdOrvaneLevel1: TcxGridLevel\n"
    "        GridView = grdOrvaneDBTableView1\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "  object dsOrvane: TDataSource\n"
    "    DataSet = DM.tblOrvane\n"
    "    Left = 40\n"
    "    Top = 200\n"
    "  end\n"
    "  object ActionList: TActionList\n"
    "    Images = ImageList1\n"
    "    Left = 72\n"
    "    Top = 200\n"
    "    object aWriteToFile: TAction\n"
    "      Caption = 'Записать в файл...'\n"
    "      ImageIndex = 3\n"
    "      OnExecute = aWriteToFileExecute\n"
    "    end\n"
    "    object aCopyToClipboard: TAction\n"
    "      Caption = 'Копировать в буфер'\n"
    "      ImageIndex = 5\n"
    "      OnExecute = aCopyToClipboardExecute\n"
    "    end\n"
    "  end\n"
    "  object SaveDialog: TSaveDialog\n"
    "    FileName = 'Орване.txt'\n"
    "    Filter = 'Текстровый файл (*.txt)|*.txt'\n"
    "    Options = [ofOverwritePrompt, ofHideReadOnly, ofEnableSizing]\n"
    "    Left = 104\n"
    "    Top = 200\n"
    "  end\n"
    "  object ApplicationEvents: TApplicationEvents\n"
    "    OnException = ApplicationEventsException\n"
    "    Left = 136\n"
    "    Top = 200\n"
    "  end\n"
    "  object cxStyleRepository1: TcxStyleRepository\n"
    "    Left = 168\n"
    "    Top = 200\n"
    "    object cxStyle1: TcxStyle\n"
    "      AssignedValues = [svColor, svFont, svTextColor]\n"
    "      Color = clWhite\n"
    "      Font.Charset = DEFAULT_CHARSET\n"
    "      Font.Color = clWindowText\n"
    "      Font.Height = -11\n"
    "      Font.Name = 'MS Sans Serif'\n"
    "      Font.Style = []\n"
    "      TextColor = clWindowText\n"
    "    end\n"
    "    object cxStyle2: TcxStyle\n"
    "      AssignedValues = [svColor, svFont, svTextColor]\n"
    "      Color = 15790320\n"
    "      Font.Charset = DEFAULT_CHARSET\n"
    "      Font.Color = clWindowText\n"
    "      Font.Height = -11\n"
    "      Font.Name = 'MS Sans Serif'\n"
    "      Font.Style = []\n"
    "      TextColor = clWindowText\n"
    "    end\n"
    "    object cxStyle3: TcxStyle\n"
    "      AssignedValues = [svColor, svFont, svTextColor]\n"
    "      Color = 11974326\n"
    "      Font.Charset = DEFAULT_CHARSET\n"
    "      Font.Color = clWindowText\n"
    "      Font.Height = -11\n"
    "      Font.Name = 'MS Sans Serif'\n"
    "      Font.Style = []\n"
    "      TextColor = clWindowText\n"
    "    end\n"
    "    object cxStyle4: TcxStyle\n"
    "      AssignedValues = [svColor]\n"
    "      Color = clWhite\n"
    "    end\n"
    "  end\n"
    "  object ImageList1: TImageList\n"
    "    Left = 200\n"
    "    Top = 200\n"
    "  end\n"
    "end\n";

#undef ORV_SEARCH_CAPTION
#undef ORV_CROSS_CAPTION

struct TMainDescription {
  TMainDescription() { orv::RegisterFormDescription("TFMain", kMainFormText); }
};
const TMainDescription kMainDescription;

AnsiString SpinText(TcxSpinEdit* edit) { return edit->GetText(); }

}  // namespace

void TFMain::FormCreate(TObject* sender) {
  cxSetResourceString(&scxGridNoDataInfoText, "Нет данных"_a);
  cxSetResourceString(&scxGridColumnsQuickCustomizationHint, "Управление видимостью столбцов"_a);
  // The menu's and the actions' pictures are drawn by the program.
  orv::AddProgramImages(ImageList1);
}

void TFMain::FormShow(TObject* sender) {
  ShowStartWindow();
  try {
    FillPickLists();
  } catch (...) {
    CloseStartWindow();
    throw;
  }
  CloseStartWindow();
}

void TFMain::FillPickLists() {
  orv::FillTownPickLists(DM, *cxComboBox1->GetProperties()->GetItems(), *cxComboBox2->GetProperties()->GetItems());
  cxLabel5->SetCaption("В"_a);
  cxRadioButton1->SetChecked(true);
  cxLabel6->SetCaption("С"_a);
  cxRadioButton1Click(cxRadioButton1);
  cxProgressBar->SetVisible(false);
  ShowFoundCount();
}

Integer TFMain::FoundCount() { return grdOrvaneDBTableView1->GetDataController()->GetRecordCount(); }

void TFMain::ShowFoundCount() {
  const Integer n = FoundCount();
  dxStatusBar->GetPanels()->GetItem(0)->SetText(orv::FoundCountText(n));
  aWriteToFile->SetEnabled(n != 0);
  aCopyToClipboard->SetEnabled(n != 0);
}

void TFMain::FormResize(TObject* sender) {
  cxGroupBox6->SetLeft(GetWidth() - 324);
  dxStatusBar->GetPanels()->GetItem(0)->SetWidth(GetWidth() - 161);
}

void TFMain::cxLabel5Click(TObject* sender) {
  const orv::TSignToggle toggle = orv::ToggleLongitudeSign(cxLabel5->GetCaption());
  cxLabel5->SetCaption(toggle.Caption);
  cxLabel5->GetStyle()->SetTextColor(toggle.TextColor);
}

void TFMain::cxLabel6Click(TObject* sender) {
  const orv::TSignToggle toggle = orv::ToggleLatitudeSign(cxLabel6->GetCaption());
  cxLabel6->SetCaption(toggle.Caption);
  cxLabel6->GetStyle()->SetTextColor(toggle.TextColor);
}

namespace {

void KeepToleranceAtLeastOne(TcxSpinEdit* edit) {
  if (edit->GetText().empty()) return;
  const Variant value = edit->GetValue();
  if (value.AsDouble() < 1) edit->SetValue(Variant(1));
}

}  // namespace

void TFMain::cxSpinEdit1PropertiesChange(TObject* sender) { KeepToleranceAtLeastOne(cxSpinEdit1); }

void TFMain::cxSpinEdit2PropertiesChange(TObject* sender) { KeepToleranceAtLeastOne(cxSpinEdit2); }

void TFMain::cxButton3Click(TObject* sender) { cxComboBox1->SetText(AnsiString()); }

void TFMain::cxButton4Click(TObject* sender) { cxComboBox2->SetText(AnsiString()); }

void TFMain::cxRadioButton1Click(TObject* sender) {
  const bool geographic = cxRadioButton1->GetChecked();
  cxLabel5->SetVisible(geographic);
  cxLabel6->SetVisible(geographic);
}

void TFMain::RunSearch(const std::vector<AnsiString>& pieces) {
  grdOrvane->BeginUpdate();
  try {
    orv::ApplyTownFilter(DM->tblOrvane, pieces);
  } catch (const Exception& e) {
    grdOrvane->EndUpdate();
    // The table refused the text and kept the last result: say so, and why (the engine's
    // refusal is a plain Exception, "Invalid filter expression.").
    ShowFoundCount();
    Application->MessageBox("Ошибка при работе программы"_a + "\n\r" + e.GetMessage(), "Ошибка"_a, MB_ICONERROR);
    return;
  } catch (...) {
    grdOrvane->EndUpdate();
    throw;
  }
  grdOrvane->EndUpdate();
  ShowFoundCount();
}

void TFMain::cxButton1Click(TObject* sender) {
  if (cxCalcEdit1->GetText().empty()) cxCalcEdit1->SetValue(0);
  if (cxCalcEdit2->GetText().empty()) cxCalcEdit2->SetValue(0);
  if (SpinText(cxSpinEdit1).empty()) cxSpinEdit1->SetValue(Variant(1));
  if (SpinText(cxSpinEdit2).empty()) cxSpinEdit2->SetValue(Variant(1));
  orv::TCoordinateSearch search;
  search.Geographic = cxRadioButton1->GetChecked();
  if (search.Geographic) {
    // Directions come from the signs, not from signed values.
    if (cxCalcEdit1->GetValue() < 0) cxCalcEdit1->SetValue(0);
    if (cxCalcEdit2->GetValue() < 0) cxCalcEdit2->SetValue(0);
  }
  search.Longitude = cxCalcEdit1->GetText();
  search.Latitude = cxCalcEdit2->GetText();
  search.LongitudeTolerance = SpinText(cxSpinEdit1);
  search.LatitudeTolerance = SpinText(cxSpinEdit2);
  search.LongitudeSign = cxLabel5->GetCaption();
  search.LatitudeSign = cxLabel6->GetCaption();
  // A text that is no whole number raises here, before the table is touched.
  RunSearch(orv::CoordinateFilterPieces(search));
}

void TFMain::cxButton2Click(TObject* sender) {
  if (cxComboBox1->GetText().empty()) cxComboBox1->SetItemIndex(0);
  if (cxComboBox2->GetText().empty()) cxComboBox2->SetItemIndex(0);
  RunSearch(orv::NameFilterPieces(cxComboBox1->GetItemIndex(), cxComboBox1->GetText(),
                                   cxComboBox2->GetItemIndex(), cxComboBox2->GetText()));
}

void TFMain::SetSearchEnabled(bool enabled) {
  grdOrvane->SetEnabled(enabled);
  aWriteToFile->SetEnabled(enabled);
  aCopyToClipboard->SetEnabled(enabled);
  cxButton1->SetEnabled(enabled);
  cxButton2->SetEnabled(enabled);
}

void TFMain::aWriteToFileExecute(TObject* sender) {
  TDsDbfTable* table = DM->tblOrvane;
  Integer saved = -1;
  saved = table->FieldByName("ID")->GetAsInteger();
  auto cleanUp = [&] {
    orv::ReopenTownTable(table, saved);
    cxProgressBar->SetVisible(false);
    SetSearchEnabled(true);
    ShowFoundCount();
  };
  try {
    if (SaveDialog->Execute()) {
      const AnsiString fileName = SaveDialog->GetFileName();
      const Integer n = FoundCount();
      dxStatusBar->GetPanels()->GetItem(0)->SetText(orv::ExportingText(fileName));
      cxProgressBar->SetPosition(0);
      cxProgressBar->SetVisible(true);
      SetSearchEnabled(false);
      // The bar moves in whole per cents: a position that changes with every town would
      // repaint it for each one.
      auto progress = [this, n](Integer index) {
        Application->ProcessMessages();
        cxProgressBar->SetPosition(Double(Int64(index) * 100 / (n > 0 ? n : 1)));
      };
      orv::WriteTownExport(table, fileName, orv::TExportProgressEvent::Callable(progress));
    }
  } catch (const EFileStreamError&) {
    cleanUp();
    orv::ShowExportFileError();
    return;
  } catch (...) {
    cleanUp();
    throw;
  }
  cleanUp();
}

void TFMain::aCopyToClipboardExecute(TObject* sender) { grdOrvaneDBTableView1->CopyToClipboard(true); }

void TFMain::ApplicationEventsException(TObject* sender, Exception& e) {
  Application->MessageBox("Ошибка при работе программы"_a, "Ошибка"_a, MB_ICONERROR);
}

void TFMain::dxBarButton4Click(TObject* sender) { Close(); }

void TFMain::dxBarButton1Click(TObject* sender) { frmMsgF1DE->ShowModal(); }

ORV_PUBLISH(TFMain) {
  using T = TFMain;
  p.Method("FormCreate", &T::FormCreate);
  p.Method("FormShow", &T::FormShow);
  p.Method("FormResize", &T::FormResize);
  p.Method("cxLabel5Click", &T::cxLabel5Click);
  p.Method("cxLabel6Click", &T::cxLabel6Click);
  p.Method("cxSpinEdit1PropertiesChange", &T::cxSpinEdit1PropertiesChange);
  p.Method("cxSpinEdit2PropertiesChange", &T::cxSpinEdit2PropertiesChange);
  p.Method("cxButton3Click", &T::cxButton3Click);
  p.Method("cxButton4Click", &T::cxButton4Click);
  p.Method("cxRadioButton1Click", &T::cxRadioButton1Click);
  p.Method("cxButton1Click", &T::cxButton1Click);
  p.Method("cxButton2Click", &T::cxButton2Click);
  p.Method("aWriteToFileExecute", &T::aWriteToFileExecute);
  p.Method("aCopyToClipboardExecute", &T::aCopyToClipboardExecute);
  p.Method("ApplicationEventsException", &T::ApplicationEventsException);
  p.Method("dxBarButton4Click", &T::dxBarButton4Click);
  p.Method("dxBarButton1Click", &T::dxBarButton1Click);
#define ORV_FIELD(name) p.Field(#name, &T::name)
  ORV_FIELD(cxTabControl1);
  ORV_FIELD(cxGroupBox1);
  ORV_FIELD(cxGroupBox3);
  ORV_FIELD(cxRadioButton1);
  ORV_FIELD(cxRadioButton2);
  ORV_FIELD(cxLabel3);
  ORV_FIELD(cxLabel4);
  ORV_FIELD(cxCalcEdit1);
  ORV_FIELD(cxCalcEdit2);
  ORV_FIELD(cxLabel5);
  ORV_FIELD(cxLabel6);
  ORV_FIELD(cxLabel7);
  ORV_FIELD(cxLabel8);
  ORV_FIELD(cxSpinEdit1);
  ORV_FIELD(cxSpinEdit2);
  ORV_FIELD(cxLabel1);
  ORV_FIELD(cxLabel2);
  ORV_FIELD(cxButton1);
  ORV_FIELD(cxGroupBox4);
  ORV_FIELD(cxLabel9);
  ORV_FIELD(cxLabel10);
  ORV_FIELD(cxComboBox1);
  ORV_FIELD(cxComboBox2);
  ORV_FIELD(cxGroupBox5);
  ORV_FIELD(cxButton3);
  ORV_FIELD(cxButton4);
  ORV_FIELD(cxButton2);
  ORV_FIELD(grdOrvane);
  ORV_FIELD(grdOrvaneDBTableView1);
  ORV_FIELD(grdOrvaneDBTableView1COUNTRY);
  ORV_FIELD(grdOrvaneDBTableView1CITY);
  ORV_FIELD(grdOrvaneDBTableView1G_DOLG);
  ORV_FIELD(grdOrvaneDBTableView1G_SHIR);
  ORV_FIELD(grdOrvaneDBTableView1E_DOLG);
  ORV_FIELD(grdOrvaneDBTableView1E_SHIR);
  ORV_FIELD(grdOrvaneDBTableView1LON);
  ORV_FIELD(grdOrvaneDBTableView1LAT);
  ORV_FIELD(grdOrvaneDBTableView1ECLLON);
  ORV_FIELD(grdOrvaneDBTableView1ECLLAT);
  ORV_FIELD(grdOrvaneLevel1);
  ORV_FIELD(cxGroupBox2);
  ORV_FIELD(cxGroupBox6);
  ORV_FIELD(cxButton5);
  ORV_FIELD(cxButton6);
  ORV_FIELD(dxStatusBar);
  ORV_FIELD(dxStatusBarContainer1);
  ORV_FIELD(cxProgressBar);
  ORV_FIELD(dsOrvane);
  ORV_FIELD(ActionList);
  ORV_FIELD(aWriteToFile);
  ORV_FIELD(aCopyToClipboard);
  ORV_FIELD(SaveDialog);
  ORV_FIELD(ApplicationEvents);
  ORV_FIELD(cxStyleRepository1);
  ORV_FIELD(cxStyle1);
  ORV_FIELD(cxStyle2);
  ORV_FIELD(cxStyle3);
  ORV_FIELD(cxStyle4);
  ORV_FIELD(ImageList1);
  ORV_FIELD(dxBarManager1);
  ORV_FIELD(dxBarSubItem1);
  ORV_FIELD(dxBarSubItem2);
  ORV_FIELD(dxBarSubItem3);
  ORV_FIELD(dxBarButton1);
  ORV_FIELD(dxBarButton2);
  ORV_FIELD(dxBarButton3);
  ORV_FIELD(dxBarButton4);
#undef ORV_FIELD
}
