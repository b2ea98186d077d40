#include "MathLayoutFixture.h"

#include "../expression/RandomExpressionTrees.h"

#include "expression/TreeWalking.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathGraphicsContext.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <random>
#include <cctype>
#include <vector>

namespace {

// Random formulas of the kinds typeset here.
class TreeMaker {
 public:
  explicit TreeMaker(uint32_t seed) : fRandom(seed) {}

  ExpressionRecord* Make(int depth) {
    if (depth == 0 || Pick(4) == 0) return Leaf();
    switch (Pick(8)) {
      case 0: return List(RandomInfixKind(), 2 + Pick(4), depth);
      case 1: return NewBinop(Pick(2) ? kOpDot : kOpCross, Make(depth - 1), Make(depth - 1));
      case 2: return NewUnop(kOpSin + Pick(20), Make(depth - 1));
      case 3: return List(Pick(2) ? kOpSum : kOpProduct, 1 + Pick(3), depth);
      case 4: return List(kOpIntegral, 2 + Pick(3), depth);
      case 5: return NewUnop(Pick(2) ? kOpDiv : kOpCurl, Make(depth - 1));
      case 6: {
        ExpressionRecord* indexes = List(kOpIndexes, 2 + Pick(3), depth);
        indexes->payload.shape = {0, static_cast<uint16_t>(Pick(indexes->operandCount))};
        return indexes;
      }
      default: {
        const int rows = 1 + Pick(3), columns = 1 + Pick(3);
        ExpressionRecord* matrix = List(kOpMatrix, rows * columns, depth);
        matrix->payload.shape = {static_cast<uint16_t>(rows), static_cast<uint16_t>(columns)};
        return matrix;
      }
    }
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(fRandom); }

  OpCodeT RandomInfixKind() {
    static constexpr OpCodeT kKinds[] = {kOpTimes, kOpPlus, kOpEquals,  kOpComma, kOpNotEqual,
                                         kOpLess,  kOpLeq,  kOpGreater, kOpGeq,   kOpIn};
    return kKinds[Pick(10)];
  }

  ExpressionRecord* List(OpCodeT kind, int n, int depth) {
    ExpressionRecord* node = NewExpression(kind, n);
    for (int i = 0; i < n; ++i) {
      node->operands[i] = Make(depth - 1);
      node->operands[i]->parent = node;
    }
    return node;
  }

  ExpressionRecord* Leaf() {
    switch (Pick(6)) {
      case 0: return Number(std::ldexp(Pick(1000) - 500, Pick(200) - 100));
      case 1: return NewPrompt();
      case 2: return Atomic(1 + Pick(6));
      case 3: return MathLayoutTest::Var(Pick(2) ? "xy" : "velocity");
      default: return Atomic('a' + Pick(26));
    }
  }

