#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tav::test {

namespace {

void Pipe(int ends[2]) {
  if (::pipe(ends) != 0) throw std::runtime_error("pipe");
  for (int i = 0; i < 2; ++i) ::fcntl(ends[i], F_SETFD, FD_CLOEXEC);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::string& portFile) {
  int in[2], out[2], err[2];
  Pipe(in);
  Pipe(out);
  Pipe(err);
  std::vector<std::string> words = {TAVPATCH_PATH};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(in[0], STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    ::setenv("TAVPATCH_PORT_FILE", portFile.c_str(), 1);
    ::signal(SIGINT, SIG_DFL);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  input_ = in[1];
  output_ = out[0];
  error_ = err[0];
  ::signal(SIGPIPE, SIG_IGN);  // a program that has ended stops reading its input
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  for (int fd : {input_, output_, error_}) {
    if (fd >= 0) ::close(fd);
  }
}

void ChildProcess::Type(std::string_view input) {
  while (!input.empty()) {
    const ssize_t n = ::write(input_, input.data(), input.size());
    if (n <= 0) return;
    input.remove_prefix(static_cast<std::size_t>(n));
  }
}

void ChildProcess::CloseInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

bool ChildProcess::Collect(std::chrono::milliseconds wait) {
  pollfd fds[2] = {{output_, POLLIN, 0}, {error_, POLLIN, 0}};
  const int ready = ::poll(fds, 2, static_cast<int>(wait.count()));
  if (ready < 0) return errno == EINTR;
  bool open = false;
  for (int i = 0; i < 2; ++i) {
    int& fd = i == 0 ? output_ : error_;
    if (fd < 0) continue;
    if (fds[i].revents != 0) {
      char chunk[4096];
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n > 0) {
        (i == 0 ? out_ : err_).append(chunk, static_cast<std::size_t>(n));
      } else {
        ::close(fd);
        fd = -1;
        continue;
      }
    }
    open = true;
  }
  return open;
}

bool ChildProcess::WaitFor(const std::string& collected, const int& fd, std::string_view text,
                           std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (collected.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline || fd < 0) return false;
    Collect(std::chrono::milliseconds(50));
  }
  return true;
}

bool ChildProcess::WaitForOutput(std::string_view text, std::chrono::milliseconds limit) {
  return WaitFor(out_, output_, text, limit);
}

bool ChildProcess::WaitForError(std::string_view text, std::chrono::milliseconds limit) {
  return WaitFor(err_, error_, text, limit);
}

void ChildProcess::Signal(int signalNumber) { ::kill(pid_, signalNumber); }

Finished ChildProcess::Wait(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool killed = false;
  while (output_ >= 0 || error_ >= 0) {
    if (!killed && std::chrono::steady_clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      killed = true;
    }
    Collect(std::chrono::milliseconds(50));
  }
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  Finished finished;
  finished.out = out_;
  finished.err = err_;
  if (WIFEXITED(status)) finished.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) finished.signal = WTERMSIG(status);
  return finished;
}

Finished RunTavpatch(const std::vector<std::string>& arguments, std::string_view input,
                     const std::string& portFile) {
  ChildProcess child(arguments, portFile);
  child.Type(input);
  child.CloseInput();
  return child.Wait();
}

ScratchDirectory::ScratchDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tavpatch-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
  path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDirectory::Path(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace tav::test
