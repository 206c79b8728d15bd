// The maintenance tests run in central European time, whose daylight saving
// starts on the last Sunday of March at 01:00 UTC and ends on the last Sunday
// of October at 01:00 UTC (a rule, so no zone database is needed). The test
// entry sets it before any thread starts.
extern "C" const char* const vemo_test_time_zone = "CET-1CEST,M3.5.0,M10.5.0/3";
