#include "graphs3d/fields/ASolution.h"

#include <algorithm>

#include "graphs3d/GraphArrays.h"

namespace {

template <typename T>
std::unique_ptr<T[]> CopyOf(const std::unique_ptr<T[]>& from, int32_t count) {
  if (!from) return nullptr;
  std::unique_ptr<T[]> to = AllocateGraphArray<T>(size_t(count));
  if (to) std::copy_n(from.get(), count, to.get());
  return to;
}

}  // namespace

std::unique_ptr<ASolution> ASolution::FromList(const StartList& list) {
  auto solution = std::make_unique<ASolution>();
  solution->points = AllocateGraphArray<Vertex>(size_t(list.Count()));
  if (!solution->points) return nullptr;
  solution->count = list.Count();
  for (int32_t i = 0; i < list.Count(); ++i)
    solution->points[i] = {float(list[i].x), float(list[i].y), float(list[i].z)};
  return solution;
}

std::unique_ptr<ASolution> ASolution::Copy() const {
  auto copy = std::make_unique<ASolution>();
  copy->points = CopyOf(points, count);
  if (!copy->points) return nullptr;
  copy->count = count;
  copy->radii = CopyOf(radii, count);
  copy->colours = CopyOf(colours, count);
  return copy;
}

// Grain 0: eight sides a ring.
void ASolution::MakeCurve(AGraphColor* colour, double opacity, MDrawContext* context, const ModelSpace& space) {
  curve =
      std::make_unique<ACurve3D>(count, points.get(), radii.get(), colours.get(), colour, 0.0, opacity, false, context);
  curve->ComputeCurve(space);
}
