#pragma once

#include <cstdint>

// What the demo player does for a command character. A step's action
// field begins with any run of them; what follows is typed, '%' typing the
// right arrow wherever it stands.
enum class DemoCommand : uint8_t {
  kNewDocument,    // every block goes: one empty formula, focused
  kNewEquation,    // a new empty formula below the focused one, as Return makes it
  kClearEquation,  // the focused formula emptied to its prompt
  kHoldView,       // the 3-D view stops spinning, so that a drag starts from stillness
  kTurnView,       // a drag across the shown 3-D or 4-D view turning it by n times 30 degrees
  kTiltView,       // a drag down the shown view tipping its top toward the viewer by n times 30 degrees
  kPause,          // the step holds n seconds longer before the next one starts
};

struct DemoCommandCharacter {
  char character;
  DemoCommand command;
  bool takesNumber;
};

inline constexpr DemoCommandCharacter kDemoCommands[] = {
    {'$', DemoCommand::kNewDocument, false},
    {'e', DemoCommand::kNewEquation, false},
    {'\x18', DemoCommand::kClearEquation, false},
    {'H', DemoCommand::kHoldView, false},
    {'V', DemoCommand::kTurnView, true},
    {'U', DemoCommand::kTiltView, true},
    {'T', DemoCommand::kPause, true},
};

// Typed as the right arrow: it leaves the template the caret is in.
inline constexpr char kDemoRightArrow = '%';

// A drag's turn per unit of its number, in degrees.
inline constexpr double kDemoTurnDegrees = 30;
