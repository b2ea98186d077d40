#include "tests/app/ApplicationFixture.h"
#include "tests/app/DemoFixtures.h"

#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "CoreUtilities/text/MessageTable.h"
#include "app/DemoPlayer.h"
#include "document/DemoState.h"
#include "document/DocumentIdle.h"
#include "document/SliderAnimation.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphHooks.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/ViewClock.h"
#include "renderer/RotationMath.h"

namespace {

std::u32string ScriptText(const char* utf8) { return QString::fromUtf8(utf8).toStdU32String(); }

class DemoTest : public DemoWindowTest {
 protected:
  void SetUp() override {
    SetDemoImmediatePace(true);
    // A demo's document is left unmodified: closing it asks nothing.
    SetSaveChangesQuestion([](QWidget*, const QString& name) {
      ADD_FAILURE() << "asked to save " << name.toStdString();
      return SaveChangesAnswer::kDontSave;
    });
  }

  static std::vector<std::string> Formulas(DocumentRecord* document) {
    std::vector<std::string> formulas;
    for (int32_t b = 0; b < document->fContents.blocks.Count(); ++b) formulas.push_back(FormulaText(document, b));
    return formulas;
  }

  // Every formula but an empty one says nothing against its graph.
  static void ExpectEveryGraphDrawn(DocumentRecord* document, int script, int32_t line) {
    for (int32_t b = 0; b < document->fContents.blocks.Count(); ++b) {
      if (FormulaText(document, b) == "?") continue;
      EXPECT_EQ(EquationMessage(document, b), 0)
          << "script " << script << " line " << line << ": " << FormulaText(document, b);
    }
  }
};

// What each script leaves in its window, read off its lines.
const std::map<int, std::vector<std::string>> kFinalFormulas = {
    {50, {"?", "?"}},
    {51, {"y=e^(-x^2)"}},
    {53, {"r=theta"}},
    {54, {"z=x^2-y^2", "x^2+y^2+z^2=3"}},
    {55, {"y>x^3-x"}},
    {57, {"p=1+2*i", "q=-2-i", "y=2*x", "y=x/2", "s=3*i", "x^2+y^2=9", "a=-2+2*i", "x=-2"}},
    {58, {"p=2+i", "q=-1+2*i", "c=-2-i", "x^2+y^2=5", "y<0"}},
    {59, {"y=e^(-(x/4))*sin((2*x))", "y=e^(-(x/4))", "y=-e^(-(x/4))"}},
};

TEST_F(DemoTest, EveryScriptPlaysToItsEndWithEveryGraphDrawn) {
  for (const auto& [script, formulas] : kFinalFormulas) {
    DocumentMainWindow* window = nullptr;
    int32_t steps = 0;
    SetDemoStepObserver([&](int32_t line) {
      EXPECT_EQ(line, steps++);
      EXPECT_TRUE(IsDemoRunning());
      ExpectEveryGraphDrawn(window->Document(), script, line);
    });
    window = PlayDemo(script);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DemoWindow(), window);
    ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); })) << "hang in script " << script;
    const QString text = QString::fromUtf16(OurGetLocalizedString(script));
    EXPECT_EQ(steps, text.count('\n')) << script;
    EXPECT_EQ(Formulas(window->Document()), formulas) << script;
    EXPECT_FALSE(window->Document()->fModified) << script;
    EXPECT_FALSE(window->isWindowModified()) << script;
    EXPECT_EQ(DemoWindow(), nullptr);
    // The last caption gives way to the typing hint.
    const QString lastLine = text.split('\n', Qt::SkipEmptyParts).last();
    EXPECT_FALSE(lastLine.contains("'" + window->StatusText() + "'")) << script;
    window->close();
  }
}

double TurnBetween(const Matrix3& before, const Matrix3& after) {
  // after = D before, D a rotation: trace(D) = 1 + 2 cos(angle).
  double trace = 0;
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k) trace += after[i * 3 + k] * before[i * 3 + k];
  return std::acos(std::clamp((trace - 1) / 2, -1.0, 1.0));
}

// Each "V n" or "U n" line of the surfaces script drags across or down the
// view so that a virtual sphere turns n times 30 degrees, time passing as
// it is drawn; no other line turns it.
TEST_F(DemoTest, TheSurfacesScriptTurnsItsViewByItsDrags) {
  SteppingViewClock clock;
  const std::map<int32_t, double> turnedDegrees = {{1, 45}, {2, 30},  {3, 30},  {5, 30},  {7, 30},
                                                   {9, 30}, {11, 30}, {17, 30}, {19, 30}, {26, 60}};
  DocumentMainWindow* window = nullptr;
  Matrix3 last;
  bool haveLast = false;
  int32_t checked = 0;
  SetDemoStepObserver([&](int32_t line) {
    auto& view = dynamic_cast<A3DGraphView&>(*window->Document()->fGraphPane->View3D(0));
    const Matrix3& now = view.Camera().rotation;
    if (haveLast) {
      const auto turn = turnedDegrees.find(line);
      const double expected = turn == turnedDegrees.end() ? 0 : turn->second * std::numbers::pi / 180;
      // A drag's ends lie on whole pixels of a sphere of about 100 pixels.
      EXPECT_NEAR(TurnBetween(last, now), expected, 0.03) << "line " << line;
      ++checked;
    }
    CopyMatrix(now, last);
    haveLast = true;
  });
  window = PlayDemo(54);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); }));
  EXPECT_EQ(checked, 27);
  EXPECT_TRUE(window->Document()->fGraphPane->AreAnyViews3D());
}

