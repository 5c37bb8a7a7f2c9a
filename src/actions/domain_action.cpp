#include "actions/domain_action.h"

#include "actions/announcement.h"
#include "actions/domain_abort.h"
#include "actions/local_power.h"
#include "actions/remote_shutdown.h"
#include "actions/request_batch.h"
#include "actions/results_log.h"
#include "common/text.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/threads.h"
#include "ui/application.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>

namespace {

constexpr std::size_t LineCapacity = 512;
// How often the progress window looks whether its text should be read to a screen reader.
constexpr std::uint32_t AnnounceIntervalMilliseconds = 1000;

template <typename... Numbers> std::string Formatted(const char* format, Numbers... numbers) {
  char text[LineCapacity];
  std::snprintf(text, sizeof text, format, numbers...);
  return text;
}

// Each line of a text that may hold several.
void AddReportLines(std::vector<std::string>& report, const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    report.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
}

// What the planning thread shares with the window's thread. Both own it: after a Cancel the
// run ends at once, and the planning thread, which may wait on a directory that does not
// answer, ends on its own later.
struct Planning {
  std::atomic<bool> cancelled{false};
  platform::Mutex mutex;
  std::optional<DomainPlan> plan; // once found
};

// The requests' names, owned by each worker: a worker still in a request when the program ends
// must find them.
using Names = std::shared_ptr<const std::vector<std::string>>;

// One run: the computers found off the window's thread (the browse list, the list file and the
// directory may take the network's time), then the other computers at once, then this one.
// The threads post each step's end to the progress window; its handlers log the answers as
// they come.
class DomainJob {
public:
  DomainJob(const Settings& settings, std::uintptr_t id)
      : settings_(std::make_shared<const Settings>(settings)),
        planning_(std::make_shared<Planning>()), id_(id),
        logAction_(settings.RemoteReboot != 0 ? LogDomainReboot : LogDomainShutdown),
        start_(platform::GetTickCount()) {}

  std::uintptr_t Id() const { return id_; }
  bool Done() const { return done_; }
  bool ExitAsked() const { return exitAsked_; }
  std::uint32_t ExitAskedAt() const { return exitAskedAt_; }

  void Start(TFDomainProgress& progress) {
    progress_ = &progress;
    window_ = progress.native;
    ShowProgress();
    const std::uintptr_t window = window_;
    const std::uintptr_t id = id_;
    const auto plan = [planning = planning_, settings = settings_, window, id] {
      DomainPlan found = PlanDomainAction(*settings, planning->cancelled);
      {
        const std::lock_guard<platform::Mutex> lock(planning->mutex);
        planning->plan = std::move(found);
      }
      ui::PostToForm(window, WM_DOMAINPLANNED, id);
    };
    const win::Handle planner = platform::StartThread(plan);
    if (planner == win::NoHandle) {
      plan();
    } else {
      platform::ReleaseThread(planner);
    }
  }

  void Cancel() {
    cancelRequested_ = true;
    planning_->cancelled.store(true);
    if (!planned_) {
      // Nothing was asked; the planning thread is left to end on its own.
      done_ = true;
      return;
    }
    for (RequestBatch* batch : {othersBatch_.get(), ownBatch_.get()}) {
      if (batch != nullptr) {
        batch->Cancel();
      }
    }
    Advance();
  }

  void AskForExit() {
    if (!exitAsked_) {
      exitAsked_ = true;
      exitAskedAt_ = platform::GetTickCount();
    }
    Cancel();
  }

  // The requests in flight are not waited for any longer: the program ends.
  void Abandon() {
    TakeAnswers();
    done_ = true;
  }

  void OnPlanned() {
    if (planned_ || done_) {
      return;
    }
    {
      const std::lock_guard<platform::Mutex> lock(planning_->mutex);
      if (!planning_->plan) {
        return;
      }
      plan_ = std::move(*planning_->plan);
    }
    planned_ = true;
    AskOthers();
    Advance();
  }

