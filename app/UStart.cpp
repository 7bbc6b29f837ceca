#include "app/UStart.h"

#include "components/editors-more/cxGroupBox.h"
#include "components/editors-more/cxLabel.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

TFStart* FStart = nullptr;

namespace {

const char* const kStartFormText =
    "object FStart: TFStart\n"
    "  Left = 388\n"
    "  Top = 305\n"
    "  BorderStyle = bsNone\n"
    "  Caption = 'FStart'\n"
    "  ClientHeight = 91\n"
    "  ClientWidth = 210\n"
    "  Color = clBtnFace\n"
    "  Font.Charset = DEFAULT_CHARSET\n"
    "  Font.Color = clWindowText\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  Font.Style = []\n"
    "  OldCreateOrder = False\n"
    "  Position = poScreenCenter\n"
    "  PixelsPerInch = 96\n"
    "  object cxTabControl1: TcxTabControl\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 210\n"
    "    Height = 91\n"
    "    Align = alClient\n"
    "    LookAndFeel.Kind = lfOffice11\n"
    "    TabOrder = 0\n"
    "    object cxGroupBox1: TcxGroupBox\n"
    "      Left = 8\n"
    "      Top = 8\n"
    "      Width = 193\n"
    "      Height = 73\n"
    "      Style.BorderStyle = ebsUltraFlat\n"
    "      Style.Shadow = False\n"
    "      TabOrder = 0\n"
    "      Transparent = True\n"
    "      object cxLabel1: TcxLabel\n"
    "        Left = 16\n"
    "        Top = 25\n"
    "        Caption = 'Загрузка данных...'\n"
    "        ParentFont = False\n"
    "        Style.Font.Charset = DEFAULT_CHARSET\n"
    "        Style.Font.Color = clWindowText\n"
    "        Style.Font.Height = -16\n"
    "        Style.Font.Name = 'MS Sans Serif'\n"
    "        Style.Font.Style = [fsBold]\n"
    "        Transparent = True\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "end\n";

struct TStartDescription {
  TStartDescription() { orv::RegisterFormDescription("TFStart", kStartFormText); }
};
const TStartDescription kStartDescription;

}  // namespace

void ShowStartWindow() {
  if (FStart) CloseStartWindow();
  auto* start = new TFStart(Application);
  FStart = start;
  start->AfterConstruction();
  start->Show();
  Application->ProcessMessages();
}

void CloseStartWindow() {
  if (!FStart) return;
  TFStart* start = FStart;
  FStart = nullptr;
  start->Close();
  start->Free();
}

ORV_PUBLISH(TFStart) {
  using T = TFStart;
  p.Field("cxTabControl1", &T::cxTabControl1);
  p.Field("cxGroupBox1", &T::cxGroupBox1);
  p.Field("cxLabel1", &T::cxLabel1);
}
