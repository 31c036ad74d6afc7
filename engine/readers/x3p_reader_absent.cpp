// readX3p for builds without libzip, expat and nettle (the Windows cross build): X3P files are
// named as unreadable.

#include "reader_support.h"
#include "x3p_reader.h"

std::optional<DataMatrix> readX3p(RunHost& host, std::FILE*, const std::string& name) {
    return fileRefused(host, name,
                       "is an X3P file, and this build of Vantrel reads X3P through libzip and "
                       "expat, which it was built without; save it as .npy, GSF, CSV or a text "
                       "matrix");
}
