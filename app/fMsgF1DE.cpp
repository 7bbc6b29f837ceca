#include "app/fMsgF1DE.h"

#include "app/AppImages.h"
#include "components/editors/cxButtons.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

TfrmMsgF1DE* frmMsgF1DE = nullptr;

namespace {

const char* const kAboutFormText =
    "object frmMsgF1DE: TfrmMsgF1DE\n"
    "  Left = 356\n"
    "  Top = 274\n"
    "  ActiveControl = btnOK\n"
    "  BorderIcons = [biSystemMenu]\n"
    "  BorderStyle = bsNone\n"
    "  Caption = 'О программе'\n"
    "  ClientHeight = 204\n"
    "  ClientWidth = 400\n"
    "  Color = clWindow\n"
    "  Font.Charset = DEFAULT_CHARSET\n"
    "  Font.Color = clWindowText\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  Font.Style = []\n"
    "  OldCreateOrder = False\n"
    "  Position = poScreenCenter\n"
    "  OnClose = FormClose\n"
    "  PixelsPerInch = 96\n"
    "  object cxPageControl1: TcxPageControl\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 400\n"
    "    Height = 204\n"
    "    ActivePage = cxTabSheet1\n"
    "    Align = alClient\n"
    "    Images = ImageList\n"
    "    LookAndFeel.Kind = lfOffice11\n"
    "    ShowFrame = True\n"
    "    TabOrder = 0\n"
    "    object cxTabSheet1: TcxTabSheet\n"
    "      Caption = 'О программе'\n"
    "      ImageIndex = 0\n"
    "      object LbUnit1: TLabel\n"
    "        Left = 0\n"
    "        Top = 6\n"
    "        Width = 396\n"
    "        Height = 16\n"
    "        Alignment = taCenter\n"
    "        AutoSize = False\n"
    "        Caption = 'Программа'\n"
    "        Font.Charset = DEFAULT_CHARSET\n"
    "        Font.Color = clWindowText\n"
    "        Font.Height = -13\n"
    "        Font.Name = 'MS Sans Serif'\n"
    "        Font.Style = [fsUnderline]\n"
    "        ParentFont = False\n"
    "        Transparent = True\n"
    "      end\n"
    "      object LbUnit3: TLabel\n"
    "        Left = 0\n"
    "        Top = 26\n"
    "        Width = 396\n"
    "        Height = 27\n"
    "        Alignment = taCenter\n"
    "        AutoSize = False\n"
    "        Caption = 'Орване'\n"
    "        Font.Charset = DEFAULT_CHARSET\n"
    "        Font.Color = clNavy\n"
    "        Font.Height = -24\n"
    "        Font.Name = 'Arial'\n"
    "        Font.Style = [fsBold]\n"
    "        ParentFont = False\n"
    "        Transparent = True\n"
    "      end\n"
    "      object Image1: TImage\n"
    "        Left = 24\n"
    "        Top = 23\n"
    "        Width = 32\n"
    "        Height = 32\n"
    "      end\n"
    "      object Label2: TLabel\n"
    "        Left = 96\n"
    "        Top = 66\n"
    "        Caption = 'Версия:'\n"
    "        Font.Charset = DEFAULT_CHARSET\n"
    "        Font.Color = clNavy\n"
    "        Font.Height = -11\n"
    "        Font.Name = 'MS Sans Serif'\n"
    "        Font.Style = [fsUnderline]\n"
    "        ParentFont = False\n"
    "        Transparent = True\n"
    "      end\n"
    "      object LbUnit4: TLabel\n"
    "        Left = 176\n"
    "        Top = 66\n"
    "        Caption = '1.1  (build: 23.12.2006)'\n"
    "        Transparent = True\n"
    "      end\n"
    "      object Label1: TLabel\n"
    "        Left = 96\n"
    "        Top = 86\n"
    "        Caption = 'Разработчик:'\n"
    "        Font.Charset = DEFAULT_CHARSET\n"
    "        Font.Color = clNavy\n"
    "        Font.Height = -11\n"
    "        Font.Name = 'MS Sans Serif'\n"
    "        Font.Style = [fsUnderline]\n"
    "        ParentFont = False\n"
    "        Transparent = True\n"
    "      end\n"
    "      object LbUnit11: TLabel\n"
    "        Left = 176\n"
    "        Top = 86\n"
    "        Caption = 'Группа разработки «Орване»'\n"
    "        Transparent = True\n"
    "      end\n"
    "      object LbUnit10: TLabel\n"
    "        Left = 0\n"
    "        Top = 108\n"
    "        Width = 396\n"
    "        Height = 27\n"
    "        Alignment = taCenter\n"
    "        AutoSize = False\n"
    "        Caption = 'Счастливого пути!'\n"
    "        Font.Charset = DEFAULT_CHARSET\n"
    "        Font.Color = clGreen\n"
    "        Font.Height = -24\n"
    "        Font.Name = 'Arial'\n"
    "        Font.Style = [fsBold]\n"
    "        ParentFont = False\n"
    "        Transparent = True\n"
    "      end\n"
    "      object btnOK: TcxButton\n"
    "        Left = 304\n"
    "        Top = 141\n"
    "        Width = 84\n"
    "        Height = 25\n"
    "        Cancel = True\n"
    "        Caption = '&OK'\n"
    "        TabOrder = 0\n"
    "        OnClick = btnOKClick\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "  object ImageList: TImageList\n"
    "    Left = 8\n"
    "    Top = 168\n"
    "  end\n"
    "end\n";

struct TAboutDescription {
  TAboutDescription() { orv::RegisterFormDescription("TfrmMsgF1DE", kAboutFormText); }
};
const TAboutDescription kAboutDescription;

}  // namespace

void TfrmMsgF1DE::AfterConstruction() {
  TForm::AfterConstruction();
  if (FPicturesDrawn || !ImageList || !Image1) return;
  FPicturesDrawn = true;
  orv::AddProgramImages(ImageList);
  TBitmap picture;
  orv::DrawProgramPicture(&picture);
  Image1->GetPicture()->SetBitmap(&picture);
}

void TfrmMsgF1DE::FormClose(TObject* sender, TCloseAction& action) { action = caHide; }

void TfrmMsgF1DE::btnOKClick(TObject* sender) { frmMsgF1DE->Close(); }

ORV_PUBLISH(TfrmMsgF1DE) {
  using T = TfrmMsgF1DE;
  p.Method("FormClose", &T::FormClose);
  p.Method("btnOKClick", &T::btnOKClick);
  p.Field("cxPageControl1", &T::cxPageControl1);
  p.Field("cxTabSheet1", &T::cxTabSheet1);
  p.Field("LbUnit1", &T::LbUnit1);
  p.Field("LbUnit3", &T::LbUnit3);
  p.Field("Image1", &T::Image1);
  p.Field("Label2", &T::Label2);
  p.Field("LbUnit4", &T::LbUnit4);
  p.Field("Label1", &T::Label1);
  p.Field("LbUnit11", &T::LbUnit11);
  p.Field("LbUnit10", &T::LbUnit10);
  p.Field("btnOK", &T::btnOK);
  p.Field("ImageList", &T::ImageList);
}
