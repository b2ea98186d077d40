// Random formulas compiled and run against a tree-walking evaluator that
// follows the mathematics of each node kind, bit for bit in double; the
// same formulas compiled alone, guarded, and sharing subexpressions in one
// scope must agree.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/RandomFormulas.h"
#include "tests/evaluation/SameBits.h"
#include "CoreUtilities/MathConstants.h"
#include "evaluation/interval/Interval.h"
#include "evaluation/special/RealFunctions.h"
#include "evaluation/special/RealPower.h"

namespace {

constexpr double kE = 2.718281828459045;

struct Point {
  double u, v, slider, x, y, z, w;
};

double Angle(double x, double y) {
  const double angle = std::atan2(y, x);
  return angle < 0 ? angle + (gPi + gPi) : angle;
}

class TreeEvaluator {
 public:
  explicit TreeEvaluator(const Point& p) : fPoint(p) {}

  // A sum or product inside another over the same index is undefined.
  double Value(const ExpressionRecord* tree) { return RebindsIndex(tree, {}) ? gNaN : Eval(tree); }

 private:
  static bool RebindsIndex(const ExpressionRecord* n, std::vector<int32_t> bound) {
    if (n->opcode == kOpSum || n->opcode == kOpProduct) {
      const int32_t index = n->operands[1]->operands[0]->payload.id;
      if (std::find(bound.begin(), bound.end(), index) != bound.end()) return true;
      bound.push_back(index);
    }
    for (int32_t i = 0; i < n->operandCount; ++i)
      if (RebindsIndex(n->operands[i], bound)) return true;
    return false;
  }

  double Eval(const ExpressionRecord* n) {
    const int32_t k = n->operandCount;
    auto op = [&](int32_t i) { return Eval(n->operands[i]); };
    switch (n->opcode) {
      case kOpNumber: return n->payload.number->value;
      case kOpAtom: return Atom(n->payload.id);
      case kOpId: return op(0);
      case kOpPlus: return FoldRight(n, [](double a, double b) { return a + b; });
      case kOpTimes: return FoldRight(n, [](double a, double b) { return a * b; });
      case kOpMinus: return -op(0);
      case kOpOver: return op(0) / op(1);
      case kOpPower: return Power(n);
      case kOpSqrt: return k == 2 ? PowFrac(op(0), op(1), 1.0) : std::sqrt(op(0));
      case kOpLog: return k == 2 ? std::log(op(0)) / std::log(op(1)) : std::log10(op(0));
      case kOpLn: return std::log(op(0));
      case kOpExp: return std::exp(op(0));
      case kOpSin: return std::sin(op(0));
      case kOpCos: return std::cos(op(0));
      case kOpTan: return std::tan(op(0));
      case kOpAtan: return std::atan(op(0));
      case kOpSinh: return std::sinh(op(0));
      case kOpTanh: return std::tanh(op(0));
      case kOpCot: return Cot(op(0));
      case kOpAbs: return std::fabs(op(0));
      case kOpFloor: return std::floor(op(0));
      case kOpCeil: return std::ceil(op(0));
      case kOpSgn: return Sgn(op(0));
      case kOpFact: return Fact(op(0));
      case kOpMod: return Mod(Eval(n->operands[0]->operands[0]), Eval(n->operands[0]->operands[1]));
      case kOpMin: return MinMax(n->operands[0], true);
      case kOpMax: return MinMax(n->operands[0], false);
      case kOpLess: return Chain(n, [](double a, double b) { return a < b; });
      case kOpLeq: return Chain(n, [](double a, double b) { return a <= b; });
      case kOpGreater: return Chain(n, [](double a, double b) { return a > b; });
      case kOpGeq: return Chain(n, [](double a, double b) { return a >= b; });
      case kOpEquals: return Chain(n, [](double a, double b) { return a == b; });
      case kOpNotEqual: return Chain(n, [](double a, double b) { return !(a == b); });
      case kOpIf: return op(1) == 1.0 ? op(0) : gNaN;
      case kOpBranch: return Branch(n);
      case kOpSum: return Loop(n, 0.0, [](double a, double b) { return a + b; });
      case kOpProduct: return Loop(n, 1.0, [](double a, double b) { return a * b; });
      default: ADD_FAILURE() << "no reference for kind " << n->opcode; return gNaN;
    }
  }
  double Atom(int32_t id) {
    for (auto it = fBindings.rbegin(); it != fBindings.rend(); ++it)
      if (it->first == id) return it->second;
    const Point& p = fPoint;
    switch (id) {
      case 'u': return p.u;
      case 'v': return p.v;
      case 'x': return p.x;
      case 'y': return p.y;
      case 'z': return p.z;
      case 'w': return p.w;
      case 'n': return p.slider;
      case 'r': return std::hypot(p.x, p.y);
      case 3: return Angle(p.x, p.y);
      case 2: return Angle(p.z, std::hypot(p.x, p.y));
      case 1: return gPi;
      case 'e': return kE;
      case 'i': return gNaN;  // no real imaginary unit
      default: return 1.0;    // a name no document defines
    }
  }

