#include "document/DocumentContents.h"

#include "CoreUtilities/drawing/OurPictures.h"
#include "document/DocumentGraphPane.h"
#include "document/DocumentTable.h"
#include "expression/MathEditRecord.h"
#include "expression/TreeDisposal.h"
#include "matheditor/MathEditInterface.h"

#include <algorithm>

namespace {

constexpr int32_t kMostSignificantDigits = 17;  // all a double holds
constexpr int32_t kMostFontSize = 255;

}  // namespace

void DisposeBlockContents(MBlock& block) {
  MEDispose(block.equation);
  if (block.text) OurTextDispose(block.text);
  DisposeTable(block.table);
  OurDisposePicture(block.texture);
  delete block.graphRows;
  block.equation = nullptr;
  block.graphRows = nullptr;
  block.text = nullptr;
  block.table = nullptr;
  block.texture = nullptr;
}

ExpressionRecord* EquationTree(const MBlock& block) { return block.equation ? block.equation->root : nullptr; }

bool SetEquationTree(MBlock& block, ExpressionRecord* tree) {
  if (!block.equation) block.equation = MENew(nullptr);
  if (!block.equation) {
    DisposExpr(tree);
    return false;
  }
  MERecord* record = block.equation;
  DisposExpr(record->root);
  record->root = tree;
  record->selected = tree;
  record->caretType = kIPWholeNode;
  record->layoutValid = 0;
  return true;
}

DocumentContents::DocumentContents() { SetDefaultViewSettings(&pane); }

DocumentContents::~DocumentContents() {
  for (MBlock& block : blocks) DisposeBlockContents(block);
  for (GraphPicture& picture : pictures2D) OurDisposePicture(picture.picture);
  for (GraphPicture& picture : pictures2Dp) OurDisposePicture(picture.picture);
  OurDisposeMemoryPurgeable(printRecord);
  OurDisposeMemory(pageMargins);
}

int32_t SignificantDigitsInUse(const DocumentContents& contents) {
  return std::clamp<int32_t>(contents.significantDigits, 1, kMostSignificantDigits);
}

int32_t FontSizeInUse(const DocumentContents& contents) {
  return std::clamp<int32_t>(contents.fontSize, 1, kMostFontSize);
}
