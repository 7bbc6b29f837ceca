// The groups of control properties that the class library's concrete controls publish again and
// again (layout, state, colour, font, dragging, focus and the standard events), for the
// ORV_PUBLISH blocks of the controls here and of the component library:
//
//   ORV_PUBLISH(TButton) {
//     orv::PublishLayout(p);
//     orv::PublishState(p);
//     orv::PublishFont(p);
//     ...
//   }
//
// TControl itself publishes only Left, Top, Width, Height, Cursor, Hint and HelpContext: each
// concrete class chooses which of the others it shows, and with which defaults.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/forms/Published.h"

namespace orv {

// Stored rules of the values an action may supply: not stored while the action supplies them.
inline bool IsControlCaptionStored(TControl* c) {
  return !c->GetActionLink() || !c->GetActionLink()->IsCaptionLinked();
}
inline bool IsControlEnabledStored(TControl* c) {
  return !c->GetActionLink() || !c->GetActionLink()->IsEnabledLinked();
}
inline bool IsControlHintStored(TControl* c) {
  return !c->GetActionLink() || !c->GetActionLink()->IsHintLinked();
}
inline bool IsControlVisibleStored(TControl* c) {
  return !c->GetActionLink() || !c->GetActionLink()->IsVisibleLinked();
}

// Align, Anchors and Constraints.
template <class T>
void PublishLayout(Published<T>& p) {
  p.Property("Align", &TControl::GetAlign, &TControl::SetAlign).Default(alNone);
  p.Property("Anchors", &TControl::GetAnchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
  p.Property("Constraints", &TControl::GetConstraints);
}

// Action, Enabled, Visible, ShowHint, ParentShowHint and PopupMenu.
template <class T>
void PublishState(Published<T>& p) {
  p.Property("Action", &TControl::GetAction, &TControl::SetAction);
  p.Property("Enabled", &TControl::GetEnabled, &TControl::SetEnabled)
      .Default(true)
      .Stored([](T* c) { return IsControlEnabledStored(c); });
  p.Property("ParentShowHint", &TControl::GetParentShowHint, &TControl::SetParentShowHint).Default(true);
  p.Property("PopupMenu", [](T* c) { return c->GetPopupMenu(); },
             [](T* c, TPopupMenu* value) { c->SetPopupMenu(value); });
  p.Property("ShowHint", &TControl::GetShowHint, &TControl::SetShowHint)
      .Stored([](T* c) { return !c->GetParentShowHint(); });
  p.Property("Visible", &TControl::GetVisible, &TControl::SetVisible)
      .Default(true)
      .Stored([](T* c) { return IsControlVisibleStored(c); });
}

// Caption, stored unless an action supplies it.
template <class T>
void PublishCaption(Published<T>& p) {
  p.Property("Caption", [](T* c) { return c->GetCaption(); },
             [](T* c, AnsiString value) { c->SetCaption(value); })
      .Stored([](T* c) { return IsControlCaptionStored(c); });
}

// Color (stored unless it comes from the parent) and ParentColor, with the class's defaults.
template <class T>
void PublishColor(Published<T>& p, TColor defaultColor, bool parentColorDefault = true) {
  p.Property("Color", &TControl::GetColor, &TControl::SetColor)
      .Kind("TColor")
      .Default(defaultColor)
      .Stored([](T* c) { return !c->GetParentColor(); });
  p.Property("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor).Default(parentColorDefault);
}

// Font (stored unless it comes from the parent) and ParentFont.
template <class T>
void PublishFont(Published<T>& p, bool parentFontDefault = true) {
  p.Property("Font", &TControl::GetFont).Stored([](T* c) { return !c->GetParentFont(); });
  p.Property("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont).Default(parentFontDefault);
}

// DragCursor, DragKind and DragMode.
template <class T>
void PublishDrag(Published<T>& p) {
  p.Property("DragCursor", &TControl::GetDragCursor, &TControl::SetDragCursor).Kind("TCursor").Default(crDrag);
  p.Property("DragKind", &TControl::GetDragKind, &TControl::SetDragKind).Default(dkDrag);
  p.Property("DragMode", &TControl::GetDragMode, &TControl::SetDragMode).Default(dmManual);
}

// OnEndDock and OnStartDock: a control dragged with DragKind dkDock.
template <class T>
void PublishDockEvents(Published<T>& p) {
  p.Property("OnEndDock", &TControl::GetOnEndDock, &TControl::SetOnEndDock);
  p.Property("OnStartDock", &TControl::GetOnStartDock, &TControl::SetOnStartDock);
}

// TabOrder and TabStop (its default is the class's own).
template <class T>
void PublishTabs(Published<T>& p, bool tabStopDefault) {
  p.Property("TabOrder", &TWinControl::GetTabOrder, &TWinControl::SetTabOrder).Default(TTabOrder(-1));
  p.Property("TabStop", &TWinControl::GetTabStop, &TWinControl::SetTabStop).Default(tabStopDefault);
}

// OnClick and OnDblClick.
template <class T>
void PublishClickEvents(Published<T>& p) {
  p.Property("OnClick", &TControl::GetOnClick, &TControl::SetOnClick);
  p.Property("OnDblClick", &TControl::GetOnDblClick, &TControl::SetOnDblClick);
}

// The mouse, context-menu and drag events.
template <class T>
void PublishMouseEvents(Published<T>& p) {
  p.Property("OnContextPopup", &TControl::GetOnContextPopup, &TControl::SetOnContextPopup);
  p.Property("OnDragDrop", &TControl::GetOnDragDrop, &TControl::SetOnDragDrop);
  p.Property("OnDragOver", &TControl::GetOnDragOver, &TControl::SetOnDragOver);
  p.Property("OnEndDrag", &TControl::GetOnEndDrag, &TControl::SetOnEndDrag);
  p.Property("OnMouseDown", &TControl::GetOnMouseDown, &TControl::SetOnMouseDown);
  p.Property("OnMouseMove", &TControl::GetOnMouseMove, &TControl::SetOnMouseMove);
  p.Property("OnMouseUp", &TControl::GetOnMouseUp, &TControl::SetOnMouseUp);
  p.Property("OnStartDrag", &TControl::GetOnStartDrag, &TControl::SetOnStartDrag);
}

// The focus and key events of a windowed control.
template <class T>
void PublishKeyEvents(Published<T>& p) {
  p.Property("OnEnter", &TWinControl::GetOnEnter, &TWinControl::SetOnEnter);
  p.Property("OnExit", &TWinControl::GetOnExit, &TWinControl::SetOnExit);
  p.Property("OnKeyDown", &TWinControl::GetOnKeyDown, &TWinControl::SetOnKeyDown);
  p.Property("OnKeyPress", &TWinControl::GetOnKeyPress, &TWinControl::SetOnKeyPress);
  p.Property("OnKeyUp", &TWinControl::GetOnKeyUp, &TWinControl::SetOnKeyUp);
}

}  // namespace orv
