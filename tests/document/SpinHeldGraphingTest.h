#pragma once

#include "graphpane/GraphHooks.h"
#include "tests/document/GraphedDocument.h"

// The spin held as an export holds it, so pictures don't depend on timing.
class SpinHeldGraphingTest : public GraphingTest {
 protected:
  void SetUp() override {
    GraphingTest::SetUp();
    gInhibit3DRotationKluge = true;
  }
  void TearDown() override {
    gInhibit3DRotationKluge = false;
    GraphingTest::TearDown();
  }
};
