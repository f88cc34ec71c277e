#include "Orvane/ui/message_texts.h"

#include <QtGlobal>

namespace orvane::ui {
namespace {

// Each literal is byte for byte the core's own text (misspellings, double
// blanks and line breaks included): a translation is found only for the
// exact text the core passes on. Texts the core builds with numbers or file
// names cannot be looked up and are not listed.
const char* const kMessageTexts[] = {
    // Starting a capture.
    QT_TRANSLATE_NOOP("Messages",
                      "Are you discard the current sampling data ?\n( If you need to save the data, please click No "
                      "button and save it. )"),
    QT_TRANSLATE_NOOP("Messages", "VELIX not found. (not connect)"),
    QT_TRANSLATE_NOOP("Messages", "VELIX is in use by another capture."),
    QT_TRANSLATE_NOOP("Messages",
                      "Probably connected with USB 1.x.\n USB1.x connection is not supported.\n\n Continue anyway?"),
    QT_TRANSLATE_NOOP("Messages", "WARNING!!!  *** USB XFER Fail ***\n try again, or restart!!!\n"),
    QT_TRANSLATE_NOOP("Messages", "Capture data size need to be larger than driver buffer size."),
    QT_TRANSLATE_NOOP("Messages",
                      "Failed to set the Driver buffer size.\nPlease set the smaller size. \n or reconnect VELIX and "
                      "restart the application."),
    // The capture settings dialog.
    QT_TRANSLATE_NOOP("Messages", "MONITOR MODE"),
    QT_TRANSLATE_NOOP("Messages", "BUS ANALYZER MODE"),
    QT_TRANSLATE_NOOP("Messages", "SPI"),
    QT_TRANSLATE_NOOP("Messages", "I2C #0(Main)"),
    QT_TRANSLATE_NOOP("Messages", "I2C #1(Sub)"),
    QT_TRANSLATE_NOOP("Messages", "Oneshot"),
    QT_TRANSLATE_NOOP("Messages", "Free run"),
    QT_TRANSLATE_NOOP("Messages", "50MHz"),
    QT_TRANSLATE_NOOP("Messages", "20MHz"),
    QT_TRANSLATE_NOOP("Messages", "10MHz"),
    QT_TRANSLATE_NOOP("Messages", "(If there is no problem, please use default value\n of driver buffer size.)"),
    // The other settings dialog.
    QT_TRANSLATE_NOOP("Messages", "Power OFF"),
    QT_TRANSLATE_NOOP("Messages", "1.8 V"),
    QT_TRANSLATE_NOOP("Messages", "2.5 V"),
    QT_TRANSLATE_NOOP("Messages", "3.3 V"),
    QT_TRANSLATE_NOOP("Messages", "5.0 V"),
    QT_TRANSLATE_NOOP("Messages", "Power ON"),
    QT_TRANSLATE_NOOP("Messages", "Power OFF (Power not supply)"),
    QT_TRANSLATE_NOOP("Messages", "OFF (no filter)"),
    QT_TRANSLATE_NOOP("Messages", "2clock filter"),
    QT_TRANSLATE_NOOP("Messages", "3clock filter"),
    QT_TRANSLATE_NOOP("Messages", "4clock filter"),
    QT_TRANSLATE_NOOP("Messages",
                      "***[WARNING!!!] ***\n\nPower may have been already supplied.\nWhen you power up in this "
                      "state, it may damage.\n\nAre you sure you want to turn ON the power?"),
    // The end of a run and of a live capture.
    QT_TRANSLATE_NOOP("Messages", "*** VELIX removed ***"),
    QT_TRANSLATE_NOOP("Messages", "*** Unknown USB error ***"),
    QT_TRANSLATE_NOOP("Messages", " ++ (DATA OVERRUN) ++\n\n*** Device driver overflow!!! ***"),
    QT_TRANSLATE_NOOP("Messages", " ++ (DATA OVERRUN) ++\n\n*** VELIX internal overflow!!! ***"),
    QT_TRANSLATE_NOOP("Messages", "***  sampling data memory mapping error. ***\n Memory allocation error."),
    QT_TRANSLATE_NOOP("Messages", "*** Memory allocation failed. ***\n"),
    QT_TRANSLATE_NOOP("Messages", "*** Sampling data is incorrect. ***"),
    QT_TRANSLATE_NOOP("Messages", "No valid transaction."),
    QT_TRANSLATE_NOOP("Messages", "Empty Sampling data."),
    QT_TRANSLATE_NOOP("Messages", "Please specify the location and filename to save the sampling data."),
    // Opening a sampling data file.
    QT_TRANSLATE_NOOP("Messages", "This file is not with the correct data."),
    // Filter, search and jump.
    QT_TRANSLATE_NOOP("Messages", "filtering..."),
    QT_TRANSLATE_NOOP("Messages", "Searching now..."),
    QT_TRANSLATE_NOOP("Messages", "Searching now... [DATA]"),
    QT_TRANSLATE_NOOP("Messages", "Searching now... [I2C address]"),
    QT_TRANSLATE_NOOP("Messages", "Searching now... [I2C Sub-address]"),
    QT_TRANSLATE_NOOP("Messages", "Searching now... [I2C NACK]"),
    QT_TRANSLATE_NOOP("Messages", "Searching now... [Error transaction]"),
    QT_TRANSLATE_NOOP("Messages", "Searching now... [Trigger position]"),
    QT_TRANSLATE_NOOP("Messages", "Found data."),
    QT_TRANSLATE_NOOP("Messages", "Found transaction"),
    QT_TRANSLATE_NOOP("Messages", "No found data."),
    QT_TRANSLATE_NOOP("Messages", "No found I2C address"),
    QT_TRANSLATE_NOOP("Messages", "No found I2C Sub-adress"),
    QT_TRANSLATE_NOOP("Messages", "Nack can not be found."),
    QT_TRANSLATE_NOOP("Messages", "No found transaction"),
    QT_TRANSLATE_NOOP("Messages", "Trigger is not found. "),
    QT_TRANSLATE_NOOP("Messages", "Transaction is not found.\r\r\nDo you jump to the nearest transaction?"),
    // Checks of the filter, search and decoder settings dialogs.
    QT_TRANSLATE_NOOP("Messages", "Invalid Transaction number"),
    QT_TRANSLATE_NOOP("Messages", "I2C address error"),
    QT_TRANSLATE_NOOP("Messages", "I2C address Mask error"),
    QT_TRANSLATE_NOOP("Messages", "Do you apply FAST MODE settings?"),
    QT_TRANSLATE_NOOP("Messages", "Do you apply STANDARD MODE settings?"),
    QT_TRANSLATE_NOOP("Messages", "Do you apply HS MODE(Cb=100pF) settings?"),
    QT_TRANSLATE_NOOP("Messages", "Do you apply HS MODE(Cb=400pF) settings?"),
    // Built from the data length limits, which never change.
    QT_TRANSLATE_NOOP("Messages", "Data Length : Out of range \n range 131072 >= (DataLength) >= 4"),
    // Export.
    QT_TRANSLATE_NOOP("Messages", "ErrorInfomation"),
    QT_TRANSLATE_NOOP("Messages", "[Save Transaction To Text] Setting"),
    QT_TRANSLATE_NOOP("Messages", "Export transaction information to a text file."),
};

const char* const kStatusBarTexts[] = {
    QT_TRANSLATE_NOOP("StatusBar", "[SPI Monitor] Capture"),
    QT_TRANSLATE_NOOP("StatusBar", "[I2C Monitor] Capture"),
    QT_TRANSLATE_NOOP("StatusBar", "[SPI] Capture"),
    QT_TRANSLATE_NOOP("StatusBar", "[I2C:#0(Main)] Capture"),
    QT_TRANSLATE_NOOP("StatusBar", "[I2C:#1(Sub)] Caputre"),
    QT_TRANSLATE_NOOP("StatusBar", "Free run"),
    QT_TRANSLATE_NOOP("StatusBar", "Oneshot"),
    QT_TRANSLATE_NOOP("StatusBar", "Forced display mode"),
    QT_TRANSLATE_NOOP("StatusBar", "[SPI] Data"),
    QT_TRANSLATE_NOOP("StatusBar", "[I2C] Data"),
    QT_TRANSLATE_NOOP("StatusBar", "Transaction No. : %u"),
};

}  // namespace

std::span<const char* const> MessageTexts() { return kMessageTexts; }

std::span<const char* const> StatusBarTexts() { return kStatusBarTexts; }

}  // namespace orvane::ui
