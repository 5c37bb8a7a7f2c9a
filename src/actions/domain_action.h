#pragma once
// The domain action: every computer of the domain and of the list file asked at once, off the
// window's thread, this computer last, with a small progress window and Cancel, one result at
// the end and a line for each request in the results log.

#include "platform/winconst.h"
#include "settings/settings.h"
#include "ui/form.h"

#include <cstddef>
#include <string>
#include <vector>

// A computer whose request failed, or a line of the list that gave none.
struct FailedComputer {
  std::string name;
  win::ErrorCode error = win::ErrorSuccess;
  // A line of the list that names no computer, or a directory line whose container could not be
  // read: no request went out, and the list's report tells it.
  bool badLine = false;
};

// How the last domain action ended.
struct DomainOutcome {
  std::size_t computers = 0; // to ask, this one included, lines that name none not
  std::size_t asked = 0;     // requests answered, whatever the answer
  // A list not read, the directory lines not read, then the rest in asking order, lines that
  // name none included.
  std::vector<FailedComputer> failures;
  // A list not read, the directory lines not read, and the list's lines that name none.
  std::string listReport;
  bool cancelled = false;
  win::ErrorCode firstError = win::ErrorSuccess; // of the first failure in asking order
  win::ErrorCode lastError = win::ErrorSuccess;  // of the last one
};

// True while a domain action, or the withdrawal of one, asks its computers.
bool DomainActionRunning();
// Sends no further request, as the progress window's Cancel does; nothing when none runs.
void CancelDomainAction();
// Refuses another remote or domain action while one runs: true after telling the user so.
bool RefuseWhileDomainActionRuns();

// Shuts down or restarts (by settings.RemoteReboot) every computer the domain action names.
// 1 when every request succeeded or there was no computer; 0 when one failed, a line named no
// computer or the action was cancelled, with the last failure's error as the last error. The
// result window lists the failures unless `showResult` is false (a console takes them).
int DomainShutdown(Settings& settings);
int RunDomainAction(Settings& settings, bool showResult);
const DomainOutcome& LastDomainOutcome();

// The failures of requests that went out, lines of the list that name no computer left aside.
std::size_t RequestFailures(const DomainOutcome& outcome);

// The lines that tell the outcome: the list's report (on one line for a console), a
// cancellation, then each computer whose request failed with the system's text for its error.
std::vector<std::string> DomainOutcomeLines(const DomainOutcome& outcome, bool reportOnOneLine);

class TFDomainProgress : public ui::Form {
public:
  TFDomainProgress();
  ~TFDomainProgress() override { Destroy(); }

  ui::Label LBProgress;
  ui::ProgressBar PBar;
  ui::Button BCancel;
  ui::Timer Ticker;

  bool CancelRequested = false;

  void BCancelClick();
  bool FormCloseQuery();
  void ShowProgress(std::size_t asked, std::size_t count, std::size_t failed);
  // Has a screen reader read the progress text when it changed, at the pace AnnouncesProgress
  // sets.
  void AnnounceProgress();

private:
  std::string readText_;
  std::uint32_t lastReading_ = 0;
};

class TFDomainResult : public ui::Form {
public:
  TFDomainResult();
  ~TFDomainResult() override { Destroy(); }

  ui::Label LBSummary;
  ui::Memo MemoFailures;
  ui::Button BOk;

  void Execute(const DomainOutcome& outcome);
};
