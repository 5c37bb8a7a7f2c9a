#include "actions/domain_abort.h"

#include "actions/local_power.h"
#include "actions/request_batch.h"
#include "actions/results_log.h"
#include "common/text.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/threads.h"
#include "ui/application.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The workers tell the main window that answers wait; without a window to tell, the window's
// thread looks this often.
constexpr std::uint32_t WM_ABORTANSWERS = ui::WmApp + 112;
constexpr std::uint32_t WaitWithoutWindowMilliseconds = 50;
constexpr std::uint32_t MillisecondsPerSecond = 1000;
// A damaged line may be megabytes long; the log names it by its start.
constexpr std::size_t MaxLoggedLineLength = 255;
constexpr char CutMark[] = "...";
constexpr std::size_t TextCapacity = 512;

// The domain run being asked, or the last one, as far as its abort needs it.
struct RunRecord {
  bool open = false;
  const char* action = LogDomainShutdown;
  std::uint32_t startTick = 0;
  std::uint32_t warnMilliseconds = 0; // how long the computers asked count down
  std::vector<std::string> asked;     // those that took the request
  std::uint32_t lastAnswerTick = 0;   // when the last of them did
};

RunRecord Record;
bool AbortRunning = false;

template <typename... Values> std::string Formatted(const char* format, Values... values) {
  char text[TextCapacity];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

std::string Shortened(const std::string& line) {
  return line.size() <= MaxLoggedLineLength ? line : line.substr(0, MaxLoggedLineLength) + CutMark;
}

std::size_t AskableCount(const DomainPlan& plan) {
  std::size_t count = 0;
  for (const ListedComputer& computer : plan.computers) {
    count += computer.possible ? 1 : 0;
  }
  return count;
}

RunSources SourcesOf(const DomainPlan& plan) {
  RunSources sources;
  for (const ListedComputer& computer : plan.computers) {
    if (computer.possible) {
      ++(computer.line == 0 ? sources.browsed : sources.listed);
    }
  }
  sources.containers = plan.containers;
  return sources;
}

// What the list gave besides computers to ask, in the log the next morning reads: a list that
// could not be read, containers that could not be read, and lines that can't be a computer name.
void LogListProblems(const char* action, const DomainPlan& plan) {
  std::vector<LoggedRequest> lines;
  if (plan.listUnreadable) {
    lines.push_back({ComputerListFileName, plan.listError, SystemErrorText(plan.listError)});
  }
  for (const DirectoryFailure& failure : plan.directoryFailures) {
    lines.push_back({Shortened(failure.line), failure.error, failure.errorText});
  }
  std::string invalid = SystemErrorText(win::ErrorInvalidName);
  invalid.erase(invalid.find_last_not_of("\r\n ") + 1);
  for (const ListedComputer& computer : plan.computers) {
    if (!computer.possible) {
      lines.push_back({Shortened(computer.name), win::ErrorInvalidName,
                       Formatted(BadLineLogFormat, invalid.c_str(),
                                 static_cast<unsigned long>(computer.line), ComputerListFileName)});
    }
  }
  LogRequestResults(action, lines);
}

RunSummary SummaryOf(const DomainOutcome& outcome) {
  RunSummary summary;
  summary.asked = outcome.asked;
  summary.failed = outcome.failures.size();
  summary.cancelled = outcome.cancelled;
  summary.notAsked = outcome.notAsked;
  summary.milliseconds = outcome.milliseconds;
  summary.result = DomainExitCode(outcome);
  return summary;
}

// The main window's handle, which the workers post to: any message loop of the window's thread
// wakes for it. 0 without one.
std::uintptr_t WindowToTell() {
  const ui::Form* main = ui::MainForm();
  return main != nullptr ? main->native : 0;
}

void WaitForWorkers(std::uintptr_t window) {
  ui::WaitAndProcessMessages(window != 0 ? ui::WaitWithoutLimit : WaitWithoutWindowMilliseconds);
}

// Runs `work` off the window's thread while the window keeps answering; it ends before this
// returns, so it may use the caller's data.
void WhileAnswering(const std::function<void()>& work) {
  const auto ended = std::make_shared<std::atomic<bool>>(false);
  const std::uintptr_t window = WindowToTell();
  const win::Handle thread = platform::StartThread([&work, ended, window] {
    work();
    ended->store(true);
    ui::PostToForm(window, WM_ABORTANSWERS, 0);
  });
  if (thread == win::NoHandle) {
    work();
    return;
  }
  platform::ReleaseThread(thread);
  while (!ended->load()) {
    WaitForWorkers(window);
  }
}

// Withdraws the pending shutdown from each computer, up to MaxConcurrentRequests at once, while
// the window keeps answering: a line in the log for each, in the computers' order, inside a run
// the caller opened. The failures come after `failuresBefore` (the list's).
DomainOutcome AbortComputers(const std::vector<std::string>& computers, const Settings& settings,
                             std::vector<FailedComputer> failuresBefore = {}) {
  const std::uint32_t started = platform::GetTickCount();
  DomainOutcome outcome;
  outcome.planned = true;
  outcome.failures = std::move(failuresBefore);
  outcome.computers = computers.size();
  AbortRunning = true;
  {
    // The workers read their own copies: they may outlive the batch, and the window's thread
    // may change the program's settings meanwhile.
    const auto names = std::make_shared<const std::vector<std::string>>(computers);
    const auto copy = std::make_shared<const Settings>(settings);
    const std::uintptr_t window = WindowToTell();
    RequestBatch batch(
        computers.size(),
        [names, copy](std::size_t position) {
          return RequestAbortShutdown((*names)[position].c_str(), *copy);
        },
        [window] { ui::PostToForm(window, WM_ABORTANSWERS, 0); });
    batch.Start();
    std::vector<RequestOutcome> answers(computers.size());
    const auto take = [&batch, &answers] {
      for (const RequestBatch::Answer& answer : batch.TakeAnswers()) {
        answers[answer.position] = answer.outcome;
      }
    };
    while (!batch.Ended()) {
      WaitForWorkers(window);
      take();
    }
    take();
    std::vector<LoggedRequest> lines;
    for (std::size_t position = 0; position < computers.size(); ++position) {
      const RequestOutcome& answer = answers[position];
      const std::string text = SystemErrorText(answer.error);
      lines.push_back({computers[position], answer.error, text});
      if (!answer.ok) {
        outcome.failures.push_back({computers[position], answer.error, WithoutLineEnd(text)});
      }
    }
    LogRequestResults(LogDomainAbort, lines);
  }
  AbortRunning = false;
  // No abort is cancelled: each computer was asked.
  outcome.asked = computers.size();
  if (!outcome.failures.empty()) {
    outcome.firstError = outcome.failures.front().error;
    outcome.lastError = outcome.failures.back().error;
  }
  outcome.milliseconds = platform::GetTickCount() - started;
  return outcome;
}

// The list's report, as the domain action's result gives it.
std::vector<std::string> ListReport(const DomainPlan& plan) {
  std::vector<std::string> report;
  if (plan.listUnreadable) {
    report.push_back(Formatted(ListUnreadableFormat, ComputerListFileName,
                               WithoutLineEnd(SystemErrorText(plan.listError)).c_str()));
  }
  for (const DirectoryFailure& failure : plan.directoryFailures) {
    report.push_back(Formatted(DirectoryFailedFormat, failure.line.c_str(),
                               static_cast<unsigned long>(failure.lineNumber), ComputerListFileName,
                               failure.errorText.c_str()));
  }
  const std::string impossible = ImpossibleLinesReport(plan.listed);
  for (std::size_t start = 0; start < impossible.size();) {
    const std::size_t end = impossible.find('\n', start);
    report.push_back(impossible.substr(start, end - start));
    start = end == std::string::npos ? impossible.size() : end + 1;
  }
  return report;
}

} // namespace

