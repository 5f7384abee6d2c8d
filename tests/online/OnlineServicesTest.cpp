#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <mutex>

#include "LoopbackServers.h"
#include "online/OnlineServices.h"
#include "platform/uConst.h"

namespace online {
namespace {

using test::Base64;
using test::NoProxy;

// The window parts of the main window and scripted dialogs.
struct Window {
  Window() {
    window.resize(1010, 640);
    banner = new QLabel(&window);
    banner->setGeometry(1010 - 300 - 24, 9, 300, 48);
    banner->hide();
    notice = new QLabel(QStringLiteral(" New version available! "), &window);
    notice->hide();
    for (QTimer** timer : {&smallBanner, &bannerRefresh, &blinker}) *timer = new QTimer(&window);
    smallBanner->setInterval(500);
    bannerRefresh->setInterval(5000);
    blinker->setInterval(500);
    window.show();
  }

  OnlineWindowParts Parts() {
    OnlineWindowParts parts;
    parts.TimerSmallBanner = smallBanner;
    parts.TimerBannerRefresh = bannerRefresh;
    parts.TimerNewVersionBlinker = blinker;
    parts.sImageBanner = banner;
    parts.TacTitleBarItemNewVersion = notice;
    parts.resizeMainForm = [this] { banner->move(window.width() - banner->width() - 24, banner->y()); };
    return parts;
  }

  OnlineDialogs Dialogs() {
    OnlineDialogs dialogs;
    dialogs.askYesNo = [this](const std::string& title, const std::string& line1, const std::string& line2) {
      questions.push_back(title + "|" + line1 + "|" + line2);
      return answerYes;
    };
    dialogs.openInShell = [this](const std::string& target) { opened.push_back(target); };
    return dialogs;
  }

  QWidget window;
  QLabel* banner;
  QLabel* notice;
  QTimer* smallBanner;
  QTimer* bannerRefresh;
  QTimer* blinker;
  bool answerYes = false;
  std::vector<std::string> questions;
  std::vector<std::string> opened;
};

const std::string kQuestion = "Software new version available|Would you like to upgrade for the latest| version of " +
                              platform::Texts().productName + "?";

TEST(NewVersionNotice, BlinksEightyTwoTimesAndThenStaysVisible) {
  Window w;
  TNewVersionNotice notice(w.notice, w.blinker, w.Dialogs());
  notice.Announce();
  EXPECT_EQ(w.questions, std::vector<std::string>{kQuestion});
  EXPECT_TRUE(w.opened.empty());  // answered "No"
  ASSERT_TRUE(w.blinker->isActive());
  for (int tick = 1; tick <= 82; ++tick) {
    ASSERT_TRUE(w.blinker->isActive()) << tick;
    notice.TimerNewVersionBlinkerTimer();
    if (tick < 82) {
      EXPECT_EQ(w.notice->isHidden(), tick % 2 == 0) << tick;
    }
  }
  EXPECT_FALSE(w.blinker->isActive());
  EXPECT_FALSE(w.notice->isHidden());
  EXPECT_EQ(notice.BlinkCount(), 81);

  // Leaving the notice later restarts the timer for one more tick, which ends visible.
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(w.notice, &leave);
  ASSERT_TRUE(w.blinker->isActive());
  notice.TimerNewVersionBlinkerTimer();
  EXPECT_FALSE(w.blinker->isActive());
  EXPECT_FALSE(w.notice->isHidden());
}

TEST(NewVersionNotice, MouseOverStopsTheBlinkAndAReleaseAsksAgain) {
  Window w;
  TNewVersionNotice notice(w.notice, w.blinker, w.Dialogs());
  notice.Announce();
  notice.TimerNewVersionBlinkerTimer();
  notice.TimerNewVersionBlinkerTimer();  // hidden again
  ASSERT_TRUE(w.notice->isHidden());

  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QCoreApplication::sendEvent(w.notice, &enter);
  EXPECT_FALSE(w.notice->isHidden());
  EXPECT_FALSE(w.blinker->isActive());

  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(w.notice, &leave);
  EXPECT_TRUE(w.blinker->isActive());
  EXPECT_EQ(notice.BlinkCount(), 1);  // continues where it was

  w.answerYes = true;
  QTest::mouseClick(w.notice, Qt::RightButton);
  EXPECT_FALSE(w.blinker->isActive());
  EXPECT_FALSE(w.notice->isHidden());
  EXPECT_EQ(w.questions.size(), 2u);
  EXPECT_EQ(w.opened, std::vector<std::string>{platform::Texts().productWebPage});
}

// Banner and version services on loopback whose replies the tests set.
struct Services {
  Services() {
    server.Server().Post("/banners", [this](const httplib::Request&, httplib::Response& response) {
      std::lock_guard lock(mutex);
      response.set_content(Base64(bannerReply), "text/plain");
    });
    server.Server().Post("/version", [this](const httplib::Request&, httplib::Response& response) {
      std::lock_guard lock(mutex);
      ++versionRequests;
      response.set_content(Base64(versionReply), "text/plain");
    });
    server.Server().Get(R"(/pictures/(\d+)x(\d+)\.jpg)", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(test::MakeJpeg(std::stoi(request.matches[1]), std::stoi(request.matches[2])), "image/jpeg");
    });
    server.Start();
  }
  std::string Banner(int id, int width, int height) const {
    return std::to_string(id) + ":|:" + server.Address("/pictures/" + std::to_string(width) + "x" +
                                                       std::to_string(height) + ".jpg") +
           ":|:https://offers.example/" + std::to_string(id) + ":|:Offer | " + std::to_string(id) + "\r\n";
  }
  OnlineSetup Setup() {
    OnlineSetup setup;
    setup.banner.serviceAddress = server.Address("/banners");
    setup.banner.proxyLookup = NoProxy;
    setup.version.serviceAddress = server.Address("/version");
    setup.version.http = test::LoopbackSettings();
    setup.version.proxyLookup = NoProxy;
    setup.postLog = [this](const std::string& line) {
      std::lock_guard lock(mutex);
      log.push_back(line);
    };
    return setup;
  }
  int LogCount(const std::string& start) {
    std::lock_guard lock(mutex);
    int count = 0;
    for (const std::string& line : log) count += line.rfind(start, 0) == 0 ? 1 : 0;
    return count;
  }

