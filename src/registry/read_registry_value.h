#pragma once

#include <QString>

#include <variant>

// The program's code module: the registry reader and the status of its last registry call.
namespace NimboltSketchModule {

// What ReadRegistryValue hands back: text or a signed 32-bit number. Empty text, never an
// empty variant, stands for "nothing found".
class RegistryVariant {
public:
    RegistryVariant() = default;
    RegistryVariant(const QString& text) : content_(text) {}
    RegistryVariant(qint32 number) : content_(number) {}

    bool isText() const { return std::holds_alternative<QString>(content_); }
    bool isNumber() const { return std::holds_alternative<qint32>(content_); }
    // The text, or empty text when the variant holds a number.
    QString text() const { return isText() ? std::get<QString>(content_) : QString(); }
    // The number, or 0 when the variant holds text.
    qint32 number() const { return isNumber() ? std::get<qint32>(content_) : 0; }
    // The variant joined to text: text as it is, a number in decimal.
    QString toText() const { return isNumber() ? QString::number(number()) : text(); }

    friend bool operator==(const RegistryVariant&, const RegistryVariant&) = default;

private:
    std::variant<QString, qint32> content_;
};

// Status code of the last registry call ReadRegistryValue made; 0 when the program starts.
extern qint32 LastRegistryStatus;

// Reads one value below the root key `RootKey` (e.g. advapi32::HKEY_LOCAL_MACHINE): the text of
// a string value up to its first NUL, the number of a double-word value, empty text otherwise.
// Reports no failure and leaves no key open.
RegistryVariant ReadRegistryValue(qint32 RootKey, const QString& KeyPath, const QString& ValueName);

}  // namespace NimboltSketchModule