  // An n-ary sum or product combines its last two terms first.
  template <typename F>
  double FoldRight(const ExpressionRecord* n, F f) {
    double value = Eval(n->operands[n->operandCount - 1]);
    for (int32_t i = n->operandCount - 2; i >= 0; --i) value = f(Eval(n->operands[i]), value);
    return value;
  }

  template <typename F>
  double Chain(const ExpressionRecord* n, F holds) {
    bool all = true;
    for (int32_t i = 0; i + 1 < n->operandCount; ++i)
      all = holds(Eval(n->operands[i]), Eval(n->operands[i + 1])) && all;
    return all ? 1.0 : 0.0;
  }

  // From the last argument back; a NaN argument wins over what follows it.
  double MinMax(const ExpressionRecord* list, bool minimum) {
    double value = Eval(list->operands[list->operandCount - 1]);
    for (int32_t i = list->operandCount - 2; i >= 0; --i) {
      const double earlier = Eval(list->operands[i]);
      if (!(minimum ? value < earlier : value > earlier)) value = earlier;
    }
    return value;
  }

  static bool IsNumberTwo(const ExpressionRecord* n) {
    return n->opcode == kOpNumber && n->payload.number->value == 2.0;
  }

  // Powers with the system's conventions: a square is a product, a power of
  // e the exponential, a fractional exponent p/q the real root.
  double Power(const ExpressionRecord* n) {
    const ExpressionRecord* base = n->operands[0];
    const ExpressionRecord* exponent = n->operands[1];
    if (IsNumberTwo(exponent)) {
      const double b = Eval(base);
      return b * b;
    }
    if (base->opcode == kOpAtom && base->payload.id == 'e') return std::exp(Eval(exponent));
    if (exponent->opcode == kOpOver)
      return PowFrac(Eval(base), Eval(exponent->operands[1]), Eval(exponent->operands[0]));
    if (exponent->opcode == kOpMinus && exponent->operands[0]->opcode == kOpOver) {
      const ExpressionRecord* over = exponent->operands[0];
      return PowFrac(Eval(base), -Eval(over->operands[1]), Eval(over->operands[0]));
    }
    // Whole exponents are the real runs' own products (checked against
    // mpmath on their own); others are std::pow there too.
    return RealPower(Eval(base), Eval(exponent));
  }

  // The first case, in order, whose condition holds; a bare case always
  // holds.
  double Branch(const ExpressionRecord* n) {
    for (int32_t i = 0; i < n->operandCount; ++i) {
      const ExpressionRecord* c = n->operands[i];
      if (c->opcode != kOpIf) return Eval(c);
      if (Eval(c->operands[1]) == 1.0) return Eval(c->operands[0]);
    }
    return gNaN;
  }

  template <typename F>
  double Loop(const ExpressionRecord* n, double neutral, F f) {
    const ExpressionRecord* range = n->operands[1];
    const double start = Eval(range->operands[1]);
    const double end = Eval(n->operands[2]);
    if (std::isnan(start) || std::isnan(end) || end - start > 100000) return gNaN;
    double value = neutral;
    fBindings.emplace_back(range->operands[0]->payload.id, 0.0);
    const size_t binding = fBindings.size() - 1;
    for (double index = start; !(index > end); index += 1) {
      fBindings[binding].second = index;
      value = f(value, Eval(n->operands[0]));
    }
    fBindings.pop_back();
    return value;
  }

