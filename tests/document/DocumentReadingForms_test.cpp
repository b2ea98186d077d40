#include "app/TextureCoding.h"
#include "document/DemoState.h"
#include "expression/DocumentStatements.h"
#include "platform/OurPicture.h"
#include "tests/document/DocumentFields.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

using namespace document_fields;

namespace {

const std::string kHeader = "Zentrolabworksheet 4;\n";

// A 2 x 1 picture and its Base64 PNG.
struct SmallPicture {
  OurPicture picture;
  std::string base64;
  SmallPicture() {
    picture.image = QImage(2, 1, QImage::Format_ARGB32);
    picture.image.setPixel(0, 0, 0xFF102030u);
    picture.image.setPixel(1, 0, 0x80FFFFFFu);
    picture.frame = picture.image.rect();
    base64 = EncodeTexture(&picture);
  }
};

struct Form {
  std::string statement;
  Fields expected;          // "*": changed to a computed value
  std::string around = "";  // applied with and without the statement
};

Fields Pairs(const std::string& name, double a, double b) { return {{name + "[0]", Num(a)}, {name + "[1]", Num(b)}}; }

Fields Merge(std::initializer_list<Fields> parts) {
  Fields all;
  for (const Fields& part : parts) all.insert(part.begin(), part.end());
  return all;
}

Fields Sequence(const std::string& name, int count, double first) {
  Fields f;
  for (int i = 0; i < count; ++i) f[name + "[" + std::to_string(i) + "]"] = Num(first + i);
  return f;
}

std::string Values(int count, double first) {
  std::string text;
  for (int i = 0; i < count; ++i) text += " " + Num(first + i);
  return text;
}

std::vector<Form> Forms(const SmallPicture& small) {
  const std::string equation = "Expr x;\n";
  const std::string table = "Table\t1\nEndOfTable;\n";
  const std::string pixels = PixelsOf(&small.picture);
  std::vector<Form> forms = {
      {"Window 1 2 -3 4", Merge({Pairs("windowRect", 1, 2), {{"windowRect[2]", "-3"}, {"windowRect[3]", "4"}}})},
      {"TextEncoding MacOS", {{"textEncoding", "1"}}},
      {"TextEncoding UTF8", {{"textEncoding", "0"}}, "TextEncoding MacOS;\n"},
      {"PaneDivider 7", {{"paneDivider", "7"}}},
      {"SignificantDigits 12", {{"significantDigits", "12"}}},
      {"HideAxes 5",
       {{"pane.axes2D", "0"},
        {"pane.axes2Dp", "0"},
        {"pane.paper2D", "0"},
        {"pane.paper2Dp", "0"},
        {"pane.axes3D", "0"},
        {"pane.axes3Dp", "0"}}},
      {"DrawGraph 0", {{"drawGraph", "0"}}},
      {"FontName \"Helvetica\"", {{"fontName", "Helvetica"}}},
      {"FontSizes 18 9 7", {{"fontSize", "18"}}},
      {"FontSizes 20", {{"fontSize", "20"}}},
      {"BackgroundType 2", {{"backgroundType", "2"}}},
      {"BackgroundColor 10 20 30",
       {{"backgroundColor[0]", "10"}, {"backgroundColor[1]", "20"}, {"backgroundColor[2]", "30"}}},
      {"StackPanes 1", {{"stackPanes", "1"}}},
      {"PageMargins 1 2 3 0.5",
       {{"pageMargins[2]", "65536"},
        {"pageMargins[0]", "131072"},
        {"pageMargins[3]", "196608"},
        {"pageMargins[1]", "32768"}}},
      {"Slider -2 3", {{"sliderMinimum", "-2"}, {"sliderMaximum", "3"}}},
      {"SliderSteps 40", {{"sliderSteps", "40"}}},
      {"SliderControlValue 7", {{"sliderControlValue", "7"}}},
      {"SliderMoving 1", {{"animationRunning", "1"}}},
      {"SliderVariable t", {{"sliderVariable", "116"}}},
      {"SliderThrottle 3", {{"sliderThrottle", "3"}}},
      {"SliderOneDirection 1", {{"sliderOneDirection", "1"}}},
      {"SliderDirection -1", {{"sliderDirection", "-1"}}},
      {"UseAntialiasing 0", {{"useAntialiasing", "0"}}},
      {"T 1 5", Merge({Pairs("view2D.t", 1, 5), Pairs("view2Dp.t", 1, 5), Pairs("view3D.t", 1, 5),
                       Pairs("view3Dp.t", 1, 5), Pairs("view4D.t", 1, 5)})},
      {"U 1 5", Merge({Pairs("view3D.u", 1, 5), Pairs("view3Dp.u", 1, 5), Pairs("view4D.u", 1, 5)})},
      {"V 1 5", Merge({Pairs("view3D.v", 1, 5), Pairs("view3Dp.v", 1, 5), Pairs("view4D.v", 1, 5)})},
      {"R 1 5",
       Merge({Pairs("view2D.r", 1, 5), Pairs("view2Dp.r", 1, 5), Pairs("view3D.r", 1, 5), Pairs("view3Dp.r", 1, 5)})},
      {"Theta 1 5", Merge({Pairs("view2D.theta", 1, 5), Pairs("view2Dp.theta", 1, 5), Pairs("view3D.theta", 1, 5),
                           Pairs("view3Dp.theta", 1, 5)})},
      {"Phi 1 5", Merge({Pairs("view3D.phi", 1, 5), Pairs("view3Dp.phi", 1, 5)})},
      {"2D.T 1 5", Pairs("view2D.t", 1, 5)},
      {"2D.R 1 5", Pairs("view2D.r", 1, 5)},
      {"2D.Theta 1 5", Pairs("view2D.theta", 1, 5)},
      // Equal ends are no range: files have held "0 0" for ranges never set.
      {"T 0 0", {}},
      {"2D.Theta 3 3", {}},
      {"4D.View" + Values(16, 2), Sequence("view4D.view", 16, 2)},
      {"4D.Rotation 0.6 -0.8 0 0 0.8 0.6 0 0 0 0 1 0 0 0 0 1",
       {{"pane.axis1_4D[0]", "*"}, {"pane.axis2_4D[0]", "*"}, {"pane.speed1_4D", "*"}, {"pane.speed2_4D", "*"}}},
      {"4D.Axis1 1 2 3", Sequence("pane.axis1_4D", 3, 1)},
      {"4D.Axis2 1 2 3", Sequence("pane.axis2_4D", 3, 1)},
      {"4D.Speed1 5", {{"pane.speed1_4D", "5"}}},
      {"4D.Speed2 -5", {{"pane.speed2_4D", "-5"}}},
      {"4D.Depth 3", {{"pane.depth4D", "3"}}},
      {"4D.Show4Daxes 0", {{"pane.show4Daxes", "0"}}},
      {"4D.Show4DxyPlane 0", {{"pane.show4DxyPlane", "0"}}},
      {"Color 3", {{"block0.Color", "3"}}, equation},
      {"Grain 0.25", {{"block0.Grain", "0.25"}}, equation},
      {"Opacity 0.5", {{"block0.Opacity", "0.5"}}, equation},
      {"PlottingMode 4", {{"block0.PlottingMode", "4"}}, equation},
      {"XYType 3", {{"block0.XYType", "3"}}, equation},
      {"MathPaneSlider 6", {{"block0.mathPaneSlider", "6"}}, equation},
      {"Expr y = 2",
       {{"block0.kind", "0"},
        {"block0.Color", "1"},
        {"block0.Grain", "0.5"},
        {"block0.Opacity", "1"},
        {"block0.PlottingMode", "2"},
        {"block0.XYType", "1"},
        {"block0.mathPaneSlider", "0"},
        {"block0.texture", "none"},
        {"block0.expression", "y=2"}}},
      {"Parameter a = 2", {{"parameter0", "97=2"}}},
      {"Text \"<font=Helvetica><size=10>hi\"",
       {{"block0.kind", "1"}, {"block0.text", "hi"}, {"block0.run0", "0+2 DejaVu Sans 10 000"}}},
      {"TableFontSize 14", {{"block0.table", "14 23 0"}}, table},
      {"TableDisplayRows 3", {{"block0.table", "12 20 3"}}, table},
      {"Table\t1\t\n\t\t2\nEndOfTable",
       {{"block0.kind", "2"},
        {"block0.table", "12 20 0"},
        {"block0.cell0,0", "1"},
        {"block0.cell0,1", ""},
        {"block0.cell1,0", ""},
        {"block0.cell1,1", "2"}}},
      {"PrintRecord \"0aFff\"", {{"printRecord", "\x0a\xff"}}},
      {"Picture \"" + small.base64 + "\"", {{"block0.texture", pixels}}, equation},
      {"Picture \"" + small.base64 + "\" 1 2", {{"picture2D0", pixels + " at 1 2"}}},
      {"Picture \"" + small.base64 + "\" 1 2 1", {{"picture2Dp0", pixels + " at 1 2"}}},
      {"Window 1 2 3", {}},
      {"Bogus 1", {}},
      {"?", {}},
  };
  // The first and second views of a kind take the same statements.
  for (const std::string view : {"2D", "2Dp"}) {
    const std::string p = view == "2D" ? "" : "p";
    forms.push_back({view + ".Axes 0", {{"pane.axes" + view, "0"}}});
    forms.push_back({view + ".GraphPaper 0", {{"pane.paper" + view, "0"}}});
    forms.push_back({view + ".Scale 1 2 3.9 -4.9",
                     Merge({Pairs("view" + view + ".scale", 1, 2), Pairs("view" + view + ".integers", 3, -4)})});
    forms.push_back({view + ".BottomLeft 1 2", Pairs("view" + view + ".bottomLeft", 2, 1)});
    const std::string space = "3D" + p;
    forms.push_back({space + ".Axes 0", {{"pane.axes" + space, "0"}}});
    forms.push_back({space + ".Depth 5", {{"view" + space + ".depth", "5"}}});
    forms.push_back({space + ".View" + Values(9, 2), Sequence("view" + space + ".view", 9, 2)});
    forms.push_back({space + ".Rotation 1 0 0 0 0.6 0.8 0 -0.8 0.6",
                     {{"pane.spinAxis" + space + "[0]", "*"},
                      {"pane.spinAxis" + space + "[2]", "0"},  // from the default axis, 0 0 -1
                      {"pane.spinSpeed" + space, "*"}}});
    forms.push_back({space + ".Axis 1 2 3", Sequence("pane.spinAxis" + space, 3, 1)});
    forms.push_back({space + ".Speed 0.25", {{"pane.spinSpeed" + space, "0.25"}}});
  }
  const char* ranges3D[] = {"t", "u", "v", "r", "theta", "phi", "x", "y", "z"};
  const char* keywords3D[] = {"3D.T", "3D.U", "3D.V", "3D.R", "3D.Theta", "3D.Phi", "3D.X", "3D.Y", "3D.Z"};
  for (int i = 0; i < 9; ++i)
    forms.push_back({std::string(keywords3D[i]) + " 1 5", Pairs(std::string("view3D.") + ranges3D[i], 1, 5)});
  for (const char* axis : {"x", "y", "z"})
    forms.push_back({std::string("3Dp.") + char(axis[0] - 32) + " 1 5", Pairs(std::string("view3Dp.") + axis, 1, 5)});
  for (const char* range : {"t", "u", "v", "x", "y", "z", "w"}) {
    const std::string keyword = std::string("4D.") + char(range[0] - 32);
    forms.push_back({keyword + " 1 5", Pairs(std::string("view4D.") + range, 1, 5)});
  }
  return forms;
}

TEST(DocumentStatementForms, EachStatementSetsExactlyItsFields) {
  const SmallPicture small;
  ASSERT_FALSE(small.base64.empty());
  const std::vector<Form> forms = Forms(small);
  EXPECT_GE(forms.size(), 95u);
  for (const Form& form : forms) {
    SCOPED_TRACE(form.statement);
    const auto before = Read(kHeader + form.around);
    // Block settings and table settings act on what follows them.
    const bool settingFirst = !form.around.empty() && form.around.find("Expr") == std::string::npos &&
                              form.around.find("Table") == std::string::npos;
    const std::string text =
        settingFirst ? kHeader + form.around + form.statement + ";\n" : kHeader + form.statement + ";\n" + form.around;
    const auto after = Read(text);
    ASSERT_TRUE(before && after);
    Fields changed = Changed(FieldsOf(*before), FieldsOf(*after));
    for (const auto& [name, value] : form.expected)
      if (value == "*") {
        EXPECT_TRUE(changed.count(name)) << name;
        changed[name] = "*";
      }
    EXPECT_EQ(changed, form.expected);
  }
}

TEST(DocumentStatementForms, ReadsTheVersionAndLetsDemosKeepTheirLayout) {
  ASSERT_TRUE(Read("Zentrolabworksheet 3.5;\n"));
  EXPECT_EQ(gFileVersionNumber, 3.5);
  SetDemoRunning(true);
  const auto document = Read(kHeader + "PaneDivider 9;\nStackPanes 1;\nSignificantDigits 3;\n");
  SetDemoRunning(false);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->fContents.paneDivider, 0);
  EXPECT_FALSE(document->fContents.stackPanes);
  EXPECT_EQ(document->fContents.significantDigits, 3);
}

}  // namespace
