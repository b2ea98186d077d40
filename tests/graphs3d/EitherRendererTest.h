#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/views/A3DGraphView.h"
#include "renderer/RendererGlobals.h"
#include "tests/renderer/RendererTestWorld.h"
#include "tests/support/SquareTopView.h"

// A view `side` pixels square seen from above, without axes or spin, on
// the software renderer or, for the parameter true, on the offscreen OpenGL
// one; the compute threads run.
class EitherRendererTest : public testing::TestWithParam<bool> {
 protected:
  EitherRendererTest(int16_t side, uint32_t background) : world{side, side}, fSide(side), fBackground(background) {}
  void SetUp() override {
    StartComputeThreads();
    openGL = std::exchange(gHasOpenGL, GetParam() ? gHasOpenGL : 0);
    ASSERT_TRUE(!GetParam() || openGL != 0) << "no OpenGL context could be made";
    gTestDocument.backgroundColor = fBackground;
    view = std::make_unique<A3DGraphView>();
    SquareTopView(*view, TestDocument(), fSide);
  }
  void TearDown() override {
    view.reset();
    gHasOpenGL = openGL;
    DestroyContextsAwaitingDestruction();
    StopComputeThreads();
  }

  RendererTestWorld world;
  int32_t openGL = 0;
  std::unique_ptr<A3DGraphView> view;

 private:
  int16_t fSide;
  uint32_t fBackground;
};

// The instances' names: the renderer each draws on.
inline std::string RendererName(const testing::TestParamInfo<bool>& info) { return info.param ? "OpenGL" : "Software"; }
