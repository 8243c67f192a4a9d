#pragma once
// A command line as the shell splits it (on spaces), for the tables of korvactl's tests.

#include <sstream>
#include <string>
#include <vector>

namespace korva::ctl::test {

inline std::vector<std::string> Split(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

}  // namespace korva::ctl::test
