#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "CoreUtilities/Complex.h"
#include "CoreUtilities/text/UniChar.h"
#include "evaluation/ConstantsCache.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/StackMachine.h"
#include "expression/ExpressionRecord.h"

class AColorEquations;
class DocumentRecord;

// The linear form a·x + b·y + c·z + d.
struct A4Vector {
  double a;
  double b;
  double c;
  double d;
};

// One formula compiled once and evaluated at points, over boxes and over
// grids. Point evaluations may run on several threads at once; each grid
// evaluation needs its own MGridVariables; compiling must not overlap any
// evaluation of the same object. Cancel and invalidation may come from any
// thread at any time.
class AnExpression {
 public:
  // Takes over the tree (callers pass a copy) and rewrites it for the
  // stack machine; nothing is compiled yet.
  AnExpression(ExpressionRecord* tree, DocumentRecord* document);
  ~AnExpression();
  AnExpression(const AnExpression&) = delete;
  AnExpression& operator=(const AnExpression&) = delete;

  // Point programs of the whole list in one sharing pass; expressions
  // compiled together share one number type. Null entries are skipped.
  static void Compile(AnExpression** list, int32_t n);
  static void Compile(AnExpression* e);
  static void Compile(AnExpression* e1, AnExpression* e2, AnExpression* e3);
  static void Compile(AnExpression* e1, AnExpression* e2, AnExpression* e3, AnExpression* e4);

  // Grid programs of the whole list in one hoisting pass; null when memory
  // runs out.
  static std::unique_ptr<MGridData> CompileForGrid(AnExpression** list, int32_t n);
  static std::unique_ptr<MGridData> CompileForGrid(AnExpression* e);
  static std::unique_ptr<MGridData> CompileForGrid(AnExpression* e1, AnExpression* e2);
  static std::unique_ptr<MGridData> CompileForGrid(AnExpression* e1, AnExpression* e2, AnExpression* e3);
  static std::unique_ptr<MGridData> CompileForGrid(AnExpression* e1, AnExpression* e2, AnExpression* e3,
                                                   AnExpression* e4);
  static std::unique_ptr<MGridData> CompileForGrid(AnExpression* const (&list)[9]);
  static std::unique_ptr<MGridData> CompileForGrid(AnExpression* const (&list)[12]);

  static void SetupGrid(double x0, double y0, double dx, double dy, int32_t nx, int32_t ny, MGridData* data,
                        MGridVariables* grid);
  static void SetupGrid(double x0, double y0, double z0, double dx, double dy, double dz, int32_t nx, int32_t ny,
                        int32_t nz, MGridData* data, MGridVariables* grid);

  // Point evaluation; NaN when uncompiled, undefined, cancelled or not real.
  double Evaluate(double u);
  double Evaluate(double x, double y);
  double Evaluate(double u, double v, double x, double y, double z, double w);
  double EvaluateIndexed(double x, double y, double z, int32_t row);
  Complex EvaluateComplex(double x, double y);
  Complex EvaluateComplexConstant();

  // Enclosure of the values over a box; a reversed side is read as the
  // interval between its two ends. Both bounds NaN when undefined.
  void EvaluateIntervalExtension(double u0, double u1, double* lo, double* hi);
  void EvaluateIntervalExtension(double x0, double x1, double y0, double y1, double* lo, double* hi);
  void EvaluateIntervalExtension(double x0, double x1, double y0, double y1, double z0, double z1, double* lo,
                                 double* hi);

  double EvaluateOnGrid(int32_t i, int32_t j, MGridVariables* grid);
  double EvaluateOnGrid(int32_t i, int32_t j, int32_t k, MGridVariables* grid);
  // Row n of a two-axis grid or layer n of a three-axis grid, one double
  // per point into out (x fastest).
  void EvaluateArrayOnGrid(int32_t n, MGridVariables* grid, double* out);

