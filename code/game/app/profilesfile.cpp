#include "game/app/profilesfile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <vector>

#include "orvo/util/a_string.h"

namespace {

enum class ValueForm { Number, Numbers, Names };

struct KeyForm {
    const char* name;
    ValueForm form;
};

constexpr std::array<KeyForm, 14> kKeys = {{{"Stars", ValueForm::Number},
                                            {"Active", ValueForm::Number},
                                            {"NumDoneUpgrades", ValueForm::Number},
                                            {"FullScreen", ValueForm::Number},
                                            {"WideScreen", ValueForm::Number},
                                            {"FXQuality", ValueForm::Number},
                                            {"SoundVolume", ValueForm::Number},
                                            {"MusicVolume", ValueForm::Number},
                                            {"Levels", ValueForm::Names},
                                            {"Rewards", ValueForm::Numbers},
                                            {"Upgrades", ValueForm::Numbers},
                                            {"Awards", ValueForm::Numbers},
                                            {"NewAwards", ValueForm::Numbers},
                                            {"Tips", ValueForm::Number}}};

// The INI reader skips it before the first line.
constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";

// A whole 32-bit decimal number, as the writer puts it.
bool isNumber(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    // Past the range the reader keeps the nearest end, not the value.
    const long long v = std::stoll(std::string(text));
    return v <= (negative ? 2147483648LL : 2147483647LL);
}

// The items of a list value as the reader splits it (at every run of "," and " ").
std::vector<std::string_view> items(std::string_view value)
{
    std::vector<std::string_view> out;
    size_t p = value.find_first_not_of(", ");
    while (p != std::string_view::npos) {
        const size_t end = value.find_first_of(", ", p);
        out.push_back(value.substr(p, end == std::string_view::npos ? std::string_view::npos : end - p));
        p = value.find_first_not_of(", ", end);
    }
    return out;
}

bool valueReads(ValueForm form, std::string_view value, const char* key)
{
    // The reader cuts a value at ";".
    if (value.find(';') != std::string_view::npos)
        return false;
    if (form == ValueForm::Number)
        return isNumber(value);
    const std::vector<std::string_view> list = items(value);
    if ((std::strcmp(key, "Upgrades") == 0 || std::strcmp(key, "Awards") == 0) &&
        list.size() > PROFILES_MAX_LIST_ENTRIES)
        return false;
    return form == ValueForm::Names || std::all_of(list.begin(), list.end(), isNumber);
}

constexpr size_t kExampleLength = 40;

// A piece of the file as the log shows it: short, control characters and
// bytes from 0x80 up as "\xNN", so the log stays plain text; a backslash
// doubled, so the file's own "\x80" does not read as an escaped byte.
std::string example(std::string_view text)
{
    std::string out;
    for (const char c : text.substr(0, kExampleLength)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F)
            out += string_format("\\x%02X", byte);
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

// Counts of each kind of unreadable line, with the first one seen as an example.
class Findings {
public:
    void add(size_t kind, std::string_view line)
    {
        if (m_counts[kind]++ == 0)
            m_examples[kind] = example(line);
    }
    std::string describe() const
    {
        static const char* const kWhat[] = {"line(s) outside any player, the first \"%s\"",
                                            "line(s) that are no key of a player, the first \"%s\"",
                                            "key(s) given twice in a player, the first \"%s\"",
                                            "value(s) that do not read back, the first \"%s\"",
                                            "player name(s) cut at \"]\", the first \"%s\"",
                                            "player(s) given twice, the first \"%s\"",
                                            "player(s) whose levels and medals do not pair, the first \"%s\"",
                                            "player(s) without a name, the first holding \"%s\"",
                                            "player name(s) the game refuses, the first \"%s\"",
                                            "player(s) holding no key of a player, the first \"%s\""};
        std::string out;
        for (size_t k = 0; k < KINDS; ++k) {
            if (m_counts[k] == 0)
                continue;
            std::string what = kWhat[k];
            what.replace(what.find("%s"), 2, m_examples[k]);
            out += (out.empty() ? "" : ", ") + std::to_string(m_counts[k]) + " " + what;
        }
        return out;
    }

    static constexpr size_t OUTSIDE = 0, NO_KEY = 1, KEY_TWICE = 2, BAD_VALUE = 3, NAME_CUT = 4, PLAYER_TWICE = 5,
                            UNPAIRED = 6, NAMELESS = 7, BAD_NAME = 8, NO_PLAYER_KEY = 9, KINDS = 10;

private:
    size_t m_counts[KINDS] = {};
    std::string m_examples[KINDS];
};

bool signExtended(const uint8_t* group)
{
    const uint8_t fill = group[0] & 0x80 ? 0xFF : 0x00;
    return group[1] == fill && group[2] == fill && group[3] == fill;
}

// What the writer could not have made of the groups: the count and the byte
// offset of the first group that is no sign-extended byte or is a zero byte.
struct Narrowed {
    std::string text;
    size_t oddGroups = 0;
    size_t firstOdd = 0;
};

Narrowed narrowGroups(const uint8_t* bytes, size_t size)
{
    Narrowed out;
    out.text.reserve(size / 4);
    for (size_t i = 0; i + 4 <= size; i += 4) {
        if (bytes[i] == 0 || !signExtended(bytes + i))
            if (out.oddGroups++ == 0)
                out.firstOdd = i;
        out.text += static_cast<char>(bytes[i]);
    }
    return out;
}

bool endsAsWritten(const std::string& text)
{
    return text.empty() || (text.size() >= 4 && text.compare(text.size() - 4, 4, "\r\n\r\n") == 0);
}

bool isFourByteForm(const uint8_t* bytes, size_t size)
{
    size_t groups = 0, extended = 0;
    bool zeros = false;
    for (size_t i = 0; i + 4 <= size; i += 4, ++groups)
        if (signExtended(bytes + i)) {
            ++extended;
            zeros = zeros || bytes[i] < 0x80;
        }
    return zeros && extended * 2 >= groups;
}

// Leaves out a last line evidently cut short; its text for the log, empty when none was.
std::string dropCutLastLine(std::string& text, bool plain)
{
    if (text.empty() || text.back() == '\r' || text.back() == '\n')
        return {};
    const size_t lineStart = text.find_last_of("\r\n") + 1; // 0 when the text is one line
    std::string_view line(text.data() + lineStart, text.size() - lineStart);
    line = line.substr(0, line.find('\0'));
    const size_t p = line.find_first_not_of(' ');
    if (p == std::string_view::npos)
        return {};
    line.remove_prefix(p);
    const bool openHeader = line.front() == '[' && line.find(']') == std::string_view::npos;
    if (plain && !openHeader)
        return {};
    std::string cut = example(line);
    text.resize(lineStart);
    return cut;
}

} // namespace

std::string profilesfile_widen(const std::string& text)
{
    std::string out;
    out.reserve(text.size() * 4);
    for (const char c : text) {
        const char fill = static_cast<signed char>(c) < 0 ? '\xFF' : '\0';
        out += c;
        out.append(3, fill);
    }
    return out;
}

ProfilesFileText profilesfile_decode(const uint8_t* bytes, size_t size)
{
    ProfilesFileText out;
    std::vector<std::string> damage;
    out.plain = size != 0 && !isFourByteForm(bytes, size);
    if (out.plain) {
        out.text.assign(reinterpret_cast<const char*>(bytes), size);
    } else {
        Narrowed narrowed = narrowGroups(bytes, size);
        out.text = std::move(narrowed.text);
        if (size % 4 != 0)
            damage.push_back(std::to_string(size % 4) + " byte(s) past the last whole character");
        if (narrowed.oddGroups != 0)
            damage.push_back(std::to_string(narrowed.oddGroups) +
                             " character(s) not stored as the game stores them, the first at byte " +
                             std::to_string(narrowed.firstOdd));
    }
    if (const std::string cut = dropCutLastLine(out.text, out.plain); !cut.empty())
        damage.push_back("a last line cut short \"" + cut + "\"");
    else if (!out.plain && !endsAsWritten(out.text))
        damage.push_back("the text stops inside a player");
    for (const std::string& d : damage)
        out.damage += (out.damage.empty() ? "" : ", ") + d;
    return out;
}

bool profilesfile_nameFits(const std::wstring& name)
{
    if (name.empty())
        return false;
    for (const wchar_t c : name)
        if (c < 0x20 || c == 0x7F || c == L']')
            return false;
    return string_cp1251ToWide(string_wideToCp1251(name)) == name;
}

bool profilesfile_isPlayerKey(std::string_view key)
{
    return std::any_of(kKeys.begin(), kKeys.end(), [&](const KeyForm& k) { return key == k.name; });
}

std::string profilesfile_unreadable(const std::string& text)
{
    Findings findings;
    std::set<std::string> players;
    // The section being read; lines of one whose name does not fit go with it.
    struct Section {
        bool open = false;
        std::string cutHeader; // the header, when the name does not end it at "]"
        std::string name;
        bool fits = false;
        std::string firstLine;
        bool holdsKey = false;
        uint32_t keysSeen = 0; // one bit per known key
        size_t levels = 0, rewards = 0;
    } section;
    auto endSection = [&] {
        if (!section.open)
            return;
        if (!section.fits) {
            if (!section.name.empty())
                findings.add(Findings::BAD_NAME, section.name);
            else if (!section.firstLine.empty()) // a nameless header alone loses nothing
                findings.add(Findings::NAMELESS, section.firstLine);
            return;
        }
        if (!section.holdsKey) {
            findings.add(Findings::NO_PLAYER_KEY, section.name);
            return;
        }
        if (!section.cutHeader.empty())
            findings.add(Findings::NAME_CUT, section.cutHeader);
        if (!players.insert(section.name).second)
            findings.add(Findings::PLAYER_TWICE, section.name);
        if (section.levels != section.rewards)
            findings.add(Findings::UNPAIRED, section.name);
    };
    size_t at = text.starts_with(kUtf8Signature) ? kUtf8Signature.size() : 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        std::string_view line(text.data() + at, end - at);
        at = end + 1;
        // The zero byte ends a line's text for the reader.
        line = line.substr(0, line.find('\0'));
        const size_t p = line.find_first_not_of(' ');
        if (p == std::string_view::npos)
            continue;
        line.remove_prefix(p);
        if (line.front() == '[') {
            endSection();
            section = Section{};
            section.open = true;
            const size_t close = line.find(']');
            section.name =
                std::string(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            if (close == std::string_view::npos || close + 1 != line.size())
                section.cutHeader = line.substr(0, kExampleLength);
            section.fits = profilesfile_nameFits(string_cp1251ToWide(section.name));
            continue;
        }
        if (!section.open) {
            findings.add(Findings::OUTSIDE, line);
            continue;
        }
        if (section.firstLine.empty())
            section.firstLine = line.substr(0, kExampleLength);
        if (!section.fits)
            continue;
        // Split as the reader splits: the name up to a blank or "=", the value after the run of both.
        const size_t nameEnd = std::min(line.find_first_of(" ="), line.size());
        const std::string_view name = line.substr(0, nameEnd);
        const size_t valueStart = std::min(line.find_first_not_of(" =", nameEnd), line.size());
        const std::string_view value = line.substr(valueStart);
        const auto key = std::find_if(kKeys.begin(), kKeys.end(), [&](const KeyForm& k) { return name == k.name; });
        if (key == kKeys.end()) {
            findings.add(Findings::NO_KEY, line);
            continue;
        }
        section.holdsKey = true;
        const uint32_t bit = 1u << (key - kKeys.begin());
        if (section.keysSeen & bit) {
            findings.add(Findings::KEY_TWICE, line);
            continue;
        }
        section.keysSeen |= bit;
        if (!valueReads(key->form, value, key->name))
            findings.add(Findings::BAD_VALUE, line);
        if (name == "Levels")
            section.levels = items(value).size();
        else if (name == "Rewards")
            section.rewards = items(value).size();
    }
    endSection();
    return findings.describe();
}
