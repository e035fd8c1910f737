// Saved prepared reports: what is read is written and read again to the same
// report, and every text export takes it.
#include "FuzzSupport.h"

#include "reportengine/ReportExport.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString error;
    const std::optional<Report::PreparedReport> r = Report::readPrepared(Fuzz::bytes(data, size), &error);
    if (!r) {
        Fuzz::require(!error.isEmpty(), "a refused report gives no message");
        return 0;
    }
    const QByteArray written = Report::preparedBytes(*r);
    const std::optional<Report::PreparedReport> again = Report::readPrepared(written, &error);
    Fuzz::require(again.has_value(), "a report written by us is refused");
    Fuzz::require(Report::preparedBytes(*again) == written, "a report does not read back as written");
    Report::csvText(*r);
    Report::plainText(*r);
    Report::htmlText(*r);
    Report::rtfText(*r);
    return 0;
}
