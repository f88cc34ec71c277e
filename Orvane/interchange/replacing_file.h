#pragma once
// An output file that appears whole or not at all: the data go to a
// temporary file in the target's folder, which is renamed over the target
// only once everything was written. A failed or interrupted conversion
// leaves the folder as it was (the temporary file is removed on failure, at
// destruction, and by the exit-signal handler).

#include <string>

namespace velix::interchange {

class ReplacingFile {
 public:
  ReplacingFile() = default;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ~ReplacingFile();

  // Creates the empty temporary file beside `target`.
  bool Create(const std::string& target, std::string* error);
  // Where to write meanwhile.
  const std::string& TemporaryPath() const { return temporary_; }
  // A message about the temporary file, naming the target instead.
  std::string InTargetTerms(std::string message) const;
  // Moves the written temporary file onto the target.
  bool Commit(std::string* error);

 private:
  void Discard();

  std::string target_;
  std::string temporary_;
};

}  // namespace velix::interchange
