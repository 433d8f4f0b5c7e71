#include "shell/deferred_request.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Records the window work asked for; `onOpen` lets a test act like a window
// that stores a request of its own while it is being created.
struct FakeHost : shell::DeferredHost {
    std::vector<std::string> calls;
    std::function<void(int)> onOpen;
    void OpenNewDocument(int t) override {
        calls.push_back("open " + std::to_string(t));
        if (onOpen) onOpen(t);
    }
    void ShowFramesOf(int t) override { calls.push_back("show " + std::to_string(t)); }
    void NotifyViews(int t, std::int32_t code) override {
        calls.push_back("notify " + std::to_string(t) + " " + std::to_string(code));
    }
};

class DeferredTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::ResetDeferred();
        shell::Deferred().SetHost(&host);
    }
    void TearDown() override { shell::ResetDeferred(); }
    shell::DeferredRequest& d() { return shell::Deferred(); }
    FakeHost host;
};

TEST_F(DeferredTest, CodesByRange) {
    struct Case {
        std::int32_t code;
        std::vector<std::string> calls;
        char letter;
    };
    const Case cases[] = {
        {1000, {"open 0"}, 'A'},
        {1001, {"open 1"}, 'B'},
        {1002, {"open 2"}, 'C'},
        {1003, {"open 3"}, 'D'},
        {1004, {}, 'A'},
        {1998, {}, 'A'},
        {1999, {}, 'A'},
        {999, {}, 'A'},
        {66600000, {"open 1"}, 'B'},  // not open yet: only opened
        {66689999, {"open 1"}, 'B'},
        {66690000, {}, 'A'},
        {77700001, {"open 3"}, 'D'},
        {77789999, {"open 3"}, 'D'},
        {77790000, {}, 'A'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        SetUp();
        host.calls.clear();
        d().Store(c.code);
        EXPECT_EQ(host.calls, c.calls);
        EXPECT_EQ(d().current, c.letter);
        EXPECT_EQ(d().pending, ' ');
        EXPECT_EQ(d().busy, 0);
    }
}

TEST_F(DeferredTest, OpensOnceThenActivates) {
    d().Store(1001);
    d().Store(1001);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"open 1", "show 1"}));
    EXPECT_EQ(d().opened[1], 'Y');
}

TEST_F(DeferredTest, NotificationBeforeOpeningOnlyOpens) {
    d().Store(66601003);
    d().Store(66601003);
    d().Store(77700001);
    d().Store(77700001);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"open 1", "notify 1 66601003", "open 3", "notify 3 77700001"}));
}

TEST_F(DeferredTest, ClosedWindowOpensAgain) {
    d().Store(1002);
    d().ChildClosed(2);
    // The closed window was current: none is now, so the bars take a click on it.
    EXPECT_EQ(d().current, shell::kNoCurrentWindow);
    d().Store(1002);
    d().Store(1002);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"open 2", "open 2", "show 2"}));
    // Closing a window that is not current leaves the current one.
    d().Store(1001);
    d().ChildClosed(2);
    EXPECT_EQ(d().current, 'B');
}

TEST_F(DeferredTest, RequestStoredDuringDispatchRunsOnlyInALaterRange) {
    // A window being opened by 1001 asks for a refresh: carried out at once.
    host.onOpen = [this](int) { d().Store(shell::kRequestRefreshDressRoom); };
    d().Store(1001);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"open 1", "notify 1 66600366"}));
    EXPECT_EQ(d().pending, ' ');

    // One that asks for another window (same range) gets nothing.
    host.calls.clear();
    host.onOpen = [this](int) { d().Store(1003); };
    d().Store(1002);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"open 2"}));
    EXPECT_EQ(d().opened[3], ' ');
}

TEST_F(DeferredTest, OnlyCount12WithPendingDispatches) {
    d().code = 1001;
    d().pending = 'Y';
    d().OnIdle(0);
    d().OnIdle(1);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(d().pending, 'Y');
    d().pending = ' ';
    d().OnIdle(12);
    EXPECT_TRUE(host.calls.empty());
}

}  // namespace
