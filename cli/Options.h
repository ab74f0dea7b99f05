// Command-line options shared by every qxv command: a declared list of options per command,
// parsed into a map, with a one-line message for anything unknown or malformed.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace qxv::cli {

struct OptionSpec {
    std::string name;        // without the leading "--"
    std::string value_name;  // empty for a flag; e.g. "PATH", "ae|premiere"
    std::string help;
    bool repeatable = false;
};

class ParsedArgs {
public:
    bool Has(const std::string& name) const { return options_.count(name) != 0; }
    std::string Get(const std::string& name, const std::string& fallback = "") const;
    std::vector<std::string> All(const std::string& name) const;
    const std::vector<std::string>& positional() const { return positional_; }

    void Add(const std::string& name, const std::string& value) { options_[name].push_back(value); }
    void AddPositional(const std::string& value) { positional_.push_back(value); }

private:
    std::map<std::string, std::vector<std::string>> options_;
    std::vector<std::string> positional_;
};

// Accepts "--name value" and "--name=value"; "--" ends the options. On failure fills
// `error` with one line (no program name) and returns false.
bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& option_table, ParsedArgs& parsed,
               std::string& error);

bool WantsHelp(const std::vector<std::string>& args);
std::string UsageText(const std::string& synopsis, const std::string& description, const std::vector<OptionSpec>& option_table);

// Option groups used by several commands.
std::vector<OptionSpec> HostOptions();     // --host, --plugin, --trace, --json
std::vector<OptionSpec> ParamOptions();    // --set NAME=VALUE
std::vector<OptionSpec> FailureOptions();  // --fail-suite NAME
std::vector<OptionSpec> Join(std::initializer_list<std::vector<OptionSpec>> groups);

}  // namespace qxv::cli
