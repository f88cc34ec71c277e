#include "driver/libusb/in_flight_table.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

namespace velix::driver {
namespace {

using namespace std::chrono_literals;

// Stand-ins for libusb transfers: the table only compares their addresses.
std::array<int, 4> storage;
libusb_transfer* FakeTransfer(int index) { return reinterpret_cast<libusb_transfer*>(&storage[index]); }

enum class Op { kAdd, kSubmit, kFailSubmit, kCancel, kCancelAll, kComplete };

struct Step {
  Op op;
  TransferId id;
  int transfer;          // index of the fake transfer
  bool expect = true;    // kAdd: accepted; kComplete: a completion comes back
};

struct Script {
  const char* name;
  std::vector<Step> steps;
  std::vector<int> cancels;  // transfers libusb is asked to cancel, in order
  size_t left = 0;           // entries still in the table at the end
};

TEST(InFlightTableTest, Scripts) {
  const Script scripts[] = {
      {"completion delivered once",
       {{Op::kAdd, 1, 0}, {Op::kSubmit, 1, 0}, {Op::kComplete, 1, 0}, {Op::kComplete, 1, 0, false}}, {}},
      {"cancel of an unknown id ignored", {{Op::kAdd, 1, 0}, {Op::kSubmit, 1, 0}, {Op::kCancel, 2, 0}}, {}, 1},
      {"cancel after completion ignored",
       {{Op::kAdd, 1, 0}, {Op::kSubmit, 1, 0}, {Op::kComplete, 1, 0}, {Op::kCancel, 1, 0}}, {}},
      {"cancel in flight asks once",
       {{Op::kAdd, 1, 0}, {Op::kSubmit, 1, 0}, {Op::kCancel, 1, 0}, {Op::kCancel, 1, 0}, {Op::kComplete, 1, 0}},
       {0}},
      {"cancel during hand-over held until submitted",
       {{Op::kAdd, 1, 0}, {Op::kCancel, 1, 0}, {Op::kSubmit, 1, 0}, {Op::kComplete, 1, 0}},
       {0}},
      {"held cancel dropped when the transfer completes first",
       {{Op::kAdd, 1, 0}, {Op::kCancel, 1, 0}, {Op::kComplete, 1, 0}, {Op::kSubmit, 1, 0}}, {}},
      {"failed hand-over never completes",
       {{Op::kAdd, 1, 0}, {Op::kCancel, 1, 0}, {Op::kFailSubmit, 1, 0}, {Op::kComplete, 1, 0, false}}, {}},
      {"duplicate id refused while in flight",
       {{Op::kAdd, 1, 0}, {Op::kAdd, 1, 1, false}, {Op::kSubmit, 1, 0}, {Op::kComplete, 1, 1, false}},
       {},
       1},
      {"id reused after completion",
       {{Op::kAdd, 1, 0}, {Op::kSubmit, 1, 0}, {Op::kComplete, 1, 0}, {Op::kAdd, 1, 1}, {Op::kSubmit, 1, 1},
        {Op::kCancel, 1, 0}, {Op::kComplete, 1, 1}},
       {1}},
      {"late hand-over of an old transfer leaves the new one alone",
       {{Op::kAdd, 1, 0}, {Op::kComplete, 1, 0}, {Op::kAdd, 1, 1}, {Op::kCancel, 1, 1}, {Op::kSubmit, 1, 0},
        {Op::kSubmit, 1, 1}},
       {1},
       1},
      {"cancel all asks for submitted ones and holds the rest",
       {{Op::kAdd, 1, 0}, {Op::kSubmit, 1, 0}, {Op::kAdd, 2, 1}, {Op::kCancelAll, 0, 0}, {Op::kSubmit, 2, 1}},
       {0, 1},
       2},
  };
  for (const Script& script : scripts) {
    InFlightTable table;
    std::vector<int> cancels;
    int completions = 0;
    const InFlightTable::CancelRequest cancel = [&](libusb_transfer* t) {
      cancels.push_back(static_cast<int>(reinterpret_cast<int*>(t) - storage.data()));
    };
    for (const Step& step : script.steps) {
      libusb_transfer* transfer = FakeTransfer(step.transfer);
      switch (step.op) {
        case Op::kAdd:
          EXPECT_EQ(table.Add(step.id, transfer, [&](UsbdStatus, uint32_t) { ++completions; }), step.expect)
              << script.name;
          break;
        case Op::kSubmit:
          table.MarkSubmitted(step.id, transfer, cancel);
          break;
        case Op::kFailSubmit:
          table.Abandon(step.id, transfer);
          break;
        case Op::kCancel:
          table.Cancel(step.id, cancel);
          break;
        case Op::kCancelAll:
          table.CancelAll(cancel);
          break;
        case Op::kComplete: {
          const TransferCompletion done = table.Complete(transfer);
          EXPECT_EQ(static_cast<bool>(done), step.expect) << script.name;
          if (done) done(kUsbdSuccess, 0);
          break;
        }
      }
    }
    EXPECT_EQ(cancels, script.cancels) << script.name;
    EXPECT_EQ(table.size(), script.left) << script.name;
  }
}

TEST(InFlightTableTest, WaitUntilEmptyFollowsCompletions) {
  InFlightTable table;
  EXPECT_TRUE(table.WaitUntilEmpty(0ms));
  ASSERT_TRUE(table.Add(1, FakeTransfer(0), [](UsbdStatus, uint32_t) {}));
  EXPECT_FALSE(table.WaitUntilEmpty(5ms));
  std::thread completer([&] {
    std::this_thread::sleep_for(10ms);
    table.Complete(FakeTransfer(0));
  });
  EXPECT_TRUE(table.WaitUntilEmpty(5s));
  completer.join();
}

// A closed handle's transfers leave the table at once; a completion that
// still comes for one of them finds nothing, so it neither runs twice nor
// frees what the closer freed.
TEST(InFlightTableTest, TakingASessionLeavesTheOthers) {
  InFlightTable table;
  int completions = 0;
  const auto count = [&](UsbdStatus, uint32_t) { ++completions; };
  ASSERT_TRUE(table.Add(1, FakeTransfer(0), count, 7));
  ASSERT_TRUE(table.Add(2, FakeTransfer(1), count, 8));
  ASSERT_TRUE(table.Add(3, FakeTransfer(2), count, 7));
  std::vector<InFlightTable::Leftover> taken = table.TakeSession(7);
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].transfer, FakeTransfer(0));
  EXPECT_EQ(taken[1].transfer, FakeTransfer(2));
  for (auto& leftover : taken) leftover.on_complete(kUsbdCanceled, 0);
  EXPECT_EQ(completions, 2);
  EXPECT_FALSE(table.Complete(FakeTransfer(0)));
  EXPECT_EQ(table.size(), 1u);
  EXPECT_TRUE(table.Any([](const libusb_transfer* t) { return t == FakeTransfer(1); }));
  EXPECT_FALSE(table.Any([](const libusb_transfer* t) { return t == FakeTransfer(0); }));
  EXPECT_TRUE(table.TakeSession(7).empty());
}

