#include "FailingServers.h"

namespace online::test {

namespace {

constexpr std::size_t kHuge = 50u * 1024 * 1024;

std::shared_ptr<LoopbackHttp> Http(const std::function<void(httplib::Server&)>& routes) {
  auto server = std::make_shared<LoopbackHttp>();
  routes(server->Server());
  server->Start();
  return server;
}

// Streams 50 MiB, with or without announcing the length first.
void ServeHuge(httplib::Server& server, bool announceLength) {
  server.Post(".*", [announceLength](const httplib::Request&, httplib::Response& response) {
    auto provide = [](size_t offset, size_t, httplib::DataSink& sink) {
      static const std::string chunk(64 * 1024, 'A');
      if (offset >= kHuge) {
        sink.done();
        return true;
      }
      return sink.write(chunk.data(), chunk.size());
    };
    if (announceLength)
      response.set_content_provider(kHuge, "text/plain",
                                    [provide](size_t offset, size_t length, httplib::DataSink& sink) {
                                      return provide(offset, length, sink);
                                    });
    else
      response.set_chunked_content_provider("text/plain", [provide](size_t offset, httplib::DataSink& sink) {
        return provide(offset, 0, sink);
      });
  });
  server.Get(".*", [](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("image/jpeg", [](size_t offset, httplib::DataSink& sink) {
      static const std::string chunk(64 * 1024, 'A');
      if (offset >= kHuge) {
        sink.done();
        return true;
      }
      return sink.write(chunk.data(), chunk.size());
    });
  });
}

}  // namespace

std::vector<FailingServer> FailingServers() {
  return {
      {"never answers", "Read timed out",
       [](std::shared_ptr<void>& keep) {
         auto server = std::make_shared<RawServer>(RawServer::Mode::Silent);
         keep = server;
         return server->Address("/service");
       }},
      {"garbage instead of HTTP", "HTTP/0.9",
       [](std::shared_ptr<void>& keep) {
         auto server = std::make_shared<RawServer>(RawServer::Mode::SendAndClose,
                                                   std::string("\x01\x02garbage\xff\r\n\r\nmore"));
         keep = server;
         return server->Address("/service");
       }},
      {"HTTP 500", "HTTP/1.1 500",
       [](std::shared_ptr<void>& keep) {
         auto server = Http([](httplib::Server& s) {
           auto fail = [](const httplib::Request&, httplib::Response& response) {
             response.status = 500;
             response.set_content("My41", "text/plain");
           };
           s.Post(".*", fail);
           s.Get(".*", fail);
         });
         keep = server;
         return server->Address("/service");
       }},
      {"redirect loop", "redirects",
       [](std::shared_ptr<void>& keep) {
         auto server = Http([](httplib::Server& s) {
           auto loop = [](const httplib::Request& request, httplib::Response& response) {
             response.set_redirect(request.path == "/a" ? "/b" : "/a", 302);
           };
           s.Post(".*", loop);
           s.Get(".*", loop);
         });
         keep = server;
         return server->Address("/a");
       }},
      {"redirect to file:", "\"file\"",
       [](std::shared_ptr<void>& keep) {
         auto server = Http([](httplib::Server& s) {
           auto away = [](const httplib::Request&, httplib::Response& response) {
             response.set_redirect("file:///etc/hostname", 302);
           };
           s.Post(".*", away);
           s.Get(".*", away);
         });
         keep = server;
         return server->Address("/service");
       }},
      {"50 MiB streamed", "larger than",
       [](std::shared_ptr<void>& keep) {
         auto server = Http([](httplib::Server& s) { ServeHuge(s, false); });
         keep = server;
         return server->Address("/service");
       }},
      {"50 MiB announced", "larger than",
       [](std::shared_ptr<void>& keep) {
         auto server = Http([](httplib::Server& s) { ServeHuge(s, true); });
         keep = server;
         return server->Address("/service");
       }},
      {"certificate not trusted", "certificate",
       [](std::shared_ptr<void>& keep) {
         // A certificate of its own, which the client (trusting the test's one) refuses.
         struct Untrusted {
           TestCertificate certificate;
           LoopbackHttp server{certificate};
         };
         auto untrusted = std::make_shared<Untrusted>();
         untrusted->server.Server().Post(".*", [](const httplib::Request&, httplib::Response& response) {
           response.set_content("My41", "text/plain");
         });
         untrusted->server.Start();
         keep = untrusted;
         return untrusted->server.Address("/service");
       }},
      {"connection refused", "connect",
       [](std::shared_ptr<void>&) {
         int port = 0;
         {
           RawServer closed(RawServer::Mode::Silent);
           port = closed.Port();
         }
         return "http://127.0.0.1:" + std::to_string(port) + "/service";
       }},
  };
}

}  // namespace online::test
