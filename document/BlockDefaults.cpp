#include "document/BlockDefaults.h"

void SetEquationDefaults(MBlock& block) {
  DisposeBlockContents(block);
  block = MBlock{};
  block.kind = kEquationBlock;
  block.Color = 1;
  block.Grain = 0.5;
  block.Opacity = 1;
  block.PlottingMode = 2;
  block.XYType = 1;
}

void SetTextDefaults(MBlock& block) {
  DisposeBlockContents(block);
  block = MBlock{};
  block.kind = kTextBlock;
}
