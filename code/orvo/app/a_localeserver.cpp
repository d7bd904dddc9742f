#include "orvo/app/a_localeserver.h"

#include "orvo/app/a_file.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_stringlist.h"

namespace {

const std::string kUtf8Signature = "\xEF\xBB\xBF";

bool startsWithSignature(const std::string& text)
{
    return text.compare(0, kUtf8Signature.size(), kUtf8Signature) == 0;
}

// The whole file named by a "file," value: signature skipped, CR bytes dropped.
std::string readValueFile(const std::string& name, const std::string& localePath)
{
    const std::string path =
        name.find_first_of("/\\") == std::string::npos ? file_getPath(localePath.c_str()) + name : name;
    aFileBuffer file(path.c_str());
    std::string text(reinterpret_cast<const char*>(file.bytes()), file.size());
    if (startsWithSignature(text))
        text.erase(0, kUtf8Signature.size());
    std::erase(text, '\r');
    return text;
}

// "\n" is the one escape of a locale text.
std::string unescape(const std::string& raw)
{
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += raw[i];
        }
    }
    return out;
}

} // namespace

std::string aLocaleServer::fullKey(const std::string& key, const std::string& prefix)
{
    return prefix.empty() ? key : prefix + ":" + key;
}

void aLocaleServer::load(const std::string& path, const std::string& prefix)
{
    for (const auto& f : m_files)
        if (f.path == path && f.prefix == prefix)
            return;
    m_files.push_back({path, prefix});
    parseFile(m_files.back());
}

void aLocaleServer::parseFile(const LoadedFile& file)
{
    aStringList lines(file.path.c_str());
    const std::string keyPrefix = file.prefix.empty() ? std::string() : file.prefix + ":";
    const auto& all = lines.lines();
    for (size_t i = 0; i < all.size(); ++i) {
        const bool ok = (i == 0 && startsWithSignature(all[0]))
                            ? parseLine(all[0].substr(kUtf8Signature.size()), file, keyPrefix)
                            : parseLine(all[i], file, keyPrefix);
        if (!ok)
            a_log("aLocaleServer. Error in file %s, line %i", file.path.c_str(), static_cast<int>(i + 1));
    }
}

bool aLocaleServer::parseLine(const std::string& line, const LoadedFile& file, const std::string& keyPrefix)
{
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == ';')
        return true;
    const size_t separator = line.find_first_of(" =\t", start + 1);
    if (separator == std::string::npos)
        return false;
    const size_t firstQuote = line.find('"', separator);
    const size_t lastQuote = line.rfind('"');
    if (firstQuote == std::string::npos || lastQuote == firstQuote)
        return false;

    const std::string raw = line.substr(firstQuote + 1, lastQuote - firstQuote - 1);
    const bool fromFile = line.substr(separator, firstQuote - separator).find("file,") != std::string::npos;
    const std::string value = fromFile ? readValueFile(raw, file.path) : unescape(raw);
    m_texts[keyPrefix + line.substr(start, separator - start)] = string_utf8ToWide(value);
    return true;
}

std::wstring aLocaleServer::getString(const std::string& key, const std::string& prefix) const
{
    const std::wstring* text = getStringEx(key, prefix);
    if (!text) {
        a_log("aLocaleServer. String [%s] not found", key.c_str());
        return {};
    }
    return *text;
}

const std::wstring* aLocaleServer::getStringEx(const std::string& key, const std::string& prefix) const
{
    const auto it = m_texts.find(fullKey(key, prefix));
    return it == m_texts.end() ? nullptr : &it->second;
}
