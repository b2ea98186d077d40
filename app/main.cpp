#include <cstring>

#include "app/Application.h"
#include "app/HeadlessExport.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--export") == 0) return RunHeadlessExport(argc, argv);
  return RunApplication(argc, argv);
}
