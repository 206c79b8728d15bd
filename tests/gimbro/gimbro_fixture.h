// A control with short connection timings, a sink that records every event,
// and waiting that keeps the UI thread's event loop running.
#pragma once

#include "common/wait_for.h"
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake_device_process.h"
#include "maker/gimbro/gimbro.h"

struct RecordedEvent {
  int event = 0;  // 1..7 as in the event interface
  LONG id = 0;
  LONG a = 0;
  LONG b = 0;
  std::string text;
  std::string header;
  GimbroAlarmRecord alarm;
  bool onUiThread = false;
};

class RecordingSink : public CGimbroEventSink {
 public:
  std::vector<RecordedEvent> events;

  LONG DevStatusResponse(LONG id, LONG code, const char* text) override { return Add(1, id, code, 0, text); }
  LONG PTZResponse(LONG id, LONG response, const char* text) override { return Add(2, id, response, 0, text); }
  LONG AUXResponse(LONG id, LONG response, const char* text) override { return Add(3, id, response, 0, text); }
  LONG AlarmRecv(LONG id, const GimbroAlarmRecord* alarm) override {
    Add(4, id, 0, 0, "");
    events.back().alarm = *alarm;
    return 0;
  }
  LONG MediaDataRecv(LONG id, const BYTE* data, LONG length, const BYTE* header, LONG kind) override {
    Add(5, id, kind, length, std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(length)));
    events.back().header.assign(reinterpret_cast<const char*>(header), GIMBRO_FRAME_HEADER_SIZE);
    return 0;
  }
  LONG MediaParamRecv(LONG id, const char* text, LONG kind) override { return Add(6, id, kind, 0, text); }
  LONG ReplayStatus(LONG id, LONG state, LONG value) override { return Add(7, id, state, value, ""); }

  std::vector<RecordedEvent> Of(int event, LONG a) const {
    std::vector<RecordedEvent> out;
    for (const auto& e : events)
      if (e.event == event && e.a == a) out.push_back(e);
    return out;
  }
  std::vector<RecordedEvent> Of(int event) const {
    std::vector<RecordedEvent> out;
    for (const auto& e : events)
      if (e.event == event) out.push_back(e);
    return out;
  }
  size_t Count(int event, LONG a) const { return Of(event, a).size(); }

 private:
  LONG Add(int event, LONG id, LONG a, LONG b, std::string text) {
    RecordedEvent e;
    e.event = event;
    e.id = id;
    e.a = a;
    e.b = b;
    e.text = std::move(text);
    e.onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    events.push_back(std::move(e));
    return 0;
  }
};

// Runs the UI thread's event loop until `done` holds or the (generous) limit passes.
// Runs the event loop for a while, for checks that something does not happen.
void Pump(int ms);

class GimbroTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts a device and registers it; waits for its login (status 4).
  LONG AddOnline(FakeDeviceProcess& device, const char* password = "secret");
  bool WaitStatus(LONG code, size_t count = 1) {
    return WaitFor([&] { return sink.Count(1, code) >= count; });
  }

  std::unique_ptr<CGimbroCtrl> ctrl;
  RecordingSink sink;
};
