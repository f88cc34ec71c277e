#include "platform/device_file.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/device_names.h"
#include "platform/device_wire.h"
#include "platform/runtime_folder.h"
#include "velix/device_interface.h"

namespace velix::platform {

class DeviceFile {
 public:
  explicit DeviceFile(int socket_fd) : fd(socket_fd) {}
  ~DeviceFile() { ::close(fd); }
  const int fd;
  // The socket carries one request at a time.
  std::mutex lock;
};

// The statuses, control codes and vendor record this layer carries.
using namespace driver;

namespace {

thread_local uint32_t t_last_error = kErrorSuccess;
thread_local uint32_t t_last_status = 0;

// Stricter than NtSuccess: a warning status fails the call here too.
bool CompletedCleanly(uint32_t status) { return status < 0x80000000u; }

// Records the outcome of a request as the calling thread's last status and,
// on failure, its last error.
bool Finish(uint32_t status) {
  t_last_status = status;
  if (CompletedCleanly(status)) return true;
  t_last_error = Win32ErrorFromStatus(status);
  return false;
}

bool FailLocally(uint32_t status, uint32_t error) {
  t_last_status = status;
  t_last_error = error;
  return false;
}

// The parts of a request and the places its reply goes.
struct Exchange {
  WireRequest request;
  std::span<const uint8_t> input;
  std::span<const uint8_t> stage_out;
  int descriptor = -1;
  std::span<uint8_t> output;    // room for the reply's output bytes
  std::span<uint8_t> stage_in;  // room for the reply's data stage
  WireReply reply;
};

// One request and its reply. A broken connection reads as a device that is
// no longer connected; a reply that announces more than was asked for is
// refused and leaves the handle unusable.
bool Transact(DeviceFile& file, Exchange& exchange) {
  std::lock_guard lock(file.lock);
  const std::span<const uint8_t> parts[] = {exchange.input, exchange.stage_out};
  if (!SendFrame(file.fd, BytesOf(exchange.request), parts, exchange.descriptor)) return false;
  int stray = -1;
  if (!ReceiveHeader(file.fd, MutableBytesOf(exchange.reply), &stray)) return false;
  if (stray >= 0) ::close(stray);
  const WireReply& reply = exchange.reply;
  if (reply.magic != kWireReplyMagic || reply.output_size > exchange.output.size() ||
      reply.stage_size > exchange.stage_in.size()) {
    ::shutdown(file.fd, SHUT_RDWR);
    return false;
  }
  return ReceiveAll(file.fd, exchange.output.first(reply.output_size)) &&
         ReceiveAll(file.fd, exchange.stage_in.first(reply.stage_size));
}

int ConnectTo(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  std::memcpy(address.sun_path, path.data(), path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

uint32_t ErrorFromConnect(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    case ENAMETOOLONG:
      return kErrorInvalidParameter;
    default:
      return kErrorFileNotFound;
  }
}

uint32_t ReadU32(const uint8_t* bytes) {
  uint32_t value;
  std::memcpy(&value, bytes, 4);
  return value;
}

}  // namespace

uint32_t Win32ErrorFromStatus(uint32_t nt_status) {
  switch (nt_status) {
    case STATUS_SUCCESS: return kErrorSuccess;
    case STATUS_INVALID_HANDLE: return kErrorInvalidHandle;
    case STATUS_INVALID_PARAMETER: return kErrorInvalidParameter;
    case STATUS_INVALID_DEVICE_REQUEST: return kErrorInvalidFunction;
    case STATUS_BUFFER_TOO_SMALL: return kErrorInsufficientBuffer;
    case STATUS_DELETE_PENDING: return kErrorAccessDenied;
    case STATUS_INSUFFICIENT_RESOURCES: return kErrorNoSystemResources;
    case STATUS_DEVICE_NOT_CONNECTED: return kErrorDeviceNotConnected;
    case STATUS_PIPE_BUSY: return kErrorPipeBusy;
    case STATUS_CANCELLED: return kErrorOperationAborted;
    case STATUS_INVALID_DEVICE_STATE: return kErrorBadCommand;
    default: return kErrorGenFailure;
  }
}

uint32_t GetLastDeviceError() { return t_last_error; }
void SetLastDeviceError(uint32_t error) { t_last_error = error; }
uint32_t GetLastDeviceStatus() { return t_last_status; }

DeviceFile* CreateDeviceFile(std::string_view name) {
  const std::optional<DeviceOpenTarget> target = ParseDeviceOpenName(name);
  if (!target) {
    FailLocally(STATUS_INVALID_PARAMETER, kErrorFileNotFound);
    return nullptr;
  }
  // A socket in a folder that others can change may be anybody's.
  const std::string folder = DeviceRuntimeFolder();
  std::string untrusted;
  if (!CheckRuntimeFolder(folder, FolderUse::kConnect, &untrusted)) {
    struct stat info {};
    const bool missing = ::lstat(folder.c_str(), &info) != 0 && errno == ENOENT;
    FailLocally(STATUS_DEVICE_NOT_CONNECTED, missing ? kErrorFileNotFound : kErrorAccessDenied);
    return nullptr;
  }
  const int fd = ConnectTo(folder + "/" + target->socket_name);
  if (fd < 0) {
    FailLocally(STATUS_DEVICE_NOT_CONNECTED, ErrorFromConnect(errno));
    return nullptr;
  }
  auto file = std::make_unique<DeviceFile>(fd);
  Exchange exchange;
  exchange.request.op = static_cast<uint8_t>(WireOp::kCreate);
  exchange.request.flags = kWireHasFileName;
  exchange.request.input_size = static_cast<uint32_t>(target->file_name.size());
  exchange.input = {reinterpret_cast<const uint8_t*>(target->file_name.data()), target->file_name.size()};
  if (!Transact(*file, exchange)) {
    FailLocally(STATUS_DEVICE_NOT_CONNECTED, kErrorFileNotFound);
    return nullptr;
  }
  if (!Finish(exchange.reply.status)) return nullptr;
  return file.release();
}

bool CloseDeviceFile(DeviceFile* file) {
  if (file == nullptr) return FailLocally(STATUS_INVALID_HANDLE, kErrorInvalidHandle);
  Exchange exchange;
  exchange.request.op = static_cast<uint8_t>(WireOp::kClose);
  // The daemon closes the handle also when the connection just ends; waiting
  // for the reply makes the close finished when this returns.
  Transact(*file, exchange);
  delete file;
  t_last_status = 0;
  return true;
}

bool DeviceIoControl(DeviceFile* file, uint32_t code, const void* input, uint32_t input_size, void* output,
                     uint32_t output_size, uint32_t* bytes_returned) {
  if (bytes_returned != nullptr) *bytes_returned = 0;
  if (file == nullptr) return FailLocally(STATUS_INVALID_HANDLE, kErrorInvalidHandle);
  if ((input == nullptr && input_size > 0) || (output == nullptr && output_size > 0)) {
    return FailLocally(STATUS_INVALID_PARAMETER, kErrorInvalidParameter);
  }
  const auto* in = static_cast<const uint8_t*>(input);
  Exchange exchange;
  exchange.request.op = static_cast<uint8_t>(WireOp::kControl);
  exchange.request.code = code;
  exchange.request.input_size = input_size;
  exchange.request.output_size = output_size;
  if (sizeof(void*) == 4) exchange.request.flags |= kWireCaller32Bit;
  exchange.input = {in, input_size};
  exchange.output = {static_cast<uint8_t*>(output), output_size};

  // An event handle is the eventfd itself; it goes along with the request
  // when it names an open descriptor.
  if ((code == IOCTL_BULKUSB_BULK_START || code == IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT) && input_size >= 4) {
    const int fd = static_cast<int>(ReadU32(in));
    if (fd >= 0 && ::fcntl(fd, F_GETFD) != -1) exchange.descriptor = fd;
  }

  // The vendor request's data stage is carried in the frames.
  constexpr size_t kRecordBytes = sizeof(void*) == 4 ? kVendorRecord32Bytes : kVendorRecord64Bytes;
  uint8_t* caller_data = nullptr;
  uint8_t direction = 0;
  uint32_t stage_length = 0;
  if (code == IOCTL_BULKUSB_VENDOR_REQUEST && input_size >= kRecordBytes) {
    direction = in[kVendorRecordDirection];
    stage_length = ReadU32(in + kVendorRecordLength);
    uint64_t address = ReadU32(in + kVendorRecord32Address);
    if (kRecordBytes == kVendorRecord64Bytes) {
      address = ReadU32(in + kVendorRecord64Address) |
                (static_cast<uint64_t>(ReadU32(in + kVendorRecord64Address + 4)) << 32);
    }
    caller_data = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(address));
    if (stage_length > kWireMaxStageBytes || (caller_data == nullptr && stage_length > 0)) {
      return FailLocally(STATUS_INVALID_PARAMETER, kErrorInvalidParameter);
    }
    exchange.request.stage_size = stage_length;
    if (direction == 0) {
      exchange.request.flags |= kWireStageFollows;
      exchange.stage_out = {caller_data, stage_length};
    } else {
      exchange.stage_in = {caller_data, stage_length};
    }
  }

