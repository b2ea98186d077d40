#include "app/DocumentFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <limits>

#include "CoreUtilities/files/SafeSave.h"
#include "document/DocumentReading.h"
#include "document/DocumentStatements.h"
#include "document/DocumentRecord.h"
#include "document/DocumentWriter.h"
#include "platform/PosixFiles.h"

namespace {

constexpr int32_t kNotADocument = 41;
constexpr int32_t kCannotOpen = 42;
constexpr int32_t kDiskFull = 43;
constexpr int32_t kDiskLocked = 44;
constexpr int32_t kCannotSave = 45;

// The whole file, or false when any read fails.
bool ReadWholeFile(const std::string& path, std::string* bytes) {
  const int fd = PosixOpen(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) return false;
  char buffer[65536];
  ssize_t n;
  while ((n = PosixRead(fd, buffer, sizeof buffer)) > 0) bytes->append(buffer, static_cast<size_t>(n));
  PosixClose(fd);
  return n == 0;
}

}  // namespace

int32_t SaveFailureMessage(OSErr error) {
  switch (error) {
    case kDiskFullErr: return kDiskFull;
    case kWriteProtectedErr:
    case kFileLockedErr:
    case kPermissionErr: return kDiskLocked;
    default: return kCannotSave;
  }
}

std::string SaveFailureReason(OSErr error) {
  if (error == kNoErr || SaveFailureMessage(error) != kCannotSave) return {};
  return AsSentence(FileErrorReason(error));
}

std::string AsSentence(std::string text) {
  if (text.empty()) return text;
  text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text + ".";
}

OpenedDocument OpenDocumentFile(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) return {nullptr, kCannotOpen};
  if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return {nullptr, kNotADocument};
  const int32_t refusedBefore = RefusedSettingCount();
  auto document = ReadDocumentText(bytes.data(), static_cast<int32_t>(bytes.size()));
  if (!document) return {nullptr, kNotADocument};
  document->fModified = false;
  return {std::move(document), 0, RefusedSettingCount() - refusedBefore};
}

std::string RefusedSettingsText(int32_t count) {
  return std::to_string(count) + (count == 1 ? " setting holds" : " settings hold") +
         " numbers no view can use (NaN, infinite, past 1e300, or a box or depth the view cannot draw)";
}

int32_t SaveDocumentFile(DocumentRecord& document, const std::string& path, OSErr* error) {
  const std::optional<std::string> text = WriteDocumentText(document);
  if (!text) return kCannotSave;
  // The save runs on the window's thread: a pipe that stops reading is
  // given up after the safe save's stall, and the window answers again.
  const OSErr saved = SafeSave(path, *text);
  if (error) *error = saved;
  if (saved != kNoErr) return SaveFailureMessage(saved);
  document.fModified = false;
  return 0;
}

std::string WithDocumentExtension(const std::string& path) {
  constexpr std::string_view kExtension = ".zlf";
  if (path.size() >= kExtension.size() &&
      path.compare(path.size() - kExtension.size(), kExtension.size(), kExtension) == 0)
    return path;
  return path + std::string(kExtension);
}
