#include "graphpane/AGraphColor.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "CoreUtilities/drawing/HSVColor.h"
#include "CoreUtilities/drawing/OurPictures.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "graphpane/GraphColorConstants.h"
#include "graphpane/GraphColorGlobals.h"
#include "platform/CheckedConvert.h"
#include "platform/EGLContexts.h"
#include "renderer/DrawContext.h"
#include "renderer/GLProbes.h"
#include "renderer/Shader.h"
#include "renderer/Submission.h"
#include "renderer/Textures.h"
#include "shaders/ARBStrings.h"

OurPicture* gSurfacePicture = nullptr;
bool gHackExportShaderFlag = false;
bool gHackExportShaderFlag2 = false;
std::unique_ptr<char[]> gHackExportShaderPointer;
const char* gInjectedFragmentProgram = nullptr;

namespace {

// NaN and values below 0 give 0, values above 1 give 1.
double ClampComponent(double c) {
  if (!(c >= 0.0)) return 0.0;
  return c > 1.0 ? 1.0 : c;
}

// A colour missing an equation reads it as undefined.
double EvaluateOrNaN(AnExpression* e, double a1, double a2, double a3, double a4, double a5, double a6) {
  return e != nullptr ? e->Evaluate(a1, a2, a3, a4, a5, a6) : std::nan("");
}

double EvaluateIndexedOrNaN(AnExpression* e, double a, double b, double c, int32_t row) {
  return e != nullptr ? e->EvaluateIndexed(a, b, c, row) : std::nan("");
}

void ToComponents(GraphColorType type, double c1, double c2, double c3, double* red, double* green, double* blue) {
  if (type == AGraphColor::kRGBEquations) {
    *red = ClampComponent(c1);
    *green = ClampComponent(c2);
    *blue = ClampComponent(c3);
  } else {
    OurHSVtoRGB(c1, ClampComponent(c2), ClampComponent(c3), red, green, blue);
  }
}

// A zero-terminated copy with line feeds as carriage returns, for the
// clipboard.
std::unique_ptr<char[]> ExportCopy(const std::string& text) {
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::replace_copy(text.begin(), text.end(), copy.get(), '\n', '\r');
  return copy;
}

}  // namespace

AGraphColor::AGraphColor(MDrawContext* context, DocumentRecord* document)
    : fDrawContext(context), fDocument(document) {}

AGraphColor::~AGraphColor() {
  // Program names die with their context: delete them only in the one they
  // were made in, and only while it lives.
  if (fFragmentProgram != nullptr && MadeForCurrentRenderer() && fAglContext != nullptr)
    OurMakeGLContextCurrent(fAglContext);
  fFragmentProgram.reset();
  fVertexProgram.reset();
  fUniformVariables.reset();
  DisposeTexture();
  OurDisposePicture(fPicture);
}

void AGraphColor::Set(double code) {
  fSolidColor = kPurple;
  const int32_t menuCode = DoubleToInt32(code);
  constexpr uint32_t kSolidCodes[] = {kPurple, kRed, kBlue, kGreen, kCyan, kYellow, kFrost, kOffBlack};
  if (menuCode >= 1 && menuCode <= 8) {
    fType = kSolid;
    fSolidColor = kSolidCodes[menuCode - 1];
  } else if (menuCode >= 10 && menuCode <= 16) {
    fType = menuCode - 9;
  } else if (menuCode == 17) {
    fType = kHidden;
  } else if (menuCode == 999) {
    fType = kPictureTexture;
    TakeSurfacePicture();
  } else {
    fType = kSolid;
    fSolidColor = kWhite;
  }
}

// Without a texture the surfaces show white.
void AGraphColor::TakeSurfacePicture() {
  OurDisposePicture(fPicture);
  fPicture = OurCopyPicture(gSurfacePicture);
  DisposeTexture();
  if (fDrawContext != nullptr) {
    fTexture = CreateTexture(fPicture, fDrawContext);
    RememberRenderer(fDrawContext);
  }
  if (fTexture == nullptr) fSolidColor = kWhite;
}

bool AGraphColor::MadeForCurrentRenderer() const {
  return fDrawContext != nullptr && GetRendererType(fDrawContext) == fRendererType &&
         GetRendererAglContext(fDrawContext) == fAglContext && RememberedContextLives();
}

bool AGraphColor::RememberedContextLives() const {
  return fAglContext == nullptr || OurIsGLContextLive(fAglContext, fAglContextSerial);
}

void AGraphColor::RememberRenderer(const MDrawContext* context) {
  fRendererType = GetRendererType(context);
  fAglContext = GetRendererAglContext(context);
  fAglContextSerial = GetRendererContextSerial(context);
}

