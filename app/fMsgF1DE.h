// The about box: one page "О программе" with the program's name, picture, version and credits,
// and an OK button that Escape presses too. Created hidden at start-up and shown modally from
// the main menu; closing it only hides it, so the same window serves every showing.
#pragma once

#include "platform/controls/Forms.h"

class TcxPageControl;
class TcxTabSheet;
class TcxButton;
class TImageList;
class TImage;
class TLabel;

class TfrmMsgF1DE : public TForm {
  ORV_CLASS(TfrmMsgF1DE, TForm)
 public:
  // The components come from the form description "TfrmMsgF1DE" (read in AfterConstruction);
  // the pictures are drawn into the image list and the image after it.
  explicit TfrmMsgF1DE(TComponent* owner) : TForm(owner) {}
  void AfterConstruction() override;

  TcxPageControl* cxPageControl1 = nullptr;
  TcxTabSheet* cxTabSheet1 = nullptr;
  TLabel* LbUnit1 = nullptr;
  TLabel* LbUnit3 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* LbUnit4 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* LbUnit11 = nullptr;
  TLabel* LbUnit10 = nullptr;
  TcxButton* btnOK = nullptr;
  TImageList* ImageList = nullptr;

  // OnClose: the window is hidden, not freed.
  void FormClose(TObject* sender, TCloseAction& action);
  // The OK button (and Escape, the button being the cancel button): closes the about box.
  void btnOKClick(TObject* sender);

 private:
  bool FPicturesDrawn = false;
};

// The about box, set by TApplication::CreateForm.
extern TfrmMsgF1DE* frmMsgF1DE;
