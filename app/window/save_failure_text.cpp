#include "app/window/save_failure_text.h"

#include "core/keypad/keypad_sync.h"
#include "core/texts/run_time_texts.h"

#include <QStringList>

namespace {

// "1", "1 and 3", "1, 2 and 3"; "1、3" in Chinese.
QString layerList(const QStringList& layers, bool english)
{
    if (!english)
        return layers.join(QStringLiteral("、"));
    if (layers.size() < 2)
        return layers.join(QString());
    return QStringList(layers.mid(0, layers.size() - 1)).join(QStringLiteral(", ")) + QStringLiteral(" and ")
           + layers.last();
}

QString recordPart(const DownloadResult& r, bool english)
{
    if (r.recordsWritten == 0)
        return r.recordsFailed + r.recordsNotSent > 0
                   ? (english ? QStringLiteral("no record reached the keypad")
                              : QStringLiteral("没有记录送达键盘"))
                   : QString();
    QString text = english ? QStringLiteral("the keypad took %1 record%2")
                                 .arg(r.recordsWritten)
                                 .arg(r.recordsWritten == 1 ? "" : "s")
                           : QStringLiteral("键盘收到了 %1 条记录").arg(r.recordsWritten);
    if (r.recordsCommitted >= r.recordsWritten)
        text += english ? QStringLiteral(", committed") : QStringLiteral("，已提交");
    else if (r.recordsCommitted == 0)
        text += english ? QStringLiteral(", not committed") : QStringLiteral("，未提交");
    else
        text += english ? QStringLiteral(", %1 of them committed").arg(r.recordsCommitted)
                        : QStringLiteral("，其中 %1 条已提交").arg(r.recordsCommitted);
    return text;
}

QString ledPart(const DownloadResult& r, bool english)
{
    if (!r.ledPending)
        return QString();
    QStringList sent, missing;
    for (int layer = 0; layer < kLayers; ++layer)
        (r.ledLayerSent[size_t(layer)] ? sent : missing) << QString::number(layer + 1);
    if (sent.isEmpty())
        return english ? QStringLiteral("no LED layer sent") : QStringLiteral("LED 各层均未发送");
    const QString s = layerList(sent, english);
    if (missing.isEmpty())
        return english ? QStringLiteral("LED layers %1 sent").arg(s) : QStringLiteral("LED 第 %1 层已发送").arg(s);
    const QString m = layerList(missing, english);
    if (!english)
        return QStringLiteral("LED 第 %1 层已发送，第 %2 层未发送").arg(s, m);
    return QStringLiteral("LED layer%1 %2 sent, layer%3 %4 not")
        .arg(sent.size() == 1 ? "" : "s", s, missing.size() == 1 ? "" : "s", m);
}

}  // namespace

QString saveFailureText(const DownloadResult& result, int language)
{
    const bool english = RunTimeTexts::isEnglish(language);
    QStringList parts;
    for (const QString& part : {recordPart(result, english), ledPart(result, english)})
        if (!part.isEmpty())
            parts << part;
    if (parts.isEmpty())
        parts << (english ? QStringLiteral("nothing reached the keypad") : QStringLiteral("键盘未收到任何内容"));
    return RunTimeTexts::saveFailed(language) + (english ? QStringLiteral(" — ") : QStringLiteral("：")
                                                 ) + parts.join(english ? QStringLiteral("; ") : QStringLiteral("；"));
}
