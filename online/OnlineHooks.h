// How the online workers reach the window layer without depending on it.
#pragma once

#include <functional>
#include <string>

namespace online {

// Notification codes the workers send (the window's Notify codes).
enum OnlineNotifyCode : int { kNotifyNextBanner = 2, kNotifyBannersReady = 3, kNotifyVersionReply = 4 };

struct OnlineHooks {
  // The diagnostic log hook; callable from any thread.
  std::function<void(const std::string&)> postLog;
  // Sends a code to the main window and returns once it has been handled there.
  std::function<void(int)> notify;
  // True when the worker should give up (the window is closing).
  std::function<bool()> interrupted;

  void Log(const std::string& line) const {
    if (postLog) postLog(line);
  }
};

}  // namespace online
