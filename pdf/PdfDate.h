// PDF date texts ("D:yyyymmddhhmmss" and the zone) and their XMP form.
#pragma once

#include <string>
#include <string_view>

#include "pdf/Clock.h"

namespace pdf {

// The date text of a local time: "D:", date and 24-hour time, then "Z" at UTC or the signed
// offset as "hh'mm'" ("+05'30'", "-05'00'").
std::string FormatPdfDate(const LocalDateTime& time);
// FormatPdfDate of the current local time, with the system's zone at this instant.
std::string PdfDateNow();

// The XMP form of a PDF date ("D:20240131123405+01'00'" gives "2024-01-31T12:34:05+01:00").
// A text not starting with "D:" is returned unchanged; so is one that is no PDF date.
std::u16string ToXmpDate(std::u16string_view text);

}  // namespace pdf
