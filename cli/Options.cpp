#include "cli/Options.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/Commands.h"
#include "cli/OptionValues.h"
#include "cli/Session.h"

namespace qxv::cli {

namespace {

constexpr std::size_t kSynopsisWidth = 100;  // columns, before a synopsis line wraps

// "usage: SYNOPSIS", the description, then the options as CLI11 lays them out.
class UsageFormatter : public CLI::Formatter {
public:
    explicit UsageFormatter(std::string synopsis) : synopsis_(std::move(synopsis)) { column_width(30); }

    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode mode) const override {
        return "usage: " + synopsis_ + "\n\n" + app->get_description() + "\n" + make_groups(app, mode);
    }

private:
    std::string synopsis_;
};

// Words joined by spaces, wrapped below the first word's end ("qxv render") when too wide.
std::string Wrapped(const std::vector<std::string>& words) {
    const std::string indent(std::string("usage: ").size() + words.front().size() + 1, ' ');
    std::string text = words.front();
    std::size_t line_length = indent.size() - 1;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (line_length + 1 + words[i].size() > kSynopsisWidth) {
            text += "\n" + indent + words[i];
            line_length = indent.size() + words[i].size();
        } else {
            text += " " + words[i];
            line_length += 1 + words[i].size();
        }
    }
    return text;
}

}  // namespace

CommandLine::CommandLine(std::string command, std::string arguments, const std::string& description)
    : command_(std::move(command)),
      argument_names_(std::move(arguments)),
      app_(std::make_unique<CLI::App>(description, "qxv " + command_)) {
    app_->option_defaults()->group("options");
    app_->set_help_flag("-h,--help", "this text");
    // Paths such as /tmp/out.png are arguments on Windows too.
    app_->allow_windows_style_options(false);
    app_->add_option("arguments", arguments_)->group("");
}

CommandLine::~CommandLine() = default;

CommandLine& CommandLine::Bind(const std::string& name, const std::string& value_name, const std::string& help,
                               Occurs occurs, std::function<bool(const std::string& text, std::string& error)> read) {
    // CLI11 calls back once the command line is read, in the order the options were declared;
    // the first refusal is kept for Parse to report, so --help and unknown options still come first.
    CLI::callback_t convert = [this, read = std::move(read)](const CLI::results_t& texts) {
        for (const std::string& text : texts) {
            std::string error;
            if (value_error_.empty() && !read(text, error)) value_error_ = error;
        }
        return true;
    };
    CLI::Option* option = app_->add_option("--" + name, convert, help)->type_name(value_name)->allow_extra_args(false);
    if (occurs == Occurs::kRepeatable) option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    declared_.push_back({name, value_name, occurs});
    return *this;
}

CommandLine& CommandLine::Option(const std::string& name, const std::string& value_name, const std::string& help,
                                 std::string& text) {
    return Bind(name, value_name, help, Occurs::kOptional, [&text](const std::string& given, std::string&) {
        text = given;
        return true;
    });
}

CommandLine& CommandLine::Option(const std::string& name, const std::string& value_name, const std::string& help,
                                 std::optional<std::string>& text, Occurs occurs) {
    return Bind(name, value_name, help, occurs, [&text](const std::string& given, std::string&) {
        text = given;
        return true;
    });
}

CommandLine& CommandLine::Option(const std::string& name, const std::string& value_name, const std::string& help,
                                 std::vector<std::string>& texts) {
    return Bind(name, value_name, help, Occurs::kRepeatable, [&texts](const std::string& given, std::string&) {
        texts.push_back(given);
        return true;
    });
}

CommandLine& CommandLine::Flag(const std::string& name, const std::string& help, bool& on) {
    app_->add_flag("--" + name, on, help)->disable_flag_override()->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    declared_.push_back({name, "", Occurs::kOptional});
    return *this;
}

CommandLine& CommandLine::HostOptions(SessionOptions& session, bool& trace, bool& json) {
    return Option("host", "ae|premiere", "host to simulate: After Effects (default) or Premiere Pro", session.host,
                  Converter<hostsim::HostApp>(ParseHostApp))
        .Option("plugin", "PATH", "plug-in library (default: QX_Vignette.so beside qxv)", session.plugin_path)
        .Flag("trace", "print every host call the plug-in made, in order", trace)
        .Flag("json", "print one JSON object instead of text", json);
}

CommandLine& CommandLine::ParamOptions(SessionOptions& session) {
    return Option("set", "NAME=VALUE",
                  "parameter value in effect-control units (a slider's number in the unit it was registered "
                  "with, degrees, \"x,y\", \"#rrggbb\", a choice, on/off); repeatable",
                  session.assignments);
}

CommandLine& CommandLine::FailureOptions(SessionOptions& session) {
    return Option("fail-suite", "NAME", "make the named suite unavailable (AcquireSuite fails); repeatable",
                  session.failing_suites);
}

std::string CommandLine::Synopsis() const {
    std::vector<std::string> words = {"qxv " + command_};
    for (const Declared& declared : declared_) {
        const std::string usage = "--" + declared.name + (declared.value_name.empty() ? "" : " " + declared.value_name);
        switch (declared.occurs) {
            case Occurs::kOptional: words.push_back("[" + usage + "]"); break;
            case Occurs::kRepeatable: words.push_back("[" + usage + "]..."); break;
            case Occurs::kRequired: words.push_back(usage); break;
        }
    }
    if (!argument_names_.empty()) words.push_back(argument_names_);
    return Wrapped(words);
}

std::optional<int> CommandLine::Parse(const std::vector<std::string>& args) {
    app_->formatter(std::make_shared<UsageFormatter>(Synopsis()));
    try {
        // CLI11 takes the arguments last first.
        app_->parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::CallForHelp&) {
        std::cout << app_->help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        return Fail(command_, std::string(e.what()) + " (see qxv " + command_ + " --help)", kExitUsage);
    }
    if (!value_error_.empty()) return Fail(command_, value_error_, kExitUsage);
    return std::nullopt;
}

}  // namespace qxv::cli
