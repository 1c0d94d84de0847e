#pragma once
// The built tavpatch run as a user runs it: its own process, standard input, output and error
// on pipes, the port setting file redirected into a directory of the test's own.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace tav::test {

struct Finished {
  int exitStatus = -1;  // the status passed to exit, or -1 when a signal ended the process
  int signal = 0;
  std::string out;
  std::string err;
};

class ChildProcess {
 public:
  // Starts tavpatch with the arguments; TAVPATCH_PORT_FILE names portFile.
  ChildProcess(const std::vector<std::string>& arguments, const std::string& portFile);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void Type(std::string_view input);
  void CloseInput();
  // Collects output until it holds `text` (counted from the start); false when the program
  // ended or the safety limit ran out first.
  bool WaitForOutput(std::string_view text,
                     std::chrono::milliseconds limit = std::chrono::seconds(60));
  // The same for standard error.
  bool WaitForError(std::string_view text,
                    std::chrono::milliseconds limit = std::chrono::seconds(60));
  void Signal(int signalNumber);
  // Everything the program wrote and how it ended; a program still running after the safety
  // limit is killed.
  Finished Wait(std::chrono::milliseconds limit = std::chrono::seconds(120));
  const std::string& OutputSoFar() const { return out_; }

 private:
  // Reads what is available within `wait`; false once both output pipes have ended.
  bool Collect(std::chrono::milliseconds wait);
  bool WaitFor(const std::string& collected, const int& fd, std::string_view text,
               std::chrono::milliseconds limit);

  pid_t pid_ = -1;
  int input_ = -1, output_ = -1, error_ = -1;
  std::string out_, err_;
};

// Runs tavpatch to its end with this standard input (then end of input).
Finished RunTavpatch(const std::vector<std::string>& arguments, std::string_view input,
                     const std::string& portFile);

// A fresh directory for one test's files, removed with its contents when it goes.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  std::string Path(std::string_view name) const;

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);

}  // namespace tav::test
