#include "CoreUtilities/text/InternedStrings.h"

#include "CoreUtilities/text/OurString.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

struct InternedTable {
  std::mutex mutex;
  // Keys are copied, so a caller's buffer need not outlive its lookup.
  std::unordered_map<std::string, std::unique_ptr<UniChar[]>> texts;
};

InternedTable& Table() {
  // Never destroyed: pointers handed out, some during static
  // initialisation, must stay valid until the process ends.
  static InternedTable* const table = new InternedTable;
  return *table;
}

const UniChar* LookUp(const char* key, OurStringEncoding encoding) {
  if (!key) key = "";
  InternedTable& table = Table();
  std::lock_guard lock(table.mutex);
  std::unique_ptr<UniChar[]>& text = table.texts[key];
  if (!text) {
    text = std::make_unique<UniChar[]>(std::strlen(key) + 1);
    OurCStringToString(key, text.get(), encoding);
  }
  return text.get();
}

}  // namespace

const UniChar* OurLocalizedStringFromKey(const char* key) { return LookUp(key, kEncodingUTF8); }

const UniChar* OurInternCString(const char* key) { return LookUp(key, kEncodingASCII); }
