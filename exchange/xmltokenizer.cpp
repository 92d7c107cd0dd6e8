#include "exchange/xmltokenizer.h"

#include <algorithm>
#include <cstring>

namespace {

// Comments, processing instructions and CDATA sections may hold '<' and
// are kept whole until their end turns up: beyond this they would only
// serve to take the memory. A cell holds at most 32,767 characters.
constexpr size_t MaxSection = size_t(4) << 20;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where a name ends: at a blank, '/', '>', '=' or the end.
size_t nameEnd(const std::string &buffer, size_t at)
{
    while (at < buffer.size()) {
        const char c = buffer[at];
        if (isBlank(c) || c == '/' || c == '>' || c == '=')
            break;
        ++at;
    }
    return at;
}

size_t blanksEnd(const std::string &buffer, size_t at)
{
    while (at < buffer.size() && isBlank(buffer[at]))
        ++at;
    return at;
}

bool isNameStart(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == ':' || u >= 0x80;
}

std::string_view localPart(std::string_view name, bool *prefixed = nullptr)
{
    const size_t colon = name.rfind(':');
    if (prefixed)
        *prefixed = colon != std::string_view::npos;
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

void appendUtf8(std::string *out, char32_t c)
{
    if (c < 0x80) {
        out->push_back(char(c));
    } else if (c < 0x800) {
        out->push_back(char(0xC0 | (c >> 6)));
        out->push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(char(0xE0 | (c >> 12)));
        out->push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(char(0x80 | (c & 0x3F)));
    } else {
        out->push_back(char(0xF0 | (c >> 18)));
        out->push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(char(0x80 | (c & 0x3F)));
    }
}

// A character reference's code point, 0 when it names no XML character.
char32_t referencedCharacter(std::string_view digits)
{
    const bool hex = !digits.empty() && digits.front() == 'x';
    if (hex)
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 8)
        return 0;
    char32_t c = 0;
    for (const char d : digits) {
        int v;
        if (d >= '0' && d <= '9')
            v = d - '0';
        else if (hex && d >= 'a' && d <= 'f')
            v = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
            v = d - 'A' + 10;
        else
            return 0;
        c = c * (hex ? 16 : 10) + char32_t(v);
        if (c > 0x10FFFF)
            return 0;
    }
    const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
            || (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
    return allowed ? c : 0;
}

// Whether the text holds a reference or a CR, which decode() handles.
bool needsDecoding(std::string_view text)
{
    for (const char c : text)
        if (c == '&' || c == '\r')
            return true;
    return false;
}

bool startsWith(const std::string &buffer, size_t at, const char *text)
{
    const size_t n = std::strlen(text);
    return buffer.size() - at >= n && buffer.compare(at, n, text) == 0;
}

// Whether the bytes from at to the end could begin the text.
bool couldBegin(const std::string &buffer, size_t at, const char *text)
{
    const size_t n = std::min(std::strlen(text), buffer.size() - at);
    return buffer.compare(at, n, text, n) == 0;
}

} // namespace

bool XmlTokenizer::fail(const char *reason, size_t at)
{
    if (m_error == Error::None) {
        m_error = Error::NotWellFormed;
        m_reason = QString::fromLatin1(reason);
        m_line += int(std::count(m_buffer.begin(), m_buffer.begin() + qint64(std::min(at, m_buffer.size())), '\n'));
    }
    return false;
}

XmlTokenizer::Step XmlTokenizer::refuse(const char *reason, size_t at)
{
    fail(reason, at);
    return Step::Failed;
}

bool XmlTokenizer::feed(const char *data, size_t size, bool last)
{
    if (m_error != Error::None)
        return false;
    // What was parsed goes; its lines are counted.
    m_line += int(std::count(m_buffer.begin(), m_buffer.begin() + qint64(m_position), '\n'));
    m_buffer.erase(0, m_position);
    m_position = 0;
    m_buffer.append(data, size);

    while (m_position < m_buffer.size()) {
        // Tags mostly follow one another without text between them.
        const char *base = m_buffer.data();
        const void *open = base[m_position] == '<'
                ? base + m_position
                : std::memchr(base + m_position, '<', m_buffer.size() - m_position);
        const size_t next = open ? size_t(static_cast<const char *>(open) - base) : m_buffer.size();
        if (next > m_position) {
            // Text runs to the next tag, which may come with the next piece.
            if (!open && !last)
                break;
            if (!text(m_position, next))
                return false;
            m_position = next;
            if (!open)
                break;
        }
        size_t end = 0;
        const Step step = tag(m_position, &end);
        if (step == Step::Failed || m_error != Error::None)
            return false;
        if (step == Step::NeedMore) {
            if (last)
                return fail("unexpected end of data in a tag", m_position);
            break;
        }
        m_position = end;
    }
    if (last && !m_open.empty())
        return fail("premature end of data: an element is not closed", m_buffer.size());
    if (last && !m_rootSeen)
        return fail("no root element", m_buffer.size());
    return m_error == Error::None;
}

bool XmlTokenizer::text(size_t from, size_t to)
{
    const std::string_view raw(m_buffer.data() + from, to - from);
    if (m_open.empty()) {
        if (std::any_of(raw.begin(), raw.end(), [](char c) { return !isBlank(c); }))
            return fail("text outside the root element", from);
        return true;
    }
    if (!needsDecoding(raw)) {
        m_handler->characters(raw);
        return true;
    }
    if (!decode(raw, &m_decodedText))
        return fail("an undefined entity or an invalid character reference", from);
    m_handler->characters(m_decodedText);
    return true;
}

// References decoded, and line ends as XML reads them: CR LF and a lone CR
// give LF.
bool XmlTokenizer::decode(std::string_view raw, std::string *out)
{
    out->clear();
    out->reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r') {
            out->push_back('\n');
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
            continue;
        }
        if (c != '&') {
            out->push_back(c);
            continue;
        }
        const size_t semicolon = raw.find(';', i + 1);
        if (semicolon == std::string_view::npos || semicolon - i > 12)
            return false;
        const std::string_view entity = raw.substr(i + 1, semicolon - i - 1);
        if (entity == "lt") {
            out->push_back('<');
        } else if (entity == "gt") {
            out->push_back('>');
        } else if (entity == "amp") {
            out->push_back('&');
        } else if (entity == "apos") {
            out->push_back('\'');
        } else if (entity == "quot") {
            out->push_back('"');
        } else if (!entity.empty() && entity.front() == '#') {
            const char32_t code = referencedCharacter(entity.substr(1));
            if (code == 0)
                return false;
            appendUtf8(out, code);
        } else {
            return false;
        }
        i = semicolon;
    }
    return true;
}

