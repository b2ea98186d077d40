#include "app/AppSettings.h"
#include "app/DocumentFiles.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "matheditor/MathSizeTable.h"
#include "platform/PosixFiles.h"
#include "renderer/RendererGlobals.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <cerrno>
#include <unistd.h>

#include <fstream>

namespace {

void Spit(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

constexpr char kDocument[] = "Zentrolabworksheet 4;\nExpr y = x^2;\n";

class DocumentFilesTest : public testing::Test {
 protected:
  std::string Path(const char* name) const { return (fFolder.path() + "/" + name).toStdString(); }
  QTemporaryDir fFolder;
};

// A read-only folder refuses the temporary file; a full disk, its bytes.
// The system calls are made to fail as they would there (root could
// write into a read-only folder anyway).
TEST_F(DocumentFilesTest, FailedSavesSayWhyAndChangeNothing) {
  Spit(Path("a.zlf"), kDocument);
  OpenedDocument opened = OpenDocumentFile(Path("a.zlf"));
  ASSERT_NE(opened.document, nullptr);
  opened.document->fModified = true;
  const struct {
    PosixCall call;
    int error;
    int32_t message;
  } cases[] = {{PosixCall::kMakeTemporary, EACCES, 44},
               {PosixCall::kMakeTemporary, EROFS, 44},
               {PosixCall::kWrite, ENOSPC, 43},
               {PosixCall::kFsync, EIO, 45}};
  for (const auto& c : cases) {
    SetPosixFaultHook([&c](PosixCall call) { return call == c.call ? c.error : 0; });
    EXPECT_EQ(SaveDocumentFile(*opened.document, Path("a.zlf")), c.message) << c.error;
    EXPECT_EQ(SaveDocumentFile(*opened.document, Path("new.zlf")), c.message) << c.error;
    SetPosixFaultHook(nullptr);
    EXPECT_TRUE(opened.document->fModified);
    EXPECT_EQ(FileBytes(Path("a.zlf")), kDocument);
    EXPECT_EQ(access(Path("new.zlf").c_str(), F_OK), -1);
  }
}

TEST(DocumentExtension, AddedOnlyWhenMissing) {
  EXPECT_EQ(WithDocumentExtension("/tmp/a"), "/tmp/a.zlf");
  EXPECT_EQ(WithDocumentExtension("/tmp/a.zlf"), "/tmp/a.zlf");
  EXPECT_EQ(WithDocumentExtension("/tmp/a.txt"), "/tmp/a.txt.zlf");
}

// Only the value 1 counts; enabling fragment programs wins over disabling.
TEST(AppSettings, HiddenRendererSwitches) {
  QTemporaryDir folder;
  QSettings settings(folder.path() + "/prefs.ini", QSettings::IniFormat);
  settings.setValue("use_software_renderer", 1);
  settings.setValue("disable_fragment_programs", 1);
  settings.setValue("enable_fragment_programs", 1);
  settings.setValue("disable_antialiasing", 2);
  settings.setValue("enable_vertex_buffer_objects", "yes");
  ApplyHiddenRendererSettings(settings);
  EXPECT_EQ(gHasOpenGL, 0);
  EXPECT_EQ(gDisableFragmentProgramPreference, 0);
  EXPECT_EQ(gDisableAntialiasingPreference, 0);
  EXPECT_EQ(gEnableVertexBufferObjectsPreference, 0);
  settings.remove("enable_fragment_programs");
  ApplyHiddenRendererSettings(settings);
  EXPECT_EQ(gDisableFragmentProgramPreference, 1);
  gHasOpenGL = 1;
  gDisableFragmentProgramPreference = 0;
}

TEST(AppSettings, ValuesOutOfRangeKeepTheDefaults) {
  QTemporaryDir folder;
  QSettings settings(folder.path() + "/prefs.ini", QSettings::IniFormat);
  settings.setValue("SignificantDigits", 12);
  settings.setValue("FontSize", 0);
  settings.setValue("FontName", "Helvetica");
  settings.setValue("BackroundColor", QStringList{"10", "20", "30"});
  settings.setValue("DrawGraphsToRight", false);
  settings.setValue("math_fontsize_minimum", 50);
  settings.setValue("math_superscript_size_percentage", 60);
  const NewDocumentSettings s = ReadNewDocumentSettings(settings);
  EXPECT_EQ(s.significantDigits, 12);
  EXPECT_EQ(s.fontSize, NewDocumentSettings().fontSize);
  EXPECT_EQ(s.fontName, "Helvetica");
  EXPECT_EQ(s.backgroundColor[0], 10);
  EXPECT_EQ(s.backgroundColor[2], 30);
  EXPECT_FALSE(s.drawGraphsToRight);
  const float minimum = gEquationFontMinSize, superscript = gEquationFontsizeSuperscriptFactor;
  ApplyHiddenMathSettings(settings);
  EXPECT_EQ(gEquationFontMinSize, minimum);
  EXPECT_FLOAT_EQ(gEquationFontsizeSuperscriptFactor, 0.6f);
  gEquationFontsizeSuperscriptFactor = superscript;  // later tests in this process typeset

  // A new document carries the settings through the reader.
  const std::string text = NewDocumentText(s);
  const auto document = ReadDocumentText(text.data(), int32_t(text.size()));
  ASSERT_NE(document, nullptr);
  const DocumentContents& c = document->fContents;
  EXPECT_EQ(c.significantDigits, 12);
  EXPECT_STREQ(c.fontName, "Helvetica");
  EXPECT_TRUE(c.stackPanes);
  EXPECT_EQ(c.backgroundColor[1], 20);
  ASSERT_EQ(c.blocks.Count(), 1);
  EXPECT_EQ(c.blocks[0].kind, kEquationBlock);
}

}  // namespace
