#include "Orvane/capture/sampling_obj.h"

#include <algorithm>

#include "Orvane/capture/run_result.h"
#include "Orvane/capture/sic_header.h"
#include "platform/files.h"
#include "platform/string_format.h"
#include "platform/system_error.h"
#include "platform/temporary_copies.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Event;
using velix::platform::Icon;
using velix::platform::ResetMode;
using velix::platform::SectionLock;
using velix::platform::StringPrintf;
using velix::platform::SystemErrorText;
using velix::platform::Trace;

CSamplingObj::CSamplingObj(AppState& app, velix::platform::InteractionSink& sink)
    : app_(app), sink_(sink) {
  Trace(" ***=== CSamplingObj::  constructor ===*** \n");
  StopEvent = Event::Create(ResetMode::kAuto);
  one_transfer_event = Event::Create(ResetMode::kAuto);
}

CSamplingObj::~CSamplingObj() {
  Trace(" ***+++ CSamplingObj::  destructor +++*** \n");
  records_.DeletePool();
  detail_.Free();
  StopEvent.Close();
  one_transfer_event.Close();
  driver_event.Close();
  file_.Close();
  records_.PurgeAll();
  DeleteTempCopy();
  Trace(" ***--- CSamplingObj::  destructor ---*** end. \n");
}

void CSamplingObj::DeleteTempCopy() {
  if (app_.temp_copy_name.empty()) return;
  const uint32_t error = velix::platform::DeleteFileAt(app_.temp_copy_name);
  if (error != 0) {
    sink_.Show("DeleteFile()\n" + SystemErrorText(error));
    return;
  }
  // Forget the name once the copy is gone, so that a later clean-up does
  // not report a copy that no longer exists.
  velix::platform::ForgetTemporaryCopy(app_.temp_copy_name);
  app_.temp_copy_name.clear();
}

uint32_t CSamplingObj::OpenCreateFileMapView(const std::string& file_name) {
  SectionLock lock(view_lock_);
  Trace("OpenCreateFileMapView() : FileName = %s\n", file_name.c_str());
  if (file_.IsOpen()) {
    Trace(" ... UnmapViewOfFile()  adrs = 0x%X \n",
          static_cast<unsigned>(reinterpret_cast<uintptr_t>(file_.WindowBase())));
    Trace(" ... CloseHandle( hMapFile ) \n");
  }
  file_.Close();
  if (!file_.Open(file_name)) {
    ShowOpenFailure(file_name);
    return file_.FailedStep() == SamplingFileMap::OpenStep::kMapFirstWindow ? kResultMemoryError
                                                                            : kResultMappingError;
  }
  const auto data_size = static_cast<uint32_t>(file_.FileSize() - kSicHeaderSize);
  // A file shorter than its header leaves no data; the header check of the
  // document rejects it before any position is used.
  const uint32_t size = file_.FileSize() < kSicHeaderSize ? 0 : data_size;
  m_sizeSamplingBuf = size;
  m_lenSamplingDataInBuffer = size;
  m_SamplingCurrentPtr = 0;
  SamplingStopAdrs = kNoStopAddress;
  buffer_wrapped = false;
  return 0;
}

bool CSamplingObj::ReadFileHeader(SicHeader* header) {
  SectionLock lock(view_lock_);
  if (file_.FileSize() < kSicHeaderSize) return false;
  uint32_t left = 0;
  const uint8_t* p = file_.Map(0, &left);
  if (p == nullptr || left < kSicHeaderSize) return false;
  std::copy(p, p + kSicHeaderSize, header->begin());
  return true;
}

void CSamplingObj::ShowOpenFailure(const std::string& file_name) {
  const uint32_t error = file_.LastError();
  switch (file_.FailedStep()) {
    case SamplingFileMap::OpenStep::kOpenFile:
      m_dwLastError = error;
      Trace("CreateFile (for Mapping)  ERROR!! : LastError=%u\n", error);
      break;
    case SamplingFileMap::OpenStep::kEmpty:
      Trace(" Empty File : [%s]\n", file_name.c_str());
      sink_.Show(StringPrintf(" Data (File:%s) is Empty!!!  No Sampling Data", file_name.c_str()));
      break;
    case SamplingFileMap::OpenStep::kCreateMapping:
      m_dwLastError = error;
      Trace(" CreateFileMapping() : result == NULL!!! [ERROR!!]  LastError = %u \n", error);
      sink_.Show(StringPrintf(" Data File Mapping (CreateFileMapping) NG! \n %s",
                              SystemErrorText(error).c_str()));
      break;
    case SamplingFileMap::OpenStep::kMapFirstWindow:
      m_dwLastError = error;
      Trace(" MapViewOfFile() : result == NULL!!! [ERROR!!]  LastError = %u \n", error);
      sink_.Show(StringPrintf(" Data File Mapping (MapViewOfFile) NG! \n%s\n\n",
                              SystemErrorText(error).c_str()));
      break;
    case SamplingFileMap::OpenStep::kNone:
      break;
  }
}

void CSamplingObj::AttachLiveBuffer(uint8_t* data, uint32_t size) {
  live_data_ = data;
  live_size_ = size;
  m_sizeSamplingBuf = size;
  m_lenSamplingDataInBuffer = 0;
  m_SamplingCurrentPtr = 0;
  buffer_wrapped = false;
}

void CSamplingObj::DetachLiveBuffer() {
  live_data_ = nullptr;
  live_size_ = 0;
}

const uint8_t* CSamplingObj::MapPosition(uint32_t position, uint32_t* bytes_left) {
  if (live_data_ != nullptr) {
    if (position >= live_size_) return nullptr;
    if (bytes_left != nullptr) *bytes_left = live_size_ - position;
    return live_data_ + position;
  }
  return file_.Map(uint64_t(kSicHeaderSize) + position, bytes_left);
}

SampleAtom CSamplingObj::GetSamplingAtom(uint32_t position) {
  SampleAtom atom;
  {
    velix::platform::CriticalSection* lock = IsLive() ? nullptr : &view_lock_;
    if (lock != nullptr) lock->Enter();
    uint32_t left = 0;
    const uint8_t* p = MapPosition(position, &left);
    if (p == nullptr) {
      atom.size = kAtomMapError;
    } else {
      atom = DecodeAtom(p, (position & 1) != 0, left >= 2);
    }
    if (lock != nullptr) lock->Leave();
  }
  if (atom.size == kAtomMapError) Trace("GetSamplingAtom() : MapView  ERROR!!! \n");
  if (atom.size == kAtomAlignError) Trace("GetSamplingAtom() : DATA ALIGN  ERROR!!! \n");
  return atom;
}

void CSamplingObj::ResetForReanalysis() {
  records_.PurgeAll();
  detail_.Free();
  StopEvent.Close();
  one_transfer_event.Close();
  driver_event.Close();
  SamplingStopAdrs = kNoStopAddress;
  m_SamplingCurrentPtr = 0;
  buffer_wrapped = false;
  m_bDoStop_SamplingAnalysis = false;
  trigger_seen = false;
}

}  // namespace orvane
