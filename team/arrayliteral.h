#pragma once

#include <QString>

#include <optional>

// The text of a one-dimensional PostgreSQL array ("{1,NULL,\"a b\"}"), so
// that a whole column of a batch is bound as one parameter and unnested on
// the server. Doubles are written in the fewest digits that read back as
// the same double.
class ArrayLiteral
{
public:
    void clear() { m_text.clear(); }
    bool isEmpty() const { return m_text.isEmpty(); }
    void addNull() { separate(); m_text += QLatin1String("NULL"); }
    void add(qint64 value) { separate(); m_text += QString::number(value); }
    void add(int value) { add(qint64(value)); }
    void add(double value);
    void add(const QString &value);
    template <typename T>
    void add(const std::optional<T> &value)
    {
        if (value)
            add(*value);
        else
            addNull();
    }
    QString text() const;

private:
    void separate() { m_text += m_text.isEmpty() ? QLatin1Char('{') : QLatin1Char(','); }

    QString m_text;
};
