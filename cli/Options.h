// Command-line options of the qxv commands, parsed by CLI11. A command declares each option on
// a CommandLine together with the field it fills and the converter that turns its text into
// that field's type (OptionValues.h); the CommandLine writes the synopsis of --help from the
// declarations, and Parse fills the fields. A field keeps its default when its option is not given.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace qxv::cli {

struct SessionOptions;

// Turns an option's text into its value; false with a one-line `error` that names the option.
template <class T>
using Converter = std::function<bool(const std::string& text, T& value, std::string& error)>;

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

    // --name VALUE. `value_name` shows in --help: "PATH", "ae|premiere". The text as given, or
    // the value `convert` makes of it.
    CommandLine& Option(const std::string& name, const std::string& value_name, const std::string& help,
                        std::string& text);
    CommandLine& Option(const std::string& name, const std::string& value_name, const std::string& help,
                        std::optional<std::string>& text, Occurs occurs = Occurs::kOptional);
    template <class T>
    CommandLine& Option(const std::string& name, const std::string& value_name, const std::string& help, T& value,
                        Converter<T> convert) {
        return Bind(name, value_name, help, Occurs::kOptional,
                    [&value, convert](const std::string& text, std::string& error) {
                        return convert(text, value, error);
                    });
    }
    template <class T>
    CommandLine& Option(const std::string& name, const std::string& value_name, const std::string& help,
                        std::optional<T>& value, Converter<T> convert, Occurs occurs = Occurs::kOptional) {
        return Bind(name, value_name, help, occurs, [&value, convert](const std::string& text, std::string& error) {
            T converted{};
            if (!convert(text, converted, error)) return false;
            value = converted;
            return true;
        });
    }
    // A repeatable --name VALUE: every text, in order.
    CommandLine& Option(const std::string& name, const std::string& value_name, const std::string& help,
                        std::vector<std::string>& texts);
    // --name alone.
    CommandLine& Flag(const std::string& name, const std::string& help, bool& on);

    // Groups several commands share.
    CommandLine& HostOptions(SessionOptions& session, bool& trace, bool& json);  // --host, --plugin, --trace, --json
    CommandLine& ParamOptions(SessionOptions& session);                          // --set NAME=VALUE
    CommandLine& FailureOptions(SessionOptions& session);                        // --fail-suite NAME

    // Reads the arguments after the command name into the fields. Returns the exit code when
    // the command has nothing more to do: 0 after printing --help, 2 after one line on stderr
    // for an unknown option, a missing value, an option given twice or the first value (in the
    // order declared) its converter refuses.
    std::optional<int> Parse(const std::vector<std::string>& args);

    const std::vector<std::string>& arguments() const { return arguments_; }

    const std::string& command() const { return command_; }
    // "qxv render [--host ae|premiere] ... INPUT OUTPUT", from the options as declared.
    std::string Synopsis() const;

private:
    struct Declared {
        std::string name;
        std::string value_name;  // empty for a flag
        Occurs occurs;
    };
    // Declares --name VALUE; `read` gets its text (the last one, or each of a repeatable one's).
    CommandLine& Bind(const std::string& name, const std::string& value_name, const std::string& help, Occurs occurs,
                      std::function<bool(const std::string& text, std::string& error)> read);

    std::string command_;
    std::string argument_names_;
    std::unique_ptr<CLI::App> app_;
    std::vector<Declared> declared_;
    std::vector<std::string> arguments_;
    std::string value_error_;  // the first value refused
};

}  // namespace qxv::cli
