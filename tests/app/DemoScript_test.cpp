#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include <string>
#include <vector>

#include "CoreUtilities/text/MessageTable.h"
#include "app/DemoScript.h"

namespace {

std::u32string Script(int id) { return QString::fromUtf16(OurGetLocalizedString(id)).toStdU32String(); }
std::u32string Utf32(const char* utf8) { return QString::fromUtf8(utf8).toStdU32String(); }

struct Shape {
  int id;
  int bytes;
  int lines;
  const char* firstLine;  // without its line feed
};

// Sizes and first lines as the scripts were laid down; the texts after the
// first lines are ours.
const Shape kShapes[] = {
    {50, 47, 1, "e\t'This is an example from the Examples menu.'"},
    {51, 350, 24, "$\t''"},
    {53, 2133, 50, "y=x^2%\t\t\t'To graph a 2D curve, type a function of x, starting with y=.'"},
    {54, 1918, 27, "Hz=xy\t\t\t\t\t\t\t'To graph a 3D surface, type a function of x and y, starting with z=.'"},
    {55, 1031, 22, "x^2%+y^2%<2^2%\t\t\t'Inequalities are relations in x and y, like this circle.'"},
    {57, 1236, 11, "V1T1\t'A point has zero dimensions: no length, no area, no volume.'"},
    {58, 1055, 11, "\x18-1\t'Zentrolab can work with complex numbers.'"},
    {59, 1503, 20, "y=e^x\t'Here we have the familiar exponential function of a real variable.'"},
};

TEST(DemoScriptTable, FirstLinesSizesAndEmptyScripts) {
  for (const Shape& shape : kShapes) {
    const QByteArray bytes = QString::fromUtf16(OurGetLocalizedString(shape.id)).toUtf8();
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_TRUE(bytes.endsWith('\n')) << shape.id;
    EXPECT_EQ(lines.first().toStdString(), shape.firstLine) << shape.id;
    EXPECT_LE(std::abs(bytes.size() - shape.bytes) * 4, shape.bytes) << shape.id << ": " << bytes.size() << " bytes";
    EXPECT_LE(std::abs(int(lines.size() - 1) - shape.lines) * 4, shape.lines) << shape.id << ": " << lines.size() - 1;
    // Every line of our scripts reads whole.
    for (const std::u32string& line : DemoScriptLines(Script(shape.id)))
      EXPECT_EQ(ReadDemoLine(line).badFields, 0) << shape.id << ": " << QString::fromStdU32String(line).toStdString();
  }
  EXPECT_TRUE(Script(52).empty());
  EXPECT_TRUE(Script(56).empty());
  EXPECT_TRUE(DemoScriptLines(Script(52)).empty());
}

using Commands = std::vector<DemoCommand>;
Commands CommandsOf(const DemoStep& step) {
  Commands commands;
  for (const DemoStep::Command& c : step.commands) commands.push_back(c.command);
  return commands;
}

TEST(DemoScriptLine, CommandsTypingAndCaptionsOfTheFirstLines) {
  DemoStep step = ReadDemoLine(Utf32("Hz=xy\t\t\t'Surfaces.'"));
  EXPECT_EQ(CommandsOf(step), Commands{DemoCommand::kHoldView});
  EXPECT_EQ(step.typed, U"z=xy");
  EXPECT_TRUE(step.hasCaption);
  EXPECT_EQ(step.caption, U"Surfaces.");
  EXPECT_FALSE(step.hasRange);

  step = ReadDemoLine(Utf32("V1T2.5\t'x'"));
  EXPECT_EQ(CommandsOf(step), (Commands{DemoCommand::kTurnView, DemoCommand::kPause}));
  EXPECT_EQ(step.commands[0].number, 1);
  EXPECT_EQ(step.commands[1].number, 2.5);
  EXPECT_TRUE(step.typed.empty());

  step = ReadDemoLine(Utf32("U1.5H\t'Tilted.'"));
  EXPECT_EQ(CommandsOf(step), (Commands{DemoCommand::kTiltView, DemoCommand::kHoldView}));
  EXPECT_EQ(step.commands[0].number, 1.5);

  step = ReadDemoLine(Utf32("\x18-1"));
  EXPECT_EQ(CommandsOf(step), Commands{DemoCommand::kClearEquation});
  EXPECT_EQ(step.typed, U"-1");  // a minus after a command without a number is typed
  EXPECT_FALSE(step.hasCaption);

  step = ReadDemoLine(Utf32("$\t''"));
  EXPECT_EQ(CommandsOf(step), Commands{DemoCommand::kNewDocument});
  EXPECT_TRUE(step.hasCaption);  // an empty caption clears the line
  EXPECT_TRUE(step.caption.empty());

  step = ReadDemoLine(Utf32("ey=x^2%+1\t'It's \u03c0.'"));
  EXPECT_EQ(CommandsOf(step), Commands{DemoCommand::kNewEquation});
  EXPECT_EQ(step.typed, U"y=x^2%+1");  // the arrow stays in the text, typed in its place
  EXPECT_EQ(step.caption, U"It's \u03c0.");
}

TEST(DemoScriptLine, RangesAreReadAndTheirStepsKeptToTheSlidersBounds) {
  DemoStep step = ReadDemoLine(Utf32("y=x^n\tn=0,2,40\t'Powers.'"));
  ASSERT_TRUE(step.hasRange);
  EXPECT_EQ(step.rangeLetter, U'n');
  EXPECT_EQ(step.rangeMinimum, 0);
  EXPECT_EQ(step.rangeMaximum, 2);
  EXPECT_EQ(step.rangeSteps, 40);
  EXPECT_EQ(step.caption, U"Powers.");
  EXPECT_EQ(ReadDemoLine(Utf32("\tn=-1.5,6.28,500")).rangeSteps, 200);
  EXPECT_EQ(ReadDemoLine(Utf32("\tn=-1.5,6.28,500")).rangeMinimum, -1.5);
  EXPECT_EQ(ReadDemoLine(Utf32("\tn=0,1,0")).rangeSteps, 1);
}

// A field that cannot be read is skipped; the other fields of the line stand.
TEST(DemoScriptLine, BadFieldsAreSkippedAndTheRestOfTheLineStands) {
  for (const char* bad : {"n=0,1", "n=0,1,2.5", "n=a,1,2", "=0,1,2", "n=0,1,2,3", "nonsense"}) {
    const DemoStep step = ReadDemoLine(Utf32((std::string("y=x\t") + bad + "\t'Kept.'").c_str()));
    EXPECT_EQ(step.badFields, 1) << bad;
    EXPECT_FALSE(step.hasRange) << bad;
    EXPECT_EQ(step.typed, U"y=x") << bad;
    EXPECT_EQ(step.caption, U"Kept.") << bad;
  }
  DemoStep step = ReadDemoLine(Utf32("y=x\tn=0,1,4\t'unterminated"));
  EXPECT_EQ(step.badFields, 1);
  EXPECT_FALSE(step.hasCaption);
  EXPECT_TRUE(step.hasRange);
  EXPECT_EQ(ReadDemoLine(Utf32("y=x\t'")).hasCaption, false);  // a lone quote opens and never closes

  // An unknown command character, or a numbered command without its
  // number, loses the action; the caption still shows.
  for (const char* action : {"\x01y=x", "Vy=x", "T\t", "H\x02z=x"}) {
    step = ReadDemoLine(Utf32((std::string(action) + "\t'Shown.'").c_str()));
    EXPECT_EQ(step.badFields, 1) << action;
    EXPECT_TRUE(step.commands.empty()) << action;
    EXPECT_TRUE(step.typed.empty()) << action;
    EXPECT_EQ(step.caption, U"Shown.") << action;
  }
}

TEST(DemoScriptLine, LinesAndTitles) {
  EXPECT_TRUE(DemoScriptLines(U"").empty());
  EXPECT_EQ(DemoScriptLines(U"a\nb"), (std::vector<std::u32string>{U"a", U"b"}));
  EXPECT_EQ(DemoScriptLines(U"a\n\nb\n"), (std::vector<std::u32string>{U"a", U"", U"b"}));
  EXPECT_EQ(DemoTitle(U"$\t''\ny=x\t'Line.'\n"), U"Line.");
  EXPECT_EQ(DemoTitle(U"y=x\n"), U"");
  EXPECT_EQ(DemoTitle(Script(53)), U"To graph a 2D curve, type a function of x, starting with y=.");
}

}  // namespace
