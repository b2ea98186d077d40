#include <algorithm>
#include <type_traits>

#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/AnExpression.h"
#include "evaluation/runs/CancelWords.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/grid/GridPointRuns.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/grid/GridSetup.h"
#include "evaluation/grid/GridValueSlots.h"
#include "evaluation/runs/RealValues.h"
#include "evaluation/runs/RunPCode.h"
#include "evaluation/runs/SplicedCalls.h"
#include "evaluation/StackMachine.h"

namespace {

// A box side given the wrong way round still means the values between its
// ends; read as written it would be the exterior of that range.
Interval Side(double a, double b) { return b < a ? Interval{b, a} : Interval{a, b}; }

template <typename T>
T BoxSlot(const Interval& side) {
  if constexpr (std::is_same_v<T, ComplexInterval>) {
    return {side, {0.0, 0.0}};
  } else {
    return side;
  }
}

// The document's slider is asked only by a run that reads its slot.
template <typename T>
void PutSlider(const AStackMachine& program, DocumentRecord* document, T* variables) {
  if (program.ReadsSlider()) variables[kSlotSlider] = FromReal<T>(SliderValue(document));
}

int64_t PointsPerRun(const MGridVariables& grid) {
  return grid.nz == 0 ? int64_t{grid.nx} : int64_t{grid.nx} * grid.ny;
}

// The grid's array was made for the programs compiled with this one; a
// grid prepared for other programs may be too small to run it on.
bool GridFits(const MGridVariables* grid, const AStackMachine* program) {
  return grid != nullptr && program != nullptr && grid->variableVectors != nullptr &&
         grid->variableCount >= program->VariableSlotCount();
}

// Fills the coordinate slots the program reads: x per point in u and x,
// y in v and y (one value for a row, per point in a layer), z and the
// slider as one value. A row that point runs may take over gets them all.
template <typename T>
void FillArrayRun(MGridVariables& grid, const AStackMachine& program, int32_t n, double slider) {
  const int64_t points = PointsPerRun(grid);
  const int64_t stride = points + 1;
  T* cells = static_cast<T*>(grid.variableVectors);
  auto slot = [&](int32_t s) { return cells + s * stride; };
  uint32_t read = CoordinateSlotsRead(program);
  if (grid.variableCount > kSlotTableRow && IsPerPoint(slot(kSlotTableRow))) read = kEveryCoordinateSlot;
  const T* filled = nullptr;
  for (const int32_t s : {kSlotU, kSlotX}) {
    if ((read >> s & 1) == 0) continue;
    T* x = slot(s);
    if (filled != nullptr) {
      CopySlot(x, filled, static_cast<int32_t>(points));
      continue;
    }
    // One line of x values, repeated for each y of a layer: no division
    // per point. The geometry is read once, so that the loop vectorises.
    SetPerPoint(x, true);
    const double x0 = grid.x0, dx = grid.dx;
    const int32_t line = static_cast<int32_t>(std::min<int64_t>(grid.nx, points));
    for (int32_t i = 0; i < line; ++i) x[1 + i] = FromReal<T>(GridCoordinate(x0, i, dx));
    for (int64_t start = grid.nx; start < points; start += grid.nx) {
      std::copy(x + 1, x + 1 + std::min<int64_t>(grid.nx, points - start), x + 1 + start);
    }
    filled = x;
  }
  filled = nullptr;
  for (const int32_t s : {kSlotV, kSlotY}) {
    if ((read >> s & 1) == 0) continue;
    T* y = slot(s);
    if (filled != nullptr) {
      CopySlot(y, filled, static_cast<int32_t>(points));
      continue;
    }
    if (grid.nz == 0) {
      SetSingle(y, FromReal<T>(GridCoordinate(grid.y0, n, grid.dy)));
    } else {
      SetPerPoint(y, true);
      for (int64_t start = 0, j = 0; start < points; start += grid.nx, ++j) {
        const T value = FromReal<T>(GridCoordinate(grid.y0, static_cast<int32_t>(j), grid.dy));
        std::fill(y + 1 + start, y + 1 + std::min<int64_t>(start + grid.nx, points), value);
      }
    }
    filled = y;
  }
  if (grid.nz != 0) SetSingle(slot(kSlotZ), FromReal<T>(GridCoordinate(grid.z0, n, grid.dz)));
  SetSingle(slot(kSlotSlider), FromReal<T>(slider));
}

// A program of one constant push and its end: its value is the constant,
// whatever the array holds.
bool PushesOneConstant(const AStackMachine& program, int32_t& index) {
  const PCodeOp* code = program.Code();
  if (program.IsMalformed() || program.Count() < 1 || code[0].opcode != pcPushConstant) return false;
  if (program.Count() > 1 && code[1].opcode != pcEnd) return false;
  index = code[0].ids.a;
  return true;
}

}  // namespace

