#include "app/HeadlessExport.h"

#include <cstdio>

int RunHeadlessExport(int, char**) {
  std::fputs("zl: export is not built yet\n", stderr);
  return 1;
}