  void OnAnswers() {
    if (planned_ && !done_) {
      Advance();
    }
  }

  DomainOutcome Outcome() const {
    DomainOutcome outcome;
    outcome.planned = planned_;
    outcome.milliseconds = platform::GetTickCount() - start_;
    if (!planned_) {
      outcome.cancelled = cancelRequested_;
      return outcome;
    }
    outcome.computers = RequestCount();
    outcome.asked = answered_;
    if (cancelRequested_) {
      outcome.notAsked = outcome.computers - outcome.asked;
      // Cancel during the last request cancelled nothing.
      outcome.cancelled = outcome.notAsked > 0;
    }
    if (plan_.listUnreadable) {
      outcome.listReport.push_back(
          Formatted(ListUnreadableFormat, ComputerListFileName,
                    WithoutLineEnd(SystemErrorText(plan_.listError)).c_str()));
      // A nightly run that could not read its list must not look like a success.
      outcome.failures.push_back({ComputerListFileName, plan_.listError,
                                  WithoutLineEnd(SystemErrorText(plan_.listError)), true, 0});
    }
    for (const DirectoryFailure& failure : plan_.directoryFailures) {
      outcome.listReport.push_back(Formatted(DirectoryFailedFormat, failure.line.c_str(),
                                             static_cast<unsigned long>(failure.lineNumber),
                                             ComputerListFileName, failure.errorText.c_str()));
      outcome.failures.push_back(
          {failure.line, failure.error, failure.errorText, true, failure.lineNumber});
    }
    AddReportLines(outcome.listReport, ImpossibleLinesReport(plan_.listed));
    for (std::size_t i = 0; i < plan_.computers.size(); ++i) {
      const ListedComputer& computer = plan_.computers[i];
      if (!computer.possible) {
        outcome.failures.push_back({computer.name, win::ErrorInvalidName,
                                    WithoutLineEnd(SystemErrorText(win::ErrorInvalidName)), true,
                                    computer.line});
      } else if (answers_[i] && !answers_[i]->ok) {
        outcome.failures.push_back({computer.name, answers_[i]->error,
                                    WithoutLineEnd(SystemErrorText(answers_[i]->error)), false,
                                    computer.line});
      }
    }
    // In list order: the browse list's names first, then the list file's by line.
    std::stable_sort(
        outcome.failures.begin(), outcome.failures.end(),
        [](const FailedComputer& a, const FailedComputer& b) { return a.line < b.line; });
    if (!outcome.failures.empty()) {
      outcome.firstError = outcome.failures.front().error;
      outcome.lastError = outcome.failures.back().error;
    }
    return outcome;
  }

private:
  std::size_t RequestCount() const { return others_.size() + (plan_.ownLast ? 1 : 0); }

  void AskOthers() {
    answers_.resize(plan_.computers.size());
    lineFailures_ = (plan_.listUnreadable ? 1 : 0) + plan_.directoryFailures.size() +
                    CountImpossibleLines(plan_.listed);
    // The log tells the next morning what the list gave and that a container's computers were not
    // asked, with the LDAP client's text as the result gives it.
    BeginDomainRun(logAction_, plan_, *settings_);
    const std::size_t others = plan_.computers.size() - (plan_.ownLast ? 1 : 0);
    for (std::size_t i = 0; i < others; ++i) {
      if (plan_.computers[i].possible) {
        others_.push_back(i);
      }
    }
    if (plan_.ownLast) {
      own_ = {plan_.computers.size() - 1};
    }
    StartBatch(othersBatch_, others_);
  }

