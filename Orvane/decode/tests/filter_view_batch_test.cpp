// The filter enters its rows a batch at a time: the view must end up as a
// row-by-row append would leave it, and a reader between batches must only
// ever see a prefix of the final list.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "Orvane/capture/view_batch.h"
#include "Orvane/decode/tests/views_test_support.h"
#include "Orvane/decode/transaction_filter.h"

namespace orvane {
namespace {

using views_test::FakeLoad;

constexpr uint32_t kBatch = ViewBatch::kRows;

class BatchHarness : public views_test::RecordsFixture {
 public:
  void AddRecords(uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) AddI2C(static_cast<uint16_t>(0x50 + i % 3), i % 2, 3);
  }
  FilterOutcome Apply() { return ApplyTransactionFilter(Sampling(), s_, sink_, &FakeLoad); }
  // The rows a row-by-row append of every record passing `pass` gives.
  template <typename Pass>
  std::vector<uint32_t> Expected(Pass pass) {
    std::vector<uint32_t> indexes;
    for (RecordRef ref = Store().Head(); ref != kNoRecord; ref = Store().At(ref).Next) {
      if (pass(Store().At(ref))) indexes.push_back(Store().At(ref).Index);
    }
    return indexes;
  }
  // Every record is marked as in the view exactly when a row shows it.
  void ExpectInViewFlagsMatch(const std::vector<uint32_t>& rows) {
    std::vector<bool> shown(Store().RecordCount(), false);
    for (uint32_t index : rows) shown[index] = true;
    for (RecordRef ref = Store().Head(); ref != kNoRecord; ref = Store().At(ref).Next) {
      const TransactionInfo& r = Store().At(ref);
      EXPECT_EQ((r.RecordFlags & kRecordInView) != 0, shown[r.Index]) << "record " << r.Index;
    }
  }
  SettingsRecord s_ = views_test::I2CSettings();
};

class FilterViewBatchTest : public ::testing::Test, public BatchHarness {};

struct BatchCase {
  const char* name;
  uint32_t records;
  bool address_filter;  // only address 0x51 passes
};

TEST(FilterViewBatch, BatchedRowsEqualRowByRowAppend) {
  const BatchCase cases[] = {
      {"one record", 1, false},
      {"one short of a batch", kBatch - 1, false},
      {"exactly one batch", kBatch, false},
      {"one past a batch", kBatch + 1, false},
      {"several batches and a rest", 3 * kBatch + 7, false},
      {"a third passes, rest of a batch", 3 * kBatch + 2, true},
  };
  for (const BatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    BatchHarness h;
    h.AddRecords(c.records);
    h.s_.FilterEnable = c.address_filter ? 1 : 0;
    h.s_.FilterAddressEnable = c.address_filter ? 1 : 0;
    h.s_.FilterAddressMask = 0xFF;
    h.s_.FilterAddressValue = 0x51;
    h.s_.FilterRead = h.s_.FilterWrite = 1;
    const std::vector<uint32_t> expected = h.Expected([&](const TransactionInfo& r) {
      return !c.address_filter || r.i2c.I2CAddress == 0x51;
    });
    const FilterOutcome outcome = h.Apply();
    EXPECT_EQ(outcome.entered, expected.size());
    EXPECT_FALSE(outcome.view_full);
    const std::vector<uint32_t> rows = h.ViewIndexes();
    EXPECT_EQ(rows, expected);
    h.ExpectInViewFlagsMatch(rows);
  }
}

TEST_F(FilterViewBatchTest, FillingTheViewStopsWithTheRowThatFillsIt) {
  // The pool's view holds kLivePoolRecords rows, which is no whole number
  // of batches: the batch that fills it is a partial one.
  ASSERT_TRUE(Store().CreatePool());
  ASSERT_NE(kLivePoolRecords % kBatch, 0u);
  AddRecords(kLivePoolRecords);
  s_.FilterEnable = 0;
  const FilterOutcome outcome = Apply();
  EXPECT_TRUE(outcome.view_full);
  EXPECT_EQ(outcome.entered, kLivePoolRecords);
  const std::vector<uint32_t> rows = ViewIndexes();
  ASSERT_EQ(rows.size(), kLivePoolRecords);
  EXPECT_EQ(rows.front(), 0u);
  EXPECT_EQ(rows.back(), kLivePoolRecords - 1);
}

TEST_F(FilterViewBatchTest, AFullViewEntersNothingMoreButMarksTheRecord) {
  ASSERT_TRUE(Store().CreatePool());
  AddRecords(2);
  for (uint32_t i = 0; i < kLivePoolRecords; ++i) Store().AppendToView(Store().Head());
  ViewBatch batch(Store());
  EXPECT_FALSE(batch.Add(Store().Tail(), Store().At(Store().Tail())));
  batch.Flush();
  EXPECT_EQ(Store().ViewCount(), kLivePoolRecords);
  EXPECT_TRUE(Store().At(Store().Tail()).RecordFlags & kRecordInView);
}

TEST_F(FilterViewBatchTest, AReaderBetweenBatchesSeesAPrefixOfTheFinalList) {
  AddRecords(40 * kBatch + 13);
  s_.FilterEnable = 0;
  std::atomic<bool> done{false};
  std::vector<std::vector<RecordRef>> seen;
  std::thread reader([&] {
    size_t last_size = 0;
    while (!done.load(std::memory_order_acquire)) {
      std::vector<RecordRef> rows;
      {
        velix::platform::SectionLock lock(Sampling().ViewLock());
        const TransactionView& view = Store().View();
        for (uint32_t i = 0; i < view.Count(); ++i) rows.push_back(view.Row(i));
      }
      if (rows.size() != last_size) {
        last_size = rows.size();
        seen.push_back(std::move(rows));
      }
      std::this_thread::yield();
    }
  });
  const FilterOutcome outcome = Apply();
  done.store(true, std::memory_order_release);
  reader.join();
  std::vector<RecordRef> final_rows;
  for (uint32_t i = 0; i < outcome.entered; ++i) final_rows.push_back(Store().View().Row(i));
  for (const std::vector<RecordRef>& rows : seen) {
    ASSERT_LE(rows.size(), final_rows.size());
    EXPECT_TRUE(rows.size() % kBatch == 0 || rows.size() == final_rows.size()) << rows.size();
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), final_rows.begin())) << rows.size();
  }
}

}  // namespace
}  // namespace orvane