  const Point& fPoint;
  std::vector<std::pair<int32_t, double>> fBindings;
};

std::vector<double> SlotValues(const Point& p, int32_t count) {
  std::vector<double> slots(static_cast<size_t>(std::max(count, 64)), 0.0);
  slots[0] = p.u, slots[1] = p.v, slots[2] = p.slider, slots[3] = p.x, slots[4] = p.y, slots[5] = p.z;
  slots[6] = p.w;
  return slots;
}

double RunAlone(const AStackMachine& machine, const Point& p) {
  std::vector<double> slots = SlotValues(p, machine.VariableSlotCount());
  return machine.Run(slots.data(), nullptr);
}

// Point intervals must enclose the double result (up to the last bits the
// interval library may round differently).
void ExpectEnclosed(const Interval& enclosure, double value, const std::string& text) {
  if (!std::isfinite(value) || std::isnan(enclosure.lower) || enclosure.lower > enclosure.upper) return;
  const double slack = 1e-9 * (1.0 + std::fabs(value));
  EXPECT_TRUE(enclosure.lower - slack <= value && value <= enclosure.upper + slack)
      << text << ": [" << enclosure.lower << ", " << enclosure.upper << "] misses " << value;
}

void RunGroups(uint32_t seed, int formulas) {
  FormulaMaker maker(seed);
  int made = 0;
  int failures = 0;
  while (made < formulas && failures < 10) {
    maker.NewPool();
    const int count = 3 + static_cast<int>(maker.Uniform(0, 6));
    std::vector<std::string> texts;
    std::vector<bool> decides;
    maker.TakeDecides();
    for (int i = 0; i < count; ++i) {
      texts.push_back(maker.Make(4, ""));
      decides.push_back(maker.TakeDecides());
    }
    const Point p{maker.Uniform(-3, 3), maker.Uniform(-3, 3), maker.Uniform(0, 2), maker.Uniform(-3, 3),
                  maker.Uniform(-3, 3), maker.Uniform(-3, 3), maker.Uniform(-3, 3)};
    Scope shared = CompileScope(texts);
    std::vector<double> sharedSlots = SlotValues(p, shared.slots);
    std::vector<Interval> intervalSlots(sharedSlots.size());
    for (size_t i = 0; i < sharedSlots.size(); ++i) intervalSlots[i] = {sharedSlots[i], sharedSlots[i]};
    const bool withIntervals = made % 10 == 0;
    for (int i = 0; i < count; ++i, ++made) {
      const std::string& text = texts[static_cast<size_t>(i)];
      Tree reference = ParseTree(text);
      if (!reference) {
        ++failures;
        continue;
      }
      const double expected = TreeEvaluator(p).Value(reference.get());
      const ExpressionRecord* prepared = shared.formulas[static_cast<size_t>(i)].tree.get();
      AStackMachine alone, guarded;
      CompileExpression(&alone, const_cast<ExpressionRecord*>(prepared), nullptr, false, false, nullptr);
      CompileExpression(&guarded, const_cast<ExpressionRecord*>(prepared), nullptr, true, false, nullptr);
      const AStackMachine& inScope = *shared.formulas[static_cast<size_t>(i)].machine;
      const double sharedValue = inScope.Run(sharedSlots.data(), nullptr);
      const double aloneValue = RunAlone(alone, p);
      const double guardedValue = RunAlone(guarded, p);
      const bool ok =
          SameResult(expected, aloneValue) && SameResult(expected, guardedValue) && SameResult(expected, sharedValue);
      EXPECT_TRUE(ok) << text << "\n at x=" << p.x << " y=" << p.y << " z=" << p.z << " n=" << p.slider
                      << "\n reference " << expected << ", alone " << aloneValue << ", guarded " << guardedValue
                      << ", shared " << sharedValue << "\n"
                      << Listing(inScope);
      if (!ok) ++failures;
      // Every program of the scope runs, in order: later ones read its stores.
      if (withIntervals) {
        const Interval enclosure = inScope.Run(intervalSlots.data());
        if (!decides[static_cast<size_t>(i)]) ExpectEnclosed(enclosure, expected, text);
      }
    }
  }
}

}  // namespace

TEST(CompilerDifferential, RandomFormulasFirstQuarter) { RunGroups(11, 25000); }
TEST(CompilerDifferential, RandomFormulasSecondQuarter) { RunGroups(23, 25000); }
TEST(CompilerDifferential, RandomFormulasThirdQuarter) { RunGroups(37, 25000); }
TEST(CompilerDifferential, RandomFormulasFourthQuarter) { RunGroups(41, 25000); }
