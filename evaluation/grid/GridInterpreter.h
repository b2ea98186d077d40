#pragma once

// The grid interpreter shared by the real and the complex value types. A
// source file defines ValueOps<T> (and the point interpreter's RunPCode<T>)
// before including this file and instantiates RunPCodeArray<T>. Every
// point value comes from the same ValueOps<T> and OpcodeFunctions as the
// point interpreter, so a row evaluated at once gives at each point what a
// point run there gives.
//
// What cannot be done uniformly over the points (a loop whose index or
// bound differs between points, a table row chosen per point, a call of a
// user-defined function) hands the whole row to point runs, after the
// slots the row has written so far are restored.

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "evaluation/ConstantsSnapshot.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/grid/GridPointRuns.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/grid/GridScratch.h"
#include "evaluation/grid/GridValueSlots.h"
#include "evaluation/runs/InterpreterCore.h"
#include "evaluation/runs/OpcodeFunctions.h"
#include "evaluation/runs/RealValues.h"
#include "evaluation/StackEffect.h"

// The instructions that read a stack slot's values where a line left them
// (see GridRun::Line): pushes and pops, and the arithmetic of one and of
// two operands.
constexpr bool ReadsLinesInPlace(int32_t opcode) {
  switch (opcode) {
#define ZL_LINE_UNARY(name, f) case name:
    ZL_UNARY_OPCODES(ZL_LINE_UNARY)
#undef ZL_LINE_UNARY
#define ZL_LINE_BINARY(name, f, first, last) case name:
    ZL_BINARY_OPCODES(ZL_LINE_BINARY)
#undef ZL_LINE_BINARY
    case pcPushNumber:
    case pcPushI:
    case pcPushParameter:
    case pcPushConstant:
    case pcPushGrid1:
    case pcPushGrid2:
    case pcPushGrid3:
    case pcPushVar:
    case pcPushTemp:
    case pcPop:
    case pcAdd:
    case pcMul:
    case pcDiv:
    case pcNeg:
    case pcSquare:
    case pcEnd: return true;
    default: return false;
  }
}

// Variable slots an instruction writes, relative to the array's start; -1
// and -1 when it writes none.
inline void WrittenSlots(const PCodeOp& op, int32_t temps, int32_t& first, int32_t& last) {
  first = last = -1;
  const PCodeInfo* info = PCodeInfoOf(op.opcode);
  if (info == nullptr || info->firstWritten < 0) return;
  const int32_t base = (info->base == PCodeSlots::kTemporaries ? temps : 0) + op.ids.a;
  first = base + info->firstWritten;
  last = base + info->lastWritten;
}

template <typename T>
class GridRun {
 public:
  using Ops = ValueOps<T>;

  GridRun(const AStackMachine& machine, MGridVariables& grid, double* out)
      : fMachine(machine), fGrid(grid), fOut(out) {}

