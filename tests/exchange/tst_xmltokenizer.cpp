#include "exchange/xmltokenizer.h"

#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The events of a document, one line each: "<name a=v ...", ">name", and
// the text between tags (adjacent pieces joined).
class Events : public XmlTokenizer::Handler
{
public:
    QStringList lines;
    void startElement(std::string_view name, const std::vector<XmlTokenizer::Attribute> &attributes) override
    {
        QString line = QLatin1Char('<') + text(name);
        for (const XmlTokenizer::Attribute &a : attributes)
            if (!a.prefixed && a.name != "xmlns")
                line += QLatin1Char(' ') + text(a.name) + QLatin1Char('=') + text(a.value);
        lines << line;
    }
    void endElement(std::string_view name) override { lines << QLatin1Char('>') + text(name); }
    void characters(std::string_view t) override
    {
        if (!lines.isEmpty() && lines.last().startsWith(QLatin1Char('"')))
            lines.last().insert(lines.last().size() - 1, text(t));
        else
            lines << QLatin1Char('"') + text(t) + QLatin1Char('"');
    }

private:
    static QString text(std::string_view t) { return QString::fromUtf8(t.data(), int(t.size())); }
};

// The tokenizer's events, the document fed in pieces of the given size.
QStringList tokenized(const QByteArray &document, int piece, bool *ok)
{
    Events events;
    XmlTokenizer tokenizer(&events);
    *ok = true;
    for (int at = 0; *ok && at <= document.size(); at += piece)
        *ok = tokenizer.feed(document.constData() + std::min(at, int(document.size())),
                             size_t(std::max(0, std::min(piece, int(document.size()) - at))),
                             at + piece > document.size());
    return events.lines;
}

// The same events as Qt's own XML reader gives them.
QStringList readByQt(const QByteArray &document, bool *ok)
{
    Events events;
    QXmlStreamReader xml(document);
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            std::vector<XmlTokenizer::Attribute> attributes;
            std::vector<QByteArray> held;
            for (const QXmlStreamAttribute &a : xml.attributes())
                if (a.prefix().isEmpty()) {
                    held.push_back(a.name().toUtf8());
                    held.push_back(a.value().toUtf8());
                }
            for (size_t i = 0; i < held.size(); i += 2)
                attributes.push_back({{held[i].constData(), size_t(held[i].size())},
                                      {held[i + 1].constData(), size_t(held[i + 1].size())}, false});
            const QByteArray name = xml.name().toUtf8();
            events.startElement({name.constData(), size_t(name.size())}, attributes);
            ++depth;
            break;
        }
        case QXmlStreamReader::EndElement: {
            const QByteArray name = xml.name().toUtf8();
            events.endElement({name.constData(), size_t(name.size())});
            --depth;
            break;
        }
        case QXmlStreamReader::Characters:
            if (depth > 0) {
                const QByteArray t = xml.text().toUtf8();
                events.characters({t.constData(), size_t(t.size())});
            }
            break;
        default:
            break;
        }
    }
    *ok = !xml.hasError();
    return events.lines;
}

} // namespace

