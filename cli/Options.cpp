#include "Options.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "Commands.h"

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

CommandLine& CommandLine::Option(const std::string& name, const std::string& value_name, const std::string& help,
                                 Occurs occurs) {
    CLI::Option* option = app_->add_option("--" + name, help)->type_name(value_name)->allow_extra_args(false);
    if (occurs == Occurs::kRepeatable) option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    declared_.push_back({name, value_name, occurs, option});
    return *this;
}

CommandLine& CommandLine::Flag(const std::string& name, const std::string& help) {
    CLI::Option* option = app_->add_flag("--" + name, help)->disable_flag_override()->multi_option_policy(
        CLI::MultiOptionPolicy::Throw);
    declared_.push_back({name, "", Occurs::kOptional, option});
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
                  Occurs::kRepeatable);
}

CommandLine& CommandLine::FailureOptions() {
    return Option("fail-suite", "NAME", "make the named suite unavailable (AcquireSuite fails); repeatable",
                  Occurs::kRepeatable);
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
    return std::nullopt;
}

const CommandLine::Declared* CommandLine::Find(const std::string& name) const {
    for (const Declared& declared : declared_) {
        if (declared.name == name) return &declared;
    }
    return nullptr;
}

bool CommandLine::Has(const std::string& name) const {
    const Declared* declared = Find(name);
    return declared && declared->option->count() > 0;
}

std::string CommandLine::Text(const std::string& name, const std::string& fallback) const {
    const std::vector<std::string> texts = Texts(name);
    return texts.empty() ? fallback : texts.back();
}

std::vector<std::string> CommandLine::Texts(const std::string& name) const {
    const Declared* declared = Find(name);
    return declared && !declared->value_name.empty() ? declared->option->results() : std::vector<std::string>{};
}

}  // namespace qxv::cli
