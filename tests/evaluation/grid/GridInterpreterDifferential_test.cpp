#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "evaluation/grid/GridSetup.h"
#include "tests/evaluation/GridTestSupport.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "tests/evaluation/RandomPrograms.h"

// Random grid programs run over whole rows and layers must give, bit for
// bit, what the point interpreter gives at every grid point: the point
// interpreter is the oracle. ZL_GRID_PROGRAMS raises the count.

namespace {

constexpr int32_t kHoistedPerLevel = 2;

class GridProgramGenerator : ProgramText {
 public:
  explicit GridProgramGenerator(uint32_t seed) : ProgramText(seed) {}

  std::string Make() {
    fText.clear();
    fNextTemp = 0;
    fNextGuard = 1;
    fStored.clear();
    Value(4);
    return fText;
  }

 private:
  std::string Number() { return std::to_string(Pick(33) * 0.25 - 4); }

  void Leaf() {
    switch (Pick(9)) {
      case 0: Emit("pcPushNumber " + Number()); break;
      case 1: Emit("pcPushVar " + std::to_string(Pick(6))); break;
      case 2: Emit("pcPushVar " + std::to_string(Pick(2) ? 3 : 4)); break;
      case 3: Emit("pcPushGrid1 " + std::to_string(Pick(kHoistedPerLevel))); break;
      case 4: Emit("pcPushGrid2 " + std::to_string(Pick(kHoistedPerLevel))); break;
      case 5: Emit("pcPushGrid3 " + std::to_string(Pick(kHoistedPerLevel))); break;
      case 6: Emit(Pick(4) ? "pcPushParameter " + std::to_string(Pick(3)) : "pcPushI"); break;
      case 7:
        if (!fStored.empty()) {
          Emit("pcPushTemp " + std::to_string(fStored[Pick(static_cast<int>(fStored.size()))]));
        } else {
          Emit("pcPushNumber nan");
        }
        break;
      default: Emit("pcPushVar 3"); break;
    }
  }

  void Loop(int depth) {
    const int t = fNextTemp;
    fNextTemp += 3;
    const bool product = Pick(2);
    Emit(product ? "pcPushNumber 1" : "pcPushNumber 0");
    if (Pick(3) == 0) {  // a bound that differs from point to point
      Emit("pcPushVar 3");
      Emit("pcFloor");
    } else {
      Emit("pcPushNumber " + std::to_string(Pick(6) - 1));
    }
    Emit("pcStoreTempPop " + std::to_string(t + 1));
    Emit("pcPushNumber " + std::to_string(Pick(4) - 1));
    Emit("pcStoreTemp " + std::to_string(t + 2));
    Emit("pcStoreTempPop " + std::to_string(t));
    Emit("pcLoopTest " + std::to_string(t));
    Value(depth - 1);
    Emit((product ? "pcProductIndexCheck " : "pcSumIndexCheck ") + std::to_string(t));
    Emit(product ? "pcMul" : "pcAdd");
    Emit("pcLoopNext " + std::to_string(t));
  }

  void Statistic(int depth) {
    const int t = fNextTemp;
    fNextTemp += 2;
    const bool conditional = Pick(2);
    const bool countSum = Pick(2);
    Emit(std::string(countSum ? "pcBeginCountSum " : "pcBeginMaxMin ") + std::to_string(t) + " " +
         std::to_string(Pick(4)));
    Emit("pcLoopTest " + std::to_string(t));
    Emit("pcSetRow " + std::to_string(t));
    Value(depth - 1);
    if (conditional) Value(depth - 1);  // conditions other than 0 and 1 too
    Emit(conditional ? (countSum ? "pcCondCountSum" : "pcCondMaxMin") : (countSum ? "pcCountSum" : "pcMaxMin"));
    Emit("pcLoopNext " + std::to_string(t));
    Emit("pcPopRow");
    static const char* pick[] = {"pcDiv", "pcPop", "pcSwap\npcPop"};
    Emit(pick[Pick(3)]);
  }

