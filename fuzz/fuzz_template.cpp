// Report templates as a site may have edited them: what is read is written
// and read again to the same template.
#include "FuzzSupport.h"

#include "reportengine/TemplateFile.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString error;
    const std::optional<Report::ReportTemplate> t = Report::readTemplate(Fuzz::bytes(data, size), &error);
    if (!t) {
        Fuzz::require(!error.isEmpty(), "a refused template gives no message");
        return 0;
    }
    const QByteArray written = Report::writeTemplate(*t);
    const std::optional<Report::ReportTemplate> again = Report::readTemplate(written, &error);
    Fuzz::require(again.has_value(), "a template written by us is refused");
    Fuzz::require(Report::writeTemplate(*again) == written, "a template does not read back as written");
    return 0;
}
