// Reads a document file and prints every field of the document record.
#include "tools/DocumentFile.h"
#include "app/AppHooks.h"
#include "document/DocumentHooks.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "document/DocumentWriter.h"
#include "expression/ExpressionWriter.h"
#include "platform/OurPicture.h"
#include "platform/TextBlock.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace {

std::string N(double value) { return DocumentNumberText(value); }

void Row(const char* name, const double* values, int count) {
  std::cout << name;
  for (int i = 0; i < count; ++i) std::cout << ' ' << N(values[i]);
  std::cout << '\n';
}

void Row(const char* name, std::initializer_list<double> values) { Row(name, values.begin(), int(values.size())); }

std::string PictureSize(const OurPicture* picture) {
  if (!picture) return "none";
  return std::to_string(picture->image.width()) + "x" + std::to_string(picture->image.height());
}

void PrintViews(const GraphPaneSettings& p) {
  Row("axes 2D 2Dp paper 2D 2Dp axes 3D 3Dp", {double(p.axes2D), double(p.axes2Dp), double(p.graphPaper2D),
                                               double(p.graphPaper2Dp), double(p.axes3D), double(p.axes3Dp)});
  for (const auto& [name, v] : {std::pair{"2D", &p.view2D}, std::pair{"2Dp", &p.view2Dp}}) {
    std::cout << name << ":\n";
    Row("  t", v->t, 2), Row("  r", v->r, 2), Row("  theta", v->theta, 2), Row("  scale", v->scale, 2);
    Row("  bottomLeft", v->bottomLeft, 2), Row("  integers", {double(v->integers[0]), double(v->integers[1])});
  }
  for (const auto& [name, v] : {std::pair{"3D", &p.view3D}, std::pair{"3Dp", &p.view3Dp}}) {
    std::cout << name << ":\n";
    Row("  view", v->view, 9), Row("  x", v->x, 2), Row("  y", v->y, 2), Row("  z", v->z, 2);
    Row("  depth", &v->depth, 1), Row("  t", v->t, 2), Row("  u", v->u, 2), Row("  v", v->v, 2);
    Row("  r", v->r, 2), Row("  theta", v->theta, 2), Row("  phi", v->phi, 2);
  }
  std::cout << "4D:\n";
  const View4DSettings& v = p.view4D;
  Row("  view", v.view, 16), Row("  t", v.t, 2), Row("  u", v.u, 2), Row("  v", v.v, 2), Row("  x", v.x, 2);
  Row("  y", v.y, 2), Row("  z", v.z, 2), Row("  w", v.w, 2);
  Row("spin 3D axis", p.spinAxis3D, 3), Row("spin 3D speed", &p.spinSpeed3D, 1);
  Row("spin 3Dp axis", p.spinAxis3Dp, 3), Row("spin 3Dp speed", &p.spinSpeed3Dp, 1);
  Row("4D axis1", p.axis1_4D, 3), Row("4D axis2", p.axis2_4D, 3);
  Row("4D speed1 speed2 depth", {p.speed1_4D, p.speed2_4D, p.depth4D});
  Row("4D show axes, xy plane", {double(p.show4Daxes), double(p.show4DxyPlane)});
}

void PrintBlock(const MBlock& block) {
  switch (block.kind) {
    case kEquationBlock: {
      std::unique_ptr<char[]> text(ExportTextFormatOfExpr(EquationTree(block), false));
      std::cout << "equation: " << (text ? text.get() : "?") << '\n';
      Row("  Color Grain Opacity PlottingMode XYType",
          {block.Color, block.Grain, block.Opacity, block.PlottingMode, block.XYType});
      std::cout << "  math-pane slider " << block.mathPaneSlider << ", texture " << PictureSize(block.texture) << '\n';
      break;
    }
    case kTextBlock:
      std::cout << "text:\n";
      for (const TextStyleRun& run : block.text->StyleRuns())
        std::cout << "  [" << run.start << "+" << run.length << " " << run.family.toStdString() << " " << run.size
                  << (run.bold ? " B" : "") << (run.italic ? " I" : "") << (run.underline ? " U" : "") << "]\n";
      std::cout << "  \"" << block.text->Contents().toStdString() << "\"\n";
      break;
    case kTableBlock:
      std::cout << "table: font " << block.table->fontSize << ", row height " << block.table->rowHeight
                << ", shown rows " << block.table->displayRows << '\n';
      for (const TableColumn& column : block.table->columns) {
        std::cout << "  column id " << column.HeadingId() << " type " << column.GetDataType() << ":";
        for (int32_t i = 0; i < column.CellCount(); ++i) std::cout << " [" << TableTextToUTF8(column.Cell(i)) << "]";
        std::cout << '\n';
      }
      break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  InstallDocumentHooks();
  InstallAppHooks();
  if (argc != 2) {
    std::cerr << "usage: zl_document_dump file.zlf\n";
    return 2;
  }
  const auto document = ReadDocumentFile(argv[1]);
  if (!document) return 1;
  const DocumentContents& c = document->fContents;
  Row("window", {double(c.windowRect[0]), double(c.windowRect[1]), double(c.windowRect[2]), double(c.windowRect[3])});
  std::cout << "text encoding " << c.textEncoding << ", pane divider " << c.paneDivider << ", significant digits "
            << c.significantDigits << ", draw graph " << c.drawGraph << '\n';
  std::cout << "font \"" << c.fontName << "\" " << c.fontSize << ", background type " << int(c.backgroundType)
            << " colour " << int(c.backgroundColor[0]) << ' ' << int(c.backgroundColor[1]) << ' '
            << int(c.backgroundColor[2]) << ", stack panes " << c.stackPanes << '\n';
  if (c.pageMargins)
    std::cout << "page margins " << c.pageMargins->fields[0] << ' ' << c.pageMargins->fields[1] << ' '
              << c.pageMargins->fields[2] << ' ' << c.pageMargins->fields[3] << '\n';
  Row("slider min max", {c.sliderMinimum, c.sliderMaximum});
  std::cout << "slider steps " << c.sliderSteps << ", control value " << c.sliderControlValue << ", moving "
            << c.animationRunning << ", variable " << char(c.sliderVariable) << ", throttle " << c.sliderThrottle
            << ", one direction " << c.sliderOneDirection << ", direction " << c.sliderDirection << ", value "
            << N(document->fSliderValue.load()) << '\n';
  std::cout << "antialiasing " << c.useAntialiasing << ", print record "
            << (c.printRecord ? std::to_string(c.printRecord->size) + " bytes" : "none") << '\n';
  PrintViews(c.pane);
  for (const MBlock& block : c.blocks) PrintBlock(block);
  for (const DocumentParameter& parameter : c.parameters)
    std::cout << "parameter " << char(parameter.name) << " = " << N(parameter.value) << '\n';
  for (const GraphPicture& picture : c.pictures2D)
    std::cout << "2D picture " << PictureSize(picture.picture) << " at " << N(picture.first) << ' ' << N(picture.second)
              << '\n';
  for (const GraphPicture& picture : c.pictures2Dp)
    std::cout << "2Dp picture " << PictureSize(picture.picture) << " at " << N(picture.first) << ' '
              << N(picture.second) << '\n';
  for (const TableHeading& heading : c.tableHeadings)
    std::cout << "heading id " << heading.variableId << " block " << heading.blockIndex << " column "
              << heading.columnIndex << " rows " << heading.dataRows << " matrix " << heading.matrixFlag << '\n';
  return 0;
}
