// A device record of the cloud account service's answers: one child of the
// answer's "ls" element, with the children DevID, devsn, devname, devtype,
// devip, devwebport, devptzport, devvideoport, devloginuser, devloginpass and
// devreginfo (an XML text of its own whose "network" element holds ip, web,
// ptz, ph and video).
#pragma once

#include <string>

#include "core/dev_info.h"

class TiXmlElement;

// The cloud's device types: 100 camera (1), 200 and 400 NVR (4), 300 video
// server (0); any other is 0.
int CloudDeviceType(int cloudType);

// The fields every reader of a cloud device takes: DevId, DevName (DevId when
// devname is empty), DevSN, DevType, IPAddr, PtzPort, LoginName and LoginPsw
// (its Md5UpperHex digest when the installer's "Number" value is set). Texts
// longer than their fields are cut.
void ReadCloudDeviceFields(const TiXmlElement* node, DevInfo* device);

// The "network" element of a device's devreginfo text; all empty or 0 when the
// text does not parse or has no such element.
struct CloudNetwork {
  std::string ip;
  int web = 0;
  int ptz = 0;
  int ph = 0;
  int video = 0;
};
CloudNetwork ReadCloudNetwork(const char* regInfo);
