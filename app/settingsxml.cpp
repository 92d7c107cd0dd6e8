#include "app/settingsxml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

void walkSettings(QIODevice *device,
                  const std::function<bool(const QString &name, const QString &text)> &onText)
{
    QXmlStreamReader xml(device);
    QString current;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() != QLatin1String("options"))
                current = xml.name().toString();
            break;
        case QXmlStreamReader::Characters:
            if (!current.isEmpty() && !xml.isWhitespace()) {
                if (!onText(current, xml.text().toString()))
                    current.clear();
            }
            break;
        default:
            break;
        }
    }
}

namespace {

void writeElement(QXmlStreamWriter &xml, const QString &name, const QString &text)
{
    xml.writeStartElement(name);
    xml.writeCharacters(text);
    xml.writeEndElement();
}

} // namespace

void writeSettings(QIODevice *device, const SettingsValues &values)
{
    QXmlStreamWriter xml(device);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(4);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("options"));
    writeElement(xml, QStringLiteral("Geometry"), QString::fromLatin1(values.geometry.toHex()));
    writeElement(xml, QStringLiteral("State"), QString::fromLatin1(values.state.toHex()));
    writeElement(xml, QStringLiteral("SceneFileName"), values.sceneFileName);
    writeElement(xml, QStringLiteral("Language"), values.language);
    xml.writeEndElement();
    xml.writeEndDocument();
}
