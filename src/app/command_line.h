#pragma once
// The keywords a command line may name, each running one action.

#include <cstdint>
#include <string>
#include <vector>

// The action of the first argument after the program path, or 0 when there is none or it is no
// keyword. Letter case does not matter; further arguments are not looked at.
std::uint32_t CommandLineAction(const std::vector<std::string>& arguments);

// The keywords for scripts that name one computer after them, and the one that withdraws the
// shutdown of every computer the domain action names.
enum class RemoteCommand { None, Shutdown, Reboot, Abort, DomainAbort };

struct RemoteKeyword {
  RemoteCommand command = RemoteCommand::None;
  std::string computer; // empty when the command line names none; unused by DomainAbort
};

// The remote keyword of the first argument after the program path, in any letter case, and the
// computer the second names; further arguments are not looked at.
RemoteKeyword CommandLineRemote(const std::vector<std::string>& arguments);

// True when the command line names any keyword: a run that a script or a scheduled task
// started, which nobody may be watching.
bool NamesKeyword(const std::vector<std::string>& arguments);

// Whether the first argument after the program path is the keyword of the elevated copy that
// shows the AutoLogon dialog alone, in any letter case.
bool CommandLineAutoLogon(const std::vector<std::string>& arguments);
