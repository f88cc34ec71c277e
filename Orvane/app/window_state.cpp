#include "Orvane/app/window_state.h"

#include <QMainWindow>
#include <QSettings>

namespace orvane {
namespace {

constexpr char kGeometryKey[] = "Workspace/Geometry";
constexpr char kStateKey[] = "Workspace/State";

}  // namespace

void SaveWindowState(QSettings& settings, const QMainWindow& window) {
  settings.setValue(QLatin1String(kGeometryKey), window.saveGeometry());
  settings.setValue(QLatin1String(kStateKey), window.saveState());
  settings.sync();
}

bool RestoreWindowState(QSettings& settings, QMainWindow& window) {
  const QByteArray geometry = settings.value(QLatin1String(kGeometryKey)).toByteArray();
  const QByteArray state = settings.value(QLatin1String(kStateKey)).toByteArray();
  // Both restores check what they are given: a damaged value is ignored.
  const bool geometry_restored = !geometry.isEmpty() && window.restoreGeometry(geometry);
  const bool state_restored = !state.isEmpty() && window.restoreState(state);
  return geometry_restored || state_restored;
}

}  // namespace orvane