  void Run() {
    const int64_t points = fGrid.nz == 0 ? int64_t{fGrid.nx} : int64_t{fGrid.nx} * fGrid.ny;
    if (points <= 0) return;
    if (points > INT32_MAX / 2) return;  // no caller holds such a row
    fN = static_cast<int32_t>(points);
    fStride = int64_t{fN} + 1;
    if (fMachine.IsMalformed() || fGrid.variableVectors == nullptr ||
        fMachine.VariableSlotCount() > fGrid.variableCount) {
      return WriteNaN(fN);
    }
    fVariables = static_cast<T*>(fGrid.variableVectors);
    fSlotCount = fMachine.VariableSlotCount();

    bool mayNeedPointRuns = IsPerPoint(Variable(11));
    for (int32_t pc = 0; pc < fMachine.Count(); ++pc) {
      mayNeedPointRuns = mayNeedPointRuns || MayNeedPointRuns(fMachine.Code()[pc].opcode);
    }
    const int32_t depth = std::max(fMachine.fStackDepth, 1);
    const int64_t stackCells = (int64_t{depth} + kTemporarySlots) * fStride;
    const int64_t snapshotCells = mayNeedPointRuns ? int64_t{fSlotCount} * fStride + fSlotCount : 0;
    const int64_t deadBytes = Ops::kStopsOnNaN ? fN : 0;
    const int64_t indexBytes = mayNeedPointRuns ? int64_t{fSlotCount} * sizeof(int32_t) : 0;
    GridScratch scratch(
        static_cast<size_t>((stackCells + snapshotCells) * int64_t{sizeof(T)} + indexBytes + deadBytes));
    if (scratch.Block() == nullptr) return WriteNaN(fN);
    fStack = static_cast<T*>(scratch.Block());
    fDepth = depth;
    fTemporaries = fStack + int64_t{depth} * fStride;
    T* afterStack = fStack + stackCells;
    if (mayNeedPointRuns) {
      fPointVariables = afterStack;
      fSnapshot = afterStack + fSlotCount;
      fSnapshotIndex = reinterpret_cast<int32_t*>(afterStack + snapshotCells);
      TakeSnapshot();
    }
    if constexpr (Ops::kStopsOnNaN) {
      fDead = reinterpret_cast<unsigned char*>(afterStack + snapshotCells) + indexBytes;
      std::fill(fDead, fDead + fN, static_cast<unsigned char>(0));
    }

    if (IsPerPoint(Variable(11)) || !Execute()) {
      RunPointByPoint();
      return;
    }
    MaterialiseLines();
    WriteTop();
  }

 private:
  static constexpr int32_t kTemporarySlots = 2;

  T* Slot(int32_t index) const { return fStack + index * fStride; }
  T* Variable(int32_t index) const { return fVariables + index * fStride; }

  void WriteNaN(int32_t n) { std::fill(fOut, fOut + n, gNaN); }

  void WriteTop() {
    if (fAllDead) return WriteNaN(fN);
    if (fResultWritten) return;
    const T* top = Slot(fTop);
    if (!IsPerPoint(top)) {
      std::fill(fOut, fOut + fN, RealResult(Ops::Finish(top[1])));
    } else {
      for (int32_t p = 0; p < fN; ++p) fOut[p] = RealResult(Ops::Finish(top[1 + p]));
    }
    if constexpr (Ops::kStopsOnNaN) {
      for (int32_t p = 0; p < fN; ++p) {
        if (fDead[p] != 0) fOut[p] = gNaN;
      }
    }
  }

  // Keeps the slots the program writes, so that point runs can start from
  // what the row started with.
  void TakeSnapshot() {
    std::fill(fSnapshotIndex, fSnapshotIndex + fSlotCount, -1);
    int32_t kept = 0;
    for (int32_t pc = 0; pc < fMachine.Count(); ++pc) {
      int32_t first, last;
      WrittenSlots(fMachine.Code()[pc], fMachine.fTemporariesBase, first, last);
      for (int32_t slot = std::max(first, 0); slot <= last && slot < fSlotCount; ++slot) {
        if (fSnapshotIndex[slot] >= 0) continue;
        fSnapshotIndex[slot] = kept;
        CopySlot(fSnapshot + kept * fStride, Variable(slot), fN);
        ++kept;
      }
    }
  }

  void RunPointByPoint() {
    for (int32_t slot = 0; slot < fSlotCount; ++slot) {
      if (fSnapshotIndex[slot] >= 0) CopySlot(Variable(slot), fSnapshot + fSnapshotIndex[slot] * fStride, fN);
      Spread(Variable(slot), fN);
    }
    const int32_t i0 = fGrid.i;
    const int32_t j0 = fGrid.j;
    const bool layer = fGrid.nz != 0;
    for (int32_t p = 0; p < fN; ++p) {
      for (int32_t slot = 0; slot < fSlotCount; ++slot) fPointVariables[slot] = Variable(slot)[1 + p];
      fGrid.i = i0 + (layer ? p % fGrid.nx : p);
      fGrid.j = j0 + (layer ? p / fGrid.nx : 0);
      fOut[p] = RealResult(RunPCode<T>(&fMachine, fPointVariables, &fGrid));
      for (int32_t slot = 0; slot < fSlotCount; ++slot) Variable(slot)[1 + p] = fPointVariables[slot];
    }
    fGrid.i = i0;
    fGrid.j = j0;
  }

