#pragma once

#include <memory>

#include "graphs3d/start/AStartPointGenerator.h"

// One start point (px, py, pz), constants all; the condition limits only
// the solution through it. As arrows, one arrow at the field's own length.
class AStartOnPoint : public AStartPointGenerator {
 public:
  AStartOnPoint(Compiled px, Compiled py, Compiled pz, Compiled fx, Compiled fy, Compiled fz, Compiled radius,
                Compiled condition, double opacity, Colour colour, const BoxRefs& box, MDrawContext* context,
                int32_t fieldType);
  ~AStartOnPoint() override { Stop(); }

  // Every attribute goes to the field: the grain thickens the arrow.
  void SetParameter(ViewAttribute attribute, double value) override;

 protected:
  int32_t FindStarts() override;
  bool StartsContain(int32_t variableId) const override;
  void InvalStartConstants() override;

 private:
  std::unique_ptr<AnExpression> fPX, fPY, fPZ;
};
