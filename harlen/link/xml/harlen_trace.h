// Trace lines of the loaders: one printf-style line per call, written to the
// standard output unless a sink is installed (tests read them there). They
// carry no behaviour; passwords never go into them.
#pragma once

#include <cstdint>
#include <string>

typedef void (*HarlenTraceSink)(const std::string& line, void* user);

// Installs a sink for every later line; null sends them to the standard output again.
void SetHarlenTraceSink(HarlenTraceSink sink, void* user);

void HarlenTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A 32-bit time value as "%04d-%02d-%02d %02d:%02d:%02d" in local time; 0 is "".
std::string TraceTimeText(uint32_t seconds);
