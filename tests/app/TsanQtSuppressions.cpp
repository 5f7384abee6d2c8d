// Qt from the distribution is not built with ThreadSanitizer: its futex-based locks, event
// queue and thread teardown are invisible to it, so every cross-thread hand-over through Qt
// reads as a race inside libQt6Core. Those reports are dropped; our own code stays checked.
// The sanitizer runtime looks this function up; other builds never call it.
extern "C" const char* __tsan_default_suppressions();

extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Core.so.6\n"
         "race:QWaitCondition::~QWaitCondition\n";
}
