#pragma once
// The "VELIX Mode change tool" dialog: a thin view over ModeChangeMachine.
// It draws the machine's state, passes clicks, the force accelerator and
// the poll timer's ticks on, shows the message boxes, and runs the
// "Update" worker on a thread of its own.

#include <QDialog>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "ModeChange/mode_change_machine.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace velix::modechange {

class ModeChangeDialog final : public QDialog, private ModeChangeView, private PollTimer {
  Q_OBJECT

 public:
  // Answers a message box in place of the user (tests, screenshots).
  using MessagePresenter = std::function<bool(TextId text)>;

  ModeChangeDialog(FirmwareAccess& firmware, MachineOptions options, QWidget* parent = nullptr);
  ~ModeChangeDialog() override;

  ModeChangeMachine& Machine() { return *machine_; }
  void SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

 protected:
  void showEvent(QShowEvent* event) override;
  // Escape and the window's close button act as "Exit", and not at all
  // while "Exit" is disabled (the worker is writing).
  void reject() override;

 private:
  // ModeChangeView
  void StateChanged() override;
  bool ShowMessage(TextId text) override;
  void CloseDialog() override;
  // PollTimer
  void Start() override;
  void Stop() override;

  void BuildControls();
  void Render();
  bool AskUser(TextId text);
  void LaunchWorker(std::function<void()> body);
  bool OnDialogThread() const;

  MessagePresenter presenter_;
  QTimer poll_timer_;
  std::thread worker_;
  std::atomic<bool> render_queued_{false};
  bool started_ = false;

  QLabel* status_ = nullptr;
  QRadioButton* analyzer_ = nullptr;
  QRadioButton* monitor_ = nullptr;
  QLabel* mode_label_ = nullptr;
  QLabel* eeprom_version_ = nullptr;
  QLabel* flash_version_ = nullptr;
  QLabel* cpld_version_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* update_ = nullptr;
  QPushButton* exit_ = nullptr;

  std::unique_ptr<ModeChangeMachine> machine_;
};

// A text of the machine in the user's language; text 169 with its number.
QString TranslatedText(TextId text, int number = 0);

}  // namespace velix::modechange