void AGraphColor::DisposeTexture() {
  if (fTexture != nullptr)
    ::DisposeTexture(fTexture, Our3DRendererType(fRendererType), fAglContextSerial, fDrawContext);
  fTexture = nullptr;
}

void AGraphColor::Compile(AnExpression* coordinate, PlottingMode mode, MDrawContext* context) {
  const bool supported = context != nullptr && DoesContextSupportShaders(context);
  if (fFragmentProgram != nullptr && (mode == kPlotInterval || !supported))
    DropPrograms();
  else if (WantsProgram(coordinate, mode, supported))
    MakePrograms(coordinate, context, supported);
  if (HasColorEquations())
    AnExpression::Compile(fColorExpressions[0].get(), fColorExpressions[1].get(), fColorExpressions[2].get());
}

// Without support the text is still made for the program-copying command.
bool AGraphColor::WantsProgram(const AnExpression* coordinate, PlottingMode mode, bool supported) const {
  const bool equations = HasColorEquations() || fType == kFragmentProgram;
  if ((!equations && coordinate == nullptr) || mode == kPlotInterval) return false;
  return supported || gHackExportShaderFlag2;
}

void AGraphColor::MakePrograms(AnExpression* coordinate, MDrawContext* context, bool supported) {
  // A program of earlier formulas must not outlive them, even when the new
  // ones have none.
  DropPrograms();
  std::vector<ExpressionRecord*> uniforms;
  const std::string text = GenerateProgramText(coordinate, context, &uniforms);
  ReplaceUniformVariables(uniforms);
  if (gHackExportShaderFlag2 && !text.empty()) {
    gHackExportShaderPointer = ExportCopy(text);
    gHackExportShaderFlag2 = false;
    gHackExportShaderFlag = false;
  }
  if (!text.empty() && supported) LoadPrograms(gInjectedFragmentProgram ? gInjectedFragmentProgram : text, context);
}

std::string AGraphColor::GenerateProgramText(AnExpression* coordinate, MDrawContext* context,
                                             std::vector<ExpressionRecord*>* uniforms) {
  if (!HasColorEquations()) return OurGetARBString(coordinate, uniforms, fType == kPictureTexture, fDocument);
  const bool rawHSV = context == nullptr || !IsNVidia(context);
  return OurGetARBString(fColorExpressions[0].get(), fColorExpressions[1].get(), fColorExpressions[2].get(), coordinate,
                         fType == kHSVEquations, uniforms, rawHSV, fDocument);
}

// The generator's trees are copies the expressions take over.
void AGraphColor::ReplaceUniformVariables(const std::vector<ExpressionRecord*>& uniforms) {
  fUniformVariables = std::make_unique<UniformVariables>();
  for (ExpressionRecord* tree : uniforms) {
    auto expression = std::make_unique<AnExpression>(tree, fDocument);
    AnExpression::Compile(expression.get());
    fUniformVariables->Add(std::move(expression));
  }
}

// A program the card refuses leaves the colour to the processor, silently.
void AGraphColor::LoadPrograms(const std::string& text, MDrawContext* context) {
  fVertexProgram = std::make_unique<Shader>("", gVertexProgram, false);
  fFragmentProgram = std::make_unique<Shader>("", text.c_str(), true);
  RememberRenderer(context);
  const bool works = OurEnableShaders(fFragmentProgram.get(), fVertexProgram.get(), context);
  OurDisableShaders(context);
  if (!works) {
    DropPrograms();
    return;
  }
  fSavedType = fType;
  if (HasColorEquations()) fType = kFragmentProgram;
}

void AGraphColor::DropPrograms() {
  fFragmentProgram.reset();
  fVertexProgram.reset();
  if (fType == kFragmentProgram) fType = fSavedType;
}

void AGraphColor::ReplaceEquation(int32_t i, std::unique_ptr<AnExpression> equation) {
  fColorExpressions[i] = std::move(equation);
}

void AGraphColor::Compute() {
  if (!HasColorEquations()) return;
  double r = 0, g = 0, b = 0;
  ComputeExplicitColor(0, 0, 0, 0, 0, 0, &r, &g, &b);
  fSolidColor = PackColor(r, g, b);
}

void AGraphColor::ComputeExplicitColor(double a1, double a2, double a3, double a4, double a5, double a6, double* red,
                                       double* green, double* blue) {
  if (!HasColorEquations()) return;
  const double c1 = EvaluateOrNaN(fColorExpressions[0].get(), a1, a2, a3, a4, a5, a6);
  const double c2 = EvaluateOrNaN(fColorExpressions[1].get(), a1, a2, a3, a4, a5, a6);
  const double c3 = EvaluateOrNaN(fColorExpressions[2].get(), a1, a2, a3, a4, a5, a6);
  ToComponents(fType, c1, c2, c3, red, green, blue);
}

