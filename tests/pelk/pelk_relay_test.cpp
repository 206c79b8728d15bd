// Two relay engines on 127.0.0.1: B serves, A logs in and asks.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "common/wait_for.h"
#include "pelk/pelk_client.h"
#include "pelk/pelk_server.h"
#include "pelk/pelk_time.h"
#include "pelk/pelk_wire.h"
#include "pelk_test_support.h"

namespace {

constexpr char kKey[] = "00-1A-2B-3C-4D-5E:192.168.1.20";

RelayDeviceEntry Entry(int id, const char* name) {
  RelayDeviceEntry entry;
  entry.nType = id % 5;
  std::strcpy(entry.IPAddr, "192.168.100.200");
  std::memset(entry.DevName, 'N', sizeof entry.DevName - 1);  // the longest name the field holds
  std::memcpy(entry.DevName, name, std::strlen(name));
  std::strcpy(entry.DevSN, "SN-0123456789ABCDEF0123456789AB");
  std::strcpy(entry.MACAddr, "00-1A-2B-3C-4D-5E");
  entry.nParentId = id / 2;
  entry.nId = id;
  entry.nState = 3;
  entry.nStream = 1;
  return entry;
}

std::vector<BYTE> Block(size_t size, const char* codec) {
  std::vector<BYTE> block(size, 0);
  std::memcpy(block.data(), codec, std::strlen(codec));
  for (size_t i = 256; i < size; ++i) block[i] = static_cast<BYTE>(i * 7);
  return block;
}

}  // namespace

TEST(PelkLoginTest, TheUserCheckDecides) {
  EnginePair pair;
  ASSERT_GT(pair.port, 0);
  struct Case {
    const char* user;
    const char* password;
    bool accepted;
  };
  const Case cases[] = {
      {"admin", kTestDigest, true},
      {"ADMIN", "e10adc3949ba59abbe56e057f20f883e", true},  // letter case does not matter
      {"admin", "E10ADC3949BA59ABBE56E057F20F883F", false},
      {"guest", kTestDigest, false},
      {"admin", "", false},
  };
  for (const Case& c : cases) {
    const LONG handle = pair.Login(c.user, c.password);
    EXPECT_EQ(handle != 0, c.accepted) << c.user << " " << c.password;
    if (handle) pair.a->client().LogOut(handle);
  }
  EXPECT_EQ(pair.sinkB->checks, 5);
  // Two logins hold two distinct, stable handles.
  const LONG first = pair.Login();
  const LONG second = pair.Login();
  EXPECT_NE(first, 0);
  EXPECT_NE(second, 0);
  EXPECT_NE(first, second);
  EXPECT_TRUE(WaitFor([&] { return pair.b->server().LoggedInPeers() == 2; }));
  EXPECT_EQ(pair.a->client().IsInnerIp(first), 1);
}

TEST(PelkLoginTest, AServerThatDoesNotListenOrAnAddressThatIsNoneRefuses) {
  pelk::Engine engine(FastOptions());
  EXPECT_EQ(engine.client().Login("127.0.0.1", 1, kTestUser, kTestDigest), 0);
  EXPECT_EQ(engine.client().Login("not an address", 8899, kTestUser, kTestDigest), 0);
  EXPECT_EQ(engine.client().Login("127.0.0.1", 0, kTestUser, kTestDigest), 0);
}

// The UI thread logs in to its own server: the check runs while it waits.
TEST(PelkLoginTest, ALoginFromTheUiThreadToItsOwnServerIsChecked) {
  pelk::Engine engine(FastOptions());
  MessageSink sink(engine);
  ASSERT_EQ(engine.server().Start("127.0.0.1", 0, 4, 4), 1);
  const auto start = std::chrono::steady_clock::now();
  const LONG handle = engine.client().Login("127.0.0.1", engine.server().Port(), kTestUser, kTestDigest);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_NE(handle, 0);
  EXPECT_EQ(sink.checks, 1);
  EXPECT_LT(took, std::chrono::milliseconds(FastOptions().checkTimeoutMs));
  // Stopping the server from the UI thread while its peer is there.
  EXPECT_EQ(engine.server().Stop(), 0);
  PostedMessage closed;
  EXPECT_TRUE(sink.Take(WM_RELAY_SERVER_CLOSED, &closed));
  EXPECT_EQ(closed.lParam, handle);
}

TEST(PelkLoginTest, MoreUsersThanTheLimitAreRefused) {
  EnginePair pair(4, 1);
  const LONG first = pair.Login();
  EXPECT_NE(first, 0);
  EXPECT_EQ(pair.Login(), 0);
  EXPECT_EQ(pair.sinkB->checks, 1);  // refused before the check
  pair.a->client().LogOut(first);
  ASSERT_TRUE(WaitFor([&] { return pair.b->server().LoggedInPeers() == 0; }));
  EXPECT_NE(pair.Login(), 0);
  // A raised limit lets a second one in.
  EXPECT_EQ(pair.b->server().Modify(4, 2), 1);
  EXPECT_NE(pair.Login(), 0);
}

