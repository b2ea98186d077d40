#include "document/SliderAnimation.h"

#include "CoreUtilities/OurTime.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"

int32_t GetGraphingAnimationState(DocumentRecord* document) {
  return document && document->fContents.animationRunning ? 1 : 0;
}

void StopGraphingAnimation(DocumentRecord* document) { document->fContents.animationRunning = false; }

void LoopGraphingAnimation(DocumentRecord* document) {
  DocumentContents& c = document->fContents;
  c.animationRunning = true;
  c.sliderOneDirection = true;
  c.sliderDirection = 1;
}

void StepGraphingAnimation(DocumentRecord* document) {
  DocumentContents& c = document->fContents;
  const int32_t steps = c.sliderSteps > 0 ? c.sliderSteps : 1;
  const int32_t direction = c.sliderDirection < 0 ? -1 : 1;
  int32_t value = c.sliderControlValue + direction;
  if (value > steps || value < 0) {
    if (c.sliderOneDirection) {
      value = value > steps ? 0 : steps;
    } else {
      c.sliderDirection = -direction;
      value = c.sliderControlValue - direction;
      if (value > steps || value < 0) value = c.sliderControlValue;
    }
  }
  c.sliderControlValue = value;
  UpdateSliderValue(document);
}

bool GraphingAnimationStepDue(DocumentRecord* document, uint32_t now) {
  if (!GetGraphingAnimationState(document)) return false;
  ExpansionState& state = document->fExpansion;
  if (!OurTimeIsPast(now, state.lastStepTime + OurDuration(document->fContents.sliderThrottle))) return false;
  state.lastStepTime = now;
  return true;
}
