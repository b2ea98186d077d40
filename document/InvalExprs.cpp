#include "document/InvalExprs.h"

#include "document/DocumentRecord.h"

void InvalExprs(DocumentRecord* document) {
  if (document) document->fModified = true;
}
