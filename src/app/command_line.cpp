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
