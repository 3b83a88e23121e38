// Reads arbitrary bytes as the REGEDIT4 store, in memory. A text that is understood must come
// back from its own rewrite with every key and value as it was; a value set in it must read
// back, and leave every other value alone.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "platform/RegistryDocument.h"
#include "text/Text.h"

namespace {

using namespace talvik::regedit;

void Require(bool condition) {
    if (!condition) std::abort();
}

// Every visible key with the text of each of its values, and the subkeys of the root.
std::map<std::string, std::string> Snapshot(const Document& doc) {
    std::map<std::string, std::string> values;
    for (const Section& s : doc.sections) {
        if (!s.visible) continue;
        values[s.folded] = "<key>";
        for (const Entry& e : s.entries) {
            if (!e.isValue) continue;
            std::string text;
            const bool found = ReadString(doc, s.path, e.name, std::string::npos, text);
            values[s.folded + "|" + e.name] = found ? "=" + text : "<none>";
        }
    }
    for (const std::string& name : SubkeyNames(doc, {}))
        values["<root>|" + name] = "<subkey>";
    return values;
}

// Serialises and reads back: the text must be understood (and be its own rewrite).
Document RoundTrip(const Document& doc, bool fixedPoint) {
    const std::string bytes = Serialize(doc);
    Document again = Parse(bytes);
    Require(again.problem.empty());
    if (fixedPoint) Require(Serialize(again) == bytes);
    return again;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The comparisons cost more than the code they check; large inputs go without them.
    const bool compare = size <= 65536;
    Document doc = Parse(input);
    if (!doc.problem.empty()) {
        // What could be read is still read.
        if (compare) Snapshot(doc);
        return 0;
    }
    std::map<std::string, std::string> before;
    if (compare) {
        before = Snapshot(doc);
        doc = RoundTrip(doc, true);
        Require(Snapshot(doc) == before);
    }

    // A value into the first visible key, or into a new key; its text is the end of the input,
    // control bytes and all.
    KeyPath key = {"Software", "Kelvaris", "Talvik"};
    for (const Section& s : doc.sections)
        if (s.visible && !s.path.empty()) {
            key = s.path;
            break;
        }
    const Change added = AddKey(doc, {}, key);
    Require(added != Change::Refused || key.front().size() > 255 || HasControlBytes(key.front()));
    if (added == Change::Refused) return 0;
    const std::string text(input.substr(input.size() - std::min<std::size_t>(input.size(), 24)));
    Require(SetString(doc, key, "TalvikCurrentSel", text) != Change::Refused);
    const Document after = RoundTrip(doc, false);
    std::string read;
    Require(ReadString(after, key, "talvikcurrentsel", std::string::npos, read));
    Require(read == text || (read + '\0' == text && text.back() == '\0'));

    // Nothing else changed; keys may have been added.
    if (!compare) return 0;
    std::string folded;
    for (const std::string& name : key)
        folded += (folded.empty() ? "" : "\\") + talvik::ToUpper(name);
    const auto now = Snapshot(after);
    for (const auto& [name, value] : before) {
        if (talvik::ToUpper(name) == folded + "|TALVIKCURRENTSEL") continue;
        const auto found = now.find(name);
        Require(found != now.end() && found->second == value);
    }
    return 0;
}
