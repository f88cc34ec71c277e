#pragma once
// Where the CPLD image of each personality is found: the first file of the
// image folder that matches "velixc_ana*.frm" (analyzer) or
// "velixc_mon*.frm" (monitor), compared ignoring case as the masks were
// always meant. "First" is the first in name order, so the choice does not
// depend on the order the file system lists the folder in.

#include <string>

#include "ModeChange/firmware_access.h"

namespace velix::modechange {

// The mask of a personality ("" for kNone).
const char* ImageFileMask(Personality mode);

// True when `name` matches `mask` (one "*" standing for any run of characters).
bool MatchesImageMask(const std::string& name, const std::string& mask);

// The path of the image file for `mode` in `folder`; empty when none matches.
std::string FindImageFile(const std::string& folder, Personality mode);

// The folder of the running executable, without a trailing "/".
std::string ExecutableFolder();

}  // namespace velix::modechange
