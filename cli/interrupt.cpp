#include "cli/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "cli/exit_status.h"

namespace tav {

namespace {

std::atomic<int> interruptCount{0};
std::atomic<bool> interruptPending{false};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");

constexpr char kNotice[] = "\ntavpatch: stopping the run; press Ctrl-C again to quit at once.\n";

extern "C" void OnInterrupt(int signalNumber) {
  // A second request quits at once, with the status a shell gives a program that this signal
  // ended (130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP).
  if (interruptCount.fetch_add(1) > 0) _exit(kExitQuitAtOnceBase + signalNumber);
  interruptPending.store(true);
  const ssize_t ignored = write(STDERR_FILENO, kNotice, sizeof kNotice - 1);
  (void)ignored;
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // Restarted calls keep the port's reads and writes whole; the prompts wait in poll(), which
  // a signal always interrupts, so a Ctrl-C still ends a prompt.
  action.sa_flags = SA_RESTART;
  // A shutdown (SIGTERM) and a closed terminal (SIGHUP) ask the run to stop as Ctrl-C does,
  // rather than ending it in the middle of a flash write.
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    sigaction(signalNumber, &action, nullptr);
  }
  // Output to a reader that has gone away (a closed pipe) must not end a run half-way through a
  // flash write: the writes fail and the run goes on to its end.
  signal(SIGPIPE, SIG_IGN);
}

bool InterruptRequested() { return interruptCount.load() > 0; }

void DeliverPendingInterrupt(ProcessState& state) {
  if (interruptPending.exchange(false)) state.abortFlag.store(true);
}

}  // namespace tav
