#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>

#include "FailingServers.h"
#include "LoopbackServers.h"
#include "online/CheckForNewVersionProcess.h"
#include "online/GetOfferBanner.h"
#include "online/ReplyText.h"

namespace online {
namespace {

using test::Base64;
using test::LoopbackHttp;
using test::NoProxy;

constexpr const char* kCheckField = "chk=6a3e8032cf2eefd848893f1a01a61d55";  // MD5 of "lumenfolddesktop"

// What a worker handed to the log and the window.
struct Recorder {
  std::mutex mutex;
  std::vector<std::string> log;
  std::vector<int> notified;

  OnlineHooks Hooks() {
    OnlineHooks hooks;
    hooks.postLog = [this](const std::string& line) {
      std::lock_guard lock(mutex);
      log.push_back(line);
    };
    hooks.notify = [this](int code) {
      std::lock_guard lock(mutex);
      notified.push_back(code);
    };
    return hooks;
  }
  bool LoggedServerError() {
    std::lock_guard lock(mutex);
    for (const std::string& line : log)
      if (line.rfind("\r\nServer response error: ", 0) == 0) return true;
    return false;
  }
};

VersionCheckSetup VersionSetup(const std::string& address) {
  VersionCheckSetup setup;
  setup.serviceAddress = address;
  setup.http = test::LoopbackSettings();
  setup.proxyLookup = NoProxy;
  return setup;
}

TEST(VersionCheck, PostsTheThreeLinesAndHandsTheDecodedReplyToTheWindow) {
  LoopbackHttp server(test::SharedCertificate());
  std::mutex mutex;
  std::string body, agent;
  server.Server().Post("/version", [&](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard lock(mutex);
    body = request.body;
    agent = request.get_header_value("User-Agent");
    std::string encoded = Base64("3.5|Lumenfold 3.5 is out");
    encoded.insert(8, "\r\n");  // line breaks inside the Base64 text
    response.set_content(encoded, "text/plain");
  });
  server.Start();

  Recorder recorder;
  std::string reply = "stale";
  VersionCheckSetup setup = VersionSetup(server.Address("/version"));
  setup.http.userAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
  RunVersionCheck(setup, reply, recorder.Hooks());

  std::lock_guard lock(mutex);
  EXPECT_EQ(body, std::string("app=lumenfold&ver=1.0&") + kCheckField);
  EXPECT_EQ(agent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)");
  EXPECT_EQ(reply, "3.5|Lumenfold 3.5 is out");
  EXPECT_EQ(LatestVersion(reply), 3.5L);
  EXPECT_EQ(recorder.notified, std::vector<int>{kNotifyVersionReply});
  ASSERT_EQ(recorder.log.size(), 3u);
  EXPECT_EQ(recorder.log[0].rfind("Version check\r\nStarted  ", 0), 0u);
  EXPECT_EQ(recorder.log[1], std::string("Request\r\napp=lumenfold\r\nver=1.0\r\n") + kCheckField + "\r\n");
  EXPECT_EQ(recorder.log[2], "Reply\r\n3.5|Lumenfold 3.5 is out");
}

TEST(VersionCheck, EveryFailureEndsInAServerErrorLineAndNoNotification) {
  for (const test::FailingServer& failing : test::FailingServers()) {
    std::shared_ptr<void> keep;
    Recorder recorder;
    std::string reply;
    VersionCheckSetup setup = VersionSetup(failing.start(keep));
    setup.http = test::ImpatientSettings();
    RunVersionCheck(setup, reply, recorder.Hooks());
    EXPECT_TRUE(recorder.LoggedServerError()) << failing.name;
    EXPECT_TRUE(recorder.notified.empty()) << failing.name;
  }
}

TEST(VersionCheck, AProxyPortThatIsNoNumberAbandonsTheExchange) {
  std::atomic<bool> asked = false;
  LoopbackHttp server;
  server.Server().Post(".*", [&asked](const httplib::Request&, httplib::Response&) { asked = true; });
  server.Start();
  VersionCheckSetup setup = VersionSetup(server.Address("/version"));
  setup.proxyLookup = [](const std::string&, TProxyInfo& info) {
    info.proxyList = "proxy.lan:http";
    return 0u;
  };
  Recorder recorder;
  std::string reply;
  RunVersionCheck(setup, reply, recorder.Hooks());
  EXPECT_FALSE(asked);
  EXPECT_TRUE(recorder.notified.empty());
  EXPECT_EQ(recorder.log.back().rfind("\r\nServer response error: 'http' is not a valid integer value", 0), 0u);
}

// A banner service whose reply and pictures the tests set.
struct BannerService {
  BannerService() {
    server.Server().Post("/banners", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      body = request.body;
      response.set_content(Base64(reply), "text/plain");
    });
    server.Server().Get(R"(/pictures/(\w+)\.jpg)", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      const auto found = pictures.find(request.matches[1]);
      if (found == pictures.end()) {
        response.status = 404;
        return;
      }
      response.set_content(found->second, "image/jpeg");
    });
    server.Start();
  }
  std::string Picture(const std::string& name) const { return server.Address("/pictures/" + name + ".jpg"); }
  void SetReply(std::string text) {
    std::lock_guard lock(mutex);
    reply = std::move(text);
  }

