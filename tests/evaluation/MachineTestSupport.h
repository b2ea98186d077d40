#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/ProgramText.h"

inline std::unique_ptr<AStackMachine> Program(const std::string& text) {
  std::string error;
  auto machine = AssembleProgram(text, &error);
  EXPECT_NE(machine, nullptr) << error;
  return machine;
}

// Runs the program over a zero-filled array with the given leading slots.
template <typename T>
T RunWith(const AStackMachine& machine, std::vector<T> leading = {}) {
  std::vector<T> slots(static_cast<size_t>(machine.VariableSlotCount()) + 4, T{});
  for (size_t i = 0; i < leading.size(); ++i) slots[i] = leading[i];
  if constexpr (std::is_same_v<T, double> || std::is_same_v<T, Complex>) {
    return machine.Run(slots.data(), nullptr);
  } else {
    return machine.Run(slots.data());
  }
}

template <typename T>
T RunText(const std::string& text, std::vector<T> leading = {}) {
  auto machine = Program(text);
  return RunWith<T>(*machine, std::move(leading));
}

// Runs the program with x in slot 3, where the first variable lives.
template <typename T>
T RunAtX(const std::string& text, const T& x) {
  return RunText<T>(text, {T{}, T{}, T{}, x});
}
