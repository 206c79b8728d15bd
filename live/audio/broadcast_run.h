// The voice broadcast to the chosen devices: started and stopped by the video
// toolbar's broadcast button, stopped by the broadcast page when its list is
// replaced.
//
// The devices of the list are found in g_lstDevInfo by their label
// (BroadcastLabel), both when the broadcast starts and when it stops: the
// channels of an NVR share one DevId, so only the label tells them apart.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "core/dev_info.h"
#include "live/audio/broadcast_info.h"

class CGimbroCtrl;

// What a broadcast does to the device-messaging control and the devices.
struct BroadcastCalls {
  // StartBroadcast(codec, sample rate, bits per sample, channels) on the control.
  std::function<long(long codec, long sampleRate, long bits, long channels)> startBroadcast;
  // AddBroadcastDevice(GimbroId) on the device's wrapper.
  std::function<long(DevInfo& dev)> addDevice;
  // Broadcast status 0 on the device's main- and sub-stream objects (each when present).
  std::function<void(DevInfo& dev)> releaseDevice;
  // StopBroadcast on the control.
  std::function<long()> stopBroadcast;
};

// The calls on the application's device-messaging control and the devices'
// own wrappers and stream objects.
BroadcastCalls ControlBroadcastCalls(CGimbroCtrl* control);

// The format sent for an audio selection: G.711 8000 Hz mono, AAC 16000 Hz
// stereo, always 16 bits.
struct BroadcastFormat {
  long codec;
  long sampleRate;
  long bits;
  long channels;
};
BroadcastFormat BroadcastFormatOf(int audio);

class CBroadcastRun {
 public:
  explicit CBroadcastRun(BroadcastCalls calls) : m_calls(std::move(calls)) {}

  bool IsRunning() const { return m_bRunning; }
  // True while the record is marked broadcasting.
  bool IsBroadcasting(const DevInfo& dev) const { return m_marked.count(BroadcastLabel(dev)) > 0; }

  // The broadcast button: starts a broadcast to the list's devices that are
  // online and have their wrapper, or stops a running one. False when nothing
  // changed: an empty list, or a start the control refused.
  bool Toggle(const BroadcastSettings& settings);
  // Stops a running broadcast: releases the list's devices and stops the control.
  void Stop(const BroadcastSettings& settings);

 private:
  // Starts the control, then adds and marks the devices. When the control
  // refuses, no device is added or marked, the run stays idle and false is returned.
  bool Start(const BroadcastSettings& settings);

  BroadcastCalls m_calls;
  bool m_bRunning = false;
  std::set<std::string> m_marked;  // labels of the records that broadcast
};