  LoopbackHttp server;
  std::mutex mutex;
  std::string reply;
  std::string body;
  std::map<std::string, std::string> pictures{{"wide", test::MakeJpeg(300, 48)}, {"small", test::MakeJpeg(120, 40)},
                                              {"text", "not a picture"}, {"cut", test::MakeJpeg(60, 20).substr(0, 200)}};
};

BannerFetchSetup BannerSetup(const std::string& address) {
  BannerFetchSetup setup;
  setup.serviceAddress = address;
  setup.country = "United States";
  setup.language = "English";
  setup.proxyLookup = NoProxy;
  return setup;
}

TEST(BannerFetch, PostsTheFiveLinesAndFillsTheTableWithPictures) {
  BannerService service;
  service.SetReply("1:|:" + service.Picture("wide") + ":|:https://offers.example/one:|:Big | sale\r\n2|" +
                   service.Picture("small") + "|https://offers.example/two|Second");
  THttpClient client(test::LoopbackSettings());
  TSmallBanners banners;
  Recorder recorder;
  RunBannerFetch(BannerSetup(service.server.Address("/banners")), client, banners, recorder.Hooks());

  std::lock_guard lock(service.mutex);
  EXPECT_EQ(service.body, std::string("app=lumenfold&ver=1.0&ch=desktop&loc=United%2520States%2CEnglish&") +
                              kCheckField);
  ASSERT_EQ(banners.size(), 2u);
  EXPECT_EQ(banners[0].id, 1);
  EXPECT_EQ(banners[0].clickAddress, "https://offers.example/one");
  EXPECT_EQ(banners[0].hint, "Big - sale");
  EXPECT_EQ(banners[0].picture.size(), QSize(300, 48));
  EXPECT_EQ(banners[1].id, 2);
  EXPECT_EQ(banners[1].hint, "Second");
  EXPECT_EQ(banners[1].picture.size(), QSize(120, 40));
  EXPECT_EQ(recorder.notified, std::vector<int>{kNotifyBannersReady});
  EXPECT_FALSE(recorder.LoggedServerError());
}

TEST(BannerFetch, AFieldCountThatIsNoMultipleOfFourChangesNothing) {
  BannerService service;
  for (const std::string& reply : {std::string("1|a|b|c|2|d|e"), std::string(), std::string("\r\n|")}) {
    service.SetReply(reply);
    THttpClient client(test::LoopbackSettings());
    TSmallBanners banners(1);
    banners[0].id = 9;
    Recorder recorder;
    RunBannerFetch(BannerSetup(service.server.Address("/banners")), client, banners, recorder.Hooks());
    ASSERT_EQ(banners.size(), 1u) << reply;
    EXPECT_EQ(banners[0].id, 9);
    EXPECT_TRUE(recorder.notified.empty());
    EXPECT_FALSE(recorder.LoggedServerError());
  }
}

TEST(BannerFetch, ABannerWhosePictureIsNoJpegOrNoWebAddressIsLeftOut) {
  BannerService service;
  service.SetReply("1|" + service.Picture("text") + "|https://o.example/1|a|2|" + service.Picture("cut") +
                   "|https://o.example/2|b|3|file:///etc/hostname|https://o.example/3|c|4|" + service.Picture("small") +
                   "|https://o.example/4|d");
  THttpClient client(test::LoopbackSettings());
  TSmallBanners banners;
  Recorder recorder;
  RunBannerFetch(BannerSetup(service.server.Address("/banners")), client, banners, recorder.Hooks());
  ASSERT_EQ(banners.size(), 4u);
  EXPECT_FALSE(banners[0].Showable());
  EXPECT_FALSE(banners[1].Showable());
  EXPECT_FALSE(banners[2].Showable());
  EXPECT_TRUE(banners[3].Showable());
  EXPECT_EQ(recorder.notified, std::vector<int>{kNotifyBannersReady});
}

