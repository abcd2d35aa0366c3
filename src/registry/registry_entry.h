#pragma once

#include "registry/registry_file.h"

#include <QStringView>

#include <functional>

// What one line of a registry export file says, read as the Windows import reads it: a section
// line ("[key]", "[-key]"), or a value line's value or deletion. What the import refuses (a
// value line that does not parse, a hex list broken across lines and the line such a list
// takes with it) says nothing.
struct RegistryEntry {
    enum Kind { Section, Value, Deletion };
    Kind kind = Section;
    QStringView section;  // the whole "[...]" line
    QString name;  // case-folded; empty for the default value "@"
    RegistryValue value;

    // Where the text after the header starts, when the first line that is neither blank nor a
    // ';' comment is the header; -1 when it is not. Lines end at CR LF, LF or CR.
    static qsizetype bodyStart(QStringView text);
    // Calls `handle` with each entry of `body`, the text after the header. `utf16`: the file
    // was UTF-16, so its hex text data is UTF-16 already.
    static void forEach(QStringView body, bool utf16,
                        const std::function<void(RegistryEntry)>& handle);
};
