#include "app/command_line.h"

#include "actions/dispatcher.h"
#include "common/text.h"
#include "common/texts.h"

#include <iterator>

namespace {

// The action of each keyword, in the keywords' order.
constexpr std::uint32_t KeywordActions[] = {
    ActionShutdown,  ActionReboot, ActionReboot,         ActionLogOff,       ActionStandby,
    ActionHibernate, ActionLock,   ActionDomainShutdown, ActionDomainReboot,
};
static_assert(std::size(KeywordActions) == std::size(CommandKeywords));

struct RemoteKeywordText {
  const char* keyword;
  RemoteCommand command;
};
constexpr RemoteKeywordText RemoteKeywords[] = {
    {RemoteShutdownKeyword, RemoteCommand::Shutdown},
    {RemoteRebootKeyword, RemoteCommand::Reboot},
    {AbortKeyword, RemoteCommand::Abort},
    {DomainAbortKeyword, RemoteCommand::DomainAbort},
};

} // namespace

std::uint32_t CommandLineAction(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) {
    return 0;
  }
  for (std::size_t i = 0; i < std::size(CommandKeywords); ++i) {
    if (SameTextIgnoringCase(arguments[1], CommandKeywords[i])) {
      return KeywordActions[i];
    }
  }
  return 0;
}

RemoteKeyword CommandLineRemote(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) {
    return {};
  }
  for (const RemoteKeywordText& k : RemoteKeywords) {
    if (SameTextIgnoringCase(arguments[1], k.keyword)) {
      return {k.command, arguments.size() > 2 ? arguments[2] : std::string()};
    }
  }
  return {};
}

bool NamesKeyword(const std::vector<std::string>& arguments) {
  return CommandLineAction(arguments) != 0 ||
         CommandLineRemote(arguments).command != RemoteCommand::None;
}

bool CommandLineAutoLogon(const std::vector<std::string>& arguments) {
  return arguments.size() >= 2 && SameTextIgnoringCase(arguments[1], AutoLogonKeyword);
}
