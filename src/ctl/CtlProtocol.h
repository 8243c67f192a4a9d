#pragma once
// How korvactl hands its command to the running desktop program: one request line over the
// program's single-instance socket, one answer line back, then the program closes the connection.
//
//   request  "KORVACTL " + JSON {"args": ["show", "mouse", ...], "cwd": "/absolute/folder"} + "\n"
//   answer   JSON {"exit": 0, "out": "...", "err": "..."} + "\n"
//            or   {"here": true} + "\n": the program does not hold the devices the command is for
//                 (a --simulate command to a program on the USB bus, or the other way round), so
//                 korvactl carries it out itself
//
// The JSON is written on one line (a line break inside a string is escaped). "out" is what
// korvactl prints on stdout, "err" its one-line error for stderr, "exit" its exit code. A request
// that is not of this form is answered with exit code 2. Both sides bound what they read.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korva::ctl {

inline constexpr std::string_view kRequestPrefix = "KORVACTL ";
// A request line, prefix included (a command line is a few hundred bytes; the limit leaves room
// for long file paths).
inline constexpr std::size_t kMaxRequestBytes = 16 * 1024;
inline constexpr std::size_t kMaxRequestArguments = 64;
// An answer line (the longest answer, a profile list, is a few kilobytes).
inline constexpr std::size_t kMaxAnswerBytes = 1024 * 1024;

struct CtlRequest {
  std::vector<std::string> arguments;  // korvactl's arguments without the program name
  std::filesystem::path workingFolder;  // where relative files of the command are
};

struct CtlAnswer {
  bool runHere = false;  // korvactl carries the command out itself; the rest is unused
  int exitCode = 0;
  std::string out;
  std::string err;
};

struct RequestOutcome {
  std::optional<CtlRequest> request;
  std::string error;  // one line, when request is empty
};

// The line, without its line break.
std::string EncodeRequest(const CtlRequest& request);
RequestOutcome ParseRequest(std::string_view line);

std::string EncodeAnswer(const CtlAnswer& answer);
// nullopt for a line that is not an answer.
std::optional<CtlAnswer> ParseAnswer(std::string_view line);

}  // namespace korva::ctl
