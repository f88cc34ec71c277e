#pragma once
// Sets or clears an environment variable for the life of one test and puts
// the previous value back afterwards.

#include <stdlib.h>

#include <optional>
#include <string>

namespace velix::platform::testing {

class EnvironmentOverride {
 public:
  EnvironmentOverride(const char* name, const std::optional<std::string>& value) : name_(name) {
    const char* old = getenv(name);
    if (old != nullptr) old_ = old;
    Apply(value);
  }
  ~EnvironmentOverride() { Apply(old_); }
  EnvironmentOverride(const EnvironmentOverride&) = delete;
  EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace velix::platform::testing
