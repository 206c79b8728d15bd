// CMapDlg: the e-map's map view inside the e-map manager.
#pragma once

#include <QWidget>
#include <string>

#include "alarm_map_wall/emap/map_data.h"
#include "platform/wnd.h"

struct DevInfo;

class CMapDlg : public QWidget, public CWnd {
 public:
  explicit CMapDlg(QWidget* parent = nullptr);

  // Finds the map by name and shows it; FALSE when there is none.
  BOOL ShowMap(const char* mapName);
  // Sets the alarm state of that device's points and redraws.
  void SetDeviceAlarm(const char* devName, int state);
  // Places a device dropped at (x, y) on the map shown; FALSE without a map.
  BOOL AddDevicePoint(int x, int y, const DevInfo* pDevInfo);
  // Takes the device's points off the maps and redraws.
  void RemoveDevicePoints(const char* devName);
  // Cursor mode of the toolbar's mouse-mode buttons; 0 redraws the map.
  void SetCursorMode(int nMode);
  int GetCursorMode() const { return m_nCursorMode; }

  CMapData m_mapData;  // its maps and camera points

 private:
  int m_nCursorMode = 0;
};
