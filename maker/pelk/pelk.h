// Pelk: the relay library through which peers exchange live video, PTZ and
// device data. This header declares the library's entry points as the program
// calls them; it grows as more of the relay is built.
#pragma once

// Starts the library before the main window exists; 0 on success.
inline int Pelk_Init() { return 0; }

// Stops the library and frees what it holds; the program's last call at exit.
inline void Pelk_Release() {}
