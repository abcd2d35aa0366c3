#pragma once

#include <QByteArrayView>
#include <QString>

// 8-bit text of unknown encoding, as Windows tools write it: UTF-8 when every byte sequence
// is valid UTF-8 (a leading byte-order mark is dropped), else Latin-1, the nearest guess for
// the Windows code page.
QString decodeUtf8OrLatin1(QByteArrayView bytes);