  T Hoisted(int32_t level, int32_t program, int64_t index) const {
    const int32_t counts[3] = {fGrid.level1Count, fGrid.level2Count, fGrid.level3Count};
    const int32_t sizes[3] = {fGrid.nx, fGrid.ny, fGrid.nz};
    if (fGrid.hoistedValues == nullptr || program < 0 || program >= counts[level] || index < 0 ||
        index >= sizes[level]) {
      return Ops::NaN();
    }
    int64_t element = int64_t{program} * sizes[level] + index;
    for (int32_t lower = 0; lower < level; ++lower) element += int64_t{sizes[lower]} * counts[lower];
    if constexpr (std::is_same_v<T, Complex>) {
      if (fGrid.complex) return static_cast<const Complex*>(fGrid.hoistedValues)[element];
    } else {
      if (!fGrid.complex) return static_cast<const double*>(fGrid.hoistedValues)[element];
    }
    return Ops::FromConstant(fGrid.HoistedValue(element));
  }

  // The values of a level-1 (level 0) or level-2 (level 1) program from
  // the run's first index on, where set-up left them; null when the run
  // must read them one by one.
  const T* HoistedLine(int32_t level, int32_t program) const {
    const int32_t count = level == 0 ? fGrid.level1Count : fGrid.level2Count;
    const int32_t first = level == 0 ? fGrid.i : fGrid.j;
    if (first != 0 || program < 0 || program >= count || fGrid.hoistedValues == nullptr ||
        (fGrid.complex != 0) != std::is_same_v<T, Complex>) {
      return nullptr;
    }
    const T* values = static_cast<const T*>(fGrid.hoistedValues);
    if (level == 0) return values + int64_t{program} * fGrid.nx;
    return values + int64_t{fGrid.nx} * fGrid.level1Count + int64_t{program} * fGrid.ny;
  }

  // x index i of every point (in a layer the nx values repeat for each y).
  void PushAlongX(T* slot, int32_t program) const {
    T* v = slot + 1;
    if (const T* line = HoistedLine(0, program)) {
      std::copy(line, line + std::min(fGrid.nx, fN), v);
    } else {
      for (int32_t i = 0; i < fGrid.nx && i < fN; ++i) v[i] = Hoisted(0, program, int64_t{fGrid.i} + i);
    }
    for (int32_t start = fGrid.nx; start < fN; start += fGrid.nx) std::copy(v, v + fGrid.nx, v + start);
    SetPerPoint(slot, true);
  }

  void PushAlongY(T* slot, int32_t program) const {
    if (fGrid.nz == 0) return SetSingle(slot, Hoisted(1, program, fGrid.j));
    T* v = slot + 1;
    for (int32_t j = 0; j < fGrid.ny; ++j) {
      std::fill(v + int64_t{j} * fGrid.nx, v + int64_t{j + 1} * fGrid.nx, Hoisted(1, program, int64_t{fGrid.j} + j));
    }
    SetPerPoint(slot, true);
  }

  // A slot may stand for per-point values that lie elsewhere: a hoisted
  // line (along x, or along y in a layer) or a per-point variable slot.
  // The instructions of ReadsLinesInPlace read them there; any other
  // instruction first copies them into their stack slots, as the push
  // would have. A run that tests the top after every step keeps none.
  enum class LineKind : uint8_t { kNone, kAlongX, kAlongY, kPerPoint };
  struct Line {
    const T* values = nullptr;
    LineKind kind = LineKind::kNone;
  };
  static constexpr bool kKeepsLines = !Ops::kStopsOnNaN;
  static constexpr int32_t kLineSlots = 16;

  // Points per row of the run: a layer is ny rows of nx points.
  int32_t Width() const { return fGrid.nz == 0 ? fN : fGrid.nx; }

  bool IsLine(int32_t s) const { return s >= 0 && s < kLineSlots && fLines[s].kind != LineKind::kNone; }

