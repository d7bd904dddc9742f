#include "gui/tagparser.h"

namespace GUI {

void TagParser::addText(std::wstring text)
{
    if (text.empty())
        return;
    if (!m_tokens.empty() && m_tokens.back().isText)
        m_tokens.back().text += text;
    else
        m_tokens.push_back(Token{true, std::move(text)});
}

void TagParser::Parse(const std::wstring& text)
{
    m_tokens.clear();
    if (m_open.empty() || m_close.empty()) {
        addText(text);
        return;
    }
    size_t pos = 0;
    for (;;) {
        const size_t open = text.find(m_open, pos);
        if (open == std::wstring::npos) {
            addText(text.substr(pos));
            return;
        }
        addText(text.substr(pos, open - pos));
        const size_t inner = open + m_open.size();
        const size_t close = text.find(m_close, inner);
        if (close == std::wstring::npos)
            return; // an unclosed tag cuts the text
        m_tokens.push_back(Token{false, text.substr(inner, close - inner)});
        pos = close + m_close.size();
    }
}

void TagParser::SplitTag(const std::wstring& tag, std::wstring& name, std::wstring& value) const
{
    const size_t at = m_equals.empty() ? std::wstring::npos : tag.find(m_equals);
    if (at == std::wstring::npos) {
        name = tag;
        value.clear();
        return;
    }
    name = tag.substr(0, at);
    value = tag.substr(at + m_equals.size());
}

} // namespace GUI
