#include "Orvane/ui/message_texts.h"

#include <gtest/gtest.h>

#include <QTranslator>
#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Orvane/capture/capture_limits.h"
#include "Orvane/capture/capture_start_checks.h"
#include "Orvane/capture/general_settings.h"
#include "Orvane/capture/run_result.h"
#include "Orvane/decode/capture_command.h"
#include "Orvane/decode/dialog_values.h"
#include "Orvane/decode/export_text.h"
#include "Orvane/decode/export_writer.h"
#include "Orvane/decode/live_end.h"
#include "Orvane/decode/run_messages.h"
#include "Orvane/decode/tests/views_test_support.h"
#include "Orvane/decode/transaction_filter.h"
#include "Orvane/decode/transaction_search.h"
#include "Orvane/ui/model/status_texts.h"

// A core text that is not in its table shows in English in a Japanese
// window, and nothing else would notice: each case gathers texts the core
// really produces and looks for them verbatim.
namespace orvane::ui {
namespace {

bool Listed(std::span<const char* const> table, std::string_view text) {
  for (const char* entry : table) {
    if (text == entry) return true;
  }
  return false;
}

// Blank texts clear a pane and need no translation.
bool Blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

void ExpectAllListed(std::span<const char* const> table, const std::vector<std::string>& texts) {
  EXPECT_FALSE(texts.empty());
  for (const std::string& text : texts) {
    if (!Blank(text)) {
      EXPECT_TRUE(Listed(table, text)) << "not listed: \"" << text << '"';
    }
  }
}

template <size_t N>
void Append(std::vector<std::string>& texts, const std::array<const char*, N>& labels) {
  texts.insert(texts.end(), labels.begin(), labels.end());
}

TEST(MessageTexts, EachTableListsATextOnce) {
  for (std::span<const char* const> table : {MessageTexts(), StatusBarTexts()}) {
    std::set<std::string_view> seen;
    for (const char* entry : table) EXPECT_TRUE(seen.insert(entry).second) << "twice: \"" << entry << '"';
  }
}

TEST(MessageTexts, FixedCoreTexts) {
  std::vector<std::string> texts = {
      kDiscardSamplingDataQuestion, kDeviceNotFoundQuestion,        kDeviceInUseMessage,
      kUsb1Question,                kCaptureStartFailed,            kDriverBufferNotSmallerMessage,
      kDriverBufferFailedMessage,   kDriverBufferNote,              kPowerAlreadySuppliedWarning,
      kNoValidTransaction,          kEmptySamplingData,             kSaveSamplingDataTitle,
      kJumpNearestQuestion,         kExportErrorTitle,              CaptureModeTitle(true).text,
      CaptureModeTitle(false).text, PowerStateText({true, true}),   PowerStateText({true, false}),
      SaveIndexRangeDialog{}.caption, SaveIndexRangeDialog{}.description,
  };
  Append(texts, kCaptureBusLabels);
  Append(texts, kCaptureModeLabels);
  Append(texts, kFrequencyLabels);
  Append(texts, kPowerSupplyLabels);
  Append(texts, kNoiseFilterLabels);
  ExpectAllListed(MessageTexts(), texts);
}

TEST(MessageTexts, RunEndMessages) {
  const uint32_t errors[] = {kResultDeviceRemoved, kResultUnknownUsbError, kResultDriverOverrun,
                             kResultDeviceOverrun, kResultMappingError,    kResultMemoryError,
                             kResultBadData};
  std::vector<std::string> texts;
  for (uint32_t result : errors) texts.push_back(RunEndMessage(result));
  ExpectAllListed(MessageTexts(), texts);
}

TEST(MessageTexts, DialogChecks) {
  std::vector<std::string> texts;
  for (TimingPreset preset : {TimingPreset::kFast, TimingPreset::kStandard, TimingPreset::kHs100pF,
                              TimingPreset::kHs400pF}) {
    texts.push_back(PresetQuestion(preset));
  }
  SettingsRecord settings = DefaultSettingsRecord();
  const FilterDialogFields bad_fields[] = {
      {.enabled = true, .range_enabled = true, .range_start = "9", .range_end = "1"},
      {.enabled = true, .address_enabled = true, .ten_bit = true, .address = "0x400", .address_mask = "0"},
      {.enabled = true, .address_enabled = true, .address = "0x50", .address_mask = "x"},
  };
  for (const FilterDialogFields& fields : bad_fields) texts.push_back(ApplyFilterDialog(fields, &settings).value_or("(no message)"));
  uint16_t address = 0;
  texts.push_back(ParseSearchAddress("zz", false, &address).value_or("(no message)"));
  SpiSettingsFields spi = SpiFieldsFromSettings(settings);
  spi.data_length = "1";
  texts.push_back(ApplySpiSettingsDialog(spi, &settings).message.value_or("(no message)"));
  ExpectAllListed(MessageTexts(), texts);
}

class SearchAndFilterTexts : public ::testing::Test, public views_test::RecordsFixture {};

TEST_F(SearchAndFilterTexts, WhatTheyPostAndShow) {
  AddI2C(0x50, false, 2);
  ViewAll();
  SettingsRecord settings = views_test::I2CSettings();
  SearchEnv env{Sampling(), settings, sink_, &views_test::FakeLoad};
  for (SearchKind kind : {SearchKind::kData, SearchKind::kI2CAddress, SearchKind::kI2CSubAddress,
                          SearchKind::kNack, SearchKind::kError}) {
    SearchMemory memory;
    memory.address = 0x51;
    memory.sub_data[0] = 0xEE;
    RunSearch(env, memory, kind, SearchDirection::kForward, std::nullopt);
  }
  SearchMemory hit;
  hit.address = 0x50;
  RunSearch(env, hit, SearchKind::kI2CAddress, SearchDirection::kForward, std::nullopt);
  FindTriggerRow(env);
  JumpToTransaction(env, 0);
  JumpToTransaction(env, 7);
  ApplyTransactionFilter(Sampling(), settings, sink_, &views_test::FakeLoad);
  std::vector<std::string> texts = sink_.StatusTexts();
  for (const auto& message : sink_.Messages()) texts.push_back(message.text);
  ExpectAllListed(MessageTexts(), texts);
}

TEST(StatusBarTexts, IdlePanePieces) {
  std::vector<std::string> texts;
  for (int mask = 0; mask < 32; ++mask) {
    for (uint8_t bus = 0; bus < 3; ++bus) {
      const IdleState state{.live = (mask & 1) != 0,
                            .loaded = (mask & 2) != 0,
                            .monitor_mode = (mask & 4) != 0,
                            .forced_display = (mask & 8) != 0,
                            .free_run = (mask & 16) != 0,
                            .bus = bus,
                            .selected_index = 3u};
      for (const IdlePiece& piece : IdlePaneText(state)) texts.push_back(piece.text);
    }
  }
  ExpectAllListed(StatusBarTexts(), texts);
}

int Count(const QString& text, const QString& marker) { return static_cast<int>(text.count(marker)); }

TEST(Translations, JapaneseForEveryListedText) {
  QTranslator japanese;
  ASSERT_TRUE(japanese.load(QStringLiteral(ORVANE_JA_QM)));
  const std::pair<const char*, std::span<const char* const>> tables[] = {{"Messages", MessageTexts()},
                                                                          {"StatusBar", StatusBarTexts()}};
  for (const auto& [context, table] : tables) {
    for (const char* text : table) {
      const QString translated = japanese.translate(context, text);
      EXPECT_FALSE(translated.isEmpty()) << context << ": \"" << text << '"';
      // The window fills the numbers in after the lookup.
      EXPECT_EQ(Count(translated, QStringLiteral("%u")), Count(QString::fromUtf8(text), QStringLiteral("%u")))
          << context << ": \"" << text << '"';
    }
  }
}

}  // namespace
}  // namespace orvane::ui
