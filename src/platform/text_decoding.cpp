#include "platform/text_decoding.h"

#include <QStringDecoder>

QString decodeUtf8OrLatin1(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    // Stateless: a sequence cut short at the end is an error, not something held back.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text = QString();  // freed before the second copy is made
    return QString::fromLatin1(bytes);
}
