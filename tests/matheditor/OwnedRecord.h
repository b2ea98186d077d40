#pragma once

#include <memory>

#include "expression/MathEditRecord.h"

// A formula record a test made, disposed with it.
struct RecordDeleter {
  void operator()(MERecord* record) const { MEDispose(record); }
};
using OwnedRecord = std::unique_ptr<MERecord, RecordDeleter>;
