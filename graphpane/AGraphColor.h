#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CoreUtilities/MRect.h"
#include "CoreUtilities/drawing/OurPictures.h"
#include "evaluation/AnExpression.h"
#include "evaluation/ColorEquations.h"
#include "graphpane/GraphEnums.h"
#include "graphpane/UniformVariables.h"

class DocumentRecord;
struct GLContextRecord;
struct MDrawContext;
class Shader;
struct OurTexture;

// The colour of one graph: a solid colour, a fixed colour map, a picture
// texture, or three colour equations (red, green, blue or hue, saturation,
// value) evaluated per point. The graph that is handed it owns it; the
// expression groups reach its equations through AColorEquations.
class AGraphColor : public AColorEquations {
 public:
  static constexpr GraphColorType kSolid = 0;
  static constexpr GraphColorType kCheckerboard = 1;
  static constexpr GraphColorType kHorizontalStripes = 2;
  static constexpr GraphColorType kVerticalStripes = 3;
  static constexpr GraphColorType kHueGradientDown = 4;
  static constexpr GraphColorType kHueGradientAcross = 5;
  static constexpr GraphColorType kHueBandsDown = 6;
  static constexpr GraphColorType kHueBandsAcross = 7;
  static constexpr GraphColorType kPictureTexture = 8;
  static constexpr GraphColorType kFragmentProgram = 11;
  static constexpr GraphColorType kHidden = 13;

  explicit AGraphColor(MDrawContext* context = nullptr, DocumentRecord* document = nullptr);
  AGraphColor(const AGraphColor&) = delete;
  AGraphColor& operator=(const AGraphColor&) = delete;
  ~AGraphColor() override;

  // From a colour-menu code.
  void Set(double code);
  // Readies the colour for drawing; with no renderer the colour equations
  // are compiled together for the processor and nothing else happens.
  void Compile(AnExpression* coordinate = nullptr, PlottingMode mode = kPlotSampling, MDrawContext* context = nullptr);
  // The packed colour of constant colour equations.
  void Compute();
  // Components in 0 to 1; untouched unless the colour has equations.
  void ComputeExplicitColor(double a1, double a2, double a3, double a4, double a5, double a6, double* red,
                            double* green, double* blue);
  void ComputeExplicitColorIndexed(int32_t row, double a, double b, double c, double* red, double* green, double* blue);
  bool Contains(int32_t variable) const;
  using AColorEquations::Cancel;
  using AColorEquations::ClearCancelFlag;
  using AColorEquations::InvalConstants;
  void Cancel() { Cancel(this); }
  void ClearCancelFlag() { ClearCancelFlag(this); }
  void InvalConstants() { InvalConstants(this); }

  // Colour equation i (0 to 2) becomes the one given; the one it held is
  // destroyed.
  void ReplaceEquation(int32_t i, std::unique_ptr<AnExpression> equation);

  bool IsGradientColor() const;
  bool IsDiscreteColor() const;
  void MaximizeIntensity();

  // The renderer's side; each answers false while there is none.
  bool CheckAndUpdateTexture();
  bool CheckAndUpdateFragmentProgram();
  bool EnableShaders(MDrawContext* context);

  int32_t GetPictureWidth() const;
  void DrawCenteredPicture(int h, int v, const MRect& clip, int factor) const;
  void DrawCenteredPictureScaledToSize(int h, int v, const MRect& clip, int size) const;
  // The swatch beside the equation, into the current port.
  void DrawLegend(const MRect& r) const;

  // A new colour of the same kind and equations; no picture or programs.
  static std::unique_ptr<AGraphColor> Copy(const AGraphColor* source);
  static std::unique_ptr<AGraphColor> Copy(const AGraphColor* source, MDrawContext* context);

  uint32_t fSolidColor = 0xCE00CE;  // 0x00RRGGBB; purple
  OurTexture* fTexture = nullptr;
  OurPicture* fPicture = nullptr;
  MDrawContext* fDrawContext;
  // The renderer type and context the texture or program was made for.
  int32_t fRendererType = 0;
  GLContextRecord* fAglContext = nullptr;
  // Made only by a renderer; null while there is none.
  std::unique_ptr<Shader> fFragmentProgram;
  std::unique_ptr<Shader> fVertexProgram;
  std::unique_ptr<UniformVariables> fUniformVariables;
  DocumentRecord* fDocument;

 private:
  // A context made later at the same address is not the remembered one.
  uint64_t fAglContextSerial = 0;

  void TakeSurfacePicture();
  bool MadeForCurrentRenderer() const;
  bool RememberedContextLives() const;
  void RememberRenderer(const MDrawContext* context);
  void DisposeTexture();
  bool WantsProgram(const AnExpression* coordinate, PlottingMode mode, bool supported) const;
  void MakePrograms(AnExpression* coordinate, MDrawContext* context, bool supported);
  std::string GenerateProgramText(AnExpression* coordinate, MDrawContext* context,
                                  std::vector<ExpressionRecord*>* uniforms);
  void ReplaceUniformVariables(const std::vector<ExpressionRecord*>& uniforms);
  void LoadPrograms(const std::string& text, MDrawContext* context);
  void DropPrograms();
};
