// Morvik: the playback control. Each player is a child widget (CPlayBackAtl)
// that either plays a record file itself (OpenFile, through the program's own
// record-file reader, handed in as a file source) or is fed: the media
// descriptions (Base64 parameter blocks, SetMediaParam) and then every frame
// (InputVideo / InputAudio) come from the caller, on any thread.
//
// Every method of the control keeps its dispatch id (MorvikDispId); results are
// 32-bit integers: 0 done, -1 refused, unless a method says otherwise.
//
// Threads: the window (CPlayBackAtl) is created, shown, laid out and destroyed
// on the UI thread. Its engine (MorvikEngine) takes every method from any
// thread: callers on other threads (relay callbacks, device-messaging events)
// hold the engine by its shared pointer, so a player window may be closed while
// frames still arrive. Once the window is gone (or Close was called) the engine
// refuses every call and nothing more reaches the screen or the event sink.
// Decoding runs on the caller's thread (fed frames) or on the player's own
// reading thread (files); pictures are drawn on the UI thread.
//
// Events (IPlayBackEvents) reach the sink on the UI thread, with the player's
// control id first:
//   1 mouse:   a mouse message over the picture (kMorvikWmLButtonUp,
//              kMorvikWmLButtonDblClk) and the point in the player's coordinates
//   2 notice:  kMorvikNotifyPosition with the seconds played in the current
//              piece as decimal text, each time the whole second changes;
//              kMorvikNotifyPieceEnd when a file has been played to its end
//   3 state:   play state (0 stopped, 1 playing, 2 paused), speed factor, and
//              1 for a slowed speed or 0 for normal or fast
//   4 command: a button of the player's own bar (MorvikCommand) and its value
//
// The player's own bar: continue, pause, stop, slow, fast, normal speed,
// previous, next, snapshot and a position slider. While a file plays, the
// player carries out continue, pause, stop, the speeds and seeks itself and
// reports them; fed streams are paced by their source, so their commands are
// only reported (the caller passes them to the source). Previous and next are
// only reported.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"

struct AVFrame;

// Dispatch ids of the control's methods.
enum MorvikDispId : LONG {
  kMorvikSetFullView = 1,
  kMorvikGetViewState = 2,
  kMorvikSetMediaParam = 5,
  kMorvikInputVideo = 6,
  kMorvikInputAudio = 7,
  kMorvikPlay = 9,
  kMorvikStop = 17,
  kMorvikOpenFile = 24,
  kMorvikSetSnapPath = 31,
  kMorvikSetFillScreen = 45,
  kMorvikSelectSnapKind = 47,
  kMorvikIsPlaying = 49,
  kMorvikSetRunState = 50,
  kMorvikSetPlayOption = 51,
  kMorvikSetPlaySeconds = 52,
  kMorvikSetMouseMode = 53,
  kMorvikGetSetupState = 55,
};

// Event ids.
enum MorvikEventId : LONG {
  kMorvikEventMouse = 1,
  kMorvikEventNotify = 2,
  kMorvikEventState = 3,
  kMorvikEventCommand = 4,
};

// Commands of the player's bar (event 4) and their values.
enum MorvikCommand : LONG {
  kMorvikCmdContinue = 1,
  kMorvikCmdPause = 2,
  kMorvikCmdStop = 3,
  kMorvikCmdSlow = 4,    // value: slow-down factor 2, 4, 8, 16 or 32
  kMorvikCmdPrev = 6,
  kMorvikCmdNext = 7,
  kMorvikCmdFast = 8,    // value: speed-up factor 2, 4, 8, 16 or 32
  kMorvikCmdSeek = 9,    // value: second from the start of the piece
  kMorvikCmdNormal = 12,
};

// Notice codes (event 2).
enum : LONG {
  kMorvikNotifyPosition = 23,
  kMorvikNotifyPieceEnd = 24,
};

// Mouse messages of event 1 (the numbers of the window messages).
enum : LONG {
  kMorvikWmLButtonUp = 0x0202,
  kMorvikWmLButtonDblClk = 0x0203,
};

