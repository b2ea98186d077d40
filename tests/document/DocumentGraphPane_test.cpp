#include <gtest/gtest.h>

#include <string>

#include "CoreUtilities/drawing/OurPictures.h"
#include "document/DocumentGraphPane.h"
#include "document/DocumentWriter.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "platform/OurPicture.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/document/DocumentTestSupport.h"

namespace {

const MRect kPane{0, 0, 300, 400};

// The golden settings document, with the view makers the pane needs.
class GraphPaneSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    saved = gGraphPaneHooks;
    gGraphPaneHooks = GraphPaneHooks{};
    gGraphPaneHooks.Make2DView = MakeA2DGraphView;
    gGraphPaneHooks.Make3DView = MakeA3DGraphView;
    gGraphPaneHooks.Make4DView = MakeA4DGraphView;
    document = Read(Golden("document_golden_settings.zlf"));
    ASSERT_NE(document, nullptr);
  }
  void TearDown() override {
    document.reset();
    gGraphPaneHooks = saved;  // later tests in this process graph through them
  }
  GraphPaneHooks saved;
  std::unique_ptr<DocumentRecord> document;
};

TEST_F(GraphPaneSettingsTest, StoredViewsGoIntoThePaneViews) {
  const GraphPaneSettings& s = document->fContents.pane;
  auto pane = MakeDocumentGraphPane(document.get(), kPane, nullptr);
  const StoredView2D second = dynamic_cast<A2DGraphView*>(pane->View2D(1))->StoredView();
  EXPECT_EQ(second.scale[0], 25);
  EXPECT_EQ(second.bottomLeft[0], s.view2Dp.bottomLeft[0]);
  EXPECT_EQ(second.bottomLeft[1], s.view2Dp.bottomLeft[1]);
  EXPECT_EQ(second.tickState[0], 1);
  EXPECT_TRUE(pane->IsShowingAxes(kCurrentView));
  EXPECT_TRUE(pane->IsShowingGraphPaper(kCurrentView));
  EXPECT_EQ(pane->View2D(0)->ParameterRange(kCoordR)[1], 5);
  EXPECT_EQ(pane->View3D(0)->ParameterRange(kCoordZ)[0], s.view3D.z[0]);
  EXPECT_EQ(pane->View3D(0)->ParameterRange(kCoordPhi)[1], s.view3D.phi[1]);
  EXPECT_EQ(pane->View4D()->ParameterRange(kCoordW)[1], s.view4D.w[1]);
  EXPECT_EQ(pane->View4D()->ParameterRange(kCoordR), nullptr);
}

TEST_F(GraphPaneSettingsTest, OnlyChangesInThePaneReachTheWrittenDocument) {
  const auto plain = WriteDocumentText(*document);
  document->fGraphPane = MakeDocumentGraphPane(document.get(), kPane, nullptr);
  // The first view's tick states are unusable and shown as defaults; the
  // document keeps its own, also once the window has laid the pane out anew.
  EXPECT_EQ(WriteDocumentText(*document), plain);
  document->fGraphPane->SetGraphRect(MRect{0, 0, 500, 900});
  EXPECT_EQ(WriteDocumentText(*document), plain);
  AGraphPane& pane = *document->fGraphPane;
  pane.SetParameterValue(kCoordT, 1, 9.5);
  pane.SetParameterValue(kCoordXPrime, 0, -7.25);
  pane.ShowViews(pane.View2D(0), pane.View2D(1));
  pane.Zoom(kZoomOut, kSecondView);
  pane.SetViewParameter(kAttributeShowGraphPaper, kCurrentView);
  const auto text = WriteDocumentText(*document);
  ASSERT_TRUE(text);
  auto again = Read(*text);
  ASSERT_NE(again, nullptr);
  const GraphPaneSettings& s = again->fContents.pane;
  const GraphPaneSettings& before = document->fContents.pane;
  EXPECT_EQ(s.view2D.t[1], 9.5);
  EXPECT_EQ(s.view3D.t[1], 9.5);
  EXPECT_EQ(s.view4D.t[1], 9.5);
  EXPECT_EQ(s.view3Dp.x[0], -7.25);
  EXPECT_GT(s.view2Dp.scale[0], before.view2Dp.scale[0]);
  EXPECT_FALSE(s.graphPaper2D);
  EXPECT_EQ(s.view4D.w[1], before.view4D.w[1]);
  EXPECT_EQ(s.spinSpeed3D, before.spinSpeed3D);
}

