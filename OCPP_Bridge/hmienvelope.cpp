#include "hmienvelope.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace HmiEnvelope {

Message parse(const QByteArray &text)
{
    Message m;
    const int first = text.indexOf('=');
    const int second = first < 0 ? -1 : text.indexOf('=', first + 1);
    if (second < 0) {
        m.problem = QStringLiteral("not key=action=payload");
        return m;
    }
    m.key = QString::fromUtf8(text.left(first)).trimmed();
    m.action = QString::fromUtf8(text.mid(first + 1, second - first - 1));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.mid(second + 1).trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        m.problem = error.error != QJsonParseError::NoError ? QStringLiteral("payload is not JSON: ") + error.errorString()
                                                            : QStringLiteral("payload is not a JSON object");
        return m;
    }
    if (m.action.isEmpty()) {
        m.problem = QStringLiteral("no action");
        return m;
    }
    m.payload = doc.object();
    m.ok = true;
    return m;
}

QByteArray build(const QString &key, const QString &action, const QJsonObject &payload)
{
    return key.toUtf8() + '=' + action.toUtf8() + '=' + QJsonDocument(payload).toJson(QJsonDocument::Indented);
}

QList<QByteArray> split(const QByteArray &chunk)
{
    QList<QByteArray> messages;
    QByteArray current;
    int from = 0;
    while (from < chunk.size()) {
        int end = chunk.indexOf('\n', from);
        end = end < 0 ? chunk.size() : end + 1;
        const QByteArray line = chunk.mid(from, end - from);
        from = end;
        if (current.isEmpty() && line.trimmed().isEmpty())
            continue;
        current += line;
        if (line.trimmed() == "}" && (line.startsWith('}'))) {
            messages << current;
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        messages << current;
    return messages;
}

} // namespace HmiEnvelope