// Where a section that ends with the terminator ends, or npos while it
// has not ended; the search goes on where the last one stopped.
size_t XmlTokenizer::sectionEnd(size_t at, size_t opening, const char *terminator)
{
    const size_t length = std::strlen(terminator);
    const size_t close = m_buffer.find(terminator, at + std::max(opening, m_sectionSearched));
    if (close == std::string::npos)
        m_sectionSearched = std::max(opening, m_buffer.size() - at - std::min(m_buffer.size() - at, length - 1));
    else
        m_sectionSearched = 0;
    return close;
}

XmlTokenizer::Step XmlTokenizer::tag(size_t at, size_t *end)
{
    if (m_buffer.size() - at < 2)
        return Step::NeedMore;
    const char kind = m_buffer[at + 1];
    if (kind == '/')
        return endTag(at, end);
    if (kind != '?' && kind != '!')
        return startTag(at, end);
    const bool cdata = startsWith(m_buffer, at, "<![CDATA[");
    size_t close = std::string::npos;
    size_t length = 0;
    if (kind == '?') { // a processing instruction, the XML declaration among them
        close = sectionEnd(at, 2, "?>");
        length = 2;
    } else if (startsWith(m_buffer, at, "<!--")) {
        close = sectionEnd(at, 4, "-->");
        length = 3;
    } else if (cdata) {
        close = sectionEnd(at, 9, "]]>");
        length = 3;
    } else if (startsWith(m_buffer, at, "<!DOCTYPE")) {
        m_error = Error::DocumentType;
        return Step::Failed;
    } else if (couldBegin(m_buffer, at, "<!--") || couldBegin(m_buffer, at, "<![CDATA[")
               || couldBegin(m_buffer, at, "<!DOCTYPE")) {
        return Step::NeedMore;
    } else {
        return refuse("invalid markup", at);
    }
    if (close == std::string::npos)
        return m_buffer.size() - at > MaxSection ? refuse("a comment, instruction or CDATA section too long", at)
                                                 : Step::NeedMore;
    *end = close + length;
    if (!cdata)
        return Step::Done;
    if (m_open.empty())
        return refuse("character data outside the root element", at);
    const std::string_view raw(m_buffer.data() + at + 9, close - at - 9);
    if (raw.find('\r') == std::string_view::npos) {
        m_handler->characters(raw);
    } else {
        m_decodedText.clear();
        for (size_t i = 0; i < raw.size(); ++i)
            if (raw[i] != '\r' || i + 1 >= raw.size() || raw[i + 1] != '\n')
                m_decodedText.push_back(raw[i] == '\r' ? '\n' : raw[i]);
        m_handler->characters(m_decodedText);
    }
    return Step::Done;
}

