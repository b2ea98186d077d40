#include <cstdio>
#include <cstring>

#include "app/HeadlessExport.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--export") == 0) return RunHeadlessExport(argc, argv);
  std::fputs("zl: the document window is not built yet; only --export is available\n", stderr);
  return 1;
}
