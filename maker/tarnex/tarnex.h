// Tarnex: the PTZ-protocol plug-in. The program loads it by file name,
// "Tarnex.DLL" in the program folder (a shared library built under that very
// name, so the name the program has always loaded stays the file name on
// disk), and looks up one export:
//
//   int GetPtzProtocolData(int ptzAddr, const char* word, int arg1, int arg2, char* out);
//
// `word` is a plug-in word ("up", "Iris+", "Preset", "Open3" ...), arg1 and
// arg2 the pan and tilt speeds or the preset numbers. `out` is a zeroed
// buffer of kTarnexOutputSize bytes; on return it holds the zero-terminated
// command text to send, or stays empty when nothing is to be sent. The result
// is 0 when a text was made, -1 otherwise; the program does not use it.
#pragma once

inline constexpr int kTarnexOutputSize = 256;

extern "C" {
using GetPtzProtocolDataFn = int (*)(int ptzAddr, const char* word, int arg1, int arg2, char* out);
int GetPtzProtocolData(int ptzAddr, const char* word, int arg1, int arg2, char* out);
}
