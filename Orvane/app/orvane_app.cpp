#include "Orvane/app/orvane_app.h"

#include <QApplication>
#include <QLocale>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "Orvane/app/app_command_line.h"
#include "Orvane/app/app_translations.h"
#include "Orvane/ui/dlg_title.h"
#include "platform/files.h"
#include "platform/string_format.h"
#include "platform/system_error.h"
#include "platform/temporary_copies.h"
#include "platform/trace.h"

namespace orvane {
namespace {

using velix::platform::Icon;
using velix::platform::Trace;

std::vector<std::string> ToStdStrings(const QStringList& list) {
  std::vector<std::string> strings;
  strings.reserve(static_cast<size_t>(list.size()));
  for (const QString& item : list) strings.push_back(item.toStdString());
  return strings;
}

}  // namespace

COrvaneApp::COrvaneApp(QtInteractionSink& sink) : sink_(sink) {
  // AppState starts with every flag clear, memory locking on, the reader
  // waiting for events and priority 0; the settings record and the search
  // memory start with their defaults.
  const uint32_t error = InitTempNames(state_);
  if (error != 0) {
    sink_.Show(velix::platform::StringPrintf("ERROR!  GetTempPath() : err_no = %u", error), Icon::kStop);
  }
  // The clock the application times with; traced for the developer only.
  using Period = std::chrono::steady_clock::period;
  Trace("\n  ORVANE : QueryPerformanceFrequency : %llu ===\n\n",
        static_cast<unsigned long long>(Period::den / Period::num));
}

COrvaneApp::~COrvaneApp() {
  DeleteTemporaryCopy();
  if (startup_limits_.minimum != 0 && startup_limits_.maximum != 0) {
    velix::platform::RestoreWorkingSet(startup_limits_);
  }
}

bool COrvaneApp::InitInstance(const QStringList& arguments, const MainWindowHook& open_main_window) {
  if (!AcquireInstanceLock()) return false;

  recent_.Load(settings_);
  ChooseLanguage();
  LoadAppSettings(settings_, state_);

  const long page_size = ::sysconf(_SC_PAGESIZE);
  Trace("SystemInfo : m_SystemInfo.dwPageSize = %ld \n", page_size);
  // Memory is mapped at page granularity here.
  Trace("SystemInfo : m_SystemInfo.dwAllocationGranularity = %ld \n", page_size);
  RecordWorkingSetLimits();

  const AppCommandLine command_line = ParseAppCommandLine(ToStdStrings(arguments), std::getenv("ORVANE_NO_TITLE"));
  std::optional<QString> file_to_open;
  if (command_line.file_to_open) file_to_open = QString::fromStdString(*command_line.file_to_open);
  if (!open_main_window(*this, file_to_open)) return false;

  if (command_line.show_title) {
    DlgTitle title(QApplication::activeWindow());
    title.exec();
  }
  return true;
}

bool COrvaneApp::AcquireInstanceLock() {
  if (instance_lock_.Acquire(velix::platform::InstanceLockFolder(), kAppInstanceLockName)) return true;
  // An instance that cannot even make its lock file ends without a word, as
  // one whose lock is held by another copy says so.
  const int error = errno;
  if (error == EWOULDBLOCK) {
    Trace(" ORVANE already running!!! (LastError = %d)\n", error);
    sink_.Show(kAlreadyRunningMessage, Icon::kStop);
  }
  return false;
}

void COrvaneApp::ChooseLanguage() {
  // Texts built in code follow the language of the translation in use, so
  // they never differ from the windows' texts.
  state_.japanese = InstallTranslations(*QCoreApplication::instance(), QLocale::system()) == QLocale::Japanese;
}

void COrvaneApp::RecordWorkingSetLimits() {
  velix::platform::GetWorkingSetLimits(&startup_limits_);
  Trace("default GetProcessWorkingSetSize()  min:0x%08llX,  Max:0x%08llX \n",
        static_cast<unsigned long long>(startup_limits_.minimum),
        static_cast<unsigned long long>(startup_limits_.maximum));
}

void COrvaneApp::DeleteTemporaryCopy() {
  if (state_.temp_copy_name.empty()) return;
  Trace(" DeleteFile() TMP File : %s \n", state_.temp_copy_name.c_str());
  const uint32_t error = velix::platform::DeleteFileAt(state_.temp_copy_name);
  if (error != 0) Trace("DeleteFile()\n%s\n", velix::platform::SystemErrorText(error).c_str());
  velix::platform::ForgetTemporaryCopy(state_.temp_copy_name);
  state_.temp_copy_name.clear();
}

}  // namespace orvane
