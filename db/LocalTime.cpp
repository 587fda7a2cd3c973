#include "db/LocalTime.h"

#include <cstdlib>
#include <ctime>

namespace db {

void readLocalTimeZoneOnce() {
    if (std::getenv("TZ"))
        return;
    // The leading colon names a file; Qt reads ":/etc/localtime" as the system zone too.
    ::setenv("TZ", ":/etc/localtime", 0);
    ::tzset();
}

} // namespace db
