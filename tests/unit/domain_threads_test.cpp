// The domain action on real threads, as the program runs it: the answers posted to the window's
// thread, Cancel and Exit at every step. tools/test.sh runs these under ThreadSanitizer too.

#include "actions/directory_computers.h"
#include "actions/domain_action.h"
#include "actions/remote_shutdown.h"
#include "actions/request_batch.h"
#include "common/texts.h"
#include "ui/application.h"
#include "ui_world.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char ListPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.computers.txt";
constexpr char LogPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.log";
constexpr char LabOu[] = "OU=Lab,DC=corp,DC=example";

// A gate a fake call waits at until the test opens it, as a server that doesn't answer.
class Gate {
public:
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    reached_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }
  bool Reached() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return reached_;
  }
  void Open() {
    const std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool reached_ = false;
  bool open_ = false;
};

class DomainThreadsTest : public WindowsTest {
protected:
  void SetUp() override {
    WindowsTest::SetUp();
    gate = std::make_shared<Gate>();
    world().realThreads = true;
    SetActionRoutines({.confirmByWarningCountdown = ConfirmByWarningCountdown,
                       .remoteShutdownByName = RemoteShutdownByName,
                       .domainShutdown = DomainShutdown,
                       .refuseRemoteAction = RefuseWhileDomainActionRuns});
    AppSettings.ShowWarning = 0;
    AppSettings.ShowRemoteWarning = 0;
  }
  void TearDown() override {
    gate->Open();
    fake::JoinReleasedThreads();
    WindowsTest::TearDown();
  }
  void Servers(int count, std::uint32_t milliseconds) {
    std::vector<platform::NetEntry> servers;
    for (int i = 0; i < count; ++i) {
      const std::string name = "\\\\PC" + std::to_string(i);
      servers.push_back({win::ResourceDisplayTypeServer, name});
      world().requestMilliseconds[name] = milliseconds;
    }
    servers.push_back({win::ResourceDisplayTypeServer, "\\\\WORKSTATION"});
    world().enumBatches = {servers};
  }
  std::vector<std::string> Asked() {
    std::vector<std::string> names;
    for (const std::string& call : fake::CallsNamed({"InitiateSystemShutdownA"})) {
      names.push_back(call.substr(call.find('(') + 1, call.find(',') - call.find('(') - 1));
    }
    return names;
  }
  std::string Log() {
    const auto& bytes = world().files[LogPath];
    return std::string(bytes.begin(), bytes.end());
  }
  // Runs `action` from the window's thread, as a click would, once `ready` holds.
  void WhenReady(std::function<bool()> ready, std::function<void()> action) {
    ui::headless::WhileProcessingMessages([ready, action, done = false]() mutable {
      if (!done && ready()) {
        done = true;
        action();
      }
    });
  }
  void ClickCancel() {
    auto* progress = static_cast<TFDomainProgress*>(ui::headless::FindForm("TFDomainProgress"));
    ASSERT_NE(progress, nullptr);
    ui::headless::Click(progress->BCancel);
  }
  std::shared_ptr<Gate> gate;
};

TEST_F(DomainThreadsTest, EveryComputerOnceThisOneLastEachAnswerLogged) {
  Servers(40, 5);
  world().refusingComputers = {{"\\\\PC3", 53}};
  EXPECT_EQ(DomainShutdown(AppSettings), 0);
  const std::vector<std::string> asked = Asked();
  ASSERT_EQ(asked.size(), 41u);
  EXPECT_EQ(std::set<std::string>(asked.begin(), asked.end()).size(), 41u) << "each once";
  EXPECT_EQ(asked.back(), "\\\\WORKSTATION");
  const DomainOutcome& outcome = LastDomainOutcome();
  EXPECT_EQ(outcome.asked, 41u);
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].name, "\\\\PC3");
  EXPECT_FALSE(outcome.cancelled);
  EXPECT_NE(Log().find("\t\\\\WORKSTATION\t0\t"), std::string::npos);
}

// Cancel at each step: while the directory is read (its bind held), while the requests run, and
// during this computer's own request, the last.
TEST_F(DomainThreadsTest, CancelEndsEveryStepAndIsACancelOnlyWhenAComputerWasLeftUnasked) {
  enum class Step { Planning, Requests, OwnRequest };
  struct Case {
    Step step;
    bool cancelled;
    bool ownAsked;
    const char* logged; // the log's cancel line, or none
  };
  const Case cases[] = {
      {Step::Planning, true, false, "\t-\t1223\tCancelled while finding the computers to ask"},
      {Step::Requests, true, false, " computers were not asked."},
      {Step::OwnRequest, false, true, nullptr},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    Servers(64, 20);
    world().directory.containers = {LabOu};
    world().directory.objects = {{LabOu, "LAB-1"}};
    world().files[ListPath] = {};
    const std::string list = "LDAP://dc1/OU=Lab,DC=corp,DC=example\n";
    world().files[ListPath].assign(list.begin(), list.end());
    if (c.step == Step::Planning) {
      world().directory.onBind = [gate = gate] { gate->Wait(); };
      WhenReady([gate = gate] { return gate->Reached(); }, [this] { ClickCancel(); });
    } else if (c.step == Step::Requests) {
      WhenReady([this] { return Asked().size() >= 20; }, [this] { ClickCancel(); });
    } else {
      world().requestMilliseconds["\\\\WORKSTATION"] = 200;
      WhenReady([this] { return Asked().size() == 66; }, [this] { ClickCancel(); });
    }
    const Clock::time_point start = Clock::now();
    DomainShutdown(AppSettings);
    const DomainOutcome outcome = LastDomainOutcome();
    EXPECT_EQ(outcome.cancelled, c.cancelled) << static_cast<int>(c.step);
    EXPECT_EQ(DomainExitCode(outcome), c.cancelled ? win::ErrorCancelled : win::ErrorSuccess);
    const std::vector<std::string> asked = Asked();
    EXPECT_EQ(!asked.empty() && asked.back() == "\\\\WORKSTATION", c.ownAsked);
    if (c.step == Step::Planning) {
      EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
      EXPECT_TRUE(asked.empty());
      // The directory still holds its bind; a new run is not refused meanwhile.
      world().directory.onBind = nullptr;
      world().files.erase(ListPath);
      EXPECT_EQ(RunAction(ActionDomainShutdown, AppSettings), 1);
      EXPECT_FALSE(Asked().empty());
    }
    if (c.step == Step::Requests) {
      EXPECT_GT(outcome.notAsked, 0u);
      EXPECT_EQ(outcome.asked + outcome.notAsked, outcome.computers);
      EXPECT_NE(Log().find("Cancelled: " + std::to_string(outcome.notAsked) + " of 66"),
                std::string::npos);
    }
    EXPECT_EQ(c.logged != nullptr && Log().find(c.logged) != std::string::npos, c.logged != nullptr)
        << Log();
    EXPECT_EQ(Log().find("1223") != std::string::npos, c.cancelled);
  }
}

