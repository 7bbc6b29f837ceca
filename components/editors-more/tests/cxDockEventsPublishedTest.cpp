// The editors and lists that a form description may dock: each one names its OnStartDock and
// OnEndDock handlers in the description, so each must publish both events itself.
#include <gtest/gtest.h>

#include "components/editors-more/cxBlobEdit.h"
#include "components/editors-more/cxButtonEdit.h"
#include "components/editors-more/cxCheckBox.h"
#include "components/editors-more/cxCheckListBox.h"
#include "components/editors-more/cxDateEdit.h"
#include "components/editors-more/cxGroupBox.h"
#include "components/editors-more/cxImage.h"
#include "components/editors-more/cxLabel.h"
#include "components/editors-more/cxListBox.h"
#include "components/editors-more/cxMemo.h"
#include "components/editors-more/cxProgressBar.h"
#include "components/editors-more/cxRadioGroup.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxMaskEdit.h"
#include "components/editors/cxTextEdit.h"
#include "platform/forms/Published.h"

TEST(EditorDockEvents, EveryDockableEditorPublishesBothDockEvents) {
  const TClass classes[] = {
      TcxTextEdit::StaticClass(),   TcxMaskEdit::StaticClass(),     TcxComboBox::StaticClass(),
      TcxPopupEdit::StaticClass(),  TcxButtonEdit::StaticClass(),   TcxDateEdit::StaticClass(),
      TcxBlobEdit::StaticClass(),   TcxMemo::StaticClass(),         TcxImage::StaticClass(),
      TcxCheckBox::StaticClass(),   TcxGroupBox::StaticClass(),     TcxRadioGroup::StaticClass(),
      TcxLabel::StaticClass(),      TcxProgressBar::StaticClass(),  TcxListBox::StaticClass(),
      TcxCheckListBox::StaticClass(),
  };
  for (TClass c : classes) {
    SCOPED_TRACE(c->ClassName());
    const orv::PropertyList* published = orv::FindPublished(c);
    ASSERT_NE(published, nullptr);
    EXPECT_NE(published->FindProperty("OnStartDock"), nullptr);
    EXPECT_NE(published->FindProperty("OnEndDock"), nullptr);
  }
}
