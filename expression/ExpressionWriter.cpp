#include "expression/ExpressionWriter.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/text/NumberText.h"
#include "CoreUtilities/text/OurString.h"
#include "expression/ExportBuffer.h"
#include "expression/OperatorTable.h"
#include "expression/ParseNames.h"
#include "expression/SymbolTable.h"

#include <cmath>
#include <memory>
#include <new>

namespace {

// How tightly a written node holds together, as the grammar's precedence.
enum Binding : int {
  kCommaBinding = 1,
  kRelationBinding = 2,
  kSumBinding = 3,
  kProductBinding = 4,
  kPrefixBinding = 5,
  kPowerBinding = 6,
  kPostfixBinding = 7,
  kSubscriptBinding = 8,
  kPrimaryBinding = 9,
};

bool IsNegativeNumber(const ExpressionRecord* node) {
  return node->opcode == kOpNumber && node->payload.number && std::signbit(node->payload.number->value) &&
         !std::isnan(node->payload.number->value);
}

Binding BindingOf(const ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpComma: return kCommaBinding;
    case kOpEquals:
    case kOpLess:
    case kOpGreater: return kRelationBinding;
    case kOpPlus: return kSumBinding;
    case kOpTimes:
    case kOpOver: return kProductBinding;
    case kOpMinus: return kPrefixBinding;
    case kOpPower: return kPowerBinding;
    case kOpFact: return kPostfixBinding;
    case kOpIndexes: return kSubscriptBinding;
    case kOpNumber: return IsNegativeNumber(node) ? kPrefixBinding : kPrimaryBinding;
    default: return kPrimaryBinding;
  }
}

// Lists whose nested lists of the same kind the parser merges anyway.
bool IsInfixChain(OpCodeT kind) {
  return kind == kOpPlus || kind == kOpTimes || kind == kOpEquals || kind == kOpComma || kind == kOpLess ||
         kind == kOpGreater;
}

// A one-operand call whose comma argument the parser keeps as one operand.
bool KeepsCommaArgument(const ExpressionRecord* node) {
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  return node->operandCount == 1 && info &&
         (info->arity == 1 || node->opcode == kOpOpTotal || node->opcode == kOpOpPartial);
}

class Writer {
 public:
  explicit Writer(bool brackets) : fBrackets(brackets) {}

  bool Write(const ExpressionRecord* node) {
    if (!node) {
      PrintChr('?');
      return true;
    }
    if (MATH_MemCheckInRecursion() != 0) return false;
    switch (node->opcode) {
      case kOpNumber: WriteNumber(node); return true;
      case kOpPrompt: PrintChr('?'); return true;
      case kOpAtom: return WriteAtom(node->payload.id);
      case kOpString: WriteQuoted(node->text); return true;
      case kOpIndexes: return WriteSubscript(node);
      case kOpPlus: return WriteSum(node);
      case kOpTimes: return WriteInfix(node, '*', kProductBinding);
      case kOpEquals: return WriteInfix(node, '=', kRelationBinding);
      case kOpComma: return WriteInfix(node, ',', kCommaBinding);
      case kOpLess: return WriteInfix(node, '<', kRelationBinding);
      case kOpGreater: return WriteInfix(node, '>', kRelationBinding);
      case kOpOver: return WriteInfix(node, '/', kProductBinding);
      case kOpPower: return WritePower(node);
      case kOpFact: return Operand(node, 0, kPostfixBinding) && (PrintChr('!'), true);
      case kOpMinus: PrintChr('-'); return Operand(node, 0, kPrefixBinding);
      case kOpId: return WriteGrouped(node);
      case kOpMatrix: return WriteMatrix(node);
      default: return WriteCall(node);
    }
  }

 private:
  const ExpressionRecord* OperandAt(const ExpressionRecord* node, int32_t i) {
    return node->operands && i < node->operandCount ? node->operands[i] : nullptr;
  }

  bool Parenthesised(const ExpressionRecord* node) {
    PrintChr('(');
    const bool written = Write(node);
    PrintChr(')');
    return written;
  }

