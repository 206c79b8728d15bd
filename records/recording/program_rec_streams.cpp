// The recording's calls on the program's stream objects.
#include "core/dev_info.h"
#include "gimbro/gimbro.h"
#include "live/streams/rtsp_events.h"
#include "records/recording/rec_streams.h"

namespace {

class ProgramStreams : public IRecStreams {
 public:
  long StreamId(CRtspEvents* e) override { return e ? e->GetStreamId() : 0; }
  long Kind(CRtspEvents* e) override { return e ? e->GetStreamKind() : -1; }
  bool Renders(CRtspEvents* e) override { return e && e->IsRendering(); }
  bool HasMedia(CRtspEvents* e) override { return e && e->HasMediaParam(); }
  bool IsRecording(CRtspEvents* e) override { return e && e->IsRecording(); }
  bool FeedsRelay(CRtspEvents* e) override { return e && e->IsRelayActive(); }

  long Open(CRtspEvents* e, const RecStreamOpen& open) override {
    CStrevaCtrl* ctrl = e ? e->StrevaCtrl() : nullptr;
    if (!ctrl) return 0;
    if (open.byHost) {
      return ctrl->OpenStreamEx(open.host, open.port, open.path, open.loginName, open.password, open.rtpOverRtsp);
    }
    return ctrl->OpenStream(open.url, open.loginName, open.password, open.rtpOverRtsp);
  }
  void SetStreamInfo(CRtspEvents* e, long id, long kind, long pre, BOOL audio) override {
    if (e) e->SetStreamInfo(id, kind, pre, audio);
  }
  void SetDevType(CRtspEvents* e, int devType) override {
    if (e) e->SetDevType(devType);
  }
  void EnableRecord(CRtspEvents* e, BOOL audio) override {
    if (e) e->EnableRecord(audio);
  }
  long StartRecord(CRtspEvents* e, long id, long duration, long fileLength, const std::string& folder,
                   long pre) override {
    return e ? e->StartRecord(id, duration, fileLength, folder, pre) : 0;
  }
  void StopRecordFile(CRtspEvents* e) override {
    if (e) e->StopRecordFile();
  }
  void StopRecord(CRtspEvents* e) override {
    if (e) e->StopRecord();
  }
  void SetPreRecTime(CRtspEvents* e, long seconds, BOOL audio) override {
    if (e) e->SetPreRecTime(seconds, audio);
  }
  void StopAllThread(CRtspEvents* e) override {
    if (e) e->StopAllThread();
  }
  void CloseAllDecoder(CRtspEvents* e) override {
    if (e) e->CloseAllDecoder();
  }
  // The control queues the request for its network thread under its own lock.
  void CreateIFrame(const DevInfo& dev, long stream) override {
    if (dev.pGimbroCtrl) dev.pGimbroCtrl->CreateIFrame(dev.GimbroId, stream);
  }
};

}  // namespace

IRecStreams& ProgramRecStreams() {
  static ProgramStreams streams;
  return streams;
}