// A cancel must never reach a transfer that its completion has already
// released: the completer frees right after Complete returns, as libusb's
// callback does.
TEST(InFlightTableTest, CancelNeverTouchesAFreedTransfer) {
  constexpr int kRounds = 2000;
  InFlightTable table;
  std::array<std::atomic<bool>, 2> freed{};
  std::atomic<int> cancelled_freed{0};
  std::atomic<int> completions{0};
  std::atomic<bool> done{false};
  const InFlightTable::CancelRequest cancel = [&](libusb_transfer* t) {
    const auto index = reinterpret_cast<int*>(t) - storage.data();
    if (freed[static_cast<size_t>(index)].load()) cancelled_freed.fetch_add(1);
  };
  std::thread canceller([&] {
    while (!done.load()) table.Cancel(7, cancel);
  });
  for (int round = 0; round < kRounds; ++round) {
    const int index = round % 2;
    freed[static_cast<size_t>(index)].store(false);
    ASSERT_TRUE(table.Add(7, FakeTransfer(index), [&](UsbdStatus, uint32_t) { completions.fetch_add(1); }));
    table.MarkSubmitted(7, FakeTransfer(index), cancel);
    const TransferCompletion on_complete = table.Complete(FakeTransfer(index));
    freed[static_cast<size_t>(index)].store(true);
    ASSERT_TRUE(on_complete);
    on_complete(kUsbdCanceled, 0);
  }
  done.store(true);
  canceller.join();
  EXPECT_EQ(cancelled_freed.load(), 0);
  EXPECT_EQ(completions.load(), kRounds);
  EXPECT_EQ(table.size(), 0u);
}

}  // namespace
}  // namespace velix::driver
