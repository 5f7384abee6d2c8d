#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

QUrl ShellTarget(const std::string& target) {
  const QString text = QString::fromStdString(target);
  // A scheme needs at least two letters, so nothing that looks like "C:" is ever taken for one.
  const QUrl url(text, QUrl::StrictMode);
  if (url.isValid() && url.scheme().size() > 1 && !text.startsWith(QLatin1Char('/'))) return url;
  return QUrl::fromLocalFile(text);
}

void OpenInShell(const std::string& target) {
  if (target.empty()) return;
  QDesktopServices::openUrl(ShellTarget(target));
}

}  // namespace platform
