#pragma once
// "Capture settings": confirms the bus, capture mode, sampling frequency and
// the two sizes before every live capture, and opens the trigger, SPI, I2C
// and "Other setting" dialogs. The rules live in CaptureSettingModel; this
// only shows them and forwards what the user does.

#include <QDialog>

#include <cstdint>
#include <functional>

#include "Orvane/capture/capture_start_checks.h"
#include "Orvane/ui/dialogs/capture_setting_model.h"
#include "platform/interaction.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QMouseEvent;
class QPushButton;
class SizeSpinBox;

// "Start Capture" runs this with the entries; true closes the dialog
// (accepted), false keeps it open (the checks have told the user why).
using StartCaptureFn = std::function<bool(const orvane::CaptureEntries&)>;

// What the buttons that open other dialogs call. A hook left empty disables
// its button. Their dialogs write the settings record themselves.
struct CaptureDialogHooks {
  std::function<void(uint8_t bus)> trigger;  // with the bus chosen at the moment
  std::function<void()> spi;
  std::function<void()> i2c;
  std::function<void()> general;
};

class DlgCaptureSetting : public QDialog {
  Q_OBJECT

 public:
  // `sink` shows the message for a refused size entry; without one the box
  // is reset silently.
  DlgCaptureSetting(const orvane::CaptureDialogValues& values, StartCaptureFn start,
                    QWidget* parent = nullptr, velix::platform::InteractionSink* sink = nullptr);

  void SetOpenDialogHooks(CaptureDialogHooks hooks);
  const orvane::CaptureEntries& Entries() const { return model_.Entries(); }

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void BuildControls(const orvane::CaptureDialogValues& values);
  QPushButton* AddHookButton(const QString& text, const char* name);
  void Render();
  void StartCapture();
  void ShowRefusal(const std::string& message);

  orvane::CaptureSettingModel model_;
  StartCaptureFn start_;
  velix::platform::InteractionSink* sink_;
  CaptureDialogHooks hooks_;

  QFormLayout* form_ = nullptr;
  QComboBox* bus_ = nullptr;
  QComboBox* capture_mode_ = nullptr;
  QComboBox* frequency_ = nullptr;
  SizeSpinBox* capture_size_ = nullptr;
  SizeSpinBox* driver_buffer_ = nullptr;
  QPushButton* trigger_button_ = nullptr;
  QPushButton* spi_button_ = nullptr;
  QPushButton* i2c_button_ = nullptr;
  QPushButton* general_button_ = nullptr;
};