TEST_F(DomainThreadsTest, ExitDuringARunEndsItWithinTheExitWaitWhateverTheRequestsInFlight) {
  Servers(20, 20);
  world().requestMilliseconds["\\\\PC1"] = 4000;
  WhenReady([this] { return Asked().size() >= 3; }, [] { EndDomainActionForExit(); });
  const Clock::time_point start = Clock::now();
  DomainShutdown(AppSettings);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(ExitWaitMilliseconds + 500));
  EXPECT_TRUE(LastDomainOutcome().cancelled);
  EXPECT_FALSE(DomainActionRunning());
}

TEST_F(DomainThreadsTest, AContainerReadIsBoundedAndGivesUpOnCancel) {
  struct Case {
    bool cancel;
    std::uint32_t ldapError;
    const char* text;
  };
  const Case cases[] = {{false, win::LdapTimeout, "Timeout"},
                        {true, win::LdapUserCancelled, "User Cancelled"}};
  for (const Case& c : cases) {
    world().directory.containers = {LabOu};
    world().directory.onBind = [gate = gate] { gate->Wait(); };
    std::atomic<bool> cancelled{c.cancel};
    const Clock::time_point start = Clock::now();
    const DirectoryComputers found =
        ReadDirectoryComputersWithin({"dc1", LabOu}, AppSettings, 300, cancelled);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(found.ldapError, c.ldapError);
    EXPECT_EQ(found.errorText, c.text);
    EXPECT_TRUE(found.names.empty());
    // The read given up ends once the server answers.
    gate->Open();
    fake::JoinReleasedThreads();
    gate = std::make_shared<Gate>();
  }
}

TEST(RequestBatchThreads, AtMostSixteenInFlightEachOnceAnswersInBatchesAndCancelStartsNoMore) {
  fake::ResetWorld();
  fake::TheWorld().realThreads = true;
  for (const bool cancel : {false, true}) {
    std::atomic<int> inFlight{0};
    std::atomic<int> mostInFlight{0};
    std::vector<std::atomic<int>> calls(200);
    std::atomic<RequestBatch*> self{nullptr};
    std::mutex mutex;
    std::condition_variable told;
    int notices = 0;
    RequestBatch batch(
        calls.size(),
        [&](std::size_t position) {
          const int now = ++inFlight;
          int seen = mostInFlight.load();
          while (now > seen && !mostInFlight.compare_exchange_weak(seen, now)) {
          }
          ++calls[position];
          if (cancel && position == 20) {
            self.load()->Cancel();
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
          --inFlight;
          return RequestOutcome{position % 3 != 0, position % 3 != 0 ? 0u : 53u};
        },
        [&] {
          const std::lock_guard<std::mutex> lock(mutex);
          ++notices;
          told.notify_all();
        });
    self = &batch;
    batch.Start();
    std::set<std::size_t> answered;
    std::size_t failed = 0;
    // Every answer is taken once the end is known: the end comes after the last one.
    for (bool ended = false; !ended;) {
      ended = batch.Ended();
      std::unique_lock<std::mutex> lock(mutex);
      told.wait_for(lock, std::chrono::milliseconds(ended ? 0 : 100), [&] { return notices > 0; });
      notices = 0;
      lock.unlock();
      for (const RequestBatch::Answer& answer : batch.TakeAnswers()) {
        EXPECT_TRUE(answered.insert(answer.position).second) << answer.position;
        failed += answer.outcome.ok ? 0 : 1;
      }
    }
    fake::JoinReleasedThreads();
    EXPECT_LE(mostInFlight.load(), static_cast<int>(MaxConcurrentRequests));
    for (std::size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].load(), answered.count(i) != 0 ? 1 : 0) << i;
    }
    if (cancel) {
      // Only those already taken by a worker still ran.
      EXPECT_LE(answered.size(), 21u + MaxConcurrentRequests);
    } else {
      EXPECT_EQ(answered.size(), calls.size());
      EXPECT_EQ(failed, 67u);
    }
  }
}

} // namespace
