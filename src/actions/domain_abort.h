#pragma once
// The record of a domain run and its withdrawal: the run's first and last line in the results
// log, the computers that took its request and when, and the abort of the shutdown they still
// count down to, from the window while their warning lasts or from the `domainabort` keyword.

#include "actions/domain_action.h"
#include "actions/remote_shutdown.h"
#include "platform/winconst.h"
#include "settings/settings.h"

#include <string>

// Opens the run's record once its computers are known: the run's first line in the log, then a
// line for a list file that could not be read and one for each line of it that names no
// computer. The record of the run before is dropped.
void BeginDomainRun(const char* action, const DomainPlan& plan, const Settings& settings);
// One computer's answer: its line in the log; one that took the request is noted, with the time,
// for the abort.
void LogDomainAnswer(const char* action, const std::string& computer, win::ErrorCode error);
// Closes the run's record with the run's last line in the log; nothing when none was opened.
void EndDomainRun(const DomainOutcome& outcome);

// True while the warning of the last domain run still counts down on a computer that took its
// request: the run's remote warning time has not passed since that computer answered.
bool DomainAbortOffered();

// True while an abort of many computers asks them.
bool DomainAbortRunning();

// "Abort Domain Shutdown": the computers that took the last run's request, with the credentials
// of `settings`; the result in a box or the result window. The record is spent.
void AbortLastDomainRun(const Settings& settings);

// The `domainabort` keyword: every computer the domain action names (the list file, the browse
// list and the directory containers), a list that could not be read and its lines that name no
// computer first among the failures.
DomainOutcome AbortEveryDomainComputer(const Settings& settings);
