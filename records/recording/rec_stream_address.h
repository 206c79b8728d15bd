// The stream a recording opens for a device: by device type, visit mode and
// stream kind (1 main, anything else sub).
//
//   DevType 1 (camera)       rtsp://ip:port/mpeg4 | mpeg4cif  (visit mode 0)
//                            vmq://ip:port/mpeg4  | mpeg4cif  (visit mode 1)
//                            path mpeg4 | mpeg4cif, opened by host (visit mode 2)
//   DevType 0 (video server) rtsp://ip:port/h264-<Resolution>, or /h264cif when the
//                            resolution is "cif", whatever the kind; vmq:// and
//                            paths alike
//   DevType 4 (NVR channel)  vmq://ip:port/mpeg4-<channel> | mpeg4cif-<channel>,
//                            for every visit mode
// Other types have no stream (empty url and path).
#pragma once

#include "records/recording/rec_streams.h"

struct DevInfo;

// own: the device's own record in the list (address, resolution, login);
// dev: the record the recording works on (NVR address and channel, host-form
// fields).
RecStreamOpen RecordStreamOpen(const DevInfo& own, const DevInfo& dev, int kind);
