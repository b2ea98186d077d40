#pragma once

// Every field of a document as named text, so that tests compare
// documents field by field and name the fields that differ.

#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "expression/ExpressionWriter.h"
#include "platform/OurPicture.h"
#include "platform/TextBlock.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace document_fields {

using Fields = std::map<std::string, std::string>;

// Bit-exact: -0 and 0 differ, every NaN is "nan".
inline std::string Num(double value) {
  if (std::isnan(value)) return "nan";
  char buffer[40];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

inline void Put(Fields& f, const std::string& name, const double* values, int count) {
  for (int i = 0; i < count; ++i) f[name + (count > 1 ? "[" + std::to_string(i) + "]" : "")] = Num(values[i]);
}
inline void Put(Fields& f, const std::string& name, double value) { f[name] = Num(value); }

inline std::string PixelsOf(const OurPicture* picture) {
  if (!picture) return "none";
  const QImage image = picture->image.convertToFormat(QImage::Format_ARGB32);
  std::string text = std::to_string(image.width()) + "x" + std::to_string(image.height()) + ":";
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) text += std::to_string(image.pixel(x, y)) + ",";
  return text;
}

// Every flag and every real number of the pane settings with its name, for
// the field dump and for filling random settings alike.
template <class Flag, class Reals>
void ForEachPaneField(GraphPaneSettings& p, Flag flag, Reals reals) {
  flag("pane.axes2D", p.axes2D), flag("pane.axes2Dp", p.axes2Dp), flag("pane.paper2D", p.graphPaper2D);
  flag("pane.paper2Dp", p.graphPaper2Dp), flag("pane.axes3D", p.axes3D), flag("pane.axes3Dp", p.axes3Dp);
  flag("pane.show4Daxes", p.show4Daxes), flag("pane.show4DxyPlane", p.show4DxyPlane);
  reals("pane.spinAxis3D", p.spinAxis3D, 3), reals("pane.spinSpeed3D", &p.spinSpeed3D, 1);
  reals("pane.spinAxis3Dp", p.spinAxis3Dp, 3), reals("pane.spinSpeed3Dp", &p.spinSpeed3Dp, 1);
  reals("pane.axis1_4D", p.axis1_4D, 3), reals("pane.axis2_4D", p.axis2_4D, 3);
  reals("pane.speed1_4D", &p.speed1_4D, 1), reals("pane.speed2_4D", &p.speed2_4D, 1);
  reals("pane.depth4D", &p.depth4D, 1);
  for (const auto& [name, v] : {std::pair{"view2D", &p.view2D}, std::pair{"view2Dp", &p.view2Dp}}) {
    const std::string n = name;
    reals(n + ".t", v->t, 2), reals(n + ".r", v->r, 2), reals(n + ".theta", v->theta, 2);
    reals(n + ".scale", v->scale, 2), reals(n + ".bottomLeft", v->bottomLeft, 2);
  }
  for (const auto& [name, v] : {std::pair{"view3D", &p.view3D}, std::pair{"view3Dp", &p.view3Dp}}) {
    const std::string n = name;
    reals(n + ".view", v->view, 9), reals(n + ".x", v->x, 2), reals(n + ".y", v->y, 2), reals(n + ".z", v->z, 2);
    reals(n + ".depth", &v->depth, 1), reals(n + ".t", v->t, 2), reals(n + ".u", v->u, 2);
    reals(n + ".v", v->v, 2), reals(n + ".r", v->r, 2), reals(n + ".theta", v->theta, 2), reals(n + ".phi", v->phi, 2);
  }
  View4DSettings& v = p.view4D;
  reals("view4D.view", v.view, 16), reals("view4D.t", v.t, 2), reals("view4D.u", v.u, 2), reals("view4D.v", v.v, 2);
  reals("view4D.x", v.x, 2), reals("view4D.y", v.y, 2), reals("view4D.z", v.z, 2), reals("view4D.w", v.w, 2);
}

inline void PutPane(Fields& f, const GraphPaneSettings& settings) {
  GraphPaneSettings p = settings;
  ForEachPaneField(
      p, [&](const std::string& name, bool flag) { f[name] = std::to_string(flag); },
      [&](const std::string& name, const double* values, int count) { Put(f, name, values, count); });
  for (const auto& [name, v] : {std::pair{"view2D", &p.view2D}, std::pair{"view2Dp", &p.view2Dp}}) {
    const double integers[] = {double(v->integers[0]), double(v->integers[1])};
    Put(f, std::string(name) + ".integers", integers, 2);
  }
}

