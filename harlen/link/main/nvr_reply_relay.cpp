#include "harlen/link/main/nvr_reply_relay.h"

#include "platform/post_message.h"

int NvrReplyRelay::Callback(int command, int status, int argument, const char* data, int dataLength, void* user) {
  if (user == nullptr) return 0;
  const auto* relay = static_cast<const NvrReplyRelay*>(user);
  auto* reply = new NvrReply;
  reply->command = command;
  reply->status = status;
  reply->argument = argument;
  reply->hasData = data != nullptr;
  if (data != nullptr && dataLength > 0) reply->data.assign(data, static_cast<size_t>(dataLength));
  PostObject(relay->target_, WM_NVR_REPLY, relay->generation_, reply);
  return 0;
}
