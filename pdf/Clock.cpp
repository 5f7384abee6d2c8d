#include "pdf/Clock.h"

#include <openssl/rand.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <ctime>
#include <mutex>
#include <random>

namespace pdf {

namespace {
std::mutex g_testMutex;
std::optional<int64_t> g_fixedClock;
std::optional<GuidBytes> g_fixedGuid;

int64_t NowUnixMilliseconds() {
  {
    std::lock_guard lock(g_testMutex);
    if (g_fixedClock) return *g_fixedClock;
  }
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}
}  // namespace

LocalDateTime NowLocal() {
  const int64_t millis = NowUnixMilliseconds();
  const std::time_t seconds = static_cast<std::time_t>(millis / 1000);
  std::tm local{};
  tzset();
  localtime_r(&seconds, &local);
  LocalDateTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec;
  t.millisecond = static_cast<int>(millis % 1000);
  t.utcOffsetMinutes = static_cast<int>(local.tm_gmtoff / 60);
  return t;
}

double DateTimeSerial(const LocalDateTime& t) {
  using namespace std::chrono;
  const sys_days date = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                       day{static_cast<unsigned>(t.day)}};
  const sys_days epoch = year_month_day{year{1899}, month{12}, day{30}};
  const double days = static_cast<double>((date - epoch).count());
  const double seconds = t.hour * 3600.0 + t.minute * 60.0 + t.second + t.millisecond / 1000.0;
  return days + seconds / 86400.0;
}

std::string DateTimeSerialText(const LocalDateTime& time) {
  char buffer[64];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, DateTimeSerial(time), std::chars_format::general, 15);
  return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

GuidBytes NewGuidBytes() {
  {
    std::lock_guard lock(g_testMutex);
    if (g_fixedGuid) return *g_fixedGuid;
  }
  GuidBytes bytes{};
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
    std::random_device device;  // OpenSSL's generator failed: the system's source still serves
    for (auto& b : bytes) b = static_cast<uint8_t>(device());
  }
  bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);
  bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);
  return bytes;
}

void SetFixedClockForTesting(std::optional<int64_t> unixMilliseconds) {
  std::lock_guard lock(g_testMutex);
  g_fixedClock = unixMilliseconds;
}

void SetFixedGuidForTesting(std::optional<GuidBytes> bytes) {
  std::lock_guard lock(g_testMutex);
  g_fixedGuid = bytes;
}

}  // namespace pdf
