#pragma once
// Scenario texts shared by the tests.

namespace velix::sim::testing {

inline constexpr const char* kI2cScenario = R"(
bus i2c0
scl 400k
start
addr 0x50 w
write 00 10
stop
idle 20us
start          # random read: repeated START between write and read
addr 0x50 w
write 00
start
addr 0x50 r
read 11 22 33
stop
idle 20us
start
addr10 0x2A5 w
write AA
start
addr10 0x2A5 r
read 5A
stop
idle 10us
start
addr 0x33 w nack
stop
)";

inline constexpr const char* kSpiScenario = R"(
bus spi
ss active-low
mode 0
sclk 1m
select
xfer mosi=9F,00,00 miso=FF,EF,40 gap=2us
deselect
idle 5us
select
xfer mosi=A5,0F miso=5A,F0 bits=12
deselect
)";

}  // namespace velix::sim::testing