  // Makes the top stand for `values`; false when it cannot.
  bool PushLine(const T* values, LineKind kind) {
    if (!kKeepsLines || values == nullptr || fTop >= kLineSlots) return false;
    fLines[fTop] = {values, kind};
    ++fLineCount;
    SetPerPoint(Slot(fTop), true);
    return true;
  }

  void DropLine(int32_t s) {
    if (!IsLine(s)) return;
    fLines[s].kind = LineKind::kNone;
    --fLineCount;
  }

  // Row r of slot s: where its values start, or where the one value of the
  // whole row is (`single` for a single slot).
  struct RowValues {
    const T* values;
    bool uniform;
  };
  RowValues RowOf(int32_t s, int32_t r, const T* single) const {
    const int64_t start = int64_t{r} * Width();
    if (IsLine(s)) {
      const Line& line = fLines[s];
      if (line.kind == LineKind::kAlongX) return {line.values, false};
      if (line.kind == LineKind::kAlongY) return {line.values + r, true};
      return {line.values + start, false};
    }
    if (!IsPerPoint(Slot(s))) return {single, true};
    return {Slot(s) + 1 + start, false};
  }

  void MaterialiseLines() {
    const int32_t width = Width();
    for (int32_t s = 0; fLineCount > 0 && s < kLineSlots; ++s) {
      if (!IsLine(s)) continue;
      T* cells = Slot(s) + 1;
      for (int32_t r = 0; int64_t{r} * width < fN; ++r) {
        const RowValues row = RowOf(s, r, nullptr);
        T* to = cells + int64_t{r} * width;
        if (row.uniform) {
          std::fill(to, to + width, *row.values);
        } else {
          std::copy(row.values, row.values + width, to);
        }
      }
      DropLine(s);
    }
  }

  // The single value of slot s, read before the result overwrites it.
  T SingleOf(int32_t s) const { return IsLine(s) || IsPerPoint(Slot(s)) ? T{} : Slot(s)[1]; }

  // A per-point result of the program's last step goes straight to the
  // output, sparing WriteTop its copy.
  bool ResultToOutput(bool perPoint) {
    if constexpr (!std::is_same_v<T, double>) {
      return false;
    } else {
      fResultWritten = fFinalStep && perPoint;
      return fResultWritten;
    }
  }

  T* Output() const {
    if constexpr (std::is_same_v<T, double>) {
      return fOut;
    } else {
      return nullptr;
    }
  }

  template <typename F>
  void Unary(F f) {
    const bool toOutput = ResultToOutput(IsPerPoint(Slot(fTop)));
    if (!toOutput && !IsLine(fTop)) return ApplyUnary(Slot(fTop), fN, f);
    const int32_t width = Width();
    const bool alongX = IsLine(fTop) && fLines[fTop].kind == LineKind::kAlongX;
    T* out = toOutput ? Output() : Slot(fTop) + 1;
    for (int32_t r = 0, rows = fN / width; r < rows; ++r) {
      T* o = out + int64_t{r} * width;
      if (alongX && r > 0) {  // every row holds the same values: computed once
        std::copy(out, out + width, o);
        continue;
      }
      const RowValues x = RowOf(fTop, r, nullptr);  // per point: never a single slot
      if (x.uniform) {
        std::fill(o, o + width, f(*x.values));
      } else {
        for (int32_t i = 0; i < width; ++i) o[i] = f(x.values[i]);
      }
    }
    DropLine(fTop);
  }

