// Draws live video that arrives through the relay library: a pane creates one
// on its picture control and registers it as the context of the relay's
// real-data callback, which hands it every frame on the relay library's thread.
//
// Threads: construction, parameter set-up, settings, Resize and Close on the
// UI thread; InputData on the relay library's thread. Close waits for a frame
// being fed to finish, and every frame that arrives after Close is dropped
// (-1), so the relay thread never touches a player that is gone. The pane
// stops the relay video and closes this player before its window goes.
#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <mutex>

#include "pelk/pelk.h"
#include "platform/win_types.h"
#include "streva/streva_ctrl.h"

class CTessalyCtrl;

class RelayVideoPlayer {
 public:
  enum FrameKind : long { kVideoFrame = 0, kAudioFrame = 1 };

  // Creates the player as a visible child of parent over its client area with
  // the fill-screen setting given, mouse mode 0 and the keep-last-frame
  // setting. Without a parent no player exists and every call refuses.
  RelayVideoPlayer(QWidget* parent, BOOL fillScreen);
  ~RelayVideoPlayer();
  RelayVideoPlayer(const RelayVideoPlayer&) = delete;
  RelayVideoPlayer& operator=(const RelayVideoPlayer&) = delete;

  // Parameter blocks of the relayed stream (VideoParamBlock, AudioParamBlock);
  // a block shorter than its size is refused. The audio decoder is set up only
  // when the audio block's description text is not empty. -> player result, -1 refused.
  long SetVideoParam(const BYTE* block, long length);
  long SetAudioParam(const BYTE* block, long length);

  // One frame of kind 0 (video) or 1 (audio); the frame information, when
  // given, supplies the flags and time stamp of the frame header.
  // -> player result; -1 without player (also after Close) or for another kind.
  long InputData(long kind, const BYTE* data, long length, const RelayFrameInfo* info);

  // Closes both decoders, deletes the render and destroys the player.
  void Close();

  void Resize();                       // over the parent's client area, while it exists
  void SetParentWindow(QWidget* window);  // re-parents the player and resizes

  long SnapShot(const CString& path);  // picture format 1
  long SetFillScreen(BOOL flag);
  long ApplyKeepLastFrame(BOOL on);
  long OpenSound();
  long CloseSound();
  long SetMouseMode(long mode);

  bool HasPlayer() const;
  // Frames handed to the player so far, for status and tests.
  long FramesFed() const { return framesFed_; }

 private:
  // The player for UI-thread calls: none once closed or once the parent
  // window, which destroys its children, is gone.
  CTessalyCtrl* Player() const;

  QPointer<QWidget> parent_;
  RECT clientRect_{};
  mutable std::mutex feedMutex_;  // player_ against the relay thread's InputData
  CTessalyCtrl* player_ = nullptr;  // owned; a child widget of parent_
  long renderId_ = 0;
  FrameHeader videoHeader_{};
  FrameHeader audioHeader_{};
  VideoParamBlock videoParam_{};
  AudioParamBlock audioParam_{};
  long mouseMode_ = 0;
  std::atomic<long> framesFed_{0};
};
