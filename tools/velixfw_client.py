#!/usr/bin/env python3
"""Loads libVELIXFw.so by its path and calls it by its exported names.

Prints the device mode that GetDeviceMode reports and, when GetFirmVersion
can read them, the serial EEPROM, flash ROM and CPLD versions:

    mode=0x030b
    eeprom=1.00
    flash=1.00
    cpld=1.00

The library finds the driver daemon in $VELIX_RUNTIME_DIR (else
$XDG_RUNTIME_DIR/velix, else /run/velix). Exit status: 0 when the versions
were read, 1 when they could not be (no device, or not in firmware update
mode), 2 when the library cannot be loaded.
"""

import argparse
import ctypes
import sys

MODE_NAMES = {
    0x030A: "operation mode",
    0x030B: "firmware update mode",
    0x8613: "controller without firmware",
    0x0221: "RAM loader",
    0x0000: "no device",
}


def load(path):
    library = ctypes.CDLL(path)
    library.GetDeviceMode.argtypes = []
    library.GetDeviceMode.restype = ctypes.c_int
    library.GetFirmVersion.argtypes = [ctypes.POINTER(ctypes.c_uint8)] * 6
    library.GetFirmVersion.restype = ctypes.c_int
    return library


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("library", help="path of libVELIXFw.so")
    args = parser.parse_args()
    try:
        library = load(args.library)
    except (OSError, AttributeError) as error:
        print(f"cannot load {args.library}: {error}", file=sys.stderr)
        return 2

    mode = library.GetDeviceMode()
    print(f"mode=0x{mode:04x}")
    print(f"({MODE_NAMES.get(mode, 'unknown')})", file=sys.stderr)

    versions = [ctypes.c_uint8(0) for _ in range(6)]
    if library.GetFirmVersion(*[ctypes.byref(v) for v in versions]) != 1:
        print("versions cannot be read", file=sys.stderr)
        return 1
    values = [v.value for v in versions]
    for name, (major, minor) in zip(("eeprom", "flash", "cpld"), zip(values[0::2], values[1::2])):
        print(f"{name}={major:x}.{minor:02x}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
