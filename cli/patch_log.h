#pragma once
// --log FILE: a depot's record of the radios it patched, one CSV line (RFC 4180: fields quoted
// where they need it, lines ended by CR LF) per run that opened the port, a header line first
// when the file is new.

#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "run/date_code.h"
#include "run/patch_report.h"

namespace tav {

struct PatchLogEntry {
  std::time_t started = 0;
  std::string port;  // COMn, the device path, or simulated:SCENARIO
  PatchReport report;
  // Date codes the technician typed because the radio did not give them.
  std::optional<DateCode> typedCore, typedControl;
  double seconds = 0;  // on the run's own clock
};

// "time,port,core_code,control_code,core,control,outcome,seconds,version" and CR LF.
std::string PatchLogHeader();
// The entry's line, CR LF included.
std::string PatchLogLine(const PatchLogEntry& entry, std::string_view version);

// The moment in local time, ISO 8601 with its offset: "2026-12-11T15:04:05+01:00".
std::string LocalIsoTime(std::time_t moment);
// text as one CSV field: quoted, with its quotes doubled, when it holds a comma, a quote, CR
// or LF.
std::string CsvField(std::string_view text);

// The log file, open for appending from the start of the program, so that a log that cannot
// be written is known before the first radio. Every trouble is told once on err; the runs go
// on without the log.
class PatchLog {
 public:
  PatchLog(const std::string& path, std::ostream& err);
  ~PatchLog();
  PatchLog(const PatchLog&) = delete;
  PatchLog& operator=(const PatchLog&) = delete;

  // Appends the line (after the header when the file is empty) in one write, so that it is in
  // the file when this returns.
  void Append(const std::string& line);

 private:
  void GiveUp(const std::string& why);

  std::string path_;
  std::ostream& err_;
  int fd_ = -1;
};

}  // namespace tav
