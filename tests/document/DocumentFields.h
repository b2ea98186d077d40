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

inline void PutPane(Fields& f, const GraphPaneSettings& p) {
  const bool flags[] = {p.axes2D, p.axes2Dp, p.graphPaper2D, p.graphPaper2Dp, p.axes3D, p.axes3Dp,
                        p.show4Daxes, p.show4DxyPlane};
  const char* flagNames[] = {"axes2D", "axes2Dp", "paper2D", "paper2Dp", "axes3D", "axes3Dp", "show4Daxes",
                             "show4DxyPlane"};
  for (int i = 0; i < 8; ++i) f[std::string("pane.") + flagNames[i]] = std::to_string(flags[i]);
  Put(f, "pane.spinAxis3D", p.spinAxis3D, 3), Put(f, "pane.spinSpeed3D", p.spinSpeed3D);
  Put(f, "pane.spinAxis3Dp", p.spinAxis3Dp, 3), Put(f, "pane.spinSpeed3Dp", p.spinSpeed3Dp);
  Put(f, "pane.axis1_4D", p.axis1_4D, 3), Put(f, "pane.axis2_4D", p.axis2_4D, 3);
  Put(f, "pane.speed1_4D", p.speed1_4D), Put(f, "pane.speed2_4D", p.speed2_4D), Put(f, "pane.depth4D", p.depth4D);
  for (const auto& [name, v] : {std::pair{"view2D", &p.view2D}, std::pair{"view2Dp", &p.view2Dp}}) {
    const std::string n = name;
    Put(f, n + ".t", v->t, 2), Put(f, n + ".r", v->r, 2), Put(f, n + ".theta", v->theta, 2);
    Put(f, n + ".scale", v->scale, 2), Put(f, n + ".bottomLeft", v->bottomLeft, 2);
    const double integers[] = {double(v->integers[0]), double(v->integers[1])};
    Put(f, n + ".integers", integers, 2);
  }
  for (const auto& [name, v] : {std::pair{"view3D", &p.view3D}, std::pair{"view3Dp", &p.view3Dp}}) {
    const std::string n = name;
    Put(f, n + ".view", v->view, 9), Put(f, n + ".x", v->x, 2), Put(f, n + ".y", v->y, 2), Put(f, n + ".z", v->z, 2);
    Put(f, n + ".depth", v->depth), Put(f, n + ".t", v->t, 2), Put(f, n + ".u", v->u, 2), Put(f, n + ".v", v->v, 2);
    Put(f, n + ".r", v->r, 2), Put(f, n + ".theta", v->theta, 2), Put(f, n + ".phi", v->phi, 2);
  }
  const View4DSettings& v = p.view4D;
  Put(f, "view4D.view", v.view, 16), Put(f, "view4D.t", v.t, 2), Put(f, "view4D.u", v.u, 2);
  Put(f, "view4D.v", v.v, 2), Put(f, "view4D.x", v.x, 2), Put(f, "view4D.y", v.y, 2), Put(f, "view4D.z", v.z, 2);
  Put(f, "view4D.w", v.w, 2);
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
      f[n + ".run" + std::to_string(i++)] = std::to_string(run.start) + "+" + std::to_string(run.length) + " " +
                                            run.family.toStdString() + " " + Num(run.size) + " " +
                                            std::to_string(run.bold) + std::to_string(run.italic) +
                                            std::to_string(run.underline);
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
  if (c.printRecord)
    f["printRecord"] = std::string(static_cast<const char*>(c.printRecord->data), c.printRecord->size);
  for (int32_t i = 0; i < c.parameters.Count(); ++i)
    f["parameter" + std::to_string(i)] = std::to_string(c.parameters[i].name) + "=" + Num(c.parameters[i].value);
  for (int32_t i = 0; i < c.blocks.Count(); ++i) PutBlock(f, "block" + std::to_string(i), c.blocks[i]);
  PutPane(f, c.pane);
  for (const auto& [name, list] : {std::pair{"picture2D", &c.pictures2D}, std::pair{"picture2Dp", &c.pictures2Dp}})
    for (int32_t i = 0; i < list->Count(); ++i)
      f[name + std::to_string(i)] = PixelsOf((*list)[i].picture) + " at " + Num((*list)[i].first) + " " +
                                    Num((*list)[i].second);
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