  void SetCancel(bool cancel);
  bool IsCancelled() const;
  // Null entries are skipped; the colour's own expressions are included.
  static void Cancel(AColorEquations* colour, AnExpression* e1, AnExpression* e2 = nullptr, AnExpression* e3 = nullptr,
                     AnExpression* e4 = nullptr, AnExpression* e5 = nullptr);
  static void Cancel(AColorEquations* colour, AnExpression* const (&list)[9]);
  static void Cancel(AColorEquations* colour, AnExpression* const (&list)[13]);
  static void ClearCancelFlag(AColorEquations* colour, AnExpression* e1, AnExpression* e2 = nullptr,
                              AnExpression* e3 = nullptr, AnExpression* e4 = nullptr, AnExpression* e5 = nullptr);
  static void ClearCancelFlag(AColorEquations* colour, AnExpression* const (&list)[9]);
  static void ClearCancelFlag(AColorEquations* colour, AnExpression* const (&list)[13]);
  // The next evaluation of each expression recomputes its constants.
  static void InvalConstants(AColorEquations* colour, AnExpression* e1, AnExpression* e2 = nullptr,
                             AnExpression* e3 = nullptr, AnExpression* e4 = nullptr, AnExpression* e5 = nullptr);
  static void InvalConstants(AColorEquations* colour, AnExpression* const (&list)[13]);
  void InvalConstants();

  // Queries that do not evaluate.
  bool Contains(int32_t id) const;
  void ReplaceAtoms(int32_t from, int32_t to);
  bool HasAnalyticDerivative() const;
  bool DoesExprDefinePlane(A4Vector* out) const;
  // The partial derivative in the variable, unsimplified and uncompiled;
  // NaN short of stack or memory; null while no differentiation is
  // installed (DerivativeHooks.h).
  AnExpression* CreateDerivativeExpr(int32_t id) const;
  AnExpression* CreateCopy() const;
  // The text of a string formula or of a text-column cell; owned by the
  // tree or the table. Null otherwise.
  const UniChar* EvaluateAsString(int32_t row) const;
  // A list of n vectors of at least four components becomes 4n expressions,
  // each vertex's four compiled together; the array (from new[]) and the
  // expressions belong to the caller. Nothing (null, 0) for any other
  // shape.
  void ExtractVertexListVectorComponents(AnExpression*** list, int32_t* count) const;

  ExpressionRecord* Tree() const { return fTree; }
  DocumentRecord* Document() const { return fDocument; }
  // Null before compiling, or when memory ran out.
  const AStackMachine* PointMachine() const { return fPointMachine.get(); }
  const AStackMachine* GridMachine() const { return fGridMachine.get(); }
  AConstantsCache& PointConstants() { return fPointConstants; }
  AConstantsCache& GridConstants() { return fGridConstants; }
  // 1 when a whole grid row may be evaluated in one array run.
  int32_t ArrayFlag() const { return fArrayFlag; }

 private:
  void CompilePointProgram();
  void CompileGridProgram();
  // The run a point evaluation takes, decided once the point program is
  // made: the entry then tests one byte instead of the program's flags.
  // kConstant: a real program that pushes one cached constant and ends,
  // read in place without the array or the run. kReal, kComplex: a
  // program that reads no slider. kRealHandingSliderOn: a real program
  // that reads it only to hand it to its callees, whose spliced form may
  // read none. kFully: any other, or none.
  enum class PointRun : uint8_t { kFully, kConstant, kReal, kComplex, kRealHandingSliderOn };
  void DecidePointRun();
  double ConstantRun();
  [[gnu::noinline, gnu::cold]] double ConstantRunAfterComputing();
  template <typename Fill>
  double EvaluatePoint(Fill fill);
  template <typename Fill>
  double EvaluatePointFully(Fill fill);
  template <typename Fill>
  void EvaluateBox(Fill fill, double* lo, double* hi);
  double EvaluateGridPoint(MGridVariables* grid);

  ExpressionRecord* fTree;
  std::unique_ptr<AStackMachine> fPointMachine;
  std::unique_ptr<AStackMachine> fGridMachine;
  AConstantsCache fPointConstants;
  AConstantsCache fGridConstants;
  DocumentRecord* fDocument;
  int32_t fArrayFlag = 1;
  PointRun fPointRun = PointRun::kFully;
  // kConstant: the constant's index in fPointConstants and its place there.
  int32_t fConstantIndex = 0;
  const Complex* fConstantPlace = nullptr;
};
