// Pieces shared by the stream benchmarks: a sink that keeps each stream's
// media parameters, and running the event loop for a while.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "streva/streva_ctrl.h"

class QApplication;

namespace benchref {

// Keeps the last media parameters of every stream listed in `ids` (blocks[i]
// for ids[i]); `params` counts the parameter events.
struct ParamSink : IStrevaEvents {
  std::atomic<int> params{0};
  std::vector<MediaParamBlock> blocks;
  std::vector<long> ids;
  long MediaRecv(long id, long type, const BYTE* data, long length) override;
  long OnVideoFrame(long, const BYTE*, long, const BYTE*, long) override { return 0; }
  long OnAudioFrame(long, const BYTE*, long, const BYTE*, long) override { return 0; }
};

// Runs the event loop for `ms` milliseconds.
void PumpEvents(QApplication& app, int ms);

// Opens n streams of the url over TCP with `sink` advised, and runs the event
// loop until all have their media parameters (30 s at most).
void OpenStreams(QApplication& app, CStrevaCtrl& streva, ParamSink& sink, const std::string& url, int n);

}  // namespace benchref