  // The result replaces the second operand, row by row when a line is read.
  template <typename F>
  void Binary(F f) {
    const int32_t s = fTop - 1;
    const int32_t t = fTop;
    --fTop;
    const bool toOutput = ResultToOutput(IsPerPoint(Slot(s)) || IsPerPoint(Slot(t)));
    if (!toOutput && !IsLine(s) && !IsLine(t)) return ApplyBinary(Slot(s), Slot(t), fN, f);
    const T a = SingleOf(s);
    const T b = SingleOf(t);
    const int32_t width = Width();
    T* out = toOutput ? Output() : Slot(s) + 1;
    for (int32_t r = 0, rows = fN / width; r < rows; ++r) {
      const RowValues x = RowOf(s, r, &a);
      const RowValues y = RowOf(t, r, &b);
      T* o = out + int64_t{r} * width;
      if (x.uniform && y.uniform) {
        std::fill(o, o + width, f(*x.values, *y.values));
      } else if (x.uniform) {
        const T v = *x.values;
        for (int32_t i = 0; i < width; ++i) o[i] = f(v, y.values[i]);
      } else if (y.uniform) {
        const T v = *y.values;
        for (int32_t i = 0; i < width; ++i) o[i] = f(x.values[i], v);
      } else {
        for (int32_t i = 0; i < width; ++i) o[i] = f(x.values[i], y.values[i]);
      }
    }
    DropLine(s);
    DropLine(t);
    SetPerPoint(Slot(s), true);
  }

  void Chain(int32_t opcode, int32_t a) {
    const ChainShape chain = ChainShapeOf(opcode, a);
    const int32_t operands = chain.operands, pairs = chain.pairs;
    if (pairs == 0) return SetSingle(Slot(fTop), Ops::True());
    const int32_t deepest = fTop - pairs;
    bool perPoint = false;
    for (int32_t s = deepest; s <= fTop; ++s) perPoint = perPoint || IsPerPoint(Slot(s));
    auto truth = [&](int32_t p) {
      T result = Ops::True();
      const T* right = &ValueAt(Slot(fTop), p);
      for (int32_t k = 1; k <= pairs; ++k) {
        const T& left = ValueAt(Slot(fTop - k), p);
        result = Ops::ChainAnd(result, Ops::Compare(opcode, left, *right));
        right = &left;
      }
      return result;
    };
    const int32_t result = fTop - (operands - 1);
    if (!perPoint) {
      SetSingle(Slot(result), truth(0));
    } else {
      for (int32_t p = 0; p < fN; ++p) fTemporaries[1 + p] = truth(p);
      SetPerPoint(fTemporaries, true);
      CopySlot(Slot(result), fTemporaries, fN);
    }
    fTop = result;
  }

  void Branch(int32_t pairCount) {
    const int32_t first = fTop - 2 * pairCount + 1;
    bool perPoint = false;
    for (int32_t s = first; s <= fTop; ++s) perPoint = perPoint || IsPerPoint(Slot(s));
    auto choose = [&](int32_t p) {
      T result = Ops::NaN();
      T found = Ops::False();
      for (int32_t k = pairCount - 1; k >= 0; --k) {
        const T& condition = ValueAt(Slot(first + 2 * k), p);
        if (Ops::HasNaN(condition) || Ops::IsFalse(condition)) continue;
        const T& value = ValueAt(Slot(first + 2 * k + 1), p);
        result = Ops::IsFalse(found) || Ops::IsTrue(condition) ? value : Ops::Undecided(result, value);
        found = Ops::FoundOr(found, condition);
      }
      return result;
    };
    if (!perPoint) {
      const T chosen = choose(0);
      SetSingle(Slot(first), chosen);
    } else {
      for (int32_t p = 0; p < fN; ++p) fTemporaries[1 + p] = choose(p);
      SetPerPoint(fTemporaries, true);
      CopySlot(Slot(first), fTemporaries, fN);
    }
    fTop = first;
  }

  template <typename Step>
  void Statistic(int32_t operands, Step step) {
    T* a = Slot(fTop - operands + 1);
    T* b = a + fStride;
    bool perPoint = false;
    for (int32_t s = fTop - operands + 1; s <= fTop; ++s) perPoint = perPoint || IsPerPoint(Slot(s));
    if (!perPoint) {
      step(a[1], b[1], 0);
    } else {
      Spread(a, fN);
      Spread(b, fN);
      for (int32_t p = 0; p < fN; ++p) step(a[1 + p], b[1 + p], p);
    }
    fTop -= operands - 2;
  }

