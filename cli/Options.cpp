#include "Options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>

#include "Commands.h"

namespace qxv::cli {

namespace {

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

}  // namespace

std::string ParsedArgs::Get(const std::string& name, const std::string& fallback) const {
    auto it = options_.find(name);
    return it == options_.end() || it->second.empty() ? fallback : it->second.back();
}

std::vector<std::string> ParsedArgs::All(const std::string& name) const {
    auto it = options_.find(name);
    return it == options_.end() ? std::vector<std::string>{} : it->second;
}

CommandLine::CommandLine(std::string command, const std::string& synopsis, const std::string& description)
    : command_(std::move(command)), app_(std::make_unique<CLI::App>(description, "qxv " + command_)) {
    app_->formatter(std::make_shared<UsageFormatter>(synopsis));
    app_->option_defaults()->group("options");
    app_->set_help_flag("-h,--help", "this text");
    // Paths such as /tmp/out.png are arguments on Windows too.
    app_->allow_windows_style_options(false);
    app_->add_option("arguments", positional_)->group("");
}

CommandLine::~CommandLine() = default;

CommandLine& CommandLine::Option(const std::string& name, const std::string& value_name, const std::string& help,
                                 bool repeatable) {
    CLI::Option* option = app_->add_option("--" + name, help)->type_name(value_name)->allow_extra_args(false);
    if (repeatable) option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    declared_.push_back({name, option, false});
    return *this;
}

CommandLine& CommandLine::Flag(const std::string& name, const std::string& help) {
    CLI::Option* option = app_->add_flag("--" + name, help)->disable_flag_override()->multi_option_policy(
        CLI::MultiOptionPolicy::Throw);
    declared_.push_back({name, option, true});
    return *this;
}

CommandLine& CommandLine::HostOptions() {
    return Option("host", "ae|premiere", "host to simulate: After Effects (default) or Premiere Pro")
        .Option("plugin", "PATH", "plug-in library (default: QX_Vignette.so beside qxv)")
        .Flag("trace", "print every host call the plug-in made, in order")
        .Flag("json", "print one JSON object instead of text");
}

CommandLine& CommandLine::ParamOptions() {
    return Option("set", "NAME=VALUE",
                  "parameter value in effect-control units (a slider's number in the unit it was registered "
                  "with, degrees, \"x,y\", \"#rrggbb\", a choice, on/off); repeatable",
                  true);
}

CommandLine& CommandLine::FailureOptions() {
    return Option("fail-suite", "NAME", "make the named suite unavailable (AcquireSuite fails); repeatable", true);
}

std::optional<int> CommandLine::Parse(const std::vector<std::string>& args, ParsedArgs& parsed) {
    try {
        // CLI11 takes the arguments last first.
        app_->parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::CallForHelp&) {
        std::cout << app_->help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        return Fail(command_, std::string(e.what()) + " (see qxv " + command_ + " --help)", kExitUsage);
    }
    for (const Declared& declared : declared_) {
        if (declared.flag && declared.option->count()) parsed.Add(declared.name, "");
        if (!declared.flag) {
            for (const std::string& value : declared.option->results()) parsed.Add(declared.name, value);
        }
    }
    for (const std::string& argument : positional_) parsed.AddPositional(argument);
    return std::nullopt;
}

}  // namespace qxv::cli
