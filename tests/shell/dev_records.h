// Small device and group records for the device tree tests.
#pragma once

#include "core/dev_info.h"
#include "core/fixed_text.h"

inline DevInfo Dev(const char* id, const char* name, int type, const char* group, int online = 0,
                   int channel = 0) {
  DevInfo dev;
  CopyFixedText(dev.DevId, id);
  CopyFixedText(dev.DevName, name);
  CopyFixedText(dev.GroupName, group);
  CopyFixedText(dev.IPAddr, "10.0.0.9");
  dev.DevType = type;
  dev.nOnline = online;
  dev.CurNVRChannel = channel;
  return dev;
}

inline DevGroupInfo Group(const char* name) {
  DevGroupInfo group;
  CopyFixedText(group.GroupName, name);
  return group;
}