inline void PutBlock(Fields& f, const std::string& n, const MBlock& b) {
  f[n + ".kind"] = std::to_string(b.kind);
  if (b.kind == kEquationBlock) {
    Put(f, n + ".Color", b.Color), Put(f, n + ".Grain", b.Grain), Put(f, n + ".Opacity", b.Opacity);
    Put(f, n + ".PlottingMode", b.PlottingMode), Put(f, n + ".XYType", b.XYType);
    f[n + ".mathPaneSlider"] = std::to_string(b.mathPaneSlider);
    f[n + ".texture"] = PixelsOf(b.texture);
    std::unique_ptr<char[]> text(ExportTextFormatOfExpr(EquationTree(b), true));
    f[n + ".expression"] = text ? text.get() : "null";
  } else if (b.kind == kTextBlock) {
    f[n + ".text"] = b.text->Contents().toStdString();
    int i = 0;
    for (const TextStyleRun& run : b.text->StyleRuns())
      f[n + ".run" + std::to_string(i++)] =
          std::to_string(run.start) + "+" + std::to_string(run.length) + " " + run.family.toStdString() + " " +
          Num(run.size) + " " + std::to_string(run.bold) + std::to_string(run.italic) + std::to_string(run.underline);
  } else if (b.table) {
    f[n + ".table"] = std::to_string(b.table->fontSize) + " " + std::to_string(b.table->rowHeight) + " " +
                      std::to_string(b.table->displayRows);
    for (size_t c = 0; c < b.table->columns.size(); ++c)
      for (int32_t r = 0; r < b.table->columns[c].CellCount(); ++r)
        f[n + ".cell" + std::to_string(c) + "," + std::to_string(r)] = TableTextToUTF8(b.table->columns[c].Cell(r));
  }
}

inline Fields FieldsOf(const DocumentRecord& d) {
  const DocumentContents& c = d.fContents;
  Fields f;
  for (int i = 0; i < 4; ++i) f["windowRect[" + std::to_string(i) + "]"] = std::to_string(c.windowRect[i]);
  f["textEncoding"] = std::to_string(c.textEncoding);
  f["paneDivider"] = std::to_string(c.paneDivider);
  f["significantDigits"] = std::to_string(c.significantDigits);
  f["drawGraph"] = std::to_string(c.drawGraph);
  f["fontName"] = c.fontName;
  f["fontSize"] = std::to_string(c.fontSize);
  f["backgroundType"] = std::to_string(c.backgroundType);
  for (int i = 0; i < 3; ++i) f["backgroundColor[" + std::to_string(i) + "]"] = std::to_string(c.backgroundColor[i]);
  f["stackPanes"] = std::to_string(c.stackPanes);
  if (c.pageMargins)
    for (int i = 0; i < 4; ++i) f["pageMargins[" + std::to_string(i) + "]"] = std::to_string(c.pageMargins->fields[i]);
  Put(f, "sliderMinimum", c.sliderMinimum), Put(f, "sliderMaximum", c.sliderMaximum);
  f["sliderSteps"] = std::to_string(c.sliderSteps);
  f["sliderControlValue"] = std::to_string(c.sliderControlValue);
  f["animationRunning"] = std::to_string(c.animationRunning);
  f["sliderVariable"] = std::to_string(c.sliderVariable);
  f["sliderThrottle"] = std::to_string(c.sliderThrottle);
  f["sliderOneDirection"] = std::to_string(c.sliderOneDirection);
  f["sliderDirection"] = std::to_string(c.sliderDirection);
  f["useAntialiasing"] = std::to_string(c.useAntialiasing);
  if (c.printRecord) f["printRecord"] = std::string(static_cast<const char*>(c.printRecord->data), c.printRecord->size);
  for (int32_t i = 0; i < c.parameters.Count(); ++i)
    f["parameter" + std::to_string(i)] = std::to_string(c.parameters[i].name) + "=" + Num(c.parameters[i].value);
  for (int32_t i = 0; i < c.blocks.Count(); ++i) PutBlock(f, "block" + std::to_string(i), c.blocks[i]);
  PutPane(f, c.pane);
  for (const auto& [name, list] : {std::pair{"picture2D", &c.pictures2D}, std::pair{"picture2Dp", &c.pictures2Dp}})
    for (int32_t i = 0; i < list->Count(); ++i)
      f[name + std::to_string(i)] =
          PixelsOf((*list)[i].picture) + " at " + Num((*list)[i].first) + " " + Num((*list)[i].second);
  f["readSucceeded"] = std::to_string(c.readSucceeded);
  return f;
}

// The fields whose values differ, or that only one side has.
inline Fields Changed(const Fields& before, const Fields& after) {
  Fields changed;
  for (const auto& [name, value] : after) {
    const auto old = before.find(name);
    if (old == before.end() || old->second != value) changed[name] = value;
  }
  for (const auto& [name, value] : before)
    if (!after.count(name)) changed[name] = "<gone>";
  return changed;
}

}  // namespace document_fields
