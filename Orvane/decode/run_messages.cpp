#include "Orvane/decode/run_messages.h"

#include "Orvane/capture/run_result.h"
#include "platform/string_format.h"

namespace orvane {

std::string RunEndMessage(uint32_t result) {
  switch (result) {
    case kResultDeviceRemoved: return "*** VELIX removed ***";
    case kResultUnknownUsbError: return "*** Unknown USB error ***";
    case kResultDriverOverrun: return " ++ (DATA OVERRUN) ++\n\n*** Device driver overflow!!! ***";
    case kResultDeviceOverrun: return " ++ (DATA OVERRUN) ++\n\n*** VELIX internal overflow!!! ***";
    case kResultMappingError:
      return "***  sampling data memory mapping error. ***\n Memory allocation error.";
    case kResultMemoryError: return "*** Memory allocation failed. ***\n";
    case kResultBadData: return "*** Sampling data is incorrect. ***";
    default: break;
  }
  if (!IsErrorResult(result)) return {};
  return velix::platform::StringPrintf("Unknown error occured.  (0x%X)", result);
}

const char* AnalysingText(bool japanese) {
  return japanese ? "\xE8\xA7\xA3\xE6\x9E\x90\xE4\xB8\xAD..." : "now Analysis...";
}

const char* SamplingText(bool japanese) {
  return japanese ? "\xE3\x82\xB5\xE3\x83\xB3\xE3\x83\x97\xE3\x83\xAA\xE3\x83\xB3\xE3\x82\xB0\xE4\xB8\xAD!!!"
                  : "Sampling data now!!!";
}

}  // namespace orvane
