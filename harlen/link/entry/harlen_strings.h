// The ids of Harlen's string table (Harlen/strings.xml and its language
// library). Ids below 1000 are the resource ids the pages were designed with;
// the messages of the main window and the system page have ids of their own.
#pragma once

#include "platform/win_types.h"

enum HarlenStringId : UINT {
  IDS_CYCLE_STOP = 104,        // "停止录像", 105 "覆盖"
  IDS_RS485_PTZ = 106,         // "云台控制", 107 "485键盘"
  IDS_WEEK_FIRST = 108,        // "第1周" to 111 "第4周", 112 "最后一周"
  IDS_WEEK_LAST = 112,
  IDS_WEEKDAY_SUNDAY = 113,    // "星期日" to 119 "星期六"
  IDS_WEEKDAY_SATURDAY = 119,
  IDS_MODE_BY_CAMERA = 120,    // "由前端决定"
  IDS_OFFSET_30 = 121,         // "30分钟" to 124 "120分钟"
  IDS_OFFSET_120 = 124,
  IDS_ZONE_WEST_12 = 125,      // "西12区" to 149 "东12区", zone 0 at 137
  IDS_ZONE_EAST_12 = 149,
  IDS_MAIN_STREAM = 157,  // "主码流"
  IDS_SUB_STREAM = 158,   // "子码流"
  IDS_EVENT_STREAM = 159,   // "事件录像"
  IDS_VIDEO_STREAM = 160,   // "视频流", 161 "复合流"
  IDS_RATE_CONSTANT = 162,  // "定码率", 163 "变码率"
  IDS_PARITY_NONE = 164,    // "无校验", 165, 166
  IDS_FLOW_NONE = 167,      // "无", 168, 169
  IDS_RECORD_TIMED = 170,   // the record kinds, 170 to 174
  IDS_DELAY_5S = 175,       // the record delays, 175 "5秒" to 181 "10分"
  IDS_DELAY_10M = 181,
  IDS_MAINT_DISABLED = 182,
  IDS_MAINT_DAILY = 183,
  IDS_MAINT_WEEKLY = 184,
  IDS_MAINT_ONCE = 185,
  IDS_DISK_COL_DEVICE = 186,   // the disk list's columns, 186 to 190
  IDS_DISK_COL_FREE = 190,
  IDS_DISK_UNUSED = 191,       // "未用"
  IDS_DISK_RECORD = 192,       // "录像"
  IDS_DISK_BACKUP = 193,       // "备份"
  IDS_DISK_IN_USE = 194,       // "当前使用"
  IDS_EXCEPTION_DISK_FULL = 195,  // the six exception types, 195 to 200
  IDS_EXCEPTION_VIDEO = 200,
  IDS_LOCAL = 201,             // "本地"
  IDS_USER_COL_NAME = 202,     // the users lists' columns: 202 "用户名" to 207 "IP地址"
  IDS_USER_COL_IP = 207,
  IDS_IPC_COL_PROTOCOL = 223,  // the found cameras' columns: 223 "协议", 224 "端口", 225 "设备名称"
  IDS_IPC_COL_NAME = 225,
  IDS_CARD_10M = 150,          // the network card types, 150 "10MBase-T" to 155 "1000M全双工"
  IDS_DDNS_CLOUD = 156,        // "云服务", the DDNS server type
  IDS_QUALITY_LOWEST = 208,    // the picture qualities, 208 to 213
  IDS_QUALITY_HIGHEST = 213,
  IDS_GRAB_TIMED = 214,        // the picture-grab kinds, 214 to 218
  IDS_HOLIDAY_COL_NUMBER = 219,  // the holiday list's columns, 219 to 222
  IDS_HOLIDAY_COL_END = 222,
  IDS_TAB_DEVICE = 226,  // the ten tab labels of the main window, 226 to 235
  IDS_TAB_HOLIDAY = 235,
  IDS_DAY_SUNDAY = 236,        // the arming editor's rows: "星期天" to 242 "星期六", 243 "假日"

