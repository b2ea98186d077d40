#include "tests/app/ApplicationFixture.h"

#include "app/EditCommands.h"
#include "CoreUtilities/threads/BuildInterruption.h"
#include "document/DocumentIdle.h"
#include "document/MathPaneEditing.h"
#include "graphpane/AGraphPane.h"
#include "window/BuildInputHold.h"
#include "window/GraphPaneWidget.h"
#include "window/MathPaneWidget.h"

#include <QMouseEvent>

#include <functional>
#include <string>

// Input come while the window builds one long formula's graph: the build
// looks at it now and then; an edit cuts the build short, other input waits
// for it, and nothing is lost or reordered. The suite also runs under
// ThreadSanitizer.
namespace {

// A formula short to write whose build looks at the input (2^6 copies of
// a0 once the definitions are applied, the input looked at whenever the
// clock is read), then a formula that makes no graph (message 15) and a
// short one.
constexpr int kDoublings = 6;
// The blocks after the definitions a0 ... a<kDoublings>.
constexpr int32_t kLongBlock = kDoublings + 1, kNoGraphBlock = kLongBlock + 1, kShortBlock = kLongBlock + 2;

std::string LongBuildDocument() {
  std::string text = "Zentrolabworksheet 4;\nExpr a0(x) = cos(x)/2 + sin(x)/3;\n";
  for (int i = 1; i <= kDoublings; ++i) {
    const std::string a = "a" + std::to_string(i), previous = "a" + std::to_string(i - 1);
    text += "Expr " + a + "(x) = " + previous + "(x) + " + previous + "(x/" + std::to_string(i + 1) + ");\n";
  }
  return text + "Expr y = a" + std::to_string(kDoublings) + "(x);\nExpr y = ?;\nExpr y = x^2;\n";
}

// The long equation is being built: taken by the pass, not yet added.
bool AmidTheLongBuild(const ExpansionState& state) {
  if (!state.passStarted || state.passNext == 0 || state.passNext > state.rows.size()) return false;
  const size_t i = state.passNext - 1;
  return state.expanded[i].block == kLongBlock && state.rows[i] < 0;
}

// What each event of a kind found when it reached the widget: how many
// graphs the pane held.
class Arrivals : public QObject {
 public:
  Arrivals(QWidget* widget, QEvent::Type type, AGraphPane* pane) : fType(type), fPane(pane) {
    widget->installEventFilter(this);
  }
  std::vector<int32_t> graphsSeen;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == fType) graphsSeen.push_back(fPane->Lookup().Count());
    return false;
  }

 private:
  QEvent::Type fType;
  AGraphPane* fPane;
};

class LongBuildInputTest : public WindowTest {
 protected:
  // The input is looked at however fast this machine builds the formula.
  void SetUp() override {
    fFormerInterval = SetBuildAskingInterval(0);
    fWindow = Open("long.zlf", LongBuildDocument());
    ASSERT_NE(fWindow, nullptr);
    FocusMathPaneBlock(fWindow->WindowRecord(), kLongBlock);
    EditSelectAll(fWindow);
  }

  // Runs the action once from within the long equation's build, where the
  // build looks at the input come meanwhile; false when it never did.
  bool AmidTheBuild(const std::function<void()>& action) {
    sState = &fWindow->Document()->fExpansion;
    sAction = &action;
    sActed = false;
    const BuildLookWitness former = SetBuildLookWitness(ActAmidTheLongBuild);
    const bool ended =
        WaitFor([&] { return sState->expansionDone.load() && IsDocumentGraphDone(fWindow->Document()); });
    SetBuildLookWitness(former);
    sAction = nullptr;
    return ended && sActed;
  }

  static void ActAmidTheLongBuild() {
    if (sActed || !AmidTheLongBuild(*sState)) return;
    sActed = true;
    (*sAction)();
  }

  static inline const ExpansionState* sState = nullptr;
  static inline const std::function<void()>* sAction = nullptr;
  static inline bool sActed = false;

  void TearDown() override {
    WindowTest::TearDown();
    SetBuildAskingInterval(fFormerInterval);
  }

  DocumentMainWindow* fWindow = nullptr;
  int32_t fFormerInterval = 0;
};

// Keys typed amid the build reach the formula before the build is done,
// all of them and in order; the pass starts over on the new text and ends
// with its graphs and messages.
TEST_F(LongBuildInputTest, AFormulaTypedAmidTheBuildCutsItShort) {
  DocumentRecord* document = fWindow->Document();
  Arrivals keys(fWindow->MathPane(), QEvent::KeyPress, document->fGraphPane.get());
  ASSERT_TRUE(AmidTheBuild([&] { QTest::keyClicks(fWindow->MathPane(), "y=x+1"); }));
  ASSERT_EQ(keys.graphsSeen.size(), 5u);
  // The long formula never made its graph: its build stopped for the keys.
  EXPECT_EQ(keys.graphsSeen.front(), 0);
  EXPECT_EQ(FormulaText(document, kLongBlock), "y=x+1");
  EXPECT_EQ(document->fGraphPane->Lookup().Count(), 2);
  EXPECT_EQ(EquationMessage(document, kNoGraphBlock), 15);
  EXPECT_EQ(EquationMessage(document, kLongBlock), 0);
  EXPECT_TRUE(RecordedAlerts().empty());
}

// A mouse that only moves and a repaint wait for the build, which goes on
// to its end: the long formula is built once and graphed.
TEST_F(LongBuildInputTest, AMouseMoveOrAPaintAmidTheBuildWaitsForIt) {
  DocumentRecord* document = fWindow->Document();
  GraphPaneWidget* graph = fWindow->GraphPane();
  Arrivals moves(graph, QEvent::MouseMove, document->fGraphPane.get());
  ASSERT_TRUE(AmidTheBuild([&] {
    const QPointF at(graph->width() / 2.0, graph->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, at, graph->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(graph, &move);
    fWindow->MathPane()->update();
    graph->update();
  }));
  ASSERT_EQ(moves.graphsSeen.size(), 1u);
  // It came once the long formula's graph was made: the build was not cut.
  EXPECT_GE(moves.graphsSeen.front(), 1);
  EXPECT_EQ(document->fGraphPane->Lookup().Count(), 2);
  EXPECT_EQ(EquationMessage(document, kNoGraphBlock), 15);
  EXPECT_EQ(FormulaText(document, kShortBlock), "y=x^2");
}

// A key that edits nothing still cuts the build; the pass then starts over
// by itself and ends with every graph.
TEST_F(LongBuildInputTest, AKeyThatEditsNothingStillEndsWithEveryGraph) {
  DocumentRecord* document = fWindow->Document();
  Arrivals keys(fWindow->MathPane(), QEvent::KeyPress, document->fGraphPane.get());
  ASSERT_TRUE(AmidTheBuild([&] { QTest::keyClick(fWindow->MathPane(), Qt::Key_Right); }));
  ASSERT_EQ(keys.graphsSeen.size(), 1u);
  EXPECT_EQ(keys.graphsSeen.front(), 0);
  EXPECT_EQ(document->fGraphPane->Lookup().Count(), 2);
  EXPECT_EQ(EquationMessage(document, kNoGraphBlock), 15);
  EXPECT_TRUE(RecordedAlerts().empty());
}

}  // namespace
