#pragma once
// Starting things outside the process: loadable modules from the executable's
// folder, sibling programs, and pages or documents through the desktop.
// Nothing here shows a message; failures come back as values and texts for the
// caller to show. Safe to call from the main thread (module entries run on it).
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// The folder of the running executable (empty when /proc/self/exe cannot be read).
std::filesystem::path ExecutableDir();

enum class BindOutcome { Ran, MissingExport, MissingModule };

// A module may export a start-up of this name, `extern "C" int f()`, run
// right after the module is loaded: 0 means its start-up failed (it has said
// why), and the module counts as one that could not be loaded.
inline constexpr const char* kModuleStartupExport = "ModuleInitInstance";

// Loads dir/file by its full path (`dir` must be absolute), runs its start-up
// when it has one, looks up the export and calls it as `extern "C" void f()`,
// then releases the module. A module whose start-up fails is released before
// MissingModule returns, one without the export before MissingExport returns.
// `error` receives the loader's reason when the outcome is not Ran.
BindOutcome CallModuleEntry(const std::filesystem::path& dir, const std::string& file,
                            const std::string& export_name, std::string* error = nullptr);

// Starts `program` with `args` (argv[1..]) detached: its own session, the same
// working directory, stdin from /dev/null, stdout and stderr inherited, no
// other descriptors. It outlives this process and leaves no zombie behind.
// False with a reason when the program cannot be started.
bool StartDetached(const std::filesystem::path& program, const std::vector<std::string>& args,
                   std::string* error = nullptr);

// Starts `program` as StartDetached does and waits up to `wait` for its
// start result: a program that ends within that time with a failure (an exit
// status other than 0, or a signal) did not do its work, and the reason says
// so; one that ends well or is still running then counts as started (what it
// goes on to run is not waited for).
bool StartAndCheck(const std::filesystem::path& program, const std::vector<std::string>& args,
                   std::chrono::milliseconds wait, std::string* error = nullptr);

// How long an opener is given to report that it could not open something.
inline constexpr std::chrono::milliseconds kOpenerWait{2000};

// Starts the program `name` from `dir` (the executable's folder when empty),
// detached and without arguments. `name` is a plain file name.
bool StartSiblingProgram(const std::string& name, std::string* error = nullptr,
                         const std::filesystem::path& dir = {});

// Opens an http:// or https:// page, or an existing local file (relative
// names resolve against the working directory), with the desktop's opener
// (`opener`, looked up on PATH when it has no '/'), checked as StartAndCheck
// does: an opener that finds nothing to open with fails with a reason.
// Anything else is refused with a reason; the target reaches the opener as
// one argument, no shell.
bool OpenWithDesktop(const std::string& target, std::string* error = nullptr,
                     const std::string& opener = "xdg-open", std::chrono::milliseconds wait = kOpenerWait);

}  // namespace platform