TEST_F(DemoTest, FlagsCaptionsAndPausingAStep) {
  DocumentMainWindow* window = nullptr;
  std::vector<int32_t> lines;
  std::vector<QString> captions;
  std::vector<std::string> atLineTwo;
  SetDemoStepObserver([&](int32_t line) {
    lines.push_back(line);
    DocumentRecord* document = window->Document();
    if (line == 2) atLineTwo = Formulas(document);
    // The graphing passes clear the hint line; a caption stays.
    PaneHooks::ClearMathAssistanceString(document);
    captions.push_back(window->StatusText());
    EXPECT_TRUE(PaneHooks::IsDemoRunning());
    EXPECT_FALSE(PaneHooks::IsDemoPaused(document));
    if (line == 1) PauseDemo();
  });
  window = PlayDemo(53);
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  EXPECT_TRUE(IsDemoRunning());
  ASSERT_TRUE(WaitFor([&] { return IsDemoPaused(document); }));
  EXPECT_TRUE(PaneHooks::IsDemoPaused(document));
  // Paused, the timer runs and nothing is typed.
  const std::vector<std::string> paused = Formulas(document);
  for (int i = 0; i < 20; ++i) window->RunIdle();
  QCoreApplication::processEvents();  // what the idles posted
  EXPECT_EQ(Formulas(document), paused);
  EXPECT_EQ(lines, (std::vector<int32_t>{0, 1}));
  ResumeDemo();
  EXPECT_FALSE(IsDemoPaused(document));
  ASSERT_TRUE(WaitFor([&] { return lines.size() >= 3; }));
  EXPECT_EQ(lines[2], 2);  // on from the next step, nothing skipped
  EXPECT_EQ(atLineTwo, std::vector<std::string>{"y=x^2-3"});
  EXPECT_EQ(captions[0], "To graph a 2D curve, type a function of x, starting with y=.");
  EXPECT_EQ(captions[1], "The curve appears at once.");
  StopDemo();
  EXPECT_FALSE(IsDemoRunning());
  EXPECT_FALSE(PaneHooks::IsDemoRunning());
}

TEST_F(DemoTest, PauseHoldsTheAnimationAndResumePlaysItOut) {
  DocumentMainWindow* window = NewDocumentWindow();
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  int32_t steps = 0;
  SetDemoStepObserver([&](int32_t) { ++steps; });
  PlayDemoScript(ScriptText("y=x^n\tn=1,3,200\t'Powers.'\n"), window);
  const DocumentContents& c = document->fContents;
  ASSERT_TRUE(WaitFor([&] { return c.animationRunning && c.sliderControlValue > 0; }));
  PauseDemo();
  EXPECT_EQ(GetGraphingAnimationState(document), 0);
  const int32_t held = c.sliderControlValue;
  ASSERT_LT(held, 200);
  for (int i = 0; i < 20; ++i) window->RunIdle();
  QCoreApplication::processEvents();  // what the idles posted
  EXPECT_EQ(c.sliderControlValue, held);
  EXPECT_EQ(steps, 0);
  ResumeDemo();
  EXPECT_NE(GetGraphingAnimationState(document), 0);
  ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); }));
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(c.sliderControlValue, 200);  // played once, to its last step
  EXPECT_EQ(c.sliderMinimum, 1);
  EXPECT_EQ(c.sliderMaximum, 3);
  EXPECT_EQ(GetGraphingAnimationState(document), 0);
}

// A step paused between its keys types no more; what stands is graphed
// while the viewer looks, and the step types on after Resume.
TEST_F(DemoTest, AStepPausedMidwayGraphsWhatStandsAndTypesOnAfterResume) {
  DocumentMainWindow* window = NewDocumentWindow();
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  SetDemoKeyObserver([](int32_t, size_t keys) {
    if (keys == 3) PauseDemo();
  });
  PlayDemoScript(ScriptText("y=x^2%-1\t'Typed.'\n"), window);
  ASSERT_TRUE(WaitFor([&] { return IsDemoPaused(document) && IsDocumentGraphDone(document); }));
  EXPECT_EQ(Formulas(document), std::vector<std::string>{"y=x"});
  EXPECT_EQ(EquationMessage(document, 0), 0);
  EXPECT_TRUE(document->fGraphPane->AreAllGraphsDoneComputing());
  SetDemoKeyObserver(nullptr);
  ResumeDemo();
  ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); }));
  EXPECT_EQ(Formulas(document), std::vector<std::string>{"y=x^2-1"});
}