TEST(PelkRelayTest, DeviceListRoundTripIsByteExact) {
  EnginePair pair;
  const LONG login = pair.Login();
  ASSERT_NE(login, 0);
  std::vector<RelayDeviceEntry> served;
  for (int i = 1; i <= 40; ++i) served.push_back(Entry(i, ("Camera-" + std::to_string(i)).c_str()));
  pair.sinkB->handler = [&](const PostedMessage& m) {
    if (m.msg != WM_RELAY_GET_DEVICE_LIST) return false;
    EXPECT_EQ(m.wParam, 0u);
    pair.b->server().RspDeviceList(PELK_STATUS_ANSWER, static_cast<DWORD>(m.lParam), served.data(),
                                   static_cast<LONG>(served.size()));
    return true;
  };
  EXPECT_EQ(pair.a->client().InviteDeviceList(login), 1);
  PostedMessage list;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_DEVICE_LIST, &list));
  EXPECT_EQ(list.lParam, login);
  auto* record = reinterpret_cast<RelayDeviceListRecord*>(list.wParam);
  ASSERT_EQ(record->dwCount, served.size());
  EXPECT_EQ(std::memcmp(record->pList, served.data(), served.size() * sizeof(RelayDeviceEntry)), 0);
  pair.sinkA->GiveBack(record, record->pList);
  EXPECT_EQ(pair.a->Records().Outstanding(), 0u);

  // An empty list and a refused one.
  pair.sinkB->handler = [&](const PostedMessage& m) {
    if (m.msg != WM_RELAY_GET_DEVICE_LIST) return false;
    pair.b->server().RspDeviceList(PELK_STATUS_ANSWER, static_cast<DWORD>(m.lParam), nullptr, 0);
    return true;
  };
  pair.a->client().InviteDeviceList(login);
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_DEVICE_LIST, &list));
  record = reinterpret_cast<RelayDeviceListRecord*>(list.wParam);
  EXPECT_EQ(record->dwCount, 0u);
  pair.sinkA->GiveBack(record, record->pList);
}

TEST(PelkRelayTest, LiveVideoAnswerAndFramesReachTheCallbackInOrder) {
  EnginePair pair;
  const LONG login = pair.Login();
  ASSERT_NE(login, 0);
  const std::vector<BYTE> video = Block(PELK_VIDEO_PARAM_SIZE, "H264");
  PostedMessage request;
  ASSERT_EQ(pair.a->client().InviteDeviceVideo(login, kKey, 1, 3), 0);
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_VIDEO_REQUEST, &request));
  const auto* asked = reinterpret_cast<const RelayRequestRecord*>(request.wParam);
  EXPECT_STREQ(asked->szDevKey, kKey);
  EXPECT_EQ(asked->dwStream, 1u);
  EXPECT_EQ(asked->dwChannel, 3u);
  const DWORD word = static_cast<DWORD>(request.lParam);
  EXPECT_NE(word, 0u);
  // A stream without audio: the answer carries no audio block.
  const DWORD handle = pair.b->server().RspDeviceVideo(PELK_STATUS_ANSWER, asked->szDevKey, asked->dwStream,
                                                       asked->dwChannel, asked->dwWord3, word, video.data(), nullptr);
  EXPECT_NE(handle, 0u);
  pair.sinkB->GiveBack(request.wParam ? reinterpret_cast<void*>(request.wParam) : nullptr);
  // Answering the same word again finds nothing.
  EXPECT_EQ(pair.b->server().RspDeviceVideo(PELK_STATUS_ANSWER, kKey, 1, 3, 0, word, video.data(), nullptr), 0u);

  PostedMessage answer;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_CHANNEL_NOTIFY, &answer));
  EXPECT_EQ(answer.lParam, login);
  const auto* notify = reinterpret_cast<const RelayVideoAnswer*>(answer.wParam);
  EXPECT_STREQ(notify->szDevKey, kKey);
  EXPECT_EQ(notify->dwMainId, 1u);
  EXPECT_EQ(notify->dwSubId, 3u);
  EXPECT_EQ(std::memcmp(notify->VideoParam, video.data(), video.size()), 0);
  EXPECT_EQ(notify->AudioParam[0], 0);
  pair.sinkA->GiveBack(reinterpret_cast<void*>(answer.wParam));

  struct Seen {
    std::mutex mutex;
    std::vector<std::pair<DWORD, std::vector<BYTE>>> frames;
    LONG login = 0;
    int context = 0;
  } seen;
  auto callback = [](LONG loginHandle, DWORD mainId, DWORD subId, LONG kind, const BYTE* data, LONG length,
                     const RelayFrameInfo* info, void* ctx) -> LONG {
    auto* s = static_cast<Seen*>(ctx);
    std::lock_guard<std::mutex> lock(s->mutex);
    EXPECT_EQ(mainId, 1u);
    EXPECT_EQ(subId, 3u);
    EXPECT_EQ(kind, PELK_MEDIA_VIDEO);
    s->login = loginHandle;
    s->frames.emplace_back(info->dwSequence, std::vector<BYTE>(data, data + length));
    return 1;
  };
  pair.a->RealData().Register(kKey, 1, 3, callback, &seen);
  const int frames = 200;
  for (int i = 1; i <= frames; ++i) {
    std::vector<BYTE> data(1000 + i, static_cast<BYTE>(i));
    RelayFrameInfo info;
    info.dwKeyFlag = i % 25 == 1;
    info.dTime = 40.0 * i;
    info.dwSequence = static_cast<DWORD>(i);
    EXPECT_EQ(pair.b->server().ReportAVData(handle, kKey, 1, 3, PELK_MEDIA_VIDEO, data.data(),
                                            static_cast<LONG>(data.size()), &info),
              0);
  }
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard<std::mutex> lock(seen.mutex);
    return seen.frames.size() == static_cast<size_t>(frames);
  }));
  std::lock_guard<std::mutex> lock(seen.mutex);
  EXPECT_EQ(seen.login, login);
  for (int i = 0; i < frames; ++i) {
    EXPECT_EQ(seen.frames[i].first, static_cast<DWORD>(i + 1));
    EXPECT_EQ(seen.frames[i].second, std::vector<BYTE>(1001 + i, static_cast<BYTE>(i + 1)));
  }
  // Closing the served video makes later reports no-ops.
  EXPECT_EQ(pair.b->server().CloseDeviceVideo(handle), 0);
  const BYTE one = 1;
  EXPECT_EQ(pair.b->server().ReportAVData(handle, kKey, 1, 3, 0, &one, 1, nullptr), -1);
}

