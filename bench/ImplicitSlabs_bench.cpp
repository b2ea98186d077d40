// The implicit surfaces' slab walk past grain 1's 40 cells: the sphere, a
// torus and the gyroid over [-2, 2]^3 at N = 80 and 160, the box cut into
// 2 x cores slabs on the workers, each walked by its own lattice over the
// shared compiled F and gradient, as the graph's jobs do. Each figure is a
// ratio against a baseline in the same run: the slabs on every worker
// against one walk with F as a C++ lambda; 1 worker against 8 at N = 160;
// partial lists published every tick against none.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bench/GraphBenchSupport.h"
#include "bench/ImplicitCases.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "evaluation/AnExpression.h"
#include "expression/VariableIds.h"
#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/implicit/ExpressionOnLattice.h"
#include "graphs3d/implicit/LatticeSlab.h"

namespace {

// Counts the values of F a walk asks for, whole planes included.
class Counted : public ALatticeFunction {
 public:
  explicit Counted(ALatticeFunction& f) : fF(f) {}
  double At(double x, double y, double z) override {
    ++fPoints;
    return fF.At(x, y, z);
  }
  void SetupGrid(const LatticeSteps& corners, const LatticeSteps& centres) override {
    ALatticeFunction::SetupGrid(corners, centres);
    fF.SetupGrid(corners, centres);
  }
  void EvaluatePlane(LatticeGrid grid, int k, double* values) override {
    fPlanePoints += int64_t(fSteps[grid].nx) * fSteps[grid].ny;
    fF.EvaluatePlane(grid, k, values);
  }
  bool HasGradient() const override { return fF.HasGradient(); }
  void Gradient(double x, double y, double z, double* gradient) override { fF.Gradient(x, y, z, gradient); }
  int64_t Evaluations() const { return fPoints + fPlanePoints; }

 private:
  ALatticeFunction& fF;
  int64_t fPoints = 0, fPlanePoints = 0;
};

// F compiled as the implicit surface compiles it: with its gradient where
// it has one, and grid programs for the corner and centre planes.
struct CompiledF {
  explicit CompiledF(const char* text) : f((StartGraphWorkers(), Parsed(text))) {
    const int32_t ids[3] = {kIdX, kIdY, kIdZ};
    for (int a = 0; a < 3; ++a) gradient[a].reset(f->CreateDerivativeExpr(ids[a]));
    if (gradient[0] && gradient[1] && gradient[2]) {
      AnExpression::Compile(f.get(), gradient[0].get(), gradient[1].get(), gradient[2].get());
    } else {
      for (auto& partial : gradient) partial.reset();
      AnExpression::Compile(f.get());
    }
    corners = AnExpression::CompileForGrid(f.get());
    centres = AnExpression::CompileForGrid(f.get());
  }
  std::unique_ptr<AnExpression> f, gradient[3];
  std::unique_ptr<MGridData> corners, centres;
};

class SlabWalk final : public AComputeTarget {
 public:
  SlabWalk(const CompiledF& f, int32_t n, int32_t jobCount)
      : fF(f), fN(n), fJobCount(jobCount), fPieces(size_t(jobCount)) {
    fJobs.reset(OurAllocateJobs(this, jobCount));
  }
  ~SlabWalk() override { OurCancelJobs(this); }

