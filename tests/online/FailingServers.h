// Servers that fail in every way the online workers must survive, for the client and the
// worker tests alike.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LoopbackServers.h"

namespace online::test {

struct FailingServer {
  std::string name;
  std::string reason;  // a part of the client's error message
  // Starts the server and answers the address to ask; the server lives in keepAlive.
  std::function<std::string(std::shared_ptr<void>& keepAlive)> start;
};

std::vector<FailingServer> FailingServers();

}  // namespace online::test