  // Operand i, in parentheses when it binds more loosely than `least`.
  bool Operand(const ExpressionRecord* node, int32_t i, Binding least) {
    const ExpressionRecord* operand = OperandAt(node, i);
    if (operand && BindingOf(operand) < least) return Parenthesised(operand);
    return Write(operand);
  }

  void WriteNumber(const ExpressionRecord* node) {
    const double x = node->payload.number ? node->payload.number->value : 0.0;
    if (std::isnan(x)) return PrintStr("NaN");
    if (std::isinf(x)) return PrintStr(x > 0 ? "Infinity" : "-Infinity");
    UniChar text[kNumberTextCapacity];
    OurDoubleToString(text, x, 16);
    if (OurStringToDouble(text) != x) OurDoubleToString(text, x, 17);
    PrintStr(text);
  }

  void WriteQuotedBytes(const char* bytes, char quote) {
    PrintChr(quote);
    for (; *bytes; ++bytes) {
      if (*bytes == quote) PrintChr(quote);
      PrintChr(*bytes);
    }
    PrintChr(quote);
  }

  void WriteQuoted(const UniChar* text) {
    PrintChr('"');
    for (const UniChar* c = text; c && *c; ++c) {
      const UniChar single[2] = {*c, 0};
      if (*c == u'"') PrintChr('"');
      if (*c >= 0xD800 && *c <= 0xDBFF && c[1] >= 0xDC00 && c[1] <= 0xDFFF) {
        const UniChar pair[3] = {c[0], c[1], 0};
        PrintStr(pair);
        ++c;
      } else {
        PrintStr(single);
      }
    }
    PrintChr('"');
  }

  // False only when memory for a long name ran out.
  bool WriteAtom(int32_t id) {
    if (id < 128 && ((id >= 'a' && id <= 'z') || (id >= 'A' && id <= 'Z'))) {
      PrintChr(static_cast<char>(id));
      return true;
    }
    for (int32_t i = 0; i < gNumSpecialSymbols; ++i) {
      if (gSpecialSymbolInfo[i].variableId == id) {
        PrintStr(gSpecialSymbolInfo[i].name);
        return true;
      }
    }
    if (const char* primed = PrimedCoordinateName(id)) {
      WriteQuotedBytes(primed, '\'');
      return true;
    }
    if (id > 0 && id < 128) {
      // One-character names are their own ids.
      const char name[2] = {static_cast<char>(id), 0};
      WriteQuotedBytes(name, '\'');
      return true;
    }
    const UniChar* name = GetVariableStringFromID(id);
    const size_t size = OurStringSizeForEncoding(name, kEncodingUTF8);
    const std::unique_ptr<char[]> utf8(size > 0 ? new (std::nothrow) char[size] : nullptr);
    if (!utf8) return false;
    OurStringToCString(name, utf8.get(), size, kEncodingUTF8);
    WriteQuotedBytes(utf8.get(), '\'');
    return true;
  }

  bool WriteSubscript(const ExpressionRecord* node) {
    for (int32_t i = 0; i < 2; ++i) {
      if (i == 1) PrintChr('_');
      const ExpressionRecord* part = OperandAt(node, i);
      const bool wrap = part && (part->operandCount > 0 || IsNegativeNumber(part));
      if (!(wrap ? Parenthesised(part) : Write(part))) return false;
    }
    return true;
  }

  bool WriteSum(const ExpressionRecord* node) {
    for (int32_t i = 0; i < node->operandCount; ++i) {
      const ExpressionRecord* operand = OperandAt(node, i);
      if (i > 0 && !(operand && operand->opcode == kOpMinus)) PrintChr('+');
      if (!WriteListOperand(node, i, kSumBinding)) return false;
    }
    return true;
  }

  bool WriteInfix(const ExpressionRecord* node, char separator, Binding binding) {
    for (int32_t i = 0; i < node->operandCount; ++i) {
      if (i > 0) PrintChr(separator);
      if (!WriteListOperand(node, i, binding)) return false;
    }
    return true;
  }