  // The batch is in place before it starts: a worker posts as soon as it has an answer, and
  // Cancel may come while the first requests run.
  void StartBatch(std::unique_ptr<RequestBatch>& batch, const std::vector<std::size_t>& positions) {
    auto names = std::make_shared<std::vector<std::string>>();
    names->reserve(positions.size());
    for (const std::size_t position : positions) {
      names->push_back(plan_.computers[position].name);
    }
    // The workers read the run's own copy of the settings: the window's thread may change the
    // program's settings meanwhile.
    const std::uintptr_t window = window_;
    const std::uintptr_t id = id_;
    batch = std::make_unique<RequestBatch>(
        positions.size(),
        [settings = settings_, names = Names(names)](std::size_t position) {
          return RequestRemoteShutdown((*names)[position].c_str(), *settings);
        },
        [window, id] { ui::PostToForm(window, WM_DOMAINANSWERS, id); });
    if (cancelRequested_) {
      batch->Cancel();
    }
    batch->Start();
  }

  // Logs the answers that came, each found by its position.
  void TakeAnswers() {
    const auto take = [this](RequestBatch* batch, const std::vector<std::size_t>& positions) {
      if (batch == nullptr) {
        return;
      }
      for (const RequestBatch::Answer& answer : batch->TakeAnswers()) {
        const std::size_t computer = positions[answer.position];
        answers_[computer] = answer.outcome;
        ++answered_;
        failed_ += answer.outcome.ok ? 0 : 1;
        LogDomainAnswer(logAction_, plan_.computers[computer].name, answer.outcome.error);
      }
    };
    take(othersBatch_.get(), others_);
    take(ownBatch_.get(), own_);
  }

  // Takes the answers, gives this computer its turn once every other request has ended, and
  // ends the run once every request has.
  void Advance() {
    // Which batches have ended is read before their answers are taken: an answer given between
    // the two would otherwise be left behind when the run ends.
    const bool othersEnded = othersBatch_->Ended();
    const bool ownEnded = ownBatch_ == nullptr || ownBatch_->Ended();
    TakeAnswers();
    if (othersEnded && !own_.empty() && !cancelRequested_ && ownBatch_ == nullptr) {
      // Its batch posts when it has answers and when it has ended.
      StartBatch(ownBatch_, own_);
    } else {
      done_ = othersEnded && ownEnded;
    }
    ShowProgress();
  }

  void ShowProgress() {
    if (progress_ == nullptr || done_) {
      return;
    }
    if (!planned_) {
      progress_->LBProgress.SetText(DomainPlanningText);
      return;
    }
    progress_->ShowProgress(answered_, RequestCount(), failed_ + lineFailures_);
  }

  std::shared_ptr<const Settings> settings_;
  std::shared_ptr<Planning> planning_;
  const std::uintptr_t id_;
  const char* logAction_;
  const std::uint32_t start_;
  TFDomainProgress* progress_ = nullptr;
  std::uintptr_t window_ = 0;
  DomainPlan plan_;
  bool planned_ = false;
  std::vector<std::size_t> others_; // positions in plan_.computers, by request
  std::vector<std::size_t> own_;
  std::unique_ptr<RequestBatch> othersBatch_;
  std::unique_ptr<RequestBatch> ownBatch_;
  std::vector<std::optional<RequestOutcome>> answers_; // by position in plan_.computers
  std::size_t answered_ = 0;
  std::size_t failed_ = 0;
  std::size_t lineFailures_ = 0; // the list's lines that gave no request
  bool cancelRequested_ = false;
  bool exitAsked_ = false;
  std::uint32_t exitAskedAt_ = 0;
  bool done_ = false;
};

DomainJob* RunningJob = nullptr;
// Tells a run's messages from those a run before it left in the queue.
std::uintptr_t LastJobId = 0;
DomainOutcome LastOutcome;

// Runs `step` on the running job when the message is this job's.
template <typename Step> void ForRunningJob(const ui::Message& message, Step step) {
  if (RunningJob != nullptr && RunningJob->Id() == message.wParam) {
    step(*RunningJob);
  }
}

std::string CancelLine(const DomainOutcome& outcome) {
  if (!outcome.planned) {
    return DomainCancelledPlanningText;
  }
  return Formatted(DomainCancelledFormat, static_cast<unsigned long>(outcome.notAsked),
                   static_cast<unsigned long>(outcome.computers));
}

} // namespace

