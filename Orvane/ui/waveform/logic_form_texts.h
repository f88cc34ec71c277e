#pragma once
// The texts of the "Timing" tab and of the time entries it opens, marked
// for the translation tools (context "LogicForm").

#include <QtGlobal>

#include <array>

#include "Orvane/ui/waveform/logic_form_model.h"

namespace logic_form_texts {

inline constexpr char kContext[] = "LogicForm";

inline constexpr std::array<const char*, 4> kForcedRows = {
    QT_TRANSLATE_NOOP("LogicForm", "S0 [SS/SCL #0]"), QT_TRANSLATE_NOOP("LogicForm", "S1 [SCLK/SDA #0]"),
    QT_TRANSLATE_NOOP("LogicForm", "S2 [MISO/SCL #1]"), QT_TRANSLATE_NOOP("LogicForm", "S3 [MOSI/SDA #1]")};
inline constexpr std::array<const char*, 4> kSpiRows = {
    QT_TRANSLATE_NOOP("LogicForm", "SS"), QT_TRANSLATE_NOOP("LogicForm", "SCLK"),
    QT_TRANSLATE_NOOP("LogicForm", "[MOSI]"), QT_TRANSLATE_NOOP("LogicForm", "[MISO]")};
inline constexpr std::array<const char*, 4> kI2cRows = {
    QT_TRANSLATE_NOOP("LogicForm", "SCL"), QT_TRANSLATE_NOOP("LogicForm", "SDA"), "", ""};

// The second half of every time entry caption.
inline constexpr char kSpanTitle[] = QT_TRANSLATE_NOOP("LogicForm", "TIME(μs) input");
inline constexpr char kAbsoluteTitle[] = QT_TRANSLATE_NOOP("LogicForm", "TIME(s:ms:μs) input");

struct EntryTexts {
  const char* caption;  // the first half of the caption
  const char* prompt;
};
// By TimeEntryTarget; the marker entries name the marker through %1.
inline constexpr std::array<EntryTexts, 6> kEntries = {{
    {QT_TRANSLATE_NOOP("LogicForm", "Start waveform display "),
     QT_TRANSLATE_NOOP("LogicForm",
                       "Please specify a starting position for waveform of this transaction within the "
                       "following range. ")},
    {QT_TRANSLATE_NOOP("LogicForm", "Start waveform display "),
     QT_TRANSLATE_NOOP("LogicForm",
                       "Please specify a starting position for waveform of this transaction within the "
                       "time frame.")},
    {QT_TRANSLATE_NOOP("LogicForm", "End waveform display"),
     QT_TRANSLATE_NOOP("LogicForm",
                       "Please specify a last position for waveform of this transaction within the "
                       "following range.")},
    {QT_TRANSLATE_NOOP("LogicForm", "End waveform display"),
     QT_TRANSLATE_NOOP("LogicForm",
                       "Please specify a last position for waveform of this transaction within the time "
                       "frame.")},
    {"%1", QT_TRANSLATE_NOOP("LogicForm",
                             "Please specify a Marker-%1 position for waveform of this transaction within "
                             "the following range. ")},
    {"%1", QT_TRANSLATE_NOOP("LogicForm",
                             "Please specify a Marker-%1 position for waveform of this transaction within "
                             "the time frame.")},
}};
static_assert(kEntries.size() == static_cast<size_t>(orvane::ui::TimeEntryTarget::kMarkerAbsolute) + 1);

}  // namespace logic_form_texts
