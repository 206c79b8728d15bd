// The client log: one printf-style WriteLog for the whole program.
//
// Every line "[Vemo2]:<Www Mmm dd hh:mm:ss>  <message>\n" goes to "clientlog.txt"
// while the log file is open, and always as one UDP datagram to 127.0.0.1 port
// 3000, where a log viewer may listen. The file rolls over at 10485760 bytes.
// All functions are thread-safe: one lock serialises every call.
#pragma once

// The logged-in user's name (GBK), written into the roll-over marker; set by the login.
extern char g_szCurUser[256];

// Logs one line when `levelMask` shares a bit with the log mask 0xFF. Callers pass
// 6 for ordinary messages and 3, 5, 2 or -2 on failure paths. A message longer
// than the line buffer is cut (at a character boundary), the line still ends in "\n".
void WriteLog(unsigned levelMask, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Opens the log file for appending (`path` in the program's Windows form, e.g.
// "D:\\Vemo-Log\\clientlog.txt"): 0 done, -1 already open, -2 the file cannot be
// opened, -4 its size cannot be read.
int OpenLogFile(const char* path);

// Closes the log file: 0 done, -3 it was not open.
int CloseLogFile();

// Renames the (closed) "clientlog.txt" of the log folder to
// "clientlog-YY-MM-DD-hh-mm-ss.txt" and opens a new "clientlog.txt".
void RollLogFile();
