#include "document/DocumentWriter.h"

#include "document/DocumentGraphPane.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "document/TextureHooks.h"
#include "expression/ExpressionWriter.h"
#include "platform/GivenFontName.h"
#include "platform/TextBlock.h"

#include <QTextBlock>
#include <QTextFragment>

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <memory>

namespace {

constexpr double kFixedPointOne = 65536.0;
constexpr size_t kPictureLine = 76;

bool IsLetter(int32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

class DocumentText {
 public:
  void Numbers(const char* keyword, const double* values, size_t count) {
    fText += keyword;
    for (size_t i = 0; i < count; ++i) {
      fText += ' ';
      fText += DocumentNumberText(values[i]);
    }
    fText += ";\n";
  }
  void Statement(const char* keyword, std::initializer_list<double> values) {
    Numbers(keyword, values.begin(), values.size());
  }
  void Range(const char* keyword, const double range[2]) { Numbers(keyword, range, 2); }
  void Raw(const std::string& text) { fText += text; }
  std::string Take() { return std::move(fText); }

 private:
  std::string fText;
};

void WriteSettings(const DocumentContents& c, DocumentText& out) {
  out.Raw(c.textEncoding == 1 ? "TextEncoding MacOS;\n" : "TextEncoding UTF8;\n");
  out.Statement("Window",
                {double(c.windowRect[0]), double(c.windowRect[1]), double(c.windowRect[2]), double(c.windowRect[3])});
  out.Statement("PaneDivider", {double(c.paneDivider)});
  out.Statement("SignificantDigits", {double(c.significantDigits)});
  out.Statement("DrawGraph", {double(c.drawGraph)});
  std::string fontName;
  for (const char* p = c.fontName; *p; ++p)
    if (*p != '"') fontName += *p;
  if (!fontName.empty()) out.Raw("FontName \"" + fontName + "\";\n");
  out.Statement("FontSizes", {double(c.fontSize)});
  out.Statement("BackgroundType", {double(c.backgroundType)});
  out.Statement("BackgroundColor",
                {double(c.backgroundColor[0]), double(c.backgroundColor[1]), double(c.backgroundColor[2])});
  out.Statement("StackPanes", {double(c.stackPanes)});
  if (c.pageMargins) {
    const int32_t* f = c.pageMargins->fields;
    out.Statement("PageMargins",
                  {f[2] / kFixedPointOne, f[0] / kFixedPointOne, f[3] / kFixedPointOne, f[1] / kFixedPointOne});
  }
  out.Statement("Slider", {c.sliderMinimum, c.sliderMaximum});
  out.Statement("SliderSteps", {double(c.sliderSteps)});
  out.Statement("SliderControlValue", {double(c.sliderControlValue)});
  out.Statement("SliderMoving", {double(c.animationRunning)});
  if (IsLetter(c.sliderVariable)) out.Raw(std::string("SliderVariable ") + char(c.sliderVariable) + ";\n");
  out.Statement("SliderThrottle", {double(c.sliderThrottle)});
  out.Statement("SliderOneDirection", {double(c.sliderOneDirection)});
  out.Statement("SliderDirection", {double(c.sliderDirection)});
  out.Statement("UseAntialiasing", {double(c.useAntialiasing)});
  if (c.printRecord && c.printRecord->size > 0) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    const auto* bytes = static_cast<const unsigned char*>(c.printRecord->data);
    for (size_t i = 0; i < c.printRecord->size; ++i) {
      hex += kHex[bytes[i] >> 4];
      hex += kHex[bytes[i] & 15];
    }
    out.Raw("PrintRecord \"" + hex + "\";\n");
  }
}

// The second views' T, U, V, R, Theta and Phi ranges have no statements
// of their own: the statements for all views carry them, and the views
// that have their own statements follow.
void WriteViews(const GraphPaneSettings& p, DocumentText& out) {
  out.Statement("2D.Axes", {double(p.axes2D)});
  out.Statement("2Dp.Axes", {double(p.axes2Dp)});
  out.Statement("2D.GraphPaper", {double(p.graphPaper2D)});
  out.Statement("2Dp.GraphPaper", {double(p.graphPaper2Dp)});
  out.Statement("3D.Axes", {double(p.axes3D)});
  out.Statement("3Dp.Axes", {double(p.axes3Dp)});
  out.Range("T", p.view2Dp.t);
  out.Range("R", p.view2Dp.r);
  out.Range("Theta", p.view2Dp.theta);
  out.Range("U", p.view3Dp.u);
  out.Range("V", p.view3Dp.v);
  out.Range("Phi", p.view3Dp.phi);
  out.Range("2D.T", p.view2D.t);
  out.Range("2D.R", p.view2D.r);
  out.Range("2D.Theta", p.view2D.theta);
  for (const auto& [keyword, view] : {std::pair{"2D.Scale", &p.view2D}, std::pair{"2Dp.Scale", &p.view2Dp}})
    out.Statement(keyword, {view->scale[0], view->scale[1], double(view->integers[0]), double(view->integers[1])});
  out.Statement("2D.BottomLeft", {p.view2D.bottomLeft[1], p.view2D.bottomLeft[0]});
  out.Statement("2Dp.BottomLeft", {p.view2Dp.bottomLeft[1], p.view2Dp.bottomLeft[0]});
  out.Range("3D.T", p.view3D.t);
  out.Range("3D.U", p.view3D.u);
  out.Range("3D.V", p.view3D.v);
  out.Range("3D.R", p.view3D.r);
  out.Range("3D.Theta", p.view3D.theta);
  out.Range("3D.Phi", p.view3D.phi);
  out.Range("3D.X", p.view3D.x);
  out.Range("3D.Y", p.view3D.y);
  out.Range("3D.Z", p.view3D.z);
  out.Range("3Dp.X", p.view3Dp.x);
  out.Range("3Dp.Y", p.view3Dp.y);
  out.Range("3Dp.Z", p.view3Dp.z);
  out.Statement("3D.Depth", {p.view3D.depth});
  out.Statement("3Dp.Depth", {p.view3Dp.depth});
  out.Numbers("3D.View", p.view3D.view, 9);
  out.Numbers("3Dp.View", p.view3Dp.view, 9);
  out.Numbers("3D.Axis", p.spinAxis3D, 3);
  out.Numbers("3Dp.Axis", p.spinAxis3Dp, 3);
  out.Statement("3D.Speed", {p.spinSpeed3D});
  out.Statement("3Dp.Speed", {p.spinSpeed3Dp});
  out.Numbers("4D.View", p.view4D.view, 16);
  out.Numbers("4D.Axis1", p.axis1_4D, 3);
  out.Numbers("4D.Axis2", p.axis2_4D, 3);
  out.Statement("4D.Speed1", {p.speed1_4D});
  out.Statement("4D.Speed2", {p.speed2_4D});
  out.Statement("4D.Depth", {p.depth4D});
  out.Range("4D.T", p.view4D.t);
  out.Range("4D.U", p.view4D.u);
  out.Range("4D.V", p.view4D.v);
  out.Range("4D.X", p.view4D.x);
  out.Range("4D.Y", p.view4D.y);
  out.Range("4D.Z", p.view4D.z);
  out.Range("4D.W", p.view4D.w);
  out.Statement("4D.Show4Daxes", {double(p.show4Daxes)});
  out.Statement("4D.Show4DxyPlane", {double(p.show4DxyPlane)});
}

std::string PictureText(const OurPicture* picture) {
  const std::string base64 = EncodeDocumentTexture(picture);
  if (base64.empty()) return {};
  std::string text = "Picture \"";
  for (size_t i = 0; i < base64.size(); i += kPictureLine) {
    text += "\n";
    text += base64.substr(i, kPictureLine);
  }
  return text + "\"";
}

bool WriteEquation(const MBlock& block, DocumentText& out) {
  out.Statement("Color", {block.Color});
  out.Statement("Grain", {block.Grain});
  out.Statement("Opacity", {block.Opacity});
  out.Statement("PlottingMode", {block.PlottingMode});
  out.Statement("XYType", {block.XYType});
  out.Statement("MathPaneSlider", {double(block.mathPaneSlider)});
  const std::string picture = PictureText(block.texture);
  if (!picture.empty()) out.Raw(picture + ";\n");
  std::unique_ptr<char[]> expression(ExportTextFormatOfExpr(EquationTree(block), false));
  if (!expression) return false;
  out.Raw(std::string("Expr ") + expression.get() + ";\n");
  return true;
}

std::string StyledText(const QString& text) {
  std::string out;
  for (char c : text.toStdString()) {
    if (c == '<')
      out += "<<";
    else if (c == '"')
      out += "\"\"";
    else
      out += c;
  }
  return out;
}

// Every text starts with its font and size, so that it reads back the same
// whatever font a new text block gets. A line break takes the style its
// paragraph was started in, as the reader gives it the style in force.
void WriteText(const TextBlock& text, DocumentText& out) {
  std::string styled = "Text \"";
  bool first = true;
  QString family;
  double size = 0;
  bool bold = false, italic = false, underline = false;
  const auto flip = [&](bool& state, bool wanted, const char* on, const char* off) {
    if (state != wanted) styled += wanted ? on : off;
    state = wanted;
  };
  const auto restyle = [&](const QTextCharFormat& format) {
    const QFont font = format.font();
    const QString name = GivenFontName(format);
    if (first || name != family) styled += "<font=" + name.toStdString() + ">";
    if ((first || font.pointSizeF() != size) && font.pointSizeF() >= 1)
      styled += "<size=" + std::to_string(std::lround(font.pointSizeF())) + ">";
    family = name;
    size = font.pointSizeF();
    first = false;
    flip(bold, font.bold(), "<B>", "</B>");
    flip(italic, font.italic(), "<I>", "</I>");
    flip(underline, font.underline(), "<U>", "</U>");
  };
  for (QTextBlock paragraph = text.document.begin(); paragraph.isValid(); paragraph = paragraph.next()) {
    if (paragraph != text.document.begin()) {
      restyle(paragraph.charFormat());
      styled += "\n";
    }
    for (auto piece = paragraph.begin(); !piece.atEnd(); ++piece) {
      const QTextFragment fragment = piece.fragment();
      restyle(fragment.charFormat());
      styled += StyledText(fragment.text());
    }
  }
  out.Raw(styled + "\";\n");
}

std::string CellText(const std::u16string& cell) {
  std::string text = TableTextToUTF8(cell);
  for (char& c : text)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return text;
}

void WriteTable(const Table& table, DocumentText& out) {
  out.Statement("TableFontSize", {double(table.fontSize)});
  out.Statement("TableDisplayRows", {double(table.displayRows)});
  std::string text = "Table\n";
  for (const TableColumn& column : table.columns) {
    for (int32_t i = 0; i < column.CellCount(); ++i) text += "\t" + CellText(column.Cell(i));
    text += "\n";
  }
  out.Raw(text + "EndOfTable;\n");
}

}  // namespace

