// What a device list panel asks of the window around it: the main window's
// selection forwarders and drop targets, the live grids for a group played
// whole, the record search and the e-map. The main window implements it; the
// panel holds it for its whole life.
#pragma once

#include <vector>

#include "core/dev_info.h"
#include "core/rec_scheme.h"
#include "platform/win_types.h"
#include "shell/dev_tree_model.h"

class QWidget;
struct RelayDevice;  // a device of a logged-in relay server

class CDeviceListHost {
 public:
  virtual ~CDeviceListHost() = default;

  // A clicked tree item handed to the module windows that follow the selection
  // (null: none).
  virtual void ShowDevInfo(DevGroupInfo* group) = 0;
  virtual void OnDevSelected(DevInfo* dev) = 0;
  virtual void OnVssChannelSelected(RelayDevice* dev) = 0;
  virtual void OnRecSchemeSelected(RecSchemeInfo* scheme) = 0;

  // A device dropped on the window under the cursor (a pane of a live grid or
  // one of its children), opened by a double click, or dropped on the TV wall
  // or the map at the screen point (x, y).
  virtual void DropDevOnVideoWnd(QWidget* dropWnd, DevInfo* dev) = 0;
  virtual void OpenDevInFreeWnd(DevInfo* dev) = 0;
  virtual void DropDevOnTVWall(int x, int y, DevInfo* dev) = 0;
  virtual void DropChannelOnTVWall(int x, int y, DevInfo* dev) = 0;
  virtual void DropDevOnMap(int x, int y, DevInfo* dev) = 0;

  // The live grids a group is played into: the main grid (0), then the
  // extension monitors' grids 1, 2, 3 while the multi-screen option is on.
  virtual int GetLiveGridCount() = 0;
  // The grid's add-watch of one record into pane `pane` (no search for a free
  // pane, screen state saved): its answer, kPaneBeyondLayout past its layout.
  virtual int AddWatchInGrid(int grid, int pane, DevInfo* dev) = 0;

  // Relay channels (the leaves under "VSS"). The pane of a live grid under a
  // drop (the window there or one of its children) becomes its grid's
  // selected pane: its grid in `grid` (0 the main grid, 1 to 3 the extension
  // monitors' while the multi-screen option is on); false when no pane is there.
  virtual bool SelectDropPane(QWidget* /*dropWnd*/, int* /*grid*/) { return false; }
  // Stops what that grid's selected pane shows (relay video or a watch).
  virtual void StopSelectedPane(int /*grid*/) {}
  // Closes the relay video of every main-grid pane that shows the device.
  virtual void CloseMainGridRelay(const RelayDevice& /*dev*/) {}
  // Stops every pane of the main grid and, while the multi-screen option is
  // on, of the extension grids.
  virtual void StopAllLivePanes() {}
  // The number of panes the main grid shows.
  virtual int MainGridShownCount() { return 0; }
  // 1 while a relay video asked for belongs in an extension grid, else 0.
  virtual void SetExtGridRelayFlag(int /*flag*/) {}

  // The record search: whether it sits on an extension monitor, and the
  // device it searches the records of.
  virtual bool IsRecordSearchOnExtScreen() = 0;
  virtual void SetSearchDevInfo(DevInfo* dev) = 0;

  // The e-map window: its maps, the name of the map it shows ("" when none),
  // and opening a map by name.
  virtual std::vector<MapEntry> GetMapList() = 0;
  virtual CString GetShownMapName() = 0;
  virtual void ShowMap(const CString& mapName) = 0;
  // The names of the maps with a camera point of this device.
  virtual std::vector<CString> GetMapsHoldingDevice(const CString& devName) = 0;
};
