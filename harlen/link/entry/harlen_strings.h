// The ids of Harlen's string table (Harlen/strings.xml and its language
// library). Ids below 1000 are the resource ids the pages were designed with;
// the messages of the main window and the system page have ids of their own.
#pragma once

#include "platform/win_types.h"

enum HarlenStringId : UINT {
  IDS_MAIN_STREAM = 157,  // "主码流"
  IDS_SUB_STREAM = 158,   // "子码流"
  IDS_MAINT_DISABLED = 182,
  IDS_MAINT_DAILY = 183,
  IDS_MAINT_WEEKLY = 184,
  IDS_MAINT_ONCE = 185,
  IDS_TAB_DEVICE = 226,  // the ten tab labels of the main window, 226 to 235
  IDS_TAB_HOLIDAY = 235,

  IDS_MSG_CONNECT_FAILED = 9001,   // "连接NVR失败"
  IDS_MSG_SAVED = 9002,            // "保存成功"
  IDS_MSG_SAVE_FAILED = 9003,      // some section could not be sent
  IDS_MSG_RESTORE_CONFIRM = 9004,  // "确认要恢复到默认配置?"
  IDS_CAPTION_CONFIG = 9005,       // "系统配置", caption of the questions and messages
  IDS_MSG_IMPORT_FAILED = 9006,    // "加载配置文件失败!"
  IDS_MSG_UPLOAD_FAILED = 9007,    // "上传失败!"
  IDS_MSG_EXPORT_FAILED = 9008,    // the configuration could not be asked for or written
  IDS_MSG_IMPORT_TOO_LARGE = 9009, // the file does not fit in one request
};