  // One whole computation; publishTicks 0 publishes nothing.
  double Seconds(int32_t publishTicks) {
    fPublishTicks = publishTicks;
    fEvaluations = fPublications = fTriangles = 0;
    fFinished.store(0);
    const auto start = std::chrono::steady_clock::now();
    OurSubmitJobs(fJobs.get(), fJobCount);
    for (int32_t j = 0; j < fJobCount; ++j) OurWaitforJobToFinish(&fJobs[size_t(j)]);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  int32_t Compute(int32_t job) override {
    const LatticeSlab slab = SlabOfJob(job, fJobCount, fN);
    if (!slab.IsEmpty()) Walk(job, slab);
    fFinished.fetch_add(1, std::memory_order_acq_rel);
    return kJobFinished;
  }
  bool IsDoneComputing() override { return fFinished.load(std::memory_order_acquire) == fJobCount; }

  int64_t fEvaluations = 0, fPublications = 0, fTriangles = 0;

 private:
  struct Piece {
    std::unique_ptr<SurfaceVertexList> vertices, partialVertices;
    std::unique_ptr<TriangleList> triangles, partialTriangles;
  };

  void Walk(int32_t job, const LatticeSlab& slab) {
    Piece& piece = fPieces[size_t(job)];
    piece.vertices = std::make_unique<SurfaceVertexList>();
    piece.triangles = std::make_unique<TriangleList>();
    ExpressionOnLattice onLattice(fF.f.get(), fF.gradient[0].get(), fF.gradient[1].get(), fF.gradient[2].get(), nullptr,
                                  fF.corners.get(), fF.centres.get());
    Counted counted(onLattice);
    ALattice lattice(counted, -2, 2, -2, 2, -2, 2, fN, fN, slab);
    int64_t publications = 0;
    const int32_t ticks = fPublishTicks > 0 ? fPublishTicks : 1 << 20;
    while (!lattice.IsDoneComputing()) {
      lattice.LoopOverUnitCubes(*piece.vertices, piece.triangles.get(), OurTime() + OurDuration(ticks));
      if (fPublishTicks == 0 || lattice.IsDoneComputing()) continue;
      auto vertices = piece.vertices->Clone();
      auto triangles = piece.triangles->Clone();
      std::lock_guard<std::mutex> lock(fPartialMutex);
      piece.partialVertices = std::move(vertices);
      piece.partialTriangles = std::move(triangles);
      ++publications;
    }
    std::lock_guard<std::mutex> lock(fPartialMutex);
    fEvaluations += counted.Evaluations();
    fPublications += publications;
    fTriangles += piece.triangles->Count();
  }

  const CompiledF& fF;
  const int32_t fN, fJobCount;
  int32_t fPublishTicks = 0;
  std::unique_ptr<AJob[]> fJobs;
  std::vector<Piece> fPieces;
  std::mutex fPartialMutex;
  std::atomic<int32_t> fFinished{0};
};

int32_t TwiceTheProcessors() { return 2 * OurNumberOfProcessors(); }

void BM_ImplicitSlabsAgainstLambdaWalk(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  const int32_t n = int32_t(state.range(1)), jobs = TwiceTheProcessors();
  const CompiledF f(c.text);
  SlabWalk walk(f, n, jobs);
  double slabs = 0, lambda = 0;
  int64_t evaluations = 0;
  for (auto _ : state) {
    slabs += walk.Seconds(0);
    evaluations += walk.fEvaluations;
    lambda += LambdaWalkSeconds(c.f, n);
  }
  state.SetLabel(std::string(c.name) + " N=" + std::to_string(n) + ", " + std::to_string(jobs) + " jobs");
  state.counters["slabs/lambda"] = slabs / lambda;
  state.counters["triangles"] = double(walk.fTriangles);
  state.counters["F/s"] = double(evaluations) / slabs;
}
BENCHMARK(BM_ImplicitSlabsAgainstLambdaWalk)
    ->ArgsProduct({{0, 1, 2}, {80, 160}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ImplicitSlabsSpeedUp(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  const CompiledF f(c.text);
  SlabWalk walk(f, 160, TwiceTheProcessors());
  double one = 0, eight = 0, eightCpu = 0;
  int64_t evaluations = 0;
  for (auto _ : state) {
    DebugSetNumberComputeThreads(1);
    one += walk.Seconds(0);
    evaluations += walk.fEvaluations;
    DebugSetNumberComputeThreads(8);
    const double cpu = ProcessCpuSeconds();
    eight += walk.Seconds(0);
    eightCpu += ProcessCpuSeconds() - cpu;
  }
  DebugSetNumberComputeThreads(0);
  state.SetLabel(std::string(c.name) + " N=160");
  state.counters["1 worker/8 workers"] = one / eight;
  // Below 8 when other processes hold the cores.
  state.counters["cores busy on 8"] = eightCpu / eight;
  state.counters["F/s on 1 worker"] = double(evaluations) / one;
}
BENCHMARK(BM_ImplicitSlabsSpeedUp)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImplicitSlabsPublishing(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  const CompiledF f(c.text);
  SlabWalk walk(f, 160, TwiceTheProcessors());
  double publishing = 0, quiet = 0;
  int64_t publications = 0;
  for (auto _ : state) {
    publishing += walk.Seconds(1);
    publications += walk.fPublications;
    quiet += walk.Seconds(0);
  }
  state.SetLabel(std::string(c.name) + " N=160, every tick");
  state.counters["publishing/quiet"] = publishing / quiet;
  state.counters["publications"] = double(publications) / double(state.iterations());
}
BENCHMARK(BM_ImplicitSlabsPublishing)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
