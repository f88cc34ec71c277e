#include "Orvane/interchange/change_read_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velix::interchange {
namespace {

// Counts ticks 0, 1, 2, ... up to `total`, in reads of varying length, then
// ends or fails.
class CountingSource final : public LogicSource {
 public:
  CountingSource(uint64_t total, bool fails) : total_(total), fails_(fails) {}

  const std::vector<std::string>& Channels() const override { return channels_; }
  TickLength Tick() const override { return {}; }
  size_t Read(LevelChange* out, size_t capacity) override {
    // Short reads now and then, as a parser stopping at a buffer's end.
    const size_t wanted = (next_ % 7 == 3) ? std::max<size_t>(capacity / 3, 1) : capacity;
    size_t n = 0;
    while (n < wanted && next_ < total_) {
      out[n++] = {next_, static_cast<uint32_t>(next_ % 4), (next_ & 1) != 0};
      ++next_;
    }
    if (next_ == total_) state_ = fails_ ? SourceState::kFailed : SourceState::kEnded;
    return n;
  }
  SourceState State() const override { return state_; }
  uint64_t EndTick() const override { return total_; }
  const std::string& Error() const override { return error_; }

 private:
  std::vector<std::string> channels_{"a", "b", "c", "d"};
  uint64_t total_;
  bool fails_;
  uint64_t next_ = 0;
  SourceState state_ = SourceState::kReading;
  std::string error_;
};

TEST(ChangeReadAhead, HandsOverEveryChangeInOrder) {
  struct Case {
    uint64_t total;
    size_t batch;
    size_t depth;
    bool fails;
  };
  const Case cases[] = {
      {0, 16, 2, false},     {1, 16, 2, false},    {16, 16, 2, false}, {17, 16, 2, false},
      {5000, 16, 2, false},  {5000, 7, 4, false},  {5000, 1, 3, true}, {100000, 1024, 4, false},
      {100000, 1000, 1, true},  // a depth below two still reads ahead
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.total << " changes, batches of " << c.batch << ", depth " << c.depth);
    CountingSource source(c.total, c.fails);
    ChangeReadAhead ahead(&source, c.batch, c.depth);
    uint64_t expected = 0;
    for (std::span<const LevelChange> batch = ahead.Next(); !batch.empty(); batch = ahead.Next()) {
      ASSERT_LE(batch.size(), c.batch);
      for (const LevelChange& change : batch) {
        ASSERT_EQ(change.tick, expected);
        ASSERT_EQ(change.channel, expected % 4);
        ++expected;
      }
    }
    EXPECT_EQ(expected, c.total);
    EXPECT_TRUE(ahead.Next().empty());  // stays at the end
    ahead.Finish();
    EXPECT_EQ(source.State(), c.fails ? SourceState::kFailed : SourceState::kEnded);
  }
}

TEST(ChangeReadAhead, StopsEarlyWithoutReadingToTheEnd) {
  // A caller that gives up (a merge error, a full disk) stops the reader,
  // which then reads at most the batches in flight.
  for (const size_t taken : {size_t{0}, size_t{1}, size_t{5}}) {
    CountingSource source(1'000'000'000, false);
    {
      ChangeReadAhead ahead(&source, 64, 3);
      for (size_t i = 0; i < taken; ++i) ASSERT_FALSE(ahead.Next().empty());
    }
    EXPECT_EQ(source.State(), SourceState::kReading);
  }
}

}  // namespace
}  // namespace velix::interchange
