#pragma once

// Making a program's faster form (see TranslatedRun.h), once per value type,
// by the first run that needs it.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <type_traits>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/runs/ComplexSteps.h"
#include "evaluation/native/NativeForm.h"
#include "evaluation/StackEffect.h"
#include "evaluation/StackMachine.h"
#include "evaluation/runs/TranslatedSteps.h"

namespace translated {

// A push whose operand a step can read in place: a slot, a number or a
// constant.
struct Operand {
  Source source;
  int32_t index;
  double number;
};

template <typename F>
auto WithSource(Source source, F&& f) {
  switch (source) {
    case Source::kSlot: return f(std::integral_constant<Source, Source::kSlot>{});
    case Source::kNumber: return f(std::integral_constant<Source, Source::kNumber>{});
    case Source::kConstant: return f(std::integral_constant<Source, Source::kConstant>{});
    default: return f(std::integral_constant<Source, Source::kImaginaryUnit>{});
  }
}

// The shape of a step, for picking its inline kind.
enum class Form { kPush, kUnary, kBinary, kPushUnary, kBinaryWith, kPushBinary, kOther };

inline Kind InlineKind(Form form, int32_t opcode, Source first, Source second) {
  const bool readsFirst = form != Form::kUnary && form != Form::kBinary;
  const bool readsSecond = form == Form::kPushBinary;
#define ZL_MATCH(kind, kindOpcode, kindForm, kindFirst, kindSecond)                                    \
  if (form == Form::kindForm && (form == Form::kPush || opcode == kindOpcode) &&                       \
      (!readsFirst || first == Source::kindFirst) && (!readsSecond || second == Source::kindSecond)) { \
    return Kind::kind;                                                                                 \
  }
  ZL_INLINE_STEPS(ZL_MATCH)
#undef ZL_MATCH
  return Kind::kCall;
}

inline bool OperandOf(const PCodeOp& op, int32_t temps, Operand& operand) {
  switch (op.opcode) {
    case pcPushVar: operand = {Source::kSlot, op.ids.a, 0.0}; return true;
    case pcPushTemp: operand = {Source::kSlot, temps + op.ids.a, 0.0}; return true;
    case pcPushNumber: operand = {Source::kNumber, 0, op.number}; return true;
    case pcPushConstant: operand = {Source::kConstant, op.ids.a, 0.0}; return true;
    case pcPushI: operand = {Source::kImaginaryUnit, 0, 0.0}; return true;
    default: return false;
  }
}

// The stack effect of an instruction the translation runs itself; empty for
// one it leaves to the interpreter.
inline std::optional<StackEffect> TranslatedStackEffect(const PCodeOp& op) {
  switch (op.opcode) {
    case pcPushGrid1:
    case pcPushGrid2:
    case pcPushGrid3:
    case pcSkipIfZero:
    case pcSkipRestIfTrue:
    case pcPopRow:
    case pcSetRow:
    case pcPushRow:
    case pcCondCountSum:
    case pcCondMaxMin:
    case pcCountSum:
    case pcMaxMin:
    case pcBeginCountSum:
    case pcBeginMaxMin: return std::nullopt;
    default: return StackEffectOf(op);
  }
}

inline bool IsFusableUnary(int32_t opcode) {
  switch (opcode) {
#define ZL_CASE(name, ...) case name:
    ZL_UNARY_OPCODES(ZL_CASE)
#undef ZL_CASE
    case pcNeg:
    case pcSquare: return true;
    default: return false;
  }
}

inline bool IsFusableBinary(const PCodeOp& op) {
  switch (op.opcode) {
#define ZL_CASE(name, ...) case name:
    ZL_BINARY_OPCODES(ZL_CASE)
#undef ZL_CASE
    case pcAdd:
    case pcMul:
    case pcDiv:
    case pcIf: return true;
    case pcLess:
    case pcGreater:
    case pcLessEq:
    case pcGreaterEq:
    case pcEqual:
    case pcNotEqual: return op.ids.a == 2;
    default: return false;
  }
}

// Index of the instruction a jump at pc goes to (a jump past either end
// goes to the end), or -1 when it does not jump.
inline int32_t JumpTarget(const PCodeOp& op, int32_t pc, int32_t count) {
  auto inRange = [count](int64_t target) {
    return target >= 0 && target <= count ? static_cast<int32_t>(target) : count;
  };
  if (op.opcode == pcLoopTest) return inRange(int64_t{pc} + std::max(op.ids.b, 0) + 1);
  if (op.opcode == pcLoopNext && op.ids.b > 0) return inRange(int64_t{pc} - op.ids.b);
  return -1;
}

// The end of a sum's or product's body at pc: the index check, the
// accumulation and the index step back to its own loop's test, all of one
// index. A real run takes them as one step (Kind::kLoopTail).
inline bool IsLoopTail(const PCodeOp* code, int32_t pc, int32_t count) {
  if (pc + 2 >= count) return false;
  const PCodeOp& check = code[pc];
  const PCodeOp& next = code[pc + 2];
  if ((check.opcode != pcSumIndexCheck && check.opcode != pcProductIndexCheck) ||
      (code[pc + 1].opcode != pcAdd && code[pc + 1].opcode != pcMul) || next.opcode != pcLoopNext ||
      next.ids.a != check.ids.a || next.ids.b <= 0) {
    return false;
  }
  const int32_t test = JumpTarget(next, pc + 2, count);
  return test < count && code[test].opcode == pcLoopTest && code[test].ids.a == check.ids.a;
}

// Values of a real piecewise choice that the run need not compute. At the
// first instruction of each value the conditions before it are known, and
// the value can be the one chosen only when its own condition counts
// (neither NaN nor false) and none before it does; any other value is
// overwritten in the choice or turned into NaN by it. A value is marked
// (skipEnd[start] = its end, skipConditions[start] = the conditions before
// its own) when every operand of the choice reads nothing below the cell it
// starts at and no value stores or loops. Returns how many.
//
// A value chosen by a condition of exactly 1 is the choice's result
// whatever follows; where the operands after it store nothing and loop
// nowhere, nothing after it need run either: settleTo[its end] is then the
// instruction after the choice (else -1, and -1 too where two values end
// at one instruction).
inline int32_t MarkSkippableValues(const PCodeOp* code, int32_t count, int32_t* skipEnd, int32_t* skipConditions,
                                   int32_t* settleTo, int32_t* depth) {
  std::fill(skipEnd, skipEnd + count + 1, -1);
  std::fill(settleTo, settleTo + count + 1, -1);
  int32_t sp = 0;
  int32_t last = 0;
  for (; last < count && code[last].opcode != pcEnd && code[last].opcode != pcUndefined; ++last) {
    depth[last] = sp;
    const std::optional<StackEffect> effect = TranslatedStackEffect(code[last]);
    if (!effect || effect->reads > sp) return 0;
    sp += effect->change;
  }
  depth[last] = sp;
  int32_t marked = 0;
  for (int32_t at = 0; at < last; ++at) {
    if (code[at].opcode != pcBranch || code[at].ids.a < 1) continue;
    const int32_t operands = 2 * code[at].ids.a;
    const int32_t base = depth[at] - operands;  // the depth before the first operand
    // Every value of the choice is marked, or none: the run keeps what the
    // conditions before a value gave at the steps of the values before it.
    // The operands from the last: each ends where the next starts.
    auto eachValue = [&](auto&& visit) {
      int32_t end = at;
      bool restPure = true;  // the operands after this one store nothing and loop nowhere
      for (int32_t i = operands - 1; i >= 0; --i) {
        bool effects = false;
        int32_t start = end - 1;
        while (start >= 0 && depth[start] > base + i) --start;
        if (start < 0 || depth[start] != base + i) return false;
        // Every operand reads only what it pushed itself (a skipped value's
        // cell is read by nothing but the choice); a value besides makes
        // no store and no loop.
        const bool value = i % 2 == 1;
        for (int32_t pc = start; pc < end; ++pc) {
          const StackEffect effect = TranslatedStackEffect(code[pc]).value_or(StackEffect{0, 0});
          const int32_t opcode = code[pc].opcode;
          const bool sideEffect = opcode == pcStoreVar || opcode == pcStoreTemp || opcode == pcStoreTempPop ||
                                  opcode == pcLoopTest || opcode == pcLoopNext;
          const bool own = pc == start ? effect.reads == 0 && effect.change == 1 : depth[pc] - effect.reads > base + i;
          if (!own || (value && sideEffect)) return false;
          effects = effects || sideEffect;
        }
        if (value) {
          if (skipEnd[start] >= 0) return false;
          visit(start, end, i / 2, restPure);
        }
        restPure = restPure && !effects;
        end = start;
      }
      return true;
    };
    if (eachValue([](int32_t, int32_t, int32_t, bool) {})) {
      // The choice leaves its value alone above the cells below its first operand.
      const bool settles = at + 1 <= last && depth[at + 1] == base + 1;
      eachValue([&](int32_t start, int32_t end, int32_t conditionsBefore, bool restPure) {
        skipEnd[start] = end;
        skipConditions[start] = conditionsBefore;
        settleTo[end] = settleTo[end] == -1 && settles && restPure ? at + 1 : -2;
        ++marked;
      });
    }
  }
  std::replace(settleTo, settleTo + count + 1, -2, -1);
  return marked;
}

// A step the straight form of the run takes: written out in the loop,
// working on the top and the run's own cells, going on to the next step or
// ending the run.
constexpr bool IsStraight(Kind kind) {
  switch (kind) {
    case Kind::kCall:
    case Kind::kJump:
    case Kind::kLoopTest:
    case Kind::kLoopNext:
    case Kind::kIndexCheck:
    case Kind::kSkipValue:
    case Kind::kBranch:
    case Kind::kCallFunction:
    case Kind::kLoopTail:
    case Kind::kValueEnd: return false;
    default: return true;
  }
}

// The steps of the program, or an unusable translation when it has an
// instruction the steps leave to the interpreter; null when memory runs out.
template <typename T>
ATranslation* Translate(const AStackMachine& m) {
  const PCodeOp* code = m.Code();
  const int32_t count = m.Count();
  const int32_t temps = m.fTemporariesBase;
  // Step index of each instruction and of the end; the depth before each;
  // the values a real run may skip.
  const size_t perInstruction = static_cast<size_t>(count) + 1;
  auto* stepOf = static_cast<int32_t*>(OurAllocateMemory(perInstruction * 5 * sizeof(int32_t), false));
  if (stepOf == nullptr) return nullptr;
  int32_t* depth = stepOf + perInstruction;
  int32_t* skipEnd = depth + perInstruction;
  int32_t* skipConditions = skipEnd + perInstruction;
  int32_t* settleTo = skipConditions + perInstruction;
  std::fill(skipEnd, skipEnd + perInstruction, -1);
  std::fill(settleTo, settleTo + perInstruction, -1);
  int32_t skips = 0;
  if constexpr (std::is_same_v<T, double>) {
    skips = MarkSkippableValues(code, count, skipEnd, skipConditions, settleTo, depth);
    skips +=
        static_cast<int32_t>(std::count_if(settleTo, settleTo + perInstruction, [](int32_t to) { return to >= 0; }));
  }
  std::fill(stepOf, stepOf + 2 * perInstruction, -1);
  // The steps, then the list of constants pushed (at most one per instruction).
  const size_t stepBytes = kStepsOffset<T> + (perInstruction + static_cast<size_t>(skips)) * sizeof(Step<T>);
  const size_t bytes = stepBytes + static_cast<size_t>(count) * sizeof(int32_t);
  auto* translation = static_cast<ATranslation*>(OurAllocateMemory(bytes, false));
  if (translation == nullptr) {
    OurDisposeMemory(stepOf);
    return nullptr;
  }
  auto* constantIndices = reinterpret_cast<int32_t*>(reinterpret_cast<char*>(translation) + stepBytes);
  *translation = {false, false, false, false, false, constantIndices, 0, nullptr};
  // The place of cache constant `index` in the translation's list.
  auto constantPlace = [&](int32_t index) {
    int32_t k = 0;
    while (k < translation->constantCount && constantIndices[k] != index) ++k;
    if (k == translation->constantCount) constantIndices[translation->constantCount++] = index;
    return k;
  };
  Step<T>* steps = StepsOf<T>(translation);
  // A malformed program runs to NaN without a translation.
  bool usable = !m.IsMalformed() && m.fStackDepth <= kTranslatedStackCells;
  int32_t n = 0;
  int32_t sp = 0;
  auto add = [&](StepFunction<T> run, int32_t cell) -> Step<T>& {
    Step<T>& s = steps[n++];
    s = {};
    s.run = run;
    s.cell = cell;
    s.kind = Kind::kCall;
    return s;
  };

  int32_t pc = 0;
  for (; pc < count && usable;) {
    const PCodeOp& op = code[pc];
    depth[pc] = sp;
    stepOf[pc] = n;
    if (settleTo[pc] >= 0) {
      Step<T>& settle = add(&Identity<T>, sp - 1);  // the cell of the value's condition
      settle.kind = Kind::kValueEnd;
      settle.jumpTo = settleTo[pc];
    }
    if (skipEnd[pc] >= 0) {
      Step<T>& skip = add(&Identity<T>, sp);
      skip.kind = Kind::kSkipValue;
      skip.a = skipConditions[pc];
      skip.b = settleTo[skipEnd[pc]] >= 0 ? 1 : 0;  // a chosen value's end to pass
      skip.jumpTo = skipEnd[pc];
    }
    if (op.opcode == pcEnd || op.opcode == pcUndefined) {
      add(op.opcode == pcEnd ? &Identity<T> : &EndNaN<T>, 0).kind = op.opcode == pcEnd ? Kind::kEnd : Kind::kEndNaN;
      break;
    }
    const std::optional<StackEffect> effect = TranslatedStackEffect(op);
    if (!effect || effect->reads > sp || sp + 1 > m.fStackDepth) {
      usable = false;
      break;
    }
    Operand first{};
    Operand second{};
    int32_t consumed = 1;
    Form form = Form::kOther;
    int32_t fusedOpcode = op.opcode;
    Step<T>* s = nullptr;
    if (OperandOf(op, temps, first)) {
      const int32_t nextOpcode = pc + 1 < count ? code[pc + 1].opcode : pcEnd;
      StepFunction<T> run = nullptr;
      // A step takes in no instruction where a skipped value starts or ends.
      const bool mayTakeNext = skipEnd[pc + 1] < 0 && settleTo[pc + 1] < 0;
      const bool mayTakeTwo = mayTakeNext && pc + 2 < count && skipEnd[pc + 2] < 0 && settleTo[pc + 2] < 0;
      if (mayTakeTwo && OperandOf(code[pc + 1], temps, second) && IsFusableBinary(code[pc + 2])) {
        run = WithSource(first.source, [&](auto a) {
          return WithSource(second.source, [&](auto b) {
            return PushBinaryHandler<T, decltype(a)::value, decltype(b)::value>(code[pc + 2].opcode);
          });
        });
        consumed = 3;
      } else if (mayTakeNext && pc + 1 < count && IsFusableBinary(code[pc + 1])) {
        run = WithSource(first.source, [&](auto a) { return BinaryWithHandler<T, decltype(a)::value>(nextOpcode); });
        consumed = 2;
      } else if (mayTakeNext && IsFusableUnary(nextOpcode)) {
        run = WithSource(first.source, [&](auto a) { return PushUnaryHandler<T, decltype(a)::value>(nextOpcode); });
        consumed = 2;
      } else {
        run = WithSource(first.source, [](auto a) -> StepFunction<T> { return &Push<T, decltype(a)::value>; });
      }
      form = consumed == 3                                                  ? Form::kPushBinary
             : consumed == 1                                                ? Form::kPush
             : IsFusableUnary(nextOpcode) && !IsFusableBinary(code[pc + 1]) ? Form::kPushUnary
                                                                            : Form::kBinaryWith;
      fusedOpcode = code[pc + consumed - 1].opcode;
      if (first.source == Source::kConstant) first.index = constantPlace(first.index);
      if (consumed == 3 && second.source == Source::kConstant) second.index = constantPlace(second.index);
      s = &add(run, sp);
      s->a = first.index;
      s->x = first.number;
      s->b = second.index;
      s->y = second.number;
    } else if (std::is_same_v<T, double> && IsLoopTail(code, pc, count) && skipEnd[pc + 1] < 0 && skipEnd[pc + 2] < 0 &&
               settleTo[pc + 1] < 0 && settleTo[pc + 2] < 0 && StackEffectOf(code[pc + 1])->reads <= sp) {
      s = &add(&Identity<T>, sp - 1);  // the cell the accumulation reads
      s->kind = Kind::kLoopTail;
      s->a = temps + op.ids.a;
      s->b = code[pc + 1].opcode;
      s->x = op.opcode == pcSumIndexCheck ? 0.0 : 1.0;
      s->jumpTo = JumpTarget(code[pc + 2], pc + 2, count);
      consumed = 3;
    } else if (StepFunction<T> unary = UnaryHandler<T>(op.opcode)) {
      s = &add(unary, sp);
      form = Form::kUnary;
    } else if (IsFusableBinary(op)) {
      s = &add(BinaryHandler<T>(op.opcode), sp - 1);
      form = Form::kBinary;
    } else {
      const int32_t a = op.ids.a;
      switch (op.opcode) {
        case pcPushParameter:
          s = &add(&PushParameter<T>, sp);
          s->a = a;
          translation->readsRow = true;
          break;
        case pcStoreVar:
          s = &add(&StoreSlot<T>, sp);
          s->a = a;
          break;
        case pcStoreTemp:
          s = &add(&StoreSlot<T>, sp);
          s->a = temps + a;
          break;
        case pcStoreTempPop:
          s = &add(&StoreSlotPop<T>, sp - 1);
          s->a = temps + a;
          break;
        case pcSwap: s = &add(&Swap<T>, sp - 1); break;
        case pcPop: s = &add(&Pop<T>, sp - 1); break;
        case pcPowFrac: s = &add(&PowFrac<T>, sp - 1); break;
        case pcClamp: s = &add(&Clamp<T>, sp - 1); break;
        case pcInterpolate1:
          s = &add(&Interpolate1<T>, sp);
          s->a = a;
          break;
        case pcInterpolate2:
          s = &add(&Interpolate2<T>, sp - 1);
          s->a = a;
          break;
        case pcLess:
        case pcGreater:
        case pcLessEq:
        case pcGreaterEq:
        case pcEqual:
        case pcNotEqual:
          s = &add(&Chain<T>, sp);
          s->a = a;
          s->b = op.opcode;
          break;
        case pcBranch:
          s = &add(&Branch<T>, sp);
          s->a = a;
          break;
        case pcCallFunction:
          s = &add(&Call<T>, sp);
          s->a = a;
          s->b = op.ids.b;
          translation->readsRow = true;
          translation->callsFunctions = true;
          break;
        case pcLoopTest:
          s = &add(&LoopTest<T>, sp);
          s->a = temps + a;
          s->kind = Kind::kJump;
          break;
        case pcLoopNext:
          s = &add(&LoopNext<T>, sp);
          s->a = temps + a;
          if (op.ids.b > 0) s->kind = Kind::kJump;
          break;
        case pcSumIndexCheck:
        case pcProductIndexCheck:
          s = &add(&IndexCheck<T>, sp);
          s->a = temps + a;
          s->x = op.opcode == pcSumIndexCheck ? 0.0 : 1.0;
          break;
        default: s = &add(&Identity<T>, sp); break;  // pcNop, pcGuardEnd
      }
      if (s->kind == Kind::kJump) s->jumpTo = JumpTarget(op, pc, count);
    }
    // The stack index after each instruction of the step; the NaN stop
    // looks at the last.
    for (int32_t k = 0; k < consumed; ++k) {
      if (k > 0) {
        depth[pc + k] = sp;
        stepOf[pc + k] = -2;  // inside a fused step: no jump may land here
      }
      sp += TranslatedStackEffect(code[pc + k]).value_or(StackEffect{0, 0}).change;
    }
    s->checkNaN = sp > 0;
    if (s->kind == Kind::kCall) s->kind = InlineKind(form, fusedOpcode, first.source, second.source);
    pc += consumed;
  }
  // The end the code falls into, and the end a jump past either end reaches.
  if (usable) {
    stepOf[count] = n;
    depth[count] = -1;
    add(&Identity<T>, 0).kind = Kind::kEnd;
  }
  for (int32_t i = 0; i < n && usable; ++i) {
    Step<T>& s = steps[i];
    if (s.kind != Kind::kJump && s.kind != Kind::kSkipValue && s.kind != Kind::kLoopTail && s.kind != Kind::kValueEnd) {
      continue;
    }
    const int32_t to = s.jumpTo;
    // The target must start a step and expect the depth the jump leaves
    // (a skipped value leaves one more; a settled choice's depth was
    // checked when it was marked).
    const int32_t leaves = s.kind == Kind::kSkipValue ? s.cell + 1 : s.kind == Kind::kValueEnd ? depth[to] : s.cell;
    if (stepOf[to] < 0 || (to < count && depth[to] != leaves) ||
        (s.kind == Kind::kLoopTail && steps[stepOf[to]].run != &LoopTest<T>)) {
      usable = false;
      break;
    }
    s.target = steps + stepOf[to] + (s.kind == Kind::kSkipValue ? s.b : 0);
  }
  for (int32_t i = 0; i < n; ++i) {
    Step<T>& s = steps[i];
    if (s.run == &LoopTest<T>) s.kind = Kind::kLoopTest;
    if (s.run == &LoopNext<T> && s.kind == Kind::kJump) s.kind = Kind::kLoopNext;
    if (s.run == &IndexCheck<T>) s.kind = Kind::kIndexCheck;
    if (s.run == &Branch<T>) s.kind = Kind::kBranch;
    if (s.run == &Call<T>) s.kind = Kind::kCallFunction;
    // The first instruction of a run runs before any cancellation test.
    if (i > 0 && s.run == &StoreSlot<T>) s.kind = Kind::kStore;
    if (i > 0 && s.run == &StoreSlotPop<T>) s.kind = Kind::kStorePop;
  }
  OurDisposeMemory(stepOf);
  SettleComplexSteps(steps, n);
  translation->usable = usable && translation->constantCount <= kTranslatedConstants;
  translation->straight = std::all_of(steps, steps + n, [](const Step<T>& s) { return IsStraight(s.kind); });
  translation->onePush =
      n >= 2 && steps[1].kind == Kind::kEnd &&
      (steps[0].kind == Kind::kPushSlot || steps[0].kind == Kind::kPushNumber || steps[0].kind == Kind::kPushConstant);
  // A lone push gains nothing from machine code (RunOnePush).
  if constexpr (std::is_same_v<T, double>) {
    if (translation->usable && !translation->onePush) translation->native = MakeNativeForm(m, *translation);
  }
  return translation;
}

// Out of line, so that a run that finds its translation made saves no
// registers for making one.
template <typename T>
[[gnu::noinline, gnu::cold]] ATranslation* InstallTranslation(const AStackMachine& m) {
  std::atomic<ATranslation*>& slot = m.fTranslations[TypeIndex<T>()];
  ATranslation* translation = Translate<T>(m);
  if (translation == nullptr) return nullptr;
  ATranslation* expected = nullptr;
  if (!slot.compare_exchange_strong(expected, translation, std::memory_order_acq_rel)) {
    DisposeTranslation(translation);
    translation = expected;
  }
  return translation;
}

// The machine's translation for T, made on first use; null when the program
// keeps the interpreter.
template <typename T>
const ATranslation* TranslationOf(const AStackMachine& m) {
  ATranslation* translation = m.fTranslations[TypeIndex<T>()].load(std::memory_order_acquire);
  if (translation == nullptr) [[unlikely]] {
    translation = InstallTranslation<T>(m);
    if (translation == nullptr) return nullptr;
  }
  return translation->usable ? translation : nullptr;
}

}  // namespace translated
