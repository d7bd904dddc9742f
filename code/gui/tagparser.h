// GUI::TagParser: splits a wide text into text tokens and tag tokens. A tag
// stands between an opening and a closing delimiter ("<#" and "#>" for the
// static text) and holds a name, optionally followed by the value delimiter
// ("=") and a value. An opening delimiter without a closing one drops the
// rest of the text. Plain value, any thread.
#pragma once

#include <string>
#include <vector>

namespace GUI {

class TagParser {
public:
    struct Token {
        bool isText = false;
        std::wstring text;
    };

    TagParser(std::wstring open, std::wstring close, std::wstring equals)
        : m_open(std::move(open)), m_close(std::move(close)), m_equals(std::move(equals))
    {
    }

    // Replaces the tokens with those of the text; neighbouring text joins into one token.
    void Parse(const std::wstring& text);
    const std::vector<Token>& GetTokens() const { return m_tokens; }
    void Clear() { m_tokens.clear(); }

    // The tag's name (before the first value delimiter) and value (after it; empty without one).
    void SplitTag(const std::wstring& tag, std::wstring& name, std::wstring& value) const;

private:
    void addText(std::wstring text);

    std::wstring m_open;
    std::wstring m_close;
    std::wstring m_equals;
    std::vector<Token> m_tokens;
};

} // namespace GUI