std::string DocumentNumberText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-1e999";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::optional<std::string> WriteDocumentText(const DocumentRecord& document) {
  const DocumentContents& c = document.fContents;
  DocumentText out;
  out.Raw("Zentrolabworksheet 4;\n");
  WriteSettings(c, out);
  GraphPaneSettings pane = c.pane;
  if (document.fGraphPane) StorePaneSettings(*document.fGraphPane, document.fRangesSeen, &pane);
  WriteViews(pane, out);
  for (const MBlock& block : c.blocks) {
    switch (block.kind) {
      case kEquationBlock:
        if (EquationTree(block) && !WriteEquation(block, out)) return std::nullopt;
        break;
      case kTextBlock:
        if (block.text) WriteText(*block.text, out);
        break;
      case kTableBlock:
        if (block.table) WriteTable(*block.table, out);
        break;
    }
  }
  for (const DocumentParameter& parameter : c.parameters)
    if (IsLetter(parameter.name))
      out.Raw(std::string("Parameter ") + char(parameter.name) + " = " + DocumentNumberText(parameter.value) + ";\n");
  for (const bool second : {false, true})
    for (const GraphPicture& entry : PlacedPictures(document, second)) {
      const std::string picture = PictureText(entry.picture);
      if (!picture.empty())
        out.Raw(picture + " " + DocumentNumberText(entry.first) + " " + DocumentNumberText(entry.second) +
                (second ? " 1" : "") + ";\n");
    }
  return out.Take();
}
