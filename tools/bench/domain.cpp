// The domain action at scale, through the fake Windows' latency on real threads: 50,000
// computers, from one directory container or from the browse list, every fifth of which takes
// 20 ms to fail while the others take 5 ms to succeed. Prints the wall time beside the best
// possible schedule with MaxConcurrentRequests at a time, the longest gap between two rounds of
// the window's message handling, the time from the last answer to the end of the run (the
// outcome and the result window), the time until the first request (finding the computers),
// the peak memory, and how many of the requests' lines the results log holds. The memory target
// is for the program's part of the peak: what the fake holds for its own sake (the scripted
// computers and directory, and the log file it keeps in memory where Windows writes to disk) is
// printed and left out. Not a test:
// tools/bench/domain.sh runs it, once for each source of names.

#include "actions/domain_action.h"
#include "actions/request_batch.h"
#include "actions/results_log.h"
#include "platform/fake/fake.h"
#include "settings/settings.h"
#include "ui/headless/script.h"

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ComputerCount = 50'000;
constexpr int SlowEvery = 5;
constexpr std::uint32_t SlowMilliseconds = 20;
constexpr std::uint32_t FastMilliseconds = 5;
constexpr win::ErrorCode SlowError = 53; // the network path was not found
constexpr double WallTarget = 1.10;
constexpr double GapTargetMilliseconds = 50;
constexpr double EndTargetMilliseconds = 50;
constexpr double BrowsePlanningTargetSeconds = 0.5;
constexpr long PeakMemoryTargetKilobytes = 64 * 1024;
constexpr char Container[] = "OU=Lab,DC=bench,DC=example";
constexpr char ListPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.computers.txt";
constexpr char LogPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.log";

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// The request lines of the log, its run's cancel and container lines left aside.
std::size_t RequestLinesLogged(const fake::World& world) {
  const auto found = world.files.find(LogPath);
  if (found == world.files.end()) {
    return 0;
  }
  const std::string text(found->second.begin(), found->second.end());
  const std::string marker = std::string("\t") + LogDomainShutdown + "\t";
  std::size_t lines = 0;
  for (std::size_t at = text.find(marker); at != std::string::npos;
       at = text.find(marker, at + 1)) {
    lines += text.compare(at + marker.size(), 2, "-\t") != 0 ? 1 : 0;
  }
  return lines;
}

} // namespace

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int main(int argc, char** argv) {
  const long bare = PeakKilobytes();
  const bool fromDirectory = argc > 1 && std::string(argv[1]) == "directory";
  fake::ResetWorld();
  ui::headless::Reset();
  fake::World& world = fake::TheWorld();
  world.realThreads = true;
  world.recordCalls = false;
  std::vector<platform::NetEntry> servers;
  int slow = 0;
  for (int i = 0; i < ComputerCount; ++i) {
    const std::string host = "pc" + std::to_string(i);
    std::string name = "\\\\PC" + std::to_string(i);
    if (fromDirectory) {
      name = host + ".lab.bench.example";
      world.directory.objects.push_back({Container, host, name});
    } else {
      servers.push_back({win::ResourceDisplayTypeServer, name});
    }
    const bool isSlow = i % SlowEvery == 0;
    world.requestMilliseconds[name] = isSlow ? SlowMilliseconds : FastMilliseconds;
    if (isSlow) {
      world.refusingComputers[name] = SlowError;
      ++slow;
    }
  }
  if (fromDirectory) {
    world.directory.containers = {Container};
    const std::string list = std::string("LDAP://dc1/") + Container + "\r\n";
    world.files[ListPath].assign(list.begin(), list.end());
  } else {
    world.enumBatches = {servers};
  }

  Clock::time_point lastRound = Clock::now();
  Clock::duration longestGap{};
  ui::headless::WhileProcessingMessages([&] {
    const Clock::time_point now = Clock::now();
    longestGap = std::max(longestGap, now - lastRound);
    lastRound = now;
  });
  std::atomic<bool> firstAsked{false};
  std::atomic<Clock::rep> firstRequest{0};
  world.onShutdownRequest = [&](const std::string&) {
    if (!firstAsked.exchange(true)) {
      firstRequest = Clock::now().time_since_epoch().count();
    }
  };
  Clock::time_point resultShown;
  ui::headless::OnNextModal([&resultShown](ui::Form&) {
    resultShown = Clock::now();
    return ui::ModalResult::Ok;
  });

  Settings settings;
  SetDefaultSettings(settings);
  settings.ShowRemoteWarning = 0;
  const long scripted = PeakKilobytes() - bare;
  const Clock::time_point start = Clock::now();
  lastRound = start;
  RunDomainAction(settings, true);
  const Clock::time_point end = Clock::now();
  fake::JoinReleasedThreads();
  const DomainOutcome& outcome = LastDomainOutcome();

  // The best any schedule can do with this many at a time: the whole work shared by the slots.
  const int fast = ComputerCount - slow;
  const double slots = static_cast<double>(MaxConcurrentRequests);
  const double total = (slow * SlowMilliseconds + fast * FastMilliseconds) / 1000.0;
  const double best = total / slots;
  const double planning =
      Milliseconds(Clock::duration(firstRequest.load()) - start.time_since_epoch()) / 1000.0;
  const double wall = Milliseconds(end - start) / 1000.0;
  const double requests = wall - planning;
  const double gap = Milliseconds(longestGap);
  const double ending = Milliseconds(end - lastRound);
  const double showing = Milliseconds(resultShown - lastRound);
  const long peak = PeakKilobytes();
  const long logFile = static_cast<long>(world.files[LogPath].capacity() / 1024);
  const long programPeak = peak - scripted - logFile;
  const std::size_t logged = RequestLinesLogged(world);

  std::printf("%d computers from the %s (%d fail after %u ms, %d succeed after %u ms), %zu at a "
              "time\n",
              ComputerCount, fromDirectory ? "directory" : "browse list", slow, SlowMilliseconds,
              fast, FastMilliseconds, MaxConcurrentRequests);
  std::printf("asked %zu, failed %zu\n", outcome.asked, outcome.failures.size());
  std::printf("finding the computers %.2f s%s\n", planning,
              fromDirectory ? "" : " (target below 0.5 s)");
  std::printf("requests %.2f s; best possible %.2f s (ratio %.3f, target %.2f)\n", requests, best,
              requests / best, WallTarget);
  std::printf("longest gap in message handling %.1f ms (target below %.0f ms)\n", gap,
              GapTargetMilliseconds);
  std::printf("end of the run %.1f ms, result window shown after %.1f ms (target below %.0f ms)\n",
              ending, showing, EndTargetMilliseconds);
  std::printf("peak memory %.1f MB, the program's part %.1f MB (target below %.0f MB); the fake's "
              "scripted world %.1f MB, its log file in memory %.1f MB\n",
              peak / 1024.0, programPeak / 1024.0, PeakMemoryTargetKilobytes / 1024.0,
              scripted / 1024.0, logFile / 1024.0);
  std::printf("request lines in the log %zu of %d (bound %llu bytes)\n", logged, ComputerCount,
              static_cast<unsigned long long>(MaxResultsLogSize));
  const bool within = requests <= WallTarget * best && gap < GapTargetMilliseconds &&
                      ending < EndTargetMilliseconds &&
                      (fromDirectory || planning < BrowsePlanningTargetSeconds) &&
                      programPeak < PeakMemoryTargetKilobytes &&
                      outcome.asked == static_cast<std::size_t>(ComputerCount) &&
                      outcome.failures.size() == static_cast<std::size_t>(slow) &&
                      logged == static_cast<std::size_t>(ComputerCount);
  std::printf("%s\n", within ? "within the targets" : "OUTSIDE the targets");
  return within ? 0 : 1;
}