TEST(PelkRelayTest, VideoRequestsPastTheLimitAreRefusedByTheLibrary) {
  EnginePair pair(1, 4);
  const LONG login = pair.Login();
  ASSERT_NE(login, 0);
  pair.a->client().InviteDeviceVideo(login, kKey, 1, 0);
  pair.a->client().InviteDeviceVideo(login, kKey, 0, 0);
  PostedMessage refused;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_CHANNEL_NOTIFY, &refused));
  const auto* answer = reinterpret_cast<const RelayVideoAnswer*>(refused.wParam);
  EXPECT_EQ(answer->dwMainId, 0u);  // the second request
  EXPECT_EQ(answer->VideoParam[0], 0);
  pair.sinkA->GiveBack(reinterpret_cast<void*>(refused.wParam));
  EXPECT_EQ(pair.sinkB->Count(WM_RELAY_VIDEO_REQUEST), 1u);
}

// A frame arrives while the viewer unregisters: once the unregistration
// returned, the callback is never entered again.
TEST(PelkRelayTest, ACallbackIsNeverCalledAfterItsUnregistrationReturned) {
  EnginePair pair;
  const LONG login = pair.Login();
  ASSERT_NE(login, 0);
  pair.a->client().InviteDeviceVideo(login, kKey, 1, 0);
  PostedMessage request;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_VIDEO_REQUEST, &request));
  const std::vector<BYTE> video = Block(PELK_VIDEO_PARAM_SIZE, "H264");
  const DWORD handle =
      pair.b->server().RspDeviceVideo(0, kKey, 1, 0, 0, static_cast<DWORD>(request.lParam), video.data(), nullptr);
  ASSERT_NE(handle, 0u);
  struct State {
    std::atomic<bool> unregistered{false};
    std::atomic<int> calls{0};
    std::atomic<int> callsAfter{0};
  };
  for (int round = 0; round < 5; ++round) {
    State state;
    pair.a->RealData().Register(kKey, 1, 0,
                                [](LONG, DWORD, DWORD, LONG, const BYTE*, LONG, const RelayFrameInfo*, void* ctx) -> LONG {
                                  auto* s = static_cast<State*>(ctx);
                                  if (s->unregistered) ++s->callsAfter;
                                  ++s->calls;
                                  std::this_thread::sleep_for(std::chrono::microseconds(200));
                                  if (s->unregistered) ++s->callsAfter;
                                  return 1;
                                },
                                &state);
    std::atomic<bool> stop{false};
    std::thread pusher([&] {
      const std::vector<BYTE> data(500, 7);
      RelayFrameInfo info;
      info.dwKeyFlag = 1;
      while (!stop) {
        pair.b->server().ReportAVData(handle, kKey, 1, 0, 0, data.data(), 500, &info);
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
    });
    ASSERT_TRUE(WaitFor([&] { return state.calls > 20; }));
    const bool last = round == 4;
    if (last) {
      pair.a->client().InviteCloseDeviceVideo(login, kKey, 1, 0);
    } else {
      pair.a->RealData().Unregister(kKey, 1, 0);
    }
    state.unregistered = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
    pusher.join();
    EXPECT_EQ(state.callsAfter, 0) << "round " << round;
  }
  // The close reached the server with this peer's request word.
  PostedMessage close;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_VIDEO_CLOSE, &close));
  EXPECT_EQ(close.lParam, request.lParam);
  EXPECT_EQ(pair.b->server().OpenVideos(), 0u);
}