void BeginDomainRun(const char* action, const DomainPlan& plan, const Settings& settings) {
  Record = {};
  Record.open = true;
  Record.action = action;
  Record.startTick = platform::GetTickCount();
  if (settings.ShowRemoteWarning != 0 && settings.RemoteWarnSeconds > 0) {
    Record.warnMilliseconds =
        static_cast<std::uint32_t>(settings.RemoteWarnSeconds) * MillisecondsPerSecond;
  }
  LogRunBegin(action, AskableCount(plan), SourcesOf(plan));
  LogListProblems(action, plan);
}

void LogDomainAnswer(const char* action, const std::string& computer, win::ErrorCode error) {
  LogRequestResult(action, computer, error);
  if (Record.open && error == win::ErrorSuccess) {
    Record.asked.push_back(computer);
    Record.lastAnswerTick = platform::GetTickCount();
  }
}

void EndDomainRun(const DomainOutcome& outcome) {
  if (!Record.open) {
    return;
  }
  LogRunEnd(Record.action, SummaryOf(outcome));
  Record.open = false;
}

bool DomainAbortOffered() {
  return !Record.open && !AbortRunning && !Record.asked.empty() && Record.warnMilliseconds > 0 &&
         platform::GetTickCount() - Record.lastAnswerTick < Record.warnMilliseconds;
}

