#pragma once

#include "graphpane/AGraphView.h"

// A view with no graphs that draws nothing but its erased rectangle: the
// pane's stand-in for a view no layer above has made. A graph handed to it
// is destroyed at once.
class AnEmptyGraphView : public AGraphView {
 public:
  AnEmptyGraphView() { fGraphs.TakeNone(); }
  int32_t Draw(bool drawGraphs) override;
  int32_t GraphVisibility(int32_t /*graph*/) override { return 0; }
  bool IsDoneComputing(int32_t /*graph*/) override { return true; }
  void Resize() override {}
  void Zoom(ZoomCommand /*command*/) override {}
  bool MouseWheel(int32_t /*dh*/, int32_t /*dv*/) override { return false; }
  void SetGraphParameter(ViewAttribute /*attribute*/, double /*value*/, int32_t /*graph*/) override {}
  bool UsesGrainSlider(int32_t /*graph*/) override { return false; }
  void GetHandCursorRgn(QRegion* /*region*/, bool /*panModifier*/) override {}
  void GetMarkCursorRgn(QRegion* /*region*/, bool /*markModifier*/, MPoint /*point*/) override {}
  void GetDragCursorRgn(QRegion* /*region*/) override {}
  MPoint GetDemoMouseLocation(int32_t /*step*/) override { return MPoint{}; }
  int32_t MouseDown(MPoint /*point*/, long /*when*/, bool /*command*/, bool /*option*/, bool /*control*/,
                    bool /*shift*/, bool /*doubleClick*/) override {
    return 1;
  }
  void MouseUp(MPoint /*point*/) override {}
  void MouseMove(MPoint /*now*/, MPoint /*before*/) override {}
  bool IsMoving() override { return false; }
  bool IsDrawAccelerated() override { return false; }
  bool AreAllGraphsDoneComputing() override { return true; }
  bool NoGraphs() override { return true; }
  bool EnableShowAllData() override { return false; }
  void DoShowAllData() override {}
  void SetViewParameter(ViewAttribute /*attribute*/) override {}
  void ViewChanged() override {}
  bool CopyDomainFrom(const AGraphView& /*other*/) override { return false; }
};
