// What a command of the companion tool answered, for tests that run it in-process: its exit
// status and the text it wrote to each stream, compared and printed as one value.
#pragma once

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace chronel::testing {

struct Outcome {
  int status;
  std::string out;
  std::string err;
  bool operator==(const Outcome&) const = default;
};

inline std::ostream& operator<<(std::ostream& stream, const Outcome& outcome) {
  return stream << "status " << outcome.status << "\n--- out\n"
                << outcome.out << "--- err\n"
                << outcome.err;
}

// `command` is one of the tool's Run...Command(args, out, err) functions.
template <typename Command>
Outcome RunCommand(Command command, const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = command(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace chronel::testing
