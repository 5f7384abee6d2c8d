// The clock and random bytes behind document identifiers, dates and resource tags. Tests may
// fix both so that whole files can be compared; production code never does.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pdf {

struct LocalDateTime {
  int year = 1970, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int utcOffsetMinutes = 0;  // local time minus UTC, from the system's time zone
};

// The current local date and time, with the zone's offset at that instant.
LocalDateTime NowLocal();
// Days since 30 December 1899, the time of day as the fraction.
double DateTimeSerial(const LocalDateTime& time);
// DateTimeSerial of now in general number form with up to 15 significant digits.
std::string DateTimeSerialText(const LocalDateTime& time);

using GuidBytes = std::array<uint8_t, 16>;
// 16 fresh random bytes (a version 4 GUID).
GuidBytes NewGuidBytes();

// Test switches: a fixed instant (milliseconds since 1970, UTC; the local zone still applies)
// and fixed GUID bytes. std::nullopt restores the real sources.
void SetFixedClockForTesting(std::optional<int64_t> unixMilliseconds);
void SetFixedGuidForTesting(std::optional<GuidBytes> bytes);

}  // namespace pdf
