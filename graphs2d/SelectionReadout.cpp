#include "graphs2d/SelectionReadout.h"

#include <cmath>
#include <numbers>

#include "CoreUtilities/text/NumberText.h"
#include "graphs2d/NumberRounding.h"

namespace {

constexpr int kReadoutDigits = 13;

std::u16string Line(const char16_t* prefix, double value) {
  // Negative zero reads as 0.
  if (value == 0) value = 0;
  UniChar text[kNumberTextCapacity + 32];
  PrefixDoubleToString(text, reinterpret_cast<const UniChar*>(prefix), value);
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

std::u16string Range(const char16_t* prefix, const double range[2]) {
  return Line(prefix, range[0]) + Line(u" ... ", range[1]);
}

double Radius(const Selection& s) { return RoundDouble(std::hypot(s.x, s.y), kReadoutDigits); }

double Angle(const Selection& s) {
  double theta = std::atan2(s.y, s.x);
  if (theta < 0) theta += 2 * std::numbers::pi;
  return RoundDouble(theta, kReadoutDigits);
}

}  // namespace

std::vector<std::u16string> SelectionReadoutLines(const Selection& s) {
  switch (s.kind) {
    case kSelectNothing:
    case kSelectDraggedPoint: return {};
    case kSelectBox: return {Range(u"x: ", s.xRange), Range(u"y: ", s.yRange)};
    default: break;
  }
  std::vector<std::u16string> lines = {Line(u"x: ", s.x), Line(u"y: ", s.y)};
  switch (s.kind) {
    case kSelectParametric: lines.push_back(Line(u"t: ", s.parameter)); break;
    case kSelectPolarOfTheta:
      lines.push_back(Line(u"r: ", Radius(s)));
      lines.push_back(Line(u"\u03B8: ", s.parameter));
      break;
    case kSelectPolarOfR:
      lines.push_back(Line(u"r: ", s.parameter));
      lines.push_back(Line(u"\u03B8: ", Angle(s)));
      break;
    case kSelectPolarParametric:
      lines.push_back(Line(u"r: ", Radius(s)));
      lines.push_back(Line(u"\u03B8: ", Angle(s)));
      lines.push_back(Line(u"t: ", s.parameter));
      break;
    case kSelectContourValue:
    case kSelectDensityValue: lines.push_back(Line(u"value: ", s.parameter)); break;
    case kSelectVector:
      lines.push_back(Line(u"x component: ", s.xComponent));
      lines.push_back(Line(u"y component: ", s.yComponent));
      break;
    case kSelectComplexValue: {
      const double im = s.complexValue[1];
      lines.push_back(Line(u"value: ", s.complexValue[0]) + Line(im < 0 ? u" - " : u" + ", std::fabs(im)) + u"i");
      break;
    }
    default: break;
  }
  return lines;
}
