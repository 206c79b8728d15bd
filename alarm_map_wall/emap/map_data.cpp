#include "alarm_map_wall/emap/map_data.h"

#include <algorithm>
#include <utility>

namespace {

// The device name at the start of a point's device field.
bool NamesDevice(const std::string& field, const std::string& devName) {
  return field.compare(0, devName.size(), devName) == 0 &&
         (field.size() == devName.size() || field[devName.size()] == ':');
}

}  // namespace

void CMapData::AddMap(MapInfo map) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_vecMaps.push_back(std::move(map));
}

bool CMapData::ShowMap(const std::string& name) {
  std::lock_guard<std::mutex> lock(m_lock);
  const bool found = std::any_of(m_vecMaps.begin(), m_vecMaps.end(),
                                 [&](const MapInfo& map) { return map.Name == name; });
  if (found) m_strCurMap = name;
  return found;
}

std::string CMapData::CurrentMap() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_strCurMap;
}

int CMapData::SetDeviceAlarm(const std::string& devName, int state) {
  std::lock_guard<std::mutex> lock(m_lock);
  int count = 0;
  for (MapPoint& point : m_vecPoints) {
    if (!NamesDevice(point.DevField, devName)) continue;
    point.nAlarm = state;
    ++count;
  }
  return count;
}

bool CMapData::AddDevicePoint(int x, int y, const std::string& devName) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_strCurMap.empty()) return false;
  m_vecPoints.push_back({m_strCurMap, devName, x, y, 0});
  return true;
}

int CMapData::RemoveDevicePoints(const std::string& devName) {
  std::lock_guard<std::mutex> lock(m_lock);
  const size_t before = m_vecPoints.size();
  std::erase_if(m_vecPoints, [&](const MapPoint& point) { return NamesDevice(point.DevField, devName); });
  return static_cast<int>(before - m_vecPoints.size());
}

std::vector<MapPoint> CMapData::Points() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_vecPoints;
}

std::vector<MapInfo> CMapData::Maps() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_vecMaps;
}