  if (!Transact(*file, exchange)) return FailLocally(STATUS_DEVICE_NOT_CONNECTED, kErrorDeviceNotConnected);
  if (bytes_returned != nullptr) *bytes_returned = exchange.reply.information;
  return Finish(exchange.reply.status);
}

bool ReadDeviceFile(DeviceFile* file, void* buffer, uint32_t size, uint32_t* bytes_read) {
  if (bytes_read != nullptr) *bytes_read = 0;
  if (file == nullptr) return FailLocally(STATUS_INVALID_HANDLE, kErrorInvalidHandle);
  if ((buffer == nullptr && size > 0) || size > kWireMaxReadBytes) {
    return FailLocally(STATUS_INVALID_PARAMETER, kErrorInvalidParameter);
  }
  Exchange exchange;
  exchange.request.op = static_cast<uint8_t>(WireOp::kRead);
  exchange.request.output_size = size;
  exchange.output = {static_cast<uint8_t*>(buffer), size};
  if (!Transact(*file, exchange)) return FailLocally(STATUS_DEVICE_NOT_CONNECTED, kErrorDeviceNotConnected);
  if (bytes_read != nullptr) *bytes_read = exchange.reply.output_size;
  return Finish(exchange.reply.status);
}

bool WriteDeviceFile(DeviceFile* file, const void* buffer, uint32_t size, uint32_t* bytes_written) {
  if (bytes_written != nullptr) *bytes_written = 0;
  if (file == nullptr) return FailLocally(STATUS_INVALID_HANDLE, kErrorInvalidHandle);
  if ((buffer == nullptr && size > 0) || size > kWireMaxWriteBytes) {
    return FailLocally(STATUS_INVALID_PARAMETER, kErrorInvalidParameter);
  }
  Exchange exchange;
  exchange.request.op = static_cast<uint8_t>(WireOp::kWrite);
  exchange.request.input_size = size;
  exchange.input = {static_cast<const uint8_t*>(buffer), size};
  if (!Transact(*file, exchange)) return FailLocally(STATUS_DEVICE_NOT_CONNECTED, kErrorDeviceNotConnected);
  if (bytes_written != nullptr) *bytes_written = exchange.reply.information;
  return Finish(exchange.reply.status);
}

}  // namespace velix::platform
