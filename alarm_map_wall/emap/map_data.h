// The e-map's data: its maps (name, parent map name), its camera points and
// the map shown, guarded by the map lock. Map pictures come with the e-map.
#pragma once

#include <mutex>
#include <string>
#include <vector>

struct MapInfo {
  std::string Name;
  std::string ParentName;
};

struct MapPoint {
  std::string MapName;
  std::string DevField;  // starts with the device name (then ':' and more, or nothing)
  int x = 0;
  int y = 0;
  int nAlarm = 0;        // alarm state shown on the point
};

class CMapData {
 public:
  void AddMap(MapInfo map);
  std::vector<MapInfo> Maps() const;
  // Makes the map with that name the one shown; false when there is none.
  bool ShowMap(const std::string& name);
  std::string CurrentMap() const;
  // Sets the alarm state of every point of that device; the number of points.
  int SetDeviceAlarm(const std::string& devName, int state);
  // A point for the device on the map shown; false when no map is shown.
  bool AddDevicePoint(int x, int y, const std::string& devName);
  std::vector<MapPoint> Points() const;
  // Takes every point of that device off every map; the number of points.
  int RemoveDevicePoints(const std::string& devName);

 private:
  mutable std::mutex m_lock;
  std::vector<MapInfo> m_vecMaps;
  std::vector<MapPoint> m_vecPoints;
  std::string m_strCurMap;
};