// Record searches by file and by date, with the texts and maps they carry.
TEST(PelkRelayTest, SearchesTravelBothWays) {
  EnginePair pair;
  const LONG login = pair.Login();
  ASSERT_NE(login, 0);
  const DATE start = pelk::ToAutomationDate(pelk::CivilTime{2024, 3, 1, 23, 0, 0});
  SYSTEMTIME end;
  end.wYear = 2024;
  end.wMonth = 3;
  end.wDay = 2;
  end.wHour = 1;
  ReplaySearchRequest search;
  pelk::CopyText(search.szDevKey, kKey);
  search.dwStreamSel = 2;
  search.dwChannel = 4;
  search.dwMediaSel = 3;
  search.dwRecKind = 1;
  search.dwTarget = 1;
  search.dwPage = 2;
  search.llMinSize = -2;
  search.llMaxSize = 5000000000LL;
  pelk::CopyText(search.szStart, pelk::FormatTimeText(pelk::FromAutomationDate(start)).c_str());
  pelk::CopyText(search.szEnd, pelk::FormatTimeText(pelk::FromSystemTime(end)).c_str());
  const LONG searchId = pair.a->client().InviteReplaySearch(login, search);
  ASSERT_GT(searchId, 0);
  PostedMessage asked;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_REPLAY_SEARCH, &asked));
  const auto* got = reinterpret_cast<const ReplaySearchRequest*>(asked.wParam);
  EXPECT_STREQ(got->szStart, "2024-03-01 23:00:00");
  EXPECT_STREQ(got->szEnd, "2024-03-02 01:00:00");
  EXPECT_EQ(got->llMinSize, -2);
  EXPECT_EQ(got->llMaxSize, 5000000000LL);
  EXPECT_EQ(got->dwPage, 2u);
  EXPECT_EQ(got->dwSearchId, static_cast<DWORD>(searchId));
  const char text[] = "D:\\Record\\cam\\Local\\Schedule\\2024\\3\\1\\230000-vv1.avi?1024|x?2|";
  EXPECT_EQ(pair.b->server().RspReplaySearch(0, got->dwSearchId, static_cast<DWORD>(asked.lParam), 2, text), 0);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(asked.wParam));
  PostedMessage result;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_REPLAY_SEARCH_RESULT, &result));
  auto* found = reinterpret_cast<RelayReplaySearchResult*>(result.wParam);
  EXPECT_EQ(found->dwStatus, 0u);
  EXPECT_EQ(found->dwTotal, 2u);
  EXPECT_STREQ(found->pText, text);
  EXPECT_STREQ(found->szDevKey, kKey);
  pair.sinkA->GiveBack(found, found->pText);

  // By date: the day map comes back with the date.
  EXPECT_EQ(pair.a->client().InviteReplaySearchByDate(login, kKey, 2, 2024, 3, 1), 0);
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_REPLAY_SEARCH_BY_DATE, &asked));
  const auto* day = reinterpret_cast<const SearchByDateRequest*>(asked.wParam);
  EXPECT_EQ(day->dwYear, 2024u);
  EXPECT_EQ(day->dwMonth, 3u);
  EXPECT_EQ(day->dwDay, 1u);
  EXPECT_EQ(day->dwChannel, 2u);
  std::string map(PELK_DAY_MAP_SIZE, 'C');
  map[600] = 'A';
  map[1439] = 'B';
  EXPECT_EQ(pair.b->server().RspReplaySearchByDate(0, day->dwHandle, static_cast<DWORD>(asked.lParam), 2, map.c_str(),
                                                   pelk::ToAutomationDate(pelk::CivilTime{2024, 3, 1, 0, 0, 0})),
            0);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(asked.wParam));
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_REPLAY_SEARCH_BY_DATE_RESULT, &result));
  auto* dayResult = reinterpret_cast<RelaySearchByDateResult*>(result.wParam);
  EXPECT_STREQ(dayResult->szDevKey, kKey);
  EXPECT_EQ(dayResult->dwChannel, 2u);
  EXPECT_EQ(dayResult->dwYear, 2024u);
  EXPECT_EQ(dayResult->dwMonth, 3u);
  EXPECT_EQ(dayResult->dwDay, 1u);
  ASSERT_NE(dayResult->pDayMap, nullptr);
  EXPECT_EQ(std::string(dayResult->pDayMap), map);
  pair.sinkA->GiveBack(dayResult, dayResult->pDayMap);
}

namespace {
struct ReplaySeen {
  std::mutex mutex;
  std::vector<DWORD> sequences;
  std::string key;
  std::string name;
  DWORD session2 = 0;
  std::vector<LONG> attached;
  std::vector<DWORD> starts;
  uint64_t received = 0;
  uint64_t total = 0;
  std::vector<BYTE> downloaded;
};
}  // namespace

TEST(PelkRelayTest, AFileReplayIsAnsweredFedSteeredAndEnded) {
  EnginePair pair;
  ReplaySeen seen;
  pelk::EngineCallbacks callbacks;
  callbacks.realReplay = [](LONG, const char* key, DWORD, DWORD s2, LONG, const BYTE*, LONG, const RelayFrameInfo* info,
                            const char* name, void* ctx) -> LONG {
    auto* s = static_cast<ReplaySeen*>(ctx);
    std::lock_guard<std::mutex> lock(s->mutex);
    s->sequences.push_back(info->dwSequence);
    s->key = key;
    s->name = name;
    s->session2 = s2;
    return 1;
  };
  callbacks.realReplayContext = &seen;
  pair.a->SetCallbacks(callbacks);
  const LONG login = pair.Login();
  ASSERT_NE(login, 0);
  const char path[] = "D:\\Record\\cam\\Local\\Schedule\\2024\\3\\1\\230000-vv1.avi";
  ASSERT_EQ(pair.a->client().InviteReplayStart(login, kKey, 1, 0, 1, path), 0);
  PostedMessage start;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_REPLAY_START, &start));
  const auto* request = reinterpret_cast<const RelayFileRequest*>(start.wParam);
  EXPECT_STREQ(request->szPath, path);
  EXPECT_EQ(request->dwKind, 1u);
  const DWORD handle = request->dwHandle;
  const DWORD word = static_cast<DWORD>(start.lParam);
  EXPECT_NE(handle, 0u);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(start.wParam));
  const std::vector<BYTE> video = Block(PELK_VIDEO_PARAM_SIZE, "H264");
  EXPECT_EQ(pair.b->server().RspReplayStart(0, handle, word, video.data(), nullptr, path, 90), 0);
  PostedMessage answer;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_REPLAY_START_RESULT, &answer));
  const auto* result = reinterpret_cast<const RelayReplayStartResult*>(answer.wParam);
  EXPECT_EQ(result->dwStatus, 0u);
  EXPECT_EQ(result->dwSeconds, 90u);
  EXPECT_STREQ(result->szPath, path);
  EXPECT_STREQ(result->session.szDevKey, kKey);
  EXPECT_EQ(result->session.dwSession1, handle);
  EXPECT_EQ(result->session.dwSession2, word);
  EXPECT_EQ(std::memcmp(result->VideoParam, video.data(), video.size()), 0);
  EXPECT_EQ(result->AudioParam[0], 0);
  const RelayReplaySession session = result->session;
  pair.sinkA->GiveBack(reinterpret_cast<void*>(answer.wParam));

  for (DWORD i = 1; i <= 50; ++i) {
    const BYTE data[3] = {1, 2, 3};
    RelayFrameInfo info;
    info.dwSequence = i;
    EXPECT_EQ(pair.b->server().ReportReplayData(handle, word, 0, data, 3, &info), 0);
  }
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard<std::mutex> lock(seen.mutex);
    return seen.sequences.size() == 50;
  }));
  {
    std::lock_guard<std::mutex> lock(seen.mutex);
    for (DWORD i = 0; i < 50; ++i) EXPECT_EQ(seen.sequences[i], i + 1);
    EXPECT_EQ(seen.name, path);
    EXPECT_EQ(seen.key, kKey);
    EXPECT_EQ(seen.session2, word);
  }

  // Steering: each viewer call arrives as the serving side's message and value.
  struct Step {
    std::function<LONG()> call;
    UINT msg;
    DWORD value;
  };
  pelk::Client& client = pair.a->client();
  const DWORD s2 = session.dwSession2;
  const Step steps[] = {
      {[&] { return client.ReplayControl(login, s2, pelk::kCtrlCode, 6); }, WM_RELAY_REPLAY_SEEK, 6},
      {[&] { return client.ReplayControl(login, s2, pelk::kCtrlSpeed, pelk::ServingSpeed(9)); }, WM_RELAY_REPLAY_SPEED,
       4},
      {[&] { return client.ReplayControl(login, s2, pelk::kCtrlIndex, 61); }, WM_RELAY_REPLAY_INDEX, 61},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(step.call(), 0);
    PostedMessage message;
    ASSERT_TRUE(pair.sinkB->Take(step.msg, &message));
    const auto* control = reinterpret_cast<const RelayReplayControl*>(message.wParam);
    EXPECT_EQ(control->dwValue, step.value);
    EXPECT_STREQ(control->szPath, path);
    EXPECT_EQ(static_cast<DWORD>(message.lParam), word);
    pair.sinkB->GiveBack(reinterpret_cast<void*>(message.wParam));
  }
  // A session word that is not the peer's own is ignored.
  EXPECT_EQ(client.ReplayControl(login, s2 + 1000, pelk::kCtrlCode, 6), -1);

  EXPECT_EQ(pair.b->server().NotifyReplayStop(handle, word), 0);
  PostedMessage end;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_REPLAY_DATA_NOTIFY, &end));
  const auto* ended = reinterpret_cast<const RelayReplayEndRecord*>(end.wParam);
  EXPECT_STREQ(ended->szPath, path);
  pair.sinkA->GiveBack(reinterpret_cast<void*>(end.wParam));
  // The session is gone on both sides.
  const BYTE data = 0;
  EXPECT_EQ(pair.b->server().ReportReplayData(handle, word, 0, &data, 1, nullptr), -1);
  EXPECT_EQ(client.ReplayControl(login, s2, pelk::kCtrlCode, 7), -1);
}

