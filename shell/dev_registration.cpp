#include "shell/dev_registration.h"

#include <string>

#include "core/client_log.h"
#include "core/login_logic.h"
#include "live/streams/rtsp_events.h"
#include "maker/gimbro/gimbro.h"
#include "shell/dev_tree_model.h"

namespace {

constexpr int kVisitByHost = 2;

void LogRegistration(const DevInfo& dev) {
  WriteLog(6, "CDevTree::Init():Add a device channel, DevName=%s, GimbroId=%ld, ip=%s, port=%d, name=%s, psw=%s",
           dev.DevName, static_cast<long>(dev.GimbroId), dev.IPAddr, dev.PtzPort, dev.LoginName,
           MaskSecret(dev.LoginPsw));
}

}  // namespace

LONG RegisterWithGimbro(CGimbroCtrl& gimbro, const DevInfo& dev) {
  if (dev.VisitMod == kVisitByHost)
    return gimbro.AddDeviceByHost(dev.IPAddr, static_cast<WORD>(dev.PtzPort), dev.LoginName, dev.LoginPsw);
  return gimbro.AddDevice(dev.IPAddr, dev.PtzPort, dev.LoginName, dev.LoginPsw);
}

void CreateStreamObjects(DevInfo& dev, CGimbroCtrl* gimbro, CGimbroEvents* sink, CStrevaCtrl* streva) {
  dev.pGimbroCtrl = gimbro;
  dev.pGimbroEvents = sink;
  dev.pRtspEvent1 = new CRtspEvents(nullptr, streva);
  dev.pRtspEvent2 = new CRtspEvents(nullptr, streva);
  if (streva != nullptr) {
    streva->Advise(dev.pRtspEvent1);
    streva->Advise(dev.pRtspEvent2);
  }
}

void CreateStreamObjects(std::list<DevInfo>& devices, CGimbroCtrl* gimbro, CGimbroEvents* sink,
                         CStrevaCtrl* streva) {
  for (DevInfo& dev : devices) CreateStreamObjects(dev, gimbro, sink, streva);
}

void RegisterDevices(std::list<DevInfo>& devices, CGimbroCtrl* gimbro, const SyncTimeInfo& sync) {
  if (gimbro == nullptr) return;
  std::string lastIp;
  for (DevInfo& dev : devices) {
    if (dev.DevType == kDevTypeDvs) {
      // The channel records of one video server follow each other with the same address.
      if (lastIp == dev.IPAddr) continue;
      dev.GimbroId = RegisterWithGimbro(*gimbro, dev);
      lastIp = dev.IPAddr;
      LogRegistration(dev);
      continue;
    }
    dev.GimbroId = RegisterWithGimbro(*gimbro, dev);
    LogRegistration(dev);
    gimbro->SetTimeSync(dev.GimbroId, sync.enable, sync.diff, sync.interval);
  }
}