void AnExpression::DecidePointRun() {
  fPointRun = PointRun::kFully;
  fConstantPlace = nullptr;
  const AStackMachine* machine = fPointMachine.get();
  if (machine == nullptr) return;
  const bool real = machine->fComplex == 0;
  if (real && machine->fConstantsCache == &fPointConstants && PushesOneConstant(*machine, fConstantIndex)) {
    fConstantPlace = fPointConstants.PlaceOf(fConstantIndex);
    if (fConstantPlace != nullptr) {
      fPointRun = PointRun::kConstant;
      return;
    }
  }
  if (!machine->ReadsSlider()) {
    fPointRun = real ? PointRun::kReal : PointRun::kComplex;
  } else if (real && machine->HandsSliderOnOnly()) {
    fPointRun = PointRun::kRealHandingSliderOn;
  }
}

// What RunPCode gives for the program, read without it: the constant as
// the run would copy it, then the run's end, its cancellation test. The
// computation of stale values is out of line, so that the usual case
// saves no registers.
[[gnu::always_inline]] inline double AnExpression::ConstantRun() {
  double value;
  if (!fPointConstants.TryRealPartAt(fConstantPlace, value)) [[unlikely]]
    return ConstantRunAfterComputing();
  return CancelWords(*fPointMachine).Screen(value, gNaN);
}

double AnExpression::ConstantRunAfterComputing() {
  return CancelWords(*fPointMachine).Screen(fPointConstants.Selected(fConstantIndex).re, gNaN);
}

// The usual case first and straight through, with nothing to keep across
// a call, so that the entry saves no registers: a real program that reads
// no slider, on a thread whose array is current.
template <typename Fill>
double AnExpression::EvaluatePoint(Fill fill) {
  const PointRun run = fPointRun;
  if (run == PointRun::kReal) [[likely]] {
    if (void* variables = ThreadLocalVariablesIfCurrent()) [[likely]] {
      auto* v = static_cast<double*>(variables);
      fill(v);
      return RunPCode<double>(fPointMachine.get(), v, nullptr);
    }
    return EvaluatePointFully(fill);
  }
  if (run == PointRun::kConstant) return ConstantRun();
  if (void* variables = ThreadLocalVariablesIfCurrent()) {
    // A real program that would only hand the slider to callees written
    // into it needs none either.
    if (run == PointRun::kRealHandingSliderOn && !SplicedRunReadsSlider(*fPointMachine)) {
      auto* v = static_cast<double*>(variables);
      fill(v);
      return RunPCode<double>(fPointMachine.get(), v, nullptr);
    }
    if (run == PointRun::kComplex) {
      auto* v = static_cast<Complex*>(variables);
      fill(v);
      return RealResult(RunPCode<Complex>(fPointMachine.get(), v, nullptr));
    }
  }
  return EvaluatePointFully(fill);
}

template <typename Fill>
[[gnu::noinline]] double AnExpression::EvaluatePointFully(Fill fill) {
  void* variables = CurrentThreadLocalVariables();
  if (fPointMachine == nullptr || variables == nullptr) return gNaN;
  if (fPointMachine->fComplex != 0) {
    auto* v = static_cast<Complex*>(variables);
    PutSlider(*fPointMachine, fDocument, v);
    fill(v);
    return RealResult(fPointMachine->Run(v, nullptr));
  }
  auto* v = static_cast<double*>(variables);
  PutSlider(*fPointMachine, fDocument, v);
  fill(v);
  return fPointMachine->Run(v, nullptr);
}

double AnExpression::Evaluate(double u) {
  return EvaluatePoint([=]<typename T>(T* v) { v[kSlotU] = FromReal<T>(u); });
}

double AnExpression::Evaluate(double x, double y) {
  return EvaluatePoint([=]<typename T>(T* v) {
    v[kSlotX] = FromReal<T>(x);
    v[kSlotY] = FromReal<T>(y);
  });
}

double AnExpression::Evaluate(double u, double v, double x, double y, double z, double w) {
  return EvaluatePoint([=]<typename T>(T* s) {
    s[kSlotU] = FromReal<T>(u);
    s[kSlotV] = FromReal<T>(v);
    s[kSlotX] = FromReal<T>(x);
    s[kSlotY] = FromReal<T>(y);
    s[kSlotZ] = FromReal<T>(z);
    s[kSlotW] = FromReal<T>(w);
  });
}

double AnExpression::EvaluateIndexed(double x, double y, double z, int32_t row) {
  return EvaluatePoint([=]<typename T>(T* v) {
    v[kSlotX] = FromReal<T>(x);
    v[kSlotY] = FromReal<T>(y);
    v[kSlotZ] = FromReal<T>(z);
    v[kSlotTableRow] = FromReal<T>(static_cast<double>(row));
  });
}

Complex AnExpression::EvaluateComplex(double x, double y) {
  auto* v = static_cast<Complex*>(CurrentThreadLocalVariables());
  if (fPointMachine == nullptr || v == nullptr) return gNaNComplex;
  PutSlider(*fPointMachine, fDocument, v);
  v[kSlotX] = {x, 0.0};
  v[kSlotY] = {y, 0.0};
  return fPointMachine->Run(v, nullptr);
}

Complex AnExpression::EvaluateComplexConstant() {
  auto* v = static_cast<Complex*>(CurrentThreadLocalVariables());
  if (fPointMachine == nullptr || v == nullptr) return gNaNComplex;
  PutSlider(*fPointMachine, fDocument, v);
  return fPointMachine->Run(v, nullptr);
}

