#include "cli_args.hpp"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace orvex::cli {

namespace {

// A connection-string option ("db", "texts-db") whose value may also come from elsewhere.
bool IsConnectionOption(const std::string& name, const OptionSpec& spec) {
  const bool named =
      name == "db" || (name.size() > 3 && name.compare(name.size() - 3, 3, "-db") == 0);
  return named && spec.valued.count(name) != 0;
}

// "db-env" -> "db" when the base is a connection-string option and the suffix is the one given.
std::string SourceBase(const std::string& name, const std::string& suffix, const OptionSpec& spec) {
  if (name.size() <= suffix.size() ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return "";
  std::string base = name.substr(0, name.size() - suffix.size());
  return IsConnectionOption(base, spec) ? base : "";
}

std::string FromEnvironment(const std::string& command, const std::string& option,
                            const std::string& variable) {
  const char* value = variable.empty() ? nullptr : std::getenv(variable.c_str());
  if (value == nullptr || *value == '\0')
    throw UsageError(
        command, "option --" + option + ": the environment variable '" + variable + "' is not set");
  return value;
}

// The file's first line, without its line end.
std::string FromFile(const std::string& command, const std::string& option,
                     const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line))
    throw UsageError(command, "option --" + option + ": cannot read a line from '" + path + "'");
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

Args::Args(std::string command, const std::vector<std::string>& argv, const OptionSpec& spec)
    : command_(std::move(command)) {
  for (size_t i = 0; i < argv.size(); ++i) Take(argv, i, spec);
}

void Args::Take(const std::vector<std::string>& argv, size_t& i, const OptionSpec& spec) {
  const std::string& word = argv[i];
  if (word == "--") {
    // Everything after a lone "--" is positional, so texts may start with a dash.
    positional_.insert(positional_.end(), argv.begin() + static_cast<long>(i) + 1, argv.end());
    i = argv.size();
    return;
  }
  if (word.size() < 3 || word.rfind("--", 0) != 0) {
    positional_.push_back(word);
    return;
  }
  std::string name = word.substr(2);
  std::string value;
  const size_t equals = name.find('=');
  const bool inlineValue = equals != std::string::npos;
  if (inlineValue) {
    value = name.substr(equals + 1);
    name.resize(equals);
  }
  if (spec.flags.count(name) != 0 && !inlineValue) {
    flags_.insert(name);
    return;
  }
  // A connection string may carry a password, which the command line shows to every local
  // user: --db-env VAR and --db-file FILE take it from the environment or a file instead.
  const std::string fromEnvironment = SourceBase(name, "-env", spec);
  const std::string fromFile = SourceBase(name, "-file", spec);
  if (spec.valued.count(name) == 0 && fromEnvironment.empty() && fromFile.empty())
    throw UsageError(command_, "unknown option --" + name);
  if (!inlineValue) {
    if (i + 1 >= argv.size()) throw UsageError(command_, "option --" + name + " needs a value");
    value = argv[++i];
  }
  if (!fromEnvironment.empty())
    options_[fromEnvironment] = FromEnvironment(command_, name, value);
  else if (!fromFile.empty())
    options_[fromFile] = FromFile(command_, name, value);
  else
    options_[name] = value;
}

bool Args::Has(const std::string& name) const {
  return options_.count(name) != 0 || flags_.count(name) != 0;
}

std::string Args::Get(const std::string& name, const std::string& fallback) const {
  const auto found = options_.find(name);
  return found == options_.end() ? fallback : found->second;
}

std::string Args::Require(const std::string& name) const {
  const auto found = options_.find(name);
  if (found == options_.end()) throw UsageError(command_, "option --" + name + " is required");
  return found->second;
}

const std::string& Args::PositionalAt(size_t index, const std::string& what) const {
  if (index >= positional_.size()) throw UsageError(command_, "missing " + what);
  return positional_[index];
}

void Args::AllowAtMost(size_t count) const {
  if (positional_.size() > count)
    throw UsageError(command_, "unexpected argument '" + positional_[count] + "'");
}

bool WantsHelp(const std::vector<std::string>& argv) {
  for (const std::string& word : argv) {
    if (word == "--") return false;
    if (word == "--help" || word == "-h") return true;
  }
  return false;
}

bool PrintedHelp(const std::vector<std::string>& argv, const char* help) {
  if (!WantsHelp(argv)) return false;
  std::cout << help;
  return true;
}

int32_t ParseNumber(const std::string& command, const std::string& what, const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
                   std::isxdigit(static_cast<unsigned char>(text[2]));
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long value = hex ? static_cast<long long>(std::strtoull(begin + 2, &end, 16))
                              : std::strtoll(begin, &end, 10);
  const bool inRange = hex ? value <= 0xFFFFFFFFLL : value >= INT32_MIN && value <= INT32_MAX;
  if (text.empty() || *end != '\0' || errno == ERANGE || !inRange)
    throw UsageError(command, what + " '" + text + "' is not a 32-bit number");
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

}  // namespace orvex::cli
