#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// Arguments the command does not take, or a value it cannot use; Message says which. The
// command's usage follows it on standard error unless the message alone says what to change,
// and the tool exits with 2.
struct EUsage {
    std::string Message;
    bool ShowUsage = true;
};

// The arguments of one command: its operands, and the options it takes, each given as
// "--name VALUE" or "--name=VALUE" for a value, "--name", "--name=1" or "--name=0" for a switch.
// Anything else that starts with "-" is an unknown option.
class TArguments {
public:
    enum class TKind { Value, Switch };
    struct TOption {
        const char* Name;
        TKind Kind;
    };

    TArguments(const std::vector<std::string>& args, const std::vector<TOption>& accepted);

    const std::vector<std::string>& Operands() const { return operands_; }
    // The options in the order given, a switch's value "1" or "0".
    const std::vector<std::pair<std::string, std::string>>& Options() const { return options_; }
    // The last value given for name.
    std::optional<std::string> Value(const std::string& name) const;
    bool Has(const std::string& name) const { return Value(name).has_value(); }

private:
    std::vector<std::string> operands_;
    std::vector<std::pair<std::string, std::string>> options_;
};

// Whether the arguments ask for help: "--help" or "-h" anywhere.
bool AsksForHelp(const std::vector<std::string>& args);

} // namespace cli
