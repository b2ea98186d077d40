#pragma once

#include <initializer_list>
#include <random>
#include <string>
#include <vector>

// Formulas as text, every composite in brackets; leaves are drawn now and
// then from a pool of subformulas so that a group repeats itself.
class FormulaMaker {
 public:
  explicit FormulaMaker(uint32_t seed) : fRandom(seed) {}

  void NewPool() {
    fPool.clear();
    fPoolDecides.clear();
    for (int i = 0; i < 4; ++i) {
      fDecides = false;
      fPool.push_back(Make(2, "", false));
      fPoolDecides.push_back(fDecides);
    }
  }

  // Whether the formula made since the last call holds a comparison or a
  // minimum or maximum: there NaN turns into a truth value, which the
  // interval conventions treat differently.
  bool TakeDecides() {
    const bool decides = fDecides;
    fDecides = false;
    return decides;
  }

  // A comparison directly inside a comparison would read as one chain.
  std::string Make(int depth, const std::string& indices, bool comparison = true) {
    if (depth <= 0 || Chance(0.2)) return Leaf(indices);
    if (!fPool.empty() && Chance(0.15)) {
      const size_t i = Below(fPool.size());
      fDecides = fDecides || fPoolDecides[i];
      return fPool[i];
    }
    auto sub = [&] { return Make(depth - 1, indices); };
    switch (Below(24)) {
      case 0:
      case 1: return "(" + sub() + " + " + sub() + ")";
      case 2: return "(" + sub() + " - " + sub() + ")";
      case 3:
      case 4: return "(" + sub() + " * " + sub() + ")";
      case 5: return "(" + sub() + " / " + sub() + ")";
      case 6: return Power(depth, indices);
      case 7:
        return Pick({"sin", "cos", "tan", "atan", "exp", "ln", "log", "sqrt", "abs", "floor", "ceil", "sgn", "sinh",
                     "tanh", "cot"}) +
               "(" + sub() + ")";
      case 8: return Pick({"log", "sqrt"}) + "(" + sub() + ", " + Pick({"2", "3", "(1 + x * x)"}) + ")";
      case 9: return "mod(" + sub() + ", " + Pick({"2", "0.75", "y"}) + ")";
      case 10:
        fDecides = true;
        return Pick({"min", "max"}) + "(" + sub() + ", " + sub() + (Chance(0.5) ? ", " + sub() : "") + ")";
      case 11: return comparison ? Comparison(depth, indices) : Leaf(indices);
      case 12: return "if(" + sub() + ", " + Comparison(depth, indices) + ")";
      case 13:
      case 14: return Branch(depth, indices);
      case 15:
      case 16:
      case 17: return Loop(depth, indices);
      case 18: return "(" + sub() + " + " + sub() + " + " + sub() + ")";
      case 19: return "(" + sub() + ")!";
      default: return Leaf(indices);
    }
  }

  double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(fRandom); }

 private:
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(fRandom) < p; }
  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(fRandom); }
  std::string Pick(std::initializer_list<const char*> choices) { return *(choices.begin() + Below(choices.size())); }

  std::string Leaf(const std::string& indices) {
    if (!indices.empty() && Chance(0.4)) return std::string(1, indices[Below(indices.size())]);
    return Pick({"x",     "y",   "z",  "w", "u", "v", "n",   "a",      "b", "j", "k",   "r",
                 "theta", "phi", "pi", "e", "2", "3", "0.5", "(-1.5)", "0", "1", "7.25"});
  }

  std::string Power(int depth, const std::string& indices) {
    const std::string base = Make(depth - 1, indices);
    switch (Below(6)) {
      case 0: return "(" + base + " ^ 2)";
      case 1: return "(e ^ " + Make(depth - 1, indices) + ")";
      case 2: return "(" + base + " ^ (" + Pick({"1", "2", "-1"}) + " / " + Pick({"3", "2", "5"}) + "))";
      case 3: return "(" + base + " ^ (-(1 / " + Pick({"3", "2"}) + ")))";
      case 4: return "(" + base + " ^ " + Pick({"3", "0.5", "(-3)"}) + ")";
      default: return "(" + base + " ^ " + Make(depth - 1, indices) + ")";
    }
  }

  std::string Comparison(int depth, const std::string& indices) {
    fDecides = true;
    const std::string relation = Pick({" < ", " > ", " = ", "leq", "geq"});
    const int terms = Chance(0.3) ? 3 : 2;
    std::string text = "(" + Make(depth - 1, indices, false);
    if (relation == "leq" || relation == "geq") {
      text = relation + text;
      for (int i = 1; i < terms; ++i) text += ", " + Make(depth - 1, indices, false);
      return text + ")";
    }
    for (int i = 1; i < terms; ++i) text += relation + Make(depth - 1, indices, false);
    return text + ")";
  }

  std::string Branch(int depth, const std::string& indices) {
    std::string text = "branch(";
    const int cases = 1 + static_cast<int>(Below(3));
    for (int i = 0; i < cases; ++i)
      text += (i ? ", " : "") + ("if(" + Make(depth - 1, indices) + ", " + Comparison(depth, indices) + ")");
    if (Chance(0.6)) text += ", " + Make(depth - 1, indices);
    return text + ")";
  }

  std::string Loop(int depth, const std::string& indices) {
    std::string index;
    for (char c : std::string("ijk"))
      if (indices.find(c) == std::string::npos) index = std::string(1, c);
    if (index.empty()) return Leaf(indices);
    const std::string start = Pick({"1", "0", "2", "(-1)", "floor(x)"});
    const std::string end = Pick({"3", "4", "1", "0", "(floor(y) + 2)", "2.5"});
    return std::string(Chance(0.7) ? "sum(" : "product(") + Make(depth - 1, indices + index) + ", " + index + " = " +
           start + ", " + end + ")";
  }

  std::mt19937 fRandom;
  std::vector<std::string> fPool;
  std::vector<bool> fPoolDecides;
  bool fDecides = false;
};
