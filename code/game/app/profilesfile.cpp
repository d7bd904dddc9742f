#include "game/app/profilesfile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <string_view>
#include <vector>

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

// Counts of each kind of unreadable line, with the first one seen as an example.
class Findings {
public:
    void add(size_t kind, std::string_view example)
    {
        if (m_counts[kind]++ == 0)
            m_examples[kind] = std::string(example.substr(0, 40));
    }
    std::string describe() const
    {
        static const char* const kWhat[] = {"line(s) outside any player, the first \"%s\"",
                                            "line(s) that are no key of a player, the first \"%s\"",
                                            "key(s) given twice in a player, the first \"%s\"",
                                            "value(s) that do not read back, the first \"%s\"",
                                            "player name(s) cut at \"]\", the first \"%s\"",
                                            "player(s) given twice, the first \"%s\"",
                                            "player(s) whose levels and medals do not pair, the first \"%s\""};
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
                            UNPAIRED = 6, KINDS = 7;

private:
    size_t m_counts[KINDS] = {};
    std::string m_examples[KINDS];
};

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

std::string profilesfile_narrow(const uint8_t* bytes, size_t size, bool& damaged)
{
    damaged = size % 4 != 0;
    std::string text;
    text.reserve(size / 4);
    for (size_t i = 0; i + 4 <= size; i += 4) {
        const uint8_t low = bytes[i];
        const uint8_t fill = low & 0x80 ? 0xFF : 0x00;
        if (low == 0 || bytes[i + 1] != fill || bytes[i + 2] != fill || bytes[i + 3] != fill)
            damaged = true;
        text += static_cast<char>(low);
    }
    if (!text.empty() && (text.size() < 4 || text.compare(text.size() - 4, 4, "\r\n\r\n") != 0))
        damaged = true;
    return text;
}

std::string profilesfile_unreadable(const std::string& text)
{
    Findings findings;
    std::set<std::string> players;
    std::string player;
    bool inPlayer = false;
    uint32_t keysSeen = 0; // one bit per known key of the current player
    size_t levels = 0, rewards = 0;
    auto endPlayer = [&] {
        if (inPlayer && levels != rewards)
            findings.add(Findings::UNPAIRED, player);
    };
    size_t at = 0;
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
            endPlayer();
            const size_t close = line.find(']');
            player = std::string(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            if (close == std::string_view::npos || close + 1 != line.size())
                findings.add(Findings::NAME_CUT, line);
            if (!players.insert(player).second)
                findings.add(Findings::PLAYER_TWICE, player);
            inPlayer = true;
            keysSeen = 0;
            levels = rewards = 0;
            continue;
        }
        if (!inPlayer) {
            findings.add(Findings::OUTSIDE, line);
            continue;
        }
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
        const uint32_t bit = 1u << (key - kKeys.begin());
        if (keysSeen & bit) {
            findings.add(Findings::KEY_TWICE, line);
            continue;
        }
        keysSeen |= bit;
        if (!valueReads(key->form, value, key->name))
            findings.add(Findings::BAD_VALUE, line);
        if (name == "Levels")
            levels = items(value).size();
        else if (name == "Rewards")
            rewards = items(value).size();
    }
    endPlayer();
    return findings.describe();
}
