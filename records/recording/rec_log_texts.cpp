#include "records/recording/rec_log_texts.h"

namespace reclog {
namespace {

#define REC "CRecSchemeManager:"
const char kFailed1[] = REC "pRtspEvent1 start record failed, error=%d, StreamId=%ld, DevName=%s, SavePath=%s";
const char kFailed2[] = REC "pRtspEvent2 start record failed, error=%d, StreamId=%ld, DevName=%s, SavePath=%s";
const char kSuccess1[] = REC "pRtspEvent1 start record success, FileId=%ld, DevName=%s, SavePath=%s";
const char kSuccess2[] = REC "pRtspEvent2 start record success, FileId=%ld, DevName=%s, SavePath=%s";

const StartTexts kStart[] = {
    {{kFailed1, kFailed2}, {kSuccess1, kSuccess2}, false},
    {{REC "pRtspEvent1 start record failed. error=%d, StreamId=%ld, DevName=%s, SavePath=%s",
      REC "pRtspEvent1 start record failed. error=%d, StreamId=%ld, DevName=%s, SavePath=%s"},
     {REC "pRtspEvent1 start record success. FileId=%d, DevName=%s, SavePath=%s",
      REC "pRtspEvent1 start record success. FileId=%d, DevName=%s, SavePath=%s"},
     true},
    {{REC "pRtspEvent1 start record failed.error=%d, StreamId=%ld, DevName=%s, SavePath=%s",
      REC "pRtspEvent2 start record failed.error=%d, StreamId=%ld, DevName=%s, SavePath=%s"},
     {kSuccess1, kSuccess2},
     false},
    {{REC "pRtspEvent1 start record failed, error=%d, StramId=%ld, DevName=%s, SavePath=%s", kFailed2},
     {kSuccess1, kSuccess2},
     false},
};

const char kSwitch1[] = REC "pRtspEvent1 reset record, FileId = %ld, DevName = %s, StreamId = %ld, StoragePath=%s";
const char kSwitch2[] = REC "pRtspEvent2 reset record, FileId = %ld, DevName = %s, StreamId = %ld, StoragePath=%s";
const char kSwitchNone[] = "CRecSchemeManager: Have't find the record RtspEvent.";

const RestartTexts kRestart[] = {
    {{REC "pRtspEvent1 reset record, FileId = %ld, DevName = %s, SavePath=%s",
      REC "pRtspEvent2 reset record, FileId = %ld, DevName = %s,SavePath=%s"},
     "CRecSchemeManager: Have't find RtspEvent is record."},
    {{kSwitch1, kSwitch2}, kSwitchNone},
    {{REC "pRtspEvent1 reset record, FileId=%ld, DevName=%s, StreamId=%ld, StoragePath=%s",
      REC "pRtspEvent2 reset record, FileId=%ld, DevName=%s,StreamId=%ld,StoragePath=%s"},
     kSwitchNone},
    {{kSwitch1, REC "pRtspEvent2 reset record, FileId = %ld, DevName = %s, StreamId = %ld,StoragePath=%s"},
     kSwitchNone},
};
#undef REC

}  // namespace

const StartTexts& StartText(int startCase) { return kStart[startCase]; }
const RestartTexts& RestartText(int restartCase) { return kRestart[restartCase]; }

}  // namespace reclog
