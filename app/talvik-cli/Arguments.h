#pragma once
// Command-line options of the batch front: "--name VALUE", "--name=VALUE" or a bare switch.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::cli {

struct OptionSpec {
    std::string name;  // without the leading "--"
    bool takesValue = true;
    bool repeatable = false;
};

class Arguments {
  public:
    // Parses args (after the subcommand). False with `error` set on an unknown option, a missing
    // value, a repeated option that may not repeat, or a stray word.
    bool Parse(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
               std::string& error);

    bool Has(std::string_view name) const { return values_.count(std::string(name)) != 0; }
    std::optional<std::string> Value(std::string_view name) const;
    const std::vector<std::string>& Values(std::string_view name) const;

  private:
    std::map<std::string, std::vector<std::string>> values_;
};

// Text typed on the command line meant for the package files: UTF-8 is converted to
// Windows-1252; anything that is not valid UTF-8 is taken as the bytes it is.
std::string TextArgument(std::string_view arg);

}  // namespace talvik::cli
