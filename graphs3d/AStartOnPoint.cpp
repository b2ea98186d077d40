#include "graphs3d/AStartOnPoint.h"

AStartOnPoint::AStartOnPoint(AnExpression* px, AnExpression* py, AnExpression* pz, AnExpression* fx, AnExpression* fy,
                             AnExpression* fz, AnExpression* radius, AnExpression* condition, double opacity,
                             AGraphColor* colour, const BoxRefs& box, MDrawContext* context, int32_t fieldType)
    : AStartPointGenerator(fx, fy, fz, radius, condition, colour, opacity, fieldType, box, context),
      fPX(px),
      fPY(py),
      fPZ(pz) {
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
