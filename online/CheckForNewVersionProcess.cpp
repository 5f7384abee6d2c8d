#include "online/CheckForNewVersionProcess.h"

#include "online/ClientSettings.h"
#include "online/FormEncoding.h"
#include "online/Md5.h"
#include "online/ReplyText.h"
#include "platform/uConst.h"

namespace online {

VersionCheckSetup VersionCheckSetup::Default() {
  VersionCheckSetup setup;
  setup.serviceAddress = platform::Texts().versionServiceAddress;
  setup.http = VersionCheckClientSettings();
  return setup;
}

std::vector<std::string> VersionRequestLines() {
  const platform::BuiltInTexts& t = platform::Texts();
  return {t.fieldProduct + t.requestValueA, t.fieldVersion + t.productVersion,
          t.fieldCheck + Md5Hex(t.requestValueA + t.requestValueB)};
}

void RunVersionCheck(const VersionCheckSetup& setup, std::string& versionReply, const OnlineHooks& hooks) {
  const platform::BuiltInTexts& t = platform::Texts();
  versionReply.clear();
  hooks.Log(t.logLabelVersionCheck + "\r\n" + t.logLabelStarted + "  " + LogTimestamp());
  try {
    THttpClient client(setup.http);
    client.SetInterruptCheck(hooks.interrupted);
    const std::vector<std::string> lines = VersionRequestLines();
    ApplySystemProxy(client, setup.proxyLookup);
    hooks.Log(t.logLabelRequest + "\r\n" + JoinLines(lines));
    versionReply = DecodeBase64(client.PostForm(setup.serviceAddress, lines));
    hooks.Log(t.logLabelReply + "\r\n" + versionReply);
    if (hooks.interrupted && hooks.interrupted()) return;
    if (hooks.notify) hooks.notify(kNotifyVersionReply);
  } catch (const std::exception& error) {
    hooks.Log("\r\nServer response error: " + std::string(error.what()) + "\r\n" + t.logLabelReply + "\r\n" +
              versionReply);
  }
}

TCheckForNewVersionProcess::TCheckForNewVersionProcess(VersionCheckSetup setup, std::string& versionReply,
                                                       OnlineHooks hooks, QObject* parent)
    : TWorkerThread(parent), setup_(std::move(setup)), versionReply_(versionReply), hooks_(std::move(hooks)) {
  if (!hooks_.interrupted) hooks_.interrupted = [this] { return isInterruptionRequested(); };
}

void TCheckForNewVersionProcess::Work() { RunVersionCheck(setup_, versionReply_, hooks_); }

}  // namespace online
