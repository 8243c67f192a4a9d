// korvactl's command line: the input split into argv words at NUL bytes. Every line gives either
// a command whose numbers lie in the ranges the commands rely on, or an error to show.
#include <cstddef>
#include <cstdint>

#include "ctl/CtlCommand.h"
#include "fuzz/FuzzSupport.h"

using namespace korva::ctl;
using korva::fuzz::Check;

namespace {

bool In(long value, long min, long max) {
  return value >= min && value <= max;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ParseOutcome outcome = ParseCtlCommand(korva::fuzz::SplitWords(korva::fuzz::AsText(data, size)));
  Check(outcome.command.has_value() == outcome.error.empty());
  if (!outcome.command) return 0;
  const CtlCommand& c = *outcome.command;
  switch (c.verb) {
    case Verb::kSetStage:
      Check(In(c.stage, 1, 6) && In(c.value, 0, 255));
      break;
    case Verb::kSetRate:
      Check(RateIndex(c.value).has_value());
      break;
    case Verb::kSetProfile:
      Check(In(c.value, 1, 5));
      break;
    case Verb::kSetLighting:
      Check(In(c.lighting.mode, 0, 255) && c.lighting.colour.value_or(0) <= 0xFFFFFF &&
            In(c.lighting.brightness.value_or(0), 0, 14) && In(c.lighting.speed.value_or(0), 0, 14));
      break;
    default:
      break;
  }
  return 0;
}