TEST(PelkRelayTest, ADayReplayCarriesItsBlocksWithTheFirstChunkOfEachFile) {
  EnginePair pair;
  ReplaySeen seen;
  pelk::EngineCallbacks callbacks;
  callbacks.replayByDate = [](LONG, const char* key, DWORD, DWORD channel, LONG, const BYTE*, LONG,
                              const RelayFrameInfo*, const BYTE* video, const BYTE* audio, LONG attached, LONG,
                              DWORD start, void* ctx) -> LONG {
    auto* s = static_cast<ReplaySeen*>(ctx);
    std::lock_guard<std::mutex> lock(s->mutex);
    EXPECT_EQ(channel, 2u);
    EXPECT_STREQ(key, kKey);
    EXPECT_EQ(attached != 0, video != nullptr);
    EXPECT_EQ(audio, nullptr);
    s->attached.push_back(attached);
    s->starts.push_back(start);
    return 1;
  };
  callbacks.replayByDateContext = &seen;
  pair.a->SetCallbacks(callbacks);
  const LONG login = pair.Login();
  ReplayByDateRequest request;
  pelk::CopyText(request.szDevKey, kKey);
  request.dwChannel = 2;
  request.dwYear = 2024;
  request.dwMonth = 3;
  request.dwDay = 1;
  request.dwStartSecond = 36000;
  ASSERT_EQ(pair.a->client().InviteReplayStartByDate(login, request), 0);
  PostedMessage start;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_REPLAY_START_BY_DATE, &start));
  const auto* asked = reinterpret_cast<const ReplayByDateRequest*>(start.wParam);
  EXPECT_EQ(asked->dwStartSecond, 36000u);
  EXPECT_EQ(asked->dwDay, 1u);
  const DWORD handle = asked->dwHandle;
  const DWORD word = static_cast<DWORD>(start.lParam);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(start.wParam));
  const std::vector<BYTE> video = Block(PELK_VIDEO_PARAM_SIZE, "H264");
  const BYTE data[4] = {9, 9, 9, 9};
  const LONG firsts[] = {1, 0, 0, 1, 0};
  const DWORD starts[] = {36000, 36000, 36000, 36600, 36600};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(pair.b->server().ReportReplayDataByDate(handle, word, 0, data, 4, nullptr,
                                                      firsts[i] ? video.data() : nullptr, nullptr, firsts[i], 600,
                                                      starts[i]),
              0);
  }
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard<std::mutex> lock(seen.mutex);
    return seen.attached.size() == 5;
  }));
  EXPECT_EQ(seen.attached, std::vector<LONG>(std::begin(firsts), std::end(firsts)));
  EXPECT_EQ(seen.starts, std::vector<DWORD>(std::begin(starts), std::end(starts)));

  // Steering by key and channel; a seek is a jump to a second of the day.
  EXPECT_EQ(pair.a->client().ByDateControl(login, kKey, 2, pelk::kCtrlIndex, 40000), 0);
  PostedMessage jump;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_REPLAY_CONTROL_BY_DATE, &jump));
  EXPECT_EQ(reinterpret_cast<const RelayByDateControl*>(jump.wParam)->dwValue, 40000u);
  EXPECT_EQ(static_cast<DWORD>(jump.lParam), word);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(jump.wParam));
  // Named with channel 0, the key's only day replay is still found.
  EXPECT_EQ(pair.a->client().ByDateControl(login, kKey, 0, pelk::kCtrlSpeed, pelk::ServingSpeed(0)), 0);
  PostedMessage speed;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_REPLAY_SPEED_BY_DATE, &speed));
  EXPECT_EQ(reinterpret_cast<const RelayByDateControl*>(speed.wParam)->dwValue, 1u);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(speed.wParam));

  EXPECT_EQ(pair.b->server().NotifyReplayStopByDate(handle, word), 0);
  PostedMessage end;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_REPLAY_BY_DATE_NOTIFY, &end));
  const auto* ended = reinterpret_cast<const RelayByDateEndRecord*>(end.wParam);
  EXPECT_STREQ(ended->szDevKey, kKey);
  EXPECT_EQ(ended->dwChannel, 2u);
  pair.sinkA->GiveBack(reinterpret_cast<void*>(end.wParam));
}

