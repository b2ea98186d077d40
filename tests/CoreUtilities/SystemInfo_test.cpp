#include "CoreUtilities/SystemInfo.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>

namespace {

TEST(SystemInfo, ReportLinesKeepTheirIndentAsSpaces) {
  EXPECT_EQ(IndentReportLines("\t\tModel: x\r   \r\t \r"), "  Model: x\r");
  EXPECT_EQ(IndentReportLines("Hardware:\n    Memory: 8 GB"), "Hardware:\r    Memory: 8 GB\r");
  EXPECT_EQ(IndentReportLines(""), "");
}

TEST(SystemInfo, DisplaysAndHardwareAreDescribed) {
  const std::string displays = GetDisplayInfo();
  int width = 0, height = 0, depth = 0;
  ASSERT_EQ(std::sscanf(displays.c_str(), "Display #0: %d x %d. %d bits per pixel. ", &width, &height, &depth), 3)
      << displays;
  EXPECT_GT(width, 0);
  EXPECT_GT(depth, 0);
  EXPECT_NE(displays.find("bits per pixel. Main display. \r"), std::string::npos) << displays;
  const std::string info = OurGetSystemInfo();
  EXPECT_TRUE(info.starts_with(displays + "\rHardware:\r"));
  EXPECT_NE(info.find("    MemTotal: "), std::string::npos);
  EXPECT_EQ(info.find('\n'), std::string::npos);
  const long processors = ::sysconf(_SC_NPROCESSORS_ONLN);
  if (processors > 1) {
    EXPECT_NE(info.find("    Count: " + std::to_string(processors)), std::string::npos) << info;
  }
}

}  // namespace
