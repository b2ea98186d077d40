#include "document/DocumentTable.h"

#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/text/ReplacingDecoder.h"
#include "CoreUtilities/threads/ComputationDeadline.h"
#include "document/DocumentContents.h"
#include "expression/ExpressionParser.h"
#include "expression/OperatorKinds.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>

namespace {

constexpr int32_t kMostTableFontSize = 255;
constexpr size_t kCellsBetweenDeadlineLooks = 4096;

// A cell is a number when all of it, spaces around it aside, reads as one.
double CellNumber(const std::u16string& cell) {
  std::string ascii;
  for (char16_t c : cell) {
    if (c >= 0x80) return gNaN;
    ascii += static_cast<char>(c);
  }
  const size_t first = ascii.find_first_not_of(' ');
  if (first == std::string::npos) return gNaN;
  const size_t last = ascii.find_last_not_of(' ');
  const char* begin = ascii.data() + first;
  const char* end = ascii.data() + last + 1;
  if (*begin == '+') ++begin;
  double value = gNaN;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end) return gNaN;
  return value;
}

}  // namespace

void TableColumn::AppendCell(std::u16string text) {
  if (!fCells.empty()) fNumbers.push_back(CellNumber(text));
  fCells.push_back(std::move(text));
  fWidestFont.clear();
}

void TableColumn::SetCell(int32_t index, std::u16string text) {
  if (index < 0) return;
  while (CellCount() <= index) AppendCell(u"");
  if (index > 0) fNumbers[size_t(index - 1)] = CellNumber(text);
  fCells[size_t(index)] = std::move(text);
  fWidestFont.clear();
}

void TableColumn::Reserve(int32_t cells) {
  fCells.reserve(size_t(std::max(cells, 0)));
  fNumbers.reserve(size_t(std::max(cells - 1, 0)));
}

double TableColumn::WidestDataCell(const std::string& fontKey,
                                   const std::function<double(const std::u16string&)>& width) const {
  if (!fontKey.empty() && fontKey == fWidestFont) return fWidest;
  double widest = 0;
  for (size_t row = 1; row < fCells.size(); ++row) {
    // Past the drawing's deadline the cells measured so far decide, and
    // the column is measured again next time.
    if (row % kCellsBetweenDeadlineLooks == 0 && DrawingDeadlinePassed()) return widest;
    widest = std::max(widest, width(fCells[row]));
  }
  fWidest = widest;
  fWidestFont = fontKey;
  return fWidest;
}

const std::u16string& TableColumn::HeadingText() const {
  static const std::u16string kNoHeading;
  return fCells.empty() ? kNoHeading : fCells.front();
}

TableDataType TableColumn::GetDataType() const {
  for (size_t row = 0; row < fNumbers.size(); ++row)
    if (std::isnan(fNumbers[row]) && !fCells[row + 1].empty()) return kTextTableData;
  return kNumericTableData;
}

const UniChar* TableColumn::GetTableStringPtr(int32_t row) const {
  if (row < 0 || row >= DataRows()) return nullptr;
  return fCells[size_t(row) + 1].c_str();
}

double TableColumn::NumberAt(int32_t row) const {
  if (row < 0 || row >= DataRows()) return gNaN;
  return fNumbers[size_t(row)];
}

void TableColumn::ParseHeading() {
  fHeading.reset();
  fHeadingId = 0;
  const std::string text = TableTextToUTF8(HeadingText());
  if (text.empty()) return;
  fHeading.reset(CoreParseExpr(text.data(), static_cast<int32_t>(text.size())));
  const ExpressionRecord* name = fHeading.get();
  if (name && name->opcode == kOpEquals && name->operandCount == 2) name = name->operands[0];
  if (name && name->opcode == kOpAtom) fHeadingId = name->payload.id;
}

bool Table::StandsForMatrix() const {
  if (columns.size() < 2 || columns.front().HeadingText().empty()) return false;
  return std::all_of(columns.begin() + 1, columns.end(),
                     [](const TableColumn& column) { return column.HeadingText().empty(); });
}

int32_t Table::DataRows() const {
  int32_t rows = 0;
  for (const TableColumn& column : columns) rows = std::max(rows, column.DataRows());
  return rows;
}

int32_t Table::ShownRows() const { return displayRows > 0 ? std::min(DataRows(), displayRows) : DataRows(); }

int32_t Table::LastFirstShownRow() const { return DataRows() - ShownRows(); }

Table* CreateTable(DocumentRecord*) { return new (std::nothrow) Table; }

void DisposeTable(Table* table) { delete table; }

void AddTableCell(Table* table, const char* text, int32_t length, bool startNewColumn) {
  if (!table || !text || length < 0) return;
  if (startNewColumn || table->columns.empty()) {
    table->columns.emplace_back();
    // Columns mostly run as long as the one before.
    if (table->columns.size() > 1) table->columns.back().Reserve(table->columns[table->columns.size() - 2].CellCount());
  }
  table->columns.back().AppendCell(DecodeUTF8Replacing(text, static_cast<size_t>(length)));
}

void SetTableDefaults(MBlock& block) {
  DisposeBlockContents(block);
  block = MBlock{};
  block.kind = kTableBlock;
}

void SetTableFontSize(MBlock& block, int32_t size) {
  if (!block.table) return;
  const int32_t points = std::clamp(size, 1, kMostTableFontSize);
  block.table->fontSize = points;
  block.table->rowHeight = points + points / 2 + 2;
}

void SetTableDisplayRows(MBlock& block, int32_t rows) {
  if (block.table) block.table->displayRows = std::max(rows, 0);
}

std::string TableTextToUTF8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      continue;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
