#include "actions/domain_action.h"

#include "actions/announcement.h"
#include "actions/domain_abort.h"
#include "actions/local_power.h"
#include "actions/remote_shutdown.h"
#include "actions/request_batch.h"
#include "actions/results_log.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/threads.h"
#include "ui/application.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// The window's thread looks at the requests this often: far below what a user notices.
constexpr std::uint32_t PollMilliseconds = 10;
// Under a window opened meanwhile (a message box, a dialog) only this timer keeps the progress,
// the log and this computer's turn going.
constexpr std::uint32_t TickerInterval = 100;
constexpr std::size_t LineCapacity = 512;

template <typename... Numbers> std::string Formatted(const char* format, Numbers... numbers) {
  char text[LineCapacity];
  std::snprintf(text, sizeof text, format, numbers...);
  return text;
}

void AddReportLine(std::string& report, const std::string& line) {
  if (!line.empty()) {
    report += (report.empty() ? "" : "\n") + line;
  }
}

std::string WithoutLineEnd(std::string text) {
  const std::size_t end = text.find_last_not_of("\r\n ");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

// One run: the computers found off the window's thread (the browse list and the list file may
// take the network's time), then the other computers at once, then this one, each answer logged
// as it comes.
class DomainJob {
public:
  explicit DomainJob(const Settings& settings)
      : settings_(settings),
        logAction_(settings.RemoteReboot != 0 ? LogDomainReboot : LogDomainShutdown) {}

  ~DomainJob() {
    if (planner_ != win::NoHandle) {
      platform::JoinThread(planner_);
    }
  }
  DomainJob(const DomainJob&) = delete;
  DomainJob& operator=(const DomainJob&) = delete;

  std::size_t RequestCount() const { return others_.size() + (plan_.ownLast ? 1 : 0); }

  void Start() {
    planner_ = platform::StartThread([this] { plan_ = PlanDomainAction(settings_); });
    if (planner_ == win::NoHandle) {
      plan_ = PlanDomainAction(settings_);
    }
    Advance();
  }

  void Cancel() {
    if (othersBatch_ != nullptr) {
      othersBatch_->Cancel();
    }
    cancelled_ = true;
  }

  bool Done() const { return done_; }

  // On the window's thread: logs what was answered, gives this computer its turn once every
  // other request has ended, and shows how far the run is.
  void Advance() {
    if (done_) {
      return;
    }
    if (!planned_) {
      if (planner_ != win::NoHandle && !platform::ThreadEnded(planner_)) {
        return ShowProgress();
      }
      AskOthers();
    }
    LogAnswers(othersBatch_.get(), others_);
    LogAnswers(ownBatch_.get(), own_);
    if (!othersBatch_->Ended()) {
      return ShowProgress();
    }
    if (plan_.ownLast && !cancelled_ && ownBatch_ == nullptr) {
      own_ = {plan_.computers.size() - 1};
      StartBatch(ownBatch_, own_);
      LogAnswers(ownBatch_.get(), own_);
    }
    done_ = ownBatch_ == nullptr || ownBatch_->Ended();
    ShowProgress();
  }

  // Logs what was answered after the last look: a request may end between a look at its
  // answer and the look that finds its worker ended.
  void Finish() {
    LogAnswers(othersBatch_.get(), others_);
    LogAnswers(ownBatch_.get(), own_);
  }

  void SetProgressWindow(TFDomainProgress* window) { progress_ = window; }

  DomainOutcome Outcome() const {
    DomainOutcome outcome;
    outcome.computers = RequestCount();
    outcome.cancelled = cancelled_;
    if (plan_.listUnreadable) {
      outcome.listReport = Formatted(ListUnreadableFormat, ComputerListFileName,
                                     WithoutLineEnd(SystemErrorText(plan_.listError)).c_str());
      // A nightly run that could not read its list must not look like a success.
      outcome.failures.push_back({ComputerListFileName, plan_.listError, true});
    }
    for (const DirectoryFailure& failure : plan_.directoryFailures) {
      AddReportLine(outcome.listReport, Formatted(DirectoryFailedFormat, failure.line.c_str(),
                                                  static_cast<unsigned long>(failure.lineNumber),
                                                  ComputerListFileName, failure.errorText.c_str()));
      // No request went out for it, as for a line that names no computer: the report tells it.
      outcome.failures.push_back({failure.line, failure.error, true});
    }
    AddReportLine(outcome.listReport, ImpossibleLinesReport(plan_.listed));
    for (std::size_t i = 0; i < plan_.computers.size(); ++i) {
      const ListedComputer& computer = plan_.computers[i];
      const RequestOutcome* answer = AnswerFor(i);
      if (answer != nullptr) {
        ++outcome.asked;
      }
      if (!computer.possible) {
        outcome.failures.push_back({computer.name, win::ErrorInvalidName, true});
      } else if (answer != nullptr && !answer->ok) {
        outcome.failures.push_back({computer.name, answer->error});
      }
    }
    if (!outcome.failures.empty()) {
      outcome.firstError = outcome.failures.front().error;
      outcome.lastError = outcome.failures.back().error;
    }
    return outcome;
  }

private:
  void AskOthers() {
    if (planner_ != win::NoHandle) {
      platform::JoinThread(planner_);
      planner_ = win::NoHandle;
    }
    planned_ = true;
    // The log tells the next morning what the list gave and that a container's computers were not
    // asked.
    BeginDomainRun(logAction_, plan_, settings_);
    // A line that names no computer gets no request: the result reports it.
    const std::size_t others = plan_.computers.size() - (plan_.ownLast ? 1 : 0);
    for (std::size_t i = 0; i < others; ++i) {
      if (plan_.computers[i].possible) {
        others_.push_back(i);
      }
    }
    StartBatch(othersBatch_, others_);
  }

  // The batch is in place before it starts: Cancel may come while the first requests run.
  void StartBatch(std::unique_ptr<RequestBatch>& batch, const std::vector<std::size_t>& positions) {
    // The workers read the job's own copy of the settings: the window's thread may change the
    // program's settings meanwhile.
    batch = std::make_unique<RequestBatch>(positions.size(), [this,
                                                              &positions](std::size_t position) {
      return RequestRemoteShutdown(plan_.computers[positions[position]].name.c_str(), settings_);
    });
    if (cancelled_) {
      batch->Cancel();
    }
    batch->Start();
  }

  void LogAnswers(RequestBatch* batch, const std::vector<std::size_t>& positions) {
    if (batch == nullptr) {
      return;
    }
    for (const std::size_t position : batch->TakeNewlyAnswered()) {
      LogDomainAnswer(logAction_, plan_.computers[positions[position]].name,
                      batch->Outcome(position).error);
    }
  }

  const RequestOutcome* AnswerFor(std::size_t computer) const {
    if (!own_.empty() && computer == own_.front()) {
      return ownBatch_->IsAnswered(0) ? &ownBatch_->Outcome(0) : nullptr;
    }
    for (std::size_t position = 0; position < others_.size(); ++position) {
      if (others_[position] == computer) {
        return othersBatch_->IsAnswered(position) ? &othersBatch_->Outcome(position) : nullptr;
      }
    }
    return nullptr;
  }

  void ShowProgress() {
    if (progress_ == nullptr) {
      return;
    }
    if (!planned_) {
      progress_->LBProgress.SetText(DomainPlanningText);
      return;
    }
    std::size_t asked = othersBatch_->Answered();
    std::size_t failed = othersBatch_->Failed();
    if (ownBatch_ != nullptr) {
      asked += ownBatch_->Answered();
      failed += ownBatch_->Failed();
    }
    progress_->ShowProgress(asked, RequestCount(), failed);
  }

  DomainPlan plan_; // written by the planning thread until it has ended
  const Settings settings_;
  win::Handle planner_ = win::NoHandle;
  bool planned_ = false;
  const char* logAction_;
  std::vector<std::size_t> others_;
  std::vector<std::size_t> own_;
  std::unique_ptr<RequestBatch> othersBatch_;
  std::unique_ptr<RequestBatch> ownBatch_;
  TFDomainProgress* progress_ = nullptr;
  bool cancelled_ = false;
  bool done_ = false;
};

DomainJob* RunningJob = nullptr;
DomainOutcome LastOutcome;

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
      Ticker(*this, TickerInterval) {
  BCancel.SetText(DomainCancelCaption);
  BCancel.OnClick = [this] { BCancelClick(); };
  OnCloseQuery = [this] { return FormCloseQuery(); };
  Ticker.OnTimer = [this] {
    if (RunningJob != nullptr) {
      RunningJob->Advance();
    }
    AnnounceProgress();
  };
  SetAccessibleRole(ui::AccessibleRole::Dialog);
  LBProgress.SetLiveRegion(true);
  PBar.SetAccessibleName(DomainBarName);
  Realize();
  // The opening window is read with its first text.
  readText_ = LBProgress.Text();
  lastReading_ = platform::GetTickCount();
  Ticker.SetEnabled(true);
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

void TFDomainResult::Execute(const DomainOutcome& outcome) {
  const std::size_t requestFailures = RequestFailures(outcome);
  LBSummary.SetText(Formatted(
      DomainResultFormat, static_cast<unsigned long>(outcome.asked - requestFailures),
      static_cast<unsigned long>(outcome.asked), static_cast<unsigned long>(requestFailures)));
  std::string text;
  for (const std::string& line : DomainOutcomeLines(outcome, false)) {
    text += line + "\r\n";
  }
  MemoFailures.SetText(text);
  ShowModal();
}

bool DomainActionRunning() {
  return RunningJob != nullptr || DomainAbortRunning();
}

void CancelDomainAction() {
  if (RunningJob == nullptr) {
    return;
  }
  RunningJob->Cancel();
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
  DomainJob job(settings);
  RunningJob = &job;
  {
    TFDomainProgress progress;
    job.SetProgressWindow(&progress);
    progress.Show();
    job.Start();
    while (!job.Done()) {
      // While Windows ends the session no further computer is asked.
      if (ui::SessionEnding()) {
        job.Cancel();
      }
      platform::Sleep(PollMilliseconds);
      ui::ProcessMessages();
      job.Advance();
    }
    job.SetProgressWindow(nullptr);
  }
  job.Finish();
  RunningJob = nullptr;
  LastOutcome = job.Outcome();
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

std::vector<std::string> DomainOutcomeLines(const DomainOutcome& outcome, bool reportOnOneLine) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < outcome.listReport.size()) {
    const std::size_t end = outcome.listReport.find('\n', start);
    std::string line = outcome.listReport.substr(start, end - start);
    if (reportOnOneLine && !lines.empty()) {
      lines.back() += ' ' + line;
    } else {
      lines.push_back(std::move(line));
    }
    start = end == std::string::npos ? outcome.listReport.size() : end + 1;
  }
  if (outcome.cancelled) {
    lines.push_back(Formatted(DomainCancelledFormat,
                              static_cast<unsigned long>(outcome.computers - outcome.asked),
                              static_cast<unsigned long>(outcome.computers)));
  }
  for (const FailedComputer& failure : outcome.failures) {
    // The list's report names those lines already.
    if (failure.badLine) {
      continue;
    }
    lines.push_back(Formatted(DomainFailureFormat, failure.name.c_str(),
                              WithoutLineEnd(SystemErrorText(failure.error)).c_str()));
  }
  return lines;
}
