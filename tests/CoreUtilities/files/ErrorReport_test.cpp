#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/files/ErrorReport.h"
#include "CoreUtilities/text/MessageTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> sShown;
bool sFrontmost = true;

void RecordAlert(int id, const UniChar* text) {
  EXPECT_EQ(text, OurGetLocalizedString(id));
  sShown.push_back(id);
}

// As a timer firing while the alert is up would.
void RecordAndReportAgain(int id, const UniChar* text) {
  RecordAlert(id, text);
  ReportDeferredErrorNow();
}

bool IsFrontmost() { return sFrontmost; }

class ErrorReportTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetDeferredErrors();
    sShown.clear();
    sFrontmost = true;
    SetFrontmostProcessQuery(IsFrontmost);
    SetErrorAlertHook(RecordAlert);
  }
  void TearDown() override {
    SetFrontmostProcessQuery(nullptr);
    SetErrorAlertHook(nullptr);
    ResetDeferredErrors();
  }
};

}  // namespace

TEST_F(ErrorReportTest, WaitsUntilFrontmostThenShowsOnce) {
  QueueError(42);
  sFrontmost = false;
  ReportDeferredErrorNow();
  EXPECT_TRUE(sShown.empty());
  EXPECT_TRUE(IsDeferredErrorWaiting());

  sFrontmost = true;
  ReportDeferredErrorNow();
  ReportDeferredErrorNow();
  EXPECT_EQ(sShown, std::vector<int>{42});
  EXPECT_FALSE(IsDeferredErrorWaiting());
}

TEST_F(ErrorReportTest, ReportingFromInsideTheAlertCannotShowItTwice) {
  SetErrorAlertHook(RecordAndReportAgain);
  QueueError(36);
  ReportDeferredErrorNow();
  EXPECT_EQ(sShown, std::vector<int>{36});
}

TEST_F(ErrorReportTest, HeadlessAlertWritesTheTextToStandardError) {
  SetErrorAlertHook(nullptr);
  SetFrontmostProcessQuery(nullptr);
  EXPECT_TRUE(CurrentProcessIsFrontmost());
  QueueError(37);
  testing::internal::CaptureStderr();
  ReportDeferredErrorNow();
  const std::string written = testing::internal::GetCapturedStderr();
  EXPECT_NE(written.find("64-bit floating point values.\n\nChoose Reset Graph"), std::string::npos) << written;
}
