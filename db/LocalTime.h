#pragma once

// The local time zone of the process, read once.
//
// With TZ unset, the C library looks at /etc/localtime again on every mktime, and every
// timestamp a record set reads becomes a local QDateTime through one: a listing of 100,000
// installations spent a fifth of its time there. Naming the same file in TZ makes the library
// read it once. The zone is the same; a change of the machine's zone is seen at the next start.

namespace db {

// When TZ is unset, sets it to the machine's zone file. Call first thing in main(), before
// any thread starts (the environment is not thread-safe); a TZ already set is kept.
void readLocalTimeZoneOnce();

} // namespace db
