#include "CoreUtilities/SystemInfo.h"

#include "platform/GuiApplication.h"

#include <QGuiApplication>
#include <QScreen>

#include <sys/utsname.h>

#include <fstream>
#include <string>

namespace {

constexpr size_t kMaxDisplays = 8;

// "key: value" lines of a /proc file, the keys given kept in file order;
// repeated keys (one per processor) counted once with their number.
std::string ProcFields(const char* path, std::initializer_list<std::string_view> keys) {
  std::ifstream file(path);
  std::string out;
  std::string first;
  int repeats = 0;
  for (std::string line; std::getline(file, line);) {
    for (std::string_view key : keys) {
      if (!line.starts_with(key)) continue;
      const size_t colon = line.find(':');
      if (colon == std::string::npos) continue;
      std::string value = line.substr(colon + 1);
      value.erase(0, value.find_first_not_of(" \t"));
      const std::string entry = "    " + std::string(key) + ": " + value + "\n";
      if (first.empty()) first = entry;
      if (entry == first) ++repeats;
      if (entry != first || repeats == 1) out += entry;
    }
  }
  if (repeats > 1) out += "    Count: " + std::to_string(repeats) + "\n";
  return out;
}

}  // namespace

std::string GetDisplayInfo() {
  std::string out;
  if (!EnsureGuiApplication()) return out;
  const QList<QScreen*> screens = QGuiApplication::screens();
  for (qsizetype i = 0; i < screens.size() && static_cast<size_t>(i) < kMaxDisplays; ++i) {
    const QSize size = screens[i]->size();
    out += "Display #" + std::to_string(i) + ": " + std::to_string(size.width()) + " x " +
           std::to_string(size.height()) + ". " + std::to_string(screens[i]->depth()) + " bits per pixel. ";
    if (screens[i] == QGuiApplication::primaryScreen()) out += "Main display. ";
    out += "\r";
  }
  return out;
}

std::string IndentReportLines(std::string_view report) {
  std::string out;
  while (!report.empty()) {
    const size_t end = std::min(report.find_first_of("\r\n"), report.size());
    const std::string_view line = report.substr(0, end);
    report.remove_prefix(std::min(end + 1, report.size()));
    const size_t indent = std::min(line.find_first_not_of(" \t"), line.size());
    if (indent == line.size()) continue;
    out.append(indent, ' ');
    out.append(line.substr(indent));
    out += '\r';
  }
  return out;
}

std::string OurGetSystemInfo() {
  std::string report = "Hardware:\n";
  struct utsname system;
  if (::uname(&system) == 0) {
    report += "    Kernel: " + std::string(system.sysname) + " " + system.release + "\n";
    report += "    Machine: " + std::string(system.machine) + "\n";
  }
  report += ProcFields("/proc/cpuinfo", {"model name"});
  report += ProcFields("/proc/meminfo", {"MemTotal"});
  return GetDisplayInfo() + "\r" + IndentReportLines(report);
}
