#include "Orvane/capture/transaction_store.h"

#include <gtest/gtest.h>

#include "Orvane/capture/view_batch.h"

namespace orvane {
namespace {

class TransactionStoreTest : public ::testing::Test {
 protected:
  RecordRef AddRecord(uint32_t index) {
    const RecordRef ref = store_.Allocate();
    EXPECT_NE(ref, kNoRecord);
    store_.At(ref).Index = index;
    store_.AppendToList(ref);
    return ref;
  }
  velix::platform::CriticalSection view_lock_;
  velix::platform::CriticalSection pool_lock_;
  TransactionStore store_{view_lock_, pool_lock_};
};

TEST_F(TransactionStoreTest, ListLinksInDecodeOrder) {
  const RecordRef a = AddRecord(0);
  const RecordRef b = AddRecord(1);
  const RecordRef c = AddRecord(2);
  EXPECT_EQ(store_.Head(), a);
  EXPECT_EQ(store_.Tail(), c);
  EXPECT_EQ(store_.At(a).Prev, kNoRecord);
  EXPECT_EQ(store_.At(a).Next, b);
  EXPECT_EQ(store_.At(c).Prev, b);
  EXPECT_EQ(store_.At(c).Next, kNoRecord);
}

TEST_F(TransactionStoreTest, RecordsStayPutAcrossBlocksAndAreZeroFilled) {
  std::vector<RecordRef> refs;
  for (uint32_t i = 0; i < 70000; ++i) refs.push_back(AddRecord(i));
  for (uint32_t i = 0; i < 70000; i += 6999) {
    EXPECT_EQ(store_.At(refs[i]).Index, i);
    EXPECT_EQ(store_.At(refs[i]).Duration, 0u);
  }
  EXPECT_EQ(store_.RecordCount(), 70000u);
}

TEST_F(TransactionStoreTest, ViewRowsAndResetClearTheInViewFlag) {
  const RecordRef a = AddRecord(7);
  const RecordRef b = AddRecord(8);
  EXPECT_TRUE(store_.AppendToView(b));
  EXPECT_TRUE(store_.AppendToView(a));
  TransactionInfo row{};
  ASSERT_TRUE(store_.GetRow(0, &row));
  EXPECT_EQ(row.Index, 8u);
  EXPECT_TRUE(row.RecordFlags & kRecordInView);
  EXPECT_FALSE(store_.GetRow(2, &row));
  store_.ResetView();
  EXPECT_EQ(store_.ViewCount(), 0u);
  EXPECT_FALSE(store_.At(a).RecordFlags & kRecordInView);
  EXPECT_EQ(store_.View().Capacity(), kViewCapacity);
}

// Every way into the view marks the record; a reset after any of them must
// clear the mark, or a second filter would take the record as entered.
enum class Entry { kAppend, kLive, kBatch };

class TransactionStoreEntry : public TransactionStoreTest, public ::testing::WithParamInterface<Entry> {};

TEST_P(TransactionStoreEntry, ResetClearsTheMarkOfEveryEntry) {
  const Entry entry = GetParam();
  if (entry == Entry::kLive) {
    ASSERT_TRUE(store_.CreatePool());
  }
  for (uint32_t round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const RecordRef a = round == 0 ? AddRecord(0) : store_.Head();
    switch (entry) {
      case Entry::kAppend:
        EXPECT_TRUE(store_.AppendToView(a));
        break;
      case Entry::kLive:
        store_.AppendToViewLive(a);
        break;
      case Entry::kBatch: {
        ViewBatch batch(store_);
        EXPECT_TRUE(batch.Add(a, store_.At(a)));
        break;
      }
    }
    EXPECT_TRUE(store_.At(a).RecordFlags & kRecordInView);
    store_.ResetView();
    EXPECT_FALSE(store_.At(a).RecordFlags & kRecordInView);
  }
}

INSTANTIATE_TEST_SUITE_P(Entries, TransactionStoreEntry,
                         ::testing::Values(Entry::kAppend, Entry::kLive, Entry::kBatch));

TEST_F(TransactionStoreTest, AllocatedRecordsAreTheirRefsAcrossBlocks) {
  // The allocation that hands back the record, across block boundaries.
  for (uint32_t i = 0; i < 2 * 65536 + 20; ++i) {
    RecordRef ref = kNoRecord;
    TransactionInfo* record = store_.AllocateRecord(&ref);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(ref, i);
    ASSERT_EQ(record, &store_.At(ref));
    ASSERT_EQ(record->Index, 0u);
    record->Index = i + 1;
  }
  EXPECT_EQ(store_.At(65535).Index, 65536u);
  EXPECT_EQ(store_.At(65536).Index, 65537u);
}

TEST_F(TransactionStoreTest, TimingRecordBelongsToAnalyzerI2CRecordsOnly) {
  const RecordRef a = AddRecord(0);
  TransactionInfo& record = store_.At(a);
  record.RecordFlags = kRecordI2C | kRecordAnalyzer;
  ASSERT_TRUE(store_.AttachTiming(record));
  ASSERT_NE(store_.Timing(record), nullptr);
  store_.Timing(record)->tBUF = 42;
  EXPECT_EQ(store_.Timing(store_.At(a))->tBUF, 42u);
  record.RecordFlags = kRecordAnalyzer;
  EXPECT_EQ(store_.Timing(record), nullptr);
}

TEST_F(TransactionStoreTest, LiveRingOverwritesTheOldestEntry) {
  ASSERT_TRUE(store_.CreatePool());
  EXPECT_EQ(store_.View().Capacity(), kLivePoolRecords);
  for (uint32_t i = 0; i < kLivePoolRecords + 1; ++i) {
    const RecordRef ref = store_.Allocate();
    store_.At(ref).Index = i;
    store_.AppendToViewLive(ref);
  }
  EXPECT_TRUE(store_.PoolWrapped());
  EXPECT_EQ(store_.PoolCursor(), 1u);
  EXPECT_EQ(store_.ViewCount(), kLivePoolRecords);
  TransactionInfo row{};
  ASSERT_TRUE(store_.GetRow(0, &row));
  EXPECT_EQ(row.Index, 1u);
  ASSERT_TRUE(store_.GetRow(kLivePoolRecords - 1, &row));
  EXPECT_EQ(row.Index, kLivePoolRecords);
  store_.DeletePool();
  EXPECT_FALSE(store_.PoolMode());
  EXPECT_EQ(store_.View().Capacity(), kViewCapacity);
}

TEST_F(TransactionStoreTest, PurgeForgetsEverything) {
  AddRecord(0);
  store_.AppendToView(store_.Head());
  store_.PurgeAll();
  EXPECT_EQ(store_.Head(), kNoRecord);
  EXPECT_EQ(store_.ViewCount(), 0u);
  EXPECT_EQ(store_.RecordCount(), 0u);
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// AllocateRecord hands out the same references as Allocate, in heap and
// pool mode alike, across block boundaries and the pool's wrap, with the
// record it returns being the one At() finds, zero-filled.
TEST(TransactionStoreAllocateRecord, AgreesWithAllocateAndAt) {
  struct Case {
    const char* name;
    bool pool;
    uint32_t records;
  };
  const Case cases[] = {
      {"heap, one block", false, 100},
      {"heap, past a block boundary", false, (1u << 16) + 3},
      {"pool, past its wrap", true, kLivePoolRecords + 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    velix::platform::CriticalSection view_lock;
    velix::platform::CriticalSection pool_lock;
    TransactionStore store(view_lock, pool_lock);
    if (c.pool) {
      ASSERT_TRUE(store.CreatePool());
    }
    for (uint32_t i = 0; i < c.records; ++i) {
      RecordRef ref = kNoRecord;
      TransactionInfo* record = nullptr;
      if (i % 3 == 0) {
        ref = store.Allocate();
        ASSERT_NE(ref, kNoRecord);
        record = &store.At(ref);
      } else {
        record = store.AllocateRecord(&ref);
        ASSERT_NE(record, nullptr);
        ASSERT_EQ(record, &store.At(ref));
      }
      const RecordRef expected = c.pool ? i % kLivePoolRecords : i;
      ASSERT_EQ(ref, expected);
      ASSERT_EQ(record->Duration, 0u);
      ASSERT_EQ(record->Next, 0u);
      record->Duration = i + 1;
      store.AppendToList(ref, *record);
    }
    if (!c.pool) {
      EXPECT_EQ(store.RecordCount(), c.records);
    }
    EXPECT_EQ(store.At(store.Tail()).Duration, c.records);
  }
}

}  // namespace
}  // namespace orvane
