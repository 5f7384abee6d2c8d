#include "online/OnlineServices.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>

#include "online/ReplyText.h"
#include "platform/uConst.h"

namespace online {

namespace {

template <typename Worker>
void StopAndFree(std::unique_ptr<Worker>& worker) {
  // A worker may be waiting in a notification of this thread: its events are served until it ends.
  platform::StopAndJoin(worker.get());
  worker.reset();
}

template <typename Worker>
void FreeIfFinished(std::unique_ptr<Worker>& worker) {
  if (worker == nullptr || !worker->isFinished()) return;
  worker->Join();
  worker.reset();
}

}  // namespace

OnlineSetup OnlineSetup::Default() {
  OnlineSetup setup;
  setup.banner = BannerFetchSetup::Default();
  setup.version = VersionCheckSetup::Default();
  return setup;
}

TOnlineServices::TOnlineServices(OnlineWindowParts parts, OnlineDialogs dialogs, OnlineSetup setup,
                                 THttpClient& sharedClient, QObject* parent)
    : QObject(parent),
      parts_(std::move(parts)),
      dialogs_(dialogs),
      setup_(std::move(setup)),
      sharedClient_(sharedClient),
      notice_(new TNewVersionNotice(parts_.TacTitleBarItemNewVersion, parts_.TimerNewVersionBlinker, dialogs, this)) {
  connect(parts_.TimerSmallBanner, &QTimer::timeout, this, &TOnlineServices::TimerSmallBannerTimer);
  connect(parts_.TimerBannerRefresh, &QTimer::timeout, this, &TOnlineServices::TimerBannerRefreshTimer);
  parts_.sImageBanner->setCursor(Qt::PointingHandCursor);
  parts_.sImageBanner->setAlignment(Qt::AlignCenter);
  parts_.sImageBanner->installEventFilter(this);
}

TOnlineServices::~TOnlineServices() { Shutdown(); }

void TOnlineServices::Shutdown() {
  stopping_ = true;
  for (QTimer* timer : {parts_.TimerSmallBanner, parts_.TimerBannerRefresh}) timer->stop();
  StopAndFree(bannerWorker_);
  StopAndFree(versionWorker_);
}

void TOnlineServices::CollectFinishedWorkers() {
  FreeIfFinished(bannerWorker_);
  FreeIfFinished(versionWorker_);
}

void TOnlineServices::Log(const std::string& line) const {
  if (setup_.postLog) setup_.postLog(line);
}

OnlineHooks TOnlineServices::Hooks() {
  OnlineHooks hooks;
  hooks.postLog = setup_.postLog;
  if (setup_.notify) {
    hooks.notify = setup_.notify;  // hands over to the window thread itself
  } else {
    // The workers are joined before this object goes away, so the hook may hold it plainly.
    hooks.notify = [this](int code) { notifyCall_.Run([this, code] { Notify(code); }); };
  }
  return hooks;
}

void TOnlineServices::DeliverNotification(int code) {
  if (setup_.notify)
    setup_.notify(code);
  else
    Notify(code);
}

void TOnlineServices::TimerSmallBannerTimer() {
  parts_.TimerSmallBanner->setInterval(30000);
  // The retries can overlap a fetch that still waits for its time-outs; the shared client and
  // the table serve one fetch at a time, so such a tick is skipped.
  if (stopping_ || BannerFetchRunning()) return;
  bannerWorker_ = std::make_unique<TGetSmallBannerProcess>(setup_.banner, sharedClient_, smallBanners_, Hooks());
  connect(bannerWorker_.get(), &QThread::finished, this, &TOnlineServices::CollectFinishedWorkers,
          Qt::QueuedConnection);
  bannerWorker_->start();
}

void TOnlineServices::TimerBannerRefreshTimer() { DeliverNotification(kNotifyNextBanner); }

void TOnlineServices::Notify(int code) {
  switch (code) {
    case kNotifyNextBanner:
      NextBanner();
      break;
    case kNotifyBannersReady:
      BannersReady();
      break;
    case kNotifyVersionReply:
      VersionReplyReady();
      break;
    default:
      break;
  }
}

void TOnlineServices::BannersReady() {
  if (stopping_) return;
  // Only a banner with a valid picture counts; without one the retries go on.
  if (AnyShowable(smallBanners_)) {
    parts_.TimerSmallBanner->stop();
    Log("TimerSmallBanner disabled.\r\n");
    if (!parts_.TimerBannerRefresh->isActive()) parts_.TimerBannerRefresh->start();
  }
  StartVersionCheck();
}

void TOnlineServices::StartVersionCheck() {
  // Each check has a client of its own, but the reply text is shared: one check at a time.
  if (VersionCheckRunning()) return;
  versionWorker_ = std::make_unique<TCheckForNewVersionProcess>(setup_.version, versionReply_, Hooks());
  connect(versionWorker_.get(), &QThread::finished, this, &TOnlineServices::CollectFinishedWorkers,
          Qt::QueuedConnection);
  versionWorker_->start();
}

void TOnlineServices::VersionReplyReady() {
  if (stopping_) return;
  Log("New version checking process end.\r\n");
  bool newer = false;
  try {
    newer = IsNewerVersion(versionReply_, platform::Texts().productVersion);
  } catch (const std::runtime_error&) {
    // An unreadable running version announces nothing.
  }
  if (newer) notice_->Announce();
}

void TOnlineServices::NextBanner() {
  if (stopping_) return;
  std::vector<int> showable;
  for (std::size_t i = 0; i < smallBanners_.size(); ++i)
    if (smallBanners_[i].Showable()) showable.push_back(static_cast<int>(i));
  if (showable.empty()) return;
  if (showable.size() < 2) {
    currentBannerIndex_ = showable.front();
  } else {
    int next = currentBannerIndex_;
    while (next == currentBannerIndex_)
      next = showable[QRandomGenerator::global()->bounded(static_cast<int>(showable.size()))];
    currentBannerIndex_ = next;
  }
  parts_.TimerBannerRefresh->setInterval(30000);

  const RecordSmallbanners& banner = smallBanners_[static_cast<std::size_t>(currentBannerIndex_)];
  QLabel* picture = parts_.sImageBanner;
  picture->hide();
  picture->setPixmap(QPixmap::fromImage(banner.picture));
  picture->setToolTip(QString::fromStdString(banner.hint));
  picture->resize(banner.picture.width() + 2, banner.picture.height() + 2);
  picture->show();
  picture->update();
  if (parts_.resizeMainForm) parts_.resizeMainForm();
}

void TOnlineServices::sImageBannerClick() {
  if (currentBannerIndex_ < 0 || static_cast<std::size_t>(currentBannerIndex_) >= smallBanners_.size()) return;
  const std::string& address = smallBanners_[static_cast<std::size_t>(currentBannerIndex_)].clickAddress;
  // The address comes from a server: only web pages are handed to the desktop.
  if (IsWebAddress(address) && dialogs_.openInShell) dialogs_.openInShell(address);
}

bool TOnlineServices::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parts_.sImageBanner && event->type() == QEvent::MouseButtonRelease) sImageBannerClick();
  return QObject::eventFilter(watched, event);
}

}  // namespace online