  test::LoopbackHttp server;
  std::mutex mutex;
  std::string bannerReply;
  std::string versionReply = "0.5";
  int versionRequests = 0;
  std::vector<std::string> log;
};

TEST(OnlineServices, TheFirstCompleteDownloadStartsTheRotationAndTheVersionCheck) {
  Window w;
  Services services;
  services.bannerReply = services.Banner(1, 300, 48) + services.Banner(2, 200, 40);
  services.versionReply = "9.5|notes";
  THttpClient client(test::LoopbackSettings());
  TOnlineServices online(w.Parts(), w.Dialogs(), services.Setup(), client);
  w.smallBanner->start();

  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.questions.empty(); }, 20000));
  EXPECT_EQ(w.smallBanner->interval(), 30000);
  EXPECT_FALSE(w.smallBanner->isActive());
  EXPECT_TRUE(w.bannerRefresh->isActive());
  EXPECT_EQ(online.SmallBanners().size(), 2u);
  EXPECT_EQ(services.LogCount("TimerSmallBanner disabled.\r\n"), 1);
  EXPECT_EQ(services.LogCount("New version checking process end.\r\n"), 1);
  EXPECT_EQ(w.questions, std::vector<std::string>{kQuestion});
  EXPECT_TRUE(w.blinker->isActive());
  EXPECT_TRUE(w.banner->isHidden());  // the first banner comes with the rotation timer

  // Two banners alternate, each shown 2 pixels larger and at the window's right edge.
  std::vector<int> shown;
  for (int i = 0; i < 6; ++i) {
    online.TimerBannerRefreshTimer();
    shown.push_back(online.CurrentBannerIndex());
    const QImage& picture = online.SmallBanners()[static_cast<std::size_t>(shown.back())].picture;
    EXPECT_EQ(w.banner->size(), picture.size() + QSize(2, 2));
    EXPECT_EQ(w.banner->x(), w.window.width() - w.banner->width() - 24);
  }
  EXPECT_EQ(w.bannerRefresh->interval(), 30000);
  for (std::size_t i = 1; i < shown.size(); ++i) EXPECT_NE(shown[i], shown[i - 1]);
  EXPECT_FALSE(w.banner->isHidden());
  EXPECT_EQ(w.banner->toolTip().toStdString(), "Offer - " + std::to_string(online.CurrentBannerIndex() + 1));

  QTest::mouseClick(w.banner, Qt::LeftButton);
  EXPECT_EQ(w.opened, std::vector<std::string>{"https://offers.example/" + std::to_string(online.CurrentBannerIndex() + 1)});
}

