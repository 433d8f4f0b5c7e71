#include "tests/support/ordinary_user.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <exception>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace testsupport {

std::string AsOrdinaryUser(const fs::path& dir, const std::function<std::string()>& body) {
    if (::geteuid() != 0) {
        testsupport::ScopedCwd cwd(dir);
        return body();
    }
    if (::chown(dir.c_str(), kNobody, kNoGroup) != 0) return "cannot hand the folder over";
    // The child enters the folder through a descriptor, so the folders above
    // it need not be open to that user.
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int out[2];
    if (dirFd < 0 || ::pipe(out) != 0) return "cannot prepare the child";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        std::string what;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0 || ::geteuid() == 0)
            what = "cannot give up root";
        else if (::fchdir(dirFd) != 0)
            what = "cannot enter the folder";
        else
            try {
                what = body();
            } catch (const std::exception& e) {
                what = e.what();
            }
        const ssize_t written = ::write(out[1], what.data(), what.size());
        ::_exit(written == static_cast<ssize_t>(what.size()) ? 0 : 1);
    }
    ::close(out[1]);
    ::close(dirFd);
    std::string what;
    char buf[512];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        what.append(buf, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        what += " (the child did not end well)";
    return what;
}

pid_t EndedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    if (child < 0 || ::waitpid(child, nullptr, 0) != child) return -1;
    return child;
}

}  // namespace testsupport