class TestXmlTokenizer : public QObject
{
    Q_OBJECT

private slots:
    // Well-formed documents give Qt's reader's events, whole or fed a byte
    // at a time.
    void sameAsQt_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("sheet") << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                                             "<worksheet xmlns=\"urn:m\"><sheetData><row r=\"1\">"
                                             "<c r=\"A1\" s='2' t=\"inlineStr\"><is><t>&#181;m</t></is></c>"
                                             "<c r=\"B1\"><v>88.4</v></c><c r=\"C1\"/></row></sheetData></worksheet>");
        QTest::newRow("prefixes") << QByteArray("<x:worksheet xmlns:x=\"urn:m\" xmlns:r=\"urn:r\"><x:c r=\"A1\" "
                                                "r:id=\"rId1\"><x:v>1</x:v></x:c></x:worksheet>");
        QTest::newRow("references") << QByteArray("<a v=\"&lt;&amp;&gt;&quot;&apos;&#x3bc;\">1 &lt; 2 &amp;&#956;&#x1F600;"
                                                  "</a>");
        QTest::newRow("line ends") << QByteArray("<a>one\r\ntwo\rthree&#13;four</a>");
        QTest::newRow("CDATA, comment, instruction")
                << QByteArray("<a><!-- <b> --><![CDATA[<b>&amp;]]><?pi x?>tail</a>");
        QTest::newRow("blanks in tags") << QByteArray("<a\n  x = 'y' >\t<b /></a >");
        QTest::newRow("UTF-8 text") << QString::fromUtf8("<a t=\"铁基\">μm 铁基</a>").toUtf8();
    }

    void sameAsQt()
    {
        QFETCH(QByteArray, document);
        bool qtOk, ok;
        const QStringList expected = readByQt(document, &qtOk);
        QVERIFY(qtOk);
        QCOMPARE(tokenized(document, int(document.size()), &ok), expected);
        QVERIFY(ok);
        QCOMPARE(tokenized(document, 1, &ok), expected);
        QVERIFY(ok);
    }

    // Documents that are not well-formed are refused, as Qt's reader
    // refuses them, on the line where the fault is.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<int>("line");
        QTest::newRow("mismatched") << QByteArray("<a>\n<b></a></b>") << 2;
        QTest::newRow("not closed") << QByteArray("<a><b>") << 1;
        QTest::newRow("two roots") << QByteArray("<a/>\n\n<b/>") << 3;
        QTest::newRow("text after the root") << QByteArray("<a/>x") << 1;
        QTest::newRow("undefined entity") << QByteArray("<a>&nbsp;</a>") << 1;
        QTest::newRow("no character") << QByteArray("<a>&#0;</a>") << 1;
        QTest::newRow("unquoted value") << QByteArray("<a x=1/>") << 1;
        QTest::newRow("no blank between attributes") << QByteArray("<a x=\"1\"y=\"2\"/>") << 1;
        QTest::newRow("'<' in a value") << QByteArray("<a x=\"<\"/>") << 1;
        QTest::newRow("cut in a tag") << QByteArray("<a><b x=\"1") << 1;
        QTest::newRow("empty") << QByteArray() << 1;
    }

    void refusals()
    {
        QFETCH(QByteArray, document);
        QFETCH(int, line);
        bool qtOk;
        readByQt(document, &qtOk);
        QVERIFY(!qtOk);
        Events events;
        XmlTokenizer tokenizer(&events);
        QVERIFY(!tokenizer.feed(document.constData(), size_t(document.size()), true));
        QCOMPARE(tokenizer.error(), XmlTokenizer::Error::NotWellFormed);
        QCOMPARE(tokenizer.line(), line);
    }

    // A document type is refused, and so is a comment that does not end,
    // fed in pieces full of '<', once it passes 4 MiB.
    void documentTypeAndEndlessComment()
    {
        Events none;
        XmlTokenizer doctype(&none);
        const QByteArray withDoctype("<!DOCTYPE a [<!ENTITY b \"c\">]><a>&b;</a>");
        QVERIFY(!doctype.feed(withDoctype.constData(), size_t(withDoctype.size()), true));
        QCOMPARE(doctype.error(), XmlTokenizer::Error::DocumentType);

        XmlTokenizer endless(&none);
        QVERIFY(endless.feed("<a><!--", 7, false));
        const QByteArray piece(1 << 16, '<');
        int pieces = 0;
        while (pieces < 100 && endless.feed(piece.constData(), size_t(piece.size()), false))
            ++pieces;
        QCOMPARE(pieces, 63);
        QCOMPARE(endless.error(), XmlTokenizer::Error::NotWellFormed);
    }
};

QTEST_GUILESS_MAIN(TestXmlTokenizer)
#include "tst_xmltokenizer.moc"