  // Makes a partly undefined top wholly undefined and marks, in a program
  // that cannot recover from NaN, the points whose point run would stop.
  void StopOnNaN() {
    T* top = Slot(fTop);
    const bool mayStop = fMachine.fNaNRecovery == 0;
    if (!IsPerPoint(top)) {
      if (!Ops::HasNaN(top[1])) return;
      top[1] = Ops::NaN();
      fAllDead = fAllDead || mayStop;
      return;
    }
    for (int32_t p = 0; p < fN; ++p) {
      if (!Ops::HasNaN(top[1 + p])) continue;
      top[1 + p] = Ops::NaN();
      if (mayStop) fDead[p] = 1;
    }
  }

  bool Push() {
    if (fTop + 1 >= fDepth) return false;
    ++fTop;
    return true;
  }

  // The program over the row; false when point runs must take over.
  bool Execute() {
    const PCodeOp* const code = fMachine.Code();
    const int32_t count = fMachine.Count();
    const int32_t temps = fMachine.fTemporariesBase;
    DocumentRecord* const document = fMachine.fDocument;
    const ConstantsSnapshot constants(fMachine.fConstantsCache);
    const CancelWords cancel(fMachine);
    const int32_t n = fN;

    int32_t row = Ops::ToRow(Variable(kSlotTableRow)[1]);
    SavedRows savedRows;
    fTop = 0;
    SetSingle(Slot(0), Ops::NaN());
    auto single = [&](const T& value) {
      if (!Push()) return false;
      SetSingle(Slot(fTop), value);
      return true;
    };
    auto loopSlotsUniform = [&](int32_t a, int32_t slots) {
      for (int32_t k = 0; k < slots; ++k) {
        if (IsPerPoint(Variable(temps + a + k))) return false;
      }
      return true;
    };

    const int32_t finalStep = count >= 2 && code[count - 1].opcode == pcEnd ? count - 2 : -1;
    for (int32_t pc = 0; pc >= 0 && pc < count;) {
      if (cancel.Raised()) return true;
      const PCodeOp& op = code[pc];
      fFinalStep = pc == finalStep;
      if constexpr (kKeepsLines) {
        if (fLineCount != 0 && !ReadsLinesInPlace(op.opcode)) MaterialiseLines();
      }
      int32_t next = pc + 1;
      T* top = Slot(fTop);
      switch (op.opcode) {
        case pcPushNumber:
          if (!single(Ops::FromReal(op.number))) return Overflow();
          break;
        case pcPushI:
          if (!single(Ops::ImaginaryUnit())) return Overflow();
          break;
        case pcPushParameter:
          if (!single(Ops::FromParameter(GetParameter(op.ids.a, row, document)))) return Overflow();
          break;
        case pcPushConstant: {
          if (!single(Ops::FromConstant(constants.At(op.ids.a)))) return Overflow();
          break;
        }
        case pcPushGrid1:
          if (!Push()) return Overflow();
          if (!PushLine(HoistedLine(0, op.ids.a), LineKind::kAlongX)) PushAlongX(Slot(fTop), op.ids.a);
          break;
        case pcPushGrid2:
          if (!Push()) return Overflow();
          if (fGrid.nz == 0 || !PushLine(HoistedLine(1, op.ids.a), LineKind::kAlongY)) {
            PushAlongY(Slot(fTop), op.ids.a);
          }
          break;
        case pcPushGrid3:
          if (!single(Hoisted(2, op.ids.a, fGrid.k))) return Overflow();
          break;
        case pcPushVar:
        case pcPushTemp: {
          if (!Push()) return Overflow();
          const T* variable = Variable(op.ids.a + (op.opcode == pcPushTemp ? temps : 0));
          if (!IsPerPoint(variable) || !PushLine(variable + 1, LineKind::kPerPoint)) CopySlot(Slot(fTop), variable, n);
          break;
        }
        case pcStoreVar: CopySlot(Variable(op.ids.a), top, n); break;
        case pcStoreTemp: CopySlot(Variable(temps + op.ids.a), top, n); break;
        case pcStoreTempPop:
          CopySlot(Variable(temps + op.ids.a), top, n);
          --fTop;
          break;
        case pcSwap: {
          T* second = Slot(fTop - 1);
          if (!IsPerPoint(top) && !IsPerPoint(second)) {
            std::swap(top[1], second[1]);
          } else {
            std::swap_ranges(top, top + fStride, second);
          }
          break;
        }
        case pcPop:
          DropLine(fTop);
          --fTop;
          break;
        case pcAdd: Binary([](const T& s, const T& t) { return Ops::Add(s, t); }); break;
        case pcMul: Binary([](const T& s, const T& t) { return Ops::Mul(s, t); }); break;
        case pcDiv: Binary([](const T& s, const T& t) { return Ops::Div(s, t); }); break;
        case pcNeg: Unary([](const T& x) { return Ops::Neg(x); }); break;
        case pcSquare: Unary([](const T& x) { return Ops::Square(x); }); break;
        case pcLess:
        case pcGreater:
        case pcLessEq:
        case pcGreaterEq:
        case pcEqual:
        case pcNotEqual: Chain(op.opcode, op.ids.a); break;
        case pcPowFrac:
          ApplyTernary(Slot(fTop - 2), Slot(fTop - 1), top, n,
                       [](const T& a, const T& b, const T& c) { return Ops::PowFrac(a, b, c); });
          fTop -= 2;
          break;
        case pcClamp:
          ApplyTernary(Slot(fTop - 2), Slot(fTop - 1), top, n,
                       [](const T& a, const T& b, const T& c) { return Ops::Clamp(a, b, c); });
          fTop -= 2;
          break;
        case pcIf: {
          T* value = Slot(fTop - 1);
          if (!IsPerPoint(top)) {
            if (!Ops::IsTrue(top[1])) SetSingle(value, Ops::NaN());
          } else {
            ApplyBinary(value, top, n, [](const T& v, const T& c) { return Ops::IsTrue(c) ? v : Ops::NaN(); });
          }
          --fTop;
          break;
        }
        case pcBranch:
          if (op.ids.a <= 0) {
            if (!single(Ops::NaN())) return Overflow();
          } else {
            Branch(op.ids.a);
          }
          break;
        case pcUndefined: SetSingle(top, Ops::NaN()); return true;
        case pcInterpolate1: {
          const int32_t id = op.ids.a;
          ApplyUnary(top, n, [id, document](const T& x) { return Ops::Interpolate(id, x, document); });
          break;
        }
        case pcInterpolate2: {
          const int32_t id = op.ids.a;
          ApplyBinary(Slot(fTop - 1), top, n, [id, document](const T& second, const T& t) {
            return Ops::Interpolate(id, t, second, document);
          });
          --fTop;
          break;
        }
        case pcCallFunction: return false;
        case pcLoopTest: {
          if (!loopSlotsUniform(op.ids.a, 2)) return false;
          const T* slot = Variable(temps + op.ids.a);
          const int32_t past = pc + std::max(op.ids.b, 0) + 1;
          switch (Ops::LoopDecision(slot[1], slot[fStride + 1])) {
            case LoopStep::kEnter: break;
            case LoopStep::kLeave: next = past; break;
            case LoopStep::kAbandon:
              SetSingle(top, Ops::NaN());
              next = past;
              break;
          }
          break;
        }
        case pcLoopNext: {
          if (!loopSlotsUniform(op.ids.a, 1)) return false;
          T& index = Variable(temps + op.ids.a)[1];
          index = Ops::Increment(index);
          if (op.ids.b > 0) next = pc - op.ids.b;
          break;
        }
        case pcSumIndexCheck:
        case pcProductIndexCheck: {
          if (!loopSlotsUniform(op.ids.a, 3)) return false;
          const T* slot = Variable(temps + op.ids.a);
          const T index = slot[1], limit = slot[fStride + 1], start = slot[2 * fStride + 1];
          const double neutral = op.opcode == pcSumIndexCheck ? 0.0 : 1.0;
          ApplyUnary(top, n, [&](const T& x) { return Ops::IndexCheck(x, index, limit, start, neutral); });
          break;
        }
        case pcPopRow: savedRows.Restore(row); break;
        case pcSetRow:
          if (!loopSlotsUniform(op.ids.a, 1)) return false;
          row = Ops::ToRow(Variable(temps + op.ids.a)[1]);
          break;
        case pcPushRow:
          if (IsPerPoint(top)) return false;
          savedRows.Save(row);
          row = Ops::ToRow(top[1]);
          --fTop;
          break;
        case pcCondCountSum:
        case pcCondMaxMin: {
          const T* value = Slot(fTop - 1);
          const bool countSum = op.opcode == pcCondCountSum;
          Statistic(4, [&](T& a, T& b, int32_t p) {
            if (countSum) {
              Ops::CondCountSum(a, b, ValueAt(value, p), ValueAt(top, p));
            } else {
              Ops::CondMaxMin(a, b, ValueAt(value, p), ValueAt(top, p));
            }
          });
          break;
        }
        case pcCountSum:
        case pcMaxMin: {
          const bool countSum = op.opcode == pcCountSum;
          Statistic(3, [&](T& a, T& b, int32_t p) {
            if (countSum) {
              Ops::CountSum(a, b, ValueAt(top, p));
            } else {
              Ops::MaxMin(a, b, ValueAt(top, p));
            }
          });
          break;
        }
        case pcBeginCountSum:
        case pcBeginMaxMin: {
          savedRows.Save(row);
          const T start = op.opcode == pcBeginCountSum ? Ops::Zero() : Ops::NaN();
          if (!single(start) || !single(start)) return Overflow();
          SetSingle(Variable(temps + op.ids.a), Ops::FromReal(1.0));
          SetSingle(Variable(temps + op.ids.a + 1), Ops::FromReal(static_cast<double>(op.ids.b) + 1.0));
          break;
        }
        case pcEnd:
          return true;
          // Each function its own loop, so that the call is direct and
          // the cheap ones inline.
#define ZL_GRID_UNARY(name, f) \
  case name: Unary([](const T& x) { return Ops::f(x); }); break;
          ZL_UNARY_OPCODES(ZL_GRID_UNARY)
#undef ZL_GRID_UNARY
#define ZL_GRID_BINARY(name, f, first, last) \
  case name: Binary([](const T& second, const T& top) { return Ops::f(first, last); }); break;
          ZL_BINARY_OPCODES(ZL_GRID_BINARY)
#undef ZL_GRID_BINARY
        default:  // pcNop, the guards and unknown opcodes do nothing
          break;
      }
      if constexpr (Ops::kStopsOnNaN) {
        if (fTop > 0) {
          StopOnNaN();
          if (fAllDead) return true;
        }
      }
      pc = next;
    }
    return true;
  }

