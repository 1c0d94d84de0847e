// Loading each of the five S-record resources into its image, beside Debian's srec_cat
// reading the same file (srecord package) in the same run. srec_cat is a process of its own,
// so its time includes starting it; SrecCatStartUp (a file of one end record) shows that part.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

#include "image/built_in_resources.h"
#include "image/resource_ids.h"
#include "image/s19_image.h"

extern char** environ;

namespace tav {
namespace {

struct Resource {
  std::uint16_t id;
  const char* file;
  bool ram;
};

constexpr Resource kResources[] = {
    {kControlHeadLoaderResource, "ctlflash.s19", true},
    {kControlHeadFirmwareResource, "ctlfirm.s19", false},
    {kCoreLoaderResource, "corflash.s19", true},
    {kTalkThroughResource, "talkthru.s19", true},
    {kCoreFirmwareResource, "corfirm.s19", false},
};

void LoadOnce(const Resource& resource) {
  S19Image image;
  const int result =
      resource.ram ? image.Load(BuiltInResources(), resource.id, kRamWindowBase, kRamWindowSize)
                   : image.Load(BuiltInResources(), resource.id, 0x8000, 0x8000);
  benchmark::DoNotOptimize(result);
  benchmark::DoNotOptimize(image.usedCount);
}

// Seconds one load takes, timed over enough loads to be steady.
double SecondsPerLoad(const Resource& resource) {
  constexpr int kLoads = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kLoads; ++i) LoadOnce(resource);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kLoads;
}

bool RunSrecCat(const std::string& path) {
  const char* argv[] = {
      "srec_cat", "-disable-sequence-warnings", path.c_str(), "-o", "/dev/null", "-binary",
      nullptr};
  // Its warnings (no data in the start-up file) are not wanted among the figures.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned =
      posix_spawnp(&child, "srec_cat", &quiet, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return false;
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Load(benchmark::State& state) {
  const Resource& resource = kResources[state.range(0)];
  state.SetLabel(resource.file);
  for (auto _ : state) LoadOnce(resource);
}
BENCHMARK(Load)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// srec_cat on the same file; counter srec_cat_per_load: its time over one load of ours,
// measured in this same run.
void SrecCat(benchmark::State& state) {
  const Resource& resource = kResources[state.range(0)];
  state.SetLabel(resource.file);
  const std::string path = std::string(TAV_RESOURCE_DIR) + "/" + resource.file;
  const double ours = SecondsPerLoad(resource);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    if (!RunSrecCat(path)) {
      state.SkipWithError("srec_cat failed (install the srecord package)");
      return;
    }
  }
  const double theirs =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
      static_cast<double>(state.iterations());
  state.counters["srec_cat_per_load"] = theirs / ours;
}
BENCHMARK(SrecCat)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

void SrecCatStartUp(benchmark::State& state) {
  const std::string path = std::string(TAV_BINARY_DIR) + "/end-record-only.s19";
  std::ofstream(path) << "S9030000FC\n";
  for (auto _ : state) {
    if (!RunSrecCat(path)) {
      state.SkipWithError("srec_cat failed (install the srecord package)");
      return;
    }
  }
}
BENCHMARK(SrecCatStartUp)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tav
