#include "platform/print_service.h"

#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinter>

#include <cups/cups.h>

#include <cstring>
#include <memory>

namespace PrintService {

namespace {

// How long the service may take to accept a connection, and then to answer each request.
constexpr int kAnswerMilliseconds = 3000;
// A socket that cannot exist (/dev/null is no folder): asking it fails at once.
constexpr char kNoService[] = "/dev/null/cups.sock";
// Where Qt's print dialog leaves the options of its CUPS properties page, as name, value pairs.
const auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;

Connection connectToService()
{
    Connection http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 kAnswerMilliseconds, nullptr));
    if (http)
        httpSetTimeout(http.get(), kAnswerMilliseconds / 1000.0, nullptr, nullptr);
    return http;
}

QString lastError(http_t* http)
{
    // A connection that broke or timed out says why itself; the last IPP status may not.
    if (const int error = httpError(http))
        return QString::fromLocal8Bit(std::strerror(error));
    QString reason = QString::fromUtf8(cupsLastErrorString()).trimmed();
    if (reason.endsWith(u'.'))
        reason.chop(1);
    return reason.isEmpty() ? QStringLiteral("The print service refused the job") : reason;
}

QByteArray sides(const QPrinter& printer)
{
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        return "one-sided";
    case QPrinter::DuplexAuto:
        return printer.pageLayout().orientation() == QPageLayout::Portrait ? "two-sided-long-edge"
                                                                           : "two-sided-short-edge";
    case QPrinter::DuplexLongSide:
        return "two-sided-long-edge";
    case QPrinter::DuplexShortSide:
        return "two-sided-short-edge";
    }
    return "one-sided";
}

// The job options Qt's own CUPS printing sends for the choices made in the print dialog.
int addOptions(const QPrinter& printer, cups_option_t** options)
{
    int count = 0;
    const auto add = [&](const QByteArray& name, const QByteArray& value) {
        count = cupsAddOption(name.constData(), value.constData(), count, options);
    };
    add("media", printer.pageLayout().pageSize().key().toUtf8());
    if (printer.copyCount() > 1) {
        add("copies", QByteArray::number(printer.copyCount()));
        if (printer.collateCopies())
            add("Collate", "True");
    }
    add("sides", sides(printer));
    if (printer.pageLayout().orientation() == QPageLayout::Landscape)
        add("landscape", "");
    const QStringList chosen = printer.printEngine()->property(kCupsOptionsKey).toStringList();
    for (qsizetype i = 0; i + 1 < chosen.size(); i += 2)
        add(chosen[i].toUtf8(), chosen[i + 1].toUtf8());
    return count;
}

// Create-Job by the queue's address, so that a queue that went away is reported in the
// service's own words (cupsCreateJob looks the queue up first and then gives no reason).
int createJob(http_t* http, const QByteArray& queue, const QByteArray& title, int count,
              cups_option_t* options)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.constData());
    ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.constData());
    cupsEncodeOptions(request, count, options);
    ipp_t* answer = cupsDoRequest(http, request, ("/printers/" + queue).constData());
    ipp_attribute_t* id = answer ? ippFindAttribute(answer, "job-id", IPP_TAG_INTEGER) : nullptr;
    const int job
        = id && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE ? ippGetInteger(id, 0) : 0;
    ippDelete(answer);
    return job;
}

}  // namespace

bool useIfAnswering()
{
    cupsSetServer(nullptr);  // the configured service, whatever an earlier call chose
    const Connection http = connectToService();
    ipp_t* answer
        = http ? cupsDoRequest(http.get(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/") : nullptr;
    const bool answered = answer != nullptr;
    ippDelete(answer);
    if (!answered)
        cupsSetServer(kNoService);
    return answered;
}

std::optional<QString> submit(const QPrinter& printer, QByteArrayView pdf)
{
    // Qt names a printer's instance after a slash; the queue is the name before it.
    const QByteArray queue = printer.printerName().section(u'/', 0, 0).toUtf8();
    const QByteArray title = printer.docName().toUtf8();
    const Connection http = connectToService();
    const QString server = QString::fromUtf8(cupsServer());
    if (!http)
        return QStringLiteral("No print service answers at %1").arg(server);
    cups_option_t* options = nullptr;
    const int count = addOptions(printer, &options);
    const int job = createJob(http.get(), queue, title, count, options);
    cupsFreeOptions(count, options);
    if (job == 0)
        return lastError(http.get());
    if (cupsStartDocument(http.get(), queue.constData(), job, title.constData(), CUPS_FORMAT_PDF, 1)
            == HTTP_STATUS_CONTINUE
        && cupsWriteRequestData(http.get(), pdf.data(), size_t(pdf.size())) == HTTP_STATUS_CONTINUE
        && cupsFinishDocument(http.get(), queue.constData()) <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return std::nullopt;
    const QString reason = lastError(http.get());
    cupsCancelJob2(http.get(), queue.constData(), job, 0);  // no empty job left in the queue
    return reason;
}

}  // namespace PrintService