TEST(PelkRelayTest, ADownloadArrivesWholeWithItsSizesAndCompletes) {
  EnginePair pair;
  ReplaySeen seen;
  pelk::EngineCallbacks callbacks;
  callbacks.download = [](LONG, const char*, DWORD, DWORD, LONG kind, const BYTE* data, LONG length, DWORD recvLow,
                          DWORD recvHigh, DWORD totalLow, DWORD totalHigh, const char*, void* ctx) -> LONG {
    auto* s = static_cast<ReplaySeen*>(ctx);
    std::lock_guard<std::mutex> lock(s->mutex);
    EXPECT_EQ(kind, 1);
    s->downloaded.insert(s->downloaded.end(), data, data + length);
    s->received = PelkMake64(recvLow, recvHigh);
    s->total = PelkMake64(totalLow, totalHigh);
    return 1;
  };
  callbacks.downloadContext = &seen;
  pair.a->SetCallbacks(callbacks);
  const LONG login = pair.Login();
  const char path[] = "D:\\Record\\cam\\Local\\IO\\2024\\3\\1\\101500-av2.avi";
  ASSERT_EQ(pair.a->client().InviteDloadStart(login, kKey, 0, 0, 1, path), 1);
  PostedMessage request;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_DOWNLOAD_REQUEST, &request));
  const auto* asked = reinterpret_cast<const RelayFileRequest*>(request.wParam);
  const DWORD handle = asked->dwHandle;
  const DWORD word = static_cast<DWORD>(request.lParam);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(request.wParam));
  std::vector<BYTE> file(15361 * 3 + 7);
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<BYTE>(i * 31);
  EXPECT_EQ(pair.b->server().RspDloadStart(0, handle, word, static_cast<DWORD>(file.size()), 0), 0);
  PostedMessage started;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_DOWNLOAD_FREE, &started));
  const auto* answer = reinterpret_cast<const RelayDownloadRecord*>(started.wParam);
  EXPECT_EQ(answer->dwStatus, 0u);
  EXPECT_EQ(answer->dwSizeLow, file.size());
  EXPECT_STREQ(answer->szPath, path);
  pair.sinkA->GiveBack(reinterpret_cast<void*>(started.wParam));
  for (size_t offset = 0; offset < file.size(); offset += 15360) {
    const size_t piece = std::min<size_t>(15360, file.size() - offset);
    EXPECT_EQ(pair.b->server().ReportDloadData(handle, word, file.data() + offset, static_cast<LONG>(piece), offset,
                                               file.size()),
              0);
  }
  EXPECT_EQ(pair.b->server().NotifyDloadStop(handle, word), 0);
  PostedMessage done;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_DOWNLOAD_NOTIFY, &done));
  EXPECT_STREQ(reinterpret_cast<const RelayDownloadRecord*>(done.wParam)->szPath, path);
  pair.sinkA->GiveBack(reinterpret_cast<void*>(done.wParam));
  std::lock_guard<std::mutex> lock(seen.mutex);
  EXPECT_EQ(seen.downloaded, file);
  EXPECT_EQ(seen.received, file.size());
  EXPECT_EQ(seen.total, file.size());
}

TEST(PelkRelayTest, ADownloadStoppedByTheViewerReachesItsSessionOnly) {
  EnginePair pair;
  const LONG login = pair.Login();
  const char path[] = "D:\\Record\\a.avi";
  pair.a->client().InviteDloadStart(login, kKey, 0, 0, 1, path);
  pair.a->client().InviteDloadStart(login, kKey, 0, 0, 1, "D:\\Record\\b.avi");
  PostedMessage first;
  PostedMessage second;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_DOWNLOAD_REQUEST, &first));
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_DOWNLOAD_REQUEST, &second));
  EXPECT_NE(first.lParam, second.lParam);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(first.wParam));
  pair.sinkB->GiveBack(reinterpret_cast<void*>(second.wParam));
  // The viewer knows the session once the server opened it.
  ASSERT_TRUE(WaitFor([&] { return pair.a->client().InviteDloadStop(login, kKey, path) == 0; }));
  PostedMessage stop;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_DOWNLOAD_STOP, &stop));
  EXPECT_EQ(stop.lParam, first.lParam);
  EXPECT_STREQ(reinterpret_cast<const RelayReplayControl*>(stop.wParam)->szPath, path);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(stop.wParam));
}

