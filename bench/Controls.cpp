// links: platform_controls
// What the control layer adds to painting and to messages: a full repaint of a form of 120
// standard controls (labels, edits, buttons) through the window system's paint cycle, against
// drawing the same texts and frames straight onto a bitmap; and a message sent through a
// control's window procedure (Perform), against a plain virtual call.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

constexpr int kRows = 40;

struct TFormFixture {
  TFormFixture() {
    orv::headless::Reset();
    Form.reset(new TForm(nullptr));
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 640, kRows * 24 + 8);
    for (int r = 0; r < kRows; ++r) {
      auto* label = new TLabel(Form.get());
      label->SetParent(Form.get());
      label->SetBounds(8, 8 + r * 24, 120, 16);
      label->SetCaption("Город "_a + std::to_string(r));
      auto* edit = new TEdit(Form.get());
      edit->SetParent(Form.get());
      edit->SetBounds(140, 6 + r * 24, 300, 21);
      edit->SetText("Москва, Россия"_a);
      auto* button = new TButton(Form.get());
      button->SetParent(Form.get());
      button->SetBounds(450, 5 + r * 24, 90, 23);
      button->SetCaption("П О И С К"_a);
    }
    Form->AfterConstruction();
    Form->Show();
    Application->ProcessMessages();
  }
  ~TFormFixture() {
    Form.reset();
    orv::headless::Reset();
  }
  std::unique_ptr<TForm, orv::FreeDeleter> Form;
};

void BM_FormRepaint(benchmark::State& state) {
  TFormFixture f;
  HWND h = f.Form->GetHandle();
  for (auto _ : state) {
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  state.SetItemsProcessed(state.iterations() * kRows * 3);
}
BENCHMARK(BM_FormRepaint)->Unit(benchmark::kMicrosecond);

// The baseline: the same texts, fields and button frames drawn directly.
void BM_DirectDrawing(benchmark::State& state) {
  TFormFixture f;  // for the same fonts and system state
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  bitmap->SetSize(640, kRows * 24 + 8);
  HDC dc = bitmap->GetCanvas()->GetHandle();
  HGDIOBJ old = SelectObject(dc, f.Form->GetFont()->GetHandle());
  SetBkMode(dc, TRANSPARENT);
  for (auto _ : state) {
    RECT all{0, 0, 640, kRows * 24 + 8};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    for (int r = 0; r < kRows; ++r) {
      const AnsiString label = "Город "_a + std::to_string(r);
      RECT lr{8, 8 + r * 24, 128, 24 + r * 24};
      DrawText(dc, label.c_str(), -1, &lr, DT_SINGLELINE);
      RECT er{140, 6 + r * 24, 440, 27 + r * 24};
      DrawEdge(dc, &er, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      FillRect(dc, &er, GetSysColorBrush(COLOR_WINDOW));
      DrawText(dc, AnsiString("Москва, Россия"_a).c_str(), -1, &er, DT_SINGLELINE);
      RECT br{450, 5 + r * 24, 540, 28 + r * 24};
      DrawFrameControl(dc, &br, DFC_BUTTON, DFCS_BUTTONPUSH);
      DrawText(dc, AnsiString("П О И С К"_a).c_str(), -1, &br, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    benchmark::DoNotOptimize(dc);
  }
  SelectObject(dc, old);
  state.SetItemsProcessed(state.iterations() * kRows * 3);
}
BENCHMARK(BM_DirectDrawing)->Unit(benchmark::kMicrosecond);

void BM_PerformMessage(benchmark::State& state) {
  TFormFixture f;
  TControl* control = f.Form->GetControl(1);
  for (auto _ : state) benchmark::DoNotOptimize(control->Perform(CM_HITTEST, 0, 0));
}
BENCHMARK(BM_PerformMessage);

struct TVirtualBase {
  virtual ~TVirtualBase() = default;
  virtual LRESULT HitTest(int x) { return x + 1; }
};

void BM_VirtualCall(benchmark::State& state) {
  std::unique_ptr<TVirtualBase> object(new TVirtualBase);
  TVirtualBase* volatile p = object.get();
  int x = 0;
  for (auto _ : state) benchmark::DoNotOptimize(p->HitTest(x++));
}
BENCHMARK(BM_VirtualCall);

}  // namespace