  void Value(int depth) {
    if (depth <= 0) return Leaf();
    switch (Pick(14)) {
      case 0: Leaf(); break;
      case 1:
      case 2: {
        static const int unary[] = {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40,
                                    41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 63, 66, 67, 70, 71, 72, 73, 74, 75};
        Value(depth - 1);
        Emit(std::to_string(unary[Pick(static_cast<int>(std::size(unary)))]));
        break;
      }
      case 3:
      case 4: {
        static const char* ops[] = {
            "pcAdd",          "pcMul",      "pcDiv",         "pcPow", "pcAngle",  "pcHypot",
            "pcMakeInterval", "pcStrEqual", "pcStrNotEqual", "pcAnd", "pcOr",     "pcBesselJ",
            "pcIf",           "pcMod",      "pcMin",         "pcMax", "pcChoose", "pcInterpolate2 7",
            "pcSwap\npcPop"};
        Value(depth - 1);
        Value(depth - 1);
        Emit(ops[Pick(static_cast<int>(std::size(ops)))]);
        break;
      }
      case 5:
        Value(depth - 1);
        Value(depth - 1);
        Value(depth - 1);
        Emit(Pick(2) ? "pcPowFrac" : "pcClamp");
        break;
      case 6: {
        static const char* chains[] = {"pcLess", "pcGreater", "pcLessEq", "pcGreaterEq", "pcEqual", "pcNotEqual"};
        const int n = Pick(4) + 1;
        for (int i = 0; i < std::max(n, 2); ++i) Value(depth - 1);
        Emit(std::string(chains[Pick(6)]) + " " + std::to_string(n));
        if (n == 1) Emit("pcPop");
        break;
      }
      case 7: {
        const int pairs = 1 + Pick(3);
        for (int i = 0; i < 2 * pairs; ++i) Value(depth - 1);
        Emit("pcBranch " + std::to_string(pairs));
        break;
      }
      case 8: {
        const int pairs = 1 + Pick(3);
        const int id = fNextGuard++;
        // Stores inside guarded stretches would make a value depend on which
        // stretches ran; compiled guarded code shares nothing.
        ++fGuardDepth;
        for (int k = 0; k < pairs; ++k) {
          Value(depth - 1);
          Emit("pcSkipIfZero " + std::to_string(id) + " " + std::to_string(k));
          Value(depth - 1);
          Emit("pcSkipRestIfTrue " + std::to_string(id) + " " + std::to_string(pairs - 1));
          Emit("pcGuardEnd " + std::to_string(id) + " " + std::to_string(k));
        }
        --fGuardDepth;
        Emit("pcBranch " + std::to_string(pairs));
        break;
      }
      case 9: Loop(depth); break;
      case 10: Statistic(depth); break;
      case 11: {  // a stored value read back later, and stores over the fixed slots
        if (fGuardDepth > 0) return Value(depth - 1);
        const int t = fNextTemp++;
        Value(depth - 1);
        Emit("pcStoreTemp " + std::to_string(t));
        fStored.push_back(t);
        if (Pick(3) == 0) Emit("pcStoreVar " + std::to_string(Pick(12)));
        break;
      }
      case 12:  // a table row chosen by a value, single or per point
        Value(depth - 1);
        Value(depth - 1);
        Emit("pcPushRow");
        Emit("pcPopRow");
        break;
      default:
        Value(depth - 1);
        Emit(Pick(4) ? "pcInterpolate1 3" : "pcCallFunction 1 0");
        break;
    }
  }

