#include "Options.h"

namespace qxv::cli {

namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& option_table, const std::string& name) {
    for (const auto& option : option_table) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

}  // namespace

std::string ParsedArgs::Get(const std::string& name, const std::string& fallback) const {
    auto it = options_.find(name);
    return it == options_.end() || it->second.empty() ? fallback : it->second.back();
}

std::vector<std::string> ParsedArgs::All(const std::string& name) const {
    auto it = options_.find(name);
    return it == options_.end() ? std::vector<std::string>{} : it->second;
}

bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& option_table, ParsedArgs& parsed,
               std::string& error) {
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_ended || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            // A lone "-" is a positional argument (standard input or output).
            if (!options_ended && arg.size() > 1 && arg[0] == '-') {
                error = "unknown option " + arg;
                return false;
            }
            parsed.AddPositional(arg);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        std::string name = arg.substr(2);
        std::string value;
        bool inline_value = false;
        if (std::size_t equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            inline_value = true;
        }
        const OptionSpec* option = FindSpec(option_table, name);
        if (!option) {
            error = "unknown option --" + name;
            return false;
        }
        if (option->value_name.empty()) {
            if (inline_value) {
                error = "option --" + name + " takes no value";
                return false;
            }
        } else if (!inline_value) {
            if (i + 1 >= args.size()) {
                error = "option --" + name + " needs a value (" + option->value_name + ")";
                return false;
            }
            value = args[++i];
        }
        if (parsed.Has(name) && !option->repeatable) {
            error = "option --" + name + " given more than once";
            return false;
        }
        parsed.Add(name, value);
    }
    return true;
}

bool WantsHelp(const std::vector<std::string>& args) {
    for (const auto& arg : args) {
        if (arg == "--") return false;
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

std::string UsageText(const std::string& synopsis, const std::string& description,
                      const std::vector<OptionSpec>& option_table) {
    std::string text = "usage: " + synopsis + "\n\n" + description + "\n";
    if (!option_table.empty()) text += "\noptions:\n";
    for (const auto& option : option_table) {
        std::string left = "  --" + option.name + (option.value_name.empty() ? "" : " " + option.value_name);
        if (left.size() < 30) left.resize(30, ' ');
        else left += "\n" + std::string(30, ' ');
        text += left + option.help + "\n";
    }
    text += "  --help                      this text\n";
    return text;
}

std::vector<OptionSpec> HostOptions() {
    return {
        {"host", "ae|premiere", "host to simulate: After Effects (default) or Premiere Pro"},
        {"plugin", "PATH", "plug-in library (default: QX_Vignette.so beside qxv)"},
        {"trace", "", "print every host call the plug-in made, in order"},
        {"json", "", "print one JSON object instead of text"},
    };
}

std::vector<OptionSpec> ParamOptions() {
    return {{"set", "NAME=VALUE",
             "parameter value in effect-control units (pixels, degrees, percent, \"x,y\", \"#rrggbb\", "
             "a choice, on/off); repeatable",
             true}};
}

std::vector<OptionSpec> FailureOptions() {
    return {{"fail-suite", "NAME", "make the named suite unavailable (AcquireSuite fails); repeatable", true}};
}

std::vector<OptionSpec> Join(std::initializer_list<std::vector<OptionSpec>> groups) {
    std::vector<OptionSpec> all;
    for (const auto& group : groups) all.insert(all.end(), group.begin(), group.end());
    return all;
}

}  // namespace qxv::cli