// A stop that comes before the server opened the download (on a busy machine
// the answer is late) is taken, and carried out as soon as the session opens.
TEST(PelkRelayTest, ADownloadStoppedBeforeItOpensIsStoppedWhenItOpens) {
  EnginePair pair;
  const LONG login = pair.Login();
  const char path[] = "D:\\Record\\c.avi";
  pair.a->client().InviteDloadStart(login, kKey, 0, 0, 1, path);
  EXPECT_EQ(pair.a->client().InviteDloadStop(login, kKey, path), 0);
  PostedMessage request;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_DOWNLOAD_REQUEST, &request));
  pair.sinkB->GiveBack(reinterpret_cast<void*>(request.wParam));
  PostedMessage stop;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_DOWNLOAD_STOP, &stop));
  EXPECT_EQ(stop.lParam, request.lParam);
  EXPECT_STREQ(reinterpret_cast<const RelayReplayControl*>(stop.wParam)->szPath, path);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(stop.wParam));
  EXPECT_EQ(pair.a->client().InviteDloadStop(login, kKey, path), -1);  // nothing left to stop
}

TEST(PelkRelayTest, PtzRequestsAndThePresetListAnswer) {
  EnginePair pair;
  const LONG login = pair.Login();
  pelk::Client& client = pair.a->client();
  RelayPtzDirection direction;
  pelk::CopyText(direction.szDevKey, kKey);
  direction.dwChannel = 3;
  direction.dwPanSpeed = 5;
  direction.dwTiltSpeed = 6;
  direction.dwCommand = 4;
  RelayPtzPreset preset;
  pelk::CopyText(preset.szDevKey, kKey);
  pelk::CopyText(preset.szPreset, "12");
  preset.dwAction = 3;
  RelayPtzAux aux;
  pelk::CopyText(aux.szDevKey, kKey);
  aux.dwAuxCommand = 37;
  RelayRequestRecord list;
  pelk::CopyText(list.szDevKey, kKey);
  list.dwChannel = 3;
  struct Case {
    uint16_t type;
    const void* record;
    size_t size;
    UINT msg;
  };
  const Case cases[] = {
      {pelk::kPtzDirection, &direction, sizeof direction, WM_RELAY_PTZ_DIRECTION},
      {pelk::kPtzPreset, &preset, sizeof preset, WM_RELAY_PTZ_PRESET},
      {pelk::kPtzAux, &aux, sizeof aux, WM_RELAY_PTZ_AUX},
      {pelk::kPtzPresetList, &list, sizeof list, WM_RELAY_PTZ_PRESET_LIST},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(client.SendRecord(login, c.type, c.record, c.size), 0);
    PostedMessage message;
    ASSERT_TRUE(pair.sinkB->Take(c.msg, &message));
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(message.wParam), c.record, c.size), 0) << c.msg;
    EXPECT_EQ(message.lParam, 0);
    pair.sinkB->GiveBack(reinterpret_cast<void*>(message.wParam));
  }
  // The preset list answer goes to the peer that asked, for that key and channel.
  EXPECT_EQ(pair.b->server().RspInvitePreset(kKey, 2, "1,2,3"), -1);
  EXPECT_EQ(pair.b->server().RspInvitePreset(kKey, 3, "1,2,3"), 0);
  PostedMessage answer;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_PRESET_LIST_ANSWER, &answer));
  const auto* text = reinterpret_cast<const RelayPresetListAnswer*>(answer.wParam);
  EXPECT_STREQ(text->szDevKey, kKey);
  EXPECT_EQ(text->dwChannel, 3u);
  EXPECT_STREQ(text->szText, "1,2,3");
  pair.sinkA->GiveBack(reinterpret_cast<void*>(answer.wParam));
  EXPECT_EQ(pair.b->server().RspInvitePreset(kKey, 3, "again"), -1);  // answered once
}

TEST(PelkRelayTest, ReportsReachEveryLoggedInPeer) {
  EnginePair pair;
  const LONG first = pair.Login();
  const LONG second = pair.Login();
  ASSERT_TRUE(WaitFor([&] { return pair.b->server().LoggedInPeers() == 2; }));
  pair.b->server().ReportDeviceState(kKey, 2, PELK_STATE_RECORDING);
  pair.b->server().NotifyUpdateDeviceList();
  RelayAlarmRecord alarm;
  alarm.nYear = 2024;
  alarm.nType = 25;
  alarm.nSubFlag = 1;
  pair.b->server().ReportAlarmInfo(kKey, 0, &alarm);
  for (int i = 0; i < 2; ++i) {
    PostedMessage state;
    ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_DEVICE_STATE, &state));
    EXPECT_EQ(state.lParam, PELK_STATE_RECORDING);
    EXPECT_STREQ(reinterpret_cast<const RelayDeviceStateRecord*>(state.wParam)->szDevKey, kKey);
    EXPECT_EQ(reinterpret_cast<const RelayDeviceStateRecord*>(state.wParam)->dwChannel, 2u);
    pair.sinkA->GiveBack(reinterpret_cast<void*>(state.wParam));
    PostedMessage changed;
    ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_DEVICE_LIST_CHANGED, &changed));
    EXPECT_TRUE(changed.lParam == first || changed.lParam == second);
    PostedMessage alarmMessage;
    ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_ALARM, &alarmMessage));
    const auto* got = reinterpret_cast<const RelayAlarmRecord*>(alarmMessage.lParam);
    EXPECT_EQ(std::memcmp(got, &alarm, sizeof alarm), 0);
    pair.sinkA->GiveBack(reinterpret_cast<void*>(alarmMessage.wParam));
    pair.sinkA->GiveBack(reinterpret_cast<void*>(alarmMessage.lParam));
  }
  EXPECT_EQ(pair.a->Records().Outstanding(), 0u);
}