  IDS_MSG_CONNECT_FAILED = 9001,   // "连接NVR失败"
  IDS_MSG_SAVED = 9002,            // "保存成功"
  IDS_MSG_SAVE_FAILED = 9003,      // some section could not be sent
  IDS_MSG_RESTORE_CONFIRM = 9004,  // "确认要恢复到默认配置?"
  IDS_CAPTION_CONFIG = 9005,       // "系统配置", caption of the questions and messages
  IDS_MSG_IMPORT_FAILED = 9006,    // "加载配置文件失败!"
  IDS_MSG_UPLOAD_FAILED = 9007,    // "上传失败!"
  IDS_MSG_EXPORT_FAILED = 9008,    // the configuration could not be asked for or written
  IDS_MSG_IMPORT_TOO_LARGE = 9009, // the file does not fit in one request
  IDS_MSG_FORMAT_CONFIRM = 9010,   // "确定要格式化该磁盘?"
  IDS_FORMAT_STARTED = 9011,       // "格式化开始"
  IDS_FORMAT_RUNNING = 9012,       // "正在格式化，已完成%d"
  IDS_FORMAT_DONE = 9013,          // "格式化完成"
  IDS_FORMAT_FAILED = 9014,        // "格式化失败"
  IDS_MSG_HOLIDAY_DELETE = 9015,   // "你确定要删除这个假日项"
  IDS_HOLIDAY_BY_DATE = 9016,      // "按日期", 9017 "按星期", 9018 "按月份"
  IDS_HOLIDAY_BY_MONTH = 9018,
  IDS_MSG_TIME_INVALID = 9019,     // the time to set could not be read: nothing sent
  IDS_CONTACT_RECIPIENT = 9020,    // "收件人%d", the contacts window's row label
  IDS_CONTACT_COL_NAME = 9021,     // "用户名"
  IDS_CONTACT_COL_EMAIL = 9022,    // "邮件地址"
  IDS_REMOTE = 9023,               // "远程", the online users' login mode
  IDS_USER_ADMIN = 9024,           // "管理员", 9025 "普通用户": the user types
  IDS_USER_ORDINARY = 9025,
  IDS_MSG_USERS_FULL = 9026,       // "用户已满"
  IDS_MSG_PASSWORD_DIFFERS = 9027, // "密码不一至，请重新输入"
  IDS_MSG_USER_EXISTS = 9028,      // "该用户已经存在"
  IDS_MSG_USER_DELETE = 9029,      // "确认要删除该用户"
  IDS_CHANNEL_N = 9030,            // "通道%d", the IP channel window's channel list
  IDS_MSG_OPERATION_DONE = 9031,   // "操作完成"
  IDS_MSG_ADDRESS_INVALID = 9032,  // a typed text is no IP address: nothing stored or sent
  IDS_GRID_DAY_HOUR = 9033,        // "      天/时", the schedule grids' corner
  IDS_PTZ_NO_ACTION = 9034,        // the alarm PTZ actions: "无动作", 9035 "启用预置点", 9036 "启用巡航"
  IDS_PTZ_CRUISE = 9036,
  IDS_MSG_PORT_INVALID = 9037,     // "端口无效(1-%d)，请重新输入!": a typed port is out of range, nothing stored
  IDS_HOLIDAY_DATE = 9038,         // "%d年%d月%d日" (year, month, day), the holiday list's dates
  IDS_HOLIDAY_WEEK_DAY = 9039,     // "%d月第%d周第%d天" (month, week, day of the week)
  IDS_HOLIDAY_MONTH_DAY = 9040,    // "%d月%d日" (month, day)
  IDS_HOLIDAY_MONTH_N = 9041,      // the holiday window's items: "%d月", 9042 "%d日", 9043 "第%d周", 9044 "第%d天"
  IDS_HOLIDAY_DAY_N = 9042,
  IDS_HOLIDAY_WEEK_N = 9043,
  IDS_HOLIDAY_WEEKDAY_N = 9044,
  IDS_HOLIDAY_YEAR = 9045,         // "年", 9046 "月": the holiday window's unit beside its first edit
  IDS_HOLIDAY_MONTH = 9046,
};