// Media kinds of SetMediaParam.
enum : LONG { kMorvikMediaVideo = 0, kMorvikMediaAudio = 1 };

// Kinds of SetPlaySeconds and GetSetupState.
enum : LONG {
  kMorvikPieceLength = 0,    // SetPlaySeconds: length of the piece in seconds
  kMorvikStartPosition = 1,  // SetPlaySeconds: where in the piece playback starts
  kMorvikSetupVideo = 0,     // GetSetupState: 1 when the video decoder is set up, else 0
  kMorvikSetupAudio = 1,     //                1 when the audio decoder is set up, else 0
  kMorvikSetupStart = 2,     //                the start position, -1 while not set
};

// Player options (SetPlayOption); the player keeps every option's value.
enum : LONG {
  kMorvikOptionSound = 3,        // 0 plays the sound, 1 keeps it silent
  kMorvikOptionReplay = 8,       // a source's replay option word, kept as given
  kMorvikOptionContinuous = 9,   // 1: the pieces of a day follow one another, the last
                                 // picture stays between them; 0: a single file
};

// Mouse modes (SetMouseMode).
enum : LONG {
  kMorvikMousePointer = 0,
  kMorvikMouseZoomIn = 1,   // a click enlarges the picture around the point
  kMorvikMouseZoomOut = 2,  // a click shows more of the picture again
  kMorvikMouseMove = 3,     // dragging moves an enlarged picture
};

// The parameter blocks of SetMediaParam (little-endian, fixed offsets):
//   video (536 bytes): 0 codec name (char[256], "H264" or "MP4V"), 256 width,
//     260 height, 264 0, 268 frames per second, 272 bit rate (u32 each),
//     276 codec header bytes (256), 532 codec header length (i32)
//   audio (276 bytes): 0 codec name (char[256], "G711" or "AAC"), 256 sample
//     rate, 260 bits per sample, 264 channels, 268 8, 272 bit rate; G.711 is
//     A-law unless the byte behind the name's zero (5) is 'U': mu-law
// A block whose codec name is empty is refused. The codec header length is
// taken only as far as the block reaches (never past its 256 bytes nor past
// the bytes given).
constexpr LONG kMorvikVideoParamSize = 536;
constexpr LONG kMorvikAudioParamSize = 276;

// The 16-byte frame header of InputVideo / InputAudio: 0 flags (u32), 4 not
// read, 8 the frame's time in the piece, milliseconds (IEEE double).
constexpr LONG kMorvikFrameHeaderSize = 16;

// A record file as the player reads it. The program hands the control a maker
// of sources that read its record files (Morvik_SetFileSourceFactory).
class IMorvikFileSource {
 public:
  virtual ~IMorvikFileSource() = default;
  // Opens the file (the program's ANSI path); false when it cannot be read.
  virtual bool Open(const std::string& path) = 0;
  // The parameter blocks of the open file (layouts above); audio stays empty
  // for a file without sound.
  virtual void MediaInfo(std::vector<BYTE>* video, std::vector<BYTE>* audio) = 0;
  // Length of the file in whole seconds.
  virtual int Seconds() = 0;
  // Moves to the key frame that starts the second; false when there is none.
  virtual bool SeekSecond(int second) = 0;
  // The next frame into buffer: its length (> 0) with *isVideo and *isKey set,
  // 0 for a chunk to skip, below 0 at the end or on a read failure.
  virtual int ReadFrame(BYTE* buffer, int capacity, int* isVideo, int* isKey) = 0;
};

using MorvikFileSourceFactory = std::function<std::unique_ptr<IMorvikFileSource>()>;

// Sets the maker of file sources that OpenFile uses (any thread). Without one,
// OpenFile refuses.
void Morvik_SetFileSourceFactory(MorvikFileSourceFactory factory);

