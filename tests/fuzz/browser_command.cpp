// The browser command registered for http is written by whatever browser was installed last:
// the first byte is the value's registry type, the rest its data. The program cuts the
// browser's own path out of it.

#include "common/texts.h"
#include "fuzz_support.h"
#include "platform/fake/fake.h"
#include "web/browser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  fake::ResetWorld();
  fake::RegValue value;
  value.type = data[0];
  value.data.assign(data + 1, data + size);
  fake::PutRegValue(std::string("HKCR\\") + BrowserCommandKey, "", value);

  const auto command = Buffer(BrowserCommandCapacity);
  const bool found = GetBrowserCommand(command.get());
  Require(TerminatedWithin(command.get(), BrowserCommandCapacity), "the command is terminated");
  const std::string cut = command.get();
  Require(found == !cut.empty(), "a command is found when one is left");
  Require(cut.find_first_of("%-") == std::string::npos, "no placeholder or switch is left");
  Require(cut.empty() || std::string(" \t\r\n\v\f").find(cut.back()) == std::string::npos,
          "no blank is left at the end");
  return 0;
}
