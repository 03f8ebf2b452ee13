#include "support/large_stack.h"
#include "support/thread_binding.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace support {
namespace {

struct Names {
  int id;
};
struct Messages {
  int id;
};
struct Unbound {};

constexpr std::size_t kSmallStack = std::size_t{1} << 20;

// The worker that walks deep trees must see the run's objects as its caller
// does, in the caller's nesting order, without naming them.
TEST(ThreadBindingTest, WorkerSeesEveryBindingOfItsCaller) {
  Names outerNames{1};
  Names innerNames{2};
  Messages messages{3};
  const ThreadBinding<Names> outer(outerNames);
  const ThreadBinding<Messages> bound(messages);
  const ThreadBinding<Names> inner(innerNames);
  bool ran = false;
  RunOnLargeStack(
      [&] {
        ran = true;
        EXPECT_EQ(ThreadBinding<Names>::Current().id, 2);
        EXPECT_EQ(ThreadBinding<Messages>::Current().id, 3);
        EXPECT_EQ(ThreadBinding<Unbound>::Bound(), nullptr);
        Names workerNames{4};
        {
          const ThreadBinding<Names> own(workerNames);
          // A worker of the worker carries the worker's own binding too.
          RunOnLargeStack(
              [] {
                EXPECT_EQ(ThreadBinding<Names>::Current().id, 4);
                EXPECT_EQ(ThreadBinding<Messages>::Current().id, 3);
              },
              kSmallStack);
        }
        EXPECT_EQ(ThreadBinding<Names>::Current().id, 2);
      },
      kSmallStack);
  EXPECT_TRUE(ran);
  EXPECT_EQ(ThreadBinding<Names>::Current().id, 2);
  EXPECT_EQ(ThreadBinding<Messages>::Current().id, 3);
}

TEST(ThreadBindingTest, WorkerThatThrowsLeavesTheCallersBindings) {
  Names names{5};
  const ThreadBinding<Names> bound(names);
  EXPECT_THROW(RunOnLargeStack([] { throw std::runtime_error("run ended"); }, kSmallStack), std::runtime_error);
  EXPECT_EQ(ThreadBinding<Names>::Current().id, 5);
}

}  // namespace
}  // namespace support
