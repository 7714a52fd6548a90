// Regression tests for what the fuzz targets (fuzz/) found. Each test names
// the target and the corpus file that revealed the fault.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Errors.h"
#include "support/GameFolder.h"

using Rows = std::vector<std::string>;

namespace {

const std::string kEnd = "\u25BC";  // ▼

// Ends the test program if the scope is not left in time: a regression of a
// hang must fail, not hang the test run.
class Deadline {
  public:
    explicit Deadline(std::chrono::seconds limit, const char* what)
        : watcher_([this, limit, what] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!done_cv_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "Still running after %lld s: %s\n",
                               static_cast<long long>(limit.count()), what);
                  std::abort();
              }
          }) {}
    ~Deadline() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        done_cv_.notify_one();
        watcher_.join();
    }

  private:
    std::mutex mutex_;
    std::condition_variable done_cv_;
    bool done_ = false;
    std::thread watcher_;
};

}  // namespace

// fuzz_player, corpus file timeout-nested-repeats-round-the-title (and -min):
// a repeat run that reaches ">end" goes on in the opening scene, meets the
// same repeat line there and starts an inner run, which returns to the title
// and meets the repeat line again, and so on. Each inner run saw only one
// return to the title, so the check for runs that go round the title forever
// never fired and one click hung the game. It must stop with the endless-loop
// error instead, as the original's recursion ran out of stack.
TEST(FuzzFindings, RepeatRunsStartedAfreshAfterEachTitleReturnStopWithAnError) {
    GameFolder folder;
    folder.script("opn", {"A", "--1e9", "B", ">end"});
    folder.picture("opn");
    TestGame g(folder);
    g.start();
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));

    Deadline deadline(std::chrono::seconds(60), "the click on a repeat run round the title");
    try {
        g.click();
        ADD_FAILURE() << "no run-time error";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kEndlessLoop) << e.what();
        EXPECT_NE(std::string(e.what()).find("/txt/opn.txt"), std::string::npos) << e.what();
    }
}

// The same with the repeat line in a numbered scene and in the opening: the
// scene's run goes round the title, and every round of the opening starts a
// run of its own.
TEST(FuzzFindings, RepeatRunsInASceneAndInTheOpeningRoundTheTitleStopWithAnError) {
    GameFolder folder;
    folder.script("opn", {"O", "--1e9", "P", ">end"});
    folder.picture("opn");
    folder.script("3", {"x", "--1000000000", ">end"});
    folder.picture("3");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();
    EXPECT_EQ(g.rows(), (Rows{"", "O" + kEnd}));

    Deadline deadline(std::chrono::seconds(60), "a scene's repeat run round the title");
    EXPECT_THROW(
        {
            f.StartScene(u"3");
            g.click();
        },
        platform::RuntimeError);
}

// Returns to the title within one click are fine up to the limit: here a
// scene's run of 50 goes round the title 50 times, each round of the opening
// with a short run of its own, and ends.
TEST(FuzzFindings, ARunThatGoesRoundTheTitleFiftyTimesStillPlays) {
    GameFolder folder;
    folder.script("opn", {"A", "--2", "B", ">end"});
    folder.picture("opn");
    folder.script("3", {"x", "--50", ">end"});
    folder.picture("3");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));
    f.Files.Close(f.FileNo);
    f.StartScene(u"3");
    EXPECT_EQ(g.rows(), (Rows{"", "x" + kEnd}));
    // Step 1 acts on ">end"; steps 2 to 50 each act on the opening's "--2",
    // whose run shows B and returns to the title.
    EXPECT_NO_THROW(g.click());
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));
    EXPECT_EQ(utf8(f.CurLine), "--2");
    EXPECT_TRUE(f.Files.isOpen(f.FileNo));
}