  std::mt19937 fRandom;
};

struct Geometry {
  std::vector<float> values;
  bool operator==(const Geometry&) const = default;
};

Geometry Snapshot(const MERecord* r) {
  Geometry g;
  for (ExpressionRecord* n = r->root; n; n = NextTopDownWithin(n, r->root)) {
    const EditData& e = *n->editData;
    g.values.insert(g.values.end(), {e.bottom, e.left, e.ascent, e.descent, e.width, float(e.sizeLevel)});
  }
  for (int32_t i = 0; i < r->lineCount; ++i)
    g.values.insert(g.values.end(), {r->lineRows[i].start, r->lineRows[i].top});
  return g;
}

bool IsInfixList(OpCodeT kind) {
  const OperatorInfo* info = FindOperatorInfo(kind);
  return info && info->handler == Typesetter::kInfix;
}

void CheckBoxes(const MERecord* r) {
  for (ExpressionRecord* n = r->root; n; n = NextTopDownWithin(n, r->root)) {
    const EditData& e = *n->editData;
    ASSERT_TRUE(std::isfinite(e.bottom) && std::isfinite(e.left) && std::isfinite(e.width));
    ASSERT_TRUE(std::isfinite(e.ascent) && std::isfinite(e.descent));
    ASSERT_GE(e.width, 0);
    ASSERT_GE(e.ascent + e.descent, 0);
    if (!IsInfixList(n->opcode)) continue;
    const float baseline = e.bottom - e.descent;
    const float size = r->sizeTable[e.sizeLevel];
    for (int32_t i = 0; i < n->operandCount; ++i) {
      const EditData& o = *n->operands[i]->editData;
      const float shift = o.composed ? 0 : 0.26171875f * size;
      ASSERT_NEAR(o.bottom - (o.descent - shift), baseline, 1e-3f * std::max(1.0f, size));
      if (i > 0) {
        const EditData& before = *n->operands[i - 1]->editData;
        ASSERT_GT(o.left, before.left + before.width - 1e-3f);
      }
    }
  }
}

class RandomLayout : public MathLayoutTest {
 protected:
  void SetSize(float s) {
    fSizes[0] = fSizes[1] = fSizes[2] = s;
    fSizes[3] = std::max(1.0f, std::floor(s * 0.75f));
    fSizes[4] = fSizes[5] = std::max(1.0f, std::floor(fSizes[3] * 0.75f));
  }
};

// Text the writer cannot read back into the same tree, or whose numbers
// read back keep their written digits rather than the shorter display text.
bool WriterKeepsTheTree(const std::string& text) {
  bool exponent = false;
  for (size_t i = 0; i + 2 < text.size(); ++i)
    exponent = exponent ||
               (std::isdigit(static_cast<unsigned char>(text[i])) && text[i + 1] == 'e' &&
                (text[i + 2] == '-' || text[i + 2] == '+' || std::isdigit(static_cast<unsigned char>(text[i + 2]))));
  return text.find("?(") == std::string::npos && text.find("_index_") == std::string::npos &&
         text.find('[') == std::string::npos && text.find("over(") == std::string::npos && !exponent;
}

// Trees of the shapes above and trees of every kind alternate; each lays
// out alike again, and a tree of every kind alike as its text read back.
TEST_F(RandomLayout, BoxesAreSoundAndLayoutsStableAndAsTheirTextReadBack) {
  TreeMaker shaped(20261206);
  ::TreeMaker every(32, true, 20);
  std::mt19937 random(3);
  static constexpr float kWraps[] = {kNoWrapWidth, 400, 60, 3, 20};
  int compared = 0;
  for (int round = 0; round < 20000; ++round) {
    SetSize(static_cast<float>(1 + random() % 96));
    const float wrap = kWraps[round % 5];
    const bool ofEveryKind = round % 2;
    ExpressionRecord* tree = ofEveryKind ? every.Make(1 + round / 2 % 12, 0, true) : shaped.Make(5);
    const std::string text = Written(tree, true);  // grouping in square brackets
    LayOut(tree, wrap);
    ASSERT_EQ(fRecord->layoutValid, 1) << text;
    ASSERT_NO_FATAL_FAILURE(CheckBoxes(fRecord)) << text;
    const Geometry first = Snapshot(fRecord);
    ORIGINS_RecalculateAndDraw2();
    MATH_Hmm();
    ASSERT_EQ(Snapshot(fRecord), first) << text;
    if (!ofEveryKind || !WriterKeepsTheTree(text)) continue;
    Tree back = Parse(text);
    ASSERT_TRUE(back) << text;
    LayOut(back.release(), wrap);
    ASSERT_EQ(Snapshot(fRecord), first) << text;
    ++compared;
  }
  EXPECT_EQ(every.fSeen.size(), size_t(104));
  EXPECT_GT(compared, 5000);
}

TEST_F(RandomLayout, RealFontsMeasureAndDrawEveryKind) {
  SetFixedMetricMeasuring(0);
  TreeMaker shaped(99);
  ::TreeMaker every(33, true, 45);
  QImage image(600, 400, QImage::Format_RGB32);
  for (int round = 0; round < 500; ++round) {
    SetSize(static_cast<float>(4 + round % 60));
    ExpressionRecord* tree = round % 2 ? every.Make(1 + round / 2 % 8, 0, true) : shaped.Make(4);
    LayOut(tree, round % 3 ? kNoWrapWidth : 200 + 100 * (round % 2));
    ASSERT_NO_FATAL_FAILURE(CheckBoxes(fRecord));
    QPainter painter(&image);
    MathGraphicsContext context{&painter, {}};
    OUTPUT_DrawExpression(fRecord->root, &context);
  }
}

}  // namespace
