#pragma once

#include <QStringView>

#include <array>
#include <utility>

// The Windows registry's own numbers and names, as its advapi32 calls and export files use them.
namespace advapi32 {

// Predefined root keys, and the names export files give them.
inline constexpr qint32 HKEY_CLASSES_ROOT = qint32(0x80000000u);
inline constexpr qint32 HKEY_CURRENT_USER = qint32(0x80000001u);
inline constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002u);
inline constexpr qint32 HKEY_USERS = qint32(0x80000003u);
inline constexpr qint32 HKEY_CURRENT_CONFIG = qint32(0x80000005u);
inline constexpr std::array<std::pair<qint32, QStringView>, 5> kRootKeys{{
    {HKEY_CLASSES_ROOT, u"HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, u"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, u"HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, u"HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, u"HKEY_CURRENT_CONFIG"},
}};

// Status codes.
inline constexpr qint32 ERROR_SUCCESS = 0;
inline constexpr qint32 ERROR_FILE_NOT_FOUND = 2;
inline constexpr qint32 ERROR_INVALID_HANDLE = 6;
inline constexpr qint32 ERROR_INVALID_PARAMETER = 87;
inline constexpr qint32 ERROR_MORE_DATA = 234;

// Value type codes.
inline constexpr quint32 REG_NONE = 0;
inline constexpr quint32 REG_SZ = 1;
inline constexpr quint32 REG_EXPAND_SZ = 2;
inline constexpr quint32 REG_BINARY = 3;
inline constexpr quint32 REG_DWORD = 4;
inline constexpr quint32 REG_MULTI_SZ = 7;

// The types whose data is text, kept in UTF-16 and converted by the ANSI calls.
constexpr bool isTextType(quint32 type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace advapi32
