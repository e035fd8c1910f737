// .csv files offered to the import.
#include "WorkbookTarget.h"

#include "maintenance/WorkbookReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return Fuzz::readWorkbook(data, size, QStringLiteral("book.csv"), openCsvWorkbook);
}
