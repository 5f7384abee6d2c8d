#include "online/HttpClient.h"

#include <curl/curl.h>

#include <mutex>

#include "online/FormEncoding.h"

namespace online {

namespace {

void GlobalInit() {
  // Loads OpenSSL once per process; curl_global_cleanup is left to process end on purpose,
  // as other threads may still hold clients while the program exits.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

struct Transfer {
  std::string body;
  std::size_t limit = 0;
  bool tooLarge = false;
  std::chrono::milliseconds readTimeout{0};
  std::chrono::steady_clock::time_point lastProgress = std::chrono::steady_clock::now();
  curl_off_t lastBytes = -1;
  bool timedOut = false;
  bool interrupted = false;
  const std::function<bool()>* interruptCheck = nullptr;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  if (transfer.body.size() + bytes > transfer.limit) {
    transfer.tooLarge = true;
    return 0;  // makes curl abandon the transfer
  }
  transfer.body.append(data, bytes);
  return bytes;
}

// curl has no per-read time-out: the clock restarts whenever bytes move in either direction
// and the exchange is abandoned after readTimeout without any. curl calls this at least about
// once a second while idle, so the time-out is met to within a second.
int Progress(void* user, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal, curl_off_t ulnow) {
  (void)dltotal;
  (void)ultotal;
  auto& transfer = *static_cast<Transfer*>(user);
  if (transfer.interruptCheck != nullptr && *transfer.interruptCheck && (*transfer.interruptCheck)()) {
    transfer.interrupted = true;
    return 1;
  }
  const auto now = std::chrono::steady_clock::now();
  if (dlnow + ulnow != transfer.lastBytes) {
    transfer.lastBytes = dlnow + ulnow;
    transfer.lastProgress = now;
    return 0;
  }
  if (now - transfer.lastProgress > transfer.readTimeout) {
    transfer.timedOut = true;
    return 1;
  }
  return 0;
}

template <typename T>
void Set(CURL* curl, CURLoption option, T value) {
  const CURLcode code = curl_easy_setopt(curl, option, value);
  if (code != CURLE_OK) throw HttpError(curl_easy_strerror(code));
}

CURL* NewHandle() {
  GlobalInit();
  CURL* curl = curl_easy_init();
  if (curl == nullptr) throw HttpError("HTTP client could not be created");
  return curl;
}

}  // namespace

void THttpClient::CurlDeleter::operator()(void* handle) const { curl_easy_cleanup(static_cast<CURL*>(handle)); }

THttpClient::THttpClient(HttpSettings settings) : settings_(std::move(settings)), handle_(NewHandle()) {}

THttpClient::~THttpClient() = default;

void THttpClient::SetProxy(std::string host, int port) {
  proxy_ = ProxySettings{std::move(host), port, {}, {}};
}

void THttpClient::ClearProxy() { proxy_ = ProxySettings{}; }

void THttpClient::CloseConnection() {
  // The connection cache belongs to the easy handle, so a new handle closes it.
  handle_.reset(NewHandle());
}

void THttpClient::SetInterruptCheck(std::function<bool()> interrupted) { interrupted_ = std::move(interrupted); }

std::string THttpClient::PostForm(const std::string& url, const std::vector<std::string>& lines) {
  const std::string body = EncodeForm(lines);
  return Perform(url, &body);
}

std::string THttpClient::Get(const std::string& url) { return Perform(url, nullptr); }

std::string THttpClient::Perform(const std::string& url, const std::string* formBody) {
  CURL* curl = static_cast<CURL*>(handle_.get());
  curl_easy_reset(curl);

  Transfer transfer;
  transfer.limit = settings_.maxBodySize;
  transfer.readTimeout = settings_.readTimeout;
  transfer.interruptCheck = &interrupted_;
  char errorText[CURL_ERROR_SIZE] = {};

  Slist headers;
  auto addHeader = [&headers](const std::string& line) {
    curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
    if (grown == nullptr) throw HttpError("out of memory");
    (void)headers.release();
    headers.reset(grown);
  };
  if (!settings_.connectionHeader.empty()) addHeader("Connection: " + settings_.connectionHeader);
  addHeader("Expect:");  // no 100-continue round trip for the small forms
  if (formBody != nullptr) addHeader("Content-Type: application/x-www-form-urlencoded");

  Set(curl, CURLOPT_URL, url.c_str());
  // Addresses also come from servers (redirects, banner pictures): only the web schemes.
  Set(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  Set(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  Set(curl, CURLOPT_FOLLOWLOCATION, 1L);
  Set(curl, CURLOPT_MAXREDIRS, settings_.maxRedirects);
  Set(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  Set(curl, CURLOPT_NOSIGNAL, 1L);
  Set(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings_.connectTimeout.count()));
  Set(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2) | static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
  Set(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  Set(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!settings_.caFile.empty()) Set(curl, CURLOPT_CAINFO, settings_.caFile.c_str());
  Set(curl, CURLOPT_USERAGENT, settings_.userAgent.c_str());
  Set(curl, CURLOPT_HTTPHEADER, headers.get());
  // An empty proxy text also keeps curl from reading the *_proxy variables on its own.
  Set(curl, CURLOPT_PROXY, proxy_.host.c_str());
  if (!proxy_.host.empty()) {
    Set(curl, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    Set(curl, CURLOPT_PROXYPORT, static_cast<long>(proxy_.port));
  }
  Set(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(settings_.maxBodySize));
  Set(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
  Set(curl, CURLOPT_WRITEDATA, static_cast<void*>(&transfer));
  Set(curl, CURLOPT_NOPROGRESS, 0L);
  Set(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
  Set(curl, CURLOPT_XFERINFODATA, static_cast<void*>(&transfer));
  Set(curl, CURLOPT_ERRORBUFFER, errorText);
  if (formBody != nullptr) {
    Set(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(formBody->size()));
    Set(curl, CURLOPT_COPYPOSTFIELDS, formBody->c_str());
  }

  const CURLcode code = curl_easy_perform(curl);
  // The buffer lives on this frame only.
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, static_cast<char*>(nullptr));
  if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED)
    throw HttpError("Reply larger than " + std::to_string(settings_.maxBodySize) + " bytes");
  if (transfer.timedOut) throw HttpError("Read timed out");
  if (transfer.interrupted) throw HttpError("Request cancelled");
  if (code != CURLE_OK) throw HttpError(errorText[0] != '\0' ? errorText : curl_easy_strerror(code));

  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status < 200 || status >= 300) throw HttpError("HTTP/1.1 " + std::to_string(status));
  return std::move(transfer.body);
}

}  // namespace online
