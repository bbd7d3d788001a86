#include "Arguments.h"

namespace cli {

TArguments::TArguments(const std::vector<std::string>& args, const std::vector<TOption>& accepted) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // "-1" is a number, not an option.
        if (arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) {
            operands_.push_back(arg);
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const TOption* option = nullptr;
        for (const TOption& candidate : accepted)
            if (name == candidate.Name)
                option = &candidate;
        if (option == nullptr)
            throw EUsage{"unknown option " + name};
        std::string value;
        if (option->Kind == TKind::Switch) {
            value = equals == std::string::npos ? "1" : arg.substr(equals + 1);
            if (value != "0" && value != "1")
                throw EUsage{name + " takes =0 or =1, not \"" + value + "\""};
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            throw EUsage{name + " needs a value"};
        }
        options_.emplace_back(name, value);
    }
}

std::optional<std::string> TArguments::Value(const std::string& name) const {
    std::optional<std::string> value;
    for (const auto& option : options_)
        if (option.first == name)
            value = option.second;
    return value;
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h")
            return true;
    return false;
}

} // namespace cli