  // A program deeper than its recorded depth: nothing it computes is kept.
  bool Overflow() {
    fAllDead = true;
    return true;
  }

  const AStackMachine& fMachine;
  MGridVariables& fGrid;
  double* fOut;
  int32_t fN = 0;
  int64_t fStride = 1;
  int32_t fSlotCount = 0;
  int32_t fDepth = 1;
  int32_t fTop = 0;
  T* fVariables = nullptr;
  T* fStack = nullptr;
  T* fTemporaries = nullptr;
  T* fPointVariables = nullptr;
  T* fSnapshot = nullptr;
  int32_t* fSnapshotIndex = nullptr;
  unsigned char* fDead = nullptr;
  bool fAllDead = false;
  Line fLines[kLineSlots];
  int32_t fLineCount = 0;
  bool fFinalStep = false;
  bool fResultWritten = false;
};

// Runs the grid program over one row of a two-axis grid (nz = 0: nx
// points) or one layer of a three-axis grid (nx * ny points, x fastest)
// and writes one real result per point to `out`; a complex value off the
// real axis gives NaN.
template <typename T>
void RunPCodeArray(const AStackMachine* machine, MGridVariables* grid, double* out) {
  if (machine == nullptr || grid == nullptr || out == nullptr) return;
  GridRun<T>(*machine, *grid, out).Run();
}
