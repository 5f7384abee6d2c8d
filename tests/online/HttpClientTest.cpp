#include <gtest/gtest.h>

#include <mutex>

#include "FailingServers.h"
#include "LoopbackServers.h"
#include "online/ClientSettings.h"
#include "online/HttpClient.h"

namespace online {
namespace {

using test::LoopbackHttp;
using test::ImpatientSettings;
using test::TestCertificate;

HttpSettings ShortSettings() {
  HttpSettings settings = test::LoopbackSettings();
  settings.connectionHeader = "close";
  settings.userAgent = "LumenfoldTest/1";
  return settings;
}

struct SeenRequest {
  std::mutex mutex;
  std::string body, contentType, connection, userAgent, proxyAuthorization;
};

void Record(SeenRequest& seen, const httplib::Request& request) {
  std::lock_guard lock(seen.mutex);
  seen.body = request.body;
  seen.contentType = request.get_header_value("Content-Type");
  seen.connection = request.get_header_value("Connection");
  seen.userAgent = request.get_header_value("User-Agent");
}

TEST(HttpClient, PostsTheFormWithItsHeadersOverHttpAndHttps) {
  LoopbackHttp plain;
  LoopbackHttp secure(test::SharedCertificate());
  SeenRequest seen;
  for (LoopbackHttp* server : {&plain, &secure}) {
    server->Server().Post("/service", [&seen](const httplib::Request& request, httplib::Response& response) {
      Record(seen, request);
      response.set_content("reply text", "text/plain");
    });
    server->Start();
  }
  for (LoopbackHttp* server : {&plain, &secure}) {
    THttpClient client(ShortSettings());
    EXPECT_EQ(client.PostForm(server->Address("/service"), {"a=1 2", "b=x&y"}), "reply text");
    std::lock_guard lock(seen.mutex);
    EXPECT_EQ(seen.body, "a=1+2&b=x%26y");
    EXPECT_EQ(seen.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(seen.connection, "close");
    EXPECT_EQ(seen.userAgent, "LumenfoldTest/1");
  }
}

TEST(HttpClient, GetsIntoMemoryFollowingRedirectsAndReusesAfterClose) {
  LoopbackHttp server;
  const std::string picture = test::MakeJpeg(8, 8);
  server.Server().Get("/old", [](const httplib::Request&, httplib::Response& response) { response.set_redirect("/new"); });
  server.Server().Get("/new", [&picture](const httplib::Request&, httplib::Response& response) {
    response.set_content(picture, "image/jpeg");
  });
  server.Start();
  THttpClient client(ShortSettings());
  EXPECT_EQ(client.Get(server.Address("/old")), picture);
  client.CloseConnection();
  EXPECT_EQ(client.Get(server.Address("/new")), picture);
}

TEST(HttpClient, EveryFailingServerRaisesAnHttpError) {
  for (const test::FailingServer& failing : test::FailingServers()) {
    std::shared_ptr<void> keep;
    const std::string address = failing.start(keep);
    THttpClient client(ImpatientSettings());
    for (const bool post : {true, false}) {
      try {
        post ? client.PostForm(address, {"a=1"}) : client.Get(address);
        ADD_FAILURE() << failing.name << ": no error";
      } catch (const HttpError& error) {
        EXPECT_NE(std::string(error.what()).find(failing.reason), std::string::npos)
            << failing.name << ": " << error.what();
      }
    }
  }
}

TEST(HttpClient, RefusesSchemesOtherThanHttpAndHttps) {
  THttpClient client(ShortSettings());
  for (const char* address : {"file:///etc/hostname", "ftp://127.0.0.1/x", "gopher://127.0.0.1/"})
    EXPECT_THROW(client.Get(address), HttpError) << address;
}

TEST(HttpClient, AcceptsABodyOfExactlyTheBound) {
  LoopbackHttp server;
  HttpSettings settings = ShortSettings();
  settings.maxBodySize = 1000;
  server.Server().Get("/exact", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(std::string(1000, 'x'), "text/plain");
  });
  server.Server().Get("/over", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(std::string(1001, 'x'), "text/plain");
  });
  server.Start();
  THttpClient client(settings);
  EXPECT_EQ(client.Get(server.Address("/exact")).size(), 1000u);
  EXPECT_THROW(client.Get(server.Address("/over")), HttpError);
}

TEST(HttpClient, AnInterruptionAbandonsAWaitingExchange) {
  test::RawServer silent(test::RawServer::Mode::Silent);
  HttpSettings settings = ShortSettings();
  settings.readTimeout = std::chrono::milliseconds(60000);
  THttpClient client(settings);
  client.SetInterruptCheck([] { return true; });
  try {
    client.Get(silent.Address("/"));
    FAIL() << "no error";
  } catch (const HttpError& error) {
    EXPECT_STREQ(error.what(), "Request cancelled");
  }
}

TEST(HttpClient, TheTwoClientsCarryTheirSettings) {
  const HttpSettings shared = SharedHttpClientSettings();
  EXPECT_EQ(shared.connectTimeout.count(), 12000);
  EXPECT_EQ(shared.readTimeout.count(), 12000);
  EXPECT_FALSE(shared.userAgent.empty());
  const HttpSettings check = VersionCheckClientSettings();
  EXPECT_EQ(check.connectTimeout.count(), 8000);
  EXPECT_EQ(check.readTimeout.count(), 8000);
  EXPECT_EQ(check.connectionHeader, "Keep-Alive");
  EXPECT_EQ(check.userAgent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)");
  EXPECT_EQ(check.maxBodySize, 4u * 1024 * 1024);
}

}  // namespace
}  // namespace online