TEST_F(DemoTest, StopClosingAndANewDemoEachEndTheRunningOne) {
  // Stop midway.
  DocumentMainWindow* first = nullptr;
  SetDemoStepObserver([&](int32_t line) {
    if (line == 3) PauseDemo();
  });
  first = PlayDemo(53);
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(WaitFor([&] { return IsDemoPaused(first->Document()); }));
  StopDemo();
  EXPECT_FALSE(IsDemoRunning());
  EXPECT_FALSE(IsDemoPaused(first->Document()));
  EXPECT_FALSE(first->Document()->fModified);
  const std::vector<std::string> left = Formulas(first->Document());
  for (int i = 0; i < 20; ++i) first->RunIdle();
  QCoreApplication::processEvents();  // what the idles posted
  EXPECT_EQ(Formulas(first->Document()), left);

  // A new demo stops the one that runs.
  SetDemoStepObserver([&](int32_t line) {
    if (line == 1 && DemoWindow() == first) PauseDemo();
  });
  PlayDemoScript(ScriptText("y=x\t'One.'\ney=2x\t'Two.'\ney=3x\t'Three.'\n"), first);
  ASSERT_TRUE(WaitFor([&] { return IsDemoPaused(first->Document()); }));
  DocumentMainWindow* second = PlayDemo(55);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(DemoWindow(), second);
  EXPECT_FALSE(IsDemoPaused(first->Document()));
  EXPECT_FALSE(first->Document()->fModified);

  // Closing the window midway.
  SetSaveChangesQuestion([](QWidget*, const QString&) { return SaveChangesAnswer::kDontSave; });
  SetDemoStepObserver([&](int32_t line) {
    if (line == 2) second->close();
  });
  ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); }));
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(DemoWindow(), nullptr);
  EXPECT_EQ(AllWindows(), std::vector<DocumentMainWindow*>{first});
}

// Broken lines skip their broken field and play the rest; an empty script
// ends at once.
TEST_F(DemoTest, BrokenScriptsPlayWhatTheyCan) {
  DocumentMainWindow* window = NewDocumentWindow();
  ASSERT_NE(window, nullptr);
  PlayDemoScript(U"", window);
  EXPECT_FALSE(IsDemoRunning());

  std::vector<QString> captions;
  SetDemoStepObserver([&](int32_t) { captions.push_back(window->StatusText()); });
  PlayDemoScript(ScriptText("y=x\tn=0,1\t'Kept.'\n"
                            "\x01y=2\t'Shown.'\n"
                            "ey=x^2%\t'unterminated\n"
                            "V\t'No number.'\n"
                            "ey=-x\tn=0,1,4,\t''\n"),
                 window);
  ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); }));
  EXPECT_EQ(Formulas(window->Document()), (std::vector<std::string>{"y=x", "y=x^2", "y=-x"}));
  EXPECT_EQ(captions, (std::vector<QString>{"Kept.", "Shown.", "Shown.", "No number.", ""}));
  EXPECT_FALSE(window->Document()->fContents.animationRunning);
}

}  // namespace

namespace {

TEST_F(DemoTest, TheDemosMenuPlaysEachScriptIntoANewUntitledWindow) {
  DocumentMainWindow* window = NewDocumentWindow();
  ASSERT_NE(window, nullptr);
  for (const char* title :
       {"A tour of graphs.", "To graph a 2D curve, type a function of x, starting with y=.",
        "To graph a 3D surface, type a function of x and y, starting with z=.",
        "Inequalities are relations in x and y, like this circle.",
        "A point has zero dimensions: no length, no area, no volume.", "Zentrolab can work with complex numbers.",
        "Here we have the familiar exponential function of a real variable."})
    EXPECT_NE(MenuItem(window, title), nullptr) << title;
  QAction* play = MenuItem(window, "Inequalities are relations in x and y, like this circle.");
  QAction* pause = MenuItem(window, "Pause Demo");
  QAction* stop = MenuItem(window, "Stop Demo");
  ASSERT_TRUE(play && pause && stop);
  play->trigger();
  ASSERT_EQ(AllWindows().size(), 2u);
  DocumentMainWindow* shown = AllWindows().back();
  EXPECT_EQ(DemoWindow(), shown);
  EXPECT_TRUE(shown->FilePath().isEmpty());
  pause->trigger();
  EXPECT_TRUE(IsDemoPaused(shown->Document()));
  pause->trigger();
  EXPECT_FALSE(IsDemoPaused(shown->Document()));
  stop->trigger();
  EXPECT_FALSE(IsDemoRunning());
  EXPECT_FALSE(shown->Document()->fModified);
}

}  // namespace
