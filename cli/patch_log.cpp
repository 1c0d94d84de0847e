#include "cli/patch_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tav {

namespace {

const char* OutcomeName(PatchOutcome outcome) {
  switch (outcome) {
    case PatchOutcome::Completed:
      return "complete";
    case PatchOutcome::NotRequired:
      return "not-required";
    case PatchOutcome::ForeignRadio:
      return "foreign";
    case PatchOutcome::NoContact:
      return "no-contact";
    case PatchOutcome::Stopped:
      return "stopped";
    case PatchOutcome::PortNotOpened:
    case PatchOutcome::Failed:
      break;
  }
  return "failed";
}

const char* WorkName(UnitWork work) {
  switch (work) {
    case UnitWork::NotRequired:
      return "not-required";
    case UnitWork::Patched:
      return "patched";
    case UnitWork::Failed:
      return "failed";
    case UnitWork::Skipped:
      break;
  }
  return "skipped";
}

// The date and time of a date code as the status area shows them: "12/15/2000  11:55:38".
std::string DateAndTime(std::string_view shown) {
  const auto equals = shown.find("= ");
  return std::string(equals == std::string_view::npos ? shown : shown.substr(equals + 2));
}

std::string CodeColumn(const UnitReport& unit, const std::optional<DateCode>& typed) {
  if (unit.codeRead) return DateAndTime(unit.codeText);
  if (typed) return "typed:" + DateAndTime(DateCodeText("", *typed));
  return {};
}

}  // namespace

std::string PatchLogHeader() {
  return "time,port,core_code,control_code,core,control,outcome,seconds,version\r\n";
}

std::string PatchLogLine(const PatchLogEntry& entry, std::string_view version) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", entry.seconds);
  const std::string fields[] = {
      LocalIsoTime(entry.started),
      entry.port,
      CodeColumn(entry.report.core, entry.typedCore),
      CodeColumn(entry.report.control, entry.typedControl),
      WorkName(entry.report.core.work),
      WorkName(entry.report.control.work),
      OutcomeName(entry.report.outcome),
      seconds,
      std::string(version),
  };
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += ',';
    line += CsvField(field);
  }
  return line + "\r\n";
}

std::string LocalIsoTime(std::time_t moment) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  char text[40];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  // strftime gives the offset as +hhmm; the extended format wants +hh:mm.
  if (length < 5) return std::string(text, length);
  std::string iso(text, length - 2);
  iso += ':';
  iso.append(text + length - 2, 2);
  return iso;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

PatchLog::PatchLog(const std::string& path, std::ostream& err) : path_(path), err_(err) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    GiveUp(std::strerror(errno));
  } else if (::isatty(fd_)) {
    // A terminal may be the radio's own port: text on it would reach the radio.
    GiveUp("it is a terminal device");
  }
}

PatchLog::~PatchLog() {
  if (fd_ >= 0) ::close(fd_);
}

void PatchLog::Append(const std::string& line) {
  if (fd_ < 0) return;
  struct stat status {};
  const std::string text =
      ::fstat(fd_, &status) == 0 && status.st_size == 0 ? PatchLogHeader() + line : line;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      GiveUp(n < 0 ? std::strerror(errno) : "nothing was written");
      return;
    }
    done += static_cast<std::size_t>(n);
  }
}

void PatchLog::GiveUp(const std::string& why) {
  err_ << "tavpatch: cannot write the patch log " << path_ << ": " << why
       << "; the runs go on without it\n";
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tav
