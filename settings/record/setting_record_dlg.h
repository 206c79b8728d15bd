// CSettingRecordDlg: the record-scheme page of the configuration manager
// (template 146). It shows one record scheme at a time: name, storage policy,
// trigger, three storage paths with their folder pickers, the channels it
// records (the scheme tree beside the tree of every recordable channel, with
// Add and Remove between them), stream, audio, file length, pre-record and
// motion-record times, on/off and seven weekly spans. "Add Strategy",
// "Modify Strategy" and "Del Strategy" change g_lstRecSchemeInfo
// (RecSchemeEditor) and rewrite "RecInfo.xml" after each success; the page owns
// the default scheme ("Default Strategy"), which it creates once when devices
// exist and the scheme is missing. Every message appears in the page's own
// message box (type 2).
//
// The page names the scheme it shows and the channels of its trees (never a
// pointer into the lists that other windows and threads change): a scheme
// deleted while shown stays in the form, and a Modify then answers that the
// scheme does not exist.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/rec_scheme.h"
#include "settings/config_panel.h"
#include "settings/record/rec_scheme_channels.h"
#include "settings/record/rec_scheme_form.h"

class CConfigHost;
class CResMsgDlg;
class IRecEnvironment;
class IRecStreams;
class QTreeWidget;
class QTreeWidgetItem;

class CSettingRecordDlg : public CConfigPanel {
 public:
  enum { IDD = 146 };
  enum {
    IDC_SCHEME_NAME = 1048, IDC_SAVE_DATE = 1049, IDC_PATH1 = 1050, IDC_PATH2 = 1051, IDC_PATH3 = 1052,
    IDC_DET_REC_TIME = 1055, IDC_STORAGE_SCHEME = 1114, IDC_ON_OFF = 1115, IDC_REC_STREAM = 1116,
    IDC_START_TYPE = 1118, IDC_PRE_REC_TIME = 1286, IDC_FILE_TIME = 1296, IDC_REC_AUDIO = 1202,
    IDC_SCHEME_TREE = 1142, IDC_DEV_TREE = 1143, IDC_BTN_ADD_DEV = 1144, IDC_BTN_REMOVE_DEV = 1145,
    IDC_BTN_BROWSE1 = 1184, IDC_BTN_BROWSE2 = 1185, IDC_BTN_BROWSE3 = 1186,
    IDC_BTN_ADD = 1172, IDC_BTN_DEL = 1187, IDC_BTN_MODIFY = 1171,
    IDC_DET_LABEL = 1188, IDC_NOTE = 1284,
  };
  // Check box, day combo, start and end picker of span row k (0-based here).
  static constexpr std::array<int, kSpanRowCount> kSpanCheck = {1006, 1011, 1146, 1147, 1148, 1093, 1149};
  static constexpr std::array<int, kSpanRowCount> kSpanDay = {1117, 1204, 1205, 1206, 1207, 1208, 1209};
  static constexpr std::array<int, kSpanRowCount> kSpanStart = {1150, 1152, 1154, 1156, 1158, 1160, 1162};
  static constexpr std::array<int, kSpanRowCount> kSpanEnd = {1151, 1153, 1155, 1157, 1159, 1161, 1163};
  // The configuration manager's record button, whose caption follows the default scheme.
  static constexpr int kCfgRecordButton = 1297;

  explicit CSettingRecordDlg(QWidget* parent = nullptr);
  ~CSettingRecordDlg() override;

  // The main window: the record-scheme tree and the record-all state.
  void SetHost(CConfigHost* host) { m_pHost = host; }
  // The free space of the drives and the stream objects whose recordings a
  // Modify or Delete stops; null (the default) for the system's drives and
  // the program's stream objects.
  void SetRecEnvironment(IRecEnvironment* env) { m_pEnv = env; }
  void SetRecStreams(IRecStreams* streams) { m_pStreams = streams; }
  // The folder picker: the chosen folder (native path), nullopt when cancelled.
  // By default the system's picker, titled "Selected Path:".
  void SetFolderChooser(std::function<std::optional<QString>(const QString& title)> chooser) {
    m_chooseFolder = std::move(chooser);
  }

  // Shows a scheme of the list; null does nothing.
  void ShowSchemeInfo(RecSchemeInfo* scheme);
  // Shows the default scheme, or creates it once in the page's life when
  // devices exist: paths from the drives D to K with 5 GB free, appended under
  // g_csAppData, the record-scheme tree shown, "RecInfo.xml" saved. Returns 0.
  int CreateDefaultScheme();
  // The device editor's new channel joins the default scheme (not saved here).
  void AddDevToDefaultScheme(DevInfo dev);
  // Rebuilds the tree of every recordable channel.
  void InitDevTree();

  // The shown scheme while it is still in the list; null otherwise.
  RecSchemeInfo* ShownScheme() const;

  // Handlers of the page's buttons, trees and trigger combo.
  void OnBnClickedBrowse(int path);  // 1, 2 or 3
  // Whether the file system that holds `path` has 5 GB free; when it has not
  // (or cannot be asked), 777 "The storage space less than 5G, please check!"
  // is shown in the page's message box.
  BOOL CheckDiskSpace(const std::string& path);
  void OnBnClickedAddDev();
  void OnBnClickedRemoveDev();
  void OnBnClickedAdd();
  void OnBnClickedModify();
  void OnBnClickedDelScheme();
  void OnTriggerChanged(int selection);
  void OnTreeClick(QTreeWidget* tree, QTreeWidgetItem* item);
  // Re-images the channels of both trees from their records.
  void UpdateDevIcons();

  BOOL OnInitDialog() override;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void InitControls();
  void InitTrees();
  void ResetTimeSpans();
  void ShowSpanRows(const std::array<RecSpanRow, kSpanRowCount>& rows);
  RecSchemeForm ReadForm() const;
  void FillSchemeTree(const RecSchemeInfo& scheme);
  std::vector<ChannelKey> SchemeTreeChannels() const;
  void Layout();
  void ShowMsg(UINT id);
  void ShowMsgText(const QString& text);
  void ShowRefusal(UINT textId, int spanRow, const std::string& channel);
  void FollowDefaultOnOff(int onOff);
  IRecEnvironment& Env() const;
  IRecStreams& Streams() const;
  std::function<void(const DevInfo&, int)> StateReport() const;

  CConfigHost* m_pHost = nullptr;
  IRecEnvironment* m_pEnv = nullptr;
  IRecStreams* m_pStreams = nullptr;
  std::function<std::optional<QString>(const QString&)> m_chooseFolder;
  CResMsgDlg* m_pMsgDlg = nullptr;
  // The shown scheme: its pointer as it was handed to the page (compared, never
  // followed, until it is found in the list again) and its name.
  RecSchemeInfo* m_pCurRecScheme = nullptr;
  std::optional<std::string> m_strShownName;
  int m_bInitialized = 0;
  int m_bDefaultCreated = 0;
  int m_nDetRecTime = 0;
};
