#include "CoreUtilities/text/OurString.h"
#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "expression/ParseNames.h"
#include "expression/SymbolTable.h"
#include "expression/TreeRewriting.h"
#include "matheditor/Composing.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/Typesetters.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr uint8_t kHeadingStyle = 2;
constexpr int32_t kFirstSymbolId = 256;
constexpr uint32_t kPrimeCharacter = 0x27;

bool IsHeading(const ExpressionRecord* node) { return node->editData && (node->editData->styleFlags & kHeadingStyle); }

bool IsSpecialSymbolId(int32_t id) {
  for (int32_t i = 0; i < gNumSpecialSymbols; ++i)
    if (gSpecialSymbolInfo[i].variableId == id) return true;
  return false;
}

void SetLeafBox(ExpressionRecord* node, float width) {
  EditData& e = Box(node);
  e.width = width;
  e.ascent = gMathFontAscent;
  e.descent = gMathFontDescent;
  e.composed = 1;
}

void MoveToLeafBaseline(const ExpressionRecord* node, MathGraphicsContext* context) {
  const EditData& e = Box(node);
  LB_MoveTo(e.left, e.bottom - e.descent, context);
}

void TextLeaf(ExpressionRecord* node, const UniChar* text, int32_t mode, MathGraphicsContext* context) {
  if (mode == 0) {
    SetLeafBox(node, DIM_StringWidth(text));
    return;
  }
  MoveToLeafBaseline(node, context);
  DIM_DrawString(text, context);
}

void CharacterLeaf(ExpressionRecord* node, uint32_t c, int32_t mode, MathGraphicsContext* context) {
  if (mode == 0) {
    SetLeafBox(node, DIM_CharWidth(c));
    return;
  }
  MoveToLeafBaseline(node, context);
  DIM_DrawChar(c, context);
}

// A primed coordinate, read from a document's text, has an id whose
// character code is a control character: it shows as the prime of its
// letter does, the letter in its own face and the prime upright after it.
void PrimedCoordinateLeaf(ExpressionRecord* node, int32_t letterId, int32_t mode, MathGraphicsContext* context) {
  const uint32_t letter = GetSpecialSymbolUnicode(letterId);
  MathNormalFace();
  if (!IsSpecialSymbolId(letterId)) UseItalics();
  const float letterWidth = DIM_CharWidth(letter);
  if (mode == 1) {
    MoveToLeafBaseline(node, context);
    DIM_DrawChar(letter, context);
  }
  MathNormalFace();
  if (mode == 0) {
    SetLeafBox(node, letterWidth + DIM_CharWidth(kPrimeCharacter));
    return;
  }
  const EditData& e = Box(node);
  DrawCharAt(kPrimeCharacter, e.left + letterWidth, e.bottom - e.descent, context);
}

}  // namespace

uint32_t GetSpecialSymbolUnicode(int32_t variableId) {
  for (int32_t i = 0; i < gNumSpecialSymbols; ++i)
    if (gSpecialSymbolInfo[i].variableId == variableId) return gSpecialSymbolInfo[i].character;
  return static_cast<uint32_t>(variableId);
}

void set_font_for_atomic(ExpressionRecord* node) {
  setfont(node);
  if (IsSpecialSymbolId(node->payload.id)) return;
  if (node->opcode == kOpDummy) UseBold();
  if (!IsHeading(node)) UseItalics();
}

UniChar* OurStringCopyWithQuotes(const UniChar* text) {
  const size_t length = OurStringLength(text);
  auto* copy = new (std::nothrow) UniChar[length + 3];
  if (!copy) return nullptr;
  copy[0] = 0x201C;
  for (size_t i = 0; i < length; ++i) copy[i + 1] = text[i];
  copy[length + 1] = 0x201D;
  copy[length + 2] = 0;
  return copy;
}

int32_t WhereInStr(float x, ExpressionRecord* node, const UniChar* text) {
  node->AllocateEditDataIfNecessary();
  if (!node->editData) return 0;
  MathTextSize(gMathScriptSize[std::min<int>(node->editData->sizeLevel, 5)]);
  MathNormalFace();
  setfont(node);
  return DIM_PositionToStringOffset(text, x - node->editData->left);
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

void num_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  setfont(node);
  static const UniChar kEmpty[1] = {0};
  TextLeaf(node, node->payload.number ? node->payload.number->text : kEmpty, mode, context);
}

void prompt_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  setfont(node);
  UseBold();
  const MERecord* r = gMathCurrentMEH;
  const bool shownAsCaret = gShowPromptAsIP && r && r->selected == node;
  if (mode == 1 && shownAsCaret) return;
  CharacterLeaf(node, '?', mode, context);
}

void string_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  setfont(node);
  std::unique_ptr<UniChar[]> quoted(OurStringCopyWithQuotes(node->text));
  if (!quoted) return;
  TextLeaf(node, quoted.get(), mode, context);
}

void atomic_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  set_font_for_atomic(node);
  const int32_t id = node->payload.id;
  if (PrimedCoordinateName(id) != nullptr) {
    PrimedCoordinateLeaf(node, SwappedCoordinateID(id), mode, context);
    return;
  }
  if (id < kFirstSymbolId) {
    CharacterLeaf(node, GetSpecialSymbolUnicode(id), mode, context);
    return;
  }
  const UniChar* name = GetVariableStringFromID(id);
  const bool heading = IsHeading(node);
  if (OurStringLength(name) > 1 || heading) {
    MathNormalFace();
    if (heading) UseBold();
  }
  TextLeaf(node, name, mode, context);
  if (heading) MathNormalFace();
}
