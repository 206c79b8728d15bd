#include "live/audio/broadcast_run.h"

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "gimbro/gimbro.h"
#include "live/streams/rtsp_events.h"

namespace {

// The first record of g_lstDevInfo with the device's label.
DevInfo* FindByLabel(const BroadcastDevice& device) {
  const std::string label = BroadcastLabel(device);
  for (DevInfo& dev : g_lstDevInfo) {
    if (BroadcastLabel(dev) == label) return &dev;
  }
  return nullptr;
}

}  // namespace

BroadcastCalls ControlBroadcastCalls(CGimbroCtrl* control) {
  BroadcastCalls calls;
  calls.startBroadcast = [control](long codec, long rate, long bits, long channels) -> long {
    return control ? control->StartBroadcast(codec, rate, bits, channels) : -1;
  };
  calls.addDevice = [](DevInfo& dev) -> long { return dev.pGimbroCtrl->AddBroadcastDevice(dev.GimbroId); };
  calls.releaseDevice = [](DevInfo& dev) {
    if (dev.pRtspEvent1) dev.pRtspEvent1->SetBroadcastStatus(0);
    if (dev.pRtspEvent2) dev.pRtspEvent2->SetBroadcastStatus(0);
  };
  calls.stopBroadcast = [control]() -> long { return control ? control->StopBroadcast() : -1; };
  return calls;
}

BroadcastFormat BroadcastFormatOf(int audio) {
  if (audio == kBroadcastG711) return {kBroadcastG711, 8000, 16, 1};
  return {audio, 16000, 16, 2};
}

bool CBroadcastRun::Toggle(const BroadcastSettings& settings) {
  if (settings.devices.empty()) return false;
  if (!m_bRunning) return Start(settings);
  Stop(settings);
  return true;
}

bool CBroadcastRun::Start(const BroadcastSettings& settings) {
  if (m_bRunning) return false;
  const BroadcastFormat format = BroadcastFormatOf(settings.audio);
  const long result = m_calls.startBroadcast(format.codec, format.sampleRate, format.bits, format.channels);
  if (result != GIMBRO_OK) {
    // Not started: nothing is marked, so no button shows a broadcast that is not there.
    WriteLog(-2, "CBroadcastRun::Start(): StartBroadcast failed, ret=%ld", result);
    return false;
  }
  CsLock lock(&g_csAppData);
  for (const BroadcastDevice& device : settings.devices) {
    DevInfo* dev = FindByLabel(device);
    if (!dev || dev->nOnline == 0 || !dev->pGimbroCtrl) continue;
    m_calls.addDevice(*dev);
    m_marked.insert(BroadcastLabel(*dev));
  }
  m_bRunning = true;
  return true;
}

void CBroadcastRun::Stop(const BroadcastSettings& settings) {
  if (!m_bRunning) return;
  {
    CsLock lock(&g_csAppData);
    for (const BroadcastDevice& device : settings.devices) {
      DevInfo* dev = FindByLabel(device);
      if (!dev || !dev->pGimbroCtrl) continue;
      m_calls.releaseDevice(*dev);
      m_marked.erase(BroadcastLabel(*dev));
    }
  }
  m_calls.stopBroadcast();
  m_bRunning = false;
}
