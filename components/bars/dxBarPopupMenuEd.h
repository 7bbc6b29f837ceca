// The submenu editor: a small captioned window with the links of a sub item (or container
// item) hanging below it as their submenu, so that commands can be dragged into the submenu
// while bars are customized. One editor at most exists; it goes with the component whose links
// it shows.
#pragma once

#include "platform/controls/Forms.h"

class TCustomdxBarControl;
class TdxBarItemLinks;

class TdxBarSubMenuEditor : public TForm {
  ORV_CLASS(TdxBarSubMenuEditor, TForm)
 public:
  explicit TdxBarSubMenuEditor(TComponent* owner);
  void BeforeDestruction() override;
  void Dispatch(TMessage& message) override;

  TdxBarItemLinks* GetItemLinks() const { return FItemLinks; }
  // Nil frees the editor.
  void SetItemLinks(TdxBarItemLinks* value);
  // The submenu window of the links (nil without links or window).
  TCustomdxBarControl* GetSubMenuControl() const;
  // Released after the pending messages when it has a window, freed at once otherwise.
  void FreeEditor();

 protected:
  void CreateParams(TCreateParams& params) override;
  void DoShow() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // Only the left and top edges are brought into the work area.
  void KeepInWorkArea();
  void FormActivate(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormDestroy(TObject* sender);
  void HideSubMenu();
  TdxBarItemLinks* FItemLinks = nullptr;
  TComponent* FItemLinksOwner = nullptr;
  Integer FSubMenuWidth = 0;
  Boolean FReleased = false;
};

// Switches the links' manager into customizing (showing the customization form's Commands
// page) and shows the editor for the links, re-targeting the open one.
void ShowSubMenuEditor(TdxBarItemLinks* links);
// The open submenu editor (nil when none).
TdxBarSubMenuEditor* GetSubMenuEditor();
