// Command-line options of the qxv commands, parsed by CLI11. A command declares its options on
// a CommandLine, which writes the synopsis of its --help from them; after Parse the command
// reads the texts given, once, into its typed settings (OptionValues.h turns texts into values).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace qxv::cli {

// How often an option may be given; a required option shows without brackets in the synopsis
// (the command checks for it, in its own words).
enum class Occurs { kOptional, kRepeatable, kRequired };

// One command's options. Names are given without the leading "--"; "--name value" and
// "--name=value" both work, "--" ends the options and a lone "-" is an argument (standard
// input or output).
class CommandLine {
public:
    // `arguments` ends the synopsis ("INPUT OUTPUT"); `description` follows it in --help.
    CommandLine(std::string command, std::string arguments, const std::string& description);
    ~CommandLine();

    // --name VALUE. `value_name` shows in --help: "PATH", "ae|premiere".
    CommandLine& Option(const std::string& name, const std::string& value_name, const std::string& help,
                        Occurs occurs = Occurs::kOptional);
    // --name alone.
    CommandLine& Flag(const std::string& name, const std::string& help);

    // Groups several commands share.
    CommandLine& HostOptions();     // --host, --plugin, --trace, --json
    CommandLine& ParamOptions();    // --set NAME=VALUE
    CommandLine& FailureOptions();  // --fail-suite NAME

    // Reads the arguments after the command name. Returns the exit code when the command has
    // nothing more to do: 0 after printing --help, 2 after one line on stderr for an unknown
    // option, a missing value or an option given twice.
    std::optional<int> Parse(const std::vector<std::string>& args);

    // What Parse found. An option not declared counts as not given.
    bool Has(const std::string& name) const;
    std::string Text(const std::string& name, const std::string& fallback = "") const;
    std::vector<std::string> Texts(const std::string& name) const;  // a repeatable option's, in order
    const std::vector<std::string>& arguments() const { return arguments_; }

    const std::string& command() const { return command_; }
    // "qxv render [--host ae|premiere] ... INPUT OUTPUT", from the options as declared.
    std::string Synopsis() const;

private:
    struct Declared {
        std::string name;
        std::string value_name;  // empty for a flag
        Occurs occurs;
        CLI::Option* option;
    };
    const Declared* Find(const std::string& name) const;

    std::string command_;
    std::string argument_names_;
    std::unique_ptr<CLI::App> app_;
    std::vector<Declared> declared_;
    std::vector<std::string> arguments_;
};

}  // namespace qxv::cli
