#pragma once
// The diagnostic trace: developer lines that the user never sees. Off by
// default; VELIX_TRACE=stderr writes to standard error, VELIX_TRACE=<path>
// appends to that file. TraceDebug lines appear only while the "DebugMessage"
// switch is on as well. Formatting is printf-style, one line at most 512
// characters (longer lines are cut), as the application has always done.

#include <cstdarg>

namespace velix::platform {

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceV(const char* format, va_list args);

bool TraceEnabled();
void SetDebugMessages(bool on);
bool DebugMessages();
// Re-reads VELIX_TRACE (tests change it).
void ReloadTraceTarget();

}  // namespace velix::platform