TFDomainProgress::TFDomainProgress()
    : ui::Form({.name = "TFDomainProgress",
                .caption = DomainProgressTitle,
                .clientWidth = 300,
                .clientHeight = 105,
                .border = ui::BorderStyle::Dialog}),
      LBProgress(this, "LBProgress", {12, 12, 276, 13}, ui::Label::Layout::Centred),
      PBar(this, "PBar", {12, 36, 276, 16}, 0, 100),
      BCancel(this, "BCancel", {112, 68, 75, 25}, {.isCancel = true}),
      Announcer(*this, AnnounceIntervalMilliseconds) {
  BCancel.SetText(DomainCancelCaption);
  BCancel.OnClick = [this] { BCancelClick(); };
  OnCloseQuery = [this] { return FormCloseQuery(); };
  HookMessage(WM_DOMAINPLANNED, [](const ui::Message& message) {
    ForRunningJob(message, [](DomainJob& job) { job.OnPlanned(); });
  });
  HookMessage(WM_DOMAINANSWERS, [](const ui::Message& message) {
    ForRunningJob(message, [](DomainJob& job) { job.OnAnswers(); });
  });
  // Speech is paced by time, not by answers: a change is read once a few seconds have passed.
  Announcer.OnTimer = [this] { AnnounceProgress(); };
  SetAccessibleRole(ui::AccessibleRole::Dialog);
  LBProgress.SetLiveRegion(true);
  PBar.SetAccessibleName(DomainBarName);
  Realize();
  // The opening window is read with its first text.
  readText_ = LBProgress.Text();
  lastReading_ = platform::GetTickCount();
  Announcer.SetEnabled(true);
}

void TFDomainProgress::AnnounceProgress() {
  const std::uint32_t now = platform::GetTickCount();
  if (AnnouncesProgress(LBProgress.Text() != readText_, now - lastReading_)) {
    readText_ = LBProgress.Text();
    lastReading_ = now;
    LBProgress.Announce();
  }
}

void TFDomainProgress::BCancelClick() {
  CancelDomainAction();
}

bool TFDomainProgress::FormCloseQuery() {
  // Closing the window cancels; the action's end removes it.
  CancelDomainAction();
  return false;
}

void TFDomainProgress::ShowProgress(std::size_t asked, std::size_t count, std::size_t failed) {
  if (count > 0) {
    PBar.SetMaximum(static_cast<int>(count));
  }
  PBar.SetPosition(static_cast<int>(asked));
  LBProgress.SetText(Formatted(DomainProgressFormat, static_cast<unsigned long>(asked),
                               static_cast<unsigned long>(count),
                               static_cast<unsigned long>(failed)));
}

TFDomainResult::TFDomainResult()
    : ui::Form({.name = "TFDomainResult",
                .caption = DomainResultTitle,
                .clientWidth = 360,
                .clientHeight = 241,
                .border = ui::BorderStyle::Dialog}),
      LBSummary(this, "LBSummary", {12, 12, 336, 13}),
      MemoFailures(this, "MemoFailures", {12, 32, 336, 161}),
      BOk(this, "BOk", {142, 205, 75, 25},
          {.modalResult = ui::ModalResult::Ok, .isDefault = true, .isCancel = true}) {
  BOk.SetText(DomainResultOkCaption);
  Realize();
}

std::size_t RequestFailures(const DomainOutcome& outcome) {
  return static_cast<std::size_t>(
      std::count_if(outcome.failures.begin(), outcome.failures.end(),
                    [](const FailedComputer& failure) { return !failure.badLine; }));
}

std::string DomainCountLine(const DomainOutcome& outcome) {
  // A line that gave no request counts beside the computers asked, so that the failures add up.
  const std::size_t requestFailures = RequestFailures(outcome);
  const std::size_t lineFailures = outcome.failures.size() - requestFailures;
  return Formatted(DomainResultFormat, static_cast<unsigned long>(outcome.asked - requestFailures),
                   static_cast<unsigned long>(outcome.asked + lineFailures),
                   static_cast<unsigned long>(outcome.failures.size()));
}

