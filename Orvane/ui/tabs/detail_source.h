#pragma once
// How a data tab reaches the selected transaction's detail: the document's
// sampling object may be replaced at any time (a new file, a capture), so
// the tabs ask for it on every use and never keep it. Null when there is
// no sampling object.

#include <functional>

#include "Orvane/capture/transaction_detail.h"

namespace orvane::ui {

using DetailSource = std::function<const TransactionDetail*()>;

}  // namespace orvane::ui
