#include "Orvane/app/window_state.h"

#include <QMainWindow>
#include <QSettings>

#include <memory>

#include "Orvane/app/qt_settings_store.h"

namespace orvane {
namespace {

constexpr char kGeometryKey[] = "Workspace/Geometry";
constexpr char kStateKey[] = "Workspace/State";

}  // namespace

bool SaveWindowState(const QtSettingsStore& store, const QMainWindow& window) {
  const std::unique_ptr<QSettings> settings = store.OpenSettings();
  settings->setValue(QLatin1String(kGeometryKey), window.saveGeometry());
  settings->setValue(QLatin1String(kStateKey), window.saveState());
  settings->sync();
  return settings->status() == QSettings::NoError;
}

bool RestoreWindowState(const QtSettingsStore& store, QMainWindow& window) {
  const std::unique_ptr<QSettings> settings = store.OpenSettings();
  const QByteArray geometry = settings->value(QLatin1String(kGeometryKey)).toByteArray();
  const QByteArray state = settings->value(QLatin1String(kStateKey)).toByteArray();
  // Both restores check what they are given: a damaged value is ignored.
  const bool geometry_restored = !geometry.isEmpty() && window.restoreGeometry(geometry);
  const bool state_restored = !state.isEmpty() && window.restoreState(state);
  return geometry_restored || state_restored;
}

}  // namespace orvane
