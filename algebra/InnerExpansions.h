#pragma once

#include "expression/ExpressionRecord.h"
#include "expression/OwnedTree.h"

#include <cstdint>
#include <vector>

// Powers of sums multiplied out inside the outermost power being multiplied
// out. Its rest is raised to every power below its exponent, and each of
// those raises its own rest again, so inner powers recur many times. Every
// inner power is worked on a detached copy, under the same switches, so its
// expansion cannot depend on where the outer power stands: one met a second
// time is kept, and copied from then on.
class InnerExpansions {
 public:
  // The first made on a thread is the outermost: inner expansions find it
  // through Open() until it goes.
  InnerExpansions();
  ~InnerExpansions();
  InnerExpansions(const InnerExpansions&) = delete;
  InnerExpansions& operator=(const InnerExpansions&) = delete;

  static InnerExpansions* Open();

  enum class Seen { kFirstTime, kSecondTime, kKept };
  // How often base^n was met before; *kept is its expansion when kept.
  Seen Meet(const ExpressionRecord* base, int32_t n, const ExpressionRecord** kept);
  // After the second meeting: keeps a copy of the expansion.
  void Keep(const ExpressionRecord* base, int32_t n, const ExpressionRecord* expansion);

 private:
  struct Expansion {
    Tree base;
    int32_t n;
    uint64_t switches;
    Tree expansion;  // null until met a second time
  };
  Expansion* Find(const ExpressionRecord* base, int32_t n);

  std::vector<Expansion> fMet;
  bool fOutermost;
};