template <typename Fill>
void AnExpression::EvaluateBox(Fill fill, double* lo, double* hi) {
  Interval result = gNaNInterval;
  void* variables = CurrentThreadLocalVariables();
  if (fPointMachine != nullptr && variables != nullptr) {
    if (fPointMachine->fComplex != 0) {
      auto* v = static_cast<ComplexInterval*>(variables);
      PutSlider(*fPointMachine, fDocument, v);
      fill(v);
      const ComplexInterval z = fPointMachine->Run(v);
      if (z.im.lower == 0 && z.im.upper == 0) result = z.re;
    } else {
      auto* v = static_cast<Interval*>(variables);
      PutSlider(*fPointMachine, fDocument, v);
      fill(v);
      result = fPointMachine->Run(v);
    }
  }
  if (lo != nullptr) *lo = result.lower;
  if (hi != nullptr) *hi = result.upper;
}

void AnExpression::EvaluateIntervalExtension(double u0, double u1, double* lo, double* hi) {
  EvaluateBox([&]<typename T>(T* v) { v[kSlotU] = BoxSlot<T>(Side(u0, u1)); }, lo, hi);
}

void AnExpression::EvaluateIntervalExtension(double x0, double x1, double y0, double y1, double* lo, double* hi) {
  EvaluateBox(
      [&]<typename T>(T* v) {
        v[kSlotX] = BoxSlot<T>(Side(x0, x1));
        v[kSlotY] = BoxSlot<T>(Side(y0, y1));
        v[kSlotZ] = BoxSlot<T>(Interval{0.0, 0.0});
      },
      lo, hi);
}

void AnExpression::EvaluateIntervalExtension(double x0, double x1, double y0, double y1, double z0, double z1,
                                             double* lo, double* hi) {
  EvaluateBox(
      [&]<typename T>(T* v) {
        v[kSlotX] = BoxSlot<T>(Side(x0, x1));
        v[kSlotY] = BoxSlot<T>(Side(y0, y1));
        v[kSlotZ] = BoxSlot<T>(Side(z0, z1));
      },
      lo, hi);
}

double AnExpression::EvaluateGridPoint(MGridVariables* grid) {
  const double x = GridCoordinate(grid->x0, grid->i, grid->dx);
  const double y = GridCoordinate(grid->y0, grid->j, grid->dy);
  if (fGridMachine->fComplex != 0 || grid->complex != 0) {
    auto* v = static_cast<Complex*>(grid->variableVectors);
    v[kSlotU] = v[kSlotX] = {x, 0.0};
    v[kSlotV] = v[kSlotY] = {y, 0.0};
    PutSlider(*fGridMachine, fDocument, v);
    return RealResult(fGridMachine->Run(v, grid));
  }
  auto* v = static_cast<double*>(grid->variableVectors);
  v[kSlotU] = v[kSlotX] = x;
  v[kSlotV] = v[kSlotY] = y;
  PutSlider(*fGridMachine, fDocument, v);
  return fGridMachine->Run(v, grid);
}

double AnExpression::EvaluateOnGrid(int32_t i, int32_t j, MGridVariables* grid) {
  if (!GridFits(grid, fGridMachine.get())) return gNaN;
  grid->i = i;
  grid->j = j;
  return EvaluateGridPoint(grid);
}

double AnExpression::EvaluateOnGrid(int32_t i, int32_t j, int32_t k, MGridVariables* grid) {
  if (!GridFits(grid, fGridMachine.get()) || grid->variableCount < 6) return gNaN;
  grid->i = i;
  grid->j = j;
  grid->k = k;
  const double z = GridCoordinate(grid->z0, k, grid->dz);
  if (fGridMachine->fComplex != 0 || grid->complex != 0) {
    static_cast<Complex*>(grid->variableVectors)[kSlotZ] = {z, 0.0};
  } else {
    static_cast<double*>(grid->variableVectors)[kSlotZ] = z;
  }
  return EvaluateGridPoint(grid);
}

void AnExpression::EvaluateArrayOnGrid(int32_t n, MGridVariables* grid, double* out) {
  if (grid == nullptr || out == nullptr) return;
  const int64_t points = PointsPerRun(*grid);
  if (!GridFits(grid, fGridMachine.get()) || grid->variableCount < 6) {
    for (int64_t p = 0; p < points; ++p) out[p] = gNaN;
    return;
  }
  if (grid->nz == 0) {
    grid->i = 0;
    grid->j = n;
  } else {
    grid->i = 0;
    grid->j = 0;
    grid->k = n;
  }
  const double slider = SliderValue(fDocument);
  if (fGridMachine->fComplex != 0 || grid->complex != 0) {
    FillArrayRun<Complex>(*grid, *fGridMachine, n, slider);
    fGridMachine->RunArrayComplex(grid, out);
  } else {
    FillArrayRun<double>(*grid, *fGridMachine, n, slider);
    fGridMachine->RunArrayDouble(grid, out);
  }
}
