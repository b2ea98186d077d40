// The contour plot against matplotlib's contours of the same functions on a
// fine grid (tests/data/contour_reference.py).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "CoreUtilities/MathConstants.h"
#include "graphs2d/AContourPlot.h"
#include "graphs2d/SegmentGeometry.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs2d/GraphTestSupport.h"

namespace {

constexpr double kMeshEdge = 0.4, kReferenceStep = 0.05;

struct Line {
  double ax, ay, bx, by;
};

// Segments bucketed by square cells, for nearest-distance queries.
class SegmentIndex {
 public:
  void Add(const Line& l) {
    const int i0 = Cell(std::fmin(l.ax, l.bx)), i1 = Cell(std::fmax(l.ax, l.bx));
    const int j0 = Cell(std::fmin(l.ay, l.by)), j1 = Cell(std::fmax(l.ay, l.by));
    for (int i = i0; i <= i1; ++i) {
      for (int j = j0; j <= j1; ++j) fCells[Key(i, j)].push_back(l);
    }
  }
  // Distance to the nearest segment, or infinity beyond reach.
  double Distance(double x, double y, double reach) const {
    double best = gInf;
    for (int i = Cell(x - reach); i <= Cell(x + reach); ++i) {
      for (int j = Cell(y - reach); j <= Cell(y + reach); ++j) {
        const auto found = fCells.find(Key(i, j));
        if (found == fCells.end()) continue;
        for (const Line& l : found->second)
          best = std::fmin(best, DistanceToSegmentSquared(x, y, l.ax, l.ay, l.bx, l.by));
      }
    }
    return std::sqrt(best);
  }

 private:
  static int Cell(double v) { return static_cast<int>(std::floor(v / 0.5)); }
  static int64_t Key(int i, int j) { return int64_t(i) << 32 ^ uint32_t(j); }
  std::unordered_map<int64_t, std::vector<Line>> fCells;
};

struct Reference {
  std::string text;
  bool comparePieces = false;
  std::vector<double> levels;
  std::vector<std::vector<std::vector<std::pair<double, double>>>> paths;  // by level
};

std::vector<Reference> ReadReferences() {
  std::ifstream in(ZL_TEST_DATA_DIR "/contour_reference.txt");
  std::vector<Reference> all;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "function") {
      all.emplace_back();
      std::getline(words >> std::ws, all.back().text);
    } else if (word == "pieces") {
      int flag = 0;
      words >> flag;
      all.back().comparePieces = flag != 0;
    } else if (word == "levels") {
      for (double v; words >> v;) all.back().levels.push_back(v);
      all.back().paths.resize(all.back().levels.size());
    } else if (word == "path") {
      size_t level = 0, count = 0;
      words >> level >> count;
      auto& path = all.back().paths.at(level).emplace_back();
      for (double x, y; path.size() < count && words >> x >> y;) path.emplace_back(x, y);
    }
  }
  return all;
}

int Pieces(const AContourPlot& plot, int level) {
  const auto& v = plot.Vertices();
  const auto& s = plot.Segments();
  std::vector<int> parent(static_cast<size_t>(v.Count()));
  std::iota(parent.begin(), parent.end(), 0);
  auto root = [&](int k) {
    while (parent[k] != k) k = parent[k] = parent[parent[k]];
    return k;
  };
  for (int32_t k = 0; k < s.Count(); ++k) {
    if (v[s[k].first].level == level) parent[root(s[k].first)] = root(s[k].second);
  }
  int pieces = 0;
  for (int32_t k = 0; k < v.Count(); ++k) pieces += v[k].level == level && root(k) == k;
  return pieces;
}

// Mesh corners at x = -10.05 + 0.4 i, y = -9.95 + 0.4 j.
bool MeshSeesLevel(AnExpression* f, double level, double x, double y) {
  const int i = static_cast<int>(std::floor((x + 10.05) / kMeshEdge)),
            j = static_cast<int>(std::floor((y + 9.95) / kMeshEdge));
  bool below = false, above = false;
  for (int a = std::max(i - 1, 0); a <= std::min(i + 2, 50); ++a) {
    for (int b = std::max(j - 1, 0); b <= std::min(j + 2, 50); ++b) {
      const double v = f->Evaluate(-10.05 + a * kMeshEdge, -9.95 + b * kMeshEdge);
      if (std::isnan(v)) return false;
      below = below || v < level, above = above || v >= level;
    }
  }
  return below && above;
}

using ContourReferenceTest = ComputeTest;

TEST_F(ContourReferenceTest, LinesFollowMatplotlib) {
  Watchdog watchdog("contour reference");
  const std::vector<Reference> references = ReadReferences();
  ASSERT_EQ(references.size(), 12u);
  const A2DTransform t = CentredTransform(200, 200, 10);
  const double tolerance = std::fmax(0.01 * kMeshEdge, kReferenceStep);
  for (const Reference& r : references) {
    SCOPED_TRACE(r.text);
    auto f = CompiledExpression(r.text);
    AContourPlot plot(MakeExpression(r.text), 0.5, SolidColour(0), t);
    WaitUntilDone(plot);
    ASSERT_TRUE(plot.LevelsValid());
    ASSERT_EQ(size_t(plot.LevelCount()), r.levels.size());
    for (int L = 0; L < plot.LevelCount(); ++L) {
      EXPECT_NEAR(plot.Level(L), r.levels[L], 1e-9 * (1 + std::fabs(r.levels[L])));
      SegmentIndex reference, ours;
      for (const auto& path : r.paths[L]) {
        for (size_t k = 1; k < path.size(); ++k) {
          reference.Add(Line{path[k - 1].first, path[k - 1].second, path[k].first, path[k].second});
        }
      }
      const auto& v = plot.Vertices();
      const auto& s = plot.Segments();
      for (int32_t k = 0; k < s.Count(); ++k) {
        const ContourVertex &a = v[s[k].first], &b = v[s[k].second];
        if (a.level == L) ours.Add(Line{a.x, a.y, b.x, b.y});
      }
      for (int32_t k = 0; k < v.Count(); ++k) {
        if (v[k].level != L) continue;
        EXPECT_LE(reference.Distance(v[k].x, v[k].y, tolerance), tolerance)
            << "level " << r.levels[L] << " vertex " << v[k].x << ", " << v[k].y;
      }
      // Reference points lie within one mesh cell of our lines, except
      // where the level's feature is smaller than the mesh: the corners
      // of the squares around the point do not straddle the level, or
      // some are undefined.
      for (const auto& path : r.paths[L]) {
        for (const auto& [x, y] : path) {
          if (!MeshSeesLevel(f.get(), r.levels[L], x, y)) continue;
          EXPECT_LE(ours.Distance(x, y, kMeshEdge), kMeshEdge) << "level " << r.levels[L] << " at " << x << ", " << y;
        }
      }
      if (r.comparePieces) {
        EXPECT_EQ(Pieces(plot, L), int(r.paths[L].size())) << "level " << r.levels[L];
      }
    }
  }
}

}  // namespace
