#pragma once
// The korvactl executable as a script runs it, in a data folder and runtime folder of the test's
// own (so that no program of the user's answers it): exit code, stdout and stderr.

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace korva::ctl::test {

struct ProcessRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// `home` holds the data folder "home" and the runtime folder "run", made when missing.
inline std::filesystem::path RuntimeFolder(const std::filesystem::path& home) {
  const std::filesystem::path folder = home / "run";
  ::mkdir(folder.c_str(), 0700);
  return folder;
}

inline ProcessRun Korvactl(const std::string& arguments, const std::filesystem::path& home) {
  const std::string errFile = (home / "stderr.txt").string();
  const std::string line = "KORVA_HOME='" + (home / "home").string() + "' XDG_RUNTIME_DIR='" +
                           RuntimeFolder(home).string() + "' " + KORVACTL_PATH + " " + arguments + " 2>'" +
                           errFile + "'";
  ProcessRun run;
  FILE* pipe = popen(line.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (FILE* err = fopen(errFile.c_str(), "r")) {
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, err)) > 0;) run.err.append(buffer, n);
    fclose(err);
  }
  return run;
}

}  // namespace korva::ctl::test