win::ErrorCode DomainExitCode(const DomainOutcome& outcome) {
  if (outcome.cancelled) {
    return win::ErrorCancelled;
  }
  return outcome.failures.empty() ? win::ErrorSuccess : outcome.firstError;
}

void TFDomainResult::Execute(const DomainOutcome& outcome) {
  LBSummary.SetText(DomainCountLine(outcome));
  std::string text;
  // The result's lines are short; a memo of 50,000 failures is built once, not grown line by
  // line.
  for (const std::string& line : DomainOutcomeLines(outcome)) {
    text += line;
    text += "\r\n";
  }
  MemoFailures.SetText(text);
  ShowModal();
}

bool DomainActionRunning() {
  return RunningJob != nullptr || DomainAbortRunning();
}

void CancelDomainAction() {
  if (RunningJob != nullptr) {
    RunningJob->Cancel();
  }
}

void EndDomainActionForExit() {
  if (RunningJob != nullptr) {
    RunningJob->AskForExit();
  }
}

bool RefuseWhileDomainActionRuns() {
  if (!DomainActionRunning()) {
    return false;
  }
  ui::ShowMessageBox(nullptr, DomainActionRunningText, MessageCaption,
                     win::MbOk | win::MbIconInformation);
  return true;
}

int RunDomainAction(Settings& settings, bool showResult) {
  if (RefuseWhileDomainActionRuns()) {
    return 0;
  }
  DomainJob job(settings, ++LastJobId);
  RunningJob = &job;
  {
    TFDomainProgress progress;
    progress.Show();
    job.Start(progress);
    // Each turn ends with a message: a batch of answers, the computers found, a click, or the
    // exit's wait running out.
    while (!job.Done()) {
      // While Windows ends the session no further computer is asked.
      if (ui::SessionEnding()) {
        job.Cancel();
      }
      if (job.ExitAsked()) {
        const std::uint32_t waited = platform::GetTickCount() - job.ExitAskedAt();
        if (waited >= ExitWaitMilliseconds) {
          job.Abandon();
          break;
        }
        ui::WaitAndProcessMessages(ExitWaitMilliseconds - waited);
      } else if (!job.Done()) {
        ui::WaitAndProcessMessages(ui::WaitWithoutLimit);
      }
    }
  }
  RunningJob = nullptr;
  LastOutcome = job.Outcome();
  const char* action = settings.RemoteReboot != 0 ? LogDomainReboot : LogDomainShutdown;
  // The log's line for a cancelled run: how many computers it left unasked.
  if (LastOutcome.cancelled) {
    LogRequestResult(action, NoComputerLogged, win::ErrorCancelled, CancelLine(LastOutcome));
  }
  EndDomainRun(LastOutcome);
  if (showResult && (!LastOutcome.failures.empty() || !LastOutcome.listReport.empty())) {
    TFDomainResult result;
    result.Execute(LastOutcome);
  }
  const bool ok = LastOutcome.failures.empty() && !LastOutcome.cancelled;
  platform::SetLastError(!LastOutcome.failures.empty() ? LastOutcome.lastError
                         : LastOutcome.cancelled       ? win::ErrorCancelled
                                                       : win::ErrorSuccess);
  return ok ? 1 : 0;
}

int DomainShutdown(Settings& settings) {
  // A script that reads the result from its console gets it there instead.
  return RunDomainAction(settings, !ErrorBoxesHeldBack());
}

const DomainOutcome& LastDomainOutcome() {
  return LastOutcome;
}

std::vector<std::string> DomainOutcomeLines(const DomainOutcome& outcome) {
  std::vector<std::string> lines = outcome.listReport;
  if (outcome.cancelled) {
    lines.push_back(CancelLine(outcome));
  }
  for (const FailedComputer& failure : outcome.failures) {
    // The list's report names those lines already.
    if (!failure.badLine) {
      lines.push_back(Formatted(DomainFailureFormat, failure.name.c_str(), failure.text.c_str()));
    }
  }
  return lines;
}