// The event interface (events 1 to 4). Called on the UI thread; every handler
// returns 0.
class IPlayBackEvents {
 public:
  virtual ~IPlayBackEvents() = default;
  virtual LONG OnPlayerMouse(LONG ctrlId, LONG message, LONG x, LONG y) = 0;       // 1
  virtual LONG OnPlayerNotify(LONG ctrlId, LONG code, const char* text) = 0;       // 2
  virtual LONG OnPlayerEvent3(LONG ctrlId, LONG state, LONG factor, LONG slow) = 0;  // 3
  virtual LONG OnPlayerCommand(LONG ctrlId, LONG command, LONG value) = 0;         // 4
};

class MorvikOutput;
class MorvikPlayback;

// The engine of one player: every method of the control, safe from any thread.
class MorvikEngine {
 public:
  MorvikEngine();
  ~MorvikEngine();  // Close
  MorvikEngine(const MorvikEngine&) = delete;
  MorvikEngine& operator=(const MorvikEngine&) = delete;

  LONG SetMediaParam(const char* base64, LONG size, LONG kind);          // 5
  LONG InputVideo(const BYTE* data, LONG length, const BYTE* header, LONG headerLength);  // 6
  LONG InputAudio(const BYTE* data, LONG length, const BYTE* header, LONG headerLength);  // 7
  LONG Play();                                                           // 9
  LONG Stop();                                                           // 17
  LONG OpenFile(const char* path);                                       // 24
  LONG IsPlaying() const;                                                // 49
  LONG SetRunState(LONG state);                                          // 50
  LONG SetPlayOption(LONG option, LONG value);                           // 51
  LONG SetPlaySeconds(LONG kind, LONG seconds);                          // 52
  LONG GetSetupState(LONG kind) const;                                   // 55

  // A command of the player's bar: carried out on a file, then reported.
  void Command(LONG command, LONG value);

  // Ends the engine for good: the file stops, the decoders close, the output is
  // let go. Every later call is refused. Returns when no decoding runs any more.
  void Close();

  // State, for the window, the program's tests and status.
  LONG GetPlayOption(LONG option) const;
  LONG GetRunState() const;
  LONG GetPieceLength() const;
  LONG GetPosition() const;  // seconds played in the piece
  bool IsPaused() const;
  LONG GetSpeed() const;     // 1 normal, above 1 fast, below -1 slowed by that factor
  bool IsFilePlaying() const;
  QImage LastPicture() const;  // converted to RGB32 at its own size
  // The newest picture as it was decoded (the window converts it to the size it
  // draws it at); null without one.
  std::shared_ptr<const AVFrame> NewestPicture() const;
  bool HasPicture() const;
  // Pictures handed to the window since the engine was made (for status and
  // measurements).
  unsigned long long PicturesShown() const;

  // The window's side: where pictures and events go (UI thread; null detaches).
  void SetOutput(MorvikOutput* output);

 private:
  friend class MorvikPlayback;
  std::unique_ptr<MorvikPlayback> impl_;
};

// Where an engine sends what it produces; the window implements it.
class MorvikOutput {
 public:
  virtual ~MorvikOutput() = default;
  // From the decoding thread: a new picture is ready (LastPicture).
  virtual void PictureReady() = 0;
  // From the decoding thread: the picture was cleared.
  virtual void PictureCleared() = 0;
  // From any thread: decoded sound (16-bit PCM) to play.
  virtual void Sound(const QByteArray& pcm, int sampleRate, int channels) = 0;
  // From any thread: an event for the sink.
  virtual void Event(LONG eventId, LONG a, LONG b, LONG c, const std::string& text) = 0;
};

class MorvikBar;
class MorvikWindowOutput;
class PictureScaler;
class SoundOutput;

// CPlayBackAtl: the player window. The methods of the dispatch table are the
// engine's, forwarded; the window adds the picture, its bar, the mouse and the
// snapshot and view settings.
class CPlayBackAtl : public QWidget {
 public:
  CPlayBackAtl(QWidget* parent, int ctrlId);
  ~CPlayBackAtl() override;  // closes the engine

  int GetDlgCtrlID() const { return ctrlId_; }
  void Advise(IPlayBackEvents* sink) { sink_ = sink; }  // not owned; null stops the events

  // The engine, for callers on other threads: keep the pointer for the call.
  std::shared_ptr<MorvikEngine> Engine() const { return engine_; }

