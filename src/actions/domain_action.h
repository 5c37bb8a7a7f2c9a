#pragma once
// The domain action: every computer of the domain and of the list file asked at once, off the
// window's thread, this computer last, with a small progress window and Cancel, one result at
// the end and a line for each request in the results log.

#include "platform/winconst.h"
#include "settings/settings.h"
#include "ui/form.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The messages the run's threads post to the progress window: the computers are found, and
// answers wait to be taken (or the requests have ended).
inline constexpr std::uint32_t WM_DOMAINPLANNED = ui::WmApp + 110;
inline constexpr std::uint32_t WM_DOMAINANSWERS = ui::WmApp + 111;

// Exit during a run waits this long for the requests in flight, then ends without their answers.
inline constexpr std::uint32_t ExitWaitMilliseconds = 1000;

// A computer whose request failed, or a line of the list that gave none.
struct FailedComputer {
  std::string name;
  win::ErrorCode error = win::ErrorSuccess;
  // The one text the result window, the console and the log give for it: the LDAP client's for
  // a container that could not be read, else the system's for the error.
  std::string text;
  // A line of the list that names no computer, or a directory line whose container could not be
  // read: no request went out, and the list's report tells it.
  bool badLine = false;
  std::size_t line = 0; // where the list file names it, from 1; 0 for the browse list
};

// How the last domain action ended.
struct DomainOutcome {
  std::size_t computers = 0; // to ask, this one included, lines that name none not
  std::size_t asked = 0;     // requests answered, whatever the answer
  std::size_t notAsked = 0;  // computers no request went to, as the run was cancelled
  // Every failure, in the order the browse list and the list file name them.
  std::vector<FailedComputer> failures;
  // The report's lines: a list not read, the directory lines not read, and the list's lines
  // that name none.
  std::vector<std::string> listReport;
  // Cancelled while a computer was still to be asked, or before the computers were found.
  bool cancelled = false;
  bool planned = false;                          // the computers were found
  win::ErrorCode firstError = win::ErrorSuccess; // of the first failure in list order
  win::ErrorCode lastError = win::ErrorSuccess;  // of the last one
  std::uint32_t milliseconds = 0;                // from the start to the end of the run
};

// True while a domain action, or the withdrawal of one, asks its computers.
bool DomainActionRunning();
// Sends no further request, as the progress window's Cancel does; nothing when none runs.
void CancelDomainAction();
// The program ends: cancels the run, which then waits at most ExitWaitMilliseconds for the
// requests in flight.
void EndDomainActionForExit();
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
// The count line: how many of the computers and lines took the request, and how many failed.
std::string DomainCountLine(const DomainOutcome& outcome);
// What a keyword run exits with: 1223 when cancelled, whatever failed before; else the first
// failure's code; else 0.
win::ErrorCode DomainExitCode(const DomainOutcome& outcome);

// The lines that tell the outcome, each a line of its own: the list's report, a cancellation,
// then each computer whose request failed with its text.
std::vector<std::string> DomainOutcomeLines(const DomainOutcome& outcome);

class TFDomainProgress : public ui::Form {
public:
  TFDomainProgress();
  ~TFDomainProgress() override { Destroy(); }

  ui::Label LBProgress;
  ui::ProgressBar PBar;
  ui::Button BCancel;
  ui::Timer Announcer;

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
