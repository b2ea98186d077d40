#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/DemoCommands.h"

// One line of a demo script, read: tab-separated fields, first the action
// (command characters, then the text to type), then an animation range
// ("n=0,2,40") and a caption in single quotes, in any order. A field that
// cannot be read is left out and counted; the rest of the line stands.
struct DemoStep {
  struct Command {
    DemoCommand command;
    double number;
  };
  std::vector<Command> commands;
  // The characters to type; kDemoRightArrow stands for the right arrow.
  std::u32string typed;

  bool hasRange = false;
  char32_t rangeLetter = 0;
  double rangeMinimum = 0;
  double rangeMaximum = 0;
  int32_t rangeSteps = 0;  // kept to 1-200, as the slider's steps are

  // Without a caption field the line shown stays; an empty one clears it.
  bool hasCaption = false;
  std::u32string caption;

  int32_t badFields = 0;
};

DemoStep ReadDemoLine(std::u32string_view line);

// A script's lines, each without its line feed; a last line without one
// counts too, and an empty script has none.
std::vector<std::u32string> DemoScriptLines(std::u32string_view script);

// What the script is called in the menu: its first caption that is not
// empty; empty when it has none.
std::u32string DemoTitle(std::u32string_view script);