  LONG SetFullView(LONG on);                                      // 1
  LONG GetViewState() const;                                      // 2: 1 while the picture is enlarged
  LONG SetMediaParam(const char* base64, LONG size, LONG kind) { return engine_->SetMediaParam(base64, size, kind); }
  LONG InputVideo(const BYTE* data, LONG length, const BYTE* header, LONG headerLength) {
    return engine_->InputVideo(data, length, header, headerLength);
  }
  LONG InputAudio(const BYTE* data, LONG length, const BYTE* header, LONG headerLength) {
    return engine_->InputAudio(data, length, header, headerLength);
  }
  LONG Play() { return engine_->Play(); }
  LONG Stop() { return engine_->Stop(); }
  LONG OpenFile(const char* path) { return engine_->OpenFile(path); }
  // kind 0 BMP, 1 JPG; the snapshot button writes the picture into the folder.
  LONG SetSnapPath(LONG kind, const char* folder);                // 31
  LONG SetFillScreen(LONG on);                                    // 45
  void SelectSnapKind(LONG kind);                                 // 47
  LONG IsPlaying() const { return engine_->IsPlaying(); }
  LONG SetRunState(LONG state) { return engine_->SetRunState(state); }
  LONG SetPlayOption(LONG option, LONG value) { return engine_->SetPlayOption(option, value); }
  LONG SetPlaySeconds(LONG kind, LONG seconds) { return engine_->SetPlaySeconds(kind, seconds); }
  LONG SetMouseMode(LONG mode);                                   // 53
  LONG GetSetupState(LONG kind) const { return engine_->GetSetupState(kind); }

  // Writes the picture as the snapshot button does; the file written, or empty.
  std::string Snapshot();

  // State, for the program's tests.
  QImage LastPicture() const { return engine_->LastPicture(); }
  bool HasPicture() const { return engine_->HasPicture(); }
  LONG GetMouseMode() const { return mouseMode_; }
  bool IsFullView() const { return fullView_; }
  bool IsFillScreen() const { return fillScreen_; }
  LONG GetSnapKind() const { return snapKind_; }
  const std::string& GetSnapFolder() const { return snapFolder_; }
  MorvikBar* Bar() const { return bar_; }
  // The part of the window the picture is drawn in (above the bar).
  QRect PictureRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class MorvikWindowOutput;
  void RaiseEvent(LONG eventId, LONG a, LONG b, LONG c, const std::string& text);
  // A new picture waits: painted now, or once the shortest paint interval has
  // passed since the last paint (pictures that come faster are not all drawn).
  void RequestRepaint();
  void RepaintPicture();
  void OnBarCommand(LONG command, LONG value);
  void PlaySound(const QByteArray& pcm, int sampleRate, int channels);
  void Zoom(const QPoint& at, bool in);
  void LeaveFullView();

  int ctrlId_;
  IPlayBackEvents* sink_ = nullptr;
  std::shared_ptr<MorvikEngine> engine_;
  std::unique_ptr<MorvikWindowOutput> output_;
  std::unique_ptr<SoundOutput> sound_;
  // The newest picture converted for drawing, and what it was made from.
  std::unique_ptr<PictureScaler> paintScaler_;
  std::shared_ptr<const AVFrame> shownFrom_;
  QImage shown_;
  QRect shownAt_;                  // where shown_ was drawn (the black bands around it stay)
  qint64 lastPaintMs_ = -1;        // on paintClock_
  bool repaintTimer_ = false;      // a delayed repaint is waiting
  MorvikBar* bar_ = nullptr;
  bool fillScreen_ = false;
  bool fullView_ = false;
  QWidget* normalParent_ = nullptr;
  QRect normalGeometry_;
  LONG snapKind_ = 0;
  std::string snapFolder_;
  LONG mouseMode_ = kMorvikMousePointer;
  double zoom_ = 1.0;       // 1 = the whole picture
  QPointF zoomCentre_{0.5, 0.5};  // centre of the shown part, as fractions of the picture
  QPoint dragFrom_;
  bool dragging_ = false;
};
