// FTP against a loopback pyftpdlib server: upload, list, download, and the
// ways they fail; the LIST parser over real server lines; the upload job.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/ftp.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"
#include "transfer/tranzel_core.h"
#include "transfer/upload_job.h"

namespace fs = std::filesystem;
using platform::FtpOutcome;
using testsupport::FileNames;
using testsupport::FtpTestServer;
using testsupport::PatternBytes;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

class FtpTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(remote / "web" / "DressDLoad2010");
        server = std::make_unique<FtpTestServer>(remote.path(), "shop", "secret");
        ASSERT_TRUE(server->running());
        site = server->Site();
    }
    std::vector<std::string> Names(const std::vector<platform::FtpEntry>& entries) {
        std::vector<std::string> out;
        for (const auto& e : entries) out.push_back((e.folder ? "[" : "") + e.display + (e.folder ? "]" : ""));
        std::sort(out.begin(), out.end());
        return out;
    }
    std::size_t FilesIn(const fs::path& dir) {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    TempDir remote, local;
    std::unique_ptr<FtpTestServer> server;
    platform::FtpSite site;
};

}  // namespace

TEST_F(FtpTransfer, UploadListAndDownloadAreByteIdentical) {
    const auto body = PatternBytes(3 * 1024 * 1024 + 17);
    local.write("服饰搭配上传数据专区/春季新款.rar", body);
    local.write("服饰搭配上传数据专区/a b.RAR", std::string("\r\n\x1a\0binary\n", 12));
    fs::create_directories(remote / "web" / "DressDLoad2010" / "子目录");

    std::uint64_t lastProgress = 0;
    site.progress = [&](std::uint64_t done, std::int64_t total) {
        EXPECT_EQ(total, static_cast<std::int64_t>(body.size()));
        lastProgress = done;
    };
    const std::string remotePath = transfer::RemotePath("DressDLoad2010", "春季新款.rar");
    EXPECT_EQ(remotePath, "web/DressDLoad2010/春季新款.rar");
    auto r = platform::FtpUpload(site, local / "服饰搭配上传数据专区" / "春季新款.rar", remotePath);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.bytes, body.size());
    EXPECT_EQ(lastProgress, body.size());
    site.progress = nullptr;
    r = platform::FtpUpload(site, local / "服饰搭配上传数据专区" / "a b.RAR", transfer::RemotePath("DressDLoad2010", "a b.RAR"));
    ASSERT_TRUE(r.ok()) << r.message;
    // The server stores the UTF-8 name and the exact bytes (binary mode).
    EXPECT_EQ(ReadAll(remote / "web" / "DressDLoad2010" / "春季新款.rar"), body);
    EXPECT_EQ(ReadAll(remote / "web" / "DressDLoad2010" / "a b.RAR").size(), 12u);

    std::vector<platform::FtpEntry> entries;
    r = platform::FtpList(site, transfer::RemoteFolder("DressDLoad2010"), &entries);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"[子目录]", "a b.RAR", "春季新款.rar"}));
    for (const auto& e : entries) {
        if (e.name == "春季新款.rar") {
            EXPECT_EQ(e.size, body.size());
        }
    }

    // Each row keeps its real name; a download by that name.
    const auto rows = transfer::RemoteRows(entries);
    for (const auto& row : rows) {
        if (row.folder) continue;
        SCOPED_TRACE(row.text);
        const fs::path target = local / "down" / row.text;
        fs::create_directories(target.parent_path());
        r = platform::FtpDownload(site, transfer::RemotePath("DressDLoad2010", row.name), target);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(ReadAll(target), ReadAll(remote / "web" / "DressDLoad2010" / row.name));
    }
    EXPECT_EQ(FilesIn(local / "down"), 2u);  // no temporary left

    // An existing target is replaced whole (the user confirmed).
    local.write("down/春季新款.rar", std::string(10 * 1024 * 1024, 'o'));
    r = platform::FtpDownload(site, remotePath, local / "down" / "春季新款.rar");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(ReadAll(local / "down" / "春季新款.rar"), body);

    // An upload over an existing remote file replaces it.
    local.write("small.rar", std::string("new"));
    ASSERT_TRUE(platform::FtpUpload(site, local / "small.rar", remotePath).ok());
    EXPECT_EQ(ReadAll(remote / "web" / "DressDLoad2010" / "春季新款.rar").size(), 3u);
}

