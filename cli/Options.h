// Command-line options of the qxv commands, parsed by CLI11. A command declares its options on
// a CommandLine; what the user gave lands in a ParsedArgs by option name, which the session,
// the render settings and the overlay set-up read, and which a command may extend (a host
// switch, the host a raw format implies).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace qxv::cli {

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

// One command's options. Names are given without the leading "--"; "--name value" and
// "--name=value" both work, "--" ends the options and a lone "-" is an argument (standard
// input or output).
class CommandLine {
public:
    // `synopsis` and `description` open the --help text, above the options.
    CommandLine(std::string command, const std::string& synopsis, const std::string& description);
    ~CommandLine();

    // --name VALUE, at most once unless `repeatable`. `value_name` shows in --help: "PATH", "ae|premiere".
    CommandLine& Option(const std::string& name, const std::string& value_name, const std::string& help,
                        bool repeatable = false);
    // --name alone.
    CommandLine& Flag(const std::string& name, const std::string& help);

    // Groups several commands share.
    CommandLine& HostOptions();     // --host, --plugin, --trace, --json
    CommandLine& ParamOptions();    // --set NAME=VALUE
    CommandLine& FailureOptions();  // --fail-suite NAME

    // Reads the arguments after the command name into `parsed`. Returns the exit code when the
    // command has nothing more to do: 0 after printing --help, 2 after one line on stderr for
    // an unknown option, a missing value or an option given twice.
    std::optional<int> Parse(const std::vector<std::string>& args, ParsedArgs& parsed);

    const std::string& command() const { return command_; }

private:
    struct Declared {
        std::string name;
        CLI::Option* option;
        bool flag;
    };

    std::string command_;
    std::unique_ptr<CLI::App> app_;
    std::vector<Declared> declared_;
    std::vector<std::string> positional_;
};

}  // namespace qxv::cli
