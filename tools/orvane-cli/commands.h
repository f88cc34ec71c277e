#pragma once
// The sub-commands of orvane-cli. Each returns the process exit status:
// 0 success, 1 usage error, 2 the file cannot be opened or is not a
// sampling data file (or no device was found, or the capture is of a kind
// the command cannot use), 3 the data are corrupt or
// unreadable or a scenario is wrong, 4 the decode run ended with an error
// result, 5 no valid transaction, 6 an export, an output file or standard
// output could not be written, 7 a search found nothing.

namespace orvane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitOpenFailed = 2;
inline constexpr int kExitBadData = 3;
inline constexpr int kExitRunError = 4;
inline constexpr int kExitNoTransaction = 5;
inline constexpr int kExitExportFailed = 6;
inline constexpr int kExitNotFound = 7;

int RunInfo(int argc, char** argv);
int RunAtoms(int argc, char** argv);
int RunSynth(int argc, char** argv);
int RunDecode(int argc, char** argv);
int RunSearch(int argc, char** argv);
int RunStats(int argc, char** argv);
int RunCapture(int argc, char** argv);
int RunConvert(int argc, char** argv);

}  // namespace orvane::cli