void AGraphColor::ComputeExplicitColorIndexed(int32_t row, double a, double b, double c, double* red, double* green,
                                              double* blue) {
  if (!HasColorEquations()) return;
  const double c1 = EvaluateIndexedOrNaN(fColorExpressions[0].get(), a, b, c, row);
  const double c2 = EvaluateIndexedOrNaN(fColorExpressions[1].get(), a, b, c, row);
  const double c3 = EvaluateIndexedOrNaN(fColorExpressions[2].get(), a, b, c, row);
  ToComponents(fType, c1, c2, c3, red, green, blue);
}

bool AGraphColor::Contains(int32_t variable) const {
  if (!HasColorEquations() && fType != kFragmentProgram) return false;
  return std::any_of(std::begin(fColorExpressions), std::end(fColorExpressions),
                     [&](const std::unique_ptr<AnExpression>& e) { return e != nullptr && e->Contains(variable); });
}

bool AGraphColor::IsGradientColor() const {
  return fType == kHueGradientDown || fType == kHueGradientAcross || HasColorEquations();
}

bool AGraphColor::IsDiscreteColor() const {
  return (fType >= kCheckerboard && fType <= kVerticalStripes) || fType == kHueBandsDown || fType == kHueBandsAcross;
}

void AGraphColor::MaximizeIntensity() {
  if (fType != kSolid || fSolidColor == kOffBlack) return;
  uint32_t c[3] = {fSolidColor >> 16 & 0xFF, fSolidColor >> 8 & 0xFF, fSolidColor & 0xFF};
  const uint32_t m = std::max({c[0], c[1], c[2]});
  if (m == 0) return;  // black has no hue to brighten
  for (uint32_t& component : c) component = component * 255 / m;
  fSolidColor = c[0] << 16 | c[1] << 8 | c[2];
}

bool AGraphColor::CheckAndUpdateTexture() {
  if (fDrawContext == nullptr || GetRendererType(fDrawContext) == kRendererNone) return false;
  if (MadeForCurrentRenderer() && fTexture != nullptr && IsTextureValid(fTexture, fDrawContext)) return true;
  DisposeTexture();
  RememberRenderer(fDrawContext);
  fTexture = CreateTexture(fPicture, fDrawContext);
  return fTexture != nullptr;
}

bool AGraphColor::CheckAndUpdateFragmentProgram() {
  if (fDrawContext == nullptr || GetRendererType(fDrawContext) == kRendererNone) return false;
  if (MadeForCurrentRenderer()) return true;
  RememberRenderer(fDrawContext);
  Compile(nullptr, kPlotInterval, fDrawContext);
  return false;
}

bool AGraphColor::EnableShaders(MDrawContext* context) {
  if (fType == kFragmentProgram) OurSubmitSolidColor(kWhite, context);
  if (!OurEnableShaders(fFragmentProgram.get(), fVertexProgram.get(), context)) return false;
  ReallocateThreadLocalVariablesIfNecessary();
  std::vector<double> values;
  const int32_t count = fUniformVariables != nullptr ? fUniformVariables->Count() : 0;
  for (int32_t i = 0; i < count; ++i) {
    AnExpression* uniform = fUniformVariables->At(i);
    uniform->InvalConstants();
    values.push_back(uniform->Evaluate(0.0));
  }
  while (values.size() % 4 != 0) values.push_back(0.0);
  for (size_t group = 0; group < values.size() / 4; ++group) OurSetUniformShaderParameter(group, &values[4 * group]);
  return true;
}

std::unique_ptr<AGraphColor> AGraphColor::Copy(const AGraphColor* source) {
  auto copy = std::make_unique<AGraphColor>(source->fDrawContext, source->fDocument);
  copy->fType = source->fType == kFragmentProgram ? source->fSavedType : source->fType;
  copy->fSolidColor = source->fSolidColor;
  for (int i = 0; i < 3; ++i) {
    const AnExpression* from = source->fColorExpressions[i].get();
    if (from == nullptr) continue;
    copy->fColorExpressions[i].reset(from->CreateCopy());
    if (from->PointMachine() != nullptr) AnExpression::Compile(copy->fColorExpressions[i].get());
  }
  return copy;
}

std::unique_ptr<AGraphColor> AGraphColor::Copy(const AGraphColor* source, MDrawContext* context) {
  std::unique_ptr<AGraphColor> copy = Copy(source);
  copy->fDrawContext = context;
  return copy;
}
