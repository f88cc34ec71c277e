#pragma once
// The dump views' face: a fixed-pitch font at 10 points, so the digits of
// every row line up under the column captions.

#include <QFont>

namespace orvane::ui {

// "DotumChe" where it is installed, else the system's fixed-pitch font.
QFont DumpFont();

}  // namespace orvane::ui
