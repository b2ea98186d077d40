#include "graphpane/AGraphColor.h"

#include <algorithm>
#include <cmath>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/HSVColor.h"
#include "CoreUtilities/OurPictures.h"
#include "graphpane/GraphColorConstants.h"
#include "graphpane/GraphColorGlobals.h"

OurPicture* gSurfacePicture = nullptr;
bool gHackExportShaderFlag = false;
bool gHackExportShaderFlag2 = false;
char* gHackExportShaderPointer = nullptr;

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

void ToComponents(GraphColorType type, double c1, double c2, double c3, double* red, double* green,
                  double* blue) {
  if (type == AGraphColor::kRGBEquations) {
    *red = ClampComponent(c1);
    *green = ClampComponent(c2);
    *blue = ClampComponent(c3);
  } else {
    OurHSVtoRGB(c1, ClampComponent(c2), ClampComponent(c3), red, green, blue);
  }
}

}  // namespace

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

// The picture is kept for drawing beside the equation; a texture needs a
// renderer, so the surfaces show white.
void AGraphColor::TakeSurfacePicture() {
  OurDisposePicture(fPicture);
  fPicture = OurCopyPicture(gSurfacePicture);
  fTexture = 0;
  fSolidColor = kWhite;
}

void AGraphColor::Compile(AnExpression* /*coordinate*/, PlottingMode /*mode*/, MDrawContext* /*context*/) {
  if (HasColorEquations()) AnExpression::Compile(fColorExpressions[0], fColorExpressions[1], fColorExpressions[2]);
}

void AGraphColor::Compute() {
  if (!HasColorEquations()) return;
  double r = 0, g = 0, b = 0;
  ComputeExplicitColor(0, 0, 0, 0, 0, 0, &r, &g, &b);
  fSolidColor = PackColor(r, g, b);
}

void AGraphColor::ComputeExplicitColor(double a1, double a2, double a3, double a4, double a5, double a6,
                                       double* red, double* green, double* blue) {
  if (!HasColorEquations()) return;
  const double c1 = EvaluateOrNaN(fColorExpressions[0], a1, a2, a3, a4, a5, a6);
  const double c2 = EvaluateOrNaN(fColorExpressions[1], a1, a2, a3, a4, a5, a6);
  const double c3 = EvaluateOrNaN(fColorExpressions[2], a1, a2, a3, a4, a5, a6);
  ToComponents(fType, c1, c2, c3, red, green, blue);
}

void AGraphColor::ComputeExplicitColorIndexed(int32_t row, double a, double b, double c, double* red,
                                              double* green, double* blue) {
  if (!HasColorEquations()) return;
  const double c1 = EvaluateIndexedOrNaN(fColorExpressions[0], a, b, c, row);
  const double c2 = EvaluateIndexedOrNaN(fColorExpressions[1], a, b, c, row);
  const double c3 = EvaluateIndexedOrNaN(fColorExpressions[2], a, b, c, row);
  ToComponents(fType, c1, c2, c3, red, green, blue);
}

bool AGraphColor::Contains(int32_t variable) const {
  if (!HasColorEquations() && fType != kFragmentProgram) return false;
  return std::any_of(std::begin(fColorExpressions), std::end(fColorExpressions),
                     [&](const AnExpression* e) { return e != nullptr && e->Contains(variable); });
}

bool AGraphColor::IsGradientColor() const {
  return fType == kHueGradientDown || fType == kHueGradientAcross || HasColorEquations();
}

bool AGraphColor::IsDiscreteColor() const {
  return (fType >= kCheckerboard && fType <= kVerticalStripes) || fType == kHueBandsDown ||
         fType == kHueBandsAcross;
}

void AGraphColor::MaximizeIntensity() {
  if (fType != kSolid || fSolidColor == kOffBlack) return;
  uint32_t c[3] = {fSolidColor >> 16 & 0xFF, fSolidColor >> 8 & 0xFF, fSolidColor & 0xFF};
  const uint32_t m = std::max({c[0], c[1], c[2]});
  if (m == 0) return;  // black has no hue to brighten
  for (uint32_t& component : c) component = component * 255 / m;
  fSolidColor = c[0] << 16 | c[1] << 8 | c[2];
}

bool AGraphColor::CheckAndUpdateTexture() { return false; }
bool AGraphColor::CheckAndUpdateFragmentProgram() { return false; }
bool AGraphColor::EnableShaders(MDrawContext* /*context*/) { return false; }

AGraphColor* AGraphColor::Copy(const AGraphColor* source) {
  auto* copy = new AGraphColor(source->fDrawContext, source->fDocument);
  copy->fType = source->fType == kFragmentProgram ? source->fSavedType : source->fType;
  copy->fSolidColor = source->fSolidColor;
  for (int i = 0; i < 3; ++i) {
    const AnExpression* from = source->fColorExpressions[i];
    if (from == nullptr) continue;
    copy->fColorExpressions[i] = from->CreateCopy();
    if (from->PointMachine() != nullptr) AnExpression::Compile(copy->fColorExpressions[i]);
  }
  return copy;
}

AGraphColor* AGraphColor::Copy(const AGraphColor* source, MDrawContext* context) {
  AGraphColor* copy = Copy(source);
  copy->fDrawContext = context;
  return copy;
}
