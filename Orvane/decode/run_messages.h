#pragma once
// The words the end of a run puts in front of the user.

#include <cstdint>
#include <string>

namespace orvane {

// The message for an error result (empty for a normal end).
std::string RunEndMessage(uint32_t result);

inline constexpr char kNoValidTransaction[] = "No valid transaction.";

// The status texts of a starting run, in the interface language.
const char* AnalysingText(bool japanese);
const char* SamplingText(bool japanese);
inline constexpr uint32_t kAnalysingColour = 0x534D94;
inline constexpr uint32_t kSamplingColour = 0x7F0FFF;

}  // namespace orvane