TEST(OnlineServices, OneBannerStaysAndAnOlderVersionAsksNothing) {
  Window w;
  Services services;
  services.bannerReply = services.Banner(7, 120, 30);
  THttpClient client(test::LoopbackSettings());
  TOnlineServices online(w.Parts(), w.Dialogs(), services.Setup(), client);
  QTest::mouseClick(w.banner, Qt::LeftButton);  // no banner yet
  online.TimerSmallBannerTimer();
  ASSERT_TRUE(QTest::qWaitFor([&] { return services.LogCount("New version checking process end.") == 1; }, 20000));
  for (int i = 0; i < 3; ++i) {
    online.TimerBannerRefreshTimer();
    EXPECT_EQ(online.CurrentBannerIndex(), 0);
  }
  EXPECT_EQ(w.banner->size(), QSize(122, 32));
  EXPECT_TRUE(w.questions.empty());
  EXPECT_TRUE(w.opened.empty());
}

TEST(OnlineServices, AnUnusableReplyKeepsTheRetryRunning) {
  Window w;
  Services services;
  services.bannerReply = "1|a|b|c|2|d|e";  // 7 fields
  THttpClient client(test::LoopbackSettings());
  TOnlineServices online(w.Parts(), w.Dialogs(), services.Setup(), client);
  w.smallBanner->start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return services.LogCount("Reply\r\n") == 1 && !online.BannerFetchRunning(); }, 20000));
  EXPECT_TRUE(w.smallBanner->isActive());
  EXPECT_EQ(w.smallBanner->interval(), 30000);
  EXPECT_FALSE(w.bannerRefresh->isActive());
  EXPECT_TRUE(online.SmallBanners().empty());
  EXPECT_EQ(services.versionRequests, 0);
}

TEST(OnlineServices, ASilentServiceNeitherFreezesTheWindowNorOverlapsFetches) {
  Window w;
  Services services;
  test::RawServer silent(test::RawServer::Mode::Silent);
  OnlineSetup setup = services.Setup();
  setup.banner.serviceAddress = silent.Address("/banners");
  THttpClient client(test::ImpatientSettings());
  TOnlineServices online(w.Parts(), w.Dialogs(), setup, client);

  online.TimerSmallBannerTimer();
  online.TimerSmallBannerTimer();  // skipped: a fetch is running
  bool served = false;
  bool fetchWasRunning = false;
  QTimer::singleShot(0, [&] {
    served = true;
    fetchWasRunning = online.BannerFetchRunning();
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return served; }, 20000));
  EXPECT_TRUE(fetchWasRunning);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !online.BannerFetchRunning(); }, 20000));
  EXPECT_EQ(services.LogCount("Banner check\r\n"), 1);
  EXPECT_EQ(services.LogCount("\r\nServer response error: Read timed out"), 1);
  EXPECT_TRUE(w.banner->isHidden());
}

TEST(OnlineServices, ClosingStopsAWaitingFetch) {
  Window w;
  Services services;
  test::RawServer silent(test::RawServer::Mode::Silent);
  OnlineSetup setup = services.Setup();
  setup.banner.serviceAddress = silent.Address("/banners");
  HttpSettings patient = test::LoopbackSettings();
  patient.readTimeout = std::chrono::milliseconds(60000);
  THttpClient client(patient);
  {
    TOnlineServices online(w.Parts(), w.Dialogs(), setup, client);
    online.TimerSmallBannerTimer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return services.LogCount("https://") + services.LogCount("http://") == 1; }, 20000));
  }
  EXPECT_EQ(services.LogCount("\r\nServer response error: Request cancelled"), 1);
}

}  // namespace
}  // namespace online