TEST(BannerFetch, FailuresAreLoggedAndNotNotified) {
  BannerService service;
  const struct {
    const char* name;
    std::string reply;
  } cases[] = {
      {"id is no integer", "x1|" + service.Picture("small") + "|https://o.example/1|a"},
      {"picture missing", "1|" + service.Picture("gone") + "|https://o.example/1|a"},
  };
  for (const auto& c : cases) {
    service.SetReply(c.reply);
    THttpClient client(test::LoopbackSettings());
    TSmallBanners banners;
    Recorder recorder;
    RunBannerFetch(BannerSetup(service.server.Address("/banners")), client, banners, recorder.Hooks());
    EXPECT_TRUE(recorder.LoggedServerError()) << c.name;
    EXPECT_TRUE(recorder.notified.empty()) << c.name;
  }
  for (const test::FailingServer& failing : test::FailingServers()) {
    std::shared_ptr<void> keep;
    THttpClient client(test::ImpatientSettings());
    TSmallBanners banners;
    Recorder recorder;
    RunBannerFetch(BannerSetup(failing.start(keep)), client, banners, recorder.Hooks());
    EXPECT_TRUE(recorder.LoggedServerError()) << failing.name;
    EXPECT_TRUE(recorder.notified.empty()) << failing.name;
  }
}

TEST(BannerTable, KeepsTheTextsOfRecordsWhoseIdIsUnchanged) {
  TSmallBanners banners;
  UpdateBannerTable(banners, {"1", "http://p/1", "http://c/1", "one", "2", "http://p/2", "http://c/2", "two"});
  banners[0].picture = QImage(4, 4, QImage::Format_RGB32);
  UpdateBannerTable(banners, {"1", "http://p/new", "http://c/new", "new", "3", "http://p/3", "http://c/3", "three",
                              "4", "http://p/4", "http://c/4", "four"});
  ASSERT_EQ(banners.size(), 3u);
  EXPECT_EQ(banners[0].hint, "one");
  EXPECT_EQ(banners[0].imageAddress, "http://p/1");
  EXPECT_FALSE(banners[0].picture.isNull());
  EXPECT_EQ(banners[1].id, 3);
  EXPECT_EQ(banners[1].hint, "three");
  EXPECT_TRUE(banners[1].picture.isNull());
  EXPECT_EQ(banners[2].hint, "four");

  UpdateBannerTable(banners, {"5", "http://p/5", "http://c/5", "five"});
  ASSERT_EQ(banners.size(), 1u);
  EXPECT_EQ(banners[0].hint, "five");
}

TEST(Workers, RunOnTheirThreadsAndStopWhenInterrupted) {
  BannerService service;
  service.SetReply("1|" + service.Picture("small") + "|https://o.example/1|a");
  THttpClient client(test::LoopbackSettings());
  TSmallBanners banners;
  Recorder recorder;
  TGetSmallBannerProcess banner(BannerSetup(service.server.Address("/banners")), client, banners, recorder.Hooks());
  banner.start();
  ASSERT_TRUE(banner.Join(QDeadlineTimer(20000)));
  EXPECT_EQ(banners.size(), 1u);
  EXPECT_EQ(recorder.notified, std::vector<int>{kNotifyBannersReady});

  // A silent service with a long time-out: the interruption ends the wait.
  test::RawServer silent(test::RawServer::Mode::Silent);
  VersionCheckSetup setup = VersionSetup(silent.Address("/version"));
  setup.http.readTimeout = std::chrono::milliseconds(60000);
  Recorder versionRecorder;
  std::string reply;
  TCheckForNewVersionProcess check(setup, reply, versionRecorder.Hooks());
  check.start();
  check.requestInterruption();
  ASSERT_TRUE(check.Join(QDeadlineTimer(20000)));
  EXPECT_TRUE(versionRecorder.notified.empty());
  EXPECT_NE(versionRecorder.log.back().find("Request cancelled"), std::string::npos);
}

}  // namespace
}  // namespace online
