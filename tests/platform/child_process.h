// Runs this test program again as a child process, for contracts that span processes.
#pragma once

#include <string>

namespace chronel::test {

// Runs the test program with only the tests matching `filter`, with the environment variable
// `name` set to `value`; waits for it and returns its exit code (-1 when it could not start).
int RunThisProgram(const std::string& filter, const std::string& name, const std::string& value);

}  // namespace chronel::test
