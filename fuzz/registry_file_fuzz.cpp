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
    for (const QString& name : {QStringLiteral("Name"), QStringLiteral("Company"), QString()})
        registry.value(key, name);
    return 0;
}
