#include "alarm_map_wall/tvwall/tv_wall_manager.h"

#include "core/client_log.h"
#include "core/dev_info.h"

CTVWallManager::CTVWallManager(QWidget* parent) : CDialog(IDD, parent) {}

BOOL CTVWallManager::BindDecoder(int x, int y, DevInfo* pDevInfo) {
  if (!pDevInfo) return FALSE;
  WriteLog(6, "CTVWallManager::BindDecoder(): %s at (%d, %d)", pDevInfo->DevName, x, y);
  return TRUE;
}

BOOL CTVWallManager::DecodeStreaming(int x, int y, DevInfo* pDevInfo) {
  if (!pDevInfo) return FALSE;
  WriteLog(6, "CTVWallManager::DecodeStreaming(): %s at (%d, %d)", pDevInfo->DevName, x, y);
  return TRUE;
}

int CTVWallManager::Patrol() {
  m_bPatrol = m_bPatrol ? 0 : 1;
  return m_bPatrol;
}
