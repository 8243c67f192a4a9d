// The program's command line: the input split into argv words at NUL bytes (each word UTF-8, as
// the program decodes them). Every line gives either options or an error to show.
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "app/CommandLine.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QStringList arguments;
  for (const std::string& word : korva::fuzz::SplitWords(korva::fuzz::AsText(data, size)))
    arguments.append(QString::fromStdString(word));
  const auto parsed = korva::app::ParseCommandLine(arguments);
  if (parsed ? !parsed.value().screenshot.isNull() && parsed.value().screenshot.isEmpty()
             : parsed.error().ToString().empty())
    __builtin_trap();
  return 0;
}
