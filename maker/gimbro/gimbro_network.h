// The control's network thread and the device connections that live on it.
// Every operation is queued to that thread; none waits for the network.
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "maker/gimbro/gimbro_link.h"

class GimbroEventHub;
namespace talkaudio {
class Hub;
}

class GimbroNetwork {
 public:
  explicit GimbroNetwork(GimbroEventHub* hub);
  ~GimbroNetwork();  // Stop()
  GimbroNetwork(const GimbroNetwork&) = delete;
  GimbroNetwork& operator=(const GimbroNetwork&) = delete;

  void AddDevice(GimbroDeviceParams params, std::shared_ptr<std::atomic<bool>> online);
  void RemoveDevice(LONG id);
  void Send(LONG id, std::string frame);
  void SetTimeSync(LONG id, bool enable, int difference, int interval);

  // Closes every connection and ends the thread; waits for it. Later calls do nothing.
  void Stop();

  static constexpr const char* kThreadName = "gimbro-net";

 private:
  // Lives on the network thread; owns the links and the capture of talk and
  // broadcast audio.
  class Worker : public QObject {
   public:
    talkaudio::Hub* Audio();
    void Clear();
    std::map<LONG, std::unique_ptr<GimbroLink>> links;

   private:
    std::unique_ptr<talkaudio::Hub> audio_;
  };

  template <typename Fn>
  void Queue(Fn&& fn);

  GimbroEventHub* hub_;
  QThread thread_;
  Worker* worker_;
  bool stopped_ = false;
};
