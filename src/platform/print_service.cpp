#include "platform/print_service.h"

#include <QLibrary>
#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinter>

#include <cups/cups.h>

#include <cstring>
#include <memory>

namespace PrintService {

namespace {

// libcups is loaded on the first print, not at start-up: with what it pulls in (TLS, Kerberos,
// Avahi) it would cost every start several milliseconds. Qt's print support loads it the same
// way, so both use one copy of it and its choice of service.
// clang-format off
#define NIMBOLT_CUPS_CALLS(CALL) \
    CALL(cupsAddOption) \
    CALL(cupsCancelJob2) \
    CALL(cupsDoRequest) \
    CALL(cupsEncodeOptions) \
    CALL(cupsEncryption) \
    CALL(cupsFinishDocument) \
    CALL(cupsFreeOptions) \
    CALL(cupsLastError) \
    CALL(cupsLastErrorString) \
    CALL(cupsServer) \
    CALL(cupsSetServer) \
    CALL(cupsStartDocument) \
    CALL(cupsUser) \
    CALL(cupsWriteRequestData) \
    CALL(httpAssembleURIf) \
    CALL(httpClose) \
    CALL(httpConnect2) \
    CALL(httpError) \
    CALL(httpSetTimeout) \
    CALL(ippAddString) \
    CALL(ippDelete) \
    CALL(ippFindAttribute) \
    CALL(ippGetInteger) \
    CALL(ippNewRequest) \
    CALL(ippPort)
// clang-format on

struct Cups {
#define NIMBOLT_CUPS_POINTER(name) decltype(&::name) name = nullptr;
    NIMBOLT_CUPS_CALLS(NIMBOLT_CUPS_POINTER)
#undef NIMBOLT_CUPS_POINTER
    bool loaded = false;
};

const Cups& cups()
{
    static const Cups api = [] {
        Cups found;
        QLibrary library(QStringLiteral("cups"), 2);
        found.loaded = library.load();
#define NIMBOLT_CUPS_RESOLVE(name)                                                                 \
    found.name = reinterpret_cast<decltype(&::name)>(library.resolve(#name));                      \
    found.loaded = found.loaded && found.name;
        NIMBOLT_CUPS_CALLS(NIMBOLT_CUPS_RESOLVE)
#undef NIMBOLT_CUPS_RESOLVE
        return found;
    }();
    return api;
}

// How long the service may take to accept a connection, and then to answer each request.
constexpr int kAnswerMilliseconds = 3000;
// A socket that cannot exist (/dev/null is no folder): asking it fails at once.
constexpr char kNoService[] = "/dev/null/cups.sock";
// Where Qt's print dialog leaves the options of its CUPS properties page, as name, value pairs.
const auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

struct HttpClose {
    void operator()(http_t* http) const { cups().httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;

Connection connectToService()
{
    Connection http(cups().httpConnect2(cups().cupsServer(), cups().ippPort(), nullptr, AF_UNSPEC,
                                        cups().cupsEncryption(), 1, kAnswerMilliseconds, nullptr));
    if (http)
        cups().httpSetTimeout(http.get(), kAnswerMilliseconds / 1000.0, nullptr, nullptr);
    return http;
}

QString lastError(http_t* http)
{
    // A connection that broke or timed out says why itself; the last IPP status may not.
    if (const int error = cups().httpError(http))
        return QString::fromLocal8Bit(std::strerror(error));
    QString reason = QString::fromUtf8(cups().cupsLastErrorString()).trimmed();
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
        count = cups().cupsAddOption(name.constData(), value.constData(), count, options);
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
    cups().httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                            cups().ippPort(), "/printers/%s", queue.constData());
    ipp_t* request = cups().ippNewRequest(IPP_OP_CREATE_JOB);
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                        cups().cupsUser());
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                        title.constData());
    cups().cupsEncodeOptions(request, count, options);
    ipp_t* answer = cups().cupsDoRequest(http, request, ("/printers/" + queue).constData());
    ipp_attribute_t* id
        = answer ? cups().ippFindAttribute(answer, "job-id", IPP_TAG_INTEGER) : nullptr;
    const int job = id && cups().cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE
        ? cups().ippGetInteger(id, 0)
        : 0;
    cups().ippDelete(answer);
    return job;
}

}  // namespace

bool useIfAnswering()
{
    if (!cups().loaded)
        return false;  // nor can Qt's print dialog ask a service
    cups().cupsSetServer(nullptr);  // the configured service, whatever an earlier call chose
    const Connection http = connectToService();
    ipp_t* answer = http
        ? cups().cupsDoRequest(http.get(), cups().ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/")
        : nullptr;
    const bool answered = answer != nullptr;
    cups().ippDelete(answer);
    if (!answered)
        cups().cupsSetServer(kNoService);
    return answered;
}

std::optional<QString> submit(const QPrinter& printer, QByteArrayView pdf)
{
    if (!cups().loaded)
        return QStringLiteral("The print service's library, libcups, cannot be loaded");
    // Qt names a printer's instance after a slash; the queue is the name before it.
    const QByteArray queue = printer.printerName().section(u'/', 0, 0).toUtf8();
    const QByteArray title = printer.docName().toUtf8();
    const Connection http = connectToService();
    const QString server = QString::fromUtf8(cups().cupsServer());
    if (!http)
        return QStringLiteral("No print service answers at %1").arg(server);
    cups_option_t* options = nullptr;
    const int count = addOptions(printer, &options);
    const int job = createJob(http.get(), queue, title, count, options);
    cups().cupsFreeOptions(count, options);
    if (job == 0)
        return lastError(http.get());
    if (cups().cupsStartDocument(http.get(), queue.constData(), job, title.constData(),
                                 CUPS_FORMAT_PDF, 1)
            == HTTP_STATUS_CONTINUE
        && cups().cupsWriteRequestData(http.get(), pdf.data(), size_t(pdf.size()))
            == HTTP_STATUS_CONTINUE
        && cups().cupsFinishDocument(http.get(), queue.constData())
            <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return std::nullopt;
    const QString reason = lastError(http.get());
    cups().cupsCancelJob2(http.get(), queue.constData(), job, 0);  // no empty job left in the queue
    return reason;
}

}  // namespace PrintService
