// Reads a document file and writes it back out in the document format.
#include "tools/DocumentFile.h"
#include "CoreUtilities/files/SafeSave.h"
#include "app/AppHooks.h"
#include "document/DocumentHooks.h"
#include "document/DocumentRecord.h"
#include "document/DocumentWriter.h"

#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
  InstallDocumentHooks();
  InstallAppHooks();
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: zl_document_rewrite in.zlf [out.zlf]\n";
    return 2;
  }
  const auto document = ReadDocumentFile(argv[1]);
  if (!document) return 1;
  const auto written = WriteDocumentText(*document);
  if (!written) {
    std::cerr << "not written\n";
    return 1;
  }
  if (argc == 3) {
    if (const OSErr error = SafeSave(argv[2], *written); error != kNoErr) {
      std::cerr << "cannot write " << argv[2] << ": " << FileErrorReason(error) << '\n';
      return 1;
    }
    return 0;
  }
  std::cout << *written;
  return 0;
}
