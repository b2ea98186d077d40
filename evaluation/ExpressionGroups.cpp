#include <iterator>

#include "evaluation/ColorEquations.h"
#include "evaluation/AnExpression.h"
#include "evaluation/StackMachine.h"

// The flags written here are atomics that running evaluations poll, and
// the programs they live in are not replaced while evaluations run, so a
// graph may cancel or invalidate its expressions while its jobs compute.

namespace {

template <size_t N, typename Group>
void InGroupsOfFive(AColorEquations* colour, AnExpression* const (&list)[N], Group group) {
  for (size_t first = 0; first < N; first += 5) {
    AnExpression* five[5] = {};
    for (size_t i = 0; i < 5 && first + i < N; ++i) five[i] = list[first + i];
    group(first == 0 ? colour : nullptr, five[0], five[1], five[2], five[3], five[4]);
  }
}

}  // namespace

void AnExpression::SetCancel(bool cancel) {
  const int32_t flag = cancel ? 1 : 0;
  if (fPointMachine != nullptr) fPointMachine->fCancel.store(flag, std::memory_order_release);
  if (fGridMachine != nullptr) fGridMachine->fCancel.store(flag, std::memory_order_release);
}

bool AnExpression::IsCancelled() const {
  return fPointMachine != nullptr && fPointMachine->fCancel.load(std::memory_order_acquire) != 0;
}

void AnExpression::InvalConstants() {
  fPointConstants.InvalConstants();
  fGridConstants.InvalConstants();
}

void AnExpression::Cancel(AColorEquations* colour, AnExpression* e1, AnExpression* e2, AnExpression* e3,
                          AnExpression* e4, AnExpression* e5) {
  if (colour != nullptr) AColorEquations::Cancel(colour);
  for (AnExpression* e : {e1, e2, e3, e4, e5}) {
    if (e != nullptr) e->SetCancel(true);
  }
}

void AnExpression::Cancel(AColorEquations* colour, AnExpression* const (&list)[9]) {
  InGroupsOfFive(colour, list, [](auto... a) { Cancel(a...); });
}

void AnExpression::Cancel(AColorEquations* colour, AnExpression* const (&list)[13]) {
  InGroupsOfFive(colour, list, [](auto... a) { Cancel(a...); });
}

void AnExpression::ClearCancelFlag(AColorEquations* colour, AnExpression* e1, AnExpression* e2, AnExpression* e3,
                                   AnExpression* e4, AnExpression* e5) {
  if (colour != nullptr) AColorEquations::ClearCancelFlag(colour);
  for (AnExpression* e : {e1, e2, e3, e4, e5}) {
    if (e != nullptr) e->SetCancel(false);
  }
}

void AnExpression::ClearCancelFlag(AColorEquations* colour, AnExpression* const (&list)[9]) {
  InGroupsOfFive(colour, list, [](auto... a) { ClearCancelFlag(a...); });
}

void AnExpression::ClearCancelFlag(AColorEquations* colour, AnExpression* const (&list)[13]) {
  InGroupsOfFive(colour, list, [](auto... a) { ClearCancelFlag(a...); });
}

void AnExpression::InvalConstants(AColorEquations* colour, AnExpression* e1, AnExpression* e2, AnExpression* e3,
                                  AnExpression* e4, AnExpression* e5) {
  if (colour != nullptr) AColorEquations::InvalConstants(colour);
  for (AnExpression* e : {e1, e2, e3, e4, e5}) {
    if (e != nullptr) e->InvalConstants();
  }
}

void AnExpression::InvalConstants(AColorEquations* colour, AnExpression* const (&list)[13]) {
  InGroupsOfFive(colour, list, [](auto... a) { InvalConstants(a...); });
}
