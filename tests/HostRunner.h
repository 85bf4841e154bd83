#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace orv::test {

struct HostResult {
  int status;
  std::string output;
};

// Runs the orvstock host with `arguments` (shell words), standard input closed and both output
// streams captured. Its profile is the test run's, unless `environment` (shell assignments such as
// "HOME=/tmp/x") says otherwise.
inline HostResult RunHost(const std::string& arguments, const std::string& environment = "") {
  std::string command = (environment.empty() ? "" : "env " + environment + " ") +
                        std::string(ORV_TEST_ORVSTOCK) + " " + arguments + " </dev/null 2>&1";
  HostResult result{-1, {}};
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer{};
  while (std::size_t read = std::fread(buffer.data(), 1, buffer.size(), pipe))
    result.output.append(buffer.data(), read);
  int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace orv::test
