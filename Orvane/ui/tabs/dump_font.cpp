#include "Orvane/ui/tabs/dump_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace orvane::ui {
namespace {

constexpr int kDumpFontPoints = 10;

}  // namespace

QFont DumpFont() {
  const QString family = QStringLiteral("DotumChe");
  QFont font = QFontDatabase::families().contains(family) ? QFont(family)
                                                          : QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(kDumpFontPoints);
  font.setFixedPitch(true);
  return font;
}

}  // namespace orvane::ui
