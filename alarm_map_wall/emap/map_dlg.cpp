#include "alarm_map_wall/emap/map_dlg.h"

#include <cstring>

#include "core/dev_info.h"

CMapDlg::CMapDlg(QWidget* parent) : QWidget(parent), CWnd(this) {}

BOOL CMapDlg::ShowMap(const char* mapName) {
  if (!mapName || !m_mapData.ShowMap(mapName)) return FALSE;
  update();
  return TRUE;
}

void CMapDlg::SetDeviceAlarm(const char* devName, int state) {
  if (!devName) return;
  if (m_mapData.SetDeviceAlarm(devName, state) > 0) update();
}

BOOL CMapDlg::AddDevicePoint(int x, int y, const DevInfo* pDevInfo) {
  if (!pDevInfo) return FALSE;
  const std::string name(pDevInfo->DevName, strnlen(pDevInfo->DevName, sizeof pDevInfo->DevName));
  if (!m_mapData.AddDevicePoint(x, y, name)) return FALSE;
  update();
  return TRUE;
}

void CMapDlg::RemoveDevicePoints(const char* devName) {
  if (devName == nullptr) return;
  if (m_mapData.RemoveDevicePoints(devName) > 0) update();
}

void CMapDlg::SetCursorMode(int nMode) {
  m_nCursorMode = nMode;
  if (nMode == 0) update();
}
