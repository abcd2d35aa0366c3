// Feeds arbitrary bytes to the registry file parser and looks up what it found.
#include "registry/registry_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const RegistryFile registry
        = RegistryFile::parse(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QString key
        = QStringLiteral(R"(HKEY_LOCAL_MACHINE\Software\Nimbolt Software\Nimbolt Sketch\1.0)");
    for (const QString& name : {QStringLiteral("Name"), QStringLiteral("Company"), QString()}) {
        if (const RegistryValue* value = registry.value(key, name)) {
            // Touch every byte so a bad size shows up under AddressSanitizer.
            volatile char sink = 0;
            for (char c : value->data)
                sink = char(sink ^ c);
        }
    }
    return 0;
}