// Each view shows the pictures placed in it; where the mouse leaves them
// there is what is written.
TEST_F(GraphPaneSettingsTest, PlacedPicturesGoIntoTheirViewsAndAreWrittenFromThem) {
  DocumentContents& c = document->fContents;
  ASSERT_EQ(c.pictures2D.Count(), 1);
  const QImage pixels = c.pictures2D[0].picture->image;
  ASSERT_FALSE(pixels.isNull());
  ASSERT_EQ(c.pictures2Dp.Add({OurCopyPicture(c.pictures2D[0].picture), -3, 4}), 0);
  document->fGraphPane = MakeDocumentGraphPane(document.get(), kPane, nullptr);
  auto* first = dynamic_cast<A2DGraphView*>(document->fGraphPane->View2D(0));
  auto* second = dynamic_cast<A2DGraphView*>(document->fGraphPane->View2D(1));
  ASSERT_EQ(first->Pictures().Count(), 1);
  ASSERT_EQ(second->Pictures().Count(), 1);
  EXPECT_EQ(first->Pictures()[0].x, 1);
  EXPECT_EQ(first->Pictures()[0].y, 2);
  EXPECT_EQ(second->Pictures()[0].x, -3);
  EXPECT_EQ(second->Pictures()[0].y, 4);
  EXPECT_EQ(first->Pictures()[0].picture->image, pixels);

  // Dragged along in the first view, out of the second.
  first->MutablePictures()[0].x = 0.5;
  OurDisposePicture(second->MutablePictures()[0].picture);
  second->MutablePictures().Remove(0);
  auto again = Read(*WriteDocumentText(*document));
  ASSERT_NE(again, nullptr);
  ASSERT_EQ(again->fContents.pictures2D.Count(), 1);
  EXPECT_EQ(again->fContents.pictures2D[0].first, 0.5);
  EXPECT_EQ(again->fContents.pictures2D[0].second, 2);
  EXPECT_EQ(again->fContents.pictures2D[0].picture->image, pixels);
  EXPECT_EQ(again->fContents.pictures2Dp.Count(), 0);

  // A view with no memory left for its copy leaves the picture with the
  // document, which still writes it.
  {
    const BudgetRoom full(0);
    again->fGraphPane = MakeDocumentGraphPane(again.get(), kPane, nullptr);
  }
  EXPECT_EQ(dynamic_cast<A2DGraphView*>(again->fGraphPane->View2D(0))->Pictures().Count(), 0);
  const auto kept = Read(*WriteDocumentText(*again));
  ASSERT_NE(kept, nullptr);
  ASSERT_EQ(kept->fContents.pictures2D.Count(), 1);
  EXPECT_EQ(kept->fContents.pictures2D[0].first, 0.5);
  EXPECT_EQ(kept->fContents.pictures2D[0].picture->image, pixels);
}

TEST_F(GraphPaneSettingsTest, TheFourDStateGoesIntoTheViewAndBack) {
  document->fGraphPane = MakeDocumentGraphPane(document.get(), kPane, nullptr);
  auto* view = dynamic_cast<A4DGraphView*>(document->fGraphPane->View4D());
  ASSERT_NE(view, nullptr);
  const Matrix4 identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_TRUE(EqualMatrix(view->Orientation(), identity));
  EXPECT_EQ(view->SpinAxis(0).z, 1);
  EXPECT_EQ(view->SpinSpeed(0), 0.1);
  EXPECT_EQ(view->SpinAxis(1).x, 1);
  EXPECT_EQ(view->SpinSpeed(1), -0.1);
  EXPECT_EQ(view->Zoom(), M3DView::kDefaultZoom);  // the file holds no usable depth
  EXPECT_TRUE(view->IsShowingAxes());

  view->SetViewParameter4D(kAttributeTurnXY, 90);
  view->SetViewParameter4D(kAttribute4DGrid, 0);
  auto again = Read(*WriteDocumentText(*document));
  ASSERT_NE(again, nullptr);
  const GraphPaneSettings& s = again->fContents.pane;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(s.view4D.view[i], view->Orientation()[i], 1e-6) << i;
  EXPECT_FALSE(s.show4DxyPlane);
  EXPECT_EQ(s.depth4D, M3DView::kDefaultZoom);

  // What is no rotation installs the reset orientation.
  std::fill_n(document->fContents.pane.view4D.view, 16, 0.5);
  document->fContents.pane.depth4D = -1;
  auto pane = MakeDocumentGraphPane(document.get(), kPane, nullptr);
  auto* reset = dynamic_cast<A4DGraphView*>(pane->View4D());
  EXPECT_TRUE(EqualMatrix(reset->Orientation(), A4DGraphView().Orientation()));
  EXPECT_EQ(reset->Zoom(), M3DView::kDefaultZoom);
}

}  // namespace
