#include "Orvane/interchange/vcd_declarations.h"

#include <unordered_set>

#include "Orvane/interchange/settings_comment.h"

namespace velix::interchange {
namespace {

constexpr size_t kMaxScopeDepth = 256;
constexpr size_t kMaxSectionWords = 8;

struct TimeUnit {
  std::string_view name;
  uint64_t per_second;
};
constexpr TimeUnit kTimeUnits[] = {{"s", 1},           {"ms", 1000},          {"us", 1000000},
                                   {"ns", 1000000000}, {"ps", 1000000000000}, {"fs", 1000000000000000}};

bool IsReadOnlyKind(std::string_view type) {
  return type == "real" || type == "realtime" || type == "event" || type == "string";
}

// Names reach messages and terminals: no control characters.
bool IsPrintableName(std::string_view name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

bool IsIdentifierCode(std::string_view code) {
  for (const char c : code) {
    if (c < 33 || c > 126) return false;
  }
  return !code.empty();
}

class DeclarationReader {
 public:
  DeclarationReader(VcdScanner* scanner, VcdDeclarations* out, std::string* error)
      : scanner_(*scanner), out_(*out), error_(*error) {}

  bool Run();

 private:
  bool Fail(const std::string& message) {
    error_ = "line " + std::to_string(scanner_.Line()) + ": " + (scanner_.Failed() ? scanner_.Error() : message);
    return false;
  }
  // The words of a section up to its $end (not included).
  bool Section(std::string_view keyword, std::vector<std::string>* words);
  bool Timescale();
  bool Scope();
  bool Var();
  bool Comment();

  VcdScanner& scanner_;
  VcdDeclarations& out_;
  std::string& error_;
  std::vector<std::string> scopes_;
  std::unordered_set<std::string> names_;
  bool has_timescale_ = false;
};

bool DeclarationReader::Section(std::string_view keyword, std::vector<std::string>* words) {
  std::string_view word;
  while (scanner_.Next(&word)) {
    if (word == "$end") return true;
    if (words->size() == kMaxSectionWords) return Fail("too many words in " + std::string(keyword));
    words->emplace_back(word);
  }
  return Fail("the file ends inside " + std::string(keyword));
}

bool DeclarationReader::Timescale() {
  std::vector<std::string> words;
  if (!Section("$timescale", &words)) return false;
  std::string text;
  for (const std::string& w : words) text += w;
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  const std::string number = text.substr(0, digits);
  const std::string unit = text.substr(digits);
  if (number != "1" && number != "10" && number != "100") {
    return Fail("the timescale " + Quoted(text) + " is not 1, 10 or 100 of a unit");
  }
  for (const TimeUnit& u : kTimeUnits) {
    if (unit == u.name) {
      out_.tick = {std::stoull(number), u.per_second};
      has_timescale_ = true;
      return true;
    }
  }
  return Fail("the timescale unit " + Quoted(unit) + " is not s, ms, us, ns, ps or fs");
}

bool DeclarationReader::Scope() {
  std::vector<std::string> words;
  if (!Section("$scope", &words)) return false;
  if (words.empty()) return Fail("a $scope without a name");
  if (!IsPrintableName(words.back()))
    return Fail("the scope name " + Quoted(words.back()) + " holds a control character");
  if (scopes_.size() == kMaxScopeDepth) return Fail("scopes nested deeper than " + std::to_string(kMaxScopeDepth));
  scopes_.push_back(words.back());
  return true;
}

bool DeclarationReader::Var() {
  std::vector<std::string> words;
  if (!Section("$var", &words)) return false;
  if (words.size() < 4 || words.size() > 5) return Fail("a $var needs a type, a width, an identifier and a name");
  const std::string& width = words[1];
  if (width.empty() || width.size() > 9 || width.find_first_not_of("0123456789") != std::string::npos ||
      std::stoul(width) == 0) {
    return Fail("the width " + Quoted(width) + " is not a number of bits");
  }
  const std::string& code = words[2];
  if (!IsIdentifierCode(code)) return Fail("the identifier " + Quoted(code) + " holds a character outside ! to ~");
  // A second declaration of a code names the same signal elsewhere in the
  // design: it adds no channel.
  if (out_.identifiers.Find(code) != kUnknownIdentifier) return true;
  if (width != "1" || IsReadOnlyKind(words[0])) return out_.identifiers.Add(code, kSkippedVariable);
  if (out_.channels.size() == kMaxVcdChannels) {
    return Fail("more than " + std::to_string(kMaxVcdChannels) + " one-bit signals");
  }
  std::string name = words[3] + (words.size() == 5 ? words[4] : std::string());
  if (!IsPrintableName(name)) return Fail("the name " + Quoted(name) + " holds a control character");
  if (names_.count(name) != 0) {
    // The same name in two scopes: the later one is told apart by its path.
    std::string path;
    for (const std::string& scope : scopes_) path += scope + ".";
    name = path + name;
    if (names_.count(name) != 0) return Fail("two signals named " + Quoted(name));
  }
  names_.insert(name);
  out_.identifiers.Add(code, static_cast<int32_t>(out_.channels.size()));
  out_.channels.push_back(std::move(name));
  return true;
}

bool DeclarationReader::Comment() {
  std::string_view word;
  size_t count = 0;
  bool tagged = false;
  std::optional<std::vector<uint8_t>> settings;
  while (scanner_.Next(&word)) {
    if (word == "$end") {
      if (tagged && count == 2 && settings) out_.carried_settings = std::move(*settings);
      return true;
    }
    if (count == 0) tagged = word == kSettingsCommentTag;
    if (count == 1 && tagged) settings = SettingsBytesOfHex(word);
    ++count;
  }
  return Fail("the file ends inside $comment");
}

bool DeclarationReader::Run() {
  std::string_view word;
  while (scanner_.Next(&word)) {
    if (word == "$timescale") {
      if (!Timescale()) return false;
    } else if (word == "$scope") {
      if (!Scope()) return false;
    } else if (word == "$upscope") {
      if (scopes_.empty()) return Fail("$upscope without an open $scope");
      scopes_.pop_back();
      if (!SkipToEnd(&scanner_)) return Fail("the file ends inside $upscope");
    } else if (word == "$var") {
      if (!Var()) return false;
    } else if (word == "$comment") {
      if (!Comment()) return false;
    } else if (word == "$date" || word == "$version") {
      if (!SkipToEnd(&scanner_)) return Fail("the file ends inside " + std::string(word));
    } else if (word == "$enddefinitions") {
      if (!SkipToEnd(&scanner_)) return Fail("the file ends inside $enddefinitions");
      if (!has_timescale_) return Fail("no $timescale before $enddefinitions");
      if (out_.channels.empty()) return Fail("no one-bit signal is declared");
      return true;
    } else {
      return Fail("unexpected " + Quoted(word) + " among the declarations");
    }
  }
  return Fail("the file ends before $enddefinitions");
}

}  // namespace

bool SkipToEnd(VcdScanner* scanner) {
  std::string_view word;
  while (scanner->Next(&word)) {
    if (word == "$end") return true;
  }
  return false;
}

bool ReadVcdDeclarations(VcdScanner* scanner, VcdDeclarations* out, std::string* error) {
  return DeclarationReader(scanner, out, error).Run();
}

}  // namespace velix::interchange
