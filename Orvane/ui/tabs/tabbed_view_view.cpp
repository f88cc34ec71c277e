#include "Orvane/ui/tabs/tabbed_view_view.h"

#include <QCoreApplication>

#include <cstring>

#include "Orvane/ui/tabs/view_dump.h"
#include "Orvane/ui/tabs/view_dump_list.h"

namespace orvane::ui {
namespace {

constexpr char kContext[] = "CTabbedViewView";

// Every label the tab sets use, so the translation tools see them.
constexpr const char* kLabelTexts[] = {
    QT_TRANSLATE_NOOP("CTabbedViewView", "DATA MISO"), QT_TRANSLATE_NOOP("CTabbedViewView", "DATA MOSI"),
    QT_TRANSLATE_NOOP("CTabbedViewView", "DATA MISO+MOSI"), QT_TRANSLATE_NOOP("CTabbedViewView", "DATA"),
    QT_TRANSLATE_NOOP("CTabbedViewView", "Packet"), QT_TRANSLATE_NOOP("CTabbedViewView", "Timing"),
};

QString Translated(const char* label) {
  for (const char* known : kLabelTexts) {
    if (std::strcmp(known, label) == 0) return QCoreApplication::translate(kContext, known);
  }
  return QString::fromLatin1(label);
}

}  // namespace

CTabbedViewView::CTabbedViewView(const TabSetKey& key, DetailSource detail, const TimingTabFactory& timing,
                                 QWidget* parent)
    : QTabWidget(parent), key_(key) {
  for (const TabSpec& spec : TabSetFor(key)) {
    QWidget* page = nullptr;
    switch (spec.view) {
      case TabView::kDumpList: page = new ViewDumpList(DumpKindOfLabel(spec.label), detail, this); break;
      case TabView::kPacket: page = new ViewDump(detail, this); break;
      case TabView::kTiming:
        if (timing) page = timing(this);
        break;
    }
    if (page == nullptr) continue;
    const QString label = Translated(spec.label);
    page->setAccessibleName(label);
    addTab(page, label);
    labels_.push_back(spec.label);
  }
}

int CTabbedViewView::TabIndexOf(const char* label) const {
  for (size_t i = 0; i < labels_.size(); ++i) {
    if (std::strcmp(labels_[i], label) == 0) return static_cast<int>(i);
  }
  return -1;
}

void CTabbedViewView::showEvent(QShowEvent* event) {
  for (int i = 0; i < count(); ++i) {
    if (auto* packet = qobject_cast<ViewDump*>(widget(i))) packet->ResetDoubleClicks();
  }
  QTabWidget::showEvent(event);
}

}  // namespace orvane::ui
