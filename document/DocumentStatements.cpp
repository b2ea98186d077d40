#include "document/DocumentStatements.h"

#include "CoreUtilities/drawing/OurPictures.h"
#include "document/BlockDefaults.h"
#include "document/DemoState.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "renderer/RotationDecomposition.h"
#include "document/TableHeadings.h"
#include "document/TextureHooks.h"
#include "expression/TreeDisposal.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphpane/UsableRanges.h"
#include "platform/CheckedConvert.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <initializer_list>
#include <vector>

// Named, not anonymous: the handlers share their names with the parser's
// statements that call them.
namespace reading {

constexpr double kMost4DSpinSpeed = 3.1;
constexpr int32_t kDefaultTableFontSize = 12;

bool gReadingDocument = false;
// The document whose statements all applied, for the work after the parse.
DocumentRecord* gDocumentRead = nullptr;

// The staging state of one read; doc is set by an accepted header only.
struct ReadStaging {
  DocumentRecord* doc = nullptr;
  GraphPaneSettings pane = {};
  MBlock equation = {};
  int32_t tableFontSize = kDefaultTableFontSize;
  int32_t tableDisplayRows = 0;
};
ReadStaging gStaging;

DocumentContents& Contents() { return gStaging.doc->fContents; }

int32_t Integer(double x) { return DoubleToInt32(x); }
int16_t Integer16(double x) { return static_cast<int16_t>(static_cast<uint16_t>(DoubleToInt32(x))); }
uint8_t Byte(double x) { return static_cast<uint8_t>(DoubleToInt32(x)); }
bool Flag(double x) { return x != 0; }  // NaN too

void AppendBlock(MBlock& block) {
  if (Contents().blocks.Add(block) != 0) DisposeBlockContents(block);
}

std::atomic<int32_t> gRefusedSettings{0};

void Refuse() { gRefusedSettings.fetch_add(1, std::memory_order_relaxed); }

// False, the statement counted as refused, when no view can use the values.
bool Usable(double first, double second) {
  if (IsUsableViewRange(first, second)) return true;
  Refuse();
  return false;
}

// A range with equal ends is no range, and is refused. Files have held
// "0 0" for a parameter's range never set: that keeps the default quietly.
// One statement setting several views' ranges is one refusal.
void SetRanges(std::initializer_list<double*> ranges, const double* values) {
  if (values[0] == 0 && values[1] == 0) return;
  if (values[0] == values[1]) return Refuse();
  if (!Usable(values[0], values[1])) return;
  for (double* range : ranges) std::copy(values, values + 2, range);
}

void SetRange(double* range, const double* values) { SetRanges({range}, values); }

// A range of the 3-D box or of the 4-D view's domain also has to be one
// the view can draw: the same rule as every way of setting it in the window.
// Equal ends are its narrowest, whatever they are.
void SetDomainRange(double* range, const double* values, bool (*usable)(double, double)) {
  if (values[0] == values[1] || !usable(values[0], values[1])) return Refuse();
  SetRange(range, values);
}

void SetBoxRange(double* range, const double* values) { SetDomainRange(range, values, A3DGraphView::IsUsableBoxRange); }

void Set4DRange(double* range, const double* values) { SetDomainRange(range, values, A4DGraphView::IsUsableAxisRange); }

// 0, which documents have held for a depth never set, keeps the default.
void SetDepth(double* depth, double value) {
  if (value == 0 || A3DGraphView::IsUsableZoom(value)) {
    *depth = value;
    return;
  }
  Refuse();
}

void ApplyRange(DocumentSetting setting, const double* v) {
  GraphPaneSettings& p = gStaging.pane;
  using enum DocumentSetting;
  switch (setting) {
    case kRangeT: SetRanges({p.view2D.t, p.view2Dp.t, p.view3D.t, p.view3Dp.t, p.view4D.t}, v); break;
    case kRangeU: SetRanges({p.view3D.u, p.view3Dp.u, p.view4D.u}, v); break;
    case kRangeV: SetRanges({p.view3D.v, p.view3Dp.v, p.view4D.v}, v); break;
    case kRangeR: SetRanges({p.view2D.r, p.view2Dp.r, p.view3D.r, p.view3Dp.r}, v); break;
    case kRangeTheta: SetRanges({p.view2D.theta, p.view2Dp.theta, p.view3D.theta, p.view3Dp.theta}, v); break;
    case kRangePhi: SetRanges({p.view3D.phi, p.view3Dp.phi}, v); break;
    case kT2D: SetRange(p.view2D.t, v); break;
    case kR2D: SetRange(p.view2D.r, v); break;
    case kTheta2D: SetRange(p.view2D.theta, v); break;
    case kT3D: SetRange(p.view3D.t, v); break;
    case kU3D: SetRange(p.view3D.u, v); break;
    case kV3D: SetRange(p.view3D.v, v); break;
    case kR3D: SetRange(p.view3D.r, v); break;
    case kTheta3D: SetRange(p.view3D.theta, v); break;
    case kPhi3D: SetRange(p.view3D.phi, v); break;
    case kX3D: SetBoxRange(p.view3D.x, v); break;
    case kY3D: SetBoxRange(p.view3D.y, v); break;
    case kZ3D: SetBoxRange(p.view3D.z, v); break;
    case kX3Dp: SetBoxRange(p.view3Dp.x, v); break;
    case kY3Dp: SetBoxRange(p.view3Dp.y, v); break;
    case kZ3Dp: SetBoxRange(p.view3Dp.z, v); break;
    case kT4D: SetRange(p.view4D.t, v); break;
    case kU4D: SetRange(p.view4D.u, v); break;
    case kV4D: SetRange(p.view4D.v, v); break;
    case kX4D: Set4DRange(p.view4D.x, v); break;
    case kY4D: Set4DRange(p.view4D.y, v); break;
    case kZ4D: Set4DRange(p.view4D.z, v); break;
    case kW4D: Set4DRange(p.view4D.w, v); break;
    default: break;
  }
}

void ApplyScale(View2DSettings& view, const double* v) {
  if (!Usable(v[0], v[1])) return;
  view.scale[0] = v[0];
  view.scale[1] = v[1];
  view.integers[0] = Integer(v[2]);
  view.integers[1] = Integer(v[3]);
}

void ApplyBottomLeft(View2DSettings& view, const double* v) {
  if (!Usable(v[0], v[1])) return;
  view.bottomLeft[1] = v[0];
  view.bottomLeft[0] = v[1];
}

void ApplyPageMargins(const double* v) {
  DocumentContents& contents = Contents();
  if (!contents.pageMargins) {
    contents.pageMargins = static_cast<PageMargins*>(OurAllocateMemory(sizeof(PageMargins), true));
    if (!contents.pageMargins) return;
  }
  int32_t* fields = contents.pageMargins->fields;
  fields[2] = Integer(v[0] * 65536.0);
  fields[0] = Integer(v[1] * 65536.0);
  fields[3] = Integer(v[2] * 65536.0);
  fields[1] = Integer(v[3] * 65536.0);
}

// A matrix that is no rotation stops the spin rather than give it a
// meaningless axis.
void Apply3DRotation(const double* matrix, double* axis, double& speed) {
  if (!IsRotationMatrix(matrix, 3)) {
    speed = 0;
    return;
  }
  double angle = 0;
  GenerateAxisAndAnglefromRotationMatrix(axis, &angle, matrix);
  speed = angle * 10;
}

void Apply4DRotation(const double* matrix) {
  GraphPaneSettings& p = gStaging.pane;
  if (!IsRotationMatrix(matrix, 4)) {
    p.speed1_4D = p.speed2_4D = 0;
    return;
  }
  double angle1 = 0, angle2 = 0;
  GenerateDoubleQuaternionfromRotation(p.axis1_4D, &angle1, p.axis2_4D, &angle2, matrix);
  p.speed1_4D = std::clamp(angle1 * 10, -kMost4DSpinSpeed, kMost4DSpinSpeed);
  p.speed2_4D = std::clamp(angle2 * 10, -kMost4DSpinSpeed, kMost4DSpinSpeed);
}

void ApplyDocumentSetting(DocumentSetting setting, const double* v) {
  DocumentContents& c = Contents();
  GraphPaneSettings& p = gStaging.pane;
  MBlock& equation = gStaging.equation;
  using enum DocumentSetting;
  switch (setting) {
    case kWindow:
      for (int i = 0; i < 4; ++i) c.windowRect[i] = Integer16(v[i]);
      break;
    case kPaneDivider: c.paneDivider = Integer(v[0]); break;
    case kSignificantDigits: c.significantDigits = Integer16(v[0]); break;
    case kAxes2D: p.axes2D = Flag(v[0]); break;
    case kAxes2Dp: p.axes2Dp = Flag(v[0]); break;
    case kGraphPaper2D: p.graphPaper2D = Flag(v[0]); break;
    case kGraphPaper2Dp: p.graphPaper2Dp = Flag(v[0]); break;
    case kAxes3D: p.axes3D = Flag(v[0]); break;
    case kAxes3Dp: p.axes3Dp = Flag(v[0]); break;
    case kHideAxes: p.axes2D = p.axes2Dp = p.graphPaper2D = p.graphPaper2Dp = p.axes3D = p.axes3Dp = false; break;
    case kDrawGraph: c.drawGraph = Flag(v[0]); break;
    case kFontSizes: c.fontSize = Integer16(v[0]); break;
    case kBackgroundType: c.backgroundType = Byte(v[0]); break;
    case kBackgroundColor:
      for (int i = 0; i < 3; ++i) c.backgroundColor[i] = Byte(v[i]);
      break;
    case kStackPanes: c.stackPanes = Flag(v[0]); break;
    case kPageMargins: ApplyPageMargins(v); break;
    case kSlider:
      if (!Usable(v[0], v[1])) break;
      c.sliderMinimum = v[0];
      c.sliderMaximum = v[1];
      break;
    case kSliderSteps: c.sliderSteps = Integer16(v[0]); break;
    case kSliderControlValue: c.sliderControlValue = Integer(v[0]); break;
    case kSliderMoving: c.animationRunning = Flag(v[0]); break;
    case kSliderThrottle: c.sliderThrottle = Integer(v[0]); break;
    case kSliderOneDirection: c.sliderOneDirection = Flag(v[0]); break;
    case kSliderDirection: c.sliderDirection = Integer(v[0]); break;
    case kUseAntialiasing: c.useAntialiasing = Flag(v[0]); break;
    case kScale2D: ApplyScale(p.view2D, v); break;
    case kBottomLeft2D: ApplyBottomLeft(p.view2D, v); break;
    case kScale2Dp: ApplyScale(p.view2Dp, v); break;
    case kBottomLeft2Dp: ApplyBottomLeft(p.view2Dp, v); break;
    case kDepth3D: SetDepth(&p.view3D.depth, v[0]); break;
    case kDepth3Dp: SetDepth(&p.view3Dp.depth, v[0]); break;
    case kView3D: std::copy(v, v + 9, p.view3D.view); break;
    case kView3Dp: std::copy(v, v + 9, p.view3Dp.view); break;
    case kRotation3D: Apply3DRotation(v, p.spinAxis3D, p.spinSpeed3D); break;
    case kRotation3Dp: Apply3DRotation(v, p.spinAxis3Dp, p.spinSpeed3Dp); break;
    case kAxis3D: std::copy(v, v + 3, p.spinAxis3D); break;
    case kAxis3Dp: std::copy(v, v + 3, p.spinAxis3Dp); break;
    case kSpeed3D: p.spinSpeed3D = v[0]; break;
    case kSpeed3Dp: p.spinSpeed3Dp = v[0]; break;
    case kView4D: std::copy(v, v + 16, p.view4D.view); break;
    case kRotation4D: Apply4DRotation(v); break;
    case kAxis14D: std::copy(v, v + 3, p.axis1_4D); break;
    case kAxis24D: std::copy(v, v + 3, p.axis2_4D); break;
    case kSpeed14D: p.speed1_4D = v[0]; break;
    case kSpeed24D: p.speed2_4D = v[0]; break;
    case kDepth4D: SetDepth(&p.depth4D, v[0]); break;
    case kShowAxes4D: p.show4Daxes = Flag(v[0]); break;
    case kShowXyPlane4D: p.show4DxyPlane = Flag(v[0]); break;
    case kColor: equation.Color = v[0]; break;
    case kGrain:
      if (Usable(v[0], 0)) equation.Grain = v[0];
      break;
    case kOpacity: equation.Opacity = v[0]; break;
    case kPlottingMode: equation.PlottingMode = v[0]; break;
    case kXyType: equation.XYType = v[0]; break;
    case kMathPaneSlider: equation.mathPaneSlider = Integer(v[0]); break;
    case kTableFontSize: gStaging.tableFontSize = Integer(v[0]); break;
    case kTableDisplayRows: gStaging.tableDisplayRows = Integer(v[0]); break;
    default: ApplyRange(setting, v); break;
  }
}

OurText ConstructTextBlock(DocumentRecord* document, bool) {
  OurText text = OurTextNew();
  if (document) {
    OurTextSetFont(document->fContents.fontName, 0, true, text);
    OurTextSetSize(FontSizeInUse(document->fContents), text);
  }
  return text;
}

void BeginDocumentRead() {
  EndDocumentRead();
  gReadingDocument = true;
}

void EndDocumentRead() {
  DisposeBlockContents(gStaging.equation);
  gStaging = ReadStaging{};
  gReadingDocument = false;
  DocumentRecord* document = gDocumentRead;
  gDocumentRead = nullptr;
  // Files older than 4.0 are read as they stand.
  if (document) {
    ParseTableHeadings(document);
    UpdateListOfTableDataUIDs(document);
    RebuildParameterDefinitions(document);
    UpdateSliderValue(document);
  }
}

void ReadDocumentHeader(double version) {
  if (!gReadingDocument || !GetDocumentUnderConstruction()) return;
  gStaging.doc = GetDocumentUnderConstruction();
  gStaging.pane = Contents().pane;
  SetEquationDefaults(gStaging.equation);
  gFileVersionNumber = version;
}

void ApplyDocumentTextEncoding(bool utf8) {
  if (gStaging.doc) Contents().textEncoding = utf8 ? 0 : 1;
}

// A long name is cut to the field at a character boundary.
void ApplyDocumentFontName(const char* name) {
  if (!gStaging.doc) return;
  char* fontName = Contents().fontName;
  size_t length = std::min(std::strlen(name), sizeof Contents().fontName - 1);
  // Drop a character that the cut (here or in the lexer) left incomplete.
  size_t lead = length;
  while (lead > 0 && (static_cast<unsigned char>(name[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead > 0) {
    const unsigned char first = static_cast<unsigned char>(name[lead - 1]);
    const size_t needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    if (length - (lead - 1) < needed) length = lead - 1;
  }
  std::memcpy(fontName, name, length);
  fontName[length] = 0;
}

void ApplyDocumentSliderVariable(int32_t letter) {
  if (gStaging.doc) Contents().sliderVariable = static_cast<uint8_t>(letter);
}

void ApplyDocumentNumbers(DocumentSetting setting, std::initializer_list<double> values) {
  if (!gStaging.doc) return;
  // Demos keep their own window layout.
  if (IsDemoRunning() && (setting == DocumentSetting::kPaneDivider || setting == DocumentSetting::kStackPanes)) return;
  ApplyDocumentSetting(setting, values.begin());
}

void AppendDocumentEquation(ExpressionRecord* tree) {
  if (!gStaging.doc) {
    DisposExpr(tree);
    return;
  }
  if (SetEquationTree(gStaging.equation, tree))
    AppendBlock(gStaging.equation);
  else
    DisposeBlockContents(gStaging.equation);
  gStaging.equation = MBlock{};
  SetEquationDefaults(gStaging.equation);
}

void AppendDocumentParameter(int32_t letter, double value) {
  if (gStaging.doc) Contents().parameters.Add(DocumentParameter{value, letter});
}

void AppendDocumentTextBlock(OurText text) {
  if (!gStaging.doc) {
    OurTextDispose(text);
    return;
  }
  MBlock block = {};
  SetTextDefaults(block);
  block.text = text;
  AppendBlock(block);
}

void AppendDocumentTableBlock(Table* table) {
  if (!gStaging.doc) {
    DisposeTable(table);
    return;
  }
  MBlock block = {};
  SetTableDefaults(block);
  block.table = table;
  SetTableFontSize(block, gStaging.tableFontSize);
  SetTableDisplayRows(block, gStaging.tableDisplayRows);
  gStaging.tableFontSize = kDefaultTableFontSize;
  gStaging.tableDisplayRows = 0;
  AppendBlock(block);
}

void ApplyDocumentPrintRecord(RelocatableBlock* record) {
  if (!gStaging.doc) {
    OurDisposeMemoryPurgeable(record);
    return;
  }
  OurDisposeMemoryPurgeable(Contents().printRecord);
  Contents().printRecord = record;
}

void ApplyDocumentTexture(char* bytes, int32_t count) {
  if (!gStaging.doc) {
    OurDisposeMemory(bytes);
    return;
  }
  OurDisposePicture(gStaging.equation.texture);
  gStaging.equation.texture = DecodeDocumentTexture(bytes, count);
}

void AppendDocumentPicture(char* bytes, int32_t count, bool secondView, double first, double second) {
  if (!gStaging.doc) {
    OurDisposeMemory(bytes);
    return;
  }
  // A picture that does not decode is left out rather than kept empty.
  OurPicture* picture = DecodeDocumentTexture(bytes, count);
  if (!picture) return;
  AListGenericSmall<GraphPicture>& list = secondView ? Contents().pictures2Dp : Contents().pictures2D;
  if (list.Add(GraphPicture{picture, first, second}) != 0) OurDisposePicture(picture);
}

bool FinishDocumentRead() {
  if (!gStaging.doc) return false;
  Contents().pane = gStaging.pane;
  Contents().readSucceeded = true;
  DisposeBlockContents(gStaging.equation);
  gDocumentRead = gStaging.doc;
  gStaging.doc = nullptr;
  return true;
}

}  // namespace reading

int32_t RefusedSettingCount() { return reading::gRefusedSettings.load(std::memory_order_relaxed); }

DocumentStatementHooks DocumentStatementHandlers() {
  return {
      .constructTextBlock = reading::ConstructTextBlock,
      .createTable = CreateTable,
      .disposeTable = DisposeTable,
      .addTableCell = AddTableCell,
      .beginRead = reading::BeginDocumentRead,
      .endRead = reading::EndDocumentRead,
      .readHeader = reading::ReadDocumentHeader,
      .applyTextEncoding = reading::ApplyDocumentTextEncoding,
      .applyFontName = reading::ApplyDocumentFontName,
      .applySliderVariable = reading::ApplyDocumentSliderVariable,
      .applyNumbers = reading::ApplyDocumentNumbers,
      .appendEquation = reading::AppendDocumentEquation,
      .appendParameter = reading::AppendDocumentParameter,
      .appendTextBlock = reading::AppendDocumentTextBlock,
      .appendTableBlock = reading::AppendDocumentTableBlock,
      .applyPrintRecord = reading::ApplyDocumentPrintRecord,
      .applyTexture = reading::ApplyDocumentTexture,
      .appendPicture = reading::AppendDocumentPicture,
      .finishRead = reading::FinishDocumentRead,
  };
}
