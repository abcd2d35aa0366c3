#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

class QPrinter;

// The CUPS print service, asked with bounded waits: a service that stops answering costs the
// program a few seconds, never a frozen window.
namespace PrintService {

// Points the printer lists of Qt's print dialog at the configured service when it answers
// within a few seconds, else at no service at all, so that the dialog offers Print to File at
// once instead of waiting minutes for the service. Returns whether the service answered.
bool useIfAnswering();

// Sends a PDF document to the printer's queue as one job, with the options chosen in the print
// dialog. Returns the service's reason on failure (no full stop), nothing on success.
std::optional<QString> submit(const QPrinter& printer, QByteArrayView pdf);

}  // namespace PrintService