TEST_F(FtpTransfer, FailuresComeBackAsOutcomesAndLeaveNoPartialFile) {
    remote.write("web/DressDLoad2010/p.rar", PatternBytes(5000));
    local.write("keep.rar", std::string("old contents"));
    local.write("up.rar", PatternBytes(1000));

    struct Case {
        const char* name;
        std::function<platform::FtpSite(platform::FtpSite)> change;
        std::string remote;
        FtpOutcome outcome;
    } cases[] = {
        {"refused login", [](platform::FtpSite s) { s.password = "wrong"; return s; }, "web/DressDLoad2010/p.rar",
         FtpOutcome::LoginDenied},
        {"unknown user", [](platform::FtpSite s) { s.user = "nobody"; return s; }, "web/DressDLoad2010/p.rar",
         FtpOutcome::LoginDenied},
        {"missing remote folder", [](platform::FtpSite s) { return s; }, "web/NoSuchFolder/p.rar",
         FtpOutcome::RemoteMissing},
        {"missing remote file", [](platform::FtpSite s) { return s; }, "web/DressDLoad2010/none.rar",
         FtpOutcome::RemoteMissing},
        {"nobody listening", [](platform::FtpSite s) { s.server = "127.0.0.1:1"; return s; }, "web/DressDLoad2010/p.rar",
         FtpOutcome::CannotConnect},
        {"not a server name", [](platform::FtpSite s) { s.server = "host/evil?x"; return s; }, "web/DressDLoad2010/p.rar",
         FtpOutcome::BadServer},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const platform::FtpSite s = c.change(site);
        auto r = platform::FtpDownload(s, c.remote, local / "keep.rar");
        EXPECT_EQ(r.outcome, c.outcome) << platform::FtpOutcomeName(r.outcome) << ": " << r.message;
        EXPECT_EQ(ReadAll(local / "keep.rar"), std::vector<unsigned char>(std::begin("old contents"), std::end("old contents") - 1));
        EXPECT_EQ(r.message.find(s.password.empty() ? "\x01" : s.password), std::string::npos);  // never in a message
        if (std::string(c.name) != "missing remote file") {
            std::vector<platform::FtpEntry> entries{platform::FtpEntry{}};
            r = platform::FtpList(s, fs::path(c.remote).parent_path().string(), &entries);
            EXPECT_EQ(r.outcome, c.outcome) << r.message;
            EXPECT_TRUE(entries.empty());
            r = platform::FtpUpload(s, local / "up.rar", c.remote);
            EXPECT_EQ(r.outcome, c.outcome) << r.message;
        }
    }
    EXPECT_FALSE(fs::exists(remote / "web" / "NoSuchFolder"));
    EXPECT_EQ(FilesIn(local.path()), 2u);  // keep.rar and up.rar only
    // A local file that is missing.
    EXPECT_EQ(platform::FtpUpload(site, local / "none.rar", "web/DressDLoad2010/none.rar").outcome,
              FtpOutcome::LocalFileError);
    // An empty remote folder lists nothing, successfully.
    std::vector<platform::FtpEntry> entries;
    fs::create_directories(remote / "web" / "Empty");
    EXPECT_TRUE(platform::FtpList(site, "web/Empty", &entries).ok());
    EXPECT_TRUE(entries.empty());
}

// A download of a name removes the temporaries that killed downloads of that
// name left in its folder (their process is gone, or, of the older shape that
// names none, untouched for more than an hour), and no others.
TEST_F(FtpTransfer, ADownloadRemovesItsOwnStaleTemporaries) {
    remote.write("web/DressDLoad2010/春装.rar", PatternBytes(50000));
    const pid_t child = testsupport::EndedProcessId();
    ASSERT_GT(child, 0);
    const std::string gone = std::to_string(child);
    const std::string live = std::to_string(::getppid());
    for (const std::string& n : std::vector<std::string>{".春装.rar.part-" + gone + "-0", ".春装.rar.part-Ab3xY9", ".春装.rar.part-" + live + "-0",
                                 ".春装.rar.part-Zz0000", ".夏装.rar.part-" + gone + "-0"})
        local.write(n, std::string("half a download"));
    const timespec old[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (local / ".春装.rar.part-Ab3xY9").c_str(), old, 0), 0);

    const auto r = platform::FtpDownload(site, "web/DressDLoad2010/春装.rar", local / "春装.rar");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(ReadAll(local / "春装.rar"), PatternBytes(50000));
    EXPECT_EQ(FileNames(local.path()), (std::vector<std::string>{".夏装.rar.part-" + gone + "-0",
                                                                 ".春装.rar.part-" + live + "-0",
                                                                 ".春装.rar.part-Zz0000", "春装.rar"}));
}