  // A left-associative operand: later ones of equal binding but another
  // kind would regroup, so they are wrapped.
  bool WriteListOperand(const ExpressionRecord* node, int32_t i, Binding binding) {
    const ExpressionRecord* operand = OperandAt(node, i);
    if (!operand) return Write(operand);
    const Binding own = BindingOf(operand);
    const bool sameChain = operand->opcode == node->opcode && IsInfixChain(node->opcode);
    const bool wrap = own < binding || (i > 0 && own == binding && !sameChain);
    return wrap ? Parenthesised(operand) : Write(operand);
  }

  bool WritePower(const ExpressionRecord* node) {
    if (!Operand(node, 0, kPostfixBinding)) return false;
    PrintChr('^');
    const ExpressionRecord* exponent = OperandAt(node, 1);
    const bool wrap =
        exponent && (exponent->opcode == kOpPlus || exponent->opcode == kOpTimes || exponent->opcode == kOpOver ||
                     exponent->opcode == kOpMinus || BindingOf(exponent) < kPrefixBinding);
    return wrap ? Parenthesised(exponent) : Write(exponent);
  }

  bool WriteGrouped(const ExpressionRecord* node) {
    PrintChr(fBrackets ? '[' : '(');
    const bool written = Write(OperandAt(node, 0));
    PrintChr(fBrackets ? ']' : ')');
    return written;
  }

  // Arguments of a call; commas among them are wrapped unless the call
  // keeps its one comma argument whole.
  bool WriteArguments(const ExpressionRecord* node, int32_t first) {
    const bool keepComma = KeepsCommaArgument(node);
    for (int32_t i = first; i < node->operandCount; ++i) {
      if (i > first) PrintChr(',');
      const ExpressionRecord* operand = OperandAt(node, i);
      const bool wrap = operand && operand->opcode == kOpComma && !keepComma;
      if (!(wrap ? Parenthesised(operand) : Write(operand))) return false;
    }
    return true;
  }

  bool WriteMatrix(const ExpressionRecord* node) {
    const MatrixShape shape = node->payload.shape;
    if (shape.columns == 1) {
      PrintStr("vector(");
    } else {
      PrintStr(gOpInfo[kOpMatrix - kFirstOperatorKind].name);
      PrintChr('(');
      UniChar count[kNumberTextCapacity];
      PrintStr(OurDoubleToString(count, shape.rows, 16));
      PrintChr(',');
      PrintStr(OurDoubleToString(count, shape.columns, 16));
      PrintChr(',');
    }
    // Every element is its own list item, so a comma element is wrapped.
    for (int32_t i = 0; i < node->operandCount; ++i) {
      if (i > 0) PrintChr(',');
      const ExpressionRecord* element = OperandAt(node, i);
      const bool wrap = element && element->opcode == kOpComma;
      if (!(wrap ? Parenthesised(element) : Write(element))) return false;
    }
    PrintChr(')');
    return true;
  }

  bool WriteCall(const ExpressionRecord* node) {
    if (const OperatorInfo* info = FindOperatorInfo(node->opcode)) {
      PrintStr(info->name);
    } else {
      PrintChr('?');  // internal kinds have no text form
    }
    PrintChr('(');
    if (!WriteArguments(node, 0)) return false;
    PrintChr(')');
    return true;
  }

  bool fBrackets;
};

}  // namespace

void WriteTextExpr(const ExpressionRecord* expr, bool brackets) { Writer(brackets).Write(expr); }

char* ExportTextFormatOfExpr(const ExpressionRecord* expr, bool brackets) {
  if (!BeginExportTextFormat()) {
    QueueError(kOutOfMemoryError);
    return nullptr;
  }
  const bool written = Writer(brackets).Write(expr);
  PrintChr('\0');
  char* text = EndExportTextFormat();
  if (written || !text) return text;
  delete[] text;
  QueueError(kOutOfMemoryError);
  return nullptr;
}
