#include "conversion/FreeImageSupport.h"

#include <mutex>

namespace conversion {

namespace {

thread_local std::string lastMessage;

void KeepMessage(FREE_IMAGE_FORMAT /*format*/, const char* message) {
  lastMessage = message != nullptr ? message : "";
}

}  // namespace

void InstallFreeImageMessageHandler() {
  static std::once_flag once;
  std::call_once(once, [] { FreeImage_SetOutputMessage(KeepMessage); });
}

std::string TakeFreeImageMessage() {
  std::string message;
  message.swap(lastMessage);
  return message;
}

FREE_IMAGE_FORMAT FileTypeOf(const std::string& path) {
  return FreeImage_GetFileType(path.c_str(), 0);
}

}  // namespace conversion
