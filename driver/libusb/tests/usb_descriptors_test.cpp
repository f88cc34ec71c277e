#include "driver/libusb/usb_descriptors.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velix::driver {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Endpoint(uint8_t address, uint8_t attributes, uint16_t max_packet) {
  return {7, 5, address, attributes, static_cast<uint8_t>(max_packet), static_cast<uint8_t>(max_packet >> 8), 0};
}

Bytes Interface(uint8_t number, uint8_t alternate, uint8_t endpoints) {
  return {9, 4, number, alternate, endpoints, 0xFF, 0, 0, 0};
}

// A configuration descriptor whose wTotalLength covers the given parts
// unless `total` says otherwise.
Bytes Configuration(std::initializer_list<Bytes> parts, int total = -1) {
  Bytes out = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  const auto length = static_cast<uint16_t>(total < 0 ? out.size() : static_cast<size_t>(total));
  out[2] = static_cast<uint8_t>(length);
  out[3] = static_cast<uint8_t>(length >> 8);
  return out;
}

// The analyzer's own layout: 39 bytes, interrupt IN 0x81, bulk IN 0x82, bulk OUT 0x02.
Bytes Analyzer(uint16_t max_packet) {
  return Configuration({Interface(0, 0, 3), Endpoint(0x81, 0x03, 64), Endpoint(0x82, 0x02, max_packet),
                        Endpoint(0x02, 0x02, max_packet)});
}

Bytes Truncated(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

struct LayoutCase {
  const char* name;
  Bytes descriptor;
  std::optional<uint8_t> interrupt_in;
  std::optional<uint8_t> bulk_in;
  std::optional<uint8_t> bulk_out;
  uint16_t bulk_max_packet;
};

TEST(UsbDescriptorsTest, FindsTheFirstInterfacesEndpoints) {
  const LayoutCase cases[] = {
      {"high speed", Analyzer(512), 0x81, 0x82, 0x02, 512},
      {"full speed", Analyzer(64), 0x81, 0x82, 0x02, 64},
      {"no endpoints in the first setting", Configuration({Interface(0, 0, 0)}), {}, {}, {}, 0},
      {"cut inside the bulk IN endpoint", Truncated(Analyzer(512), 30), 0x81, {}, {}, 0},
      {"total length shorter than the bytes", Configuration({Interface(0, 0, 3), Endpoint(0x81, 0x03, 64),
                                                              Endpoint(0x82, 0x02, 512)}, 25),
       0x81, {}, {}, 0},
      {"zero length ends the scan",
       Configuration({Interface(0, 0, 2), Endpoint(0x81, 0x03, 64), Bytes{0, 5}, Endpoint(0x82, 0x02, 512)}),
       0x81, {}, {}, 0},
      {"later interfaces and settings ignored",
       Configuration({Interface(0, 0, 1), Endpoint(0x81, 0x03, 64), Interface(0, 1, 2), Endpoint(0x82, 0x02, 512),
                      Interface(1, 0, 1), Endpoint(0x02, 0x02, 512)}),
       0x81, {}, {}, 0},
      {"endpoint before any interface ignored",
       Configuration({Endpoint(0x86, 0x02, 512), Interface(0, 0, 1), Endpoint(0x02, 0x02, 64)}), {}, {}, 0x02, 64},
      {"packet size of the last bulk endpoint listed",
       Configuration({Interface(0, 0, 2), Endpoint(0x82, 0x02, 512), Endpoint(0x02, 0x02, 64)}), {}, 0x82, 0x02,
       64},
      {"first endpoint of a role wins",
       Configuration({Interface(0, 0, 3), Endpoint(0x84, 0x02, 512), Endpoint(0x82, 0x02, 512),
                      Endpoint(0x83, 0x03, 8)}),
       0x83, 0x84, {}, 512},
      {"interrupt OUT is not the message endpoint",
       Configuration({Interface(0, 0, 1), Endpoint(0x01, 0x03, 64)}), {}, {}, {}, 0},
      {"transaction bits are not bytes",
       Configuration({Interface(0, 0, 1), Endpoint(0x82, 0x02, 0x1200)}), {}, 0x82, {}, 512},
      {"class-specific descriptors skipped",
       Configuration({Interface(0, 0, 1), Bytes{5, 0x24, 0, 0, 0}, Endpoint(0x82, 0x02, 512)}), {}, 0x82, {}, 512},
  };
  for (const LayoutCase& c : cases) {
    const std::optional<EndpointLayout> layout = ParseEndpointLayout(c.descriptor);
    ASSERT_TRUE(layout) << c.name;
    EXPECT_EQ(layout->interrupt_in, c.interrupt_in) << c.name;
    EXPECT_EQ(layout->bulk_in, c.bulk_in) << c.name;
    EXPECT_EQ(layout->bulk_out, c.bulk_out) << c.name;
    EXPECT_EQ(layout->bulk_max_packet, c.bulk_max_packet) << c.name;
  }
}

TEST(UsbDescriptorsTest, RefusesBytesThatAreNoConfiguration) {
  const Bytes cases[] = {
      {},
      Truncated(Analyzer(512), 8),
      {18, 1, 0, 2, 0xFF, 0, 0, 64, 0x9A, 0x1D, 0x0A, 0x03, 1, 0, 0, 0, 0, 1},  // a device descriptor
      {4, 2, 39, 0, 1, 1, 0, 0x80, 50},                                        // impossible header length
  };
  for (const Bytes& bytes : cases) EXPECT_FALSE(ParseEndpointLayout(bytes)) << bytes.size() << " bytes";
}

TEST(UsbDescriptorsTest, SurvivesArbitraryBytes) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    Bytes bytes(random() % 80);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    if (bytes.size() >= 2) {
      bytes[0] = 9;
      bytes[1] = 2;
    }
    const std::optional<EndpointLayout> layout = ParseEndpointLayout(bytes);
    if (layout) {
      EXPECT_LE(layout->bulk_max_packet, 0x7FF);
    }
  }
}

TEST(UsbDescriptorsTest, EncodesTheDeviceDescriptorAsSent) {
  libusb_device_descriptor descriptor{};
  descriptor.bLength = 18;
  descriptor.bDescriptorType = 1;
  descriptor.bcdUSB = 0x0200;
  descriptor.bDeviceClass = 0xFF;
  descriptor.bMaxPacketSize0 = 64;
  descriptor.idVendor = 0x1D9A;
  descriptor.idProduct = 0x030A;
  descriptor.bcdDevice = 0x0001;
  descriptor.iManufacturer = 1;
  descriptor.iProduct = 2;
  descriptor.iSerialNumber = 3;
  descriptor.bNumConfigurations = 1;
  const std::array<uint8_t, 18> expected = {18,   1,    0x00, 0x02, 0xFF, 0, 0, 64, 0x9A,
                                            0x1D, 0x0A, 0x03, 0x01, 0x00, 1, 2, 3,  1};
  EXPECT_EQ(EncodeDeviceDescriptor(descriptor), expected);
}

}  // namespace
}  // namespace velix::driver
