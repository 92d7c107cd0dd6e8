#pragma once

#include <QString>

#include <deque>
#include <string>
#include <string_view>
#include <vector>

// Splits UTF-8 XML, fed in pieces as it is inflated, into start tags with
// their attributes, end tags and character data, with entity and character
// references decoded (CDATA sections are character data; comments and
// processing instructions are passed over). It checks what a reader of
// well-formed markup relies on: tags that nest and close, one root element,
// attributes and references as the grammar has them, and refuses a
// document type. Names are handed out without their prefix. Written for
// the worksheet of a workbook, whose markup is plain and whose size makes
// a general parser the slowest step of an import.
class XmlTokenizer
{
public:
    struct Attribute
    {
        std::string_view name; // local name
        std::string_view value;
        bool prefixed;
    };

    class Handler
    {
    public:
        virtual ~Handler() = default;
        virtual void startElement(std::string_view name, const std::vector<Attribute> &attributes) = 0;
        virtual void endElement(std::string_view name) = 0;
        virtual void characters(std::string_view text) = 0;
    };

    enum class Error { None, NotWellFormed, DocumentType, Stopped };

    explicit XmlTokenizer(Handler *handler) : m_handler(handler) {}

    // Parses as far as the data fed so far goes; the last piece ends the
    // document. False once the document is found faulty or stop() was
    // called.
    bool feed(const char *data, size_t size, bool last);
    // Ends the parsing from within a handler.
    void stop() { m_error = Error::Stopped; }

    Error error() const { return m_error; }
    // What is wrong and on which line, for an error other than Stopped.
    QString reason() const { return m_reason; }
    int line() const { return m_line; }

private:
    enum class Step { Done, NeedMore, Failed };
    Step tag(size_t at, size_t *end);
    size_t sectionEnd(size_t at, size_t opening, const char *terminator);
    Step startTag(size_t at, size_t *end);
    Step endTag(size_t at, size_t *end);
    bool text(size_t from, size_t to);
    bool decode(std::string_view raw, std::string *out);
    bool fail(const char *reason, size_t at);
    Step refuse(const char *reason, size_t at);

    Handler *m_handler;
    std::string m_buffer;
    size_t m_position = 0;
    size_t m_sectionSearched = 0; // how far the open section was searched, from its '<'
    int m_line = 1;
    std::vector<std::string> m_open; // names of the elements open
    bool m_rootSeen = false;
    Error m_error = Error::None;
    QString m_reason;
    std::vector<Attribute> m_attributes;
    std::deque<std::string> m_decodedValues;
    std::string m_decodedText;
};
