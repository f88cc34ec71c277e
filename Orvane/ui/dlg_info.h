#pragma once
// The "Information" dialog: temporary path, software version, the device's
// connection, mode and versions, and the machine's memory. It asks the
// device 50 ms after it opens and every 5 s after that, through the
// application's driver client, so an open handle is shared rather than
// opened twice.

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/driver_client.h"

class QLabel;
class QLineEdit;

namespace orvane {

struct InfoTexts;

class DlgInfo final : public QDialog {
  Q_OBJECT

 public:
  // The committed live buffer's size in MB, none while no buffer is
  // committed.
  using LiveBufferSize = std::function<std::optional<uint32_t>()>;

  DlgInfo(const AppState& app, DriverClient& client, LiveBufferSize live_buffer_mb, QWidget* parent = nullptr,
          std::string device_name = kDriverDeviceName);

  // One poll of the device and the memory, as the timer does it.
  void Refresh();

 protected:
  // Polling runs while the dialog is shown.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void BuildControls();
  void ShowTexts(const InfoTexts& texts);

  const AppState& app_;
  DriverClient& client_;
  LiveBufferSize live_buffer_mb_;
  std::string device_name_;
  QTimer poll_timer_;

  QLineEdit* temporary_path_ = nullptr;
  QLineEdit* software_version_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* mode_ = nullptr;
  QLineEdit* firmware_version_ = nullptr;
  QLineEdit* cpld_version_ = nullptr;
  QLineEdit* driver_version_ = nullptr;
  QLineEdit* physical_memory_ = nullptr;
  QLineEdit* free_memory_ = nullptr;
  QLabel* allocation_label_ = nullptr;
  QLineEdit* allocation_ = nullptr;
};

}  // namespace orvane
