#pragma once
// CTabbedViewView: the tab pane below the transaction list. Its tabs come
// from the capture settings it was built for (bus, forced display, monitor
// mode); the main window builds a new pane when it rebuilds its views.
// The waveform tab is made by a factory the main window hands in, so the
// pane does not depend on the waveform form.

#include <QTabWidget>

#include <functional>

#include "Orvane/ui/tabs/detail_source.h"
#include "Orvane/ui/tabs/tab_set.h"

namespace orvane::ui {

using TimingTabFactory = std::function<QWidget*(QWidget* parent)>;

class CTabbedViewView : public QTabWidget {
  Q_OBJECT

 public:
  // Without a factory the pane has no "Timing" tab.
  CTabbedViewView(const TabSetKey& key, DetailSource detail, const TimingTabFactory& timing,
                  QWidget* parent = nullptr);

  const TabSetKey& Key() const { return key_; }
  // The index of the tab with this (untranslated) label; -1 for none.
  int TabIndexOf(const char* label) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TabSetKey key_;
  std::vector<const char*> labels_;
};

}  // namespace orvane::ui
