#pragma once
// Checks of what a file's owner may do, which root always may: run as the
// ordinary user "nobody" when the tests run as root; and a process that is
// gone, for what a killed one left.
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>

namespace testsupport {

// The ordinary user the checks run as when the tests run as root.
inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNoGroup = 65534;

// Runs `body` as an ordinary user with `dir` as its working directory: in a
// child process that gives up root for kNobody when the tests run as root
// (`dir` is handed to it), in this process as its own user otherwise.
// `body` returns what went wrong, empty when nothing did; so does this.
std::string AsOrdinaryUser(const std::filesystem::path& dir, const std::function<std::string()>& body);

// The id of a process that has ended (a child made and waited for): what a
// killed program's leftovers name. -1 when no child could be made.
pid_t EndedProcessId();

}  // namespace testsupport
