#include "graphs3d/start/AStartOnPoint.h"

AStartOnPoint::AStartOnPoint(Compiled px, Compiled py, Compiled pz, Compiled fx, Compiled fy, Compiled fz,
                             Compiled radius, Compiled condition, double opacity, Colour colour, const BoxRefs& box,
                             MDrawContext* context, int32_t fieldType)
    : AStartPointGenerator(std::move(fx), std::move(fy), std::move(fz), std::move(radius), std::move(condition),
                           std::move(colour), opacity, fieldType, box, context),
      fPX(std::move(px)),
      fPY(std::move(py)),
      fPZ(std::move(pz)) {
  AnExpression::Compile(fPX.get(), fPY.get(), fPZ.get());
  SetOwnExpressions(fPX.get(), fPY.get(), fPZ.get());
  Start();
}

int32_t AStartOnPoint::FindStarts() {
  const AVector p{fPX->Evaluate(0.0), fPY->Evaluate(0.0), fPZ->Evaluate(0.0)};
  if (Cancelled()) return kComputeCancelled;
  fStarts.Add(p);
  return kComputeFinished;
}

bool AStartOnPoint::StartsContain(int32_t id) const {
  return fPX->Contains(id) || fPY->Contains(id) || fPZ->Contains(id);
}

void AStartOnPoint::InvalStartConstants() { AnExpression::InvalConstants(nullptr, fPX.get(), fPY.get(), fPZ.get()); }

void AStartOnPoint::SetParameter(ViewAttribute attribute, double value) {
  if (attribute == kAttributeEqualLengthArrows) {
    AStartPointGenerator::SetParameter(attribute, value);
  } else {
    Field().SetParameter(attribute, value);
  }
}
