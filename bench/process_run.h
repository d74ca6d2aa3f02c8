// Running a benchmark's child process to its end: wall time from spawn to
// exit and the child's own peak memory, as wait4 reports it. Linux gives a
// spawned child at least its parent's peak, so a benchmark that compares
// processes keeps its own memory small and prints it as the floor.
#pragma once

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench/stats.h"

extern char** environ;

namespace bench {

struct Run {
  double seconds = 0;
  double cpuSeconds = 0;     // user and system time of the child
  double systemSeconds = 0;  // of which in the kernel
  long maxRssKb = 0;
};

// False when the program cannot start or does not exit with 0.
inline bool Spawn(const std::vector<std::string>& argv, Run* run) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  run->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run->maxRssKb = usage.ru_maxrss;
  auto toSeconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  run->cpuSeconds = toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
  run->systemSeconds = toSeconds(usage.ru_stime);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Series {
  std::vector<double> seconds;
  std::vector<double> cpuSeconds;
  std::vector<double> systemSeconds;
  long peakRssKb = 0;

  void Add(const Run& run) {
    seconds.push_back(run.seconds);
    cpuSeconds.push_back(run.cpuSeconds);
    systemSeconds.push_back(run.systemSeconds);
    peakRssKb = std::max(peakRssKb, run.maxRssKb);
  }
  double Median() const { return bench::Median(seconds); }
  double MedianCpu() const { return bench::Median(cpuSeconds); }
  double MedianSystem() const { return bench::Median(systemSeconds); }
  double Fastest() const { return seconds.empty() ? 0 : *std::min_element(seconds.begin(), seconds.end()); }
  double Slowest() const { return seconds.empty() ? 0 : *std::max_element(seconds.begin(), seconds.end()); }
};

}  // namespace bench
