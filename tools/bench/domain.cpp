// The domain action at scale, through the fake Windows' latency: 500 computers, every fifth of
// which takes 2 s to fail while the others take 50 ms to succeed, asked on real threads while
// the window's thread keeps handling messages. Prints the wall time beside the best possible
// schedule with MaxConcurrentRequests at a time and beside the one-at-a-time time, and the
// longest gap between two rounds of message handling. Not a test: tools/bench/domain.sh runs it.

#include "actions/domain_action.h"
#include "actions/request_batch.h"
#include "platform/fake/fake.h"
#include "settings/settings.h"
#include "ui/headless/script.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ComputerCount = 500;
constexpr int SlowEvery = 5;
constexpr std::uint32_t SlowMilliseconds = 2000;
constexpr std::uint32_t FastMilliseconds = 50;
constexpr win::ErrorCode SlowError = 53; // the network path was not found
constexpr double WallTarget = 1.25;
constexpr double GapTargetMilliseconds = 100;

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

} // namespace

int main() {
  fake::ResetWorld();
  ui::headless::Reset();
  fake::World& world = fake::TheWorld();
  world.realThreads = true;
  std::vector<platform::NetEntry> servers;
  int slow = 0;
  for (int i = 0; i < ComputerCount; ++i) {
    const std::string name = "\\\\PC" + std::to_string(i);
    servers.push_back({win::ResourceDisplayTypeServer, name});
    const bool isSlow = i % SlowEvery == 0;
    world.requestMilliseconds[name] = isSlow ? SlowMilliseconds : FastMilliseconds;
    if (isSlow) {
      world.refusingComputers[name] = SlowError;
      ++slow;
    }
  }
  world.enumBatches = {servers};

  Clock::time_point lastRound = Clock::now();
  Clock::duration longestGap{};
  ui::headless::WhileProcessingMessages([&] {
    const Clock::time_point now = Clock::now();
    longestGap = std::max(longestGap, now - lastRound);
    lastRound = now;
  });

  Settings settings;
  SetDefaultSettings(settings);
  settings.ShowRemoteWarning = 0;
  const Clock::time_point start = Clock::now();
  lastRound = start;
  RunDomainAction(settings, false);
  const double wall = Seconds(Clock::now() - start);

  // The best any schedule can do with this many at a time: the slow requests spread evenly over
  // the slots, and the whole work shared by them, whichever is longer.
  const int fast = ComputerCount - slow;
  const double slots = static_cast<double>(MaxConcurrentRequests);
  const double slowRounds =
      static_cast<double>((slow + MaxConcurrentRequests - 1) / MaxConcurrentRequests);
  const double total = (slow * SlowMilliseconds + fast * FastMilliseconds) / 1000.0;
  const double best = std::max(slowRounds * SlowMilliseconds / 1000.0, total / slots);
  const double gap = Seconds(longestGap) * 1000.0;
  const DomainOutcome& outcome = LastDomainOutcome();

  std::printf("computers %d (%d fail after %u ms, %d succeed after %u ms), %zu at a time\n",
              ComputerCount, slow, SlowMilliseconds, fast, FastMilliseconds, MaxConcurrentRequests);
  std::printf("asked %zu, failed %zu\n", outcome.asked, outcome.failures.size());
  std::printf("wall time %.2f s; best possible %.2f s (ratio %.3f, target %.2f); one at a "
              "time %.0f s\n",
              wall, best, wall / best, WallTarget, total);
  std::printf("longest gap in message handling %.1f ms (target below %.0f ms)\n", gap,
              GapTargetMilliseconds);
  const bool within = wall <= WallTarget * best && gap < GapTargetMilliseconds &&
                      outcome.asked == static_cast<std::size_t>(ComputerCount) &&
                      outcome.failures.size() == static_cast<std::size_t>(slow);
  std::printf("%s\n", within ? "within the targets" : "OUTSIDE the targets");
  return within ? 0 : 1;
}
