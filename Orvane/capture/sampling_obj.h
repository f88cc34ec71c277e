#pragma once
// The sampling object: owns the sampling data of one capture or opened file
// (live buffer or mapped file), the atom reader over it, the detail cache of
// the selected transaction and the events of a capture. One per document.
//
// Positions are 32-bit byte offsets into the sampling data (position 0 = the
// first byte after the file header). Offline, every read goes through the
// view lock, which serialises the window switch with the read; during a
// live capture the capture reader writes ahead of the readers and reads take
// no lock.

#include <atomic>
#include <cstdint>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/sample_atom.h"
#include "Orvane/capture/sampling_file_map.h"
#include "Orvane/capture/sic_header.h"
#include "Orvane/capture/transaction_detail.h"
#include "Orvane/capture/transaction_store.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/interaction.h"

namespace orvane {

inline constexpr uint32_t kNoStopAddress = 0xFFFFFFFFu;

class CSamplingObj {
 public:
  CSamplingObj(AppState& app, velix::platform::InteractionSink& sink);
  ~CSamplingObj();
  CSamplingObj(const CSamplingObj&) = delete;
  CSamplingObj& operator=(const CSamplingObj&) = delete;

  // Maps a sampling data file (header included) and points the buffer
  // values at its data. 0 on success, else 0x80100000 or 0xA10C0001; the
  // user has been told why through the sink.
  uint32_t OpenCreateFileMapView(const std::string& file_name);

  // Copies the header of the mapped file; false when the file is shorter
  // than a header or cannot be read.
  bool ReadFileHeader(SicHeader* header);

  // Uses memory owned by the capture as the live buffer (no lock on reads).
  void AttachLiveBuffer(uint8_t* data, uint32_t size);
  void DetachLiveBuffer();
  bool IsLive() const { return live_data_ != nullptr; }
  // The live buffer the capture reader writes into; null offline.
  uint8_t* LiveData() { return live_data_; }
  bool HasBuffer() const { return IsLive() || file_.IsOpen(); }

  // The atom at a position (size 1 or 2; 0 = alignment error, 255 = the
  // data cannot be reached). Takes the view lock offline.
  SampleAtom GetSamplingAtom(uint32_t position);

  // The address of a position and the bytes readable from there without
  // another window switch. Offline the caller holds ViewLock(). Null when
  // the position lies outside the data or its window cannot be mapped.
  const uint8_t* MapPosition(uint32_t position, uint32_t* bytes_left);

  velix::platform::CriticalSection& ViewLock() { return view_lock_; }
  velix::platform::CriticalSection& PoolLock() { return pool_lock_; }

  // Back to the state before a decode run; the mapping stays.
  void ResetForReanalysis();

  int32_t WindowIndex() const { return file_.WindowIndex(); }
  uint64_t FileSize() const { return file_.FileSize(); }
  TransactionDetail& Detail() { return detail_; }
  TransactionStore& Records() { return records_; }
  AppState& App() { return app_; }
  velix::platform::InteractionSink& Sink() { return sink_; }

  // Buffer values shared with the decoders and the capture reader.
  std::atomic<uint32_t> m_sizeSamplingBuf{0};
  std::atomic<uint32_t> m_lenSamplingDataInBuffer{0};
  std::atomic<uint32_t> m_SamplingCurrentPtr{0};
  std::atomic<bool> buffer_wrapped{false};
  std::atomic<uint32_t> SamplingStopAdrs{kNoStopAddress};
  std::atomic<bool> trigger_done{false};
  std::atomic<bool> trigger_seen{false};

  // Run control shared by the UI thread and the worker.
  std::atomic<bool> m_bDoStop_SamplingAnalysis{false};
  velix::platform::Event StopEvent;
  velix::platform::Event one_transfer_event;
  velix::platform::Event driver_event;
  std::atomic<uint32_t> transaction_counter{0};
  uint32_t m_dwLastError = 0;

 private:
  void ShowOpenFailure(const std::string& file_name);
  void DeleteTempCopy();

  AppState& app_;
  velix::platform::InteractionSink& sink_;
  velix::platform::CriticalSection view_lock_;
  velix::platform::CriticalSection pool_lock_;
  TransactionStore records_{view_lock_, pool_lock_};
  SamplingFileMap file_;
  uint8_t* live_data_ = nullptr;
  uint32_t live_size_ = 0;
  TransactionDetail detail_;
};

}  // namespace orvane