  int fNextTemp = 0;
  int fNextGuard = 1;
  int fGuardDepth = 0;
  std::vector<int> fStored;
};

uint64_t Bits(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

template <typename T>
void FillHoisted(MGridVariables& grid, std::mt19937& random) {
  std::uniform_real_distribution<double> value(-3, 3);
  const int64_t count =
      int64_t{grid.nx} * grid.level1Count + int64_t{grid.ny} * grid.level2Count + int64_t{grid.nz} * grid.level3Count;
  T* values = static_cast<T*>(grid.hoistedValues);
  for (int64_t e = 0; e < count; ++e) {
    const double re = random() % 17 == 0 ? NAN : std::round(value(random) * 4) / 4;
    values[e] = TestValue<T>(re, random() % 5 == 0 ? value(random) : 0.0);
  }
}

// Every run of the grid (rows j of a two-axis grid, layers k of a
// three-axis one) against point runs at each of its points.
template <typename T>
void ExpectRunsMatchPoints(const AStackMachine& machine, MGridVariables& grid, const std::string& text) {
  constexpr double kSlider = 0.5;
  const bool layer = grid.nz != 0;
  const int32_t runs = layer ? grid.nz : grid.ny;
  const int32_t points = layer ? grid.nx * grid.ny : grid.nx;
  for (int32_t run = 0; run < runs; ++run) {
    grid.i = 0;
    grid.j = layer ? 0 : run;
    grid.k = layer ? run : 0;
    FillRunInputs<T>(grid, kSlider);
    std::vector<double> out(static_cast<size_t>(points), -1.0);
    if constexpr (std::is_same_v<T, Complex>) {
      machine.RunArrayComplex(&grid, out.data());
    } else {
      machine.RunArrayDouble(&grid, out.data());
    }
    for (int32_t p = 0; p < points; ++p) {
      const int32_t i = p % grid.nx;
      const int32_t j = layer ? p / grid.nx : run;
      std::vector<T> variables = PointInputs<T>(grid, i, j, kSlider, grid.variableCount);
      MGridVariables& pointGrid = grid;
      const int32_t savedI = pointGrid.i, savedJ = pointGrid.j;
      pointGrid.i = i;
      pointGrid.j = j;
      const T value = machine.Run(variables.data(), &pointGrid);
      pointGrid.i = savedI;
      pointGrid.j = savedJ;
      double expected;
      if constexpr (std::is_same_v<T, Complex>) {
        expected = value.im == 0 ? value.re : NAN;
      } else {
        expected = value;
      }
      // Which of two NaN operands an operation passes on (its sign and
      // payload) is left open by IEEE 754, so any NaN matches any NaN.
      const bool same = Bits(expected) == Bits(out[p]) || (std::isnan(expected) && std::isnan(out[p]));
      ASSERT_TRUE(same) << "point " << p << " of run " << run << (layer ? " (layer)" : " (row)") << ": array " << out[p]
                        << ", point " << expected << "\n"
                        << text;
    }
  }
}

template <typename T>
void RunDifferentialCampaign(uint32_t seed) {
  GridProgramGenerator generator(seed);
  std::mt19937 random(seed + 1);
  const int count = ProgramsToRun("ZL_GRID_PROGRAMS", 2000);
  for (int n = 0; n < count; ++n) {
    const std::string text = generator.Make();
    std::string error;
    auto machine = AssembleProgram(text, &error);
    ASSERT_NE(machine, nullptr) << error << "\n" << text;
    ASSERT_FALSE(machine->IsMalformed()) << text;
    const int32_t slots = machine->VariableSlotCount();

    MGridVariables row;
    row.x0 = -1.25, row.dx = 0.5, row.y0 = -0.75, row.dy = 0.75;
    ASSERT_TRUE(PrepareGridArrays(&row, 7, 3, 0, kHoistedPerLevel, kHoistedPerLevel, kHoistedPerLevel, slots));
    row.complex = std::is_same_v<T, Complex>;
    FillHoisted<T>(row, random);
    ExpectRunsMatchPoints<T>(*machine, row, text);
    if (::testing::Test::HasFatalFailure()) return;

    MGridVariables layer;
    layer.x0 = -1, layer.dx = 0.75, layer.y0 = -1.5, layer.dy = 1, layer.z0 = 0.25, layer.dz = -0.5;
    ASSERT_TRUE(PrepareGridArrays(&layer, 4, 3, 2, kHoistedPerLevel, kHoistedPerLevel, kHoistedPerLevel, slots));
    layer.complex = std::is_same_v<T, Complex>;
    FillHoisted<T>(layer, random);
    ExpectRunsMatchPoints<T>(*machine, layer, text);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(GridDifferential, RealRowsAndLayersMatchPointRunsBitForBit) { RunDifferentialCampaign<double>(20240601); }

TEST(GridDifferential, ComplexRowsAndLayersMatchPointRunsBitForBit) { RunDifferentialCampaign<Complex>(777001); }

}  // namespace
