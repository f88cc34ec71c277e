#include "Firmup/driver_store.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "Firmup/inf_file.h"
#include "platform/device_names.h"
#include "platform/string_format.h"

namespace velix::firmup {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHardwareIdsFile = "hardware-ids";
constexpr const char* kClassFile = "class";

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

// Written beside the target and renamed over it, so a reader never sees
// half a file.
bool WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  const fs::path temporary = path.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) return false;
  }
  std::error_code error;
  fs::rename(temporary, path, error);
  if (error) fs::remove(temporary, error);
  return !error;
}

bool CopyFileAtomically(const fs::path& from, const fs::path& to) {
  const fs::path temporary = to.string() + ".tmp";
  std::error_code error;
  fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error);
  if (!error) fs::rename(temporary, to, error);
  if (error) fs::remove(temporary, error);
  return !error;
}

// Our own small files; anything larger is not one of them.
bool ReadSmallFile(const fs::path& path, std::string* bytes) {
  constexpr size_t kMaxBytes = 64 * 1024;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->resize(kMaxBytes + 1);
  in.read(bytes->data(), static_cast<std::streamsize>(bytes->size()));
  bytes->resize(static_cast<size_t>(in.gcount()));
  return bytes->size() <= kMaxBytes;
}

// The strings of a multi-string, without its terminators.
std::vector<std::string> MultiStringItems(std::string_view multi_string) {
  std::vector<std::string> items;
  size_t at = 0;
  while (at < multi_string.size() && multi_string[at] != '\0') {
    size_t end = multi_string.find('\0', at);
    if (end == std::string_view::npos) end = multi_string.size();
    items.emplace_back(multi_string.substr(at, end - at));
    at = end + 1;
  }
  return items;
}

bool CarriesHardwareId(const fs::path& element, std::string_view hardware_id) {
  std::error_code error;
  if (!fs::is_regular_file(element / kClassFile, error)) return false;
  std::string ids;
  if (!ReadSmallFile(element / kHardwareIdsFile, &ids)) return false;
  for (const std::string& id : MultiStringItems(ids)) {
    if (Lowered(id) == Lowered(hardware_id)) return true;
  }
  return false;
}

bool AnyRegisteredElementCarries(const std::string& store, std::string_view hardware_id) {
  std::error_code error;
  for (fs::directory_iterator it(fs::path(store) / "devices", error), end; !error && it != end; it.increment(error)) {
    if (CarriesHardwareId(it->path(), hardware_id)) return true;
  }
  return false;
}

// "USB\VID_1D9A&PID_030B" → "1d9a", "030b".
bool UsbIds(std::string_view hardware_id, std::string* vendor, std::string* product) {
  const std::string id = Lowered(hardware_id);
  const size_t vid = id.find("vid_");
  const size_t pid = id.find("pid_");
  if (id.rfind("usb\\", 0) != 0 || vid == std::string::npos || pid == std::string::npos || vid + 8 > id.size() ||
      pid + 8 > id.size()) {
    return false;
  }
  *vendor = id.substr(vid + 4, 4);
  *product = id.substr(pid + 4, 4);
  const auto hex = [](const std::string& text) {
    return text.find_first_not_of("0123456789abcdef") == std::string::npos;
  };
  return hex(*vendor) && hex(*product);
}

std::string PackageFolderName(std::string_view hardware_id) {
  std::string name = Lowered(hardware_id);
  for (char& c : name) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) c = '_';
  }
  return name;
}

}  // namespace

std::string DriverStoreFolder() {
  if (const char* folder = std::getenv("VELIXFW_DRIVER_STORE"); folder != nullptr && *folder != '\0') return folder;
  return platform::DeviceRuntimeFolder() + "/driver-store";
}

DeviceInfoSet::~DeviceInfoSet() { RemoveElement(); }

bool DeviceInfoSet::Open() {
  std::error_code error;
  fs::create_directories(fs::path(store_) / "devices", error);
  return !error && fs::is_directory(fs::path(store_) / "devices", error);
}

bool DeviceInfoSet::CreateElement() {
  if (!element_.empty()) return false;
  std::string pattern = (fs::path(store_) / "devices" / (PackageFolderName(class_name_) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) return false;
  element_ = pattern;
  return true;
}

bool DeviceInfoSet::SetHardwareIds(std::string_view multi_string) {
  return !element_.empty() && WriteFileAtomically(fs::path(element_) / kHardwareIdsFile, multi_string);
}

bool DeviceInfoSet::RegisterElement() {
  return !element_.empty() && WriteFileAtomically(fs::path(element_) / kClassFile, class_name_ + "\n");
}

bool DeviceInfoSet::RemoveElement() {
  if (element_.empty()) return false;
  std::error_code error;
  fs::remove_all(element_, error);
  if (error) return false;
  element_.clear();
  return true;
}

bool UpdateDriverForDevices(const std::string& store, std::string_view hardware_id, const std::string& inf_path) {
  std::string vendor;
  std::string product;
  if (!UsbIds(hardware_id, &vendor, &product) || !AnyRegisteredElementCarries(store, hardware_id)) return false;
  InfFile inf;
  if (!inf.Load(inf_path) || !inf.Mentions(hardware_id)) return false;

  std::error_code error;
  const fs::path package = fs::path(store) / "drivers" / PackageFolderName(hardware_id);
  fs::create_directories(package, error);
  if (error || !CopyFileAtomically(inf_path, package / fs::path(inf_path).filename())) return false;

  const std::string rule = platform::StringPrintf(
      "# VELIX analyzer, %.*s, driver installed from %s\n"
      "SUBSYSTEM==\"usb\", ATTR{idVendor}==\"%s\", ATTR{idProduct}==\"%s\", MODE=\"0660\", GROUP=\"plugdev\", "
      "TAG+=\"uaccess\"\n",
      static_cast<int>(hardware_id.size()), hardware_id.data(), fs::path(inf_path).filename().c_str(), vendor.c_str(),
      product.c_str());
  return WriteFileAtomically(fs::path(store) / ("70-velix-" + vendor + "-" + product + ".rules"), rule);
}

}  // namespace velix::firmup
