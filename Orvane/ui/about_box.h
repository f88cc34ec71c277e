#pragma once
// "about Orvane(&A)...": the title window first, then the product's name
// and version.

#include <QDialog>

namespace orvane {

class AboutBox final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

// Runs the command: the title window (unless `show_title` is false), then
// the about box, both modal.
void ShowAboutBox(QWidget* parent, bool show_title = true);

}  // namespace orvane
