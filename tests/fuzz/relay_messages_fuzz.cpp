// Feeds arbitrary bytes to the main window's relay handlers as the relay
// library hands them what a peer or a relay server sent: the first byte picks
// the message, the rest fills its record (text fields ended as the library
// ends them) and the word that came with it. The peer's side: user check,
// live video and its close, record searches, day searches, replay and
// download starts, their follow-ups, PTZ requests. The relay server's side:
// device lists, device states, video answers, preset lists, connection ends.
//
// The devices, the relay server and the record scheme (a folder tree in a
// temporary folder, with no record file in it, so that no serving thread
// starts) are made again for every input. Every record handed over must be
// given back.
#include <QLoggingCategory>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "core/user_info.h"
#include "live/live_messages.h"
#include "pelk/pelk_auth.h"
#include "pelk/pelk_engine.h"
#include "relay/login/vss_info.h"
#include "relay/relay_message_handler.h"
#include "relay/relay_messages.h"
#include "records/search/rec_tree.h"

namespace {

constexpr char kLocalMac[] = "AABBCCDDEEFF";
constexpr LONG kServerLogin = 5;

pelk::RecordStore& Records() { return pelk::Engine::Default().Records(); }

// The bytes after the selector, read front to back; zeros past the end.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  void Fill(void* out, size_t length) {
    const size_t taken = std::min(length, size_ - pos_);
    std::memcpy(out, data_ + pos_, taken);
    std::memset(static_cast<uint8_t*>(out) + taken, 0, length - taken);
    pos_ += taken;
  }
  uint32_t Word() {
    uint32_t word = 0;
    Fill(&word, sizeof word);
    return word;
  }
  template <class T>
  T* Record() {
    T* record = Records().NewRecord<T>();
    Fill(record, sizeof *record);
    return record;
  }
  std::string Rest() {
    std::string rest(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
    pos_ = size_;
    return rest;
  }
  size_t Left() const { return size_ - pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// The record folders and their scheme; removed with the process.
RecTree& Tree() {
  static RecTree tree;
  return tree;
}

// The state every input starts from.
void Reset() {
  g_lstDevInfo.clear();
  g_lstDevInfo.push_back(MakeDevice(1, "Cam", "10.0.0.1", 0, "Cam"));
  g_lstDevInfo.push_back(MakeDevice(3, "Nvr", "10.0.0.2", 0, "Nvr"));
  g_lstDevInfo.push_back(MakeDevice(4, "Channel1", "10.0.0.2", 1, "Nvr"));
  g_lstDevInfo.back().nOnline = 1;
  int gimbroId = 1;
  for (DevInfo& dev : g_lstDevInfo) dev.GimbroId = gimbroId++;
  g_lstVssInfo.clear();
  Vemo2Node& server = g_lstVssInfo.emplace_back();
  server.nLoginHandle = kServerLogin;
  CopyFixedText(server.DevName, "Relay");
  RelayDevice& listed = server.lstRelayDevice.emplace_back();
  listed.nType = 1;
  CopyFixedText(listed.IPAddr, "10.0.1.1");
  CopyFixedText(listed.MACAddr, "112233445566");
  CopyFixedText(listed.DevName, "Far");
  listed.nId = 1;
  listed.nState = 1;
  g_lstRecSchemeInfo = Tree().Schemes();
}

void Setup() {
  QLoggingCategory::setFilterRules(QStringLiteral("vemo.*=false"));
  // A day folder of each kind, so that the searches have folders to walk.
  const std::string storage = Tree().Storage("s");
  for (const char* kind : {"Schedule", "IO", "Motion"}) Tree().DayFolder(storage, "Cam", kind, 2024, 1, 1);
  Tree().AddScheme(storage).lstDev.push_back(MakeDevice(1, "Cam", "10.0.0.1", 0, "Cam"));
  CopyFixedText(g_szCurUser, "admin");
  CopyFixedText(g_szCurPassword, "E10ADC3949BA59ABBE56E057F20F883E");
}

void Send(CRelayMessageHandler& handler, UINT msg, void* record, LPARAM lParam) {
  handler.HandleMessage(msg, reinterpret_cast<WPARAM>(record), lParam);
}

void Feed(CRelayMessageHandler& handler, uint8_t selector, Input& in) {
  const DWORD word = in.Word();
  switch (selector % 24) {
    case 0: {
      PelkPasswordVerifier verifier;
      in.Fill(verifier.serverNonce.data(), verifier.serverNonce.size());
      in.Fill(verifier.clientNonce.data(), verifier.clientNonce.size());
      in.Fill(verifier.proof.data(), verifier.proof.size());
      verifier.userName = in.Rest().substr(0, pelk::kMaxUserName);
      const std::string name = verifier.userName;
      handler.HandleMessage(WM_RELAY_CHECK_USER, reinterpret_cast<WPARAM>(name.c_str()),
                            reinterpret_cast<LPARAM>(&verifier));
      return;
    }
    case 1:
    case 2:
    case 3: {
      static constexpr UINT kMessages[] = {WM_RELAY_VIDEO_REQUEST, WM_RELAY_VIDEO_CLOSE, WM_RELAY_PTZ_PRESET_LIST};
      auto* record = in.Record<RelayRequestRecord>();
      pelk::Terminate(record->szDevKey);
      return Send(handler, kMessages[selector % 24 - 1], record, word);
    }
    case 4: {
      auto* record = in.Record<ReplaySearchRequest>();
      pelk::Terminate(record->szDevKey);
      pelk::Terminate(record->szStart);
      pelk::Terminate(record->szEnd);
      return Send(handler, WM_RELAY_REPLAY_SEARCH, record, word);
    }
    case 5:
    case 6: {
      auto* record = in.Record<RelayFileRequest>();
      pelk::Terminate(record->szDevKey);
      pelk::Terminate(record->szPath);
      return Send(handler, selector % 24 == 5 ? WM_RELAY_REPLAY_START : WM_RELAY_DOWNLOAD_REQUEST, record, word);
    }
    case 7: {
      auto* record = in.Record<SearchByDateRequest>();
      pelk::Terminate(record->szDevKey);
      return Send(handler, WM_RELAY_REPLAY_SEARCH_BY_DATE, record, word);
    }
    case 8:
    case 9:
    case 10:
    case 11: {
      static constexpr UINT kMessages[] = {WM_RELAY_REPLAY_SEEK, WM_RELAY_REPLAY_INDEX, WM_RELAY_REPLAY_SPEED,
                                           WM_RELAY_DOWNLOAD_STOP};
      auto* record = in.Record<RelayReplayControl>();
      pelk::Terminate(record->szDevKey);
      pelk::Terminate(record->szPath);
      return Send(handler, kMessages[selector % 24 - 8], record, word);
    }
    case 12:
    case 13:
    case 14: {
      static constexpr UINT kMessages[] = {WM_RELAY_REPLAY_SEEK_BY_DATE, WM_RELAY_REPLAY_CONTROL_BY_DATE,
                                           WM_RELAY_REPLAY_SPEED_BY_DATE};
      auto* record = in.Record<RelayByDateControl>();
      pelk::Terminate(record->szDevKey);
      return Send(handler, kMessages[selector % 24 - 12], record, word);
    }
    case 15: {
      auto* record = in.Record<RelayPtzDirection>();
      pelk::Terminate(record->szDevKey);
      return Send(handler, WM_RELAY_PTZ_DIRECTION, record, 0);
    }
    case 16: {
      auto* record = in.Record<RelayPtzPreset>();
      pelk::Terminate(record->szDevKey);
      pelk::Terminate(record->szPreset);
      return Send(handler, WM_RELAY_PTZ_PRESET, record, 0);
    }
    case 17: {
      auto* record = in.Record<RelayPtzAux>();
      pelk::Terminate(record->szDevKey);
      return Send(handler, WM_RELAY_PTZ_AUX, record, 0);
    }
    case 18: {
      // A relay server's list: as many entries as the bytes fill.
      const size_t count = std::min<size_t>(in.Left() / sizeof(RelayDeviceEntry) + 1, 64);
      auto* record = Records().NewRecord<RelayDeviceListRecord>();
      record->pList = Records().NewArray<RelayDeviceEntry>(count);
      record->dwCount = static_cast<DWORD>(count);
      for (size_t i = 0; i < count; ++i) {
        RelayDeviceEntry& entry = record->pList[i];
        in.Fill(&entry, sizeof entry);
        pelk::Terminate(entry.IPAddr);
        pelk::Terminate(entry.DevName);
        pelk::Terminate(entry.DevSN);
        pelk::Terminate(entry.MACAddr);
      }
      return Send(handler, WM_RELAY_DEVICE_LIST, record, word & 1 ? kServerLogin : static_cast<LONG>(word));
    }
    case 19: {
      auto* record = in.Record<RelayDeviceStateRecord>();
      pelk::Terminate(record->szDevKey);
      return Send(handler, WM_RELAY_DEVICE_STATE, record, static_cast<LONG>(word));
    }
    case 20: {
      auto* record = in.Record<RelayVideoAnswer>();
      pelk::Terminate(record->szDevKey);
      return Send(handler, WM_RELAY_CHANNEL_NOTIFY, record, kServerLogin);
    }
    case 21: {
      auto* record = in.Record<RelayPresetListAnswer>();
      pelk::Terminate(record->szDevKey);
      pelk::Terminate(record->szText);
      return Send(handler, WM_RELAY_PRESET_LIST_ANSWER, record, kServerLogin);
    }
    case 22:
      return Send(handler, WM_RELAY_SERVER_CLOSED, nullptr, static_cast<LONG>(word));
    default: {
      // The text lines of an NVR's channel count and channel states.
      const std::string text = in.Rest();
      handler.HandleMessage(word & 1 ? WM_DEVCHANNELSCHANGED : WM_DEVSTATEREPORT, (word >> 1) % 4,
                            reinterpret_cast<LPARAM>(text.c_str()));
      return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Setup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Reset();
  RelayHost host;
  host.LocalMac = [] { return std::string(kLocalMac); };
  CRelayMessageHandler handler(host);
  // Several messages per input, so that a follow-up may meet what a first one left.
  Input in(data + 1, size - 1);
  uint8_t selector = data[0];
  for (int i = 0; i < 4; ++i) {
    Feed(handler, selector, in);
    if (in.Left() == 0) break;
    in.Fill(&selector, 1);
  }
  if (Records().Outstanding() != 0) __builtin_trap();
  return 0;
}
