#ifndef VELIXFW_H
#define VELIXFW_H
/*
 * libVELIXFw.so: the analyzer's firmware-maintenance operations.
 *
 * Every call finds the device through its USB device-interface path, opens
 * it, performs one exchange with the driver daemon and closes it again.
 * Unless stated otherwise a function returns 1 on success and 0 on failure.
 * Byte arguments are 32-bit values of which only the low byte counts;
 * addresses and lengths marked "16 bits" use only their low 16 bits.
 *
 * Calling order: GetDeviceMode() first; the version, status, flash, EEPROM
 * and CPLD functions only while it reports VELIXFW_MODE_UPDATE;
 * SerialWriteCypress() only for VELIXFW_MODE_BARE_FX2; the *Temporary
 * functions only for VELIXFW_MODE_RAM_LOADER; USBI2CComChange() only for
 * VELIXFW_MODE_OPERATION. Callers serialise their calls: the device handles
 * one exchange at a time.
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What GetDeviceMode() reports (the product ID of the personality). */
#define VELIXFW_MODE_NONE 0x0000
#define VELIXFW_MODE_OPERATION 0x030A
#define VELIXFW_MODE_UPDATE 0x030B
#define VELIXFW_MODE_BARE_FX2 0x8613
#define VELIXFW_MODE_RAM_LOADER 0x0221

/* Writes one chunk of a CPLD image. A non-zero total starts an image of
 * that many bytes; total 0 continues the image started before. */
int CPLDWrite(const uint8_t* data, uint32_t length, uint32_t total);
/* Erases one flash block (byte). */
int FlashErase(uint32_t block);
/* Reads length (16 bits) flash bytes at address (16 bits) into buffer. */
int FlashRead(uint32_t address, uint8_t* buffer, uint32_t length);
/* Writes length (16 bits) bytes at address (16 bits); the bytes must have
 * been erased before. */
int FlashWrite(uint32_t address, const uint8_t* data, uint32_t length);
/* The personality plugged in: one of the VELIXFW_MODE_ values. */
int GetDeviceMode(void);
/* Serial EEPROM, flash ROM and CPLD versions, major then minor each. Any
 * pointer may be null; nothing is written when the versions cannot be read. */
int GetFirmVersion(uint8_t* eeprom_major, uint8_t* eeprom_minor, uint8_t* flash_major, uint8_t* flash_minor,
                   uint8_t* cpld_major, uint8_t* cpld_minor);
/* The device's status byte. */
int GetStatus(uint8_t* status);
/* Reads length (16 bits) serial EEPROM bytes at address (16 bits). */
int SerialRead(uint32_t address, uint8_t* buffer, uint32_t length);
/* Reads the serial EEPROM through the RAM loader. */
int SerialReadTemporary(uint32_t address, uint32_t length, uint8_t* buffer);
/* Writes length (16 bits) serial EEPROM bytes at address (16 bits). */
int SerialWrite(uint32_t address, const uint8_t* data, uint32_t length);
/* Downloads the RAM loader into a controller without firmware; the device
 * then comes back as VELIXFW_MODE_RAM_LOADER. */
int SerialWriteCypress(void);
/* Writes the serial EEPROM through the RAM loader. */
int SerialWriteTemporary(uint32_t address, uint32_t length, const uint8_t* data);
/* Sets the versions (bytes): serial EEPROM a.b, flash ROM c.d, CPLD e.f.
 * A pair that is all zero is left unchanged in the device. */
int SetFirmVersion(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f);
/* Sends the operation-mode device into firmware update mode at its next
 * plug-in and tells the user to re-plug it. */
int USBI2CComChange(void);
/* Pre-installs the driver for the firmware update mode from the INF file.
 * Returns 0 on success, otherwise the number (1 to 7) of the step that
 * failed. */
int USBI2CInstall(const char* inf_path);

#ifdef __cplusplus
}
#endif

#endif /* VELIXFW_H */
