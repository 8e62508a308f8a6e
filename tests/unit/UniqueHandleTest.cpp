#include "core/UniqueHandle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Handles are numbers here; each close is noted.
struct NotedClosePolicy {
  using Handle = int;
  static inline std::vector<int> closed;
  static bool IsHeld(int handle) { return handle != 0; }
  static bool Close(int handle) {
    closed.push_back(handle);
    return true;
  }
};

TEST(UniqueHandle, EachHandleIsClosedOnceByItsLastOwner) {
  using Owned = tolvane::UniqueHandle<NotedClosePolicy>;
  std::vector<int>& closed = NotedClosePolicy::closed;
  closed.clear();
  {
    Owned first(1);
    Owned second(std::move(first));
    EXPECT_FALSE(first);
    Owned taker(2);
    taker = std::move(second);
    EXPECT_EQ(closed, std::vector<int>{2}) << "the taker's own handle closes";
    taker.reset(3);
    EXPECT_EQ(closed, (std::vector<int>{2, 1}));
    EXPECT_EQ(taker.release(), 3);
    EXPECT_FALSE(taker);

    Owned closing(4);
    EXPECT_TRUE(closing.Close());
    EXPECT_TRUE(closing.Close());
    Owned receiving(5);
    *receiving.Receive() = 6;
    EXPECT_EQ(receiving.get(), 6);
    EXPECT_EQ(closed, (std::vector<int>{2, 1, 4, 5}));
  }
  EXPECT_EQ(closed, (std::vector<int>{2, 1, 4, 5, 6})) << "released 3 stays open";
}

}  // namespace
