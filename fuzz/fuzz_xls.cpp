// .xls files offered to the import, read in this process so that coverage
// and the sanitizers follow freexl. With FUZZ_XLS_IN_CHILD set the file is
// read as the import reads it, in a child process: scripts/fuzz.sh checks
// with it that a fault inside freexl ends in a refusal with a message.
#include "WorkbookTarget.h"

#include "maintenance/WorkbookReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const XlsReading reading = qEnvironmentVariableIsSet("FUZZ_XLS_IN_CHILD") ? XlsReading::InChild
                                                                                    : XlsReading::InProcess;
    return Fuzz::readWorkbook(data, size, QStringLiteral("book.xls"), [](const QString &path, QString *error) {
        return openXlsWorkbook(path, error, reading);
    });
}