bool DomainAbortRunning() {
  return AbortRunning;
}

void AbortLastDomainRun(const Settings& settings) {
  if (RefuseWhileDomainActionRuns()) {
    return;
  }
  // Spent: a shutdown withdrawn once is not withdrawn again.
  const std::vector<std::string> computers = std::move(Record.asked);
  Record.asked.clear();
  LogRunBegin(LogDomainAbort, computers.size(), {});
  const DomainOutcome outcome = AbortComputers(computers, settings);
  LogRunEnd(LogDomainAbort, SummaryOf(outcome));
  if (!outcome.failures.empty()) {
    TFDomainResult result;
    result.Execute(outcome);
    return;
  }
  ui::ShowMessageBox(nullptr,
                     Formatted(DomainAbortResultFormat, static_cast<unsigned long>(outcome.asked),
                               static_cast<unsigned long>(outcome.computers), 0UL),
                     MessageCaption, win::MbOk | win::MbIconInformation);
}

DomainOutcome AbortEveryDomainComputer(const Settings& settings) {
  const std::uint32_t started = platform::GetTickCount();
  DomainPlan plan;
  AbortRunning = true;
  // An abort is not cancelled: the planning runs to its end.
  const std::atomic<bool> neverCancelled{false};
  WhileAnswering(
      [&plan, &settings, &neverCancelled] { plan = PlanDomainAction(settings, neverCancelled); });
  std::vector<std::string> computers;
  std::vector<FailedComputer> listFailures;
  // The list first, as for the domain action: a script learns of it before any computer.
  if (plan.listUnreadable) {
    listFailures.push_back({ComputerListFileName, plan.listError,
                            WithoutLineEnd(SystemErrorText(plan.listError)), true, 0});
  }
  for (const DirectoryFailure& failure : plan.directoryFailures) {
    listFailures.push_back(
        {failure.line, failure.error, failure.errorText, true, failure.lineNumber});
  }
  for (const ListedComputer& computer : plan.computers) {
    if (computer.possible) {
      computers.push_back(computer.name);
    } else {
      listFailures.push_back({computer.name, win::ErrorInvalidName,
                              WithoutLineEnd(SystemErrorText(win::ErrorInvalidName)), true,
                              computer.line});
    }
  }
  LogRunBegin(LogDomainAbort, computers.size(), SourcesOf(plan));
  LogListProblems(LogDomainAbort, plan);
  DomainOutcome outcome = AbortComputers(computers, settings, std::move(listFailures));
  outcome.listReport = ListReport(plan);
  outcome.milliseconds = platform::GetTickCount() - started;
  LogRunEnd(LogDomainAbort, SummaryOf(outcome));
  return outcome;
}
