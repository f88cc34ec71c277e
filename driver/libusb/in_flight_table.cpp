#include "driver/libusb/in_flight_table.h"

#include <algorithm>

namespace velix::driver {

bool InFlightTable::Add(TransferId id, libusb_transfer* transfer, TransferCompletion on_complete,
                        uint64_t session) {
  std::lock_guard lock(mu_);
  const bool taken = std::any_of(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
  if (taken) return false;
  entries_.push_back({id, transfer, std::move(on_complete), session, false, false});
  return true;
}

void InFlightTable::MarkSubmitted(TransferId id, libusb_transfer* transfer, const CancelRequest& request_cancel) {
  std::lock_guard lock(mu_);
  // Absent when the transfer has already completed.
  const auto entry = FindLocked(id, transfer);
  if (entry == entries_.end()) return;
  entry->submitted = true;
  if (entry->cancel_requested) request_cancel(entry->transfer);
}

void InFlightTable::Abandon(TransferId id, libusb_transfer* transfer) {
  std::lock_guard lock(mu_);
  const auto entry = FindLocked(id, transfer);
  if (entry != entries_.end()) EraseLocked(entry);
}

TransferCompletion InFlightTable::Complete(libusb_transfer* transfer) {
  std::lock_guard lock(mu_);
  const auto entry =
      std::find_if(entries_.begin(), entries_.end(), [transfer](const Entry& e) { return e.transfer == transfer; });
  if (entry == entries_.end()) return {};
  TransferCompletion on_complete = std::move(entry->on_complete);
  EraseLocked(entry);
  return on_complete;
}

void InFlightTable::Cancel(TransferId id, const CancelRequest& request_cancel) {
  std::lock_guard lock(mu_);
  const auto entry = std::find_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
  if (entry != entries_.end()) CancelLocked(*entry, request_cancel);
}

void InFlightTable::CancelAll(const CancelRequest& request_cancel) {
  std::lock_guard lock(mu_);
  for (Entry& entry : entries_) CancelLocked(entry, request_cancel);
}

bool InFlightTable::WaitUntilEmpty(std::chrono::milliseconds limit) {
  std::unique_lock lock(mu_);
  return emptied_.wait_for(lock, limit, [this] { return entries_.empty(); });
}

size_t InFlightTable::size() const {
  std::lock_guard lock(mu_);
  return entries_.size();
}

bool InFlightTable::Any(const TransferMatch& match) const {
  std::lock_guard lock(mu_);
  return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return match(e.transfer); });
}

std::vector<InFlightTable::Leftover> InFlightTable::TakeSession(uint64_t session) {
  std::vector<Leftover> taken;
  std::lock_guard lock(mu_);
  for (auto entry = entries_.begin(); entry != entries_.end();) {
    if (entry->session != session) {
      ++entry;
      continue;
    }
    taken.push_back({entry->transfer, std::move(entry->on_complete)});
    entry = entries_.erase(entry);
  }
  if (entries_.empty()) emptied_.notify_all();
  return taken;
}

InFlightTable::Entries::iterator InFlightTable::FindLocked(TransferId id, libusb_transfer* transfer) {
  return std::find_if(entries_.begin(), entries_.end(),
                      [&](const Entry& e) { return e.id == id && e.transfer == transfer; });
}

void InFlightTable::CancelLocked(Entry& entry, const CancelRequest& request_cancel) {
  if (entry.cancel_requested) return;
  entry.cancel_requested = true;
  if (entry.submitted) request_cancel(entry.transfer);
}

void InFlightTable::EraseLocked(Entries::iterator entry) {
  entries_.erase(entry);
  if (entries_.empty()) emptied_.notify_all();
}

}  // namespace velix::driver