TEST(FtpDropped, ADroppedDownloadLeavesTheOldFileAndNoPartOne) {
    TempDir remote, local;
    remote.write("web/DressDLoad2010/big.rar", PatternBytes(4 * 1024 * 1024));
    local.write("big.rar", std::string("old"));
    FtpTestServer server(remote.path(), "shop", "secret", 256 * 1024);  // about 16 seconds for the file
    ASSERT_TRUE(server.running());
    platform::FtpSite site = server.Site();
    std::atomic<std::uint64_t> received{0};
    site.progress = [&](std::uint64_t done, std::int64_t) { received = done; };
    platform::FtpResult r;
    std::thread t([&] { r = platform::FtpDownload(site, "web/DressDLoad2010/big.rar", local / "big.rar"); });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (received < 300 * 1024 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(received.load(), 300u * 1024);
    server.Stop();  // the server goes away in the middle of the file
    t.join();
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.outcome == FtpOutcome::Dropped || r.outcome == FtpOutcome::TimedOut) << platform::FtpOutcomeName(r.outcome);
    EXPECT_EQ(ReadAll(local / "big.rar"), std::vector<unsigned char>({'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(local.path()), fs::directory_iterator()), 1);
}

namespace {

// Waits until the server holds a temporary file of at least `bytes` in `dir`.
bool WaitForTemporary(const fs::path& dir, std::uintmax_t bytes) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < end) {
        for (const auto& e : fs::directory_iterator(dir)) {
            const std::string n = e.path().filename().string();
            std::error_code ec;
            if (n.front() == '.' && n.ends_with(".part") && fs::file_size(e.path(), ec) >= bytes) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace

// The shops download whatever stands under the package's name: a server that
// goes away in the middle of an upload leaves the old package there whole.
TEST(FtpUploadSafety, AServerKilledMidUploadLeavesTheOldCopyByteIdentical) {
    TempDir remote, local;
    const auto old = PatternBytes(1500 * 1000);
    remote.write("web/DressDLoad2010/春装.rar", old);
    std::vector<unsigned char> fresh(4 * 1024 * 1024, 'n');
    local.write("春装.rar", fresh);
    auto server = std::make_unique<FtpTestServer>(remote.path(), "shop", "secret", 256 * 1024);
    ASSERT_TRUE(server->running());
    const platform::FtpSite site = server->Site();
    platform::FtpResult r;
    std::thread t([&] { r = platform::FtpUpload(site, local / "春装.rar", "web/DressDLoad2010/春装.rar"); });
    const fs::path folder = remote / "web" / "DressDLoad2010";
    EXPECT_TRUE(WaitForTemporary(folder, 300 * 1024));
    server->Stop();  // killed: no word to the client, no chance to clean up
    t.join();
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.outcome == FtpOutcome::Dropped || r.outcome == FtpOutcome::TimedOut) << platform::FtpOutcomeName(r.outcome);
    EXPECT_EQ(ReadAll(folder / "春装.rar"), old);

    // Back up: the shops still get the old package, and the next upload
    // replaces it whole.
    server = std::make_unique<FtpTestServer>(remote.path(), "shop", "secret");
    ASSERT_TRUE(server->running());
    std::vector<platform::FtpEntry> entries;
    ASSERT_TRUE(platform::FtpList(server->Site(), "web/DressDLoad2010", &entries).ok());
    bool listed = false;
    for (const auto& e : entries)
        if (e.name == "春装.rar") listed = e.size == old.size();
    EXPECT_TRUE(listed);
    r = platform::FtpUpload(server->Site(), local / "春装.rar", "web/DressDLoad2010/春装.rar");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(ReadAll(folder / "春装.rar"), fresh);
}

TEST(FtpUploadSafety, ACancelledUploadLeavesTheOldCopyAndNoTemporaryFile) {
    TempDir remote, local;
    const auto old = PatternBytes(1000);
    remote.write("web/DressDLoad2010/春装.rar", old);
    local.write("春装.rar", std::vector<unsigned char>(4 * 1024 * 1024, 'n'));
    FtpTestServer server(remote.path(), "shop", "secret", 256 * 1024);
    ASSERT_TRUE(server.running());
    std::atomic<bool> cancel{false};
    platform::FtpSite site = server.Site();
    site.cancel = &cancel;
    platform::FtpResult r;
    std::thread t([&] { r = platform::FtpUpload(site, local / "春装.rar", "web/DressDLoad2010/春装.rar"); });
    const fs::path folder = remote / "web" / "DressDLoad2010";
    EXPECT_TRUE(WaitForTemporary(folder, 300 * 1024));
    cancel = true;
    t.join();
    EXPECT_EQ(r.outcome, FtpOutcome::Cancelled) << r.message;
    EXPECT_EQ(ReadAll(folder / "春装.rar"), old);
    EXPECT_EQ(FileNames(folder), std::vector<std::string>{"春装.rar"});
}

namespace {

// Reads of one local file break once its first 64 KiB have been read: it
// ends there (0) or the read fails with an errno. Every other read in the
// process goes to the kernel unchanged.
std::atomic<ino_t> g_breakInode{0};
std::atomic<int> g_breakWith{0};
std::atomic<int> g_breakReads{0};

}  // namespace

// Takes the place of the C library's read() in this test program.
extern "C" ssize_t BreakingRead(int fd, void* buf, size_t n) __asm__("read");

extern "C" ssize_t BreakingRead(int fd, void* buf, size_t n) {
    struct stat st {};
    if (g_breakInode.load() != 0 && ::fstat(fd, &st) == 0 && st.st_ino == g_breakInode.load()) {
        if (g_breakReads++ == 0) return ::syscall(SYS_read, fd, buf, std::min<size_t>(n, 64 * 1024));
        if (g_breakWith.load() == 0) return 0;
        errno = g_breakWith.load();
        return -1;
    }
    return ::syscall(SYS_read, fd, buf, n);
}

// A local file that cannot be sent whole is the local file's fault, not a
// cancel: the old copy stays and the temporary file goes.
TEST(FtpUploadSafety, ALocalFileThatCannotBeReadWholeIsALocalFileError) {
    struct Case {
        const char* what;
        int breakWith;
    } cases[] = {
        {"got shorter while it was sent", 0},
        {"a read error", EIO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir remote, local;
        const auto old = PatternBytes(5000);
        remote.write("web/DressDLoad2010/春装.rar", old);
        local.write("春装.rar", std::vector<unsigned char>(1024 * 1024, 'n'));
        FtpTestServer server(remote.path(), "shop", "secret");
        ASSERT_TRUE(server.running());
        struct stat st {};
        ASSERT_EQ(::stat((local / "春装.rar").c_str(), &st), 0);
        g_breakWith = c.breakWith;
        g_breakReads = 0;
        g_breakInode = st.st_ino;
        const auto r = platform::FtpUpload(server.Site(), local / "春装.rar", "web/DressDLoad2010/春装.rar");
        g_breakInode = 0;
        EXPECT_GE(g_breakReads.load(), 2);
        EXPECT_EQ(r.outcome, FtpOutcome::LocalFileError) << platform::FtpOutcomeName(r.outcome) << ": " << r.message;
        EXPECT_NE(r.message.find((local / "春装.rar").string()), std::string::npos) << r.message;
        const fs::path folder = remote / "web" / "DressDLoad2010";
        EXPECT_EQ(ReadAll(folder / "春装.rar"), old);
        EXPECT_EQ(FileNames(folder), std::vector<std::string>{"春装.rar"});
    }
}

// How servers rename decides the way the whole file takes onto its name; in
// every case the name holds either the old file or the whole new one.
TEST(FtpUploadSafety, TheWholeFileReplacesTheOldOneOnEveryKindOfServer) {
    using Rename = FtpTestServer::Rename;
    struct Case {
        const char* what;
        Rename rename;
        bool existing;  // an old file stands under the name
        bool ok;
    } cases[] = {
        {"renames onto a name in use", Rename::Replace, true, true},
        {"renames onto a free name only", Rename::Keep, true, true},
        {"renames onto a free name only, first upload", Rename::Keep, false, true},
        {"does not rename", Rename::None, true, false},
        {"does not rename, first upload", Rename::None, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir remote, local;
        const auto old = PatternBytes(5000);
        const std::vector<unsigned char> fresh(300 * 1000, 'n');
        fs::create_directories(remote / "web" / "DressDLoad2010");
        if (c.existing) remote.write("web/DressDLoad2010/春装.rar", old);
        local.write("春装.rar", fresh);
        FtpTestServer server(remote.path(), "shop", "secret", 0, c.rename);
        ASSERT_TRUE(server.running());
        const auto r = platform::FtpUpload(server.Site(), local / "春装.rar", "web/DressDLoad2010/春装.rar");
        EXPECT_EQ(r.ok(), c.ok) << r.message;
        const fs::path folder = remote / "web" / "DressDLoad2010";
        if (c.ok) {
            EXPECT_EQ(r.bytes, fresh.size());
            EXPECT_EQ(ReadAll(folder / "春装.rar"), fresh);
        } else {
            EXPECT_EQ(r.outcome, FtpOutcome::RemoteRefused);
            if (c.existing) {
                EXPECT_EQ(ReadAll(folder / "春装.rar"), old);
            }
        }
        // No temporary file stays behind.
        EXPECT_EQ(FileNames(folder), c.ok || c.existing ? std::vector<std::string>{"春装.rar"} : std::vector<std::string>{});
    }

    // A name that would end the command line never reaches the server.
    TempDir remote, local;
    fs::create_directories(remote / "web" / "D");
    local.write("x.rar", std::string("x"));
    FtpTestServer server(remote.path(), "shop", "secret");
    ASSERT_TRUE(server.running());
    const auto r = platform::FtpUpload(server.Site(), local / "x.rar", "web/D/x.rar\r\nDELE web/D/y");
    EXPECT_EQ(r.outcome, FtpOutcome::RemoteRefused);
    EXPECT_TRUE(FileNames(remote / "web" / "D").empty());
}

TEST(FtpList, ParsesRealServerLines) {
    struct Case {
        const char* line;
        const char* name;  // nullptr: no entry
        bool folder;
        std::uint64_t size;
    } cases[] = {
        {"-rw-r--r--   1 owner    group     1048576 Dec 10 02:51 春季新款.rar", "春季新款.rar", false, 1048576},
        {"drwxr-xr-x   2 owner    group        4096 Jan 01  2010 DownLoad", "DownLoad", true, 4096},
        {"-rw-r--r--   1 ftp      ftp            12 Mar  3 11:00 a  b.RAR", "a  b.RAR", false, 12},
        {"lrwxrwxrwx   1 root     root            7 Mar  3 11:00 latest -> 春季新款.rar", "latest", false, 7},
        {"-rw-r--r--   1 ftp           123 Mar  3 11:00 nogroup.zip", "nogroup.zip", false, 123},
        {"drwxr-xr-x   2 owner    group        4096 Jan 01  2010 .", nullptr, true, 0},
        {"drwxr-xr-x   2 owner    group        4096 Jan 01  2010 ..", nullptr, true, 0},
        {"01-31-10  09:12PM       <DIR>          Shows", "Shows", true, 0},
        {"01-31-10  09:12PM              2048000 春装 2010.rar", "春装 2010.rar", false, 2048000},
        {"total 24", nullptr, false, 0},
        {"", nullptr, false, 0},
        {"-rw-r--r-- 1 a b x Dec 10 02:51 notanumber", nullptr, false, 0},
        {"01-31-10  09:12PM              2048000    ", nullptr, false, 0},  // no name after the blanks
        // A GBK server's name: shown converted, kept as sent.
        {"-rw-r--r--   1 owner    group          10 Dec 10 02:51 \xB4\xBA\xD7\xB0.rar", "\xB4\xBA\xD7\xB0.rar", false, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto entries = platform::ParseFtpList(std::string(c.line) + "\r\n");
        if (!c.name) {
            EXPECT_TRUE(entries.empty());
            continue;
        }
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].name, c.name);
        EXPECT_EQ(entries[0].folder, c.folder);
        EXPECT_EQ(entries[0].size, c.size);
    }
    EXPECT_EQ(platform::ParseFtpList("-rw-r--r--   1 o g 10 Dec 10 02:51 \xB4\xBA\xD7\xB0.rar\n")[0].display, "春装.rar");
}

TEST(FtpServerText, AcceptsHostsAndPortsOnly) {
    for (const char* ok : {"ftp.shop.cn", "127.0.0.1:2121", "localhost", "[::1]:21", "a-b.c"}) EXPECT_TRUE(platform::ValidFtpServer(ok)) << ok;
    for (const char* bad : {"", "ftp://host", "host/path", "host:", "host:0", "host:70000", "user@host", "ho st",
                            "-host", "host:21x", "[::1"})
        EXPECT_FALSE(platform::ValidFtpServer(bad)) << bad;
}

TEST_F(FtpTransfer, UploadJobReportsThroughItsStatus) {
    local.write("服饰搭配上传数据专区/p.rar", PatternBytes(200000));
    transfer::UploadJob job;
    EXPECT_EQ(job.Status(), 0);
    ASSERT_TRUE(job.Start(site, local / "服饰搭配上传数据专区" / "p.rar", "web/DressDLoad2010/p.rar"));
    EXPECT_FALSE(job.Start(site, local / "x", "web/x"));  // one job at a time (or it has just finished)
    std::string message;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!job.TakeResult(&message) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(job.Status(), transfer::kJobDone);
    EXPECT_EQ(message, "上传成功! ");
    job.Wait();
    EXPECT_EQ(ReadAll(remote / "web" / "DressDLoad2010" / "p.rar").size(), 200000u);

    // A failed upload names the local file.
    ASSERT_TRUE(job.Start(site, local / "服饰搭配上传数据专区" / "p.rar", "web/NoSuchFolder/p.rar"));
    job.Wait();
    bool ok = true;
    ASSERT_TRUE(job.TakeResult(&message, &ok));
    EXPECT_FALSE(ok);
    EXPECT_EQ(message, "上传失败! 上传失败!< " + (local / "服饰搭配上传数据专区" / "p.rar").string() + " >");
}

TEST(LocalPackages, ListsTitlesWithTheirRealNames) {
    TempDir base;
    for (int i = 0; i < 75; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "p%02d.RAR", i);
        base.write(fs::path("服饰搭配上传数据专区") / name, std::string("x"));
    }
    base.write("服饰搭配上传数据专区/春装.zip", std::string("z"));
    base.write("服饰搭配上传数据专区/春装.rar", std::string("r"));
    auto rows = transfer::LocalPackages(base.path(), "RAR");
    ASSERT_EQ(rows.size(), 60u);
    EXPECT_EQ(rows[0].text, "p00");
    EXPECT_EQ(rows[0].name, "p00.RAR");
    EXPECT_EQ(rows[59].name, "p59.RAR");
    rows = transfer::LocalPackages(base.path(), "ZIP");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text, "春装");
    EXPECT_EQ(rows[0].name, "春装.zip");
    // "*": every file; titles may repeat, the names behind them do not.
    rows = transfer::LocalPackages(base.path(), "*");
    EXPECT_EQ(rows.size(), 60u);
    EXPECT_TRUE(transfer::LocalPackages(base.path() / "missing", "RAR").empty());
}

namespace {

// A loopback port where the kernel takes connections and nobody answers.
class SilentServer {
public:
    SilentServer() {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_fd, 4) != 0)
            return;
        socklen_t len = sizeof addr;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
    }
    ~SilentServer() {
        if (m_fd >= 0) ::close(m_fd);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    bool running() const { return m_port > 0; }
    platform::FtpSite Site() const {
        platform::FtpSite site;
        site.server = "127.0.0.1:" + std::to_string(m_port);
        site.user = "shop";
        site.password = "secret";
        return site;
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

}  // namespace

// A server that takes the connection and never says a word: the call ends
// after the timeouts instead of hanging.
TEST(FtpStall, AServerThatNeverAnswersTimesOut) {
    SilentServer silent;
    ASSERT_TRUE(silent.running());
    platform::FtpSite site = silent.Site();
    site.connectTimeoutSeconds = 1;
    site.lowSpeedSeconds = 1;
    std::vector<platform::FtpEntry> entries;
    const auto r = platform::FtpList(site, "web/DressDLoad2010", &entries);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.outcome == FtpOutcome::CannotConnect || r.outcome == FtpOutcome::TimedOut)
        << platform::FtpOutcomeName(r.outcome) << ": " << r.message;
}

// Nothing can have been stored where the server never answered, so a
// cancelled upload there ends at once instead of asking it again.
TEST(FtpStall, ACancelledUploadToAServerThatNeverAnswersEndsAtOnce) {
    SilentServer silent;
    ASSERT_TRUE(silent.running());
    TempDir local;
    local.write("春装.rar", PatternBytes(1000));
    std::atomic<bool> cancel{false};
    platform::FtpSite site = silent.Site();  // the usual 20-second connect timeout
    site.cancel = &cancel;
    std::thread raise([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const auto r = platform::FtpUpload(site, local / "春装.rar", "web/DressDLoad2010/春装.rar");
    const auto took = std::chrono::steady_clock::now() - start;
    raise.join();
    EXPECT_EQ(r.outcome, FtpOutcome::Cancelled) << platform::FtpOutcomeName(r.outcome) << ": " << r.message;
    EXPECT_LT(took, std::chrono::seconds(5));
}

// A server that allows active mode only (EPSV and PASV refused) is listed,
// downloaded from and uploaded to: the first call finds out on its own
// connection and goes active; the session's later calls go active at once.
// A server that offers passive mode never sees an active one.
TEST(FtpDataMode, PassiveFirstAndActiveWhereTheServerRefusesPassive) {
    using Passive = FtpTestServer::Passive;
    for (const Passive passive : {Passive::Offered, Passive::Refused}) {
        const bool refused = passive == Passive::Refused;
        SCOPED_TRACE(refused ? "refuses passive mode" : "offers passive mode");
        TempDir remote, local;
        const auto body = PatternBytes(700 * 1000 + 3);
        const auto up = PatternBytes(300 * 1000 + 5);
        remote.write("web/DressDLoad2010/春装.rar", body);
        local.write("夏装.rar", up);
        FtpTestServer server(remote.path(), "shop", "secret", 0, FtpTestServer::Rename::Replace, passive);
        ASSERT_TRUE(server.running());
        platform::FtpSite site = server.Site();
        site.session = std::make_shared<platform::FtpSession>();

        std::vector<platform::FtpEntry> entries;
        auto r = platform::FtpList(site, "web/DressDLoad2010", &entries);
        ASSERT_TRUE(r.ok()) << r.message;
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].name, "春装.rar");
        EXPECT_EQ(entries[0].size, body.size());
        // One connection: refused twice, then active on it.
        EXPECT_EQ(server.Count("USER"), 1);
        EXPECT_EQ(server.Count("EPSV"), 1);
        EXPECT_EQ(server.Count("PASV"), refused ? 1 : 0);
        EXPECT_EQ(server.Count("EPRT") + server.Count("PORT"), refused ? 1 : 0);
        EXPECT_EQ(site.session->PassiveRefused(server.server()), refused);

        r = platform::FtpDownload(site, "web/DressDLoad2010/春装.rar", local / "down.rar");
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(ReadAll(local / "down.rar"), body);
        r = platform::FtpUpload(site, local / "夏装.rar", "web/DressDLoad2010/夏装.rar");
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(ReadAll(remote / "web" / "DressDLoad2010" / "夏装.rar"), up);
        EXPECT_EQ(FileNames(remote / "web" / "DressDLoad2010"), (std::vector<std::string>{"夏装.rar", "春装.rar"}));

        // Data connections: the listing, the download, the upload and the
        // upload's look for stale temporaries. Passive was asked for once
        // where it is refused, on every one where it is offered.
        const int data = server.Count("LIST") + server.Count("RETR") + server.Count("STOR");
        EXPECT_EQ(data, 4);
        EXPECT_EQ(server.Count("EPSV"), refused ? 1 : data);
        EXPECT_EQ(server.Count("PASV"), refused ? 1 : 0);
        EXPECT_EQ(server.Count("EPRT") + server.Count("PORT"), refused ? data : 0);

        // Without a session each call finds out for itself, and still works.
        site.session = nullptr;
        const int asked = server.Count("EPSV");
        r = platform::FtpDownload(site, "web/DressDLoad2010/夏装.rar", local / "again.rar");
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(ReadAll(local / "again.rar"), up);
        EXPECT_EQ(server.Count("EPSV"), asked + 1);
    }
}

TEST(FtpDataMode, TheSessionKnowsServersByHostAndPort) {
    platform::FtpSession session;
    session.NotePassiveRefused("FTP.Shop.example");
    EXPECT_TRUE(session.PassiveRefused("ftp.shop.example:21"));
    EXPECT_TRUE(session.PassiveRefused("ftp.shop.example"));
    EXPECT_FALSE(session.PassiveRefused("ftp.shop.example:2121"));
    EXPECT_FALSE(session.PassiveRefused("shop.example"));
    session.NotePassiveRefused("[::1]");
    EXPECT_TRUE(session.PassiveRefused("[::1]:21"));
    EXPECT_FALSE(session.PassiveRefused("[::1]:2121"));
}

// The names of upload temporaries: exactly ".<name>.<8 hex digits>.part" as
// uploads make them, and whose they are.
TEST(FtpUploadTemporaries, NamesOfTheirOwnShapeOnly) {
    const std::string made = platform::UploadTemporaryName("春装.rar", 0x0badc0de);
    EXPECT_EQ(made, ".春装.rar.0badc0de.part");
    EXPECT_TRUE(platform::IsUploadTemporary(made));
    EXPECT_TRUE(platform::IsUploadTemporaryOf(made, "春装.rar"));
    EXPECT_TRUE(platform::IsUploadTemporary(".a.00000000.part"));
    EXPECT_TRUE(platform::IsUploadTemporary(".春装.rar.bak.12345678.part"));  // of "春装.rar.bak"
    for (const char* other : {"春装", "春装.ra", "春装.rar.bak", "夏装.rar", "", ".春装.rar"})
        EXPECT_FALSE(platform::IsUploadTemporaryOf(made, other)) << other;
    for (const char* not_one : {".春装.rar.part", ".春装.rar.1234567.part", ".春装.rar.123456789.part",
                                ".春装.rar.1234ABCD.part", ".春装.rar.1234567g.part", "春装.rar.12345678.part",
                                ".春装.rar.12345678.part.bak", ".春装.rar12345678.part", "..12345678.part",
                                ".12345678.part", ".春装.rar.12345678.PART", ""})
        EXPECT_FALSE(platform::IsUploadTemporary(not_one)) << not_one;
    // A long name is cut as the upload cuts it, on a character's boundary.
    std::string longName;
    for (int i = 0; i < 80; ++i) longName += "装";
    const std::string longMade = platform::UploadTemporaryName(longName + ".rar", 7);
    EXPECT_EQ(longMade, "." + longName.substr(0, 198) + ".00000007.part");
    EXPECT_TRUE(platform::IsUploadTemporaryOf(longMade, longName + ".rar"));
}

// What a server that died in the middle of uploads kept: the listing shows
// none of it, and the next upload of a package removes that package's own
// leftovers only.
TEST(FtpUploadTemporaries, TheListingHidesThemAndTheNextUploadRemovesItsOwn) {
    TempDir remote, local;
    const fs::path folder = remote / "web" / "DressDLoad2010";
    const std::vector<std::string> own = {".春装.rar.0badc0de.part", ".春装.rar.12345678.part"};
    const std::vector<std::string> others = {".夏装.rar.89abcdef.part", ".春装.rar.bak.00000001.part", ".春装.fedcba98.part"};
    const std::vector<std::string> lookAlikes = {".春装.rar.part", ".春装.rar.1234567.part", ".春装.rar.1234ABCD.part",
                                                 "春装.rar.12345678.part", ".春装.rar.12345678.part.bak"};
    remote.write("web/DressDLoad2010/春装.rar", std::string("old"));
    for (const auto& names : {own, others, lookAlikes})
        for (const std::string& n : names) remote.write(fs::path("web/DressDLoad2010") / n, PatternBytes(1000));
    fs::create_directories(folder / ".春装.rar.00000000.part");  // a folder is no temporary file
    local.write("春装.rar", PatternBytes(200000));
    FtpTestServer server(remote.path(), "shop", "secret");
    ASSERT_TRUE(server.running());

    std::vector<platform::FtpEntry> entries;
    ASSERT_TRUE(platform::FtpList(server.Site(), "web/DressDLoad2010", &entries).ok());
    EXPECT_EQ(entries.size(), 1 + own.size() + others.size() + lookAlikes.size() + 1);  // the layer lists all
    std::vector<std::string> shown;
    for (const auto& row : transfer::RemoteRows(entries)) shown.push_back(row.text);
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> expected = lookAlikes;
    expected.push_back("春装.rar");
    expected.push_back("[.春装.rar.00000000.part]");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(shown, expected);

    const auto r = platform::FtpUpload(server.Site(), local / "春装.rar", "web/DressDLoad2010/春装.rar");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(ReadAll(folder / "春装.rar").size(), 200000u);
    std::vector<std::string> left = others;
    left.insert(left.end(), lookAlikes.begin(), lookAlikes.end());
    left.push_back("春装.rar");
    left.push_back(".春装.rar.00000000.part");
    std::sort(left.begin(), left.end());
    EXPECT_EQ(FileNames(folder), left);
}