// A peer that goes away mid-stream ends every session it held with the stops
// the serving handlers understand; later answers for it are no-ops.
TEST(PelkRelayTest, APeerKilledMidStreamEndsItsSessions) {
  EnginePair pair;
  const LONG login = pair.Login();
  pelk::Client& client = pair.a->client();
  client.InviteDeviceVideo(login, kKey, 1, 0);
  client.InviteDeviceVideo(login, kKey, 0, 0);  // asked, not answered yet
  client.InviteReplayStart(login, kKey, 1, 0, 1, "D:\\r.avi");
  ReplayByDateRequest day;
  pelk::CopyText(day.szDevKey, kKey);
  day.dwChannel = 1;
  client.InviteReplayStartByDate(login, day);
  client.InviteDloadStart(login, kKey, 1, 0, 1, "D:\\d.avi");
  PostedMessage video, pendingVideo, replay, byDate, download;
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_VIDEO_REQUEST, &video));
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_VIDEO_REQUEST, &pendingVideo));
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_REPLAY_START, &replay));
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_REPLAY_START_BY_DATE, &byDate));
  ASSERT_TRUE(pair.sinkB->Take(WM_RELAY_DOWNLOAD_REQUEST, &download));
  const std::vector<BYTE> block = Block(PELK_VIDEO_PARAM_SIZE, "H264");
  const DWORD handle =
      pair.b->server().RspDeviceVideo(0, kKey, 1, 0, 0, static_cast<DWORD>(video.lParam), block.data(), nullptr);
  ASSERT_NE(handle, 0u);
  const DWORD replayHandle = reinterpret_cast<const RelayFileRequest*>(replay.wParam)->dwHandle;
  for (PostedMessage* m : {&video, &pendingVideo, &replay, &byDate, &download}) {
    pair.sinkB->GiveBack(reinterpret_cast<void*>(m->wParam));
  }
  ASSERT_TRUE(WaitFor([&] { return pair.sinkA->Count(WM_RELAY_CHANNEL_NOTIFY) == 1; }));

  pair.a.reset();  // the viewer's process ends: its connection drops

  struct Expected {
    UINT msg;
    LPARAM word;
    DWORD value;
  };
  const Expected stops[] = {
      {WM_RELAY_VIDEO_CLOSE, video.lParam, 0},
      {WM_RELAY_VIDEO_CLOSE, pendingVideo.lParam, 0},
      {WM_RELAY_REPLAY_SEEK, replay.lParam, 5},
      {WM_RELAY_REPLAY_SEEK_BY_DATE, byDate.lParam, 5},
      {WM_RELAY_DOWNLOAD_STOP, download.lParam, 0},
  };
  for (const Expected& stop : stops) {
    PostedMessage message;
    ASSERT_TRUE(pair.sinkB->Take(stop.msg, &message)) << stop.msg;
    if (stop.msg == WM_RELAY_VIDEO_CLOSE) {
      EXPECT_TRUE(message.lParam == video.lParam || message.lParam == pendingVideo.lParam);
    } else {
      EXPECT_EQ(message.lParam, stop.word) << stop.msg;
    }
    if (stop.msg == WM_RELAY_REPLAY_SEEK) {
      EXPECT_EQ(reinterpret_cast<const RelayReplayControl*>(message.wParam)->dwValue, 5u);
    }
    if (stop.msg == WM_RELAY_REPLAY_SEEK_BY_DATE) {
      EXPECT_EQ(reinterpret_cast<const RelayByDateControl*>(message.wParam)->dwValue, 5u);
    }
    pair.sinkB->GiveBack(reinterpret_cast<void*>(message.wParam));
  }
  const BYTE one = 1;
  EXPECT_EQ(pair.b->server().ReportAVData(handle, kKey, 1, 0, 0, &one, 1, nullptr), -1);
  EXPECT_EQ(pair.b->server().ReportReplayData(replayHandle, static_cast<DWORD>(replay.lParam), 0, &one, 1, nullptr),
            -1);
  EXPECT_EQ(pair.b->server().RspDeviceVideo(0, kKey, 0, 0, 0, static_cast<DWORD>(pendingVideo.lParam), block.data(),
                                            nullptr),
            0u);
  EXPECT_EQ(pair.b->server().OpenVideos(), 0u);
  EXPECT_EQ(pair.b->Records().Outstanding(), 0u);
}

TEST(PelkRelayTest, TheViewerLearnsThatItsServerWentAway) {
  EnginePair pair;
  const LONG login = pair.Login();
  ASSERT_NE(login, 0);
  pair.b.reset();
  PostedMessage closed;
  ASSERT_TRUE(pair.sinkA->Take(WM_RELAY_SERVER_CLOSED, &closed));
  EXPECT_EQ(closed.lParam, login);
  EXPECT_EQ(pair.a->client().InviteDeviceList(login), 0);
  EXPECT_TRUE(WaitFor([&] { return pair.a->LiveLinks() == 0; }));
}

TEST(PelkRelayTest, ALoggedOutServerPostsNothingAndCallsNothing) {
  EnginePair pair;
  const LONG login = pair.Login();
  ASSERT_NE(login, 0);
  EXPECT_EQ(pair.a->client().LogOut(login), 0);
  EXPECT_EQ(pair.a->client().LogOut(login), -1);
  ASSERT_TRUE(WaitFor([&] { return pair.a->LiveLinks() == 0 && pair.b->LiveLinks() == 0; }));
  EXPECT_EQ(pair.sinkA->Count(WM_RELAY_SERVER_CLOSED), 0u);
}