XmlTokenizer::Step XmlTokenizer::startTag(size_t at, size_t *end)
{
    size_t i = nameEnd(m_buffer, at + 1);
    if (i >= m_buffer.size())
        return Step::NeedMore;
    if (i == at + 1 || !isNameStart(m_buffer[at + 1]))
        return refuse("an invalid element name", at);
    const std::string_view name(m_buffer.data() + at + 1, i - at - 1);
    m_attributes.clear();
    m_decodedValues.clear();
    bool empty = false;
    for (;;) {
        const size_t blanks = i;
        i = blanksEnd(m_buffer, i);
        if (i >= m_buffer.size())
            return Step::NeedMore;
        if (m_buffer[i] == '>') {
            ++i;
            break;
        }
        if (m_buffer[i] == '/') {
            if (i + 1 >= m_buffer.size())
                return Step::NeedMore;
            if (m_buffer[i + 1] != '>')
                return refuse("'/' not followed by '>'", i);
            empty = true;
            i += 2;
            break;
        }
        // An attribute: name, '=', a quoted value, after at least one blank.
        const size_t nameStart = i;
        i = nameEnd(m_buffer, i);
        if (i >= m_buffer.size())
            return Step::NeedMore;
        if (i == nameStart || blanks == nameStart || !isNameStart(m_buffer[nameStart]))
            return refuse("an invalid attribute", nameStart);
        const std::string_view attributeName(m_buffer.data() + nameStart, i - nameStart);
        i = blanksEnd(m_buffer, i);
        if (i >= m_buffer.size())
            return Step::NeedMore;
        if (m_buffer[i] != '=')
            return refuse("an attribute without a value", i);
        ++i;
        i = blanksEnd(m_buffer, i);
        if (i >= m_buffer.size())
            return Step::NeedMore;
        const char quote = m_buffer[i];
        if (quote != '"' && quote != '\'')
            return refuse("an attribute value without quotes", i);
        size_t close = i + 1; // values are short: a plain loop beats a search
        while (close < m_buffer.size() && m_buffer[close] != quote)
            ++close;
        if (close >= m_buffer.size())
            return Step::NeedMore;
        std::string_view value(m_buffer.data() + i + 1, close - i - 1);
        if (std::find(value.begin(), value.end(), '<') != value.end())
            return refuse("'<' in an attribute value", i);
        if (needsDecoding(value)) {
            m_decodedValues.emplace_back();
            if (!decode(value, &m_decodedValues.back()))
                return refuse("an undefined entity or an invalid character reference", i);
            value = m_decodedValues.back();
        }
        bool prefixed;
        const std::string_view local = localPart(attributeName, &prefixed);
        m_attributes.push_back({local, value, prefixed});
        i = close + 1;
    }
    if (m_open.empty() && m_rootSeen)
        return refuse("content after the root element", at);
    m_rootSeen = true;
    const std::string_view local = localPart(name);
    m_handler->startElement(local, m_attributes);
    if (empty)
        m_handler->endElement(local);
    else
        m_open.emplace_back(name);
    *end = i;
    return Step::Done;
}

XmlTokenizer::Step XmlTokenizer::endTag(size_t at, size_t *end)
{
    size_t i = nameEnd(m_buffer, at + 2);
    const std::string_view name(m_buffer.data() + at + 2, i - at - 2);
    i = blanksEnd(m_buffer, i);
    if (i >= m_buffer.size())
        return Step::NeedMore;
    if (m_buffer[i] != '>')
        return refuse("an invalid end tag", at);
    if (m_open.empty() || m_open.back() != name)
        return refuse("an end tag that does not match its start tag", at);
    m_open.pop_back();
    m_handler->endElement(localPart(name));
    *end = i + 1;
    return Step::Done;
}
