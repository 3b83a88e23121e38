#include "Arguments.h"

#include "text/Text.h"

namespace talvik::cli {

bool Arguments::Parse(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                      std::string& error) {
    values_.clear();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            error = "unexpected argument '" + arg + "'";
            return false;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const OptionSpec* spec = nullptr;
        for (const auto& s : specs)
            if (s.name == name) spec = &s;
        if (spec == nullptr) {
            error = "unknown option '--" + name + "'";
            return false;
        }
        auto& list = values_[name];
        if (!list.empty() && !spec->repeatable) {
            error = "option '--" + name + "' given more than once";
            return false;
        }
        if (!spec->takesValue) {
            if (inlineValue) {
                error = "option '--" + name + "' takes no value";
                return false;
            }
            list.emplace_back();
            continue;
        }
        if (inlineValue) {
            list.push_back(*inlineValue);
        } else if (i + 1 < args.size()) {
            list.push_back(args[++i]);
        } else {
            error = "option '--" + name + "' needs a value";
            return false;
        }
    }
    return true;
}

std::optional<std::string> Arguments::Value(std::string_view name) const {
    const auto it = values_.find(std::string(name));
    if (it == values_.end() || it->second.empty()) return std::nullopt;
    return it->second.back();
}

const std::vector<std::string>& Arguments::Values(std::string_view name) const {
    static const std::vector<std::string> kNone;
    const auto it = values_.find(std::string(name));
    return it == values_.end() ? kNone : it->second;
}

namespace {
bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = b < 0x80             ? 1
                          : (b & 0xE0) == 0xC0 ? 2
                          : (b & 0xF0) == 0xE0 ? 3
                          : (b & 0xF8) == 0xF0 ? 4
                                               : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}
}  // namespace

std::string TextArgument(std::string_view arg) {
    return IsValidUtf8(arg) ? Cp1252FromUtf8(arg) : std::string(arg);
}

}  // namespace talvik::cli
