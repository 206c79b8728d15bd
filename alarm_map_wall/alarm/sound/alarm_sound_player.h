// AlarmSoundPlayer: plays one alarm sound at a time on the default sound
// device, as the alarm panel's sound timers ask: a wave file from its start,
// looping, in place of whatever plays. The files are read once and kept.
//
// Without a sound device (or one that refuses the file's format) the player
// stays silent and says so; a missing or broken file plays nothing; neither
// is a failure of its caller. UI thread only.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "alarm_map_wall/alarm/sound/wav_file.h"

class QAudioSink;
class LoopingPcm;

class AlarmSoundPlayer {
 public:
  AlarmSoundPlayer();
  ~AlarmSoundPlayer();
  AlarmSoundPlayer(const AlarmSoundPlayer&) = delete;
  AlarmSoundPlayer& operator=(const AlarmSoundPlayer&) = delete;

  // Starts the file (the program's path form) from its beginning, looping.
  // False when it cannot be read (logged once per file); silence on a machine
  // without sound still counts as played.
  bool PlayLooping(const std::string& path);
  void Stop();

  // The file asked for last and not stopped since ("" when none).
  const std::string& Playing() const { return playing_; }
  // How many times a sound was started.
  int Starts() const { return starts_; }
  // True when the last start found no usable sound device.
  bool IsSilent() const { return silent_; }

 private:
  const WavSound* Load(const std::string& path);

  std::map<std::string, std::unique_ptr<WavSound>> sounds_;  // null: the file could not be read
  std::unique_ptr<QAudioSink> sink_;
  std::unique_ptr<LoopingPcm> source_;
  std::string playing_;
  int starts_ = 0;
  bool silent_ = false;
};
