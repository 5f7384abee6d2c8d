// The new-version check: one form POST to the version service; the decoded reply is handed to
// the main window, which compares and announces.
#pragma once

#include <string>
#include <vector>

#include "online/HttpClient.h"
#include "online/OnlineHooks.h"
#include "online/ProxyInfo.h"
#include "platform/MainThreadCall.h"

namespace online {

struct VersionCheckSetup {
  std::string serviceAddress;  // the built-in address; tests point it at loopback
  HttpSettings http;
  ProxyLookup proxyLookup = GetProxyInfo;

  // The application's setup: built-in address and the check client's settings.
  static VersionCheckSetup Default();
};

// Product, version and the check field, each a field name followed by its value.
std::vector<std::string> VersionRequestLines();

// One check on the calling thread. Empties versionReply, fills it with the decoded reply and
// notifies code 4; any failure ends in a "Server response error: " log line instead.
void RunVersionCheck(const VersionCheckSetup& setup, std::string& versionReply, const OnlineHooks& hooks);

class TCheckForNewVersionProcess : public platform::TWorkerThread {
 public:
  // versionReply must outlive the thread; it is read by the main window only while the
  // worker waits in the notification.
  TCheckForNewVersionProcess(VersionCheckSetup setup, std::string& versionReply, OnlineHooks hooks,
                             QObject* parent = nullptr);

 protected:
  void Work() override;

 private:
  VersionCheckSetup setup_;
  std::string& versionReply_;
  OnlineHooks hooks_;
};

}  // namespace online
