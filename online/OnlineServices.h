// The main window's side of the offer banners and the version check: the retry and rotation
// timers, the workers' notifications, the banner picture and its click.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "online/CheckForNewVersionProcess.h"
#include "online/GetOfferBanner.h"
#include "online/NewVersionNotice.h"
#include "platform/MainThreadCall.h"

class QLabel;
class QTimer;
class QWidget;

namespace online {

// The window's controls these services drive; all stay the window's.
struct OnlineWindowParts {
  QTimer* TimerSmallBanner = nullptr;        // 500 ms, running from the window's creation
  QTimer* TimerBannerRefresh = nullptr;      // 5000 ms, stopped
  QTimer* TimerNewVersionBlinker = nullptr;  // 500 ms, stopped
  QLabel* sImageBanner = nullptr;            // hidden until the first banner is shown
  QWidget* TacTitleBarItemNewVersion = nullptr;
  std::function<void()> resizeMainForm;      // puts the banner at the window's right edge
};

struct OnlineSetup {
  BannerFetchSetup banner;
  VersionCheckSetup version;
  std::function<void(const std::string&)> postLog;
  // Sends a code to the window's Notify and waits until it was handled; the window dispatches
  // codes 2, 3 and 4 to NextBanner, BannersReady and VersionReplyReady. When empty, the
  // services take the codes themselves.
  std::function<void(int)> notify;

  // The application's setup: built-in addresses and settings.
  static OnlineSetup Default();
};

class TOnlineServices : public QObject {
  Q_OBJECT
 public:
  // sharedClient is the process's shared HTTP client; it must outlive these services.
  TOnlineServices(OnlineWindowParts parts, OnlineDialogs dialogs, OnlineSetup setup, THttpClient& sharedClient,
                  QObject* parent = nullptr);
  // Stops the workers first (see Shutdown).
  ~TOnlineServices() override;

  // Interrupts the running workers and waits for them, serving the notifications they may
  // still send, which are then ignored. Call before the window's controls go away.
  void Shutdown();

  void TimerSmallBannerTimer();
  void TimerBannerRefreshTimer();
  void sImageBannerClick();

  // The window's handling of the notification codes.
  void Notify(int code);
  void BannersReady();       // code 3
  void NextBanner();         // code 2
  void VersionReplyReady();  // code 4

  const TSmallBanners& SmallBanners() const { return smallBanners_; }
  int CurrentBannerIndex() const { return currentBannerIndex_; }
  const std::string& VersionReply() const { return versionReply_; }
  TNewVersionNotice& NewVersionNotice() { return *notice_; }
  // A worker counts as running until its end has been taken in on this thread.
  bool BannerFetchRunning() const { return bannerWorker_ != nullptr; }
  bool VersionCheckRunning() const { return versionWorker_ != nullptr; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  OnlineHooks Hooks();
  void DeliverNotification(int code);
  // Joins and frees the workers that have finished; their finished signals queue it here.
  void CollectFinishedWorkers();
  void Log(const std::string& line) const;
  void StartVersionCheck();

  OnlineWindowParts parts_;
  OnlineDialogs dialogs_;
  OnlineSetup setup_;
  THttpClient& sharedClient_;
  TNewVersionNotice* notice_;  // a child of this object

  TSmallBanners smallBanners_;
  int currentBannerIndex_ = -1;
  std::string versionReply_;
  // Without a window's notify, workers notify through this object's thread and wait until
  // the code was handled.
  platform::TOwnerThreadCall notifyCall_;
  std::unique_ptr<TGetSmallBannerProcess> bannerWorker_;
  std::unique_ptr<TCheckForNewVersionProcess> versionWorker_;
  bool stopping_ = false;
};

}  // namespace online
