#pragma once

#include <QByteArrayView>
#include <QString>

// The code page Windows tools use for 8-bit text when nothing says otherwise (English and
// Western European systems).
inline constexpr char kWesternCodePage[] = "windows-1252";

// 8-bit text as Windows tools write it: UTF-8 when every byte sequence is valid UTF-8 (a
// leading byte-order mark is dropped), else the Windows code page `codePage` (a codec name
// such as "windows-1252"), or Latin-1 where no codec of that name is available.
QString decodeUtf8Or(QByteArrayView bytes, const char* codePage);

// The codec name of the Windows ANSI code page of a locale id (LCID); Windows-1252 for the
// Western locales and any locale not listed.
const char* codePageOfLcid(quint32 lcid);
